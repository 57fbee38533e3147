#include "store/pagereader.h"

#include "store/store.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

// The filter as the first condition of a WHERE clause, its values appended to *values.
QString filterCondition(const Filter &filter, QVariantList *values)
{
    if (filter.isEmpty())
        return QString();
    *values << filter.values();
    return QLatin1Char('(') + filter.sql() + QLatin1String(") AND ");
}

} // namespace

PageReader::PageReader(Store &store, const Query &query, const QStringList &columns)
    : m_store(store), m_query(query)
{
    QStringList quoted;
    for (const QString &column : columns)
        quoted << quotedName(column);
    m_columnList = quoted.join(QLatin1String(", "));
}

QString PageReader::sortExpression() const
{
    QString expression = quotedName(m_query.orderBy);
    if (m_query.orderIgnoresCase)
        expression += QLatin1String(" COLLATE NOCASE");
    return expression;
}

QString PageReader::boundCondition(QVariantList *values) const
{
    // The unary plus keeps the planner from reading the whole table in rowid order just
    // because of this bound, when an index serves the filter.
    QString condition = QStringLiteral("+rowid <= ?");
    *values << m_bound;
    if (!m_excluded.isEmpty()) {
        condition += QStringLiteral(" AND rowid NOT IN (%1)").arg(placeholders(m_excluded.size()));
        for (const qint64 id : m_excluded)
            *values << id;
    }
    return condition;
}

QSqlQuery *PageReader::run(const QString &sql, const QVariantList &values, const QString &action,
                           StoreError *error) const
{
    QSqlQuery *statement = m_store.prepared(sql, error);
    if (!statement) {
        error->action = action;
        return nullptr;
    }
    for (int i = 0; i < values.size(); ++i)
        statement->bindValue(i, values[i]);
    if (!statement->exec()) {
        *error = {action, statement->lastError().text()};
        return nullptr;
    }
    return statement;
}

bool PageReader::readBound(StoreError *error)
{
    QSqlQuery *statement =
        run(QStringLiteral("SELECT max(rowid) FROM %1").arg(quotedName(m_query.table)), {},
            QStringLiteral("查询 %1 失败").arg(m_query.table), error);
    if (!statement)
        return false;
    m_bound = statement->next() ? statement->value(0).toLongLong() : 0;
    statement->finish();
    return true;
}

bool PageReader::read(const PageStart &start, bool backwards, int limit, QVector<ReadRow> *rows,
                      StoreError *error) const
{
    const bool sorted = !m_query.orderBy.isEmpty();
    const QString sortKey = sortExpression();
    QStringList conditions;
    QVariantList values;
    // The position condition comes first: the planner then starts its index range there.
    if (start.afterRow) {
        const char *beyond = backwards ? "<" : ">";
        if (!sorted) {
            conditions << QStringLiteral("rowid %1 ?").arg(QLatin1String(beyond));
            values << start.id;
        } else if (start.key.isNull()) {
            // Null keys come first in the order.
            conditions << (backwards ? QStringLiteral("(%1 IS NULL AND rowid < ?)")
                                     : QStringLiteral("((%1 IS NULL AND rowid > ?) OR %1 IS NOT "
                                                      "NULL)"))
                              .arg(quotedName(m_query.orderBy));
            values << start.id;
        } else {
            conditions << (backwards ? QStringLiteral("((%1, rowid) < (?, ?) OR %2 IS NULL)")
                                          .arg(sortKey, quotedName(m_query.orderBy))
                                     : QStringLiteral("(%1, rowid) > (?, ?)").arg(sortKey));
            values << start.key << start.id;
        }
    }
    if (!m_query.where.isEmpty()) {
        conditions << QLatin1Char('(') + m_query.where.sql() + QLatin1Char(')');
        values << m_query.where.values();
    }
    conditions << boundCondition(&values);

    const QString direction = backwards ? QStringLiteral(" DESC") : QString();
    QString order = QStringLiteral("rowid") + direction;
    if (sorted)
        order = sortKey + direction + QLatin1String(", ") + order;
    QString sql = QStringLiteral("SELECT rowid, %1%2 FROM %3 WHERE %4 ORDER BY %5 LIMIT ?")
                      .arg(sorted ? quotedName(m_query.orderBy) + QLatin1String(", ") : QString(),
                           m_columnList, quotedName(m_query.table),
                           conditions.join(QLatin1String(" AND ")), order);
    values << limit;
    if (!start.afterRow && start.offset > 0) {
        sql += QLatin1String(" OFFSET ?");
        values << start.offset;
    }

    QSqlQuery *statement =
        run(sql, values, QStringLiteral("查询 %1 失败").arg(m_query.table), error);
    if (!statement)
        return false;
    const int first = sorted ? 2 : 1;
    const int width = statement->record().count() - first;
    while (statement->next()) {
        ReadRow row;
        row.id = statement->value(0).toLongLong();
        if (sorted)
            row.key = statement->value(1);
        row.values.resize(width);
        for (int c = 0; c < width; ++c)
            row.values[c] = statement->value(first + c);
        rows->append(row);
    }
    statement->finish();
    return true;
}

bool PageReader::count(qint64 *rows, StoreError *error) const
{
    QVariantList values;
    QString sql = QStringLiteral("SELECT count(*) FROM %1 WHERE ").arg(quotedName(m_query.table));
    sql += filterCondition(m_query.where, &values);
    sql += boundCondition(&values);
    QSqlQuery *statement =
        run(sql, values, QStringLiteral("统计 %1 失败").arg(m_query.table), error);
    if (!statement)
        return false;
    *rows = statement->next() ? statement->value(0).toLongLong() : 0;
    statement->finish();
    return true;
}

bool PageReader::deleteRows(qint64 *deleted, StoreError *error) const
{
    QVariantList values;
    QString sql = QStringLiteral("DELETE FROM %1 WHERE ").arg(quotedName(m_query.table));
    sql += filterCondition(m_query.where, &values);
    sql += boundCondition(&values);
    QSqlQuery *statement =
        run(sql, values, QStringLiteral("从 %1 删除失败").arg(m_query.table), error);
    if (!statement)
        return false;
    *deleted = statement->numRowsAffected();
    return true;
}

bool PageReader::readIds(const QVector<qint64> &ids, QVector<ReadRow> *rows,
                         StoreError *error) const
{
    if (ids.isEmpty())
        return true;
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                            .arg(m_columnList, quotedName(m_query.table),
                                 placeholders(ids.size()));
    QVariantList values;
    for (const qint64 id : ids)
        values << id;
    QSqlQuery *statement =
        run(sql, values, QStringLiteral("查询 %1 失败").arg(m_query.table), error);
    if (!statement)
        return false;
    const int width = statement->record().count() - 1;
    while (statement->next()) {
        ReadRow row;
        row.id = statement->value(0).toLongLong();
        row.values.resize(width);
        for (int c = 0; c < width; ++c)
            row.values[c] = statement->value(1 + c);
        rows->append(row);
    }
    statement->finish();
    return true;
}
