#include "store/insightqueries.h"
#include "store/values.h"
#include "support/testsupport.h"

#include <QDir>
#include <QSqlQuery>
#include <optional>

using namespace InsightQueries;

namespace {

const QDate Today(2026, 6, 15);

// How the expiry list files a stock row.
enum class Listed { Dated, Unreadable, No };

// The codes of the listed rows, read as the view reads them.
QStringList codes(Store &store, const QVector<ExpiringBatch> &batches)
{
    QVector<qint64> ids;
    for (const ExpiringBatch &batch : batches)
        ids << batch.id;
    StoreError error;
    const auto texts = batchTexts(store, ids, &error);
    if (!texts)
        return {error.text()};
    QStringList list;
    for (const ExpiringBatch &batch : batches)
        list << texts->value(batch.id).code;
    return list;
}

Listed listedAs(Store &store, const ExpiryList &list, const QString &code)
{
    if (codes(store, list.dated).contains(code))
        return Listed::Dated;
    if (codes(store, list.unreadable).contains(code))
        return Listed::Unreadable;
    return Listed::No;
}

void addStock(TempStore &temp, const QString &code, const QVariant &quantity,
              const QVariant &value = QVariant(), const QString &room = QString())
{
    temp.exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价金额, 库房) VALUES (?, ?, ?, ?, ?)",
              {code, code + "名", quantity, value, room.isEmpty() ? QVariant() : room});
}

void addLine(TempStore &temp, const QString &table, const QString &date, const QString &code,
             double amount, const QVariant &flag = QVariant())
{
    const QString flagColumn = table == "jinhuo" ? "入库" : "出库";
    temp.exec(QString("INSERT INTO %1 (日期, 编号, 品名, 金额, %2) VALUES (?, ?, ?, ?, ?)")
                  .arg(table, flagColumn),
              {date, code, code + "名", amount, flag});
}

} // namespace

class tst_InsightQueries : public QObject
{
    Q_OBJECT

private slots:
    // The day itself and the last of the N days are near; a day before today is past; one
    // day beyond the N days is not listed. Every form the entry boxes read is read; text that
    // does not read (an impossible day included, however far ahead) is listed apart, and a row
    // with nothing on hand is not listed at all.
    void expiryBoundariesAndForms_data()
    {
        QTest::addColumn<QVariant>("expiry");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<int>("listed");
        const auto row = [](const char *name, const QVariant &expiry, double quantity,
                            Listed listed) {
            QTest::newRow(name) << expiry << quantity << int(listed);
        };
        row("yesterday", "2026-06-14", 5, Listed::Dated);
        row("today", "2026-06-15", 5, Listed::Dated);
        row("90 days on", "2026-09-13", 5, Listed::Dated);
        row("91 days on", "2026-09-14", 5, Listed::No);
        row("years on", "2031-01-01", 5, Listed::No);
        row("slashes, past", "2026/6/1", 5, Listed::Dated);
        row("compact, near", "20260701", 5, Listed::Dated);
        row("dots, last near day", "2026.9.13", 5, Listed::Dated);
        row("slashes, 91 days on", "2026/9/14", 5, Listed::No);
        row("blanks around", " 2026-07-01 ", 5, Listed::Dated);
        row("impossible day, near", "2026-02-30", 5, Listed::Unreadable);
        row("impossible day, far", "2099-02-30", 5, Listed::Unreadable);
        row("month 13, far", "2099-13-01", 5, Listed::Unreadable);
        row("words", "明年三月", 5, Listed::Unreadable);
        row("empty", "", 5, Listed::Unreadable);
        row("null", QVariant(), 5, Listed::Unreadable);
        row("past, nothing on hand", "2026-01-01", 0, Listed::No);
        row("past, below zero", "2026-01-01", -2, Listed::No);
        row("unreadable, nothing on hand", "明年", 0, Listed::No);
        row("just above zero", "2026-01-01", 0.001, Listed::Dated);
    }
    void expiryBoundariesAndForms()
    {
        QFETCH(QVariant, expiry);
        QFETCH(double, quantity);
        QFETCH(int, listed);
        TempStore temp;
        temp.exec("INSERT INTO kucun (编号, 有效期, 库存数量) VALUES ('A1', ?, ?)",
                  {expiry, quantity});
        StoreError error;
        const std::optional<ExpiryList> list = expiringBatches(temp.store(), Today, 90, &error);
        QVERIFY2(list, qPrintable(error.text()));
        QCOMPARE(int(listedAs(temp.store(), *list, "A1")), listed);
    }

    // The state the sale warning goes by: the same boundaries as the list.
    void expiryStateOfADate_data()
    {
        QTest::addColumn<QString>("expiry");
        QTest::addColumn<int>("nearDays");
        QTest::addColumn<int>("state");
        QTest::newRow("yesterday") << "2026-06-14" << 90 << int(ExpiryState::Expired);
        QTest::newRow("today") << "2026/6/15" << 90 << int(ExpiryState::Near);
        QTest::newRow("today, no near days") << "2026-06-15" << 0 << int(ExpiryState::Near);
        QTest::newRow("tomorrow, no near days") << "2026-06-16" << 0 << int(ExpiryState::Fine);
        QTest::newRow("N days") << "20260716" << 31 << int(ExpiryState::Near);
        QTest::newRow("N+1 days") << "20260717" << 31 << int(ExpiryState::Fine);
        QTest::newRow("unreadable") << "2026-6" << 90 << int(ExpiryState::Unreadable);
    }
    void expiryStateOfADate()
    {
        QFETCH(QString, expiry);
        QFETCH(int, nearDays);
        QFETCH(int, state);
        QCOMPARE(int(expiryState(expiry, Today, nearDays)), state);
    }

    void expiryListIsSortedByDateThenCodeAndBatch()
    {
        TempStore temp;
        temp.exec("INSERT INTO kucun (编号, 批号, 有效期, 库存数量, 进价金额) VALUES "
                  "('C', '1', '2026-07-01', 1, 10), ('B', '2', '2026/7/1', 2, NULL), "
                  "('B', '1', '20260701', 3, 30), ('Z', '1', '2025-01-01', 4, 40), "
                  "('A', '1', '2026-06-20', 5, 50), ('Y', '1', '不详', 6, 60), "
                  "('X', '1', NULL, 7, 70)");
        StoreError error;
        const auto list = expiringBatches(temp.store(), Today, 30, &error);
        QVERIFY2(list, qPrintable(error.text()));
        QCOMPARE(codes(temp.store(), list->dated), (QStringList{"Z", "A", "B", "B", "C"}));
        QCOMPARE(list->dated.at(0).expiry, QDate(2025, 1, 1));
        QCOMPARE(list->dated.at(3).quantity, 2.0);
        QVERIFY(list->dated.at(3).value.isNull());
        QCOMPARE(codes(temp.store(), list->unreadable), (QStringList{"X", "Y"}));

        // What the rows show is read by their ids: batch "1" of B before batch "2", the
        // expiry as typed; a row deleted since shows nothing.
        const QVector<qint64> ids{list->dated.at(2).id, list->dated.at(3).id};
        auto texts = batchTexts(temp.store(), ids, &error);
        QVERIFY2(texts, qPrintable(error.text()));
        QCOMPARE(texts->value(ids[0]).batch, QString("1"));
        QCOMPARE(texts->value(ids[1]).batch, QString("2"));
        QCOMPARE(texts->value(ids[1]).expiryText, QString("2026/7/1"));
        temp.exec("DELETE FROM kucun WHERE 批号 = '2'");
        texts = batchTexts(temp.store(), ids, &error);
        QVERIFY2(texts, qPrintable(error.text()));
        QCOMPARE(texts->keys(), QList<qint64>{ids[0]});
    }

    // The stock of a code is summed over all its rows, whatever the letter case of the code;
    // codes without a minimum are not listed, however low; a code never stocked has 0 on hand.
    void lowStockSumsEveryBatchOfACode()
    {
        TempStore temp;
        addStock(temp, "DG01", 4);
        addStock(temp, "dg01", 3);
        addStock(temp, "DG01", 2.5); // 9.5 in all
        addStock(temp, "HQ01", 6);
        addStock(temp, "HQ01", 6); // 12
        addStock(temp, "GC01", -1);
        addStock(temp, "XX01", 0); // no minimum
        temp.exec("INSERT INTO kucunxiaxian (编号, 下限) VALUES ('DG01', 10), ('HQ01', 12), "
                  "('GC01', 0), ('NEW1', 5), ('NONE', NULL)");
        temp.exec("INSERT INTO yaocai (编号, 品名) VALUES ('NEW1', '新药')");
        StoreError error;
        const auto herbs = lowStock(temp.store(), &error);
        QVERIFY2(herbs, qPrintable(error.text()));
        QStringList listed;
        for (const LowStockHerb &herb : *herbs)
            listed << QString("%1 %2 %3 %4 %5").arg(herb.code, herb.name).arg(herb.onHand)
                          .arg(herb.minimum).arg(herb.shortfall());
        QCOMPARE(listed, (QStringList{"DG01 DG01名 9.5 10 0.5", "GC01 GC01名 -1 0 1",
                                      "NEW1 新药 0 5 5"}));
    }

    // The last purchase: the latest date, and of one day the line entered last; pending lines
    // count. A code never bought has no supplier or price.
    void lowStockNamesTheLastPurchase()
    {
        TempStore temp;
        temp.exec("INSERT INTO jinhuo (日期, 编号, 厂家, 进价) VALUES "
                  "('2026-05-01', 'DG01', '甲厂', 5), ('2026-06-01', 'dg01', '乙厂', 6), "
                  "('2026-06-01', 'DG01', '丙厂', 7), ('2026-03-01', 'DG01', '丁厂', 8), "
                  "('2026-06-02', 'HQ01', '*', 9)");
        temp.exec("INSERT INTO kucunxiaxian (编号, 下限) VALUES ('DG01', 1), ('HQ01', 1), "
                  "('GC01', 1)");
        StoreError error;
        const auto herbs = lowStock(temp.store(), &error);
        QVERIFY2(herbs, qPrintable(error.text()));
        QCOMPARE(herbs->size(), 3);
        QCOMPARE(herbs->at(0).code, QString("DG01"));
        QCOMPARE(herbs->at(0).supplier.toString(), QString("丙厂"));
        QCOMPARE(herbs->at(0).price.toDouble(), 7.0);
        QCOMPARE(herbs->at(0).date.toString(), QString("2026-06-01"));
        QCOMPARE(herbs->at(1).code, QString("GC01"));
        QVERIFY(herbs->at(1).supplier.isNull() && herbs->at(1).price.isNull());
        QCOMPARE(herbs->at(2).supplier.toString(), QString("*"));
    }

    // Each month's amounts against sums the test makes itself from the tables, over lines of
    // fourteen months, some pending, one dated after today.
    void monthlyAmountsMatchTheTables()
    {
        TempStore temp;
        QDate day(2025, 4, 20);
        int step = 0;
        while (day <= Today.addDays(3)) {
            const double amount = 10.25 + (step * 37 % 101) / 4.0;
            addLine(temp, "jinhuo", Values::storedDate(day), QString("P%1").arg(step % 7),
                    amount, step % 5 ? QVariant("已入库") : QVariant());
            if (step % 3)
                addLine(temp, "chuhuo", Values::storedDate(day), QString("S%1").arg(step % 4),
                        amount * 1.5, step % 4 ? QVariant("已出库") : QVariant());
            day = day.addDays(4 + step % 9);
            ++step;
        }
        StoreError error;
        const auto months = monthlyAmounts(temp.store(), Today, 12, &error);
        QVERIFY2(months, qPrintable(error.text()));
        QCOMPARE(months->size(), 12);
        QCOMPARE(months->first().month, QDate(2025, 7, 1));
        QCOMPARE(months->last().month, QDate(2026, 6, 1));
        for (const MonthAmounts &month : *months) {
            const QString from = Values::storedDate(month.month);
            const QString to = Values::storedDate(
                qMin(month.month.addMonths(1).addDays(-1), Today));
            const auto summed = [&](const char *table) {
                return temp.scalar(QString("SELECT coalesce(sum(金额), 0) FROM %1 "
                                           "WHERE 日期 >= ? AND 日期 <= ?").arg(table),
                                   {from, to}).toDouble();
            };
            QCOMPARE(month.purchases, summed("jinhuo"));
            QCOMPARE(month.sales, summed("chuhuo"));
        }
        QVERIFY(months->last().purchases > 0);
    }

    void monthsWithoutLinesAreZero()
    {
        TempStore temp;
        addLine(temp, "chuhuo", "2026-02-10", "A", 12.5);
        StoreError error;
        const auto months = monthlyAmounts(temp.store(), Today, 12, &error);
        QVERIFY2(months, qPrintable(error.text()));
        double purchases = 0;
        for (const MonthAmounts &month : *months) {
            purchases += month.purchases;
            QCOMPARE(month.sales, month.month == QDate(2026, 2, 1) ? 12.5 : 0.0);
        }
        QCOMPARE(purchases, 0.0);
    }

    // The highest amounts of the period, both ends included, named from the lines.
    void topSalesOfAPeriod()
    {
        TempStore temp;
        for (int i = 1; i <= 12; ++i)
            addLine(temp, "chuhuo", "2026-03-15", QString("H%1").arg(i, 2, 10, QChar('0')),
                    i * 10.0);
        addLine(temp, "chuhuo", "2026-03-01", "H01", 500); // first day: counts
        addLine(temp, "chuhuo", "2026-03-31", "h04", 25); // last day, the code in other case
        addLine(temp, "chuhuo", "2026-04-01", "H03", 1000); // after the period
        StoreError error;
        const auto herbs = topSales(temp.store(), QDate(2026, 3, 1), QDate(2026, 3, 31), 10,
                                    &error);
        QVERIFY2(herbs, qPrintable(error.text()));
        QStringList listed;
        for (const HerbAmount &herb : *herbs)
            listed << QString("%1:%2").arg(herb.code).arg(herb.amount);
        QCOMPARE(listed, (QStringList{"H01:510", "H12:120", "H11:110", "H10:100", "H09:90",
                                      "H08:80", "H07:70", "H04:65", "H06:60", "H05:50"}));
        QCOMPARE(herbs->first().name, QString("H01名"));
    }

    void stockValuePerStoreRoom()
    {
        TempStore temp;
        addStock(temp, "A", 1, 100.5, "北库");
        addStock(temp, "B", 1, 20, "北库");
        addStock(temp, "C", 1, QVariant(), "南库");
        addStock(temp, "D", 1, 7.25);
        StoreError error;
        const auto rooms = stockValueByStoreRoom(temp.store(), &error);
        QVERIFY2(rooms, qPrintable(error.text()));
        QCOMPARE(rooms->size(), 3);
        QCOMPARE(rooms->at(0).storeRoom, QString());
        QCOMPARE(rooms->at(0).value, 7.25);
        QCOMPARE(rooms->at(1).storeRoom, QString("北库"));
        QCOMPARE(rooms->at(1).value, 120.5);
        QCOMPARE(rooms->at(2).value, 0.0);
    }

    void nearDaysAreKeptAndDefaultTo90()
    {
        TempStore temp;
        QCOMPARE(nearExpiryDays(temp.store()), 90);
        StoreError error;
        QVERIFY2(setNearExpiryDays(temp.store(), 30, &error), qPrintable(error.text()));
        QVERIFY2(setNearExpiryDays(temp.store(), 45, &error), qPrintable(error.text()));
        QCOMPARE(nearExpiryDays(temp.store()), 45);
        QCOMPARE(temp.scalar("SELECT count(*) FROM tongjicanshu").toInt(), 1);
        // A value that does not read, typed into the file by another program, counts as unset.
        temp.exec("UPDATE tongjicanshu SET 值 = '三十'");
        QCOMPARE(nearExpiryDays(temp.store()), 90);
    }

    // Files from before the statistics tables existed open as they are and get them; the
    // delivered tables keep their rows.
    void anOlderFileGetsTheAddedTables()
    {
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath("sysfile");
        {
            Store store;
            QVERIFY_STORE(store, store.open(folder));
            QSqlQuery query(store.database());
            QVERIFY(query.exec("INSERT INTO kucun (编号) VALUES ('A1')"));
            QVERIFY(query.exec("DROP TABLE kucunxiaxian"));
            QVERIFY(query.exec("DROP TABLE tongjicanshu"));
        }
        {
            OtherConnection kucun(QDir(folder).filePath("kucun.db"));
            QCOMPARE(kucun.scalar("SELECT count(*) FROM sqlite_master WHERE name = "
                                  "'kucunxiaxian'").toInt(), 0);
        }
        Store store;
        QVERIFY_STORE(store, store.open(folder));
        QSqlQuery query(store.database());
        QVERIFY(query.exec("INSERT INTO kucunxiaxian (编号, 下限) VALUES ('A1', 3)"));
        StoreError error;
        QVERIFY2(setNearExpiryDays(store, 10, &error), qPrintable(error.text()));
        const auto herbs = lowStock(store, &error);
        QVERIFY2(herbs && herbs->size() == 1, qPrintable(error.text()));
        QCOMPARE(herbs->first().onHand, 0.0);
        // Each in its own file: the minimums beside the stock, the settings with the lists.
        for (const auto &[file, table] : {std::pair{"kucun", "kucunxiaxian"},
                                          std::pair{"main", "tongjicanshu"}}) {
            QVERIFY(query.exec(QString("SELECT count(*) FROM %1.sqlite_master WHERE name = '%2'")
                                   .arg(file, table)));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toInt(), 1);
        }
    }
};

QTEST_MAIN(tst_InsightQueries)
#include "tst_insightqueries.moc"
