#include "shell/datagrid.h"

#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/cursormodel.h"

#include <QApplication>
#include <QHeaderView>

DataGrid::DataGrid(Cursor *cursor, const QString &name, QWidget *parent)
    : QTableView(parent), m_cursor(cursor), m_model(new CursorModel(cursor, this))
{
    setObjectName(name);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(16);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(twips(1200));

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (m_removingRows)
                    return;
                if (previous.isValid())
                    m_model->submit();
                if (!m_following && current.isValid())
                    m_cursor->setPosition(current.row());
            });
    connect(cursor, &Cursor::currentChanged, this, &DataGrid::followCursor);
    // A deleted row leaves the cursor without a current row until it moves; the grid shows
    // the same instead of the neighbour the view would pick.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        m_removingRows = false;
        followCursor(m_cursor->hasCurrent() ? m_cursor->position() : -1);
    });
    connect(m_model, &CursorModel::editFailed, this,
            [this](const QString &message) { Messages::inform(this, message); });
}

void DataGrid::setEditable(bool editable)
{
    m_model->setEditable(editable);
}

void DataGrid::setColumnWidthsTwips(int count, int widthTwips)
{
    for (int column = 0; column < count && column < m_model->columnCount(); ++column)
        setColumnWidth(column, twips(widthTwips));
}

void DataGrid::submitPendingEdits()
{
    // An open cell editor holds the last typed value; it counts as part of the row.
    QWidget *editor = QApplication::focusWidget();
    if (state() == QAbstractItemView::EditingState && editor && viewport()->isAncestorOf(editor))
        commitData(editor);
    m_model->submit();
}

void DataGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter ends the cell edit only; the row is saved when the user leaves it.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        hint = QAbstractItemDelegate::NoHint;
    QTableView::closeEditor(editor, hint);
}

void DataGrid::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    // Runs before the selection model moves the current row off the deleted one: that move
    // must neither save edits into the shifted rows nor carry the cursor along.
    m_removingRows = true;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void DataGrid::followCursor(int row)
{
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        setCurrentIndex(m_model->index(row, qMax(0, currentIndex().column())));
    } else {
        // No current row: nothing may look chosen either.
        selectionModel()->clearSelection();
        selectionModel()->clearCurrentIndex();
    }
    m_following = false;
}
