#pragma once

#include "store/store.h"

#include <QVariantList>
#include <optional>

class Cursor;

// Lists the lines of a query through the cursor and counts and sums them in one pass. On any
// failure the cursor is closed, so the list never shows lines that the totals do not count;
// no value is returned and *problem says why.
std::optional<QVariantList> listWithTotals(Store &store, Cursor &cursor, const Query &lines,
                                           const QList<Store::Total> &wanted, QString *problem);
