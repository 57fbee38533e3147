#include "purchasing/linelisting.h"

#include "store/cursor.h"

std::optional<QVariantList> listWithTotals(Store &store, Cursor &cursor, const Query &lines,
                                           const QList<Store::Total> &wanted, QString *problem)
{
    const QVariantList totals = store.totals(lines, wanted);
    if (totals.isEmpty())
        *problem = store.lastError().text();
    else if (!cursor.open(lines))
        *problem = cursor.lastError().text();
    else
        return totals;
    cursor.close();
    return std::nullopt;
}
