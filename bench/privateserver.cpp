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
    const QString connection = QStringLiteral("herbdesk-bench-server");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        StoreError error;
        if (!ServerDatabase::connect(db, m_address, &error))
            throw std::runtime_error(error.text().toStdString());
        QSqlQuery statement(db);
        for (const QString &sql : {QStringLiteral("DROP DATABASE IF EXISTS %1"),
                                   QStringLiteral("CREATE DATABASE %1")}) {
            if (!statement.exec(sql.arg(quotedName(name))))
                throw std::runtime_error(statement.lastError().text().toStdString());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    ServerAddress address = m_address;
    address.database = name;
    return address;
}
