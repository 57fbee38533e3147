#include "purchasing/stockinposting.h"

#include "purchasing/documentnumber.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"

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

// A batch or origin that was never given matches any, like the "*" that entry stores for it.
QString patternOf(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("*") : value.toString();
}

class Posting
{
public:
    Posting(Store &store, const StockInRequest &request)
        : m_store(store), m_request(request), m_lines(store), m_stock(store)
    {
    }

    StockInResult run();

private:
    bool postLine();
    bool addStockRow();
    bool raiseStockRow();
    bool markLine();
    bool writeHeader();
    bool fail(const StoreError &error);

    Store &m_store;
    const StockInRequest &m_request;
    Cursor m_lines;
    Cursor m_stock;
    StockInResult m_result;
};

bool Posting::fail(const StoreError &error)
{
    m_result.error = error;
    return false;
}

StockInResult Posting::run()
{
    Transaction transaction(m_store);
    if (!transaction.isActive()) {
        fail(m_store.lastError());
        return m_result;
    }
    if (!m_lines.open(Query(QStringLiteral("jinhuo"), Filter::isNull(column("入库"))))) {
        fail(m_lines.lastError());
        return m_result;
    }
    if (m_lines.count() == 0) {
        m_result.ok = true;
        return m_result;
    }
    for (m_lines.first(); !m_lines.atEnd(); m_lines.next()) {
        if (!postLine())
            return m_result;
        ++m_result.postedLines;
    }
    if (!writeHeader())
        return m_result;

    StoreError error;
    if (!m_request.keepNumber
        && !DocumentNumber::advance(m_store, DocumentNumber::PurchaseCounter, &error)) {
        fail(error);
        return m_result;
    }
    const auto nextNumber = DocumentNumber::next(m_store, QStringLiteral("JH"),
                                                 DocumentNumber::PurchaseCounter, &error);
    if (!nextNumber) {
        fail(error);
        return m_result;
    }
    if (!transaction.commit()) {
        fail(m_store.lastError());
        return m_result;
    }
    m_result.ok = true;
    m_result.nextNumber = *nextNumber;
    return m_result;
}

bool Posting::postLine()
{
    const QVariant code = m_lines.value(column("编号"));
    if (code.isNull() || code.toString().isEmpty()) {
        return fail({QStringLiteral("入库失败"),
                     QStringLiteral("第 %1 行待入库记录没有编号").arg(m_lines.position() + 1)});
    }
    // Values are matched as typed, not trimmed: a "*" matches any batch or origin.
    const Filter match = Filter::like(column("编号"), code.toString())
                         && Filter::like(column("批号"), patternOf(m_lines.value(column("批号"))))
                         && Filter::like(column("产地"), patternOf(m_lines.value(column("产地"))));
    if (!m_stock.open(Query(QStringLiteral("kucun"), match)))
        return fail(m_stock.lastError());
    const bool stored = m_stock.hasCurrent() ? raiseStockRow() : addStockRow();
    return stored && markLine();
}

bool Posting::addStockRow()
{
    m_stock.addNew();
    bool ok = true;
    for (const char *name : CopiedColumns) {
        const QVariant value = m_lines.value(column(name));
        if (!value.isNull())
            ok = ok && m_stock.setValue(column(name), value);
    }
    const QVariant quantity = m_lines.value(column("数量"));
    if (!quantity.isNull()) {
        ok = ok && m_stock.setValue(column("库存数量"), quantity)
             && m_stock.setValue(column("入库数量"), quantity);
    }
    const QVariant price = m_lines.value(column("进价"));
    if (!price.isNull())
        ok = ok && m_stock.setValue(column("进价"), price);
    const QVariant amount = m_lines.value(column("金额"));
    if (!amount.isNull())
        ok = ok && m_stock.setValue(column("进价金额"), amount);
    ok = ok && m_stock.setValue(column("销价"), m_request.salePrice) && m_stock.update();
    if (!ok) {
        m_stock.cancelUpdate();
        return fail(m_stock.lastError());
    }
    return true;
}

bool Posting::raiseStockRow()
{
    const QVariant quantity = m_lines.value(column("数量"));
    const QVariant price = m_lines.value(column("进价"));
    const QVariant amount = m_lines.value(column("金额"));
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

bool Posting::markLine()
{
    // A line carries the number shown when it was added, which may be an earlier day's; it takes
    // the header's number, so that the document query finds every line of the document.
    const bool marked = m_lines.edit()
                        && m_lines.setValue(column("单据号"), m_request.documentNumber)
                        && m_lines.setValue(column("入库"), PostedMark) && m_lines.update();
    if (!marked) {
        m_lines.cancelUpdate();
        return fail(m_lines.lastError());
    }
    return true;
}

bool Posting::writeHeader()
{
    // Opened on the headers of this number only, so that a long history is not read.
    Cursor headers(m_store);
    if (!headers.open(Query(QStringLiteral("huodan"),
                            Filter::like(column("进货单"), m_request.documentNumber))))
        return fail(headers.lastError());
    headers.addNew();
    bool ok = headers.setValue(1, m_request.documentNumber);
    if (!m_request.purchaseDate.isEmpty())
        ok = ok && headers.setValue(2, m_request.purchaseDate);
    if (!m_request.supplier.isEmpty())
        ok = ok && headers.setValue(3, m_request.supplier);
    if (!ok || !headers.update())
        return fail(headers.lastError());
    return true;
}

} // namespace

StockInResult postPendingPurchases(Store &store, const StockInRequest &request)
{
    return Posting(store, request).run();
}
