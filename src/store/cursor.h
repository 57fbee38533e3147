#pragma once

#include "store/pagereader.h"
#include "store/query.h"
#include "store/storeerror.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

class QSqlQuery;
class Store;
struct TableDef;

// An open result over one table: the rows that pass the query's filter, in the query's order
// (table order unless a sort column is given), identified by rowid. Only the rows that are
// looked at are read, a page at a time, so that opening a result and moving to its first row
// cost the same however many rows match. Column access by name or by 1-based position; Null is
// distinct from the empty text.
//
// The result is the rows that existed when it was opened, plus the rows added through the
// cursor, which follow them. Until the number of rows is needed (count(), last()) or the last
// page has been read, the rows known so far are the rows read plus the rows added.
//
// After addNew()/update() the cursor stays on the row it was on (at the end it stays at the
// end). After remove() there is no current row until the cursor moves; next() then stands on
// the row that followed the deleted one.
//
// Every write acts only on a row that still holds what the cursor last read of it; otherwise
// nothing is written, the error says so (StoreError::Stale) and the cursor reads the row again.
class Cursor : public QObject
{
    Q_OBJECT

public:
    explicit Cursor(Store &store, QObject *parent = nullptr);
    ~Cursor() override;

    Store &store() const { return m_store; }

    // Runs the source and stands on the first row (or at the end when there is none).
    bool open(const Query &source);
    bool refresh();
    void close();
    bool isOpen() const { return m_open; }
    const Query &source() const { return m_source; }

    void first();
    void next();
    // Moves to the last row; counts the rows once when they are not known yet.
    void last();
    bool atEnd();
    bool hasCurrent() const;
    bool isEmpty() const { return knownRows() == 0; }
    // The number of rows; counted by the engine once, when not yet known.
    int count();
    bool isCountKnown() const { return m_countKnown; }
    // Rows known so far: all of them once counted, else those read plus those added.
    int knownRows() const;
    // Reads the next page of a result whose end has not been reached.
    void fetchMore();
    // How many rows opening a result reads: what its grid shows at once.
    void setFirstPageSize(int rows) { m_firstPageSize = qMax(1, rows); }
    // Index of the current row (knownRows() when at the end).
    int position() const { return m_position; }
    void setPosition(int row);

    int columnCount() const { return m_columns.size(); }
    const QStringList &columnNames() const { return m_columns; }
    int columnIndex(const QString &name) const { return m_columns.indexOf(name); }

    // The current row's values; Null when there is no current row or no such column.
    QVariant value(const QString &column) const;
    QVariant value(int position) const;
    // Any row's value by 0-based row and column, for grids.
    QVariant valueAt(int row, int column) const;

    // Starts a new row; set columns, then update().
    void addNew();
    // Starts changing the current row; set columns, then update(). False without a current row.
    bool edit();
    // False (and lastError()) when the value does not suit the column's kind.
    bool setValue(const QString &column, const QVariant &value);
    bool setValue(int position, const QVariant &value);
    bool update();
    void cancelUpdate();

    // Changes columns (0-based) of any row without moving the cursor.
    bool updateRow(int row, const QHash<int, QVariant> &values);

    bool remove();
    // Deletes every row of the result, rows added through the cursor included, all or none;
    // the result is then empty. Refused (Stale) when the rows are no longer those listed.
    bool removeAll();

    // Reads the current row again, for a write that computes new values from the stored ones;
    // call it inside the write's transaction. Fails (Stale) when the row is gone or one of the
    // named columns no longer holds what was read before.
    bool reread(const QStringList &unchangedColumns);

    StoreError lastError() const { return m_lastError; }

    // Whether a value would be stored in the column (0-based); *problem says why not.
    bool accepts(int column, const QVariant &value, QString *problem) const;

signals:
    void reset();
    // Each change of the rows is told before and after it, as item models need.
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted();
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);

private:
    enum class Mode { Browse, Adding, Editing };
    // Consecutive rows of the result (not counting added rows) whose ids are known.
    struct Run
    {
        int start = 0;
        QVector<qint64> ids;
        // Where reading on after the run starts; stays valid if that row is deleted.
        qint64 lastId = 0;
        QVariant lastKey;
    };
    using Row = QVector<QVariant>;

    void clearResult();
    int baseRows() const;
    qint64 idAt(int row) const;
    const Row *rowValues(int row) const;
    bool loadAround(int row) const;
    bool readPage(const PageStart &start, bool backwards, int firstRow, int limit) const;
    void storeRun(int firstRow, const QVector<ReadRow> &rows) const;
    void cacheRow(qint64 id, const Row &values) const;
    bool readNextPage();
    void learnCount(qint64 rows);
    void shiftPositionForRowsAt(int first, int rows);
    bool ensureCount();
    bool fail(const QString &action, const QString &detail);
    bool failStale();
    void moveTo(int row);
    std::optional<QVariant> converted(int column, const QVariant &value, QString *problem) const;
    bool insertBuffered();
    bool writeRow(int row, const QHash<int, QVariant> &values);
    bool deleteRow(int row);
    // Runs a statement of the store's cache; false (and lastError()) on failure.
    bool execute(const QString &sql, const QVariantList &values, const QString &action,
                 int *rowsAffected, QSqlQuery **result = nullptr);
    // "rowid = ? AND <every column> IS ?": true only while the row holds what was read.
    QString unchangedCondition(qint64 id, const Row &read, QVariantList *values) const;
    bool matchesStored(qint64 id, const Row &read, bool *matches);
    void rereadRow(int row);
    void dropRow(int row);

    Store &m_store;
    Query m_source;
    const TableDef *m_table = nullptr;
    bool m_open = false;
    QStringList m_columns;
    std::unique_ptr<PageReader> m_reader;
    mutable std::vector<Run> m_runs;
    mutable QHash<qint64, Row> m_rows;
    bool m_exhausted = false;
    bool m_countKnown = false;
    int m_count = 0; // rows of the result when known, without the added ones
    QVector<qint64> m_added;
    int m_firstPageSize = 64;
    int m_position = 0;
    bool m_currentDeleted = false;
    Mode m_mode = Mode::Browse;
    QHash<int, QVariant> m_buffer;
    StoreError m_lastError;
};
