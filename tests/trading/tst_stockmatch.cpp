#include "store/cursor.h"
#include "support/testsupport.h"
#include "trading/stockmatch.h"

// The stock rows a line goes to: the code and every given column as a pattern, "*" any value.
class tst_StockMatch : public QObject
{
    Q_OBJECT

private slots:
    void rowsOfALine_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QVariantList>("batchGradeOrigin");
        QTest::addColumn<QString>("rows");

        const QVariant star("*");
        QTest::newRow("all given") << "001" << QVariantList{"B1", "片", "P"} << "1";
        QTest::newRow("letter case does not count")
            << "001" << QVariantList{"b1", "片", "p"} << "1";
        QTest::newRow("star any value, Null included")
            << "001" << QVariantList{star, "片", "P"} << "1 2 3";
        QTest::newRow("three stars: every row of the code")
            << "001" << QVariantList{star, star, star} << "1 2 3 4";
        QTest::newRow("Null counts as star")
            << "001" << QVariantList{QVariant(), QVariant(), "Q"} << "4";
        QTest::newRow("a given value never matches Null")
            << "001" << QVariantList{"B1", "片", star} << "1";
        QTest::newRow("a star within a value is a pattern, not Null")
            << "001" << QVariantList{"B*", star, star} << "1 2";
        QTest::newRow("the code is needed") << "002" << QVariantList{star, star, star} << "5";
        QTest::newRow("a code pattern") << "00*" << QVariantList{"B1", star, star} << "1 5";
        QTest::newRow("a quote is text") << "0'1" << QVariantList{star, star, star} << "6";
    }

    void rowsOfALine()
    {
        QFETCH(QString, code);
        QFETCH(QVariantList, batchGradeOrigin);
        QFETCH(QString, rows);
        TempStore temp;
        temp.exec("INSERT INTO kucun (编号, 批号, 规格, 产地, 库存数量) VALUES "
                  "('001', 'B1', '片', 'P', 1), ('001', 'B2', '片', 'P', 2), "
                  "('001', NULL, '片', 'P', 3), ('001', NULL, NULL, 'Q', 4), "
                  "('002', 'B1', '段', 'P', 5), ('0''1', 'X', 'Y', 'Z', 6)");
        const Query query = StockMatch::rowsFor(code, {{"批号", batchGradeOrigin[0]},
                                                       {"规格", batchGradeOrigin[1]},
                                                       {"产地", batchGradeOrigin[2]}});
        Cursor stock(temp.store());
        QVERIFY_STORE(stock, stock.open(query));
        QStringList found;
        for (stock.first(); !stock.atEnd(); stock.next())
            found << stock.value("库存数量").toString();
        QCOMPARE(found.join(' '), rows);
    }
};

QTEST_MAIN(tst_StockMatch)
#include "tst_stockmatch.moc"
