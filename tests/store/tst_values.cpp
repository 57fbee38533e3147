#include "store/values.h"

#include <QTest>
#include <cmath>
#include <string>

class tst_Values : public QObject
{
    Q_OBJECT

private slots:
    void readsNumbers_data();
    void readsNumbers();
    void readsDates_data();
    void readsDates();
    void roundsMoneyAsAClerk_data();
    void roundsMoneyAsAClerk();
    void formatsMoneyAndPlainNumbers_data();
    void formatsMoneyAndPlainNumbers();
    void convertsForColumnKinds();
    void refusesTextTooLongForAColumn_data();
    void refusesTextTooLongForAColumn();
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
    QTest::newRow("iso within blanks") << " 2026-12-05 " << QDate(2026, 12, 5);
    QTest::newRow("iso, no such day") << "2026-04-31" << QDate();
    QTest::newRow("iso length, a letter") << "2026-1a-05" << QDate();
}

void tst_Values::readsDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const auto parsed = Values::parseDate(text);
    QCOMPARE(parsed.value_or(QDate()), date);
}

void tst_Values::roundsMoneyAsAClerk_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("rounded");
    QTest::addColumn<QString>("money");
    // Each of these halves lies just below the half in binary.
    QTest::newRow("1.5 × 2.55") << 1.5 * 2.55 << 3.83 << "3.83";
    QTest::newRow("1 × 2.675") << 1 * 2.675 << 2.68 << "2.68";
    QTest::newRow("1 × 1.005") << 1 * 1.005 << 1.01 << "1.01";
    QTest::newRow("average of 1 and 1.01") << (1 + 1.01) / 2 << 1.01 << "1.01";
    QTest::newRow("half a cent") << 0.005 << 0.01 << "0.01";
    QTest::newRow("one and a half cents") << 0.015 << 0.02 << "0.02";
    QTest::newRow("8.345 ÷ 1") << 8.345 << 8.35 << "8.35";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << 0.3 << "0.30";
    QTest::newRow("below the half") << 2.674999 << 2.67 << "2.67";
    QTest::newRow("millions, half") << 1234567.885 << 1234567.89 << "1234567.89";
    QTest::newRow("millions, product") << 3 * 411522.6283 << 1234567.88 << "1234567.88";
    QTest::newRow("ten billions") << 12345678901.125 << 12345678901.13 << "12345678901.13";
    QTest::newRow("rounds up to a new digit") << 9.995 << 10.0 << "10.00";
    // Negative amounts round the same way, away from zero.
    QTest::newRow("negative half") << -2.675 << -2.68 << "-2.68";
    QTest::newRow("negative product") << -1.5 * 2.55 << -3.83 << "-3.83";
    QTest::newRow("negative half cent") << -0.005 << -0.01 << "-0.01";
    QTest::newRow("tiny negative is not minus zero") << -0.001 << 0.0 << "0.00";
    QTest::newRow("far below a cent") << 1e-9 << 0.0 << "0.00";
    QTest::newRow("zero") << 0.0 << 0.0 << "0.00";
    QTest::newRow("whole") << 6.0 << 6.0 << "6.00";
}

void tst_Values::roundsMoneyAsAClerk()
{
    QFETCH(double, amount);
    QFETCH(double, rounded);
    QFETCH(QString, money);
    // Exactly the double of the decimal, not merely close to it; never minus zero.
    const double result = Values::roundMoney(amount);
    QVERIFY2(result == rounded && !(result == 0.0 && std::signbit(result)),
             qPrintable(QString::number(result, 'g', 17)));
    QCOMPARE(Values::money(amount), money);
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
    QTest::newRow("tiny negative") << -0.001 << "0.00" << "-0.001";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.30" << "0.3";
    QTest::newRow("noise in the millions") << 1000000.1 + 0.2 << "1000000.30" << "1000000.3";
    QTest::newRow("small, no exponent") << 0.00001 << "0.00" << "0.00001";
    QTest::newRow("large, no exponent") << 1e15 << "1000000000000000.00" << "1000000000000000";
    QTest::newRow("minus zero") << -0.0 << "0.00" << "0";
}

void tst_Values::formatsMoneyAndPlainNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, money);
    QFETCH(QString, plain);
    QCOMPARE(Values::money(value), money);
    QCOMPARE(Values::plainNumber(value), plain);
    QCOMPARE(Values::plainSum(value), plain);
    QCOMPARE(Values::sumText(value), money);
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
    // Nothing summed shows a bare 0, whichever way sums are shown.
    QCOMPARE(Values::sumText(QVariant()), "0");
    QCOMPARE(Values::plainSum(QVariant()), "0");
}

void tst_Values::refusesTextTooLongForAColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::newRow("255 letters") << QString(255, 'a') << true;
    QTest::newRow("256 letters") << QString(256, 'a') << false;
    QTest::newRow("255 Chinese") << QString(255, QChar(0x7518)) << true;
    QTest::newRow("20000 Chinese") << QString(20000, QChar(0x7518)) << false;
    // Characters beyond the basic plane take two UTF-16 units each but count once.
    const auto astral = [](int count) {
        const std::u32string text(count, U'\U00020000');
        return QString::fromUcs4(text.data(), count);
    };
    QTest::newRow("255 astral") << astral(255) << true;
    QTest::newRow("256 astral") << astral(256) << false;
}

void tst_Values::refusesTextTooLongForAColumn()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QCOMPARE(Values::fitsTextColumn(text), fits);
    // Text and flag columns refuse it, and say why; nothing is converted.
    for (const ColumnKind kind : {ColumnKind::Text, ColumnKind::Flag}) {
        QString problem;
        const auto stored = Values::toColumn(kind, text, &problem);
        QCOMPARE(stored.has_value(), fits);
        QCOMPARE(problem, fits ? QString() : QStringLiteral("不能超过255个字"));
        if (fits)
            QCOMPARE(stored->toString(), text);
    }
    QCOMPARE(Values::tooLongMessage("编号"), "编号 不能超过255个字");
}

QTEST_APPLESS_MAIN(tst_Values)
#include "tst_values.moc"
