#include "purchasing/jinhuodjfrm.h"

#include "shell/dropdownsearch.h"
#include "shell/entrykeys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

// The keyboard flow of purchase entry: Enter walks the boxes in reading order, Up walks back,
// Down enters the lookup grid, F11 and F12 switch keep-number mode.

namespace {

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

bool JinhuodjFrm::handleModeKey(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11 || event->key() == Qt::Key_F12) {
        setKeepNumber(event->key() == Qt::Key_F11);
        return true;
    }
    return false;
}

void JinhuodjFrm::connectHerbBoxKeys(int index)
{
    QLineEdit *box = Text3[index];
    QWidget *next = index < 8 ? static_cast<QWidget *>(Text3[index + 1]) : Combo1;
    EntryKeys::onKeyPress(box, [this, box, index, next](QKeyEvent *event) {
        if (handleModeKey(event))
            return true;
        if (isEnter(event)) {
            if (index < 3 && m_lookup->isShown()) {
                copyCatalogueRow();
                m_lookup->hide();
            }
            next->setFocus();
            return true;
        }
        if (event->key() == Qt::Key_Up) {
            m_upPressedIn = box;
            return index > 0;
        }
        if (event->key() == Qt::Key_Down && index < 3 && m_lookup->isShown()) {
            m_lookup->enter();
            return true;
        }
        return false;
    });
    if (index == 0)
        return;
    EntryKeys::onKeyRelease(box, [this, box, index](QKeyEvent *event) {
        if (event->key() != Qt::Key_Up || m_upPressedIn != box)
            return false;
        m_upPressedIn = nullptr;
        Text3[index - 1]->setFocus();
        return true;
    });
}

void JinhuodjFrm::connectListKeys()
{
    struct Step { QComboBox *combo; QWidget *next; QWidget *previous; };
    const Step steps[] = {{Combo1, Combo2, Text3[8]}, {Combo2, Combo5, Combo1},
                          {Combo5, Text6, Combo2}};
    for (const Step &step : steps) {
        // However the list closes (Enter, Escape, a click), Up belongs to the fields again, so
        // that it cannot change the choice unseen in the closed box.
        EntryKeys::onListClosed(step.combo, [this] { m_listOpen = false; });
        EntryKeys::onKeyPress(step.combo, [this, step](QKeyEvent *event) {
            if (isEnter(event)) {
                m_listOpen = false;
                step.next->setFocus();
                return true;
            }
            if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
                // The list itself is opened by the entry combo; only the flag is kept here.
                m_listOpen = true;
                return false;
            }
            if (event->key() == Qt::Key_Up && !m_listOpen) {
                step.previous->setFocus();
                return true;
            }
            return false;
        });
    }
}

void JinhuodjFrm::connectNumberKeys()
{
    EntryKeys::onKeyPress(Text6, [this](QKeyEvent *event) {
        if (isEnter(event))
            Text7->setFocus();
        else if (event->key() == Qt::Key_Up)
            Combo5->setFocus();
        else
            return false;
        return true;
    });
    EntryKeys::onKeyPress(Text7, [this](QKeyEvent *event) {
        if (isEnter(event))
            computeAmount();
        else if (event->key() == Qt::Key_Up)
            Text6->setFocus();
        else
            return false;
        return true;
    });
    EntryKeys::onKeyPress(Text8, [this](QKeyEvent *event) {
        m_listOpen = false;
        if (isEnter(event))
            addLine();
        else if (event->key() == Qt::Key_Up)
            Text7->setFocus();
        else
            return false;
        return true;
    });
}
