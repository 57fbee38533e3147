#pragma once

#include "store/storeerror.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

class QSqlQuery;
class Store;
struct sqlite3;
struct sqlite3_stmt;

// Reads a long result through the engine's own interface, row by row. Qt's driver copies every
// row into a record of variants first, which on tens of thousands of rows costs three times what
// the engine itself takes; the statistics views read such results whole. On a server the rows
// come through Qt's driver, the whole result at once.
class BulkRead
{
public:
    // Prepares the statement and binds the values (text, numbers, Null); ok() tells whether it
    // could.
    BulkRead(Store &store, const QString &sql, const QVariantList &values, const QString &action);
    ~BulkRead();
    BulkRead(const BulkRead &) = delete;
    BulkRead &operator=(const BulkRead &) = delete;

    // Steps to the next row; false at the end or on failure (then ok() is false).
    bool next();
    bool ok() const { return m_error.isEmpty(); }
    StoreError error() const { return m_error; }

    // The current row's columns (0-based): text (empty for Null), a number (0 for Null), or
    // the value as stored (Null, a number or text).
    QString text(int column) const;
    double number(int column) const;
    QVariant value(int column) const;

private:
    void fail(const QString &detail);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    std::unique_ptr<QSqlQuery> m_query; // on a server
    QString m_action;
    StoreError m_error;
};
