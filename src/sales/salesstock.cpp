#include "sales/salesstock.h"

#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/stockmatch.h"

#include <algorithm>
#include <cmath>

namespace {

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

QVariant trimmed(const QVariant &value)
{
    return value.isNull() ? value : QVariant(value.toString().trimmed());
}

// The columns that match a line to its stock row.
const QStringList KeyColumns = {QStringLiteral("编号"), QStringLiteral("批号"),
                                QStringLiteral("规格"), QStringLiteral("产地")};

// Values with Null told apart from empty text.
QVariantList valuesOf(const QVariantList &values)
{
    QVariantList result;
    for (const QVariant &value : values)
        result << value.isNull() << value.toString();
    return result;
}

// What tells one stock row from another for a match: no match can take a later row whose
// 编号, 批号, 规格 and 产地 are those of an earlier one, so among the rows that lines go to
// these four values name the row.
QVariantList identity(const Cursor &stockRow)
{
    QVariantList values;
    for (const QString &name : KeyColumns)
        values << stockRow.value(name);
    return valuesOf(values);
}

double figure(const QVariant &value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

} // namespace

namespace SalesStock {

namespace {

// What the pending lines of the line's code take from the stock row of that identity.
std::optional<double> pendingOn(Store &store, const QVariantList &row, const LineKey &line,
                                StoreError *error)
{
    // The pending lines are those of one sale or a few: read them all (the pending index holds
    // nothing else) rather than every line ever sold of the code.
    Query pendingLines(QStringLiteral("chuhuo"), Filter::pending(column("出库")));
    pendingLines.columns = KeyColumns;
    pendingLines.columns << column("数量");
    Cursor pending(store);
    Cursor stock(store);
    if (!pending.open(pendingLines)) {
        *error = pending.lastError();
        return std::nullopt;
    }
    const QString code = line.code.toString().trimmed();
    double taken = 0;
    // Lines of one key go to one row: each key is looked up once, the new line's not at all.
    QList<QPair<QVariantList, bool>> toRow = {{line.trimmedValues(), true}};
    for (pending.first(); !pending.atEnd(); pending.next()) {
        const LineKey key = LineKey::of(pending);
        if (key.code.toString().trimmed().compare(code, Qt::CaseInsensitive) != 0)
            continue;
        const QVariantList values = key.trimmedValues();
        auto known = std::find_if(toRow.cbegin(), toRow.cend(),
                                  [&values](const auto &entry) { return entry.first == values; });
        if (known == toRow.cend()) {
            if (!stock.open(key.stockRows())) {
                *error = stock.lastError();
                return std::nullopt;
            }
            toRow.append({values, stock.hasCurrent() && identity(stock) == row});
            known = std::prev(toRow.cend());
        }
        if (known->second)
            taken += figure(pending.value(column("数量")));
    }
    return taken;
}

} // namespace

LineKey LineKey::of(const Cursor &line)
{
    return {line.value(column("编号")), line.value(column("批号")), line.value(column("规格")),
            line.value(column("产地"))};
}

QVariantList LineKey::trimmedValues() const
{
    return valuesOf({trimmed(code), trimmed(batch), trimmed(grade), trimmed(origin)});
}

Query LineKey::stockRows() const
{
    Query rows =
        StockMatch::rowsFor(code.toString().trimmed(), {{column("批号"), trimmed(batch)},
                                                         {column("规格"), trimmed(grade)},
                                                         {column("产地"), trimmed(origin)}});
    rows.columns = KeyColumns;
    rows.columns << column("库存数量") << column("进价") << column("进价金额");
    return rows;
}

std::optional<Reserve> reserveFor(Store &store, const LineKey &line, StoreError *error)
{
    Cursor stock(store);
    if (!stock.open(line.stockRows())) {
        *error = stock.lastError();
        return std::nullopt;
    }
    Reserve reserve;
    if (!stock.hasCurrent())
        return reserve;
    reserve.onHand = figure(stock.value(column("库存数量")));
    const auto pending = pendingOn(store, identity(stock), line, error);
    if (!pending)
        return std::nullopt;
    reserve.pending = *pending;
    return reserve;
}

bool canTake(double quantity, double free)
{
    // Both are decimals of at most 15 significant digits; what lies below that is noise.
    const double scale = std::max({1.0, std::fabs(quantity), std::fabs(free)});
    return quantity - free <= scale * 1e-12;
}

double decimalDifference(double from, double taken)
{
    return Values::plainNumber(from - taken).toDouble();
}

} // namespace SalesStock
