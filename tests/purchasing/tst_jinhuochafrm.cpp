#include "purchasing/jinhuochafrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace {

// Lines of two years, pending and posted, with a quote in one name and one supplier, Nulls,
// and sums large enough that any loss of precision shows in the cents.
const char *const SeededLines =
    "insert into jinhuo (单据号, 日期, 编号, 品名, 厂家, 数量, 金额, 入库) values "
    "('JH1', '2025-12-31', '004', '当归头', '甲药厂', 1, 10, '已入库'), "
    "('JH2', '2026-01-10', '001', '当归', '甲药厂', 10, 50, '已入库'), "
    "('JH3', '2026-01-31', '001', '当归', '甲药厂', 2.5, 1184.5, null), "
    "('JH4', '2026-02-01', '002', '党参', '乙''s 药厂', 3, 30, '已入库'), "
    "('JH4', '2026-02-01', '003', '川贝''母', '*', 4, 40, '已入库'), "
    "('JH5', '2026-02-02', '005', '黄芪', '丁药厂', null, null, null), "
    "('JH9', '2027-06-01', '019', '白芷', '戊药厂', 1000000.1, 1234567.89, '已入库'), "
    "('JH9', '2027-06-01', '020', '白术', '戊药厂', 0.2, 0.01, '已入库')";

struct Fixture
{
    TempStore store;
    MessageRecorder messages;
    FixedToday today{QDate(2026, 12, 5)};
    std::unique_ptr<JinhuochaFrm> screen; // goes first, before the store it uses
};

} // namespace

class tst_JinhuochaFrm : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    template <typename T = QLineEdit> T *widget(const QString &name)
    {
        return findWidget<T>(f->screen.get(), name);
    }
    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(name), Qt::LeftButton); }
    void clickRow(int row)
    {
        DataGrid *grid = widget<DataGrid>("DBGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
    }
    // Types the condition of option 1 (code/name), 2 ("from~to" dates) or 3 (supplier), then
    // clicks the option and the search button as a user would.
    void search(int option, const QString &condition)
    {
        const int boxes = option == 2 ? 2 : 1;
        for (int i = 0; i < boxes; ++i) {
            QLineEdit *box = option == 3 ? widget<QComboBox>("Combo1")->lineEdit()
                                         : widget(option == 1 ? "Text1" : i ? "Text3" : "Text2");
            box->clear();
            typeInto(box, condition.section('~', i, i));
        }
        auto *mode = widget<QRadioButton>(QString("Option%1").arg(option));
        QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(6, mode->height() / 2));
        QVERIFY(mode->isChecked());
        click("Command1");
    }
    QString totals()
    {
        return widget("Text4")->text() + ' ' + widget("Text5")->text() + ' '
               + widget("Text6")->text();
    }
    int listed() { return widget<DataGrid>("DBGrid1")->model()->rowCount(); }
    QString stored()
    {
        return f->store.scalar("select group_concat(k, ' ') from (select 单据号 || '/' || 编号 k "
                               "from jinhuo order by rowid)").toString();
    }
    const QString AllStored = "JH1/004 JH2/001 JH3/001 JH4/002 JH4/003 JH5/005 JH9/019 JH9/020";

private slots:
    void init()
    {
        f = std::make_unique<Fixture>();
        for (const char *supplier : {"  甲药厂 ", "乙's 药厂", "丙药厂"})
            f->store.exec("insert into changjia (厂家) values (?)", {QString::fromUtf8(supplier)});
        f->store.exec(SeededLines);
        f->screen = std::make_unique<JinhuochaFrm>(f->store.store());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void opensEmptyAndDeletesWithoutAListDoNothing()
    {
        QCOMPARE(totals(), "0 0 0");
        QCOMPARE(listed(), 0);
        // Suppliers come trimmed from their table; the box starts empty; dates start at today.
        auto *suppliers = widget<QComboBox>("Combo1");
        QCOMPARE(suppliers->count(), 3);
        QCOMPARE(suppliers->itemText(0), "甲药厂");
        QCOMPARE(suppliers->currentText(), "");
        QCOMPARE(widget("Text2")->text(), "2026-12-05");

        // Neither before any search nor after one that found nothing.
        click("Command3");
        click("Command2");
        search(1, "没有");
        click("Command3");
        click("Command2");
        QCOMPARE(stored(), AllStored);
        QCOMPARE(totals(), "0 0 0");
        QVERIFY(f->messages.texts.isEmpty());
    }

    void searchReplacesTheListOrRefusesABadDate_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refusal"); // the date box a message names

        QTest::newRow("whole name") << 1 << "当归" << "2 12.50 1234.50" << "";
        QTest::newRow("whole code") << 1 << "001" << "2 12.50 1234.50" << "";
        QTest::newRow("first characters only") << 1 << "当" << "0 0 0" << "";
        QTest::newRow("prefix with wildcard") << 1 << "当*" << "3 13.50 1244.50" << "";
        QTest::newRow("one-character wildcard") << 1 << "00?" << "6 20.50 1314.50" << "";
        QTest::newRow("quote in name is text") << 1 << "川贝'母" << "1 4.00 40.00" << "";
        QTest::newRow("percent matches itself") << 1 << "%" << "0 0 0" << "";
        QTest::newRow("only Null values") << 1 << "黄芪" << "1 0 0" << "";
        QTest::newRow("both ends in") << 2 << "2026-01-10~2026-01-31" << "2 12.50 1234.50" << "";
        QTest::newRow("other spellings") << 2 << "2026/1/10~20260131" << "2 12.50 1234.50" << "";
        QTest::newRow("new year") << 2 << "2025-12-31~2026.1.10" << "2 11.00 60.00" << "";
        QTest::newRow("nothing in range") << 2 << "2026-03-01~2026-12-31" << "0 0 0" << "";
        QTest::newRow("named supplier") << 3 << "甲药厂" << "3 13.50 1244.50" << "";
        QTest::newRow("quote in supplier") << 3 << "乙's 药厂" << "1 3.00 30.00" << "";
        QTest::newRow("exact cents") << 3 << "戊药厂" << "2 1000000.30 1234567.90" << "";
        QTest::newRow("star finds every line") << 3 << "*" << "8 1000020.80 1235882.40" << "";
        // A refused search leaves the earlier list and totals as they were.
        const QString earlier = "1 1.00 10.00";
        QTest::newRow("empty") << 2 << "~2026-01-31" << earlier << "起始日期";
        QTest::newRow("no such day") << 2 << "2026-02-30~2026-01-31" << earlier << "起始日期";
        QTest::newRow("quote") << 2 << "2026-01-01'~2026-01-31" << earlier << "起始日期";
        QTest::newRow("month 13") << 2 << "2026-01-01~2026-13-01" << earlier << "截止日期";
        QTest::newRow("very long")
            << 2 << "2026-01-01~" + QString(300, '9') << earlier << "截止日期";
    }
    void searchReplacesTheListOrRefusesABadDate()
    {
        QFETCH(int, option);
        QFETCH(QString, condition);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        search(1, "当归头"); // an earlier list, unlike every expected one
        search(option, condition);
        QCOMPARE(totals(), shown);
        QCOMPARE(listed(), shown.section(' ', 0, 0).toInt());
        QCOMPARE(f->messages.texts.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            // The message names the wrong box, which keeps its text and takes the focus.
            QVERIFY2(f->messages.last().startsWith(refusal), qPrintable(f->messages.last()));
            const bool last = refusal == "截止日期";
            QCOMPARE(widget(last ? "Text3" : "Text2")->text(), condition.section('~', last, last));
            QVERIFY(widget(last ? "Text3" : "Text2")->hasFocus());
        } else if (option == 2) {
            // Dates accepted in any spelling are shown back in the one stored form.
            for (const char *name : {"Text2", "Text3"})
                QVERIFY(QDate::fromString(widget(name)->text(), "yyyy-MM-dd").isValid());
        }
    }

    void deletesTakeTheClickedLineThenAllListedOrNothing()
    {
        f->store.exec("create temp trigger keep_003 before delete on jinhuo.jinhuo "
                      "when old.编号 = '003' begin select raise(abort, '记录被锁定'); end");
        search(2, "2026-01-10~2026-02-01");
        QCOMPARE(totals(), "4 19.50 1304.50");
        // Twice, so the row clicked after a delete is the one that goes, not a neighbour.
        clickRow(1);
        click("Command3");
        QCOMPARE(stored(), "JH1/004 JH2/001 JH4/002 JH4/003 JH5/005 JH9/019 JH9/020");
        QCOMPARE(totals(), "3 17.00 120.00");
        clickRow(1);
        click("Command3");
        const QString before = "JH1/004 JH2/001 JH4/003 JH5/005 JH9/019 JH9/020";
        QCOMPARE(stored(), before);
        QCOMPARE(totals(), "2 14.00 90.00");

        // One listed line is locked: none go, and the list and totals stay.
        click("Command2");
        QCOMPARE(stored(), before);
        QCOMPARE(f->messages.texts.size(), 1);
        QVERIFY2(f->messages.last().contains("记录被锁定"), qPrintable(f->messages.last()));
        QCOMPARE(listed(), 2);
        QCOMPARE(totals(), "2 14.00 90.00");

        // Unlocked, a retry removes the listed lines, but not one that matches and came later.
        f->store.exec("drop trigger temp.keep_003");
        f->store.exec("insert into jinhuo (单据号, 日期, 编号, 数量, 金额) "
                      "values ('JH6', '2026-01-20', '006', 1, 1)");
        click("Command2");
        QCOMPARE(stored(), "JH1/004 JH5/005 JH9/019 JH9/020 JH6/006");
        QCOMPARE(listed(), 0);
        QCOMPARE(totals(), "0 0 0");
        QCOMPARE(f->messages.texts.size(), 1);
    }

    void failedSearchIsReported()
    {
        search(1, "当归");
        QCOMPARE(listed(), 2);
        f->store.exec("drop table jinhuo.jinhuo");
        search(1, "当归");
        QCOMPARE(f->messages.texts.size(), 1);
        QVERIFY2(f->messages.last().startsWith("查询失败"), qPrintable(f->messages.last()));
        QCOMPARE(totals(), "0 0 0");
        QCOMPARE(listed(), 0);
    }
};

QTEST_MAIN(tst_JinhuochaFrm)
#include "tst_jinhuochafrm.moc"
