#include "shell/datachoice.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString FolderName = QStringLiteral("sysfile");
const QString SettingsName = QStringLiteral("herbdesk.ini");
const QString SQLite = QStringLiteral("sqlite");

DataChoice wrongCommandLine(const QString &problem)
{
    return {{}, problem + QStringLiteral("\n用法：herbdesk [--data 数据文件夹] "
                                         "[--database sqlite|postgresql://用户@服务器:端口/数据库]")};
}

// The engine named in herbdesk.ini beside the program; SQLite when there is none.
QString engineOfSettings(const QString &programFolder, QString *file)
{
    *file = QDir(programFolder).filePath(SettingsName);
    if (!QFileInfo::exists(*file))
        return SQLite;
    const QSettings settings(*file, QSettings::IniFormat);
    return settings.value(QStringLiteral("database"), SQLite).toString().trimmed();
}

QString folderOf(const QCommandLineParser &parser, const QCommandLineOption &data,
                 const QString &programFolder)
{
    if (parser.isSet(data))
        return QFileInfo(parser.value(data)).absoluteFilePath();
    const QFileInfo besideProgram(QDir(programFolder).filePath(FolderName));
    if (besideProgram.isDir())
        return besideProgram.absoluteFilePath();
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(userData).filePath(FolderName);
}

} // namespace

DataChoice chooseData(const QStringList &arguments, const QString &programFolder)
{
    QCommandLineParser parser;
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("数据文件夹"),
                                  QStringLiteral("文件夹"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("数据库"),
                                      QStringLiteral("地址"));
    parser.addOption(data);
    parser.addOption(database);
    if (!parser.parse(arguments))
        return wrongCommandLine(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return wrongCommandLine(QStringLiteral("多余的参数：%1")
                                    .arg(parser.positionalArguments().join(QLatin1Char(' '))));
    }
    if (parser.isSet(data) && parser.value(data).trimmed().isEmpty())
        return wrongCommandLine(QStringLiteral("--data 后面缺少数据文件夹"));

    QString source = QStringLiteral("--database");
    QString engine;
    if (parser.isSet(database)) {
        engine = parser.value(database).trimmed();
    } else {
        engine = engineOfSettings(programFolder, &source);
        source = QDir::toNativeSeparators(source);
    }
    if (engine.compare(SQLite, Qt::CaseInsensitive) == 0)
        return {DataLocation::files(folderOf(parser, data, programFolder)), {}};
    QString problem;
    const auto server = ServerAddress::fromUrl(engine, &problem);
    if (!server)
        return wrongCommandLine(QStringLiteral("%1：%2").arg(source, problem));
    if (parser.isSet(data))
        return wrongCommandLine(QStringLiteral("数据在数据库服务器上时不用 --data"));
    return {DataLocation::onServer(*server), {}};
}
