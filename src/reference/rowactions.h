#pragma once

#include <QString>

class Cursor;

// Row steps shared by the reference screens.
namespace RowActions {

// Sets the column in the row being added when the text is not empty; an empty box leaves the
// column Null. False when the store refuses the value.
bool setIfGiven(Cursor &cursor, const QString &column, const QString &text);

// The text exactly as typed, empty text included (an empty box is "" here, never Null).
QString typed(const QString &text);

} // namespace RowActions
