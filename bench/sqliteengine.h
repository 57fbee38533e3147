#pragma once

#include "engine.h"
#include "sqlitedb.h"

// The engine on the program's SQLite files, over a connection laid out as the program's (the
// first file as main, the others attached under the same names).
class SqliteEngine : public Engine
{
public:
    explicit SqliteEngine(const QString &sysfileFolder);

    void reopen() override;
    int read(const QString &sql, const QVariantList &values = {}) override;
    void exec(const QString &sql, const QVariantList &values = {}) override;
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {}) override;
    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;

private:
    QString m_folder;
    std::unique_ptr<SqliteDb> m_db;
};
