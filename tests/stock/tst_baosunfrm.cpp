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
    void writeOff(const QString &quantity)
    {
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
        // A correction still pending in the grid's row counts first and is not lost.
        QVERIFY(editGridCell(s.grid(), 0, s.column("库存数量"), "20"));
        s.writeOff("4");
        QCOMPARE(s.left("DG01"), (QVariantList{16.0, 40.0}));
        // The quantity stays in the box for the next row; the value is rounded to cents.
        s.chooseRow(2);
        QCOMPARE(s.box("Text2")->text(), QStringLiteral("4"));
        s.writeOff("1");
        QCOMPARE(s.left("HQ01"), (QVariantList{2.0, 0.67}));

        // The search takes a whole code or a name's start. Down to zero keeps the row, and
        // fractions leave no binary remainder to block the last part.
        s.search("当归");
        QCOMPARE(s.listedCodes(), (QStringList{"DG01", "DG02"}));
        s.chooseRow(1);
        s.writeOff("0.3");
        QCOMPARE(s.left("DG02"), (QVariantList{0.2, 0.8}));
        s.writeOff("0.2");
        QCOMPARE(s.left("DG02"), (QVariantList{0.0, 0.0}));

        // The whole-row write-off deletes without asking; after it nothing is current, so a
        // second click cannot take a neighbour.
        s.click("Command3");
        QVERIFY(s.left("DG02").isEmpty());
        s.click("Command3");
        QCOMPARE(s.messages.texts, QStringList("请先在表格中选择一条记录"));
        QVERIFY(s.messages.questions.isEmpty());
        QCOMPARE(s.temp.scalar("SELECT count(*) FROM kucun").toInt(), 4);
    }

    void refusedWriteOffLeavesTheStock_data()
    {
        QTest::addColumn<QString>("code"); // searched for, so that its row is the current one
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "DG01" << "" << "请输入报损数量";
        QTest::newRow("not a number") << "DG01" << "4'" << "报损数量必须是数字";
        QTest::newRow("zero") << "DG01" << "0" << "报损数量必须大于0";
        QTest::newRow("more than on hand") << "DG01" << "10.01" << "报损数量超过库存数量";
        QTest::newRow("no purchase price") << "WJ01" << "1" << "该记录没有进价，不能报损";
        QTest::newRow("no quantity on hand") << "WS01" << "1" << "报损数量超过库存数量";
        // An empty list has no current row.
        QTest::newRow("no current row") << "人参" << "1" << "请先在表格中选择一条记录";
    }
    void refusedWriteOffLeavesTheStock()
    {
        QFETCH(QString, code);
        QFETCH(QString, quantity);
        QFETCH(QString, message);
        Baosun s;
        const auto before = s.temp.tableRows("kucun");
        s.search(code);
        s.writeOff(quantity);
        QCOMPARE(s.messages.texts, QStringList(message));
        QCOMPARE(s.temp.tableRows("kucun"), before);
    }

    // The window was opened before other screens changed the stock.
    void writeOffWorksOnTheStockAsItIsNow()
    {
        Baosun s;
        // A posting raised DG01 from 10 to 15: the write-off starts from 15, and may take
        // more than the 10 the window still shows.
        s.temp.exec("UPDATE kucun SET 库存数量 = 15, 进价金额 = 37.5 WHERE 编号 = 'DG01'");
        s.chooseRow(0);
        s.writeOff("12");
        QCOMPARE(s.left("DG01"), (QVariantList{3.0, 7.5}));
        QVERIFY(s.messages.texts.isEmpty());

        // WS01 was deleted and its id went to a new row: 全损 must not delete it. The window
        // then shows the row as stored now.
        s.temp.exec("DELETE FROM kucun WHERE 编号 = 'WS01'");
        s.temp.exec("INSERT INTO kucun (编号, 库存数量, 进价, 进价金额) VALUES ('C1', 5, 3, 15)");
        // SQLite reuses the deleted row's id; a server never does.
        QCOMPARE(s.temp.scalar("SELECT rowid FROM kucun WHERE 编号 = 'C1'").toInt(),
                 TempStore::onServer() ? 6 : 5);
        s.chooseRow(4);
        s.click("Command3");
        QCOMPARE(s.left("C1"), (QVariantList{5.0, 15.0}));
        // On a server, where no row has the id any more, the window lets the row go.
        QCOMPARE(s.listedCodes().mid(4),
                 TempStore::onServer() ? QStringList() : QStringList{"C1"});

        // Another batch now stands where HQ01 was read: no write-off reaches it.
        s.temp.exec("UPDATE kucun SET 批号 = 'B2' WHERE 编号 = 'HQ01'");
        s.chooseRow(2);
        s.writeOff("1");
        QCOMPARE(s.left("HQ01"), (QVariantList{3.0, 1.01}));
        QCOMPARE(s.messages.texts, QStringList(2, "记录已被修改或删除，请重新查询"));
    }
};

QTEST_MAIN(tst_Baosunfrm)
#include "tst_baosunfrm.moc"
