#include "maintenance/manifest.h"

#include "store/filesync.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *const ReasonNames[] = {"manual", "automatic", "before-restore"};

} // namespace

QString BackupManifest::fileName()
{
    return QStringLiteral("manifest.json");
}

QString BackupManifest::reasonText() const
{
    switch (reason) {
    case Reason::Manual:
        return QStringLiteral("手动");
    case Reason::Automatic:
        return QStringLiteral("自动");
    case Reason::BeforeRestore:
        return QStringLiteral("恢复前");
    }
    return {};
}

qint64 BackupManifest::rowsOf(const QString &table) const
{
    for (const TableRows &rows : tables) {
        if (rows.table == table)
            return rows.rows;
    }
    return 0;
}

bool BackupManifest::write(const QString &folder, QString *problem) const
{
    QJsonObject rows;
    for (const TableRows &table : tables)
        rows.insert(table.table, table.rows);
    QJsonObject files;
    for (auto digest = digests.cbegin(); digest != digests.cend(); ++digest)
        files.insert(digest.key(), QString::fromLatin1(digest.value()));
    const QJsonObject object{
        {"time", time.toString(Qt::ISODate)},
        {"version", version},
        {"reason", QLatin1String(ReasonNames[int(reason)])},
        {"rows", rows},
        {"sha256", files},
    };
    const QByteArray text = QJsonDocument(object).toJson();
    const QString path = QDir(folder).filePath(fileName());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()
        || !file.flush()) {
        *problem = file.errorString();
        return false;
    }
    file.close();
    if (!FileSync::syncFile(path)) {
        *problem = QStringLiteral("无法写入磁盘");
        return false;
    }
    return true;
}

std::optional<BackupManifest> BackupManifest::read(const QString &folder, QString *problem)
{
    QFile file(QDir(folder).filePath(fileName()));
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("缺少备份清单 %1").arg(fileName());
        return std::nullopt;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    BackupManifest manifest;
    manifest.time = QDateTime::fromString(object["time"].toString(), Qt::ISODate);
    if (!manifest.time.isValid() || !object["sha256"].isObject()) {
        *problem = QStringLiteral("备份清单 %1 无法读取").arg(fileName());
        return std::nullopt;
    }
    manifest.version = object["version"].toString();
    const QString reason = object["reason"].toString();
    for (int i = 0; i < 3; ++i) {
        if (reason == QLatin1String(ReasonNames[i]))
            manifest.reason = Reason(i);
    }
    const QJsonObject rows = object["rows"].toObject();
    for (auto row = rows.begin(); row != rows.end(); ++row)
        manifest.tables.append({row.key(), row.value().toInteger()});
    const QJsonObject files = object["sha256"].toObject();
    for (auto digest = files.begin(); digest != files.end(); ++digest)
        manifest.digests.insert(digest.key(), digest.value().toString().toLatin1());
    return manifest;
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex();
}
