#include "sales/salesqueries.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

// The sales query: the shared line query on the sales lines, searched by customer.
class tst_XiaoshouchaFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore store;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<LineQueryFrm> screen; // goes first, before the store it uses
    };
    std::unique_ptr<Session> f;

    template <typename T = QLineEdit> T *widget(const char *name)
    {
        return findWidget<T>(f->screen.get(), name);
    }
    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(name), Qt::LeftButton); }
    void search(const char *option, const QList<QPair<const char *, QString>> &boxes)
    {
        widget<QRadioButton>(option)->setChecked(true);
        for (const auto &[name, text] : boxes) {
            if (QString(name) == "Combo1")
                widget<QComboBox>(name)->setEditText(text);
            else
                widget(name)->setText(text);
        }
        click("Command1");
    }
    // The count, quantity and amount under the list, then the lines listed.
    QString shown()
    {
        return QString("%1 %2 %3 %4")
            .arg(widget("Text4")->text(), widget("Text5")->text(), widget("Text6")->text())
            .arg(widget<DataGrid>("DBGrid1")->model()->rowCount());
    }
    QString stored()
    {
        return f->store.scalar("SELECT group_concat(r, ' ') FROM (SELECT rowid r FROM chuhuo "
                               "ORDER BY r)").toString();
    }

private slots:
    void init()
    {
        f = std::make_unique<Session>();
        f->store.exec("INSERT INTO yonghu (客户) VALUES ('仁和堂'), ('同仁堂'), ('济生堂')");
        f->store.exec("INSERT INTO chuhuo (编号, 品名, 数量, 金额, 日期, 单据号, 购货单位, 出库) "
                      "VALUES ('210', '当归', 3, 60, '2026-12-04', 'XS1', '仁和堂', '已出库'), "
                      "('210', '当归', 2.5, 50.5, '2026-12-05', 'XS2', '同仁堂', '已出库'), "
                      "('120', '甘草', 1, 7, '2026-12-05', 'XS2', '同仁堂', '已出库'), "
                      "('210', '当归', 0.1, 0.2, '2026-12-06', 'XS3', '仁和堂', NULL), "
                      "('211', '当归片', 4, 40, '2026-12-06', 'XS3', '*', NULL)");
        f->screen = std::make_unique<LineQueryFrm>(f->store.store(), salesLineQuery());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void searchesByNameDateAndCustomer()
    {
        QCOMPARE(f->screen->objectName(), "xiaoshouchafrm");
        QCOMPARE(f->screen->windowTitle(), "销售查询");
        QCOMPARE(widget<QRadioButton>("Option3")->text(), "购货单位");
        QCOMPARE(widget<QComboBox>("Combo1")->count(), 3);
        // A name sold in three lines, pending ones too; the whole name only, or a pattern.
        search("Option1", {{"Text1", "当归"}});
        QCOMPARE(shown(), "3 5.6 110.7 3");
        search("Option1", {{"Text1", "当"}});
        QCOMPARE(shown(), "0 0 0 0");
        search("Option1", {{"Text1", "当*"}});
        QCOMPARE(shown(), "4 9.6 150.7 4");
        // One day, both ends included.
        search("Option2", {{"Text2", "2026-12-05"}, {"Text3", "2026-12-05"}});
        QCOMPARE(shown(), "2 3.5 57.5 2");
        // A customer; one without sales; a line whose customer was left empty.
        search("Option3", {{"Combo1", "仁和堂"}});
        QCOMPARE(shown(), "2 3.1 60.2 2");
        search("Option3", {{"Combo1", "济生堂"}});
        QCOMPARE(shown(), "0 0 0 0");
        search("Option3", {{"Combo1", "*"}});
        QCOMPARE(shown(), "5 10.6 157.7 5");
        // A date that is none is refused and named; the list stays.
        search("Option2", {{"Text2", "2026-12-32"}});
        QCOMPARE(f->messages.texts.size(), 1);
        QVERIFY(f->messages.last().startsWith("起始日期"));
        QCOMPARE(shown(), "5 10.6 157.7 5");
    }

    void deletesKeepTheTotalsAndDeleteAllIsAllOrNothing()
    {
        QCOMPARE(widget<QPushButton>("Command2")->text(), "删除");
        QCOMPARE(widget<QPushButton>("Command3")->text(), "全删");
        search("Option3", {{"Combo1", "同仁堂"}});
        QCOMPARE(shown(), "2 3.5 57.5 2");
        // 删除 takes the chosen line off the table and the totals.
        widget<DataGrid>("DBGrid1")->selectRow(1);
        click("Command2");
        QCOMPARE(stored(), "1 2 4 5");
        QCOMPARE(shown(), "1 2.5 50.5 1");

        // 全删 after a search by customer takes exactly that customer's lines, or none.
        search("Option3", {{"Combo1", "仁和堂"}});
        f->store.exec("CREATE TEMP TRIGGER keep_pending BEFORE DELETE ON chuhuo.chuhuo "
                      "WHEN old.出库 IS NULL BEGIN SELECT RAISE(ABORT, '记录被锁定'); END");
        click("Command3");
        QVERIFY(f->messages.last().contains("记录被锁定"));
        QCOMPARE(stored(), "1 2 4 5");
        QCOMPARE(shown(), "2 3.1 60.2 2");
        f->store.exec("DROP TRIGGER temp.keep_pending");
        click("Command3");
        QCOMPARE(stored(), "2 5");
        QCOMPARE(shown(), "0 0 0 0");
    }
};

QTEST_MAIN(tst_XiaoshouchaFrm)
#include "tst_xiaoshouchafrm.moc"
