#include "shell/dropdownsearch.h"

#include "shell/datagrid.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {
constexpr int DropOffsetTwips = 300;
// However small the height asked for, the list shows its header and this many whole rows.
constexpr int MinimumRows = 3;
} // namespace

DropDownSearch::DropDownSearch(Store &store, QWidget *window, const QString &gridName)
    : QObject(window), m_window(window), m_cursor(new Cursor(store, this)),
      m_grid(new DataGrid(m_cursor, gridName, window))
{
    m_grid->hide();
    // A scroll bar along the bottom would hide a row of a list this short; the arrow keys still
    // reach the columns beyond the right edge.
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->installEventFilter(this);
}

bool DropDownSearch::search(QWidget *box, const Query &query, int widthTwips, int heightTwips,
                            int sizedColumns, int columnWidthTwips)
{
    m_grid->submitPendingEdits();
    m_grid->setColumnWidthsTwips(sizedColumns, columnWidthTwips);
    if (!m_cursor->open(query))
        return false;
    const QPoint boxTopLeft = box->mapTo(m_window, QPoint(0, 0));
    const int formerWidth = m_grid->width();
    m_grid->setGeometry(boxTopLeft.x(), boxTopLeft.y() + twips(DropOffsetTwips), twips(widthTwips),
                        qMax(twips(heightTwips), minimumHeight()));
    // The new rows were fitted to the former width. A shown list refits at once when resized; a
    // hidden one would only when shown, over widths its owner sets in the meantime.
    if (!m_grid->isVisible() && m_grid->width() != formerWidth)
        m_grid->fitColumns();
    m_grid->show();
    m_grid->raise();
    return true;
}

int DropDownSearch::minimumHeight() const
{
    return m_grid->horizontalHeader()->sizeHint().height()
           + MinimumRows * m_grid->verticalHeader()->defaultSectionSize()
           + 2 * m_grid->frameWidth();
}

void DropDownSearch::hide()
{
    m_grid->submitPendingEdits();
    m_grid->hide();
}

bool DropDownSearch::isShown() const
{
    return m_grid->isVisible();
}

void DropDownSearch::enter()
{
    m_grid->setFocus();
    if (!m_grid->currentIndex().isValid() && !m_cursor->isEmpty())
        m_cursor->first();
}

bool DropDownSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enterKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enterKey && !m_grid->isEditingCell()) {
            if (event->type() == QEvent::KeyPress)
                emit enterPressed();
            else if (!key->isAutoRepeat())
                emit enterReleased();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
