#include "purchasing/stockinposting.h"
#include "support/testsupport.h"

#include <memory>

class tst_StockInPosting : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStore> m_temp;
    std::unique_ptr<FixedToday> m_today;

    void addLine(const QString &code, const QString &batch, const QString &origin,
                 const QVariant &quantity, const QVariant &price, const QVariant &amount)
    {
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号, 品名, 拼音, 规格, 产地, 生产日期, 批号, 有效期, "
                     "单位, 数量, 进价, 金额, 库房, 厂家) VALUES ('JH20261205007', ?, '甘草', 'gc', "
                     "'片', ?, '2026-01', ?, '2028-01', '公斤', ?, ?, ?, '一号库', '安国')",
                     {code, origin, batch, quantity, price, amount});
    }
    void addStock(const QString &code, const QString &batch, const QString &origin,
                  const QVariant &quantity, const QVariant &price, const QVariant &value)
    {
        m_temp->exec("INSERT INTO kucun (编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, 9)",
                     {code, batch, origin, quantity, quantity, price, value});
    }
    StockInResult post(bool keepNumber = false, double salePrice = 0.0)
    {
        return postPendingPurchases(m_temp->store(), {"JH20261205007", "2026-12-05", "安国",
                                                      keepNumber, salePrice});
    }
    // 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 of every stock row, in table order.
    QList<QVariantList> stock()
    {
        return m_temp->rows("SELECT 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 "
                            "FROM kucun ORDER BY rowid");
    }
    // Lines still pending, headers written, the purchase and the sales counter.
    QVariantList bookkeeping()
    {
        return m_temp->rows("SELECT (SELECT count(*) FROM jinhuo WHERE 入库 IS NULL), "
                            "(SELECT count(*) FROM huodan), 进货单号, 销售单号 FROM danjuhao")
            .value(0);
    }

private slots:
    void init()
    {
        m_temp = std::make_unique<TempStore>();
        m_today = std::make_unique<FixedToday>(QDate(2026, 12, 5));
        m_temp->exec("UPDATE danjuhao SET 进货单号 = 7, 销售单号 = 3");
    }
    void cleanup()
    {
        m_today.reset();
        m_temp.reset();
    }

    void firstPurchaseMakesAStockRowThatTheNextLineRaises()
    {
        addLine("001", "A1", "P", 10, 5, 50);
        addLine("001", "A1", "P", 10, QVariant(), 70); // no price: the copied cost stays
        const StockInResult result = post(false, 12.34);
        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.postedLines, 2);
        // Single precision would make the sale price 12.34 into 12.3400001.
        QCOMPARE(m_temp->rows("SELECT 编号, 品名, 拼音, 规格, 批号, 产地, 库房, 厂家, 单位, 生产日期, "
                              "有效期, 库存数量, 入库数量, 进价, 进价金额, 销价 FROM kucun"),
                 (QList<QVariantList>{{"001", "甘草", "gc", "片", "A1", "P", "一号库", "安国", "公斤",
                                       "2026-01", "2028-01", 20.0, 20.0, 5.0, 120.0, 12.34}}));
        QCOMPARE(m_temp->rows("SELECT DISTINCT 入库 FROM jinhuo"), QList<QVariantList>{{"已入库"}});
    }

    void matchingRaisesTheStockRow_data()
    {
        // Stock before and the line: quantity, unit cost, value; then quantity, cost, value after.
        QTest::addColumn<QVariantList>("before");
        QTest::addColumn<QVariantList>("line");
        QTest::addColumn<QVariantList>("after");
        QTest::newRow("weighted average") << QVariantList{10, 5, 50} << QVariantList{10, 7, 70}
                                          << QVariantList{20.0, 6.0, 120.0};
        QTest::newRow("average rounded to cents") << QVariantList{1, 1, 1} << QVariantList{2, 1, 1}
                                                  << QVariantList{3.0, 0.67, 2.0};
        QTest::newRow("empty stock figures count as nothing")
            << QVariantList{QVariant(), 4, QVariant()} << QVariantList{10, 7, 70}
            << QVariantList{10.0, 7.0, 70.0};
        QTest::newRow("nothing on hand keeps the cost")
            << QVariantList{-5, 4.5, -20} << QVariantList{5, 6, 30} << QVariantList{0.0, 4.5, 10.0};
        QTest::newRow("line without price keeps the cost")
            << QVariantList{10, 5, 50} << QVariantList{10, QVariant(), 70}
            << QVariantList{20.0, 5.0, 120.0};
    }
    void matchingRaisesTheStockRow()
    {
        QFETCH(QVariantList, before);
        QFETCH(QVariantList, line);
        QFETCH(QVariantList, after);
        addStock("001", "A1", "P", before[0], before[1], before[2]);
        addLine("001", "A1", "P", line[0], line[1], line[2]);
        QVERIFY(post(false, 99).ok);
        // An existing row keeps its sale price.
        QCOMPARE(stock(), (QList<QVariantList>{{"001", "A1", "P", after[0], after[0], after[1],
                                                after[2], 9.0}}));
    }

    void whichRowMatches_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("batch");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<int>("raisedRow"); // -1: a new stock row
        QTest::newRow("same batch and origin") << "001" << "B2" << "P" << 1;
        QTest::newRow("star batch takes the first row of the origin") << "001" << "*" << "Q" << 2;
        QTest::newRow("star origin") << "001" << "B2" << "*" << 1;
        QTest::newRow("letter case does not count") << "001" << "b2" << "p" << 1;
        QTest::newRow("question mark is one character") << "001" << "B?" << "P" << 0;
        QTest::newRow("other origin") << "001" << "B2" << "R" << -1;
        QTest::newRow("star batch of a new code") << "009" << "*" << "P" << -1;
        QTest::newRow("percent is no wildcard") << "001" << "B%" << "P" << -1;
        QTest::newRow("quote is text") << "0'1" << "B'" << "P" << 3;
    }
    void whichRowMatches()
    {
        QFETCH(QString, code);
        QFETCH(QString, batch);
        QFETCH(QString, origin);
        QFETCH(int, raisedRow);
        addStock("001", "B1", "P", 1, 1, 1);
        addStock("001", "B2", "P", 1, 1, 1);
        addStock("001", "B3", "Q", 1, 1, 1);
        addStock("0'1", "B'", "P", 1, 1, 1);
        addLine(code, batch, origin, 4, 1, 4);
        QVERIFY(post().ok);

        const auto rows = stock();
        QCOMPARE(rows.size(), raisedRow < 0 ? 5 : 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rows[i][3].toDouble(), i == raisedRow ? 5.0 : 1.0);
        if (raisedRow < 0)
            QCOMPARE(rows[4].mid(0, 4), (QVariantList{code, batch, origin, 4.0}));
    }

    void headerAndCounter_data()
    {
        QTest::addColumn<bool>("keepNumber");
        QTest::addColumn<QString>("nextNumber");
        QTest::addColumn<double>("counter");
        QTest::newRow("counter advances") << false << "JH20261205008" << 8.0;
        QTest::newRow("number kept") << true << "JH20261205007" << 7.0;
    }
    void headerAndCounter()
    {
        QFETCH(bool, keepNumber);
        QFETCH(QString, nextNumber);
        QFETCH(double, counter);
        // Nothing pending: no header, no number.
        const StockInResult none = post(keepNumber);
        QVERIFY(none.ok && none.postedLines == 0 && none.nextNumber.isEmpty());
        QCOMPARE(bookkeeping(), (QVariantList{0, 0, 7.0, 3.0}));

        addLine("001", "A1", "P", 1, 1, 1);
        addLine("002", "A1", "P", 1, 1, 1);
        m_temp->exec("INSERT INTO jinhuo (编号, 数量, 入库) VALUES ('003', 1, '已入库')");
        const StockInResult result = post(keepNumber);
        QCOMPARE(result.postedLines, 2);
        QCOMPARE(result.nextNumber, nextNumber);
        QCOMPARE(bookkeeping(), (QVariantList{0, 1, counter, 3.0}));
        QCOMPARE(m_temp->rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
                 (QList<QVariantList>{{"JH20261205007", "2026-12-05", "安国"}}));
        // A line posted before is not posted again.
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 编号 = '003'").toInt(), 0);
    }

    void failureChangesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("mend");
        QTest::addColumn<QString>("reason");
        QTest::newRow("engine refuses the last line")
            << "CREATE TRIGGER jinhuo.refuse_last BEFORE UPDATE ON jinhuo WHEN NEW.编号 = '003' "
               "BEGIN SELECT RAISE(ABORT, 'disk gone'); END"
            << "DROP TRIGGER jinhuo.refuse_last" << "disk gone";
        QTest::newRow("last line without code")
            << "INSERT INTO jinhuo (批号, 产地, 数量) VALUES ('*', '*', 2)"
            << "DELETE FROM jinhuo WHERE 编号 IS NULL" << "编号";
    }
    void failureChangesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, mend);
        QFETCH(QString, reason);
        addStock("001", "A1", "P", 1, 1, 1);
        for (const char *code : {"001", "002", "003"})
            addLine(code, "A1", "P", 10, 5, 50);
        m_temp->exec(fault);
        const auto stockBefore = stock();
        const QVariantList before = bookkeeping();

        const StockInResult result = post();
        QVERIFY(!result.ok);
        QVERIFY2(result.error.text().contains(reason), qPrintable(result.error.text()));
        QCOMPARE(stock(), stockBefore);
        QCOMPARE(bookkeeping(), before);

        m_temp->exec(mend);
        QVERIFY(post().ok);
        QCOMPARE(stock().size(), 3);
    }
};

QTEST_MAIN(tst_StockInPosting)
#include "tst_stockinposting.moc"
