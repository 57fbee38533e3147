#pragma once

#include "store/storeerror.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

class Store;

// The figures of the statistics views. Each list or chart is one query that the engine
// aggregates; the program reads only the rows it shows.
namespace InsightQueries {

// How a stock row's expiry date (有效期, typed text) stands on a given day. The date is still
// good on the day itself; "near" runs from today to nearDays later, both included.
enum class ExpiryState { Expired, Near, Fine, Unreadable };
ExpiryState expiryState(const QString &expiry, const QDate &today, int nearDays);

// The near-expiry setting: how many days ahead the expiry list and the sales warning look.
constexpr int DefaultNearDays = 90;
constexpr int MaxNearDays = 3650;
// The stored setting, or DefaultNearDays when none is stored or it does not read.
int nearExpiryDays(Store &store);
bool setNearExpiryDays(Store &store, int days, StoreError *error);

// A stock row with something on hand on the expiry list: which row, its date and what the
// totals add up. The texts it shows are read when it is shown (batchTexts): the list can hold
// most of a large stock, and its texts would take far more room than these few figures.
struct ExpiringBatch
{
    qint64 id = 0;
    QDate expiry; // invalid when the text does not read as a date
    double quantity = 0;
    QVariant value; // 进价金额; Null when the row has none
};

struct ExpiryList
{
    QVector<ExpiringBatch> dated;      // expired or near, by date, then code and batch
    QVector<ExpiringBatch> unreadable; // 有效期 empty or not a date, by code and batch
};

// The stock rows with a quantity above 0 whose expiry date is past or within nearDays, and
// those whose date does not read. A batch with nothing on hand has nothing to sell first.
std::optional<ExpiryList> expiringBatches(Store &store, const QDate &today, int nearDays,
                                          StoreError *error);

// What a row of the expiry list shows, as its stock row holds it now.
struct BatchTexts
{
    QString code, name, grade, origin, batch, expiryText, unit, storeRoom;
};
// The texts of the stock rows with these ids; a row deleted since is left out.
std::optional<QHash<qint64, BatchTexts>> batchTexts(Store &store, const QVector<qint64> &ids,
                                                    StoreError *error);

// A herb code whose stock, summed over all its rows, is below its minimum in kucunxiaxian.
struct LowStockHerb
{
    QString code, name;
    double onHand = 0;
    double minimum = 0;
    // The latest purchase line of the code, posted or pending (latest 日期, then the last
    // entered): its supplier ("*" when none was given), unit price and date. Null when the code
    // was never bought.
    QVariant supplier, price, date;

    double shortfall() const { return minimum - onHand; }
};

// Every code with a minimum whose stock is below it, by code; a code without stock rows has 0
// on hand. Codes match whatever their letter case, as the postings match them.
std::optional<QVector<LowStockHerb>> lowStock(Store &store, StoreError *error);

struct MonthAmounts
{
    QDate month; // its first day
    double purchases = 0;
    double sales = 0;
};

// Purchase and sales amounts (sum of 金额, pending lines included) per month, for the `months`
// months up to and including today's, oldest first; months without lines are 0.
std::optional<QVector<MonthAmounts>> monthlyAmounts(Store &store, const QDate &today, int months,
                                                    StoreError *error);

struct HerbAmount
{
    QString code, name;
    double amount = 0;
};

// The `count` herb codes with the highest sales amount between the two dates (both included),
// highest first. Codes that differ only in letter case count as one.
std::optional<QVector<HerbAmount>> topSales(Store &store, const QDate &from, const QDate &to,
                                            int count, StoreError *error);

struct StoreRoomValue
{
    QString storeRoom; // empty for rows without one
    double value = 0;
};

// The stock's value at cost (sum of 进价金额) per store room, by store room.
std::optional<QVector<StoreRoomValue>> stockValueByStoreRoom(Store &store, StoreError *error);

} // namespace InsightQueries
