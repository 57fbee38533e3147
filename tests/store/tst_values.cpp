#include "store/values.h"

#include <QTest>

class tst_Values : public QObject
{
    Q_OBJECT

private slots:
    void readsNumbers_data();
    void readsNumbers();
    void readsDates_data();
    void readsDates();
    void formatsMoneyAndPlainNumbers_data();
    void formatsMoneyAndPlainNumbers();
    void convertsForColumnKinds();
};

void tst_Values::readsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks around") << " 12 " << true << 12.0;
    QTest::newRow("negative") << "-3" << true << -3.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("chinese") << "三" << false << 0.0;
    QTest::newRow("trailing text") << "12kg" << false << 0.0;
    QTest::newRow("infinite") << "1e999" << false << 0.0;
}

void tst_Values::readsNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const auto number = Values::parseNumber(text);
    QCOMPARE(number.has_value(), valid);
    if (valid)
        QCOMPARE(*number, value);
}

void tst_Values::readsDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("iso") << "2026-12-05" << QDate(2026, 12, 5);
    QTest::newRow("slashes, short parts") << "2026/1/5" << QDate(2026, 1, 5);
    QTest::newRow("dots") << "2026.12.5" << QDate(2026, 12, 5);
    QTest::newRow("compact") << "20261205" << QDate(2026, 12, 5);
    QTest::newRow("no leap day") << "2026-02-29" << QDate();
    QTest::newRow("month 13") << "2026-13-01" << QDate();
    QTest::newRow("words") << "明天" << QDate();
    QTest::newRow("mixed separators are fine") << "2026-12/05" << QDate(2026, 12, 5);
}

void tst_Values::readsDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const auto parsed = Values::parseDate(text);
    QCOMPARE(parsed.value_or(QDate()), date);
}

void tst_Values::formatsMoneyAndPlainNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("plain");
    QTest::newRow("exact cents of a large total") << 1234567.89 << "1234567.89" << "1234567.89";
    QTest::newRow("whole") << 6.0 << "6.00" << "6";
    QTest::newRow("half") << 1234.5 << "1234.50" << "1234.5";
    QTest::newRow("rounds to nothing") << 0.004 << "0.00" << "0.004";
    QTest::newRow("tiny negative is not minus zero") << -0.001 << "0.00" << "-0.001";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.30" << "0.3";
}

void tst_Values::formatsMoneyAndPlainNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, money);
    QFETCH(QString, plain);
    QCOMPARE(Values::money(value), money);
    QCOMPARE(Values::plainNumber(value), plain);
}

void tst_Values::convertsForColumnKinds()
{
    QString problem;
    QCOMPARE(Values::toColumn(ColumnKind::Number, "7", &problem).value(), QVariant(7.0));
    QVERIFY(!Values::toColumn(ColumnKind::Number, "七", &problem).has_value());
    QVERIFY(problem.contains("七"));
    QVERIFY(Values::toColumn(ColumnKind::Number, "", &problem).value().isNull());
    QCOMPARE(Values::toColumn(ColumnKind::Date, QDate(2026, 3, 4), &problem).value(),
             QVariant("2026-03-04"));
    // Text is stored as typed: blanks and pattern characters are kept.
    QCOMPARE(Values::toColumn(ColumnKind::Text, " a*'% ", &problem).value(), QVariant(" a*'% "));
    QVERIFY(!Values::toColumn(ColumnKind::Text, "", &problem).value().isNull());
    QVERIFY(Values::toColumn(ColumnKind::Flag, QVariant(), &problem).value().isNull());
}

QTEST_APPLESS_MAIN(tst_Values)
#include "tst_values.moc"
