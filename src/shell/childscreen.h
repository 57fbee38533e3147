#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class Store;

// A working screen of the main window: fixed size (window size including border and caption
// bar, given in twips), caption and object name as the program names them. The main window
// hosts it as a child window and centres it by the placement rule.
class ChildScreen : public QWidget
{
    Q_OBJECT

public:
    ChildScreen(Store &store, const QString &name, const QString &caption, int widthTwips,
                int heightTwips, QWidget *parent = nullptr);

    // The fixed window size in pixels, frame included.
    QSize windowSize() const { return m_windowSize; }

    // Closes the screen, or the child window that hosts it.
    void closeScreen();

protected:
    Store &store() const { return m_store; }
    // The box that has the focus when the screen opens: the first of its Enter chain.
    void setStartBox(QWidget *box) { m_startBox = box; }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Store &m_store;
    QSize m_windowSize;
    QPointer<QWidget> m_startBox;
};
