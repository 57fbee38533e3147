#pragma once

#include <QHash>
#include <QTableView>

class CellDelegate;
class Cursor;
class CursorModel;
class GridExport;

// A data-bound grid: shows a cursor's rows with fixed, compact row heights (fast on huge
// results), keeps the cursor's current row and the grid's current row together, and saves an
// edited row when the user moves to another row. Refused edits are reported through the message
// layer. Columns are as wide as their header and the rows first shown need (never every row of
// a large result), and share out the room left over; numbers stand right-aligned, money with two
// decimals. Every row of the result can be exported to a file (GridExport).
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    DataGrid(Cursor *cursor, const QString &name, QWidget *parent = nullptr);

    Cursor *cursor() const { return m_cursor; }
    CursorModel *cursorModel() const { return m_model; }
    GridExport *exporter() const { return m_export; }
    void setEditable(bool editable);
    // Width in twips for the first `count` columns, kept whenever the columns are fitted again.
    void setColumnWidthsTwips(int count, int widthTwips);
    // Sizes the columns to their content and the grid's width.
    void fitColumns();
    void submitPendingEdits();
    // Whether a cell editor is open (Enter then ends the edit instead of choosing the row).
    bool isEditingCell() const { return state() == QAbstractItemView::EditingState; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    void followCursor(int row);
    void columnsChanged();
    int contentWidth(int column);
    int rowsRoom() const;
    int shownRows() const;
    int availableWidth() const;

    Cursor *m_cursor;
    CursorModel *m_model;
    CellDelegate *m_delegate;
    GridExport *m_export;
    QHash<int, int> m_fixedWidths; // column -> pixels
    int m_fittedForWidth = -1;
    // Measured widths of cell and header texts, which repeat from one refresh to the next.
    QHash<QString, int> m_textWidths;
    QHash<QString, int> m_headerWidths;
    bool m_following = false;
    bool m_removingRows = false;
};
