#include "insight/saleexpiry.h"
#include "store/insightqueries.h"
#include "support/testsupport.h"

namespace {

const QDate Today(2026, 6, 15);

} // namespace

class tst_SaleExpiry : public QObject
{
    Q_OBJECT

private slots:
    // An expired batch is taken over only when the clerk answers "是"; the status line then
    // says it is expired. Answering "否" takes nothing over and says nothing.
    void anExpiredBatchAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("是") << true;
        QTest::newRow("否") << false;
    }
    void anExpiredBatchAsksFirst()
    {
        QFETCH(bool, answer);
        FixedToday today(Today);
        TempStore temp;
        MessageRecorder messages;
        messages.answer = answer;
        const SaleExpiry::Verdict verdict = SaleExpiry::check(nullptr, temp.store(), "2026/6/14");
        QCOMPARE(messages.questions,
                 QStringList{"该批号已过有效期（有效期至 2026-06-14），是否继续？"});
        QCOMPARE(verdict.takeOver, answer);
        QCOMPARE(verdict.status,
                 answer ? QString("该批号已过有效期（有效期至 2026-06-14）") : QString());
    }

    // Within the near-expiry days of the expiry list's setting: a notice, no question. Beyond
    // them, or a date that does not read: nothing at all.
    void otherBatchesAreTakenOverWithoutAQuestion_data()
    {
        QTest::addColumn<int>("nearDays");
        QTest::addColumn<QString>("expiry");
        QTest::addColumn<QString>("status");
        QTest::newRow("today")
            << 90 << "2026-06-15" << "近效期：该批号今天到期（有效期至 2026-06-15）";
        QTest::newRow("last near day")
            << 30 << "20260715" << "近效期：该批号 30 天后到期（有效期至 2026-07-15）";
        QTest::newRow("a day beyond") << 30 << "2026-07-16" << "";
        QTest::newRow("no date") << 30 << "" << "";
        QTest::newRow("words") << 30 << "两年" << "";
    }
    void otherBatchesAreTakenOverWithoutAQuestion()
    {
        QFETCH(int, nearDays);
        QFETCH(QString, expiry);
        QFETCH(QString, status);
        FixedToday today(Today);
        TempStore temp;
        MessageRecorder messages;
        StoreError error;
        QVERIFY2(InsightQueries::setNearExpiryDays(temp.store(), nearDays, &error),
                 qPrintable(error.text()));
        const SaleExpiry::Verdict verdict = SaleExpiry::check(nullptr, temp.store(), expiry);
        QVERIFY(verdict.takeOver);
        QCOMPARE(verdict.status, status);
        QVERIFY(messages.questions.isEmpty() && messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_SaleExpiry)
#include "tst_saleexpiry.moc"
