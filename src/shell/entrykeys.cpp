#include "shell/entrykeys.h"

#include "store/cursor.h"

#include <QComboBox>
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
