#include "purchasing/jindanchafrm.h"
#include "shell/datagrid.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

namespace {

struct Fixture
{
    TempStore store;
    MessageRecorder messages;
    std::unique_ptr<JindanchaFrm> screen; // goes first, before the store it uses
};

} // namespace

class tst_JindanchaFrm : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    QLineEdit *box(const char *name) { return findWidget<QLineEdit>(f->screen.get(), name); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(f->screen.get(), name); }
    void replaceText(const QString &text)
    {
        box("Text1")->clear();
        typeInto(box("Text1"), text);
    }
    void clickSearch()
    {
        QTest::mouseClick(findWidget<QPushButton>(f->screen.get(), "Command1"), Qt::LeftButton);
    }
    // Lines found, their total and the lines listed.
    QString shown()
    {
        return QString("%1 %2 %3").arg(box("Text2")->text(), box("Text3")->text()).arg(
            grid("DBGrid1")->model()->rowCount());
    }
    QStringList listedHeaders()
    {
        QStringList numbers;
        const QAbstractItemModel *model = grid("DBGrid2")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            numbers << model->data(model->index(row, 0)).toString();
        return numbers;
    }

private slots:
    void init()
    {
        f = std::make_unique<Fixture>();
        // A padded number, a quote, Nulls, pending lines, and cents (0.1 + 0.2) that binary
        // floating point does not add exactly.
        f->store.exec("insert into huodan (进货单) values "
                      "('JH20251130001'), ('JH20261205007'), (' JH20261205008 '), ('JH''9')");
        f->store.exec("insert into jinhuo (单据号, 编号, 金额, 入库) values "
                      "('JH20251130001', '001', 50, '已入库'), ('JH''9', '005', 9, null), "
                      "('JH20261205007', '001', 1184.5, '已入库'), "
                      "('JH20261205007', '002', 50, '已入库'), "
                      "('JH20261205007', null, null, '已入库'), "
                      "('JH20261205008', '003', 0.1, null), ('JH20261205008', '004', 0.2, null)");
        f->screen = std::make_unique<JindanchaFrm>(f->store.store());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void opensWithPrefixThenDropsTheLookupBelowTheBox()
    {
        QVERIFY(!grid("DBGrid2")->isVisible());
        QCOMPARE(grid("DBGrid1")->model()->rowCount(), 0);
        QVERIFY(!findWidget<QPushButton>(f->screen.get(), "Command2")->isEnabled());
        // Typing goes on after the document prefix.
        typeInto(box("Text1"), "2026");
        QCOMPARE(box("Text1")->text(), "JH2026");
        DataGrid *lookup = grid("DBGrid2");
        QVERIFY(lookup->isVisible());
        const QPoint boxTopLeft = box("Text1")->mapTo(f->screen.get(), QPoint(0, 0));
        QCOMPARE(lookup->geometry(),
                 QRect(boxTopLeft + QPoint(0, twips(300)), twipsSize(6000, 1300)));
    }

    void enterTakesOverTheChosenHeader()
    {
        // Down enters the list, where the arrows choose; Enter back in the box takes the
        // number over, trimmed, and closes the list; Enter again searches.
        replaceText("");
        QTest::keyClick(box("Text1"), Qt::Key_Down);
        QVERIFY(grid("DBGrid2")->hasFocus());
        QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
        QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
        box("Text1")->setFocus();
        pressEnter(box("Text1"));
        QCOMPARE(box("Text1")->text(), "JH20261205008");
        QVERIFY(!grid("DBGrid2")->isVisible());
        pressEnter(box("Text1"));
        QCOMPARE(shown(), "2 0.30 2");

        // Enter in the list takes over too, and hands the focus back to the box.
        replaceText("JH2025");
        QTest::keyClick(box("Text1"), Qt::Key_Down);
        QTest::keyClick(grid("DBGrid2"), Qt::Key_Return);
        QCOMPARE(box("Text1")->text(), "JH20251130001");
        QVERIFY(!grid("DBGrid2")->isVisible());
        QVERIFY(box("Text1")->hasFocus());
        clickSearch();
        QCOMPARE(shown(), "1 50.00 1");
    }

    void lookupListsHeadersBeginningSoAndSearchFindsTheNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("found"); // lines found, their total and the lines listed
        const QStringList posted = {"JH20261205007"};
        QTest::newRow("year") << "JH2026" << posted << "0 0 0";
        QTest::newRow("lower case") << "jh2025" << QStringList{"JH20251130001"} << "0 0 0";
        QTest::newRow("empty box")
            << "" << QStringList{"JH20251130001", "JH20261205007", " JH20261205008 ", "JH'9"}
            << "0 0 0";
        QTest::newRow("nothing begins so") << "XS" << QStringList{} << "0 0 0";
        QTest::newRow("posted document") << "JH20261205007" << posted << "2 1234.50 3";
        QTest::newRow("pending lines count too") << "JH20261205008" << QStringList{} << "2 0.30 2";
        QTest::newRow("incomplete number") << "JH2026120500" << posted << "0 0 0";
        QTest::newRow("wildcard typed by the clerk") << "JH20261205*" << posted << "4 1234.80 5";
        QTest::newRow("quote in part") << "JH'" << QStringList{"JH'9"} << "0 0 0";
        QTest::newRow("quote in whole") << "JH'9" << QStringList{"JH'9"} << "1 9.00 1";
    }
    void lookupListsHeadersBeginningSoAndSearchFindsTheNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, headers);
        QFETCH(QString, found);
        replaceText("X");
        replaceText(typed);
        QVERIFY(grid("DBGrid2")->isVisible());
        QCOMPARE(listedHeaders(), headers);
        clickSearch();
        QVERIFY(!grid("DBGrid2")->isVisible());
        QCOMPARE(shown(), found);
        QVERIFY(f->messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_JindanchaFrm)
#include "tst_jindanchafrm.moc"
