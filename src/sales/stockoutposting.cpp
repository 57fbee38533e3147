#include "sales/stockoutposting.h"

#include "sales/salesstock.h"
#include "store/cursor.h"
#include "store/values.h"
#include "trading/documentnumber.h"

namespace {

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

double figure(const QVariant &value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

const PostingSide &salesSide()
{
    static const PostingSide side{QStringLiteral("chuhuo"), column("出库"), column("已出库"),
                                  QStringLiteral("danju"),  column("销售单"), column("出库"),
                                  QStringLiteral("XS"),     DocumentNumber::SalesCounter};
    return side;
}

class StockOut : public Posting
{
public:
    StockOut(Store &store, const PostingRequest &request)
        : Posting(store, salesSide(), request), m_stock(store)
    {
    }

protected:
    bool moveStock(const Cursor &line) override;

private:
    bool lowerStockRow(double quantity);

    Cursor m_stock;
};

bool StockOut::moveStock(const Cursor &line)
{
    // Locked, the rows are tested as they stand now, after any other clerk's sale, and stay so
    // until this posting ends.
    Query rows = SalesStock::LineKey::of(line).stockRows();
    rows.lockRows = true;
    if (!m_stock.open(rows))
        return fail(m_stock.lastError());
    const double quantity = figure(line.value(column("数量")));
    // Rows lowered by earlier lines of this posting are read as they now stand.
    const double onHand = m_stock.hasCurrent() ? figure(m_stock.value(column("库存数量"))) : 0.0;
    if (!SalesStock::canTake(quantity, onHand)) {
        const QString reason = m_stock.hasCurrent()
                                   ? QStringLiteral("%1 库存不足：现有 %2，要出库 %3")
                                         .arg(lineName(line), Values::plainNumber(onHand),
                                              Values::plainNumber(quantity))
                                   : QStringLiteral("%1 在库存中找不到").arg(lineName(line));
        return refuse(reason);
    }
    return !m_stock.hasCurrent() || lowerStockRow(quantity);
}

bool StockOut::lowerStockRow(double quantity)
{
    const QVariant onHand = m_stock.value(column("库存数量"));
    const QVariant cost = m_stock.value(column("进价"));
    const QVariant value = m_stock.value(column("进价金额"));
    const double left = SalesStock::decimalDifference(figure(onHand), quantity);
    bool ok = m_stock.edit() && m_stock.setValue(column("库存数量"), left);
    if (!cost.isNull()) {
        ok = ok && m_stock.setValue(column("进价金额"), Values::roundMoney(cost.toDouble() * left));
    } else if (!value.isNull() && figure(onHand) != 0.0) {
        // Without a unit cost what is left keeps the average the row's value gave it.
        const double average = value.toDouble() / figure(onHand);
        ok = ok && m_stock.setValue(column("进价金额"), Values::roundMoney(average * left));
    }
    ok = ok && m_stock.update();
    if (!ok) {
        m_stock.cancelUpdate();
        return fail(m_stock.lastError());
    }
    return true;
}

} // namespace

PostingResult postPendingSales(Store &store, const PostingRequest &request)
{
    return StockOut(store, request).run();
}
