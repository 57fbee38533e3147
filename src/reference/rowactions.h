#pragma once

#include <QString>

class Cursor;

// Row steps shared by the reference screens.
namespace RowActions {

// Deletes the cursor's current row and stands on the row that took its place (or on the new
// last row), so that the row the grid highlights is the one a second delete removes.
// False when there is no current row or the store refuses (Cursor::lastError then says why).
bool removeCurrent(Cursor &cursor);

// Sets the column in the row being added when the text is not empty; an empty box leaves the
// column Null. False when the store refuses the value.
bool setIfGiven(Cursor &cursor, const QString &column, const QString &text);

// The text exactly as typed, empty text included (an empty box is "" here, never Null).
QString typed(const QString &text);

} // namespace RowActions
