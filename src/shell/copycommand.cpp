#include "shell/copycommand.h"

#include "store/datacopy.h"

#include <QFileInfo>
#include <QTextStream>
#include <cstring>
#include <optional>

namespace {

// A server's address, or else a folder.
std::optional<DataLocation> locationOf(const QString &text, QString *problem)
{
    if (text.startsWith(QLatin1String("postgresql:"))
        || text.startsWith(QLatin1String("postgres:"))) {
        const auto server = ServerAddress::fromUrl(text, problem);
        if (!server)
            return std::nullopt;
        return DataLocation::onServer(*server);
    }
    if (text.trimmed().isEmpty()) {
        *problem = QStringLiteral("缺少数据文件夹");
        return std::nullopt;
    }
    return DataLocation::files(QFileInfo(text).absoluteFilePath());
}

} // namespace

bool isCopyCommand(int argc, char *argv[])
{
    return argc > 1 && std::strcmp(argv[1], "--copy-data") == 0;
}

int runCopyCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString usage = QStringLiteral("用法：herbdesk --copy-data 源 目标（数据文件夹或 "
                                         "postgresql://用户@服务器:端口/数据库）");
    if (arguments.size() != 4) {
        err << usage << Qt::endl;
        return 2;
    }
    QString problem;
    const auto from = locationOf(arguments.at(2), &problem);
    const auto to = from ? locationOf(arguments.at(3), &problem) : std::nullopt;
    if (!from || !to) {
        err << problem << Qt::endl << usage << Qt::endl;
        return 2;
    }
    const DataCopy::Outcome outcome = DataCopy::copy(*from, *to);
    if (!outcome.ok) {
        err << QStringLiteral("复制失败，目标没有改动：") << outcome.error.text() << Qt::endl;
        return 1;
    }
    out << QStringLiteral("已从 %1 复制到 %2，行数和数值列合计已核对：")
               .arg(from->text(), to->text())
        << Qt::endl;
    for (const QString &line : outcome.report)
        out << line << Qt::endl;
    return 0;
}
