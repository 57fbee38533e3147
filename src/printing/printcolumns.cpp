#include "printing/printcolumns.h"

#include "store/values.h"

QString cellText(const QVariant &value, CellRule rule)
{
    if (value.isNull() || rule == CellRule::Blank)
        return QString();
    if (rule == CellRule::AsStored)
        return value.toString();
    const QString text = value.toString().trimmed();
    if (rule == CellRule::TwoDecimals) {
        // Text that is no number (typed past the program into the file) prints as it is,
        // rather than as a made-up 0.00.
        const auto number = Values::parseNumber(text);
        return number ? Values::money(*number) : text;
    }
    if (rule == CellRule::TrimmedNoStar && text == QLatin1String("*"))
        return QString();
    return text;
}
