#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

class Cursor;

// A grid's view of a cursor: every column of the result in order, rows read as they are shown. Edits of
// one row are held until submit() (the grid calls it when the user leaves the row); a value the
// column cannot take is refused at once and the old value kept.
class CursorModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CursorModel(Cursor *cursor, QObject *parent = nullptr);

    Cursor *cursor() const { return m_cursor; }
    void setEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // Rows are read a page at a time as the grid scrolls towards the end.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

public slots:
    // Saves the held edits of a row; false (and editFailed) when the store refuses them.
    bool submit() override;
    void revert() override;

signals:
    void editFailed(const QString &message);

private:
    void dropPendingEdits();

    QPointer<Cursor> m_cursor;
    bool m_editable = true;
    int m_pendingRow = -1;
    QHash<int, QVariant> m_pending;
};
