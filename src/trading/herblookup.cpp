#include "trading/herblookup.h"

#include "shell/datagrid.h"
#include "shell/dropdownsearch.h"
#include "shell/entrykeys.h"
#include "store/cursor.h"
#include "store/query.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const char *const SearchColumns[] = {"编号", "品名", "拼音"};

} // namespace

HerbLookup::HerbLookup(Store &store, QWidget *window, const Settings &settings,
                       const std::array<QLineEdit *, 3> &searchBoxes,
                       const std::array<QWidget *, 3> &nextAfterEnter)
    : QObject(window), m_settings(settings), m_boxes(searchBoxes),
      m_dropDown(new DropDownSearch(store, window, settings.gridName))
{
    for (int index = 0; index < 3; ++index)
        connectSearchBox(index, nextAfterEnter[index]);
    connect(m_dropDown, &DropDownSearch::enterPressed, this, &HerbLookup::takeOver);
    connect(m_dropDown, &DropDownSearch::enterReleased, this, [this] {
        hide();
        emit pickedInGrid();
    });
}

void HerbLookup::connectSearchBox(int index, QWidget *next)
{
    QLineEdit *box = m_boxes[index];
    connect(box, &QLineEdit::textChanged, this, [this, index] { search(index); });
    EntryKeys::onKeyPress(box, [this, next](QKeyEvent *event) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (isShown()) {
                takeOver();
                hide();
            }
            next->setFocus();
            return true;
        case Qt::Key_Down:
            if (!isShown())
                return false;
            m_dropDown->enter();
            return true;
        default:
            return false;
        }
    });
}

void HerbLookup::search(int index)
{
    if (!m_searching)
        return;
    const Query query = Query::beginningWith(
        m_settings.table, QString::fromUtf8(SearchColumns[index]), m_boxes[index]->text());
    // A failed search leaves the grid as it was.
    m_dropDown->search(m_boxes[index], query, m_settings.width, m_settings.heights[index],
                       m_settings.sizedColumns, m_settings.columnWidth);
}

void HerbLookup::setTargets(const QList<Target> &targets)
{
    m_targets = targets;
}

void HerbLookup::setTakeOverCheck(const std::function<bool(const Cursor &row)> &check)
{
    m_takeOverCheck = check;
}

void HerbLookup::quietly(const std::function<void()> &change)
{
    const bool searching = m_searching;
    m_searching = false;
    change();
    m_searching = searching;
}

void HerbLookup::takeOver()
{
    const Cursor &row = chosenRow();
    if (!row.hasCurrent() || (m_takeOverCheck && !m_takeOverCheck(row)))
        return;
    quietly([this, &row] {
        for (const Target &target : std::as_const(m_targets)) {
            const QVariant value = row.value(target.column);
            if (value.isNull())
                continue;
            const QString text = value.toString().trimmed();
            if (target.box)
                target.box->setText(text);
            else
                target.combo->setEditText(text);
        }
    });
}

void HerbLookup::hide()
{
    m_dropDown->hide();
}

bool HerbLookup::isShown() const
{
    return m_dropDown->isShown();
}

const Cursor &HerbLookup::chosenRow() const
{
    return m_dropDown->cursor();
}

DataGrid *HerbLookup::grid() const
{
    return m_dropDown->grid();
}
