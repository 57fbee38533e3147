#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class Cursor;

// The screen that opened a print window, read each time the window lays its document out. It
// may have been closed since: it then reads as empty boxes without lines.
class OpeningScreen
{
public:
    explicit OpeningScreen(QWidget *screen) : m_screen(screen) {}

    // The text of the screen's text box or combo box of that name; empty when there is none.
    QString text(const QString &control) const;
    // Calls `visit` with the screen's cursor of that name standing on each of its rows in turn,
    // first to last. An edit still open in a grid over the cursor is saved first; the cursor
    // stands on its former row again afterwards.
    void forEachLine(const QString &cursorName,
                     const std::function<void(const Cursor &line)> &visit) const;

private:
    QPointer<QWidget> m_screen;
};
