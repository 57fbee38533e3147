#include "shell/formcontrols.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace FormControls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &place)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QRect &place)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text,
                    const QRect &place)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    // Enter belongs to the entry boxes; a button must not grab it as the default button.
    button->setAutoDefault(false);
    return button;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &title, const QRect &place)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setGeometry(place);
    return frame;
}

void centreLineInFrame(QGroupBox *frame)
{
    const QRect room = frame->contentsRect();
    for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QRect place = control->geometry();
        place.moveTop(room.top() + (room.height() - place.height()) / 2);
        control->setGeometry(place);
    }
}

} // namespace FormControls
