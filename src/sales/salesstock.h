#pragma once

#include "store/query.h"
#include "store/storeerror.h"

#include <QVariant>
#include <optional>

class Cursor;
class Store;

// What a sales line takes from stock: the stock row that stock-out posting lowers for it and
// how much of that row is still free.
namespace SalesStock {

// A sales line's 编号, 批号, 规格 and 产地 as stored (with "*" for a value not given).
struct LineKey
{
    QVariant code;
    QVariant batch;
    QVariant grade;
    QVariant origin;

    static LineKey of(const Cursor &line);
    // The four values trimmed, Null told apart from empty text: lines with the same go to the
    // same stock row.
    QVariantList trimmedValues() const;
    // The stock rows the line matches, the values trimmed (StockMatch); the posting takes the
    // first. The rows hold the four columns, 库存数量, 进价 and 进价金额.
    Query stockRows() const;
};

// The stock row a new line goes to, what it holds and what the pending lines already take from
// it: those pending lines of the same code (trimmed, letter case aside) whose own first stock
// row is this one, as the posting will find it.
// With no stock row, nothing is on hand.
struct Reserve
{
    double onHand = 0;
    double pending = 0;
};
std::optional<Reserve> reserveFor(Store &store, const LineKey &line, StoreError *error);

// Whether the quantity can be taken from what is free. Quantities are decimals as typed, so
// binary noise does not count: 0.3 less 0.1 still holds 0.2.
bool canTake(double quantity, double free);

// A quantity less another, as the decimal it stands for (0.2, not 0.19999999999999998).
double decimalDifference(double from, double taken);

} // namespace SalesStock
