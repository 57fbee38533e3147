#include "purchasing/stockinposting.h"
#include "support/testsupport.h"

#include <memory>

class tst_StockInPosting : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore temp;
        FixedToday today{QDate(2026, 12, 5)};
    };
    std::unique_ptr<Session> m;

    void addLine(const QString &code, const QString &batch, const QString &origin,
                 const QVariant &quantity, const QVariant &price, const QVariant &amount)
    {
        m->temp.exec("INSERT INTO jinhuo (单据号, 编号, 品名, 拼音, 规格, 产地, 生产日期, 批号, 有效期, "
                     "单位, 数量, 进价, 金额, 库房, 厂家) VALUES ('JH20261205007', ?, '甘草', 'gc', "
                     "'片', ?, '2026-01', ?, '2028-01', '公斤', ?, ?, ?, '一号库', '安国')",
                     {code, origin, batch, quantity, price, amount});
    }
    void addStock(const QString &code, const QString &batch, const QString &origin,
                  const QVariant &quantity, const QVariant &price, const QVariant &value)
    {
        m->temp.exec("INSERT INTO kucun (编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, 9)",
                     {code, batch, origin, quantity, quantity, price, value});
    }
    StockInResult post(bool keepNumber = false, double salePrice = 0.0)
    {
        return postPendingPurchases(m->temp.store(), {"JH20261205007", "2026-12-05", "安国",
                                                      keepNumber, salePrice});
    }
    QVariantList outcome(const StockInResult &r) { return {r.ok, r.postedLines, r.nextNumber}; }
    // 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 of every stock row, in table order.
    QList<QVariantList> stock()
    {
        return m->temp.rows("SELECT 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 "
                            "FROM kucun ORDER BY rowid");
    }
    // Lines still pending, headers written, the purchase and the sales counter.
    QVariantList bookkeeping()
    {
        return m->temp.rows("SELECT (SELECT count(*) FROM jinhuo WHERE 入库 IS NULL), "
                            "(SELECT count(*) FROM huodan), 进货单号, 销售单号 FROM danjuhao")
            .value(0);
    }

private slots:
    void init()
    {
        m = std::make_unique<Session>();
        m->temp.exec("UPDATE danjuhao SET 进货单号 = 7, 销售单号 = 3");
    }
    void cleanup() { m.reset(); }

    void stockRowsAreRaisedOrMade()
    {
        addStock("001", "A1", "P", 10, 5, 50); // weighted average
        addLine("001", "A1", "P", 10, 7, 70);
        addStock("002", "A1", "P", 1, 1, 1); // average rounded to cents
        addLine("002", "A1", "P", 2, 1, 1);
        addStock("003", "A1", "P", QVariant(), 4, QVariant()); // empty figures count as nothing
        addLine("003", "A1", "P", 10, 7, 70);
        addStock("004", "A1", "P", -5, 4.5, -20); // nothing on hand: the cost stays
        addLine("004", "A1", "P", 5, 6, 30);
        // A new row, raised by the next line, which has no price: the copied cost stays.
        addLine("005", "A1", "P", 10, 5, 50);
        addLine("005", "A1", "P", 10, QVariant(), 70);
        // An average of 1.005 is a cent up, however binary holds it; the value has no noise.
        addStock("006", "A1", "P", 1, 1, 1);
        addLine("006", "A1", "P", 1, 1.01, 1.01);
        addStock("007", "A1", "P", 1, 0.1, 0.1);
        addLine("007", "A1", "P", 1, 0.2, 0.2);
        QCOMPARE(outcome(post(false, 12.34)), (QVariantList{true, 8, "JH20261205008"}));
        // Rows that existed keep their sale price; single precision would store 12.3400001.
        QCOMPARE(stock(), (QList<QVariantList>{{"001", "A1", "P", 20.0, 20.0, 6.0, 120.0, 9.0},
                                               {"002", "A1", "P", 3.0, 3.0, 0.67, 2.0, 9.0},
                                               {"003", "A1", "P", 10.0, 10.0, 7.0, 70.0, 9.0},
                                               {"004", "A1", "P", 0.0, 0.0, 4.5, 10.0, 9.0},
                                               {"006", "A1", "P", 2.0, 2.0, 1.01, 2.01, 9.0},
                                               {"007", "A1", "P", 2.0, 2.0, 0.15, 0.3, 9.0},
                                               {"005", "A1", "P", 20.0, 20.0, 5.0, 120.0, 12.34}}));
        QCOMPARE(m->temp.rows("SELECT 品名, 拼音, 规格, 库房, 厂家, 单位, 生产日期, 有效期 FROM kucun "
                              "WHERE 编号 = '005'"),
                 (QList<QVariantList>{{"甘草", "gc", "片", "一号库", "安国", "公斤", "2026-01", "2028-01"}}));
        QCOMPARE(m->temp.rows("SELECT DISTINCT 入库 FROM jinhuo"), QList<QVariantList>{{"已入库"}});
    }

    void whichRowMatches()
    {
        m->temp.exec("INSERT INTO kucun (编号, 批号, 产地, 库存数量) VALUES ('001', 'B1', 'P', 1), "
                     "('001', 'B2', 'P', 1), ('001', 'B3', 'Q', 1), ('0''1', 'B''', 'P', 1), "
                     "('010', NULL, NULL, 1)");
        addLine("001", "B2", "P", 1, 1, 1);
        addLine("001", "*", "P", 10, 1, 10); // "*" takes the first row of the origin
        addLine("001", "B2", "*", 100, 1, 100);
        addLine("0'1", "B'", "P", 1000, 1, 1000); // a quote is text
        addLine("001", "B2", "R", 4, 1, 4); // another origin: a new row
        addLine("009", "*", "P", 5, 1, 5); // "*" still needs the code
        addLine("010", "*", "*", 7, 1, 7); // "*" takes a row whose batch and origin are Null
        addLine("010", "B9", "*", 9, 1, 9); // a given batch does not
        QVERIFY(post().ok);
        QCOMPARE(m->temp.rows("SELECT 编号, ifnull(批号, 'Null'), ifnull(产地, 'Null'), 库存数量 "
                              "FROM kucun ORDER BY rowid"),
                 (QList<QVariantList>{{"001", "B1", "P", 11.0}, {"001", "B2", "P", 102.0},
                                      {"001", "B3", "Q", 1.0}, {"0'1", "B'", "P", 1001.0},
                                      {"010", "Null", "Null", 8.0},
                                      {"001", "B2", "R", 4.0}, {"009", "*", "P", 5.0},
                                      {"010", "B9", "*", 9.0}}));
    }

    void linesAreFiledUnderTheHeadersNumber()
    {
        // One line added yesterday under yesterday's number, one today; one posted long ago.
        addLine("001", "A1", "P", 1, 1, 1);
        m->temp.exec("UPDATE jinhuo SET 单据号 = 'JH20261204007'");
        addLine("002", "A1", "P", 1, 1, 1);
        m->temp.exec("INSERT INTO jinhuo (单据号, 编号, 入库) VALUES ('JH20261201001', '003', "
                     "'已入库')");
        QVERIFY(post().ok);
        QCOMPARE(m->temp.rows("SELECT 编号, 单据号 FROM jinhuo ORDER BY rowid"),
                 (QList<QVariantList>{{"001", "JH20261205007"}, {"002", "JH20261205007"},
                                      {"003", "JH20261201001"}}));
        QCOMPARE(m->temp.rows("SELECT 进货单 FROM huodan"),
                 QList<QVariantList>{{"JH20261205007"}});
    }

    void headerAndCounter()
    {
        // Nothing pending: no header, no number.
        QCOMPARE(outcome(post()), (QVariantList{true, 0, ""}));
        QCOMPARE(bookkeeping(), (QVariantList{0, 0, 7.0, 3.0}));

        addLine("001", "A1", "P", 1, 1, 1);
        addLine("002", "A1", "P", 1, 1, 1);
        m->temp.exec("INSERT INTO jinhuo (编号, 数量, 入库) VALUES ('003', 1, '已入库')");
        // The number kept: the counter stays.
        QCOMPARE(outcome(post(true)), (QVariantList{true, 2, "JH20261205007"}));
        QCOMPARE(bookkeeping(), (QVariantList{0, 1, 7.0, 3.0}));
        // A line posted before is not posted again.
        QCOMPARE(m->temp.scalar("SELECT count(*) FROM kucun WHERE 编号 = '003'").toInt(), 0);

        addLine("004", "A1", "P", 1, 1, 1);
        QCOMPARE(outcome(post()), (QVariantList{true, 1, "JH20261205008"}));
        QCOMPARE(bookkeeping(), (QVariantList{0, 2, 8.0, 3.0}));
        QCOMPARE(m->temp.rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
                 (QList<QVariantList>(2, {"JH20261205007", "2026-12-05", "安国"})));
    }

    void failureChangesNothing()
    {
        addStock("001", "A1", "P", 1, 1, 1);
        for (const char *code : {"001", "002", "003"})
            addLine(code, "A1", "P", 10, 5, 50);
        // A line without code is refused.
        m->temp.exec("INSERT INTO jinhuo (批号, 产地, 数量) VALUES ('*', '*', 2)");
        const QList<QVariantList> before = stock() << bookkeeping();
        const auto refused = [&](const QString &reason) {
            const StockInResult r = post();
            QVERIFY2(!r.ok && r.error.text().contains(reason), qPrintable(r.error.text()));
            QCOMPARE(stock() << bookkeeping(), before);
        };
        refused("编号");
        m->temp.exec("UPDATE jinhuo SET 编号 = '003' WHERE 编号 IS NULL");
        m->temp.exec("CREATE TRIGGER jinhuo.refuse_last BEFORE UPDATE ON jinhuo "
                     "WHEN NEW.编号 = '003' BEGIN SELECT RAISE(ABORT, 'disk gone'); END");
        refused("disk gone");
        m->temp.exec("DROP TRIGGER jinhuo.refuse_last");
        QVERIFY(post().ok);
        QCOMPARE(stock().size(), 3);
    }
};

QTEST_MAIN(tst_StockInPosting)
#include "tst_stockinposting.moc"
