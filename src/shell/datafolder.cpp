#include "shell/datafolder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString FolderName = QStringLiteral("sysfile");

DataFolderChoice wrongCommandLine(const QString &problem)
{
    return {{}, problem + QStringLiteral("\n用法：herbdesk [--data 数据文件夹]")};
}

} // namespace

DataFolderChoice chooseDataFolder(const QStringList &arguments, const QString &programFolder)
{
    QCommandLineParser parser;
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("数据文件夹"),
                                  QStringLiteral("文件夹"));
    parser.addOption(data);
    if (!parser.parse(arguments))
        return wrongCommandLine(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return wrongCommandLine(QStringLiteral("多余的参数：%1")
                                    .arg(parser.positionalArguments().join(QLatin1Char(' '))));
    }
    if (parser.isSet(data)) {
        const QString folder = parser.value(data);
        if (folder.trimmed().isEmpty())
            return wrongCommandLine(QStringLiteral("--data 后面缺少数据文件夹"));
        return {QFileInfo(folder).absoluteFilePath(), {}};
    }
    const QFileInfo besideProgram(QDir(programFolder).filePath(FolderName));
    if (besideProgram.isDir())
        return {besideProgram.absoluteFilePath(), {}};
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return {QDir(userData).filePath(FolderName), {}};
}
