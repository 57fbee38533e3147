#include "insight/saleexpiry.h"
#include "sales/xiaoshoufrm.h"
#include "store/insightqueries.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <memory>

namespace {

const QDate Today(2026, 6, 15);

// Sales entry over three batches of one herb: expired, within the near days, good for long.
struct Entry
{
    FixedToday today{Today};
    TempStore temp;
    MessageRecorder messages;
    std::unique_ptr<XiaoshouFrm> screen;

    Entry()
    {
        temp.exec("INSERT INTO kucun (编号, 品名, 拼音, 批号, 有效期, 库存数量) VALUES "
                  "('101', '当归', 'dg', 'OLD', '2026/6/1', 5), "
                  "('101', '当归', 'dg', 'NEAR', '2026-07-01', 6), "
                  "('101', '当归', 'dg', 'NEW', '2029-01-01', 7)");
        screen = std::make_unique<XiaoshouFrm>(temp.store());
        screen->show();
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
    }
    QLineEdit *box(const QString &name) const
    {
        return findWidget<QLineEdit>(screen.get(), name);
    }
    // Picks the batch in the drop-down under the pinyin box, `downs` rows below the first.
    void pick(int downs) const
    {
        box("Text3_2")->clear();
        typeInto(box("Text3_2"), "dg");
        QTest::keyClick(box("Text3_2"), Qt::Key_Down);
        auto *grid = findWidget<QWidget>(screen.get(), "DBGrid2");
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(grid, Qt::Key_Down);
        pressEnter(grid);
    }
    // Batch, expiry and quantity on hand as the boxes hold them.
    QStringList taken() const
    {
        return {box("Text3_7")->text(), box("Text3_6")->text(), box("Text7")->text()};
    }
    QString status() const { return findWidget<QLabel>(screen.get(), "StatusBar1")->text(); }
};

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

    // In sales entry: "否" takes nothing over, the boxes keep the batch taken before; "是"
    // takes the expired batch over and the status line says it is expired. A near batch is
    // taken over with a notice, a good one clears it, and so does an added line.
    void salesEntryAsksBeforeTakingAnExpiredBatch()
    {
        Entry s;
        s.pick(2);
        QCOMPARE(s.taken(), (QStringList{"NEW", "2029-01-01", "7"}));
        QCOMPARE(s.status(), QString());

        s.messages.answer = false;
        s.pick(0);
        QCOMPARE(s.messages.questions,
                 QStringList{"该批号已过有效期（有效期至 2026-06-01），是否继续？"});
        QCOMPARE(s.taken(), (QStringList{"NEW", "2029-01-01", "7"}));
        QCOMPARE(s.status(), QString());

        s.messages.answer = true;
        s.pick(0);
        QCOMPARE(s.messages.questions.size(), 2);
        QCOMPARE(s.taken(), (QStringList{"OLD", "2026/6/1", "5"}));
        QCOMPARE(s.status(), QString("该批号已过有效期（有效期至 2026-06-01）"));

        s.pick(1);
        QCOMPARE(s.messages.questions.size(), 2);
        QCOMPARE(s.taken(), (QStringList{"NEAR", "2026-07-01", "6"}));
        QCOMPARE(s.status(), QString("近效期：该批号 16 天后到期（有效期至 2026-07-01）"));

        typeInto(s.box("Text8"), "1");
        typeInto(s.box("Text9"), "2");
        pressEnter(s.box("Text9"));
        pressEnter(s.box("Text10"));
        QCOMPARE(s.temp.scalar("SELECT 批号 FROM chuhuo WHERE 出库 IS NULL").toString(),
                 QString("NEAR"));
        QCOMPARE(s.status(), QString());
        QVERIFY(s.messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_SaleExpiry)
#include "tst_saleexpiry.moc"
