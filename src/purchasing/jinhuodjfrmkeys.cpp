#include "purchasing/jinhuodjfrm.h"

#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "trading/entrysteps.h"
#include "trading/herblookup.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

// The keyboard flow of purchase entry: Enter walks the boxes in reading order, Up walks back,
// Down enters the lookup grid, F11 and F12 switch keep-number mode.

bool JinhuodjFrm::handleModeKey(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11 || event->key() == Qt::Key_F12) {
        setKeepNumber(event->key() == Qt::Key_F11);
        return true;
    }
    return false;
}

void JinhuodjFrm::connectKeys()
{
    // Enter in the three search boxes is the lookup's; it moves on to the next box as well.
    for (int index = 3; index < 9; ++index) {
        QWidget *next = index < 8 ? static_cast<QWidget *>(Text3[index + 1]) : Combo1;
        EntryKeys::onEnter(Text3[index], [next] { next->setFocus(); });
    }
    EntrySteps::upMovesBack(QList<QLineEdit *>(std::begin(Text3), std::end(Text3)));
    const auto modeKey = [this](QKeyEvent *event) { return handleModeKey(event); };
    for (QLineEdit *box : Text3)
        EntryKeys::onKeyPress(box, modeKey);
    EntryKeys::onKeyPress(m_lookup->grid(), modeKey);

    m_comboSteps = new ComboSteps(this);
    m_comboSteps->add(Combo1, Text3[8], Combo2);
    m_comboSteps->add(Combo2, Combo1, Combo5);
    m_comboSteps->add(Combo5, Combo2, Text6);
    EntrySteps::amountBoxes(this, Text6, Text7, Text8, Combo5, [this] { addLine(); });
    // Any key typed in the amount box forgets that a list was opened.
    EntryKeys::onKeyPress(Text8, [this](QKeyEvent *) {
        m_comboSteps->forgetOpenList();
        return false;
    });
}
