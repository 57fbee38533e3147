#include "shell/entrykeys.h"

#include "store/cursor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class KeyHook : public QObject
{
public:
    KeyHook(QWidget *widget, QEvent::Type type, std::function<bool(QKeyEvent *)> handler)
        : QObject(widget), m_type(type), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != m_type)
            return false;
        return m_handler(static_cast<QKeyEvent *>(event));
    }

private:
    QEvent::Type m_type;
    std::function<bool(QKeyEvent *)> m_handler;
};

void hook(QWidget *widget, QEvent::Type type, std::function<bool(QKeyEvent *)> handler)
{
    auto *keyHook = new KeyHook(widget, type, std::move(handler));
    widget->installEventFilter(keyHook);
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(keyHook);
}

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Notes an Enter that the open list is about to take as a choice, and hands it on to the box
// once the choice is made.
class ListEnter : public QObject
{
public:
    explicit ListEnter(QComboBox *combo) : QObject(combo), m_combo(combo)
    {
        // Installed after the list's own filter (made with the view), so it sees the key first.
        combo->view()->installEventFilter(this);
        connect(combo, &QComboBox::activated, this, &ListEnter::passOn);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The list chooses on Enter already at the shortcut check that precedes the key press,
        // and only while it is open on an enabled entry; the press itself then finds it closed.
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            const QAbstractItemView *list = m_combo->view();
            const QModelIndex highlighted = list->currentIndex();
            m_enterChooses = isEnter(static_cast<QKeyEvent *>(event)) && list->isVisible()
                             && highlighted.isValid()
                             && highlighted.flags().testFlag(Qt::ItemIsEnabled);
        }
        return false;
    }

private:
    void passOn()
    {
        if (!m_enterChooses)
            return;
        m_enterChooses = false;
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(m_combo, &enter);
    }

    QComboBox *m_combo;
    bool m_enterChooses = false;
};

class HideHook : public QObject
{
public:
    HideHook(QWidget *widget, std::function<void()> handler)
        : QObject(widget), m_handler(std::move(handler))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            m_handler();
        return false;
    }

private:
    std::function<void()> m_handler;
};

} // namespace

namespace EntryKeys {

void onKeyPress(QWidget *widget, std::function<bool(QKeyEvent *)> handler)
{
    hook(widget, QEvent::KeyPress, std::move(handler));
}

void onKeyRelease(QWidget *widget, std::function<bool(QKeyEvent *)> handler)
{
    hook(widget, QEvent::KeyRelease, std::move(handler));
}

void onEnter(QWidget *widget, std::function<void()> action)
{
    onKeyPress(widget, [action = std::move(action)](QKeyEvent *event) {
        if (!isEnter(event))
            return false;
        action();
        return true;
    });
}

void chainEnter(std::initializer_list<QWidget *> widgets, std::function<void()> lastAction)
{
    const QList<QWidget *> chain(widgets);
    for (int i = 0; i + 1 < chain.size(); ++i) {
        QWidget *next = chain[i + 1];
        onEnter(chain[i], [next] { next->setFocus(Qt::TabFocusReason); });
    }
    if (!chain.isEmpty() && lastAction)
        onEnter(chain.last(), std::move(lastAction));
}

void openListOnSpace(QComboBox *combo)
{
    onKeyPress(combo, [combo](QKeyEvent *event) {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
            combo->showPopup();
        return false;
    });
}

void passListEnterToBox(QComboBox *combo)
{
    new ListEnter(combo);
}

void onListClosed(QComboBox *combo, std::function<void()> handler)
{
    // The list lies in a popup window of its own, which hides when the list closes.
    new HideHook(combo->view()->window(), std::move(handler));
}

} // namespace EntryKeys

QComboBox *makeEntryCombo(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setEditText(QString());
    EntryKeys::openListOnSpace(combo);
    EntryKeys::passListEnterToBox(combo);
    return combo;
}

void chooseOnlyFromList(QComboBox *combo)
{
    // The link is a private slot of QComboBox, reachable only through the string form.
    QObject::disconnect(combo->lineEdit(), SIGNAL(editingFinished()), combo, nullptr);
}

bool fillChoices(QComboBox *combo, Store &store, const QString &table)
{
    Cursor list(store);
    if (!list.open(Query(table)))
        return false;
    const QString text = combo->currentText();
    for (list.first(); !list.atEnd(); list.next())
        combo->addItem(list.value(1).toString().trimmed());
    combo->setEditText(text);
    return true;
}
