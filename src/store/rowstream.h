#pragma once

#include "store/query.h"
#include "store/storeerror.h"

#include <QStringList>

class Store;
struct sqlite3_stmt;

// Every row of a query's result in one pass, straight from the engine: a value is converted only
// when asked for, and text comes as the engine holds it (UTF-8). Writing out a result of
// hundreds of thousands of rows then costs little more than the engine's reading. The rows and
// their order are those a Cursor over the same query shows; the one statement sees one moment.
class RowStream
{
public:
    RowStream(Store &store, const Query &query);
    ~RowStream();
    RowStream(const RowStream &) = delete;
    RowStream &operator=(const RowStream &) = delete;

    // Runs the query; false and *error on failure.
    bool open(StoreError *error);
    const QStringList &columns() const { return m_columns; }

    // Moves to the next row; false at the end, or on failure (error() then says why).
    bool next();
    StoreError error() const { return m_error; }

    enum class Type { Null, Number, Text };
    // Columns are 0-based.
    Type type(int column) const;
    double number(int column) const;
    // The value as UTF-8 text ending in a zero byte, valid until next(); *bytes gets its length.
    const char *text(int column, int *bytes) const;

private:
    Store &m_store;
    Query m_query;
    QStringList m_columns;
    sqlite3_stmt *m_statement = nullptr;
    StoreError m_error;
};
