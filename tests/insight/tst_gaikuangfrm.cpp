#include "insight/gaikuangfrm.h"
#include "insight/picturefiles.h"
#include "store/values.h"
#include "support/testsupport.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QBarSeries>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <memory>

namespace {

const QDate Today(2026, 6, 15);

// Answers the save question with a path in the test's folder, or cancels.
struct PathChooser : PictureFiles::Chooser
{
    QString answer;
    QStringList suggested;
    PictureFiles::Chooser *previous;

    PathChooser() : previous(PictureFiles::installChooser(this)) {}
    ~PathChooser() override { PictureFiles::installChooser(previous); }
    QString savePath(const QString &suggestedPath) override
    {
        suggested << suggestedPath;
        return answer;
    }
};

// The values of a chart's bar set, in the order of its categories as the reader reads them
// (top to bottom on a horizontal chart).
QList<double> barValues(const QChart *chart, int set = 0)
{
    const auto *series = qobject_cast<const QAbstractBarSeries *>(chart->series().value(0));
    QList<double> values;
    if (!series)
        return values;
    const QBarSet *bars = series->barSets().value(set);
    for (int i = 0; i < bars->count(); ++i)
        values << bars->at(i);
    if (series->type() == QAbstractSeries::SeriesTypeHorizontalBar)
        std::reverse(values.begin(), values.end());
    return values;
}

QStringList categories(const QChart *chart)
{
    const auto axes = chart->axes();
    for (QAbstractAxis *axis : axes) {
        if (auto *category = qobject_cast<QBarCategoryAxis *>(axis)) {
            QStringList labels = category->categories();
            if (category->alignment() == Qt::AlignLeft)
                std::reverse(labels.begin(), labels.end());
            return labels;
        }
    }
    return {};
}

struct Gaikuang
{
    FixedToday today{Today};
    TempStore temp;
    MessageRecorder messages;
    std::unique_ptr<GaikuangFrm> screen;

    void open()
    {
        screen = std::make_unique<GaikuangFrm>(temp.store());
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }
    // The chart of a page, the page shown first, as the user does.
    QChart *chart(const QString &name) const
    {
        auto *view = findWidget<QChartView>(screen.get(), name);
        showPageOf(view);
        return view->chart();
    }
    void showPageOf(QWidget *widget) const
    {
        auto *tabs = findWidget<QTabWidget>(screen.get(), "TabStrip1");
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(widget))
                tabs->setCurrentIndex(page);
        }
    }
    void click(const QString &button) const
    {
        auto *pushButton = findWidget<QPushButton>(screen.get(), button);
        showPageOf(pushButton);
        QTest::mouseClick(pushButton, Qt::LeftButton);
    }
};

} // namespace

class tst_Gaikuangfrm : public QObject
{
    Q_OBJECT

private slots:
    // The bars of each month against sums the test makes from the tables, in cents.
    void monthlyBarsMatchTheTables()
    {
        Gaikuang s;
        int step = 0;
        for (QDate day(2025, 5, 3); day <= Today; day = day.addDays(5 + step++ % 7)) {
            s.temp.exec("INSERT INTO jinhuo (日期, 编号, 金额) VALUES (?, 'A', ?)",
                        {Values::storedDate(day), 100 + step * 13.335});
            s.temp.exec("INSERT INTO chuhuo (日期, 编号, 金额) VALUES (?, 'A', ?)",
                        {Values::storedDate(day), 150 + step * 7.005});
        }
        s.open();
        QStringList months;
        QList<double> purchases, sales;
        for (QDate month(2025, 7, 1); month <= Today; month = month.addMonths(1)) {
            months << QString("%1月").arg(month.month());
            const QVariantList range = {Values::storedDate(month),
                                        Values::storedDate(month.addMonths(1).addDays(-1))};
            const QString sum = "SELECT coalesce(sum(金额), 0) FROM %1 WHERE 日期 BETWEEN ? AND ?";
            purchases << Values::roundMoney(s.temp.scalar(sum.arg("jinhuo"), range).toDouble());
            sales << Values::roundMoney(s.temp.scalar(sum.arg("chuhuo"), range).toDouble());
        }
        const QChart *chart = s.chart("Chart1");
        QCOMPARE(categories(chart), months);
        QCOMPARE(barValues(chart, 0), purchases);
        QCOMPARE(barValues(chart, 1), sales);
        QVERIFY(s.messages.texts.isEmpty());
    }

    // Ten herbs of the last twelve months at first, then of the period typed; a date that does
    // not read is refused and the chart stays.
    void topTenOfAChosenPeriod()
    {
        Gaikuang s;
        for (int i = 1; i <= 11; ++i) {
            s.temp.exec("INSERT INTO chuhuo (日期, 编号, 品名, 金额) VALUES ('2026-05-01', ?, "
                        "?, ?)",
                        {QString("H%1").arg(i), i % 2 ? QString("当归") : QString("药%1").arg(i),
                         i * 100.0});
        }
        s.temp.exec("INSERT INTO chuhuo (日期, 编号, 品名, 金额) VALUES ('2025-06-30', 'OLD', "
                    "'陈皮', 99999), ('2026-01-10', 'JAN', '一月', 5)");
        s.open();
        const auto *from = findWidget<QLineEdit>(s.screen.get(), "Text1");
        QCOMPARE(from->text(), QString("2025-07-01"));
        QCOMPARE(barValues(s.chart("Chart2")),
                 (QList<double>{1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200}));
        // A name two codes share shows with its code.
        QCOMPARE(categories(s.chart("Chart2")).mid(0, 3),
                 (QStringList{"当归", "药10", "当归（H9）"}));

        findWidget<QLineEdit>(s.screen.get(), "Text1")->setText("2026/1/1");
        findWidget<QLineEdit>(s.screen.get(), "Text2")->setText("20260131");
        s.click("Command2");
        QCOMPARE(barValues(s.chart("Chart2")), QList<double>{5});
        QCOMPARE(from->text(), QString("2026-01-01"));

        findWidget<QLineEdit>(s.screen.get(), "Text2")->setText("1月底");
        s.click("Command2");
        QCOMPARE(s.messages.last(), QString("截止日期不是有效的日期，请按 2026-12-05 的样式输入"));
        QCOMPARE(barValues(s.chart("Chart2")), QList<double>{5});
    }

    void stockValuePerStoreRoomAndItsTotal()
    {
        Gaikuang s;
        s.temp.exec("INSERT INTO kucun (编号, 库房, 进价金额) VALUES ('A', '北库', 10.5), "
                    "('B', '北库', 20.25), ('C', NULL, 3), ('D', '南库', NULL)");
        s.open();
        // Read when its page is first shown, and not again on the next showing.
        QCOMPARE(findWidget<QLineEdit>(s.screen.get(), "Text3")->text(), QString("0"));
        QCOMPARE(categories(s.chart("Chart3")), (QStringList{"（未填库房）", "北库", "南库"}));
        QCOMPARE(findWidget<QLineEdit>(s.screen.get(), "Text3")->text(), QString("33.75"));
        s.temp.exec("UPDATE kucun SET 进价金额 = 1");
        s.showPageOf(findWidget<QWidget>(s.screen.get(), "Chart1"));
        s.chart("Chart3");
        QCOMPARE(barValues(s.chart("Chart3")), (QList<double>{3, 30.75, 0}));
    }

    // Saving writes the chart as shown into the chosen file, ".png" added; cancelling writes
    // nothing; a file that cannot be written is reported.
    void eachChartIsSavedAsPng()
    {
        Gaikuang s;
        s.open();
        PathChooser chooser;
        QTemporaryDir pictures;
        chooser.answer = pictures.filePath("月度");
        s.click("Command1");
        QCOMPARE(chooser.suggested.size(), 1);
        QVERIFY(chooser.suggested.first().endsWith("月度进销金额.png"));
        const QImage saved(pictures.filePath("月度.png"));
        QVERIFY(!saved.isNull());
        const QSize shown = findWidget<QChartView>(s.screen.get(), "Chart1")->size();
        QCOMPARE(saved.size(), shown * s.screen->devicePixelRatio());

        chooser.answer.clear();
        s.click("Command4");
        QCOMPARE(QDir(pictures.path()).entryList(QDir::Files), QStringList{"月度.png"});

        chooser.answer = pictures.filePath("无此文件夹/排行.png");
        s.click("Command3");
        QVERIFY2(s.messages.last().startsWith("无法保存图片"), qPrintable(s.messages.last()));
    }
};

QTEST_MAIN(tst_Gaikuangfrm)
#include "tst_gaikuangfrm.moc"
