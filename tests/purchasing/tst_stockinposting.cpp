#include "purchasing/stockinposting.h"
#include "support/testsupport.h"

class tst_StockInPosting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstPurchaseMakesAStockRow();
    void matchingRaisesTheStockRow_data();
    void matchingRaisesTheStockRow();
    void whichRowMatches_data();
    void whichRowMatches();
    void twoLinesOfOneBatchInOnePosting();
    void headerAndCounter_data();
    void headerAndCounter();
    void nothingPendingChangesNothing();
    void failureOnTheLastLineChangesNothing();
    void lineWithoutCodeIsRefused();

private:
    void addLine(const QString &code, const QString &batch, const QString &origin,
                 const QVariant &quantity, const QVariant &price, const QVariant &amount);
    void addStock(const QString &code, const QString &batch, const QString &origin,
                  const QVariant &quantity, const QVariant &price, const QVariant &value);
    StockInResult post(bool keepNumber = false, double salePrice = 0.0);
    QList<QVariantList> stock();
    QVariant scalar(const QString &sql) { return m_temp->scalar(sql); }

    TempStore *m_temp = nullptr;
    FixedToday *m_today = nullptr;
};

void tst_StockInPosting::init()
{
    m_temp = new TempStore;
    m_today = new FixedToday(QDate(2026, 12, 5));
    m_temp->exec("UPDATE danjuhao SET 进货单号 = 7, 销售单号 = 3");
}

void tst_StockInPosting::cleanup()
{
    delete m_today;
    delete m_temp;
}

void tst_StockInPosting::addLine(const QString &code, const QString &batch, const QString &origin,
                                 const QVariant &quantity, const QVariant &price,
                                 const QVariant &amount)
{
    m_temp->exec("INSERT INTO jinhuo (单据号, 编号, 品名, 拼音, 规格, 产地, 生产日期, 批号, "
                 "有效期, 单位, 数量, 进价, 金额, 库房, 厂家) VALUES ('JH20261205007', ?, "
                 "'甘草', 'gc', '片', ?, '2026-01', ?, '2028-01', '公斤', ?, ?, ?, '一号库', "
                 "'安国')",
                 {code, origin, batch, quantity, price, amount});
}

void tst_StockInPosting::addStock(const QString &code, const QString &batch,
                                  const QString &origin, const QVariant &quantity,
                                  const QVariant &price, const QVariant &value)
{
    m_temp->exec("INSERT INTO kucun (编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, 9)",
                 {code, batch, origin, quantity, quantity, price, value});
}

StockInResult tst_StockInPosting::post(bool keepNumber, double salePrice)
{
    StockInRequest request{"JH20261205007", "2026-12-05", "安国", keepNumber, salePrice};
    return postPendingPurchases(m_temp->store(), request);
}

// 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 of every stock row, in table order.
QList<QVariantList> tst_StockInPosting::stock()
{
    return m_temp->rows("SELECT 编号, 批号, 产地, 库存数量, 入库数量, 进价, 进价金额, 销价 "
                        "FROM kucun ORDER BY rowid");
}

void tst_StockInPosting::firstPurchaseMakesAStockRow()
{
    addLine("001", "A1", "P", 10, 5, 50);
    const StockInResult result = post(false, 12.34);
    QVERIFY2(result.ok, qPrintable(result.error.text()));
    QCOMPARE(result.postedLines, 1);

    const auto rows = m_temp->rows("SELECT 编号, 品名, 拼音, 规格, 批号, 产地, 库房, 厂家, 单位, "
                                   "生产日期, 有效期, 库存数量, 入库数量, 进价, 进价金额 "
                                   "FROM kucun");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList{"001", "甘草", "gc", "片", "A1", "P", "一号库", "安国", "公斤",
                                    "2026-01", "2028-01", 10.0, 10.0, 5.0, 50.0}));
    // Single precision would make 12.34 into 12.3400001.
    QCOMPARE(scalar("SELECT 销价 FROM kucun").toDouble(), 12.34);
    QCOMPARE(scalar("SELECT 入库 FROM jinhuo").toString(), QString("已入库"));
}

void tst_StockInPosting::matchingRaisesTheStockRow_data()
{
    // Stock before, the line, then the row after: quantity, unit cost, value.
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
    QTest::newRow("nothing on hand keeps the cost") << QVariantList{-5, 4.5, -20}
                                                    << QVariantList{5, 6, 30}
                                                    << QVariantList{0.0, 4.5, 10.0};
    QTest::newRow("line without price keeps the cost")
        << QVariantList{10, 5, 50} << QVariantList{10, QVariant(), 70}
        << QVariantList{20.0, 5.0, 120.0};
}

void tst_StockInPosting::matchingRaisesTheStockRow()
{
    QFETCH(QVariantList, before);
    QFETCH(QVariantList, line);
    QFETCH(QVariantList, after);
    addStock("001", "A1", "P", before[0], before[1], before[2]);
    addLine("001", "A1", "P", line[0], line[1], line[2]);
    QVERIFY(post(false, 99).ok);

    const auto rows = stock();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][3].toDouble(), after[0].toDouble());
    QCOMPARE(rows[0][4].toDouble(), after[0].toDouble());
    QCOMPARE(rows[0][5].toDouble(), after[1].toDouble());
    QCOMPARE(rows[0][6].toDouble(), after[2].toDouble());
    QCOMPARE(rows[0][7].toDouble(), 9.0); // an existing row keeps its sale price
}

void tst_StockInPosting::whichRowMatches_data()
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

void tst_StockInPosting::whichRowMatches()
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

void tst_StockInPosting::twoLinesOfOneBatchInOnePosting()
{
    addLine("001", "A1", "P", 10, 5, 50);
    addLine("001", "A1", "P", 10, 7, 70);
    const StockInResult result = post();
    QCOMPARE(result.postedLines, 2);
    QCOMPARE(stock(), (QList<QVariantList>{{"001", "A1", "P", 20.0, 20.0, 6.0, 120.0, 0.0}}));
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(), 0);
}

void tst_StockInPosting::headerAndCounter_data()
{
    QTest::addColumn<bool>("keepNumber");
    QTest::addColumn<QString>("nextNumber");
    QTest::addColumn<double>("counter");
    QTest::newRow("counter advances") << false << "JH20261205008" << 8.0;
    QTest::newRow("number kept") << true << "JH20261205007" << 7.0;
}

void tst_StockInPosting::headerAndCounter()
{
    QFETCH(bool, keepNumber);
    QFETCH(QString, nextNumber);
    QFETCH(double, counter);
    addLine("001", "A1", "P", 1, 1, 1);
    addLine("002", "A1", "P", 1, 1, 1);
    m_temp->exec("INSERT INTO jinhuo (编号, 数量, 入库) VALUES ('003', 1, '已入库')");
    const StockInResult result = post(keepNumber);
    QCOMPARE(result.postedLines, 2);
    QCOMPARE(result.nextNumber, nextNumber);
    QCOMPARE(m_temp->rows("SELECT 进货单号, 销售单号 FROM danjuhao"),
             (QList<QVariantList>{{counter, 3.0}}));
    QCOMPARE(m_temp->rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
             (QList<QVariantList>{{"JH20261205007", "2026-12-05", "安国"}}));
    // A line posted before is not posted again.
    QCOMPARE(scalar("SELECT count(*) FROM kucun WHERE 编号 = '003'").toInt(), 0);
}

void tst_StockInPosting::nothingPendingChangesNothing()
{
    const StockInResult result = post();
    QVERIFY(result.ok);
    QVERIFY(result.nextNumber.isEmpty());
    QCOMPARE(scalar("SELECT count(*) FROM huodan").toInt(), 0);
    QCOMPARE(scalar("SELECT 进货单号 FROM danjuhao").toDouble(), 7.0);
}

void tst_StockInPosting::failureOnTheLastLineChangesNothing()
{
    addStock("001", "A1", "P", 1, 1, 1);
    addLine("001", "A1", "P", 10, 5, 50);
    addLine("002", "A1", "P", 10, 5, 50);
    addLine("003", "A1", "P", 10, 5, 50);
    m_temp->exec("CREATE TRIGGER jinhuo.refuse_last BEFORE UPDATE ON jinhuo "
                 "WHEN NEW.编号 = '003' BEGIN SELECT RAISE(ABORT, 'disk gone'); END");
    const auto stockBefore = stock();

    const StockInResult result = post();
    QVERIFY(!result.ok);
    QVERIFY2(result.error.text().contains("disk gone"), qPrintable(result.error.text()));
    QCOMPARE(stock(), stockBefore);
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(), 3);
    QCOMPARE(scalar("SELECT count(*) FROM huodan").toInt(), 0);
    QCOMPARE(scalar("SELECT 进货单号 FROM danjuhao").toDouble(), 7.0);

    m_temp->exec("DROP TRIGGER jinhuo.refuse_last");
    QVERIFY(post().ok);
    QCOMPARE(stock().size(), 3);
}

void tst_StockInPosting::lineWithoutCodeIsRefused()
{
    addLine("001", "A1", "P", 1, 1, 1);
    m_temp->exec("INSERT INTO jinhuo (批号, 产地, 数量) VALUES ('*', '*', 2)");
    const StockInResult result = post();
    QVERIFY(!result.ok);
    QVERIFY(result.error.text().contains("编号"));
    QCOMPARE(stock().size(), 0);
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(), 2);
}

QTEST_MAIN(tst_StockInPosting)
#include "tst_stockinposting.moc"
