#include "sales/stockoutposting.h"
#include "support/testsupport.h"

#include <memory>

class tst_StockOutPosting : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore temp;
        FixedToday today{QDate(2026, 12, 5)};
    };
    std::unique_ptr<Session> m;

    void addLine(const QString &code, const QVariant &batch, const QVariant &grade,
                 const QVariant &origin, const QVariant &quantity)
    {
        m->temp.exec("INSERT INTO chuhuo (编号, 品名, 规格, 批号, 产地, 数量, 销价, 金额, 日期, "
                     "单据号, 购货单位) VALUES (?, '甘草', ?, ?, ?, ?, 20, 20, '2026-12-05', "
                     "'XS20261205003', '仁和堂')",
                     {code, grade, batch, origin, quantity});
    }
    void addStock(const QString &code, const QVariant &batch, const QVariant &grade,
                  const QVariant &origin, const QVariant &quantity, const QVariant &cost,
                  const QVariant &value = QVariant())
    {
        m->temp.exec("INSERT INTO kucun (编号, 批号, 规格, 产地, 库存数量, 进价, 进价金额) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)",
                     {code, batch, grade, origin, quantity, cost, value});
    }
    PostingResult post(const QString &date = "2026-12-05", const QString &customer = "仁和堂")
    {
        return postPendingSales(m->temp.store(), {"XS20261205003", date, customer, false});
    }
    // 编号, 批号, 库存数量, 进价金额 of every stock row, in table order, Null spelt out.
    QList<QVariantList> stock()
    {
        return spellingNulls(
            m->temp.rows("SELECT 编号, 批号, 库存数量, 进价金额 FROM kucun ORDER BY rowid"));
    }
    // Lines still pending, headers written, the purchase and the sales counter.
    QVariantList bookkeeping()
    {
        return m->temp.rows("SELECT (SELECT count(*) FROM chuhuo WHERE 出库 IS NULL), "
                            "(SELECT count(*) FROM danju), 进货单号, 销售单号 FROM danjuhao")
            .value(0);
    }

private slots:
    void init()
    {
        m = std::make_unique<Session>();
        m->temp.exec("UPDATE danjuhao SET 进货单号 = 7, 销售单号 = 3");
    }
    void cleanup() { m.reset(); }

    void linesLowerTheirStockRow()
    {
        // 3 and 4 from 10 leave 3, valued at the unit cost.
        addStock("001", "A1", "片", "P", 10, 2.55, 25.5);
        addLine("001", "A1", "片", "P", 3);
        addLine("001", "A1", "片", "P", 4);
        // "*" in grade, batch and origin takes the first row of the code, whatever they hold,
        // Null included; the value is rounded to the cent, half away from zero.
        addStock("002", QVariant(), QVariant(), QVariant(), 2.5, 1.15);
        addStock("002", "B1", "段", "Q", 100, 1);
        addLine("002", "*", "*", "*", 1);
        // A given grade matches letter case aside, trimmed; only the first matching row goes.
        addStock("003", "C1", "Pian", "P", 5, 3);
        addStock("003", "C1", "pian", "P", 5, 3);
        addLine("003", " C1 ", " PIAN ", "P", 2);
        // Quantities stay the decimals they were: 0.3 less 0.1 less 0.2 is 0.
        addStock("004", "D1", "片", "P", 0.3, 10);
        addLine("004", "D1", "片", "P", 0.1);
        addLine("004", "D1", "片", "P", 0.2);
        // Without a unit cost what is left keeps the row's average; without a value it has none.
        addStock("005", "E1", "片", "P", 4, QVariant(), 10);
        addLine("005", "E1", "片", "P", 1);
        addStock("006", "F1", "片", "P", 4, QVariant(), QVariant());
        addLine("006", "F1", "片", "P", 1);
        // Nothing to take needs no stock row.
        addLine("009", "*", "*", "*", 0);

        const PostingResult result = post();
        QVERIFY2(result.ok, qPrintable(result.error.text()));
        QCOMPARE(result.postedLines, 9);
        QCOMPARE(stock(), (QList<QVariantList>{{"001", "A1", 3.0, 7.65},
                                               {"002", "Null", 1.5, 1.73},
                                               {"002", "B1", 100.0, "Null"},
                                               {"003", "C1", 3.0, 9.0},
                                               {"003", "C1", 5.0, "Null"},
                                               {"004", "D1", 0.0, 0.0},
                                               {"005", "E1", 3.0, 7.5},
                                               {"006", "F1", 3.0, "Null"}}));
        // Every line is posted and filed under the header's number.
        QCOMPARE(m->temp.rows("SELECT DISTINCT 出库, 单据号 FROM chuhuo"),
                 (QList<QVariantList>{{"已出库", "XS20261205003"}}));
    }

    void headerAndCounter()
    {
        // Nothing pending: nothing written, no number used.
        PostingResult result = post();
        QCOMPARE((QVariantList{result.ok, result.postedLines, result.nextNumber}),
                 (QVariantList{true, 0, ""}));
        QCOMPARE(bookkeeping(), (QVariantList{0, 0, 7.0, 3.0}));

        addStock("001", "A1", "片", "P", 10, 1);
        addLine("001", "A1", "片", "P", 1);
        // A line added under yesterday's number is filed under today's.
        m->temp.exec("UPDATE chuhuo SET 单据号 = 'XS20261204002'");
        addLine("001", "A1", "片", "P", 1);
        result = post();
        QCOMPARE((QVariantList{result.ok, result.postedLines, result.nextNumber}),
                 (QVariantList{true, 2, "XS20261205004"}));
        QCOMPARE(bookkeeping(), (QVariantList{0, 1, 7.0, 4.0}));
        QCOMPARE(m->temp.rows("SELECT DISTINCT 单据号 FROM chuhuo"),
                 QList<QVariantList>{{"XS20261205003"}});

        // A header without date or customer leaves them Null; a posted line is not posted again.
        // The screen still shows the number just used: on a server, where another clerk may
        // have used it, the posting takes the counter's.
        addLine("001", "A1", "片", "P", 1);
        result = post("", "");
        QVERIFY(result.ok);
        const QString second = TempStore::onServer() ? "XS20261205004" : "XS20261205003";
        QCOMPARE(result.documentNumber, second);
        QCOMPARE(m->temp.rows("SELECT 销售单, 日期 IS NULL, 购货单位 IS NULL FROM danju "
                              "ORDER BY rowid"),
                 (QList<QVariantList>{{"XS20261205003", 0, 0}, {second, 1, 1}}));
        QCOMPARE(m->temp.scalar("SELECT 库存数量 FROM kucun").toDouble(), 7.0);

        // From a thousand on the counter follows the date digits whole.
        m->temp.exec("UPDATE danjuhao SET 销售单号 = 999");
        addLine("001", "A1", "片", "P", 1);
        QCOMPARE(post().nextNumber, "XS202612051000");
    }

    void aLineTheStockCannotSupplyRefusesEverything_data()
    {
        QTest::addColumn<QVariantList>("second");
        QTest::addColumn<QString>("reason");
        // The first line takes 6 of the 10; the second is then refused.
        QTest::newRow("together more than on hand")
            << QVariantList{"001", "A1", "片", "P", 5} << "第 2 行 001 甘草 库存不足：现有 4，要出库 5";
        QTest::newRow("no stock row") << QVariantList{"002", "*", "*", "*", 1}
                                      << "第 2 行 002 甘草 在库存中找不到";
        QTest::newRow("a given batch never matches Null")
            << QVariantList{"003", "Z9", "*", "*", 1} << "第 2 行 003 甘草 在库存中找不到";
        QTest::newRow("no code") << QVariantList{QVariant(), "*", "*", "*", 0}
                                 << "第 2 行待出库记录没有编号";
    }

    void aLineTheStockCannotSupplyRefusesEverything()
    {
        QFETCH(QVariantList, second);
        QFETCH(QString, reason);
        addStock("001", "A1", "片", "P", 10, 1, 10);
        addStock("003", QVariant(), "片", "P", 10, 1, 10);
        addLine("001", "A1", "片", "P", 6);
        addLine(second[0].toString(), second[1], second[2], second[3], second[4]);
        m->temp.exec("UPDATE chuhuo SET 编号 = NULL WHERE 编号 = ''");
        const QList<QVariantList> before = stock() << bookkeeping();
        const PostingResult result = post();
        QVERIFY(!result.ok);
        QCOMPARE(result.error.text(), "出库失败：" + reason);
        QCOMPARE(stock() << bookkeeping(), before);
    }

    void aFailingWriteChangesNothing()
    {
        addStock("001", "A1", "片", "P", 10, 1, 10);
        addLine("001", "A1", "片", "P", 1);
        addLine("001", "A1", "片", "P", 2);
        const QList<QVariantList> before = stock() << bookkeeping();
        // The last write of all, the counter, fails: the stock already lowered goes back too.
        m->temp.refuse(TempStore::Change::Update, "danjuhao", {}, "disk gone");
        PostingResult result = post();
        QVERIFY2(!result.ok && result.error.text().contains("disk gone"),
                 qPrintable(result.error.text()));
        QCOMPARE(stock() << bookkeeping(), before);
        m->temp.allow("danjuhao");
        result = post();
        QVERIFY(result.ok);
        QCOMPARE(stock(), (QList<QVariantList>{{"001", "A1", 7.0, 7.0}}));
    }
};

QTEST_MAIN(tst_StockOutPosting)
#include "tst_stockoutposting.moc"
