#include "trading/documentnumber.h"
#include "support/testsupport.h"

class tst_DocumentNumber : public QObject
{
    Q_OBJECT

private slots:
    void numberFromDateAndCounter()
    {
        const QDate day(2026, 12, 5);
        // Three digits below a thousand; from a thousand on the counter is written whole.
        QCOMPARE(DocumentNumber::make("JH", day, 7), "JH20261205007");
        QCOMPARE(DocumentNumber::make("JH", day, 999), "JH20261205999");
        QCOMPARE(DocumentNumber::make("JH", day, 123456), "JH20261205123456");
        QCOMPARE(DocumentNumber::make("XS", QDate(2027, 1, 1), 42), "XS20270101042");
    }

    void countersOfTheStore()
    {
        TempStore temp;
        FixedToday today(QDate(2026, 12, 5));
        temp.exec("UPDATE danjuhao SET 进货单号 = NULL, 销售单号 = 999");
        StoreError error;
        // A Null counter reads as 0 and advances to 1; each counter advances alone.
        QCOMPARE(DocumentNumber::next(temp.store(), "JH", DocumentNumber::PurchaseCounter, &error),
                 std::optional<QString>("JH20261205000"));
        QVERIFY(DocumentNumber::advance(temp.store(), DocumentNumber::PurchaseCounter, &error));
        QVERIFY(DocumentNumber::advance(temp.store(), DocumentNumber::SalesCounter, &error));
        QCOMPARE(temp.rows("SELECT 进货单号, 销售单号 FROM danjuhao"),
                 (QList<QVariantList>{{1.0, 1000.0}}));
        QCOMPARE(DocumentNumber::next(temp.store(), "XS", DocumentNumber::SalesCounter, &error),
                 std::optional<QString>("XS202612051000"));
        QVERIFY(error.isEmpty());

        // Without the counter row both fail with a reason and make no row.
        temp.exec("DELETE FROM danjuhao");
        QVERIFY(
            !DocumentNumber::next(temp.store(), "JH", DocumentNumber::PurchaseCounter, &error));
        QVERIFY(!error.isEmpty());
        error = {};
        QVERIFY(!DocumentNumber::advance(temp.store(), DocumentNumber::PurchaseCounter, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(temp.scalar("SELECT count(*) FROM danjuhao").toInt(), 0);
    }
};

QTEST_MAIN(tst_DocumentNumber)
#include "tst_documentnumber.moc"
