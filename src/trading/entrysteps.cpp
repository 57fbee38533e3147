#include "trading/entrysteps.h"

#include "shell/entrykeys.h"
#include "shell/messages.h"
#include "store/values.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <memory>

namespace {

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

void computeAmount(QWidget *screen, QLineEdit *quantity, QLineEdit *price, QLineEdit *amount)
{
    const auto count = Values::parseNumber(quantity->text());
    const auto each = Values::parseNumber(price->text());
    if (!count || !each) {
        Messages::inform(screen, QStringLiteral("输入错误"));
        return;
    }
    amount->setText(Values::money(*count * *each));
    amount->setFocus();
}

// Enter in the box runs `onEnter`; Up moves the focus to `previous`.
void step(QLineEdit *box, QWidget *previous, std::function<void()> onEnter)
{
    EntryKeys::onKeyPress(box, [previous, onEnter = std::move(onEnter)](QKeyEvent *event) {
        if (isEnter(event))
            onEnter();
        else if (event->key() == Qt::Key_Up)
            previous->setFocus();
        else
            return false;
        return true;
    });
}

} // namespace

namespace EntrySteps {

void upMovesBack(const QList<QLineEdit *> &boxes)
{
    // The box that saw the Up key go down.
    auto pressedIn = std::make_shared<QPointer<QWidget>>();
    for (int index = 0; index < boxes.size(); ++index) {
        QLineEdit *box = boxes[index];
        EntryKeys::onKeyPress(box, [pressedIn, box, index](QKeyEvent *event) {
            if (event->key() != Qt::Key_Up)
                return false;
            *pressedIn = box;
            return index > 0;
        });
        if (index == 0)
            continue;
        QLineEdit *previous = boxes[index - 1];
        EntryKeys::onKeyRelease(box, [pressedIn, box, previous](QKeyEvent *event) {
            if (event->key() != Qt::Key_Up || *pressedIn != box)
                return false;
            *pressedIn = nullptr;
            previous->setFocus();
            return true;
        });
    }
}

void amountBoxes(QWidget *screen, QLineEdit *quantity, QLineEdit *price, QLineEdit *amount,
                 QWidget *previous, const std::function<void()> &addLine)
{
    step(quantity, previous, [price] { price->setFocus(); });
    step(price, quantity, [screen, quantity, price, amount] {
        computeAmount(screen, quantity, price, amount);
    });
    step(amount, price, addLine);
}

} // namespace EntrySteps

void ComboSteps::add(QComboBox *combo, QWidget *previous, QWidget *next)
{
    // However the list closes (Enter, Escape, a click), Up belongs to the fields again, so that
    // it cannot change the choice unseen in the closed box.
    EntryKeys::onListClosed(combo, [this] { m_listOpen = false; });
    EntryKeys::onKeyPress(combo, [this, previous, next](QKeyEvent *event) {
        if (isEnter(event)) {
            m_listOpen = false;
            next->setFocus();
            return true;
        }
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
            // The list itself is opened by the entry combo; only the flag is kept here.
            m_listOpen = true;
            return false;
        }
        if (event->key() == Qt::Key_Up && !m_listOpen) {
            previous->setFocus();
            return true;
        }
        return false;
    });
}
