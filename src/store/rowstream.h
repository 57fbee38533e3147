#pragma once

#include "store/query.h"
#include "store/storeerror.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>
#include <memory>

class QSqlQuery;
class Store;
struct sqlite3_stmt;

// Every row of a query's result in one pass, straight from the engine: a value is converted only
// when asked for, and text comes as the engine holds it (UTF-8). Writing out a result of
// hundreds of thousands of rows then costs little more than the engine's reading. The rows and
// their order are those a Cursor over the same query shows; the one statement sees one moment.
// On a server the rows come over a connection of their own, so that the store's connection stays
// free for the screens meanwhile.
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
    bool openFiles(const QByteArray &sql, const QVariantList &values, StoreError *error);
    bool openServer(const QString &sql, const QVariantList &values, StoreError *error);
    void closeServer();

    Store &m_store;
    Query m_query;
    QStringList m_columns;
    sqlite3_stmt *m_statement = nullptr;
    QString m_connection;
    std::unique_ptr<QSqlQuery> m_rows;
    mutable QVector<QByteArray> m_texts;
    StoreError m_error;
};
