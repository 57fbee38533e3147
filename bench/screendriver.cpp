#include "screendriver.h"

#include "insight/insightscreens.h"
#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "sales/salesscreens.h"
#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "stock/stockscreens.h"
#include "store/cursor.h"
#include "store/store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

MessageLog::MessageLog() : m_previous(Messages::installSink(this)) {}

MessageLog::~MessageLog()
{
    Messages::installSink(m_previous);
}

void MessageLog::inform(const QString &text, const QString &)
{
    m_texts << text;
}

bool MessageLog::confirm(const QString &text)
{
    m_texts << text;
    return true;
}

bool MessageLog::retry(const QString &text)
{
    // The benchmark never waits for a busy file.
    m_texts << text;
    return false;
}

QStringList MessageLog::take()
{
    QStringList texts;
    texts.swap(m_texts);
    return texts;
}

ScreenDriver::ScreenDriver(Store &store) : m_store(store)
{
    // The subsystems main.cpp registers.
    registerReferenceScreens(m_registry);
    registerPurchasingScreens(m_registry);
    registerSalesScreens(m_registry);
    registerStockScreens(m_registry);
    registerInsightScreens(m_registry);
}

ScreenDriver::~ScreenDriver()
{
    closeMainWindow();
}

HerbdeskFrm &ScreenDriver::mainWindow()
{
    if (!m_mainWindow) {
        Cursor company(m_store);
        company.open(Query(QStringLiteral("gongsi")));
        Session session;
        session.companyName = company.value(1).toString();
        m_mainWindow = new HerbdeskFrm(m_store, m_registry, session);
        m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_mainWindow->show();
        settle();
    }
    return *m_mainWindow;
}

void ScreenDriver::closeMainWindow()
{
    if (m_mainWindow)
        m_mainWindow->close();
    settle();
}

ChildScreen *ScreenDriver::open(const QString &screen)
{
    if (!exists(screen))
        throw Skipped(QStringLiteral("no screen %1 yet").arg(screen).toStdString());
    QMdiSubWindow *host = mainWindow().showScreen(screen);
    settle();
    return qobject_cast<ChildScreen *>(host->widget());
}

void ScreenDriver::close(const QString &screen)
{
    if (!m_mainWindow)
        return;
    for (QMdiSubWindow *host : m_mainWindow->clientArea()->subWindowList()) {
        if (host->widget() && host->widget()->objectName() == screen)
            host->close();
    }
    settle();
}

void ScreenDriver::closeAll()
{
    if (m_mainWindow)
        m_mainWindow->clientArea()->closeAllSubWindows();
    settle();
}

void ScreenDriver::settle()
{
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ScreenDriver::type(QWidget *box, const QString &text)
{
    for (const QChar c : text) {
        // Letters and digits come as key codes, Chinese as committed text without one.
        const int key = c.unicode() < 128 ? QChar(c).toUpper().unicode() : int(Qt::Key_unknown);
        QTest::sendKeyEvent(QTest::Press, box, Qt::Key(key), QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box, Qt::Key(key), QString(c), Qt::NoModifier);
    }
}

void ScreenDriver::pressKey(QWidget *widget, int key)
{
    QTest::keyClick(widget, Qt::Key(key));
}

void ScreenDriver::click(QAbstractButton *button)
{
    if (!button->isEnabled())
        throw Skipped(QStringLiteral("%1 is disabled").arg(button->objectName()).toStdString());
    button->click();
}

int ScreenDriver::visibleRows(const QTableView *grid)
{
    const int rowHeight = qMax(1, grid->verticalHeader()->defaultSectionSize());
    return grid->viewport()->height() / rowHeight + 1;
}

int ScreenDriver::scrollToEnd(QTableView *grid, int maxSteps)
{
    QScrollBar *bar = grid->verticalScrollBar();
    const int range = bar->maximum() - bar->minimum();
    // Every page when there are few; else evenly spread pages, as a dragged thumb shows them.
    const int step = qMax(bar->pageStep(), range / qMax(1, maxSteps));
    int steps = 0;
    for (int value = bar->minimum();; value = qMin(value + step, bar->maximum())) {
        bar->setValue(value);
        // Painting a page asks the grid's model for every row it shows; between pages the
        // event loop runs, as it does between a user's scroll steps.
        grid->viewport()->repaint();
        QCoreApplication::processEvents();
        ++steps;
        if (value >= bar->maximum())
            break;
    }
    settle();
    return steps;
}
