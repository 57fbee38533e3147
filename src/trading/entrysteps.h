#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

// How the keyboard walks through an entry screen (purchase or sales entry): Enter forward in
// reading order, Up back.
namespace EntrySteps {

// Up released in a box moves the focus to the box before it, provided the key went down in that
// same box: a release arriving after the focus moved in does not move on again.
void upMovesBack(const QList<QLineEdit *> &boxes);

// The quantity, price and amount boxes of a line: Enter in the quantity moves to the price;
// Enter in the price computes the amount (quantity times price, to the cent) and moves to it,
// or says "输入错误" when either is not a number; Enter in the amount runs `addLine`. Up walks
// back, from the quantity to `previous`.
void amountBoxes(QWidget *screen, QLineEdit *quantity, QLineEdit *price, QLineEdit *amount,
                 QWidget *previous, const std::function<void()> &addLine);

} // namespace EntrySteps

// The combo boxes of an entry screen: Enter moves on; Up moves back, except after Space opened a
// list, where Up then moves inside it, until Enter in one of the combos.
class ComboSteps : public QObject
{
public:
    explicit ComboSteps(QObject *parent) : QObject(parent) {}

    void add(QComboBox *combo, QWidget *previous, QWidget *next);
    void forgetOpenList() { m_listOpen = false; }

private:
    bool m_listOpen = false;
};
