#include "store/datalocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

std::optional<ServerAddress> ServerAddress::fromUrl(const QString &text, QString *problem)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql")
                           && url.scheme() != QLatin1String("postgres"))) {
        *problem = QStringLiteral("“%1”不是 PostgreSQL 数据库的地址"
                                  "（postgresql://用户@服务器:端口/数据库）")
                       .arg(text);
        return std::nullopt;
    }
    if (!url.password().isEmpty()) {
        *problem = QStringLiteral("数据库地址中不能写密码：请把密码写在 ~/.pgpass 中或用环境变量 "
                                  "PGPASSWORD 给出");
        return std::nullopt;
    }
    ServerAddress address;
    address.user = url.userName();
    address.host = url.host();
    address.port = url.port(0);
    address.database = url.path().mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        address.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port")))
        address.port = query.queryItemValue(QStringLiteral("port")).toInt();
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/'))) {
        *problem = QStringLiteral("数据库地址“%1”中缺少数据库名").arg(text);
        return std::nullopt;
    }
    return address;
}

QString ServerAddress::text() const
{
    QString shown;
    if (!user.isEmpty())
        shown += user + QLatin1Char('@');
    shown += host.isEmpty() ? QStringLiteral("localhost") : host;
    if (port != 0)
        shown += QLatin1Char(':') + QString::number(port);
    return shown + QLatin1Char('/') + database;
}

QString DataLocation::text() const
{
    return server ? server->text() : QDir::toNativeSeparators(folder);
}
