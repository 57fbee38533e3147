#include "reference/rowactions.h"

#include "store/cursor.h"

namespace RowActions {

bool removeCurrent(Cursor &cursor)
{
    if (!cursor.hasCurrent())
        return false;
    const int row = cursor.position();
    if (!cursor.remove())
        return false;
    cursor.setPosition(qMin(row, cursor.count() - 1));
    return true;
}

bool setIfGiven(Cursor &cursor, const QString &column, const QString &text)
{
    return text.isEmpty() || cursor.setValue(column, text);
}

QString typed(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace RowActions
