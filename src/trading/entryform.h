#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <initializer_list>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls of an entry screen (purchase or sales entry), made at twips positions with their
// labels. Every box is kept with its label, so that the screen refuses a text by the box's name.
class EntryForm
{
public:
    explicit EntryForm(QWidget *screen);

    // A label named "Label_" and its text without blanks.
    QLabel *label(QWidget *parent, const QString &text, int left, int top, int width);
    // A text box with its label to the left, both on one line.
    QLineEdit *box(QWidget *parent, const QString &name, const QString &label, int left, int top,
                   int labelWidth, int boxWidth);
    // A box showing a total, with its label to the left; the program writes it, the clerk does
    // not.
    QLineEdit *totalBox(const QString &name, const QString &label, int left, int top,
                        int labelWidth, int boxWidth);
    // An editable combo box (makeEntryCombo) with its label to the left.
    QComboBox *combo(QWidget *parent, const QString &name, const QString &label, int left,
                     int top, int labelWidth, int comboWidth);
    // A button of the row along the bottom of the screen.
    QPushButton *button(const QString &name, const QString &caption, int left, int top);

    // Tells the clerk why the line is refused and puts the focus on the box to mend, its text
    // selected.
    void refuse(QLineEdit *box, const QString &message);
    // True when every box's text fits a text column; else refuses the first that does not,
    // naming it.
    bool textsFit();
    // True when each of the boxes is empty or holds a number; else refuses the first that does
    // not with the message.
    bool numbersIn(std::initializer_list<QLineEdit *> boxes, const QString &message);

private:
    QWidget *m_screen;
    QList<QPair<QString, QLineEdit *>> m_labelledBoxes;
};
