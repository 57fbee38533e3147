#include "store/cursor.h"

#include "store/schema.h"
#include "store/store.h"
#include "store/values.h"

#include <algorithm>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Pages after the first are larger, so that scrolling through a long result takes few
// statements.
constexpr int PageSize = 256;
// Beyond this many cached rows the cache starts afresh, keeping memory flat on huge results.
constexpr int CacheLimit = 10000;

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a == b;
}

} // namespace

Cursor::Cursor(Store &store, QObject *parent) : QObject(parent), m_store(store) {}

Cursor::~Cursor() = default;

bool Cursor::fail(const QString &action, const QString &detail)
{
    m_lastError = {action, detail};
    return false;
}

bool Cursor::failStale()
{
    m_lastError = StoreError::staleRow();
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
    m_reader.reset();
    m_runs.clear();
    m_rows.clear();
    m_exhausted = false;
    m_countKnown = false;
    m_count = 0;
    m_added.clear();
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

    m_columns = m_source.columns.isEmpty() ? m_store.columnsOf(m_source.table, &m_lastError)
                                           : m_source.columns;
    if (m_columns.isEmpty()) {
        emit reset();
        return false;
    }
    m_reader = std::make_unique<PageReader>(m_store, m_source, m_columns);
    m_runs.push_back(Run{});
    if (!readNextPage()) {
        const StoreError error = m_lastError;
        clearResult();
        m_lastError = error;
        emit reset();
        return false;
    }
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

int Cursor::baseRows() const
{
    if (m_countKnown)
        return m_count;
    return m_runs.empty() ? 0 : m_runs.front().ids.size();
}

int Cursor::knownRows() const
{
    return baseRows() + m_added.size();
}

bool Cursor::readNextPage()
{
    if (m_exhausted || m_countKnown || m_runs.empty())
        return true;
    Run &prefix = m_runs.front();
    PageStart start;
    start.afterRow = prefix.lastId != 0;
    start.id = prefix.lastId;
    start.key = prefix.lastKey;
    const int limit = prefix.ids.isEmpty() && !start.afterRow ? m_firstPageSize : PageSize;
    QVector<ReadRow> rows;
    if (!m_reader->read(start, false, limit, &rows, &m_lastError))
        return false;

    const int first = prefix.ids.size();
    // A refresh tells the grid all at once; later pages are rows inserted before the added ones.
    const bool tell = m_open && !rows.isEmpty();
    if (tell)
        emit rowsAboutToBeInserted(first, first + rows.size() - 1);
    for (const ReadRow &row : std::as_const(rows)) {
        prefix.ids.append(row.id);
        cacheRow(row.id, row.values);
    }
    if (!rows.isEmpty()) {
        prefix.lastId = rows.last().id;
        prefix.lastKey = rows.last().key;
    }
    shiftPositionForRowsAt(first, rows.size());
    if (rows.size() < limit) {
        m_exhausted = true;
        m_countKnown = true;
        m_count = prefix.ids.size();
    }
    if (tell)
        emit rowsInserted();
    return true;
}

void Cursor::shiftPositionForRowsAt(int first, int rows)
{
    // Base rows newly known go before the added rows. A position just past the base rows,
    // with no added rows, names the next row not yet read, which is now known.
    if (m_position > first || (m_position == first && !m_added.isEmpty()))
        m_position += rows;
}

void Cursor::fetchMore()
{
    if (m_open && !readNextPage())
        m_exhausted = true; // a failing read must not be retried by every scroll
}

void Cursor::learnCount(qint64 rows)
{
    const int known = baseRows();
    const int total = int(qMax<qint64>(rows, known));
    if (total > known)
        emit rowsAboutToBeInserted(known, total - 1);
    m_count = total;
    m_countKnown = true;
    shiftPositionForRowsAt(known, total - known);
    if (total > known)
        emit rowsInserted();
}

bool Cursor::ensureCount()
{
    if (m_countKnown || !m_open)
        return true;
    qint64 rows = 0;
    if (!m_reader->count(&rows, &m_lastError))
        return false;
    learnCount(rows);
    return true;
}

int Cursor::count()
{
    ensureCount();
    return knownRows();
}

qint64 Cursor::idAt(int row) const
{
    const int base = baseRows();
    if (row < 0 || row >= base + m_added.size())
        return 0;
    if (row >= base)
        return m_added[row - base];
    auto run = std::upper_bound(m_runs.cbegin(), m_runs.cend(), row,
                                [](int r, const Run &candidate) { return r < candidate.start; });
    if (run == m_runs.cbegin())
        return 0;
    --run;
    const int index = row - run->start;
    return index < run->ids.size() ? run->ids[index] : 0;
}

void Cursor::cacheRow(qint64 id, const Row &values) const
{
    if (m_rows.size() >= CacheLimit) {
        const qint64 current = idAt(m_position);
        const Row kept = m_rows.value(current);
        m_rows.clear();
        if (current != 0 && !kept.isEmpty())
            m_rows.insert(current, kept);
    }
    m_rows.insert(id, values);
}

void Cursor::storeRun(int firstRow, const QVector<ReadRow> &rows) const
{
    if (rows.isEmpty())
        return;
    Run added;
    added.start = firstRow;
    for (const ReadRow &row : rows) {
        added.ids.append(row.id);
        cacheRow(row.id, row.values);
    }
    added.lastId = rows.last().id;
    added.lastKey = rows.last().key;

    std::vector<Run> merged;
    for (Run &run : m_runs) {
        const int runEnd = run.start + run.ids.size();
        const int addedEnd = added.start + added.ids.size();
        // The prefix of an unread result keeps its place even when empty: it says where to read on.
        const bool disjoint = runEnd < added.start || run.start > addedEnd;
        if (disjoint || (run.ids.isEmpty() && run.start != 0)) {
            if (!run.ids.isEmpty() || run.start == 0)
                merged.push_back(std::move(run));
            continue;
        }
        const int start = qMin(run.start, added.start);
        const int end = qMax(runEnd, addedEnd);
        QVector<qint64> ids(end - start, 0);
        for (int i = 0; i < run.ids.size(); ++i)
            ids[run.start - start + i] = run.ids[i];
        for (int i = 0; i < added.ids.size(); ++i)
            ids[added.start - start + i] = added.ids[i];
        if (runEnd > addedEnd) {
            added.lastId = run.lastId;
            added.lastKey = run.lastKey;
        }
        added.start = start;
        added.ids = ids;
    }
    merged.push_back(added);
    std::sort(merged.begin(), merged.end(),
              [](const Run &a, const Run &b) { return a.start < b.start; });
    m_runs = std::move(merged);
}

bool Cursor::readPage(const PageStart &start, bool backwards, int firstRow, int limit) const
{
    QVector<ReadRow> rows;
    StoreError error;
    if (!m_reader->read(start, backwards, limit, &rows, &error))
        return false;
    if (backwards)
        std::reverse(rows.begin(), rows.end());
    storeRun(backwards ? firstRow - rows.size() + 1 : firstRow, rows);
    return !rows.isEmpty();
}

bool Cursor::loadAround(int row) const
{
    if (!m_reader || !m_countKnown)
        return false;
    // Reading on from the run just before is cheapest: the index seeks straight to it.
    for (const Run &run : m_runs) {
        if (run.start + run.ids.size() == row && run.lastId != 0) {
            PageStart start;
            start.afterRow = true;
            start.id = run.lastId;
            start.key = run.lastKey;
            return readPage(start, false, row, PageSize);
        }
    }
    // Otherwise count from the nearer end of the result.
    PageStart start;
    if (row <= m_count - 1 - row) {
        start.offset = row;
        return readPage(start, false, row, PageSize);
    }
    start.offset = m_count - 1 - row;
    return readPage(start, true, row, PageSize);
}

const Cursor::Row *Cursor::rowValues(int row) const
{
    qint64 id = idAt(row);
    if (id == 0 && row >= 0 && row < baseRows() && loadAround(row))
        id = idAt(row);
    if (id == 0)
        return nullptr;
    auto found = m_rows.constFind(id);
    if (found == m_rows.constEnd()) {
        // Read back the known ids around the row in one statement.
        QVector<qint64> ids;
        const int first = qMax(0, row - PageSize / 2);
        for (int r = first; r < first + PageSize && r < knownRows(); ++r) {
            if (const qint64 other = idAt(r); other != 0 && !m_rows.contains(other))
                ids.append(other);
        }
        QVector<ReadRow> rows;
        StoreError error;
        if (!m_reader || !m_reader->readIds(ids, &rows, &error))
            return nullptr;
        for (const ReadRow &read : std::as_const(rows))
            cacheRow(read.id, read.values);
        found = m_rows.constFind(id);
        if (found == m_rows.constEnd())
            return nullptr;
    }
    return &found.value();
}

void Cursor::moveTo(int row)
{
    m_currentDeleted = false;
    m_position = qBound(0, row, knownRows());
    emit currentChanged(m_position);
}

void Cursor::first()
{
    if (baseRows() == 0 && !m_countKnown)
        readNextPage();
    moveTo(0);
}

void Cursor::next()
{
    // After a delete the position already names the row that followed the deleted one.
    const int target = m_currentDeleted ? m_position : m_position + 1;
    // Rows not read yet come before the rows added through the cursor.
    if (!m_countKnown && target == baseRows())
        readNextPage();
    moveTo(target);
}

void Cursor::last()
{
    if (m_added.isEmpty())
        ensureCount();
    moveTo(qMax(0, knownRows() - 1));
}

bool Cursor::atEnd()
{
    if (!m_countKnown && m_added.isEmpty() && m_position == baseRows())
        readNextPage();
    return m_position >= knownRows();
}

void Cursor::setPosition(int row)
{
    if (row != m_position || m_currentDeleted)
        moveTo(row);
}

bool Cursor::hasCurrent() const
{
    return m_open && !m_currentDeleted && m_position < knownRows();
}

QVariant Cursor::valueAt(int row, int column) const
{
    const Row *values = rowValues(row);
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
    std::optional<QVariant> stored =
        Values::toColumn(def ? def->kind : ColumnKind::Text, value, problem);
    // Money is kept to the cent, as the grids show it: a total of the stored amounts is then
    // the total of the amounts shown.
    if (stored && def && def->money && !stored->isNull())
        *stored = Values::roundMoney(stored->toDouble());
    return stored;
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
    if (mode == Mode::Adding)
        saved = insertBuffered();
    else
        saved = hasCurrent() ? writeRow(m_position, m_buffer)
                             : fail(QStringLiteral("保存失败"), QStringLiteral("没有当前记录"));
    if (saved || m_lastError.isStale()) {
        m_mode = Mode::Browse;
        m_buffer.clear();
    }
    return saved;
}

bool Cursor::insertBuffered()
{
    if (!m_open)
        return fail(QStringLiteral("添加失败"), QStringLiteral("没有打开的结果"));
    QStringList names;
    QStringList marks;
    QVariantList bound;
    QList<int> columns = m_buffer.keys();
    std::sort(columns.begin(), columns.end());
    for (int column : std::as_const(columns)) {
        names << quotedName(m_columns[column]);
        marks << QStringLiteral("?");
        bound << m_buffer.value(column);
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES")
                                  .arg(quotedName(m_source.table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(quotedName(m_source.table),
                                       names.join(QLatin1String(", ")),
                                       marks.join(QLatin1Char(',')));
    QSqlQuery *statement = nullptr;
    if (!execute(sql + QLatin1String(" RETURNING rowid"), bound,
                 QStringLiteral("添加到 %1 失败").arg(m_source.table), nullptr, &statement))
        return false;
    const qint64 id = statement->next() ? statement->value(0).toLongLong() : 0;
    statement->finish();
    QVector<ReadRow> rows;
    if (m_reader->readIds({id}, &rows, &m_lastError) && rows.size() == 1)
        cacheRow(id, rows.first().values);

    const int row = knownRows();
    const bool atTheEnd = m_position >= row;
    emit rowsAboutToBeInserted(row, row);
    m_added.append(id);
    // SQLite may give a deleted row's id to a new row: such a row must not show twice.
    if (id <= m_reader->bound()) {
        QVector<qint64> excluded;
        for (const qint64 added : std::as_const(m_added)) {
            if (added <= m_reader->bound())
                excluded.append(added);
        }
        m_reader->setExcludedIds(excluded);
    }
    if (atTheEnd)
        ++m_position;
    emit rowsInserted();
    m_lastError = {};
    return true;
}

bool Cursor::execute(const QString &sql, const QVariantList &values, const QString &action,
                     int *rowsAffected, QSqlQuery **result)
{
    StoreError error;
    QSqlQuery *statement = m_store.prepared(sql, &error);
    if (!statement) {
        m_lastError = {action, error.detail, error.kind};
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        statement->bindValue(i, values[i]);
    if (!statement->exec()) {
        m_lastError = StoreError::fromEngine(action, statement->lastError());
        return false;
    }
    if (rowsAffected)
        *rowsAffected = statement->numRowsAffected();
    if (result)
        *result = statement;
    return true;
}

QString Cursor::unchangedCondition(qint64 id, const Row &read, QVariantList *values) const
{
    QString sql = QStringLiteral("rowid = ?");
    *values << id;
    for (int c = 0; c < m_columns.size() && c < read.size(); ++c) {
        sql += QStringLiteral(" AND %1 IS NOT DISTINCT FROM ?")
                   .arg(quotedName(m_columns[c]));
        *values << read[c];
    }
    return sql;
}

bool Cursor::writeRow(int row, const QHash<int, QVariant> &values)
{
    if (values.isEmpty())
        return true;
    const qint64 id = idAt(row);
    const Row *read = rowValues(row);
    if (id == 0 || !read)
        return fail(QStringLiteral("保存失败"), QStringLiteral("没有这一行"));
    QStringList assignments;
    QVariantList bound;
    QList<int> columns = values.keys();
    std::sort(columns.begin(), columns.end());
    for (int column : columns) {
        assignments << quotedName(m_columns[column]) + QLatin1String(" = ?");
        bound << values.value(column);
    }
    const Row written = *read;
    const QString unchanged = unchangedCondition(id, written, &bound);
    int changed = 0;
    if (!execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                     .arg(quotedName(m_source.table), assignments.join(QLatin1String(", ")),
                          unchanged),
                 bound, QStringLiteral("保存到 %1 失败").arg(m_source.table), &changed))
        return false;
    if (changed != 1) {
        rereadRow(row);
        return failStale();
    }
    // The values went through the column's conversion already: they are what is stored now.
    Row now = written;
    for (int column : std::as_const(columns))
        now[column] = values.value(column);
    cacheRow(id, now);
    emit rowChanged(row);
    m_lastError = {};
    return true;
}

bool Cursor::updateRow(int row, const QHash<int, QVariant> &values)
{
    if (row < 0 || row >= knownRows())
        return fail(QStringLiteral("保存失败"), QStringLiteral("没有这一行"));
    QHash<int, QVariant> stored;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        QString problem;
        const auto value = converted(it.key(), it.value(), &problem);
        if (!value)
            return fail(QStringLiteral("%1 列的值无效").arg(m_columns.value(it.key())), problem);
        stored.insert(it.key(), *value);
    }
    return writeRow(row, stored);
}

bool Cursor::deleteRow(int row)
{
    const qint64 id = idAt(row);
    const Row *read = rowValues(row);
    if (id == 0 || !read)
        return fail(QStringLiteral("删除失败"), QStringLiteral("没有这一行"));
    QVariantList bound;
    const QString unchanged = unchangedCondition(id, *read, &bound);
    int deleted = 0;
    if (!execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quotedName(m_source.table), unchanged),
                 bound, QStringLiteral("从 %1 删除失败").arg(m_source.table), &deleted))
        return false;
    if (deleted != 1) {
        rereadRow(row);
        return failStale();
    }
    return true;
}

bool Cursor::remove()
{
    if (!hasCurrent())
        return fail(QStringLiteral("删除失败"), QStringLiteral("没有当前记录"));
    if (!deleteRow(m_position))
        return false;
    dropRow(m_position);
    m_lastError = {};
    return true;
}

void Cursor::dropRow(int row)
{
    const qint64 id = idAt(row);
    emit rowAboutToBeRemoved(row);
    m_rows.remove(id);
    const int base = baseRows();
    if (row >= base) {
        m_added.remove(row - base);
    } else {
        for (auto run = m_runs.begin(); run != m_runs.end(); ++run) {
            const int index = row - run->start;
            if (index >= 0 && index < run->ids.size()) {
                run->ids.remove(index);
                for (auto later = run + 1; later != m_runs.end(); ++later)
                    --later->start;
                if (run->ids.isEmpty() && run->start != 0)
                    m_runs.erase(run);
                break;
            }
        }
        if (m_countKnown)
            --m_count;
    }
    if (row < m_position)
        --m_position;
    else if (row == m_position)
        m_currentDeleted = true;
    emit rowRemoved(row);
}

void Cursor::rereadRow(int row)
{
    const qint64 id = idAt(row);
    QVector<ReadRow> rows;
    StoreError error;
    if (id == 0 || !m_reader->readIds({id}, &rows, &error))
        return;
    if (rows.isEmpty()) {
        dropRow(row);
        return;
    }
    cacheRow(id, rows.first().values);
    emit rowChanged(row);
}

bool Cursor::matchesStored(qint64 id, const Row &read, bool *matches)
{
    QVariantList bound;
    const QString unchanged = unchangedCondition(id, read, &bound);
    QSqlQuery *statement = nullptr;
    if (!execute(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(quotedName(m_source.table),
                                                            unchanged),
                 bound, QStringLiteral("查询 %1 失败").arg(m_source.table), nullptr, &statement))
        return false;
    *matches = statement->next();
    statement->finish();
    return true;
}

bool Cursor::reread(const QStringList &unchangedColumns)
{
    if (!hasCurrent())
        return fail(QStringLiteral("修改失败"), QStringLiteral("没有当前记录"));
    const int row = m_position;
    const qint64 id = idAt(row);
    const Row *read = rowValues(row);
    if (!read)
        return fail(QStringLiteral("修改失败"), QStringLiteral("没有当前记录"));
    const Row before = *read;
    QVector<ReadRow> rows;
    if (!m_reader->readIds({id}, &rows, &m_lastError))
        return false;
    if (rows.isEmpty()) {
        dropRow(row);
        return failStale();
    }
    const Row &now = rows.first().values;
    cacheRow(id, now);
    bool changed = false;
    bool identityChanged = false;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!sameValue(before.value(c), now.value(c))) {
            changed = true;
            identityChanged = identityChanged || unchangedColumns.contains(m_columns[c]);
        }
    }
    if (changed)
        emit rowChanged(row);
    if (identityChanged)
        return failStale();
    m_lastError = {};
    return true;
}

bool Cursor::removeAll()
{
    if (!m_open)
        return fail(QStringLiteral("删除失败"), QStringLiteral("没有打开的结果"));
    if (!ensureCount())
        return false;
    const QString action = QStringLiteral("从 %1 删除失败").arg(m_source.table);
    bool stale = false;
    {
        Transaction transaction(m_store);
        if (!transaction.isActive())
            return fail(action, m_store.lastError().text());
        // The rows the user has seen must still be as shown.
        for (const Run &run : std::as_const(m_runs)) {
            for (const qint64 id : run.ids) {
                const auto read = m_rows.constFind(id);
                bool matches = true;
                if (read != m_rows.constEnd() && !matchesStored(id, *read, &matches))
                    return false;
                stale = stale || !matches;
            }
        }
        qint64 deleted = 0;
        if (!stale && !m_reader->deleteRows(&deleted, &m_lastError))
            return false;
        // Rows the list did not hold (added elsewhere, or changed to match) must not go.
        stale = stale || deleted != m_count;
        for (int row = m_count; !stale && row < knownRows(); ++row) {
            if (!deleteRow(row) && !m_lastError.isStale())
                return false;
            stale = m_lastError.isStale();
        }
        if (!stale && !transaction.commit())
            return fail(action, m_store.lastError().text());
    }
    if (stale) {
        refresh();
        return failStale();
    }
    const QStringList columns = m_columns;
    std::unique_ptr<PageReader> reader = std::move(m_reader);
    clearResult();
    m_reader = std::move(reader);
    m_columns = columns;
    m_runs.push_back(Run{});
    m_exhausted = true;
    m_countKnown = true;
    m_open = true;
    m_lastError = {};
    emit reset();
    emit currentChanged(m_position);
    return true;
}
