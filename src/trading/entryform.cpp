#include "trading/entryform.h"

#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/values.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int BoxHeight = 300;
constexpr int LabelHeight = 255;
constexpr int ButtonWidth = 975;
constexpr int ButtonHeight = 360;

QString withoutBlanks(const QString &text)
{
    return QString(text).remove(QLatin1Char(' '));
}

} // namespace

EntryForm::EntryForm(QWidget *screen) : m_screen(screen) {}

QLabel *EntryForm::label(QWidget *parent, const QString &text, int left, int top, int width)
{
    return FormControls::label(parent, QStringLiteral("Label_") + withoutBlanks(text), text,
                               twips(left, top, width, LabelHeight));
}

QLineEdit *EntryForm::box(QWidget *parent, const QString &name, const QString &label, int left,
                          int top, int labelWidth, int boxWidth)
{
    this->label(parent, label, left, top + 30, labelWidth);
    QLineEdit *box =
        FormControls::textBox(parent, name, twips(left + labelWidth, top, boxWidth, BoxHeight));
    m_labelledBoxes.append({withoutBlanks(label), box});
    return box;
}

QLineEdit *EntryForm::totalBox(const QString &name, const QString &label, int left, int top,
                               int labelWidth, int boxWidth)
{
    this->label(m_screen, label, left, top + 30, labelWidth);
    QLineEdit *box = FormControls::textBox(m_screen, name,
                                           twips(left + labelWidth, top, boxWidth, BoxHeight));
    box->setReadOnly(true);
    return box;
}

QComboBox *EntryForm::combo(QWidget *parent, const QString &name, const QString &label, int left,
                            int top, int labelWidth, int comboWidth)
{
    this->label(parent, label, left, top + 30, labelWidth);
    QComboBox *combo = makeEntryCombo(name, parent);
    combo->setGeometry(twips(left + labelWidth, top, comboWidth, BoxHeight));
    m_labelledBoxes.append({withoutBlanks(label), combo->lineEdit()});
    return combo;
}

QPushButton *EntryForm::button(const QString &name, const QString &caption, int left, int top)
{
    return FormControls::button(m_screen, name, caption,
                                twips(left, top, ButtonWidth, ButtonHeight));
}

void EntryForm::refuse(QLineEdit *box, const QString &message)
{
    Messages::inform(m_screen, message);
    box->setFocus();
    box->selectAll();
}

bool EntryForm::textsFit()
{
    for (const auto &[label, box] : std::as_const(m_labelledBoxes)) {
        if (!Values::fitsTextColumn(box->text())) {
            refuse(box, Values::tooLongMessage(label));
            return false;
        }
    }
    return true;
}

bool EntryForm::numbersIn(std::initializer_list<QLineEdit *> boxes, const QString &message)
{
    for (QLineEdit *box : boxes) {
        if (!box->text().isEmpty() && !Values::parseNumber(box->text())) {
            refuse(box, message);
            return false;
        }
    }
    return true;
}
