#include "reference/rowactions.h"

#include "store/cursor.h"

namespace RowActions {

bool setIfGiven(Cursor &cursor, const QString &column, const QString &text)
{
    return text.isEmpty() || cursor.setValue(column, text);
}

QString typed(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace RowActions
