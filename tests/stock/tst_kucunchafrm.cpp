#include "stock/kucunchafrm.h"
#include "stockscreendriver.h"

namespace {

using Kucuncha = StockScreenDriver<KucunchaFrm>;

// Named 当归: DG01, X1 (a negative value) and a row without code. '' has a code, an empty one.
const QString stock = "INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                      "('DG02', '全当归', 13), ('X1', '当归', -5), ('HQ01', '黄芪', 1234567.891), "
                      "('A%', '百分', 1), ('AB', '无值', NULL), ('', '无编号', 0.003), "
                      "(NULL, '当归', 100)";

// The window's two totals: rows with a code, and their stock value.
QStringList shownTotals(const Kucuncha &s)
{
    return {s.box("Text2")->text(), s.box("Text3")->text()};
}

} // namespace

class tst_Kucunchafrm : public QObject
{
    Q_OBJECT

private slots:
    // The code or the name must equal the search text unless it holds a pattern; the totals
    // count codes only, show money in cents without separators, and a bare 0 for no values.
    void searchAndItsTotals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("totals");
        QTest::addColumn<int>("listed");
        QTest::newRow("whole name") << "当归" << QStringList{"2", "120.00"} << 3;
        QTest::newRow("name start finds nothing") << "当" << QStringList{"0", "0"} << 0;
        QTest::newRow("whole code, other case") << "hq01" << QStringList{"1", "1234567.89"} << 1;
        QTest::newRow("code start finds nothing") << "DG" << QStringList{"0", "0"} << 0;
        QTest::newRow("typed pattern") << "DG*" << QStringList{"2", "38.00"} << 2;
        QTest::newRow("percent is plain text") << "A%" << QStringList{"1", "1.00"} << 1;
        QTest::newRow("no value") << "AB" << QStringList{"1", "0"} << 1;
        QTest::newRow("empty code, value under a cent") << "无编号" << QStringList{"1", "0.00"} << 1;
    }
    void searchAndItsTotals()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, totals);
        QFETCH(int, listed);
        Kucuncha s(stock);
        s.search(text);
        QCOMPARE(shownTotals(s), totals);
        QCOMPARE(s.listedRows(), listed);
        QVERIFY(s.messages.texts.isEmpty());
    }

    void allShowsTheWholeStockAgain()
    {
        Kucuncha s(stock);
        QCOMPARE(shownTotals(s), (QStringList{"7", "1234701.89"}));
        // After a search, the button lists the whole stock again, as it now is.
        s.search("黄芪");
        s.temp.exec("INSERT INTO kucun (编号, 进价金额) VALUES ('GC01', 0.5)");
        s.click("Command2");
        QCOMPARE(shownTotals(s), (QStringList{"8", "1234702.39"}));
        QCOMPARE(s.listedRows(), 9);
        // Enter in the search box searches as the button does.
        s.fill("Text1", "dg01");
        pressEnter(s.box("Text1"));
        QCOMPARE(shownTotals(s), (QStringList{"1", "25.00"}));
    }
};

QTEST_MAIN(tst_Kucunchafrm)
#include "tst_kucunchafrm.moc"
