#include "printing/printcolumns.h"

QString cellText(const QVariant &value, CellRule rule)
{
    if (value.isNull() || rule == CellRule::Blank)
        return QString();
    if (rule == CellRule::AsStored)
        return value.toString();
    const QString text = value.toString().trimmed();
    if (rule == CellRule::TrimmedNoStar && text == QLatin1String("*"))
        return QString();
    return text;
}
