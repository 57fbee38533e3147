#include "privateserver.h"

#include "store/query.h"
#include "store/serverdatabase.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString runScript(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(script, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        throw std::runtime_error(QStringLiteral("%1 %2 failed")
                                     .arg(script, arguments.join(QLatin1Char(' ')))
                                     .toStdString());
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

PrivateServer::PrivateServer(const QString &script, const QString &folder)
    : m_script(script), m_folder(folder)
{
    const QString url = runScript(m_script, {QStringLiteral("start"),
                                             QStringLiteral("--durable"), m_folder});
    QString problem;
    const auto address = ServerAddress::fromUrl(url, &problem);
    if (!address) {
        runScript(m_script, {QStringLiteral("stop"), m_folder});
        throw std::runtime_error(problem.toStdString());
    }
    m_address = *address;
}

PrivateServer::~PrivateServer()
{
    try {
        runScript(m_script, {QStringLiteral("stop"), m_folder});
    } catch (const std::exception &) {
        // The script said why on standard error; the next start removes what is left.
    }
}

ServerAddress PrivateServer::createDatabase(const QString &name)
{
    run(m_address, {QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(name)),
                    QStringLiteral("CREATE DATABASE %1").arg(quotedName(name))});
    ServerAddress address = m_address;
    address.database = name;
    return address;
}

void PrivateServer::run(const ServerAddress &database, const QStringList &statements)
{
    const QString connection = QStringLiteral("herbdesk-bench-server");
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        StoreError error;
        if (!ServerDatabase::connect(db, database, &error))
            problem = error.text();
        QSqlQuery statement(db);
        for (const QString &sql : statements) {
            if (problem.isEmpty() && !statement.exec(sql))
                problem = sql + QStringLiteral(": ") + statement.lastError().text();
        }
        statement = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!problem.isEmpty())
        throw std::runtime_error(problem.toStdString());
}
