#include "store/pagereader.h"

#include "store/store.h"

#include <QSqlError>

namespace {

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

} // namespace

PageReader::PageReader(Store &store, const Query &query, const QStringList &columns)
    : m_store(store), m_query(query), m_columnCount(columns.size())
{
    if (!query.where.isEmpty())
        m_where = query.where.sql(store.dialect(), &m_whereValues);
    QStringList quoted;
    for (const QString &column : columns)
        quoted << quotedName(column);
    m_columnList = quoted.join(QLatin1String(", "));
}

QString PageReader::sortExpression() const
{
    return m_store.dialect().sortKey(m_query.orderBy, m_query.orderIgnoresCase);
}

QString PageReader::filterCondition(QVariantList *values) const
{
    if (m_where.isEmpty())
        return QString();
    *values << m_whereValues;
    return QLatin1Char('(') + m_where + QLatin1String(") AND ");
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

QSqlQuery *PageReader::run(const QString &sql, const QVariantList &values, const char *action,
                           StoreError *error) const
{
    // The action's words are made only on failure: a small page costs a few microseconds.
    const auto failed = [&] { return QString::fromUtf8(action).arg(m_query.table); };
    QSqlQuery *statement = m_store.prepared(sql, error);
    if (!statement) {
        error->action = failed();
        return nullptr;
    }
    for (int i = 0; i < values.size(); ++i)
        statement->bindValue(i, values[i]);
    if (!statement->exec()) {
        *error = StoreError::fromEngine(failed(), statement->lastError());
        return nullptr;
    }
    return statement;
}

bool PageReader::readBound(StoreError *error)
{
    QSqlQuery *statement =
        run(QStringLiteral("SELECT max(rowid) FROM %1").arg(quotedName(m_query.table)), {},
            "查询 %1 失败", error);
    if (!statement)
        return false;
    m_bound = statement->next() ? statement->value(0).toLongLong() : 0;
    statement->finish();
    m_boundKnown = true;
    return true;
}

void PageReader::setExcludedIds(const QVector<qint64> &ids)
{
    m_excluded = ids;
    m_sql.clear();
}

QString PageReader::pageSql(const PageStart &start, bool backwards) const
{
    const bool sorted = !m_query.orderBy.isEmpty();
    enum Position { Start, AfterId, AfterNullKey, AfterKey };
    const Position position = !start.afterRow      ? Start
                              : !sorted            ? AfterId
                              : start.key.isNull() ? AfterNullKey
                                                   : AfterKey;
    // A page's statement depends on these alone; building it is a good part of a small page.
    const bool offset = position == Start && start.offset > 0;
    const int shape = position | (backwards ? 4 : 0) | (offset ? 8 : 0) | (m_boundKnown ? 16 : 0);
    const auto cached = m_sql.constFind(shape);
    if (cached != m_sql.constEnd())
        return *cached;

    const QString sortKey = sortExpression();
    const QString column = quotedName(m_query.orderBy);
    QStringList conditions;
    // The position condition comes first: the planner then starts its index range there.
    switch (position) {
    case Start:
        break;
    case AfterId:
        conditions << QStringLiteral("rowid %1 ?").arg(QLatin1String(backwards ? "<" : ">"));
        break;
    case AfterNullKey:
        // Null keys come first in the order.
        conditions << (backwards
                           ? QStringLiteral("(%1 IS NULL AND rowid < ?)").arg(column)
                           : QStringLiteral("((%1 IS NULL AND rowid > ?) OR %1 IS NOT NULL)")
                                 .arg(column));
        break;
    case AfterKey:
        conditions << (backwards ? QStringLiteral("((%1, rowid) < (?, ?) OR %2 IS NULL)")
                                       .arg(sortKey, column)
                                 : QStringLiteral("(%1, rowid) > (?, ?)").arg(sortKey));
        break;
    }
    if (!m_where.isEmpty())
        conditions << QLatin1Char('(') + m_where + QLatin1Char(')');
    QVariantList ignored;
    // The first page reads the bound with it: every row there now is in the result.
    if (m_boundKnown)
        conditions << boundCondition(&ignored);

    const Dialect &dialect = m_store.dialect();
    // The identity is never Null: its plain order is the one its index serves.
    QString order = QStringLiteral("rowid") + (backwards ? QStringLiteral(" DESC") : QString());
    if (sorted)
        order = dialect.orderTerm(sortKey, backwards) + QLatin1String(", ") + order;
    // The key is read as the order compares it, to start the next page after it.
    QString columns = m_columnList;
    if (sorted)
        columns = sortKey + QLatin1String(", ") + columns;
    if (!m_boundKnown)
        columns += QStringLiteral(", (SELECT max(rowid) FROM %1)").arg(quotedName(m_query.table));
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2%3 ORDER BY %4 LIMIT ?")
                      .arg(columns, quotedName(m_query.table),
                           conditions.isEmpty()
                               ? QString()
                               : QLatin1String(" WHERE ") + conditions.join(QLatin1String(" AND ")),
                           order);
    if (offset)
        sql += QLatin1String(" OFFSET ?");
    if (m_query.lockRows)
        sql += dialect.lockingClause();
    m_sql.insert(shape, sql);
    return sql;
}

bool PageReader::read(const PageStart &start, bool backwards, int limit, QVector<ReadRow> *rows,
                      StoreError *error)
{
    const bool sorted = !m_query.orderBy.isEmpty();
    QVariantList values;
    if (start.afterRow) {
        if (sorted && !start.key.isNull())
            values << start.key;
        values << start.id;
    }
    values << m_whereValues;
    if (m_boundKnown)
        boundCondition(&values);
    values << limit;
    if (!start.afterRow && start.offset > 0)
        values << start.offset;

    QSqlQuery *statement = run(pageSql(start, backwards), values, "查询 %1 失败", error);
    if (!statement)
        return false;
    const int first = sorted ? 2 : 1;
    const int width = m_columnCount;
    const bool learnBound = !m_boundKnown;
    while (statement->next()) {
        ReadRow row;
        row.id = statement->value(0).toLongLong();
        if (sorted)
            row.key = statement->value(1);
        row.values.resize(width);
        for (int c = 0; c < width; ++c)
            row.values[c] = statement->value(first + c);
        if (learnBound && !m_boundKnown) {
            m_bound = statement->value(first + width).toLongLong();
            m_boundKnown = true;
        }
        rows->append(row);
    }
    statement->finish();
    // An empty first page says nothing of the table's rows; ask.
    return m_boundKnown || readBound(error);
}

bool PageReader::count(qint64 *rows, StoreError *error) const
{
    QVariantList values;
    QString sql = QStringLiteral("SELECT count(*) FROM %1 WHERE ").arg(quotedName(m_query.table));
    sql += filterCondition(&values);
    sql += boundCondition(&values);
    QSqlQuery *statement =
        run(sql, values, "统计 %1 失败", error);
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
    sql += filterCondition(&values);
    sql += boundCondition(&values);
    QSqlQuery *statement =
        run(sql, values, "从 %1 删除失败", error);
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
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                      .arg(m_columnList, quotedName(m_query.table), placeholders(ids.size()));
    if (m_query.lockRows)
        sql += m_store.dialect().lockingClause();
    QVariantList values;
    for (const qint64 id : ids)
        values << id;
    QSqlQuery *statement =
        run(sql, values, "查询 %1 失败", error);
    if (!statement)
        return false;
    const int width = m_columnCount;
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
