#include "insight/viewparts.h"

#include "shell/formcontrols.h"
#include "shell/twips.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace ViewParts {

QLineEdit *totalBox(QWidget *parent, const QString &name, int widthTwips)
{
    QLineEdit *box = FormControls::textBox(parent, name, QRect());
    // A total is the view's answer, not an input.
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setText(QStringLiteral("0"));
    box->setFixedWidth(twips(widthTwips));
    return box;
}

QLineEdit *addTotal(QBoxLayout *row, QWidget *parent, const QString &labelName,
                    const QString &caption, const QString &boxName, int widthTwips)
{
    row->addWidget(FormControls::label(parent, labelName, caption, QRect()));
    QLineEdit *box = totalBox(parent, boxName, widthTwips);
    row->addWidget(box);
    return box;
}

} // namespace ViewParts
