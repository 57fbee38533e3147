#include "shell/childscreen.h"

#include "shell/datagrid.h"
#include "shell/twips.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

ChildScreen::ChildScreen(Store &store, const QString &name, const QString &caption,
                         int widthTwips, int heightTwips, QWidget *parent)
    : QWidget(parent), m_store(store), m_windowSize(twipsSize(widthTwips, heightTwips))
{
    setObjectName(name);
    setWindowTitle(caption);
    // Shown on its own (in tests), the screen takes the whole window size as its client area.
    resize(m_windowSize);
}

void ChildScreen::closeScreen()
{
    if (auto *host = qobject_cast<QMdiSubWindow *>(parentWidget()))
        host->close();
    else
        close();
}

void ChildScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Given only now: the main window's frame, taking the screen in, clears a focus set earlier.
    if (m_startBox) {
        m_startBox->setFocus();
        m_startBox = nullptr;
    }
}

void ChildScreen::closeEvent(QCloseEvent *event)
{
    // A row edited in a grid is saved when the user leaves it, and leaving the screen counts.
    for (DataGrid *grid : findChildren<DataGrid *>())
        grid->submitPendingEdits();
    event->accept();
}
