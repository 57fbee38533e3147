#include "printing/openingscreen.h"

#include "shell/datagrid.h"
#include "store/cursor.h"

#include <QComboBox>
#include <QLineEdit>

QString OpeningScreen::text(const QString &control) const
{
    if (!m_screen)
        return QString();
    if (const auto *box = m_screen->findChild<QLineEdit *>(control))
        return box->text();
    if (const auto *combo = m_screen->findChild<QComboBox *>(control))
        return combo->currentText();
    return QString();
}

void OpeningScreen::forEachLine(const QString &cursorName,
                                const std::function<void(const Cursor &line)> &visit) const
{
    Cursor *cursor = m_screen ? m_screen->findChild<Cursor *>(cursorName) : nullptr;
    if (!cursor || !cursor->isOpen())
        return;
    // The grids over the cursor follow it from line to line; scrolling them along every line
    // would cost more than the reading.
    QList<QPair<DataGrid *, bool>> grids;
    for (DataGrid *grid : m_screen->findChildren<DataGrid *>()) {
        if (grid->cursor() != cursor)
            continue;
        grid->submitPendingEdits();
        grids.append({grid, grid->hasAutoScroll()});
        grid->setAutoScroll(false);
    }
    // The screen's delete acts on the current row: reading the lines must not move it.
    const int current = cursor->hasCurrent() ? cursor->position() : -1;
    for (cursor->first(); !cursor->atEnd(); cursor->next())
        visit(*cursor);
    for (const auto &[grid, autoScroll] : grids)
        grid->setAutoScroll(autoScroll);
    if (current >= 0)
        cursor->setPosition(current);
}
