#pragma once

#include "store/datalocation.h"
#include "store/dialect.h"

#include <QList>
#include <QVariantList>
#include <memory>

// A statement the engine keeps prepared and runs many times, as a posting runs its few
// statements once per line.
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;
    // Runs with the values bound in order; every row, each as its list of values.
    virtual QList<QVariantList> run(const QVariantList &values) = 0;
};

// The yardstick: the least SQL a screen needs (its first page and its totals), sent straight to
// the engine that holds the program's data, over a connection of its own. Failures throw.
class Engine
{
public:
    // The engine of the data at the location: its SQLite files or its server's database.
    static std::unique_ptr<Engine> open(const DataLocation &location);
    virtual ~Engine() = default;

    // A new connection: the engine's own caches of the connection start empty.
    virtual void reopen() = 0;

    // Runs a statement to its end, reading every value of every row; returns the row count.
    virtual int read(const QString &sql, const QVariantList &values = {}) = 0;
    virtual void exec(const QString &sql, const QVariantList &values = {}) = 0;
    // Every row, each as its list of values.
    virtual QList<QVariantList> rows(const QString &sql, const QVariantList &values = {}) = 0;
    virtual std::unique_ptr<EngineStatement> prepare(const QString &sql) = 0;
    // The first column of the first row (Null when there is none); values of the first column.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    QVariantList column(const QString &sql, const QVariantList &values = {});

    // What the engine says its own way, as the program's store says it there.
    const Dialect &dialect() const { return m_dialect; }
    // "the column matches the LIKE pattern bound in its place (one value), letter case not
    // counting", worded so that the engine serves it from the column's case-blind index where
    // it can: SQLite's own LIKE, and on a server the expression the program's indexes are on.
    QString likeBound(const QString &column) const;
    // "the column equals the text bound in its place, letter case not counting" (one value).
    QString equalBound(const QString &column) const;

protected:
    explicit Engine(Dialect::Engine engine) : m_dialect(engine) {}

private:
    Dialect m_dialect;
};
