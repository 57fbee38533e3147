#pragma once

#include <QDate>
#include <optional>

class QLineEdit;
class QWidget;

// The date typed in a box of a screen, in any form the store reads; the box then shows it as
// stored. A text that is no date is named to the clerk, with the box focused to mend it.
std::optional<QDate> dateInBox(QWidget *screen, QLineEdit *box, const QString &boxName);
