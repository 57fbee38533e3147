#pragma once

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The plain controls of the screens, made at a fixed place (pixels, usually from
// twips()) and named as the program names them.
namespace FormControls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &place);
QLineEdit *textBox(QWidget *parent, const QString &name, const QRect &place);
QPushButton *button(QWidget *parent, const QString &name, const QString &text,
                    const QRect &place);
QGroupBox *frame(QWidget *parent, const QString &name, const QString &title, const QRect &place);

// Centres the frame's one line of controls in the room below its title: the style's title band
// is taller than the design's, whose places would put the line across the frame's border.
void centreLineInFrame(QGroupBox *frame);

} // namespace FormControls
