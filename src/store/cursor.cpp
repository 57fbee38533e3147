#include "store/cursor.h"

#include "store/schema.h"
#include "store/store.h"
#include "store/values.h"

#include <algorithm>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Rows are read in pages; a page is one statement however large the result is.
constexpr int PageSize = 200;
// Beyond this many cached rows the cache starts afresh, keeping memory flat on huge results.
constexpr int CacheLimit = 20000;

QString columnList(const QStringList &columns)
{
    QStringList quoted;
    for (const QString &column : columns)
        quoted << quotedName(column);
    return quoted.join(QLatin1String(", "));
}

} // namespace

Cursor::Cursor(Store &store, QObject *parent) : QObject(parent), m_store(store) {}

bool Cursor::fail(const QString &action, const QString &detail)
{
    m_lastError = {action, detail};
    return false;
}

bool Cursor::open(const Query &source)
{
    m_source = source;
    return refresh();
}

void Cursor::clearResult()
{
    m_open = false;
    m_rowIds.clear();
    m_cache.clear();
    m_columns.clear();
    m_position = 0;
    m_currentDeleted = false;
    m_mode = Mode::Browse;
    m_buffer.clear();
}

bool Cursor::refresh()
{
    m_lastError = {};
    clearResult();
    m_table = Schema::table(m_source.table);

    const QString action = QStringLiteral("查询 %1 失败").arg(m_source.table);
    QSqlQuery statement(m_store.database());
    statement.setForwardOnly(true);
    const QString columns = m_source.columns.isEmpty() ? QStringLiteral("*")
                                                       : columnList(m_source.columns);
    // The column names come from an empty result of the same shape.
    if (!statement.exec(selectSql(Query(m_source.table), columns) + QLatin1String(" LIMIT 0"))) {
        emit reset();
        return fail(action, statement.lastError().text());
    }
    const QSqlRecord record = statement.record();
    for (int i = 0; i < record.count(); ++i)
        m_columns << record.fieldName(i);

    // Rows come in table order. Sorting the ids here is several times cheaper than asking the
    // engine to, which builds a temporary tree whenever an index served the filter.
    statement.prepare(selectSql(m_source, QStringLiteral("rowid")));
    for (const QVariant &value : m_source.where.values())
        statement.addBindValue(value);
    if (!statement.exec()) {
        m_columns.clear();
        emit reset();
        return fail(action, statement.lastError().text());
    }
    while (statement.next())
        m_rowIds.append(statement.value(0).toLongLong());
    if (!std::is_sorted(m_rowIds.cbegin(), m_rowIds.cend()))
        std::sort(m_rowIds.begin(), m_rowIds.end());
    m_open = true;
    emit reset();
    emit currentChanged(m_position);
    return true;
}

void Cursor::close()
{
    clearResult();
    emit reset();
}

void Cursor::moveTo(int row)
{
    m_currentDeleted = false;
    m_position = qBound(0, row, int(m_rowIds.size()));
    emit currentChanged(m_position);
}

void Cursor::first() { moveTo(0); }

void Cursor::next()
{
    // After a delete the position already names the row that followed the deleted one.
    moveTo(m_currentDeleted ? m_position : m_position + 1);
}

void Cursor::last() { moveTo(m_rowIds.isEmpty() ? 0 : m_rowIds.size() - 1); }

void Cursor::setPosition(int row)
{
    if (row != m_position || m_currentDeleted)
        moveTo(row);
}

bool Cursor::atEnd() const
{
    return m_position >= m_rowIds.size();
}

bool Cursor::hasCurrent() const
{
    return m_open && !m_currentDeleted && !atEnd();
}

void Cursor::loadPage(int row) const
{
    if (m_cache.size() > CacheLimit)
        m_cache.clear();
    const int start = row - row % PageSize;
    const int end = qMin(start + PageSize, int(m_rowIds.size()));
    QStringList marks;
    for (int i = start; i < end; ++i)
        marks << QStringLiteral("?");
    const QString columns = m_source.columns.isEmpty() ? QStringLiteral("*")
                                                       : columnList(m_source.columns);
    QSqlQuery statement(m_store.database());
    statement.setForwardOnly(true);
    statement.prepare(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                          .arg(columns, quotedName(m_source.table), marks.join(QLatin1Char(','))));
    for (int i = start; i < end; ++i)
        statement.addBindValue(m_rowIds[i]);
    if (!statement.exec())
        return;
    const int width = m_columns.size();
    while (statement.next()) {
        QVector<QVariant> values(width);
        for (int c = 0; c < width; ++c)
            values[c] = statement.value(c + 1);
        m_cache.insert(statement.value(0).toLongLong(), values);
    }
}

const QVector<QVariant> *Cursor::rowValues(int row) const
{
    if (row < 0 || row >= m_rowIds.size())
        return nullptr;
    const qint64 id = m_rowIds[row];
    auto found = m_cache.constFind(id);
    if (found == m_cache.constEnd()) {
        loadPage(row);
        found = m_cache.constFind(id);
        if (found == m_cache.constEnd())
            return nullptr;
    }
    return &found.value();
}

QVariant Cursor::valueAt(int row, int column) const
{
    const QVector<QVariant> *values = rowValues(row);
    if (!values || column < 0 || column >= values->size())
        return QVariant();
    return values->at(column);
}

QVariant Cursor::value(const QString &column) const
{
    return value(columnIndex(column) + 1);
}

QVariant Cursor::value(int position) const
{
    if (!hasCurrent())
        return QVariant();
    return valueAt(m_position, position - 1);
}

std::optional<QVariant> Cursor::converted(int column, const QVariant &value,
                                          QString *problem) const
{
    if (column < 0 || column >= m_columns.size()) {
        if (problem)
            *problem = QStringLiteral("没有这一列");
        return std::nullopt;
    }
    const ColumnDef *def = m_table ? m_table->column(m_columns[column]) : nullptr;
    return Values::toColumn(def ? def->kind : ColumnKind::Text, value, problem);
}

bool Cursor::accepts(int column, const QVariant &value, QString *problem) const
{
    return converted(column, value, problem).has_value();
}

void Cursor::addNew()
{
    m_mode = Mode::Adding;
    m_buffer.clear();
}

bool Cursor::edit()
{
    if (!hasCurrent())
        return fail(QStringLiteral("修改失败"), QStringLiteral("没有当前记录"));
    m_mode = Mode::Editing;
    m_buffer.clear();
    return true;
}

bool Cursor::setValue(const QString &column, const QVariant &value)
{
    const int index = columnIndex(column);
    if (index < 0)
        return fail(QStringLiteral("写入失败"), QStringLiteral("没有列 %1").arg(column));
    return setValue(index + 1, value);
}

bool Cursor::setValue(int position, const QVariant &value)
{
    if (m_mode == Mode::Browse)
        return fail(QStringLiteral("写入失败"), QStringLiteral("记录不在编辑状态"));
    QString problem;
    const auto stored = converted(position - 1, value, &problem);
    if (!stored) {
        const QString column = m_columns.value(position - 1);
        return fail(QStringLiteral("%1 列的值无效").arg(column), problem);
    }
    m_buffer.insert(position - 1, *stored);
    return true;
}

void Cursor::cancelUpdate()
{
    m_mode = Mode::Browse;
    m_buffer.clear();
}

bool Cursor::update()
{
    const Mode mode = m_mode;
    if (mode == Mode::Browse)
        return fail(QStringLiteral("保存失败"), QStringLiteral("记录不在编辑状态"));
    bool saved;
    if (mode == Mode::Adding) {
        saved = insertBuffered();
    } else {
        saved = hasCurrent() && writeRow(m_rowIds[m_position], m_buffer);
        if (saved)
            emit rowChanged(m_position);
    }
    if (saved) {
        m_mode = Mode::Browse;
        m_buffer.clear();
    }
    return saved;
}

bool Cursor::insertBuffered()
{
    const QString action = QStringLiteral("添加到 %1 失败").arg(m_source.table);
    QSqlQuery statement(m_store.database());
    if (m_buffer.isEmpty()) {
        statement.prepare(QStringLiteral("INSERT INTO %1 DEFAULT VALUES")
                              .arg(quotedName(m_source.table)));
    } else {
        QStringList names;
        QStringList marks;
        QList<int> columns = m_buffer.keys();
        std::sort(columns.begin(), columns.end());
        for (int column : columns) {
            names << quotedName(m_columns[column]);
            marks << QStringLiteral("?");
        }
        statement.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(quotedName(m_source.table), names.join(QLatin1String(", ")),
                                   marks.join(QLatin1Char(','))));
        for (int column : columns)
            statement.addBindValue(m_buffer.value(column));
    }
    if (!statement.exec())
        return fail(action, statement.lastError().text());
    const int row = m_rowIds.size();
    emit rowAboutToBeAppended(row);
    m_rowIds.append(statement.lastInsertId().toLongLong());
    emit rowAppended(row);
    return true;
}

bool Cursor::writeRow(qint64 rowId, const QHash<int, QVariant> &values)
{
    if (values.isEmpty())
        return true;
    QStringList assignments;
    QList<int> columns = values.keys();
    std::sort(columns.begin(), columns.end());
    for (int column : columns)
        assignments << quotedName(m_columns[column]) + QLatin1String(" = ?");
    QSqlQuery statement(m_store.database());
    statement.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(quotedName(m_source.table), assignments.join(QLatin1String(", "))));
    for (int column : columns)
        statement.addBindValue(values.value(column));
    statement.addBindValue(rowId);
    if (!statement.exec())
        return fail(QStringLiteral("保存到 %1 失败").arg(m_source.table),
                    statement.lastError().text());
    m_cache.remove(rowId);
    return true;
}

bool Cursor::updateRow(int row, const QHash<int, QVariant> &values)
{
    if (row < 0 || row >= m_rowIds.size())
        return fail(QStringLiteral("保存失败"), QStringLiteral("没有这一行"));
    QHash<int, QVariant> stored;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        QString problem;
        const auto value = converted(it.key(), it.value(), &problem);
        if (!value)
            return fail(QStringLiteral("%1 列的值无效").arg(m_columns.value(it.key())), problem);
        stored.insert(it.key(), *value);
    }
    if (!writeRow(m_rowIds[row], stored))
        return false;
    emit rowChanged(row);
    return true;
}

bool Cursor::remove()
{
    if (!hasCurrent())
        return fail(QStringLiteral("删除失败"), QStringLiteral("没有当前记录"));
    const qint64 id = m_rowIds[m_position];
    QSqlQuery statement(m_store.database());
    statement.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?")
                          .arg(quotedName(m_source.table)));
    statement.addBindValue(id);
    if (!statement.exec())
        return fail(QStringLiteral("从 %1 删除失败").arg(m_source.table),
                    statement.lastError().text());
    m_cache.remove(id);
    const int row = m_position;
    emit rowAboutToBeRemoved(row);
    m_rowIds.remove(row);
    m_currentDeleted = true;
    emit rowRemoved(row);
    return true;
}

bool Cursor::removeAll()
{
    if (!m_open)
        return fail(QStringLiteral("删除失败"), QStringLiteral("没有打开的结果"));
    const QString action = QStringLiteral("从 %1 删除失败").arg(m_source.table);
    Transaction transaction(m_store);
    if (!transaction.isActive())
        return fail(action, m_store.lastError().text());
    QSqlQuery statement(m_store.database());
    statement.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?")
                          .arg(quotedName(m_source.table)));
    for (const qint64 id : std::as_const(m_rowIds)) {
        statement.bindValue(0, id);
        if (!statement.exec())
            return fail(action, statement.lastError().text());
    }
    if (!transaction.commit())
        return fail(action, m_store.lastError().text());
    m_lastError = {};
    const QStringList columns = m_columns;
    clearResult();
    m_columns = columns;
    m_open = true;
    emit reset();
    emit currentChanged(m_position);
    return true;
}
