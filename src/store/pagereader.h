#pragma once

#include "store/query.h"
#include "store/storeerror.h"

#include <QHash>
#include <QSqlQuery>

#include <QVariant>
#include <QVector>

// One row of a result as read: its identity, its sort key (Null when the result is in table
// order) and the values of the result's columns.
class Store;

struct ReadRow
{
    qint64 id = 0;
    QVariant key;
    QVector<QVariant> values;
};

// Where a page starts: after (or, reading backwards, before) a row already read, or at a number
// of rows from the result's first (last) row.
struct PageStart
{
    bool afterRow = false;
    qint64 id = 0;
    QVariant key;
    int offset = 0;
};

// Reads pages of a query's result in its order (the sort column, then table order), limited to
// the rows that existed when the result was opened. Each page is one statement, whose cost
// depends on the page, not on how many rows match.
class PageReader
{
public:
    PageReader(Store &store, const Query &query, const QStringList &columns);

    // The rows of the result are those whose id is at most the table's largest id when the
    // first page was read: rows added later stay out. Known once a page has been read.
    qint64 bound() const { return m_bound; }
    void setExcludedIds(const QVector<qint64> &ids);

    bool read(const PageStart &start, bool backwards, int limit, QVector<ReadRow> *rows,
              StoreError *error);
    // The number of rows in the result, counted by the engine.
    bool count(qint64 *rows, StoreError *error) const;
    // Deletes the rows of the result that still pass the filter; *deleted tells how many.
    bool deleteRows(qint64 *deleted, StoreError *error) const;
    // The current values of some rows by id (missing rows are left out).
    bool readIds(const QVector<qint64> &ids, QVector<ReadRow> *rows, StoreError *error) const;

private:
    bool readBound(StoreError *error);
    QString pageSql(const PageStart &start, bool backwards) const;
    QString sortExpression() const;
    // The bound and the excluded ids as SQL, their values appended to *values.
    QString boundCondition(QVariantList *values) const;
    // Runs the statement with its values; null (and *error) on failure.
    // `action` names the failure, with %1 for the table.
    QSqlQuery *run(const QString &sql, const QVariantList &values, const char *action,
                   StoreError *error) const;

    Store &m_store;
    Query m_query;
    QString m_columnList;
    int m_columnCount;
    qint64 m_bound = 0;
    bool m_boundKnown = false;
    mutable QHash<int, QString> m_sql;
    QVector<qint64> m_excluded;
};
