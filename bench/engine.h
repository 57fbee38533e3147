#pragma once

#include "sqlitedb.h"

#include <memory>

// The yardstick: the least SQL a screen needs (its first page and its totals), sent straight to
// SQLite on the program's own files over a connection laid out as the program's (the first
// file as main, the others attached under the same names).
class Engine
{
public:
    explicit Engine(const QString &sysfileFolder);

    // A new connection: SQLite's own page cache starts empty.
    void reopen();

    // Runs a statement to its end, reading every value of every row; returns the row count.
    int read(const QString &sql, const QVariantList &values = {});
    void exec(const QString &sql, const QVariantList &values = {});
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    // Values of the first column of every row.
    QVariantList column(const QString &sql, const QVariantList &values = {});
    // A statement to run many times, as a posting runs its few statements per line.
    std::unique_ptr<SqliteStatement> prepare(const QString &sql);
    // Every row, each as its list of values.
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {});

private:
    QString m_folder;
    std::unique_ptr<SqliteDb> m_db;
};
