#pragma once

#include <QTableView>

class Cursor;
class CursorModel;

// A data-bound grid: shows a cursor's rows with fixed row heights (fast on huge results), keeps
// the cursor's current row and the grid's current row together, and saves an edited row when
// the user moves to another row. Refused edits are reported through the message layer.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    DataGrid(Cursor *cursor, const QString &name, QWidget *parent = nullptr);

    Cursor *cursor() const { return m_cursor; }
    CursorModel *cursorModel() const { return m_model; }
    void setEditable(bool editable);
    // Width in twips for the first `count` columns.
    void setColumnWidthsTwips(int count, int widthTwips);
    void submitPendingEdits();
    // Whether a cell editor is open (Enter then ends the edit instead of choosing the row).
    bool isEditingCell() const { return state() == QAbstractItemView::EditingState; }

protected:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    void followCursor(int row);

    Cursor *m_cursor;
    CursorModel *m_model;
    bool m_following = false;
    bool m_removingRows = false;
};
