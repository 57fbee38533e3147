#include "maintenance/backupsettings.h"

#include <QDir>
#include <QSettings>

namespace {

QString settingsPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("backup.ini"));
}

const QString FolderKey = QStringLiteral("backup/folder");
const QString KeepKey = QStringLiteral("backup/keep");
const QString AutomaticKey = QStringLiteral("backup/automatic");
const QString LastAutomaticKey = QStringLiteral("backup/lastAutomatic");

} // namespace

BackupSettings BackupSettings::load(const QString &dataFolder)
{
    const QSettings stored(settingsPath(dataFolder), QSettings::IniFormat);
    BackupSettings settings;
    // An empty folder means the default, which follows the data folder when that moves.
    settings.folder = stored.value(FolderKey).toString();
    if (settings.folder.isEmpty())
        settings.folder = defaultFolder(dataFolder);
    settings.keep = qMax(1, stored.value(KeepKey, settings.keep).toInt());
    settings.automatic = stored.value(AutomaticKey, settings.automatic).toBool();
    settings.lastAutomatic =
        QDate::fromString(stored.value(LastAutomaticKey).toString(), Qt::ISODate);
    return settings;
}

bool BackupSettings::save(const QString &dataFolder) const
{
    QSettings stored(settingsPath(dataFolder), QSettings::IniFormat);
    const bool isDefault = QDir::cleanPath(folder) == defaultFolder(dataFolder);
    stored.setValue(FolderKey, isDefault ? QString() : QDir::cleanPath(folder));
    stored.setValue(KeepKey, qMax(1, keep));
    stored.setValue(AutomaticKey, automatic);
    stored.setValue(LastAutomaticKey, lastAutomatic.toString(Qt::ISODate));
    stored.sync();
    return stored.status() == QSettings::NoError;
}

QString BackupSettings::defaultFolder(const QString &dataFolder)
{
    return QDir::cleanPath(QDir(dataFolder).filePath(QStringLiteral("../backup")));
}

bool BackupSettings::automaticDue(const QDate &today) const
{
    return automatic && lastAutomatic != today;
}
