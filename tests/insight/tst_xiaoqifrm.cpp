#include "insight/xiaoqifrm.h"
#include "store/insightqueries.h"
#include "support/testsupport.h"

#include <QBrush>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <memory>

namespace {

// Today is 2026-06-15. Near within 90 days: A (expired), B (today), C (day 90); D is beyond;
// E expired with nothing on hand; F and G do not read.
const QString stock =
    "INSERT INTO kucun (编号, 品名, 批号, 有效期, 库存数量, 进价金额) VALUES "
    "('C', '川芎', 'c1', '2026-09-13', 2.5, 25), ('A', '当归', 'a1', '2026/5/1', 1.2, 10.105), "
    "('B', '白芷', 'b1', '20260615', 3, NULL), ('D', '党参', 'd1', '2026-09-14', 9, 90), "
    "('E', '甘草', 'e1', '2020-01-01', 0, 0), ('F', '防风', 'f1', '不详', 4, 40), "
    "('G', '桂枝', 'g1', NULL, 5, 50)";

struct Xiaoqi
{
    FixedToday today{QDate(2026, 6, 15)};
    TempStore temp;
    MessageRecorder messages;
    std::unique_ptr<XiaoqiFrm> screen;

    Xiaoqi()
    {
        temp.exec(stock);
        screen = std::make_unique<XiaoqiFrm>(temp.store());
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }

    QTableView *grid(const QString &name) const
    {
        return findWidget<QTableView>(screen.get(), name);
    }
    QString text(const QString &box) const
    {
        return findWidget<QLineEdit>(screen.get(), box)->text();
    }
    QStringList column(const QString &gridName, int column) const
    {
        QStringList values;
        const QAbstractItemModel *model = grid(gridName)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            values << model->index(row, column).data().toString();
        return values;
    }
    QList<bool> red(const QString &gridName) const
    {
        QList<bool> marks;
        const QAbstractItemModel *model = grid(gridName)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QVariant brush = model->index(row, 1).data(Qt::ForegroundRole);
            marks << (brush.isValid() && brush.value<QBrush>().color() == Qt::red);
        }
        return marks;
    }
    QStringList totals() const
    {
        return {text("Text2"), text("Text3"), text("Text4"), text("Text5")};
    }
    void queryFor(const QString &days) const
    {
        auto *box = findWidget<QLineEdit>(screen.get(), "Text1");
        box->clear();
        typeInto(box, days);
        pressEnter(box);
    }
};

} // namespace

class tst_Xiaoqifrm : public QObject
{
    Q_OBJECT

private slots:
    void listsExpiredAndNearBatchesByDateWithTotals()
    {
        Xiaoqi s;
        QCOMPARE(s.text("Text1"), QString("90"));
        QCOMPARE(s.column("DBGrid1", 0), (QStringList{"A", "B", "C"}));
        // Expiry as typed, and the days left, negative once past.
        QCOMPARE(s.column("DBGrid1", 5), (QStringList{"2026/5/1", "20260615", "2026-09-13"}));
        QCOMPARE(s.column("DBGrid1", 6), (QStringList{"-45", "0", "90"}));
        QCOMPARE(s.red("DBGrid1"), (QList<bool>{true, false, false}));
        QCOMPARE(s.totals(), (QStringList{"3", "1", "6.7", "35.11"}));
        QCOMPARE(s.column("DBGrid2", 0), (QStringList{"F", "G"}));
        QCOMPARE(s.red("DBGrid2"), (QList<bool>{false, false}));
        QCOMPARE(findWidget<QLabel>(s.screen.get(), "Label6")->text(),
                 QString("有效期无法识别（2 批）"));
        QVERIFY(s.messages.texts.isEmpty());
    }

    // A long list reads the texts of its rows a stretch at a time as they are drawn: rows far
    // apart, read in any order, each show their own stock row.
    void aLongListShowsEveryRowsOwnTexts()
    {
        Xiaoqi s;
        s.temp.exec("DELETE FROM kucun");
        QStringList rows;
        QVariantList values;
        for (int i = 1; i <= 500; ++i) {
            rows << "(?, ?, ?, ?, ?)";
            values << QString("K%1").arg(i, 3, 10, QChar('0')) << QString("品%1").arg(i)
                   << QString("p%1").arg(i)
                   << QDate(2026, 6, 15).addDays(i % 7).toString(Qt::ISODate) << i;
        }
        s.temp.exec("INSERT INTO kucun (编号, 品名, 批号, 有效期, 库存数量) VALUES " + rows.join(", "),
                    values);
        s.queryFor("30");
        const QAbstractItemModel *model = s.grid("DBGrid1")->model();
        QCOMPARE(model->rowCount(), 500);
        for (const int row : {499, 0, 250, 498, 1, 137}) {
            const QString code = model->index(row, 0).data().toString();
            const int number = code.mid(1).toInt();
            QCOMPARE(model->index(row, 1).data().toString(), QString("品%1").arg(number));
            QCOMPARE(model->index(row, 4).data().toString(), QString("p%1").arg(number));
            QCOMPARE(model->index(row, 6).data().toInt(), number % 7);
            QCOMPARE(model->index(row, 8).data().toDouble(), double(number));
        }
        // By date, then code: every seventh code on each day.
        QCOMPARE(model->index(0, 0).data().toString(), QString("K007"));
        QCOMPARE(model->index(499, 0).data().toString(), QString("K496"));
    }

    // Another number of days lists again and is kept for the next opening and for the sales
    // warning; a number that is not a whole number of days is refused and changes nothing.
    void theNumberOfDaysIsKept()
    {
        Xiaoqi s;
        s.queryFor("0");
        QCOMPARE(s.column("DBGrid1", 0), (QStringList{"A", "B"}));
        QCOMPARE(s.totals(), (QStringList{"2", "1", "4.2", "10.11"}));
        QCOMPARE(InsightQueries::nearExpiryDays(s.temp.store()), 0);

        s.queryFor("");
        QCOMPARE(s.messages.last(), QString("近效期天数应为 0 到 3650 的整数"));
        QCOMPARE(InsightQueries::nearExpiryDays(s.temp.store()), 0);
        QCOMPARE(s.column("DBGrid1", 0), (QStringList{"A", "B"}));

        s.queryFor("91");
        QCOMPARE(s.column("DBGrid1", 0), (QStringList{"A", "B", "C", "D"}));
        XiaoqiFrm reopened(s.temp.store());
        QCOMPARE(findWidget<QLineEdit>(&reopened, "Text1")->text(), QString("91"));
    }
};

QTEST_MAIN(tst_Xiaoqifrm)
#include "tst_xiaoqifrm.moc"
