#include "purchasing/stockinposting.h"

#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/documentnumber.h"
#include "trading/stockmatch.h"

#include <cmath>

namespace {

const QString PostedMark = QStringLiteral("已入库");

// Columns copied from a purchase line into a new stock row of the same name.
const char *const CopiedColumns[] = {"编号", "品名", "拼音", "规格", "批号", "产地",
                                     "库房", "厂家", "单位", "生产日期", "有效期"};

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

// A missing figure counts as nothing, so that one empty cell does not wipe a row's totals.
double figure(const QVariant &value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

const PostingSide &purchaseSide()
{
    static const PostingSide side{QStringLiteral("jinhuo"), column("入库"), PostedMark,
                                  QStringLiteral("huodan"), column("进货单"), column("入库"),
                                  QStringLiteral("JH"),     DocumentNumber::PurchaseCounter};
    return side;
}

class StockIn : public Posting
{
public:
    StockIn(Store &store, const StockInRequest &request)
        : Posting(store, purchaseSide(),
                  {request.documentNumber, request.purchaseDate, request.supplier,
                   request.keepNumber}),
          m_salePrice(request.salePrice), m_stock(store)
    {
    }

protected:
    bool moveStock(const Cursor &line) override;

private:
    bool addStockRow(const Cursor &line);
    bool raiseStockRow(const Cursor &line);

    double m_salePrice;
    Cursor m_stock;
};

bool StockIn::moveStock(const Cursor &line)
{
    // Values are matched as typed, not trimmed: a "*" matches any batch or origin.
    Query match = StockMatch::rowsFor(
        line.value(column("编号")).toString(),
        {{column("批号"), line.value(column("批号"))}, {column("产地"), line.value(column("产地"))}});
    // Raised from its quantity as it stands, which no other clerk changes until this ends.
    match.lockRows = true;
    if (!m_stock.open(match))
        return fail(m_stock.lastError());
    return m_stock.hasCurrent() ? raiseStockRow(line) : addStockRow(line);
}

bool StockIn::addStockRow(const Cursor &line)
{
    m_stock.addNew();
    bool ok = true;
    for (const char *name : CopiedColumns) {
        const QVariant value = line.value(column(name));
        if (!value.isNull())
            ok = ok && m_stock.setValue(column(name), value);
    }
    const QVariant quantity = line.value(column("数量"));
    if (!quantity.isNull()) {
        ok = ok && m_stock.setValue(column("库存数量"), quantity)
             && m_stock.setValue(column("入库数量"), quantity);
    }
    const QVariant price = line.value(column("进价"));
    if (!price.isNull())
        ok = ok && m_stock.setValue(column("进价"), price);
    const QVariant amount = line.value(column("金额"));
    if (!amount.isNull())
        ok = ok && m_stock.setValue(column("进价金额"), amount);
    ok = ok && m_stock.setValue(column("销价"), m_salePrice) && m_stock.update();
    if (!ok) {
        m_stock.cancelUpdate();
        return fail(m_stock.lastError());
    }
    return true;
}

bool StockIn::raiseStockRow(const Cursor &line)
{
    const QVariant quantity = line.value(column("数量"));
    const QVariant price = line.value(column("进价"));
    const QVariant amount = line.value(column("金额"));
    const double stockQuantity = figure(m_stock.value(column("库存数量")));
    const double stockValue = figure(m_stock.value(column("进价金额")));

    bool ok = m_stock.edit();
    if (!quantity.isNull()) {
        ok = ok && m_stock.setValue(column("库存数量"), stockQuantity + figure(quantity))
             && m_stock.setValue(column("入库数量"),
                                 figure(m_stock.value(column("入库数量"))) + figure(quantity));
    }
    if (!amount.isNull()) {
        ok = ok && m_stock.setValue(column("进价金额"),
                                    Values::roundMoney(stockValue + figure(amount)));
    }
    const double combinedQuantity = stockQuantity + figure(quantity);
    // With nothing on hand the average cannot be formed; the row keeps its unit cost.
    if (!price.isNull() && std::fabs(combinedQuantity) > 1e-9) {
        const double average = (stockValue + figure(amount)) / combinedQuantity;
        ok = ok && m_stock.setValue(column("进价"), Values::roundMoney(average));
    }
    ok = ok && m_stock.update();
    if (!ok) {
        m_stock.cancelUpdate();
        return fail(m_stock.lastError());
    }
    return true;
}

} // namespace

StockInResult postPendingPurchases(Store &store, const StockInRequest &request)
{
    return StockIn(store, request).run();
}
