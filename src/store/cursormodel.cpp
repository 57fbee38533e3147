#include "store/cursormodel.h"

#include "store/cursor.h"

CursorModel::CursorModel(Cursor *cursor, QObject *parent)
    : QAbstractTableModel(parent), m_cursor(cursor)
{
    connect(cursor, &Cursor::reset, this, [this] {
        beginResetModel();
        dropPendingEdits();
        endResetModel();
    });
    connect(cursor, &Cursor::rowsAboutToBeInserted, this, [this](int first, int last) {
        beginInsertRows(QModelIndex(), first, last);
        if (m_pendingRow >= first)
            m_pendingRow += last - first + 1;
    });
    connect(cursor, &Cursor::rowsInserted, this, [this] { endInsertRows(); });
    connect(cursor, &Cursor::rowAboutToBeRemoved, this, [this](int row) {
        beginRemoveRows(QModelIndex(), row, row);
        if (row == m_pendingRow)
            dropPendingEdits();
        else if (row < m_pendingRow)
            --m_pendingRow;
    });
    connect(cursor, &Cursor::rowRemoved, this, [this] { endRemoveRows(); });
    connect(cursor, &Cursor::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int CursorModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_cursor ? 0 : m_cursor->knownRows();
}

bool CursorModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_cursor && m_cursor->isOpen() && !m_cursor->isCountKnown();
}

void CursorModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid() && m_cursor)
        m_cursor->fetchMore();
}

int CursorModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_cursor ? 0 : m_cursor->columnCount();
}

QVariant CursorModel::data(const QModelIndex &index, int role) const
{
    if (!m_cursor || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    if (index.row() == m_pendingRow && m_pending.contains(index.column()))
        return m_pending.value(index.column());
    const QVariant value = m_cursor->valueAt(index.row(), index.column());
    if (value.isNull())
        return QVariant();
    // Numbers show in their plain form (7.5, 12) whatever the engine's type.
    return value.toString();
}

QVariant CursorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_cursor)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_cursor->columnNames().value(section);
    return QVariant();
}

Qt::ItemFlags CursorModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CursorModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_cursor || !index.isValid() || role != Qt::EditRole)
        return false;
    if (data(index, Qt::EditRole).toString() == value.toString())
        return true;
    QString problem;
    if (!m_cursor->accepts(index.column(), value, &problem)) {
        emit editFailed(QStringLiteral("%1：%2，未修改")
                            .arg(m_cursor->columnNames().value(index.column()), problem));
        return false;
    }
    if (m_pendingRow != index.row() && !submit())
        return false;
    m_pendingRow = index.row();
    // An emptied cell stores Null, as a box left empty does.
    m_pending.insert(index.column(), value.toString().isEmpty() ? QVariant() : value);
    emit dataChanged(index, index);
    return true;
}

bool CursorModel::submit()
{
    if (m_pendingRow < 0 || !m_cursor)
        return true;
    const int row = m_pendingRow;
    const QHash<int, QVariant> values = m_pending;
    dropPendingEdits();
    if (!m_cursor->updateRow(row, values)) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit editFailed(m_cursor->lastError().text());
        return false;
    }
    return true;
}

void CursorModel::revert()
{
    const int row = m_pendingRow;
    dropPendingEdits();
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CursorModel::dropPendingEdits()
{
    m_pendingRow = -1;
    m_pending.clear();
}
