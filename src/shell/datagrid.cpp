#include "shell/datagrid.h"

#include "shell/celldelegate.h"
#include "shell/gridexport.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/cursormodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

namespace {

// Rows are as high as the text plus this margin.
constexpr int RowMargin = 4;
// Room added to a cell's measured text, and the share of the grid's width that one column takes
// at most, however long a value.
constexpr int CellPadding = 2;
constexpr double WidestColumnShare = 0.6;

} // namespace

DataGrid::DataGrid(Cursor *cursor, const QString &name, QWidget *parent)
    : QTableView(parent), m_cursor(cursor), m_model(new CursorModel(cursor, this)),
      m_delegate(new CellDelegate(this)), m_export(new GridExport(this))
{
    setObjectName(name);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + RowMargin);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + RowMargin);
    verticalHeader()->setFixedWidth(16);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(twips(1200));
    columnsChanged();
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::columnsChanged);
    // A row added where the grid shows it is measured too (in a list that started empty).
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first) {
                if (first < shownRows())
                    fitColumns();
            });

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
    m_fixedWidths.clear();
    for (int column = 0; column < count; ++column)
        m_fixedWidths.insert(column, twips(widthTwips));
    for (int column = 0; column < count && column < m_model->columnCount(); ++column)
        setColumnWidth(column, twips(widthTwips));
}

void DataGrid::columnsChanged()
{
    m_delegate->setColumnKinds(cellKinds(*m_cursor));
    fitColumns();
}

void DataGrid::fitColumns()
{
    m_fittedForWidth = width();
    const int columns = m_model->columnCount();
    const int room = availableWidth();
    QVector<int> widths(columns);
    int fixedTotal = 0;
    int fittedTotal = 0;
    for (int column = 0; column < columns; ++column) {
        if (m_fixedWidths.contains(column)) {
            widths[column] = m_fixedWidths.value(column);
            fixedTotal += widths[column];
        } else {
            widths[column] = qMin(contentWidth(column), qMax(1, int(room * WidestColumnShare)));
            fittedTotal += widths[column];
        }
    }
    // Room left over goes to the fitted columns in proportion, so that no part of the grid
    // stays empty while a text is cut.
    const int spare = room - fixedTotal - fittedTotal;
    if (spare > 0 && fittedTotal > 0) {
        int left = spare;
        int lastFitted = -1;
        for (int column = 0; column < columns; ++column) {
            if (m_fixedWidths.contains(column))
                continue;
            const int share = spare * widths[column] / fittedTotal;
            widths[column] += share;
            left -= share;
            lastFitted = column;
        }
        widths[lastFitted] += left;
    }
    // Each change of a width lays the header out again.
    for (int column = 0; column < columns; ++column) {
        if (columnWidth(column) != widths[column])
            setColumnWidth(column, widths[column]);
    }
}

int DataGrid::contentWidth(int column)
{
    // The text as the cell shows it, measured directly and remembered: a refreshed list mostly
    // shows the texts it showed before, and measuring Chinese text is the dearest part of it.
    const int textMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this)
                                 + 1);
    if (m_textWidths.size() > 5000)
        m_textWidths.clear();
    const QString caption = m_model->headerData(column, Qt::Horizontal).toString();
    auto header = m_headerWidths.constFind(caption);
    if (header == m_headerWidths.constEnd())
        header = m_headerWidths.insert(caption, horizontalHeader()->sectionSizeHint(column));
    int widest = *header;
    const QFontMetrics metrics(font());
    for (int row = 0, rows = shownRows(); row < rows; ++row) {
        const QString text = m_delegate->shownText(m_model->index(row, column));
        auto known = m_textWidths.constFind(text);
        if (known == m_textWidths.constEnd())
            known = m_textWidths.insert(text, metrics.horizontalAdvance(text));
        widest = qMax(widest, *known + textMargins);
    }
    return widest + CellPadding;
}

// Worked out from the grid's own size, which is right even before it is first shown.
int DataGrid::rowsRoom() const
{
    return height() - 2 * frameWidth() - horizontalHeader()->sizeHint().height();
}

int DataGrid::shownRows() const
{
    const int rowHeight = verticalHeader()->defaultSectionSize();
    return qMin(m_model->rowCount(), qMax(1, (rowsRoom() + rowHeight - 1) / rowHeight));
}

int DataGrid::availableWidth() const
{
    int room = width() - 2 * frameWidth() - verticalHeader()->width();
    const int rowsHeight = m_model->rowCount() * verticalHeader()->defaultSectionSize();
    if (verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && rowsHeight > rowsRoom())
        room -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return room;
}

void DataGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    // Opening a result reads what the grid shows at once; scrolling reads on a page at a time.
    const int shown = viewport()->height() / qMax(1, verticalHeader()->defaultSectionSize()) + 1;
    m_cursor->setFirstPageSize(shown + 1);
    if (width() != m_fittedForWidth)
        fitColumns();
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
