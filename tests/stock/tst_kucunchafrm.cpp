#include "stock/kucunchafrm.h"
#include "stockscreendriver.h"

namespace {

using Kucuncha = StockScreenDriver<KucunchaFrm>;

QString insert(const QString &rows)
{
    return rows.isEmpty() ? rows : "INSERT INTO kucun (编号, 品名, 进价金额) VALUES " + rows;
}

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
    void totalsOfTheWholeStock_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("totals");
        QTest::newRow("empty table") << "" << QStringList{"0", "0"};
        QTest::newRow("two decimals") << "('A', '药', 1000.25), ('B', '药', 234.25)"
                                      << QStringList{"2", "1234.50"};
        QTest::newRow("rounds to cents") << "('A', '药', 0.004)" << QStringList{"1", "0.00"};
        QTest::newRow("no values is bare zero")
            << "('A', '药', NULL), ('B', '药', NULL)" << QStringList{"2", "0"};
        QTest::newRow("empty code counted, Null not")
            << "('', '药', 1), (NULL, '药', 2), ('C', '药', NULL)" << QStringList{"2", "3.00"};
        QTest::newRow("negative, no thousands separator")
            << "('A', '药', -7.5), ('B', '药', 1234567.891)" << QStringList{"2", "1234560.39"};
    }
    void totalsOfTheWholeStock()
    {
        QFETCH(QString, rows);
        QFETCH(QStringList, totals);
        Kucuncha s(insert(rows));
        QCOMPARE(shownTotals(s), totals);
        QCOMPARE(s.listedRows(), s.stored());
        QVERIFY(s.messages.texts.isEmpty());
    }

    void searchIsEqualityUnlessPatternTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("totals");
        QTest::addColumn<int>("listed");
        QTest::newRow("whole name") << "当归" << QStringList{"2", "30.00"} << 2;
        QTest::newRow("name start finds nothing") << "当" << QStringList{"0", "0"} << 0;
        QTest::newRow("whole code, other case") << "hq01" << QStringList{"1", "8.40"} << 1;
        QTest::newRow("code start finds nothing") << "DG" << QStringList{"0", "0"} << 0;
        QTest::newRow("star pattern") << "DG*" << QStringList{"2", "38.00"} << 2;
        QTest::newRow("question pattern") << "DG0?" << QStringList{"2", "38.00"} << 2;
        QTest::newRow("star alone: all but unnamed") << "*" << QStringList{"6", "154.40"} << 7;
        // Search text is plain text, never part of the statement.
        QTest::newRow("quote") << "' or 1=1 or '" << QStringList{"0", "0"} << 0;
        QTest::newRow("percent in a code") << "A%" << QStringList{"1", "1.00"} << 1;
        QTest::newRow("percent alone") << "%" << QStringList{"0", "0"} << 0;
        QTest::newRow("underscores") << "__" << QStringList{"0", "0"} << 0;
    }
    void searchIsEqualityUnlessPatternTyped()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, totals);
        QFETCH(int, listed);
        Kucuncha s(insert("('DG01', '当归', 25), ('DG02', '全当归', 13), ('HQ01', '黄芪', 8.4), "
                          "('X1', '当归', 5), ('A%', '百分', 1), ('B_', '下划', 2), "
                          "(NULL, '无编号', 100), (NULL, NULL, 1000)"));
        s.search(text);
        QCOMPARE(shownTotals(s), totals);
        QCOMPARE(s.listedRows(), listed);
        QVERIFY(s.messages.texts.isEmpty());
    }

    void allShowsTheWholeStockAgain()
    {
        Kucuncha s(insert("('DG01', '当归', 25), ('HQ01', '黄芪', 5), (NULL, NULL, 1)"));
        s.search("黄芪");
        QCOMPARE(shownTotals(s), (QStringList{"1", "5.00"}));
        // Totals follow the table only when asked again.
        s.temp.exec(insert("('GC01', '甘草', 0.5)"));
        QCOMPARE(shownTotals(s), (QStringList{"1", "5.00"}));
        s.click("Command2");
        QCOMPARE(shownTotals(s), (QStringList{"3", "31.50"}));
        QCOMPARE(s.listedRows(), 4);

        // Enter in the search box searches as the button does.
        s.fill("Text1", "dg01");
        pressEnter(s.box("Text1"));
        QCOMPARE(shownTotals(s), (QStringList{"1", "25.00"}));
        QCOMPARE(s.listedRows(), 1);
    }
};

QTEST_MAIN(tst_Kucunchafrm)
#include "tst_kucunchafrm.moc"
