#include "sales/xiaoshoufrm.h"

#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "trading/entrysteps.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

// The keyboard flow of sales entry: Enter walks from the search boxes to the customer, quantity,
// price and amount; Up walks back; Down enters the search grid. F11 and F12 colour a label, and
// in the pending grid they count the pending lines again.

namespace {

// Colours as the program gives them: 255 is red, 31 a red so dark it reads as black.
void colourLabel(QLabel *label, bool red)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(31, 0, 0));
    label->setPalette(palette);
}

bool isModeKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_F11 || event->key() == Qt::Key_F12;
}

} // namespace

bool XiaoshouFrm::handleLabelKey(const QKeyEvent *event)
{
    if (!isModeKey(event))
        return false;
    colourLabel(dateLabel, event->key() == Qt::Key_F11);
    return true;
}

bool XiaoshouFrm::handleRecountKey(const QKeyEvent *event)
{
    if (!isModeKey(event))
        return false;
    const bool f11 = event->key() == Qt::Key_F11;
    recount(QString::fromUtf8(f11 ? "品名" : "编号"));
    colourLabel(linesLabel, f11);
    return true;
}

void XiaoshouFrm::connectKeys()
{
    // Enter in the three search boxes is the lookup's; in the other herb boxes it does nothing.
    for (int index = 3; index < 11; ++index)
        EntryKeys::onEnter(Text3[index], [] {});
    EntrySteps::upMovesBack(QList<QLineEdit *>(std::begin(Text3), std::end(Text3)));
    for (QLineEdit *box : Text3)
        EntryKeys::onKeyPress(box, [this](QKeyEvent *event) { return handleLabelKey(event); });
    EntryKeys::onKeyPress(DBGrid1, [this](QKeyEvent *event) { return handleRecountKey(event); });

    m_comboSteps = new ComboSteps(this);
    m_comboSteps->add(Combo2, Text3[2], Text8);
    EntrySteps::amountBoxes(this, Text8, Text9, Text10, Combo2, [this] { addLine(); });
}
