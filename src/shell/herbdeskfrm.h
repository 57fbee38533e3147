#pragma once

#include "shell/session.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class ChildScreen;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class ScreenRegistry;
class Store;

// The main window: a multiple-document frame whose menu and toolbar open every working screen as
// a fixed-size child window, centred in the client area, at most one of each.
class HerbdeskFrm : public QMainWindow
{
    Q_OBJECT

public:
    HerbdeskFrm(Store &store, const ScreenRegistry &screens, const Session &session,
                QWidget *parent = nullptr);

    const Session &session() const { return m_session; }
    Store &store() const { return m_store; }
    QMdiArea *clientArea() const { return m_area; }

    // Opens the named screen, or brings it to the front when it is already open. Returns the
    // child window that hosts it; nullptr when no such screen exists.
    QMdiSubWindow *showScreen(const QString &name);

    // Closes every open screen, as before the store is closed under them; false when one
    // stays open.
    bool closeAllScreens();

    QMenu *createPopupMenu() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void buildStatusBar();
    bool canShow(const QString &name) const;
    ChildScreen *createScreen(const QString &name);
    void placeScreen(QMdiSubWindow *host);
    void refreshGrids();
    QSize initialSize() const;

    Store &m_store;
    const ScreenRegistry &m_screens;
    const Session m_session;
    QMdiArea *m_area = nullptr;
    QToolBar *m_toolbar = nullptr;
    QHash<QString, QPointer<QMdiSubWindow>> m_openScreens;
};
