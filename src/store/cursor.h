#pragma once

#include "store/query.h"
#include "store/storeerror.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

class Store;
struct TableDef;

// An open result over one table: rows in table order, identified by rowid, read lazily in pages
// so that a large table opens at once. Column access by name or by 1-based position; Null is
// distinct from the empty text.
//
// After addNew()/update() the cursor stays on the row it was on and the new row is appended to
// the result. After remove() there is no current row until the cursor moves; next() then stands
// on the row that followed the deleted one.
class Cursor : public QObject
{
    Q_OBJECT

public:
    explicit Cursor(Store &store, QObject *parent = nullptr);

    // Runs the source and stands on the first row (or at the end when there is none).
    bool open(const Query &source);
    bool refresh();
    void close();
    bool isOpen() const { return m_open; }
    const Query &source() const { return m_source; }

    void first();
    void next();
    void last();
    bool atEnd() const;
    bool hasCurrent() const;
    int count() const { return m_rowIds.size(); }
    // Index of the current row (count() when at the end).
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
    // the result is then empty. The grid hears one reset, however many rows go.
    bool removeAll();

    StoreError lastError() const { return m_lastError; }

    // Whether a value would be stored in the column (0-based); *problem says why not.
    bool accepts(int column, const QVariant &value, QString *problem) const;

signals:
    void reset();
    // Each change of the rows is told before and after it, as item models need.
    void rowAboutToBeAppended(int row);
    void rowAppended(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);

private:
    enum class Mode { Browse, Adding, Editing };

    void clearResult();
    const QVector<QVariant> *rowValues(int row) const;
    void loadPage(int row) const;
    bool fail(const QString &action, const QString &detail);
    void moveTo(int row);
    std::optional<QVariant> converted(int column, const QVariant &value, QString *problem) const;
    bool insertBuffered();
    bool writeRow(qint64 rowId, const QHash<int, QVariant> &values);

    Store &m_store;
    Query m_source;
    const TableDef *m_table = nullptr;
    bool m_open = false;
    QStringList m_columns;
    QVector<qint64> m_rowIds;
    mutable QHash<qint64, QVector<QVariant>> m_cache;
    int m_position = 0;
    bool m_currentDeleted = false;
    Mode m_mode = Mode::Browse;
    QHash<int, QVariant> m_buffer;
    StoreError m_lastError;
};
