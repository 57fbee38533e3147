#include "purchasing/stockinposting.h"
#include "sales/stockoutposting.h"
#include "support/testsupport.h"
#include "trading/documentnumber.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <memory>
#include <thread>

// Several clerks, each program with a connection of its own, on one server database.
class tst_SeveralClerks : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStore> m_temp;
    std::unique_ptr<FixedToday> m_today;

    // A pending sale entered by the clerk whose store it is.
    static bool addSale(Store &clerk, const QString &code, double quantity)
    {
        QSqlQuery insert(clerk.database());
        insert.prepare("INSERT INTO chuhuo (编号, 品名, 数量, 销价, 金额, 日期) "
                       "VALUES (?, '当归', ?, 2, ?, '2026-12-05')");
        insert.addBindValue(code);
        insert.addBindValue(quantity);
        insert.addBindValue(quantity * 2);
        return insert.exec();
    }

    // What one clerk did in the concurrency test: the quantities his postings moved per herb,
    // the numbers they were filed under, and what went wrong beyond a real shortage.
    struct ClerkTally
    {
        QHash<QString, double> bought;
        QHash<QString, double> sold;
        QStringList numbers;
        int shortages = 0;
        QStringList faults;
    };

    // A clerk selling and buying at random, each line posted at once as a document of its own.
    static ClerkTally workAsClerk(const DataLocation &location, int seed, int postings)
    {
        ClerkTally tally;
        Store store;
        if (!store.open(location)) {
            tally.faults << store.lastError().text();
            return tally;
        }
        const QStringList herbs = {"DG01", "HQ01", "GC01"};
        const QRegularExpression shortage("^出库失败：第 1 行 (\\S+) 当归 库存不足：现有 (\\S+)，"
                                          "要出库 (\\S+)$");
        QRandomGenerator random(seed);
        for (int i = 0; i < postings && tally.faults.isEmpty(); ++i) {
            const QString herb = herbs.at(random.bounded(herbs.size()));
            const double quantity = 1 + random.bounded(5);
            QSqlQuery line(store.database());
            PostingResult result;
            if (random.bounded(10) < 6) {
                if (!addSale(store, herb, quantity)) {
                    tally.faults << line.lastError().text();
                    break;
                }
                result = postPendingSales(store, {"XS", "2026-12-05", "", false});
                if (result.ok) {
                    tally.sold[herb] += quantity;
                } else if (const auto match = shortage.match(result.error.text());
                           match.hasMatch() && match.captured(1) == herb
                           && match.captured(2).toDouble() < quantity
                           && match.captured(3).toDouble() == quantity) {
                    ++tally.shortages;
                    // The refused line is not wanted any more.
                    line.exec("DELETE FROM chuhuo WHERE 出库 IS NULL AND "
                              "clerk = current_setting('herbdesk.clerk')");
                } else {
                    tally.faults << result.error.text();
                }
            } else {
                line.prepare("INSERT INTO jinhuo (编号, 品名, 数量, 进价, 金额, 日期) "
                             "VALUES (?, '当归', ?, 1, ?, '2026-12-05')");
                line.addBindValue(herb);
                line.addBindValue(quantity);
                line.addBindValue(quantity);
                if (!line.exec()) {
                    tally.faults << line.lastError().text();
                    break;
                }
                StockInRequest request;
                request.documentNumber = "JH";
                result = postPendingPurchases(store, request);
                if (result.ok)
                    tally.bought[herb] += quantity;
                else
                    tally.faults << result.error.text();
            }
            if (result.ok && result.postedLines != 1)
                tally.faults << QString("posted %1 lines").arg(result.postedLines);
            if (result.ok)
                tally.numbers << result.documentNumber;
        }
        return tally;
    }

    // The test database as the named clerk's program opens it.
    DataLocation asClerk(const QString &clerk) const
    {
        DataLocation location = m_temp->location();
        location.server->clerk = clerk;
        return location;
    }

    // A clerk of a session of its own, in a thread, enters a sale of 8 of DG01 and posts it.
    static std::thread clerkSellingEight(const DataLocation &location, PostingResult *result)
    {
        return std::thread([location, result] {
            Store mine;
            if (mine.open(location) && addSale(mine, "DG01", 8))
                *result = postPendingSales(mine, {"XS20261205001", "2026-12-05", "", false});
            else
                result->error = mine.lastError();
        });
    }

    // Waits until some connection of the database waits for a lock another one holds.
    bool someoneWaitsForALock()
    {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (m_temp->scalar("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = "
                               "'Lock' AND datname = current_database()")
                    .toInt()
                > 0) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

private slots:
    // Each clerk counts, sums and posts the pending lines he entered, and no other's.
    void pendingLinesBelongToTheirClerk()
    {
        Store first;
        Store second;
        QVERIFY_STORE(first, first.open(asClerk("柜台")));
        QVERIFY_STORE(second, second.open(asClerk("库房")));
        QVERIFY(addSale(first, "DG01", 1) && addSale(first, "DG01", 2));
        QVERIFY(addSale(second, "DG01", 4));
        const Query pending("chuhuo", Filter::pending("出库"));
        QCOMPARE(first.rowCount(pending), 2);
        QCOMPARE(first.sum(pending, "金额").toDouble(), 6.0);
        QCOMPARE(second.rowCount(pending), 1);
        QCOMPARE(second.sum(pending, "金额").toDouble(), 8.0);
        // The clerk's column is hidden from the screens.
        StoreError error;
        QVERIFY(!first.columnsOf("chuhuo", &error).contains("clerk"));

        PostingResult result = postPendingSales(first, {"XS20261205001", "", "", false});
        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.postedLines, 2);
        QCOMPARE(first.rowCount(pending), 0);
        QCOMPARE(second.rowCount(pending), 1);
        result = postPendingSales(second, {"XS20261205001", "", "", false});
        QCOMPARE(result.postedLines, 1);
        QCOMPARE(m_temp->rows("SELECT 单据号, 数量, clerk FROM chuhuo ORDER BY rowid"),
                 (QList<QVariantList>{{"XS20261205001", 1.0, "柜台"},
                                      {"XS20261205001", 2.0, "柜台"},
                                      {"XS20261205002", 4.0, "库房"}}));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun").toDouble(), 3.0);
    }

    void init()
    {
        if (!TempStore::onServer())
            QSKIP("one program works on the files of a folder");
        m_temp = std::make_unique<TempStore>();
        QVERIFY(m_temp->isValid());
        m_today = std::make_unique<FixedToday>(QDate(2026, 12, 5));
        m_temp->exec("UPDATE danjuhao SET 销售单号 = 1");
        m_temp->exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价, 进价金额) "
                     "VALUES ('DG01', '当归', 10, 1, 10)");
    }
    void cleanup()
    {
        m_today.reset();
        m_temp.reset();
    }

    // Three clerks on connections of their own sell and buy the same herbs a thousand times:
    // no stock is lost or made up, no number is used twice, every refusal is a real shortage.
    void clerksSellingAndBuyingTogetherLoseNothing()
    {
        m_temp->exec("DELETE FROM kucun");
        m_temp->exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价, 进价金额) VALUES "
                     "('DG01', '当归', 20, 1, 20), ('HQ01', '当归', 20, 1, 20), "
                     "('GC01', '当归', 20, 1, 20)");
        constexpr int Clerks = 3;
        const int postings[Clerks] = {334, 333, 333};
        ClerkTally tallies[Clerks];
        std::vector<std::thread> clerks;
        for (int c = 0; c < Clerks; ++c) {
            clerks.emplace_back([&, c] {
                tallies[c] = workAsClerk(asClerk(QString("clerk%1").arg(c)), 7 + c, postings[c]);
            });
        }
        for (std::thread &clerk : clerks)
            clerk.join();

        QStringList numbers;
        int shortages = 0;
        for (const ClerkTally &tally : tallies) {
            QCOMPARE(tally.faults, QStringList());
            numbers << tally.numbers;
            shortages += tally.shortages;
        }
        QCOMPARE(numbers.size() + shortages, 1000);
        // Some sales met an empty shelf, as the test means them to.
        QVERIFY(shortages > 0);
        QCOMPARE(QSet<QString>(numbers.cbegin(), numbers.cend()).size(), numbers.size());
        QCOMPARE(m_temp->scalar("SELECT count(DISTINCT 销售单) FROM danju").toInt()
                     + m_temp->scalar("SELECT count(DISTINCT 进货单) FROM huodan").toInt(),
                 numbers.size());
        for (const QString herb : {"DG01", "HQ01", "GC01"}) {
            double expected = 20;
            for (const ClerkTally &tally : tallies)
                expected += tally.bought.value(herb) - tally.sold.value(herb);
            QCOMPARE(m_temp->scalar("SELECT sum(库存数量) FROM kucun WHERE 编号 = ?", {herb})
                         .toDouble(),
                     expected);
        }
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM chuhuo WHERE 出库 IS NULL").toInt()
                     + m_temp->scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(),
                 0);
    }

    // Both screens show the same next number; the second posting takes the one after it.
    void postingsGetConsecutiveNumbers()
    {
        Store first;
        Store second;
        QVERIFY_STORE(first, first.open(m_temp->location()));
        QVERIFY_STORE(second, second.open(m_temp->location()));
        StoreError error;
        const QString shown =
            *DocumentNumber::next(second, "XS", DocumentNumber::SalesCounter, &error);
        QCOMPARE(shown, "XS20261205001");

        QVERIFY(addSale(first, "DG01", 1));
        PostingResult result = postPendingSales(first, {shown, "2026-12-05", "", false});
        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.documentNumber, shown);
        QCOMPARE(result.nextNumber, "XS20261205002");

        QVERIFY(addSale(second, "DG01", 2));
        result = postPendingSales(second, {shown, "2026-12-05", "", false});
        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.documentNumber, "XS20261205002");
        QCOMPARE(result.nextNumber, "XS20261205003");
        QCOMPARE(m_temp->rows("SELECT 销售单 FROM danju ORDER BY rowid"),
                 (QList<QVariantList>{{"XS20261205001"}, {"XS20261205002"}}));
        QCOMPARE(m_temp->rows("SELECT 单据号, 数量 FROM chuhuo ORDER BY rowid"),
                 (QList<QVariantList>{{"XS20261205001", 1.0}, {"XS20261205002", 2.0}}));
    }

    // A posting that had to wait for another one tests the stock as that one left it: a line
    // it no longer covers refuses the posting by name, and nothing of it is written.
    void aPostingThatWaitedTestsTheStockAgain()
    {
        const DataLocation location = m_temp->location();
        Store other;
        QVERIFY_STORE(other, other.open(location));

        // Another clerk's posting is under way: it holds the counter.
        std::optional<Transaction> otherPosting(std::in_place, other);
        StoreError error;
        QCOMPARE(DocumentNumber::lockedCounter(other, DocumentNumber::SalesCounter, &error)
                     .value_or(-1),
                 qint64(1));

        PostingResult result;
        std::thread clerk = clerkSellingEight(location, &result);
        const bool waited = someoneWaitsForALock();
        // The other posting sells 6 of the 10 and ends.
        QSqlQuery sell(other.database());
        const bool sold = sell.exec("UPDATE kucun SET 库存数量 = 4, 进价金额 = 4");
        const bool committed = otherPosting->commit();
        clerk.join();
        QVERIFY(waited && sold && committed);

        QVERIFY(!result.ok);
        QCOMPARE(result.error.text(), "出库失败：第 1 行 DG01 当归 库存不足：现有 4，要出库 8");
        QCOMPARE(m_temp->rows("SELECT 出库 IS NULL, 单据号 IS NULL FROM chuhuo"),
                 (QList<QVariantList>{{true, true}}));
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM danju").toInt(), 0);
        QCOMPARE(m_temp->scalar("SELECT 销售单号 FROM danjuhao").toInt(), 1);
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun").toDouble(), 4.0);
    }

    // The clerk's posting and another program's transaction each wait for what the other holds:
    // the server undoes the posting, which is run again once the other has ended.
    void aPostingUndoneForADeadlockIsRunAgain()
    {
        const DataLocation location = m_temp->location();
        Store other;
        QVERIFY_STORE(other, other.open(location));
        QSqlQuery statement(other.database());
        // The server looks for the deadlock from the posting's side, which it then undoes.
        QVERIFY(statement.exec("SET deadlock_timeout TO '20s'"));
        QVERIFY(statement.exec("BEGIN"));
        QVERIFY(statement.exec("UPDATE kucun SET 库存数量 = 9, 进价金额 = 9"));

        PostingResult result;
        std::thread clerk = clerkSellingEight(location, &result);
        const bool waited = someoneWaitsForALock();
        const bool locked = statement.exec("SELECT * FROM danjuhao FOR UPDATE");
        const bool committed = statement.exec("COMMIT");
        clerk.join();
        QVERIFY(waited && locked && committed);

        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.postedLines, 1);
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun").toDouble(), 1.0);
        QCOMPARE(m_temp->rows("SELECT 销售单 FROM danju"), QList<QVariantList>{{"XS20261205001"}});
    }

    // The server ends the clerk's connection in the middle of a posting: nothing of it stays,
    // and the clerk is told why.
    void aLostConnectionUndoesThePostingAndSaysSo()
    {
        const DataLocation location = m_temp->location();
        Store other;
        QVERIFY_STORE(other, other.open(location));
        std::optional<Transaction> otherPosting(std::in_place, other);
        StoreError error;
        QVERIFY(DocumentNumber::lockedCounter(other, DocumentNumber::SalesCounter, &error));

        PostingResult result;
        std::thread clerk = clerkSellingEight(location, &result);
        const bool waited = someoneWaitsForALock();
        m_temp->exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                     "WHERE wait_event_type = 'Lock' AND datname = current_database()");
        clerk.join();
        QVERIFY(otherPosting->commit());
        QVERIFY(waited);

        QVERIFY(!result.ok);
        QVERIFY2(result.error.text().startsWith("出库失败：与数据库服务器的连接已断开，"
                                                "服务器已撤销这次未完成的改动。"),
                 qPrintable(result.error.text()));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun").toDouble(), 10.0);
        QCOMPARE(m_temp->rows("SELECT 出库 IS NULL FROM chuhuo"), QList<QVariantList>{{true}});
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM danju").toInt(), 0);
        QCOMPARE(m_temp->scalar("SELECT 销售单号 FROM danjuhao").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_SeveralClerks)
#include "tst_severalclerks.moc"
