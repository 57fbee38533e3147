#pragma once

#include "shell/messages.h"
#include "shell/screenregistry.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <stdexcept>

class ChildScreen;
class HerbdeskFrm;
class QAbstractButton;
class QTableView;
class Store;

// An action that cannot run on this build (a screen or a control is missing) is skipped with
// the reason, not failed.
class Skipped : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Records the program's message boxes instead of showing them; a message the benchmark did not
// expect means the action went wrong, so it is reported.
class MessageLog : public Messages::Sink
{
public:
    MessageLog();
    ~MessageLog() override;
    void inform(const QString &text, const QString &caption) override;
    bool confirm(const QString &text) override;
    bool retry(const QString &text) override;
    // The messages since the last call.
    QStringList take();

private:
    Messages::Sink *m_previous;
    QStringList m_texts;
};

// Drives the program as a clerk does: through the main window after login, its screens opened
// by name as the menu opens them, keys typed into boxes and buttons clicked, each step followed
// by the event processing and painting that the user waits for.
class ScreenDriver
{
public:
    explicit ScreenDriver(Store &store);
    ~ScreenDriver();

    const ScreenRegistry &registry() const { return m_registry; }
    bool exists(const QString &screen) const { return m_registry.contains(screen); }

    HerbdeskFrm &mainWindow();
    // Closes every screen and the main window (a later call of mainWindow() makes a new one).
    void closeMainWindow();

    // Opens the screen through the main window, or brings it to the front.
    ChildScreen *open(const QString &screen);
    void close(const QString &screen);
    void closeAll();

    // Processes what the last step left to do: posted events, layout, painting, deletions.
    static void settle();

    // Key presses as a keyboard or an input method delivers them.
    static void type(QWidget *box, const QString &text);
    static void pressKey(QWidget *widget, int key);
    static void click(QAbstractButton *button);

    // Rows the grid shows at once (its first page).
    static int visibleRows(const QTableView *grid);
    // Scrolls a grid from its first row to its last, painting a page at each of at most
    // `maxSteps` evenly spread positions; returns the number of pages painted.
    static int scrollToEnd(QTableView *grid, int maxSteps);

    template <typename T>
    static T *find(const QWidget *parent, const QString &name)
    {
        T *widget = parent->findChild<T *>(name);
        if (!widget)
            throw Skipped(QStringLiteral("no %1 in %2").arg(name, parent->objectName())
                              .toStdString());
        return widget;
    }

private:
    Store &m_store;
    ScreenRegistry m_registry;
    QPointer<HerbdeskFrm> m_mainWindow;
};
