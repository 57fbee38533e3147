#pragma once

#include "engine.h"

#include <QSqlDatabase>

// The engine on a PostgreSQL server's database, over a connection of its own set up as the
// program's (its schemas searched, statements planned with their values, the same clerk), so
// that the pending lines it writes are the program's.
class ServerEngine : public Engine
{
public:
    explicit ServerEngine(const ServerAddress &address);
    ~ServerEngine() override;

    void reopen() override;
    int read(const QString &sql, const QVariantList &values = {}) override;
    void exec(const QString &sql, const QVariantList &values = {}) override;
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {}) override;
    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;

private:
    void close();

    ServerAddress m_address;
    QSqlDatabase m_db;
};
