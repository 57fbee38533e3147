#include "store/insightqueries.h"

#include "store/bulkread.h"
#include "store/store.h"
#include "store/values.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

namespace {

const QString NearDaysSetting = QStringLiteral("近效期天数");

// Runs one statement with bound values and hands every row to `eachRow`; false and *error on
// failure.
bool forEachRow(Store &store, const QString &sql, const QVariantList &values,
                const QString &action, StoreError *error,
                const std::function<void(const BulkRead &)> &eachRow)
{
    BulkRead rows(store, sql, values, action);
    while (rows.next())
        eachRow(rows);
    if (rows.ok())
        return true;
    *error = rows.error();
    return false;
}

QDate firstOfMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), 1);
}

} // namespace

namespace InsightQueries {

ExpiryState expiryState(const QString &expiry, const QDate &today, int nearDays)
{
    const std::optional<QDate> date = Values::parseDate(expiry);
    if (!date)
        return ExpiryState::Unreadable;
    if (*date < today)
        return ExpiryState::Expired;
    return today.daysTo(*date) <= nearDays ? ExpiryState::Near : ExpiryState::Fine;
}

int nearExpiryDays(Store &store)
{
    QVariant stored;
    StoreError ignored;
    forEachRow(store, QStringLiteral(R"(SELECT "值" FROM tongjicanshu WHERE "名称" = ?)"),
               {NearDaysSetting}, QString(), &ignored,
               [&stored](const BulkRead &row) { stored = row.value(0); });
    bool ok = false;
    const int days = stored.toString().trimmed().toInt(&ok);
    return ok && days >= 0 && days <= MaxNearDays ? days : DefaultNearDays;
}

bool setNearExpiryDays(Store &store, int days, StoreError *error)
{
    const QString action = QStringLiteral("保存近效期天数失败");
    Transaction transaction(store);
    if (!transaction.isActive()) {
        *error = store.lastError();
        return false;
    }
    QSqlQuery remove(store.database());
    remove.prepare(QStringLiteral(R"(DELETE FROM tongjicanshu WHERE "名称" = ?)"));
    remove.addBindValue(NearDaysSetting);
    QSqlQuery insert(store.database());
    insert.prepare(QStringLiteral(R"(INSERT INTO tongjicanshu ("名称", "值") VALUES (?, ?))"));
    insert.addBindValue(NearDaysSetting);
    insert.addBindValue(QString::number(days));
    if (!store.run(remove, action) || !store.run(insert, action) || !transaction.commit()) {
        *error = store.lastError();
        return false;
    }
    return true;
}

std::optional<ExpiryList> expiringBatches(Store &store, const QDate &today, int nearDays,
                                          StoreError *error)
{
    // Dates the program stored ("yyyy-MM-dd" of a real day) are compared by the engine, so that
    // the batches good beyond the horizon, most of the stock, never reach the program. Every
    // other form is read here, as the entry boxes read it.
    const QString sql = QStringLiteral(
        R"(SELECT rowid, "有效期", "库存数量", "进价金额", "编号", "批号"
           FROM kucun
           WHERE "库存数量" > 0
             AND NOT (coalesce("有效期", '') > ? AND %1))")
            .arg(store.dialect().isSurelyStoredDate(QStringLiteral(R"("有效期")")));
    // The code and batch only order the rows (the engine's sort of them costs more than the
    // whole read); they are let go once the rows are in order.
    struct Sorted
    {
        ExpiringBatch batch;
        QString code, batchNumber;
    };
    std::vector<Sorted> dated;
    std::vector<Sorted> unreadable;
    const QDate horizon = today.addDays(nearDays);
    const bool read = forEachRow(
        store, sql, {Values::storedDate(horizon)}, QStringLiteral("查询近效期库存失败"), error,
        [&](const BulkRead &row) {
            Sorted entry{{row.value(0).toLongLong(), QDate(), row.number(2), row.value(3)},
                         row.text(4),
                         row.text(5)};
            if (const std::optional<QDate> date = Values::parseDate(row.text(1))) {
                if (*date > horizon)
                    return;
                entry.batch.expiry = *date;
                dated.push_back(std::move(entry));
            } else {
                unreadable.push_back(std::move(entry));
            }
        });
    if (!read)
        return std::nullopt;
    const auto listIn = [](std::vector<Sorted> &entries, bool byDate) {
        std::sort(entries.begin(), entries.end(), [byDate](const Sorted &a, const Sorted &b) {
            const QDate first = byDate ? a.batch.expiry : QDate();
            const QDate second = byDate ? b.batch.expiry : QDate();
            return std::tie(first, a.code, a.batchNumber, a.batch.id)
                   < std::tie(second, b.code, b.batchNumber, b.batch.id);
        });
        QVector<ExpiringBatch> batches;
        batches.reserve(int(entries.size()));
        for (const Sorted &entry : entries)
            batches.append(entry.batch);
        entries = {};
        return batches;
    };
    return ExpiryList{listIn(dated, true), listIn(unreadable, false)};
}

std::optional<QHash<qint64, BatchTexts>> batchTexts(Store &store, const QVector<qint64> &ids,
                                                    StoreError *error)
{
    QHash<qint64, BatchTexts> texts;
    if (ids.isEmpty())
        return texts;
    QStringList marks;
    QVariantList values;
    for (const qint64 id : ids) {
        marks << QStringLiteral("?");
        values << id;
    }
    const QString sql =
        QStringLiteral(R"(SELECT rowid, "编号", "品名", "规格", "产地", "批号", "有效期", "单位",
                                 "库房"
                          FROM kucun WHERE rowid IN (%1))")
            .arg(marks.join(QLatin1Char(',')));
    const bool read = forEachRow(store, sql, values, QStringLiteral("查询近效期库存失败"), error,
                                 [&texts](const BulkRead &row) {
                                     texts.insert(row.value(0).toLongLong(),
                                                  {row.text(1), row.text(2), row.text(3),
                                                   row.text(4), row.text(5), row.text(6),
                                                   row.text(7), row.text(8)});
                                 });
    if (!read)
        return std::nullopt;
    return texts;
}

std::optional<QVector<LowStockHerb>> lowStock(Store &store, StoreError *error)
{
    // Per minimum: the stock summed through the code index (0 over no rows), and the rowid of
    // the code's latest purchase line, whose columns the outer join then reads.
    const Dialect &dialect = store.dialect();
    const auto sameCode = [&dialect](const QString &alias, const QString &other) {
        return dialect.equalIgnoringCase(alias + QStringLiteral(R"(."编号")"),
                                         other + QStringLiteral(R"(."编号")"));
    };
    const QString sql =
        QStringLiteral(
            R"(SELECT m."编号", m."下限", m.onhand,
                  coalesce(m.stockname, p."品名",
                           (SELECT y."品名" FROM yaocai y WHERE %1 LIMIT 1)),
                  p."厂家", p."进价", p."日期"
           FROM (SELECT x."编号", x."下限",
                        (SELECT %2 FROM kucun k WHERE %3) AS onhand,
                        (SELECT k."品名" FROM kucun k
                         WHERE %3 AND k."品名" IS NOT NULL LIMIT 1) AS stockname,
                        (SELECT j.rowid FROM jinhuo j WHERE %4
                         ORDER BY j."日期" DESC, j.rowid DESC LIMIT 1) AS lastline
                 FROM kucunxiaxian x
                 WHERE x."下限" IS NOT NULL AND x."编号" IS NOT NULL) m
           LEFT JOIN jinhuo p ON p.rowid = m.lastline
           WHERE m.onhand < m."下限"
           ORDER BY m."编号")")
            .arg(sameCode(QStringLiteral("y"), QStringLiteral("m")),
                 dialect.total(QStringLiteral(R"(k."库存数量")")),
                 sameCode(QStringLiteral("k"), QStringLiteral("x")),
                 sameCode(QStringLiteral("j"), QStringLiteral("x")));
    QVector<LowStockHerb> herbs;
    const bool read = forEachRow(store, sql, {}, QStringLiteral("查询库存预警失败"), error,
                                 [&herbs](const BulkRead &row) {
                                     herbs.append({row.text(0), row.text(3),
                                                   row.number(2),
                                                   row.number(1), row.value(4),
                                                   row.value(5), row.value(6)});
                                 });
    if (!read)
        return std::nullopt;
    return herbs;
}

std::optional<QVector<MonthAmounts>> monthlyAmounts(Store &store, const QDate &today, int months,
                                                    StoreError *error)
{
    const QDate first = firstOfMonth(today).addMonths(1 - months);
    QVector<MonthAmounts> amounts;
    QHash<QString, int> indexOfMonth;
    for (int i = 0; i < months; ++i) {
        const QDate month = first.addMonths(i);
        indexOfMonth.insert(month.toString(QStringLiteral("yyyy-MM")), i);
        amounts.append({month, 0, 0});
    }
    // The date index carries 金额, so each month's sum is read from the index alone.
    const auto sumPerMonth = [&](const QString &table, double MonthAmounts::*field) {
        const QString sql = QStringLiteral(
            R"(SELECT substr("日期", 1, 7) AS month, %2 FROM %1
               WHERE "日期" >= ? AND "日期" <= ? GROUP BY month)")
                                .arg(table, store.dialect().total(QStringLiteral(R"("金额")")));
        return forEachRow(store, sql, {Values::storedDate(first), Values::storedDate(today)},
                          QStringLiteral("统计 %1 月度金额失败").arg(table), error,
                          [&](const BulkRead &row) {
                              const int index = indexOfMonth.value(row.text(0), -1);
                              if (index >= 0)
                                  amounts[index].*field = row.number(1);
                          });
    };
    if (!sumPerMonth(QStringLiteral("jinhuo"), &MonthAmounts::purchases)
        || !sumPerMonth(QStringLiteral("chuhuo"), &MonthAmounts::sales)) {
        return std::nullopt;
    }
    return amounts;
}

std::optional<QVector<HerbAmount>> topSales(Store &store, const QDate &from, const QDate &to,
                                            int count, StoreError *error)
{
    // Grouped from the date index alone; only the few codes listed look up their name.
    const Dialect &dialect = store.dialect();
    const QString sql =
        QStringLiteral(
            R"(SELECT t."编号",
                  (SELECT c."品名" FROM chuhuo c WHERE %1 AND c."品名" IS NOT NULL LIMIT 1),
                  t.amount
           FROM (SELECT min("编号") AS "编号", %2 AS amount FROM chuhuo
                 WHERE "日期" >= ? AND "日期" <= ?
                 GROUP BY %3 ORDER BY amount DESC, 1 LIMIT ?) t
           ORDER BY t.amount DESC, t."编号")")
            .arg(dialect.equalIgnoringCase(QStringLiteral(R"(c."编号")"),
                                           QStringLiteral(R"(t."编号")")),
                 dialect.total(QStringLiteral(R"("金额")")),
                 dialect.caseless(QStringLiteral(R"("编号")")));
    QVector<HerbAmount> herbs;
    const bool read = forEachRow(
        store, sql, {Values::storedDate(from), Values::storedDate(to), count},
        QStringLiteral("统计销售排行失败"), error, [&herbs](const BulkRead &row) {
            herbs.append({row.text(0), row.text(1), row.number(2)});
        });
    if (!read)
        return std::nullopt;
    return herbs;
}

std::optional<QVector<StoreRoomValue>> stockValueByStoreRoom(Store &store, StoreError *error)
{
    const QString sql =
        QStringLiteral(R"(SELECT coalesce("库房", '') AS room, %1 FROM kucun
                          GROUP BY room ORDER BY room)")
            .arg(store.dialect().total(QStringLiteral(R"("进价金额")")));
    QVector<StoreRoomValue> rooms;
    const bool read = forEachRow(store, sql, {}, QStringLiteral("统计库存金额失败"), error,
                                 [&rooms](const BulkRead &row) {
                                     rooms.append({row.text(0), row.number(1)});
                                 });
    if (!read)
        return std::nullopt;
    return rooms;
}

} // namespace InsightQueries
