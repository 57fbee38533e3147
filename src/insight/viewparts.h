#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;

// Small pieces the statistics views lay out alike.
namespace ViewParts {

// A read-only box that shows a total, right-aligned, "0" until filled.
QLineEdit *totalBox(QWidget *parent, const QString &name, int widthTwips);

// Adds a label and the total box it names to a row; returns the box.
QLineEdit *addTotal(QBoxLayout *row, QWidget *parent, const QString &labelName,
                    const QString &caption, const QString &boxName, int widthTwips);

} // namespace ViewParts
