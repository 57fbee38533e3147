#include "stock/baosunfrm.h"
#include "stockscreendriver.h"

namespace {

// HQ01's cost 0.335 makes a value with more than cents; WJ01 has no cost, WS01 no quantity.
struct Baosun : StockScreenDriver<BaosunFrm>
{
    Baosun()
        : StockScreenDriver("INSERT INTO kucun (编号, 品名, 库存数量, 进价, 进价金额) VALUES "
                            "('DG01', '当归', 10, 2.5, 25), ('DG02', '当归尾', 0.5, 4, 2), "
                            "('HQ01', '黄芪', 3, 0.335, 1.01), ('WJ01', '无价', 5, NULL, NULL), "
                            "('WS01', '无数', NULL, 2, NULL)") {}
    void writeOff(int row, const QString &quantity) // row -1: keep the current row
    {
        if (row >= 0)
            chooseRow(row);
        fill("Text2", quantity);
        click("Command2");
    }
    // Quantity on hand and stock value as stored; empty when the row is gone.
    QVariantList left(const QString &code)
    {
        return temp.rows("SELECT 库存数量, 进价金额 FROM kucun WHERE 编号 = ?", {code}).value(0);
    }
};

} // namespace

class tst_Baosunfrm : public QObject
{
    Q_OBJECT

private slots:
    void writeOffLowersQuantityAndValue()
    {
        Baosun s;
        QCOMPARE(s.box("Text2")->text(), QStringLiteral("0"));
        // A correction still pending in the grid's row counts first and is not lost.
        s.editCell(0, "库存数量", "20");
        s.fill("Text2", "4");
        s.click("Command2");
        QCOMPARE(s.left("DG01"), (QVariantList{16.0, 40.0}));
        QCOMPARE(s.cell(0, "库存数量"), QStringLiteral("16"));

        // The quantity stays in the box for the next row; the value is rounded to cents.
        s.chooseRow(2);
        QCOMPARE(s.box("Text2")->text(), QStringLiteral("4"));
        s.writeOff(2, "1");
        QCOMPARE(s.left("HQ01"), (QVariantList{2.0, 0.67}));
        QCOMPARE(s.left("DG01"), (QVariantList{16.0, 40.0}));

        // Down to zero keeps the row; fractions leave no binary remainder to block the last one.
        s.writeOff(0, "16");
        QCOMPARE(s.left("DG01"), (QVariantList{0.0, 0.0}));
        s.writeOff(1, "0.3");
        QCOMPARE(s.left("DG02"), (QVariantList{0.2, 0.8}));
        QCOMPARE(s.cell(1, "库存数量"), QStringLiteral("0.2"));
        s.writeOff(1, "0.2");
        QCOMPARE(s.left("DG02"), (QVariantList{0.0, 0.0}));
        QVERIFY(s.messages.texts.isEmpty());
        QCOMPARE(s.listedRows(), 5);
    }

    void refusedWriteOffLeavesTheStock_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("quantity");
        QTest::newRow("empty") << 0 << "";
        QTest::newRow("not a number") << 0 << "四斤";
        QTest::newRow("quote") << 0 << "4'";
        QTest::newRow("zero") << 0 << "0";
        QTest::newRow("negative") << 0 << "-2";
        QTest::newRow("more than on hand") << 0 << "10.01";
        QTest::newRow("no purchase price") << 3 << "1";
        QTest::newRow("no quantity on hand") << 4 << "1";
        QTest::newRow("no current row") << -1 << "1";
    }
    void refusedWriteOffLeavesTheStock()
    {
        QFETCH(int, row);
        QFETCH(QString, quantity);
        Baosun s;
        const QString sql = "SELECT 编号, 库存数量, 进价金额 FROM kucun ORDER BY rowid";
        const auto before = s.temp.rows(sql);
        if (row < 0) // an empty list has no current row
            s.search("人参");
        s.writeOff(row, quantity);
        QCOMPARE(s.messages.texts.size(), 1);
        QCOMPARE(s.temp.rows(sql), before);
    }

    void wholeRowWriteOffDeletesOnlyThatRow()
    {
        Baosun s;
        s.chooseRow(2);
        s.click("Command3");
        QVERIFY(s.messages.questions.isEmpty());
        QVERIFY(s.left("HQ01").isEmpty());
        QCOMPARE(s.listedCodes(), (QStringList{"DG01", "DG02", "WJ01", "WS01"}));

        // Nothing is current after the delete, so neither button can take a neighbour.
        const auto afterDelete = s.temp.rows("SELECT * FROM kucun ORDER BY rowid");
        s.click("Command3");
        s.writeOff(-1, "1");
        QCOMPARE(s.messages.texts.size(), 2);
        QCOMPARE(s.temp.rows("SELECT * FROM kucun ORDER BY rowid"), afterDelete);
    }

    void searchThenWriteOffTheRowFound()
    {
        Baosun s;
        s.search("当归");
        QCOMPARE(s.listedCodes(), (QStringList{"DG01", "DG02"}));
        s.search("dg02");
        s.writeOff(0, "0.5");
        QCOMPARE(s.left("DG02"), (QVariantList{0.0, 0.0}));
        QCOMPARE(s.left("DG01"), (QVariantList{10.0, 25.0}));
    }
};

QTEST_MAIN(tst_Baosunfrm)
#include "tst_baosunfrm.moc"
