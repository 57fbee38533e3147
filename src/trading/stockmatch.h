#pragma once

#include "store/query.h"

#include <QList>
#include <QPair>
#include <QVariant>

// Which stock rows a purchase or sales line goes to; a posting takes the first, in table order.
namespace StockMatch {

// The stock rows of the code whose other columns match the line's values. Each value is a
// pattern of `like` ("*" any run, "?" one character, letter case not counting). A value of
// exactly "*" (what entry stores for a value not given), or a Null, adds no condition: it
// matches any value of that column, Null included.
Query rowsFor(const QString &code, const QList<QPair<QString, QVariant>> &columns);

} // namespace StockMatch
