#pragma once

#include <QList>
#include <QPair>
#include <QString>

class Cursor;
class QLineEdit;
class QWidget;

// Row steps shared by the reference screens.
namespace RowActions {

// Sets the column in the row being added when the text is not empty; an empty box leaves the
// column Null. False when the store refuses the value.
bool setIfGiven(Cursor &cursor, const QString &column, const QString &text);

// The text exactly as typed, empty text included (an empty box is "" here, never Null).
QString typed(const QString &text);

// Whether every box's text fits its text column. The first that does not is named by its label
// ("编号 不能超过255个字") and gets the focus. Checked before any look-up: a duplicate test with
// such a text would be more than the engine's LIKE takes.
bool textsFit(QWidget *screen, const QList<QPair<QString, QLineEdit *>> &labelledBoxes);

// Deletes the current row of a reference list. With no current row, or when the store refuses,
// the user sees "删除错误"; a row changed or deleted elsewhere says so instead. True when deleted.
bool removeCurrent(QWidget *screen, Cursor &cursor);

} // namespace RowActions
