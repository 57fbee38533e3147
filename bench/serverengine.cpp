#include "serverengine.h"

#include "store/serverdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString ConnectionName = QStringLiteral("herbdesk-bench-engine");

[[noreturn]] void fail(const QString &sql, const QSqlQuery &query)
{
    throw std::runtime_error(
        QStringLiteral("%1: %2").arg(sql, query.lastError().text()).toStdString());
}

// Statements with values are prepared by the server and planned with them, as the program's.
void run(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    query.setForwardOnly(true);
    bool done;
    if (values.isEmpty()) {
        done = query.exec(sql);
    } else {
        query.prepare(sql);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        done = query.exec();
    }
    if (!done)
        fail(sql, query);
}

QList<QVariantList> everyRow(QSqlQuery &query)
{
    QList<QVariantList> result;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        for (int c = 0; c < columns; ++c)
            row << query.value(c);
        result << row;
    }
    return result;
}

class Statement : public EngineStatement
{
public:
    Statement(const QSqlDatabase &db, const QString &sql) : m_query(db), m_sql(sql)
    {
        m_query.setForwardOnly(true);
        if (!m_query.prepare(sql))
            fail(sql, m_query);
    }

    QList<QVariantList> run(const QVariantList &values) override
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        if (!m_query.exec())
            fail(m_sql, m_query);
        return everyRow(m_query);
    }

private:
    QSqlQuery m_query;
    QString m_sql;
};

} // namespace

ServerEngine::ServerEngine(const ServerAddress &address)
    : Engine(Dialect::Engine::PostgreSQL), m_address(address)
{
    reopen();
}

ServerEngine::~ServerEngine()
{
    close();
}

void ServerEngine::close()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(ConnectionName);
}

void ServerEngine::reopen()
{
    close();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), ConnectionName);
    StoreError error;
    if (!ServerDatabase::connect(m_db, m_address, &error))
        throw std::runtime_error(error.text().toStdString());
}

int ServerEngine::read(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_db);
    run(query, sql, values);
    int rows = 0;
    const int columns = query.record().count();
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            query.value(c).toString();
        ++rows;
    }
    return rows;
}

void ServerEngine::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_db);
    run(query, sql, values);
}

QList<QVariantList> ServerEngine::rows(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_db);
    run(query, sql, values);
    return everyRow(query);
}

std::unique_ptr<EngineStatement> ServerEngine::prepare(const QString &sql)
{
    return std::make_unique<Statement>(m_db, sql);
}
