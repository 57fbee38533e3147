#include "trading/stockmatch.h"

namespace StockMatch {

Query rowsFor(const QString &code, const QList<QPair<QString, QVariant>> &columns)
{
    Filter match = Filter::like(QStringLiteral("编号"), code);
    for (const auto &[column, value] : columns) {
        if (!value.isNull() && value.toString() != QLatin1String("*"))
            match = match && Filter::like(column, value.toString());
    }
    return Query(QStringLiteral("kucun"), match);
}

} // namespace StockMatch
