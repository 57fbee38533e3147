#include "export/numbertext.h"
#include "store/values.h"

#include <QTest>
#include <random>

// The export writes numbers on its own short path; they must read exactly as the grids show
// them.
class tst_NumberText : public QObject
{
    Q_OBJECT

private slots:
    void asTheGridsShowThem_data()
    {
        QTest::addColumn<double>("value");
        for (const double value :
             {0.0, -0.0, 1.0, -1.0, 2.5, 0.1 + 0.2, 1.005, -2.675, 3.825, 1.5 * 2.55, 12.345,
              0.005, -0.005, 0.0001, 0.00001, 123456789012.34, 99999999999999.9, 1e15, 1e16,
              -1234567.891, 7.0e-7, 1e300, 0.125, 2.675, 1234567.89, 100.0, 46148.0}) {
            QTest::addRow("%.17g", value) << value;
        }
        // And a spread of amounts as they are stored: cents, halves and noise.
        std::mt19937 random(7);
        std::uniform_int_distribution<int> cents(-10000000, 10000000);
        for (int i = 0; i < 200; ++i) {
            const double amount = cents(random) / 100.0;
            QTest::addRow("amount %d", i) << amount;
            QTest::addRow("product %d", i) << amount * 1.5;
            QTest::addRow("third %d", i) << amount / 3;
        }
    }
    void asTheGridsShowThem()
    {
        QFETCH(double, value);
        QByteArray plain;
        NumberText::appendPlain(plain, value);
        QCOMPARE(QString::fromUtf8(plain), Values::plainNumber(value));
        QByteArray money;
        NumberText::appendMoney(money, value);
        QCOMPARE(QString::fromUtf8(money), Values::money(value));
    }
};

QTEST_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
