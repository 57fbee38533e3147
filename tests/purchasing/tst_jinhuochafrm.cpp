#include "purchasing/jinhuochafrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace {

struct Line
{
    QString number;
    QString date;
    QString code;
    QString name;
    QString supplier;
    QVariant quantity;
    QVariant amount;
    bool posted;
};

// Lines of two years, pending and posted, with a quote in one name and one supplier.
const QList<Line> SeededLines = {
    {"JH1", "2025-12-31", "004", "当归头", "甲药厂", 1, 10, true},
    {"JH2", "2026-01-10", "001", "当归", "甲药厂", 10, 50, true},
    {"JH3", "2026-01-31", "001", "当归", "甲药厂", 2.5, 1184.5, false},
    {"JH4", "2026-02-01", "002", "党参", "乙's 药厂", 3, 30, true},
    {"JH4", "2026-02-01", "003", "川贝'母", "*", 4, 40, true},
    {"JH5", "2026-02-02", "005", "黄芪", "丁药厂", QVariant(), QVariant(), false},
};

} // namespace

class tst_JinhuochaFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithZeroTotalsAndSupplierList();
    void searchByCodeOrName_data();
    void searchByCodeOrName();
    void searchByDateRange_data();
    void searchByDateRange();
    void searchBySupplier_data();
    void searchBySupplier();
    void totalsShowExactCents();
    void badDateIsRefused_data();
    void badDateIsRefused();
    void deleteRemovesTheSelectedLineOnly();
    void deleteAllRemovesExactlyTheListedLines();
    void deleteAllIsAllOrNothing();
    void deletesWithoutAListDoNothing();
    void failedSearchIsReported();

private:
    void seed(const QList<Line> &lines);
    void open();
    void searchIn(QRadioButton *option);
    void setText(QLineEdit *box, const QString &text);
    QStringList remainingNumbersAndCodes();
    QLineEdit *box(const char *name) { return findWidget<QLineEdit>(m_screen.get(), name); }
    QRadioButton *option(const char *name)
    {
        return findWidget<QRadioButton>(m_screen.get(), name);
    }
    QStringList totals()
    {
        return {box("Text4")->text(), box("Text5")->text(), box("Text6")->text()};
    }
    int listed() { return findWidget<DataGrid>(m_screen.get(), "DBGrid1")->model()->rowCount(); }

    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<FixedToday> m_today;
    std::unique_ptr<JinhuochaFrm> m_screen;
};

void tst_JinhuochaFrm::init()
{
    m_store = std::make_unique<TempStore>();
    m_messages = std::make_unique<MessageRecorder>();
    m_today = std::make_unique<FixedToday>(QDate(2026, 12, 5));
    for (const char *supplier : {"  甲药厂 ", "乙's 药厂", "丙药厂"})
        m_store->exec("insert into changjia (厂家) values (?)", {QString::fromUtf8(supplier)});
    seed(SeededLines);
}

void tst_JinhuochaFrm::cleanup()
{
    m_screen.reset();
    m_today.reset();
    m_messages.reset();
    m_store.reset();
}

void tst_JinhuochaFrm::seed(const QList<Line> &lines)
{
    for (const Line &line : lines) {
        m_store->exec("insert into jinhuo (单据号, 日期, 编号, 品名, 厂家, 数量, 金额, 入库) "
                      "values (?, ?, ?, ?, ?, ?, ?, ?)",
                      {line.number, line.date, line.code, line.name, line.supplier, line.quantity,
                       line.amount, line.posted ? QVariant("已入库") : QVariant()});
    }
}

void tst_JinhuochaFrm::open()
{
    m_screen = std::make_unique<JinhuochaFrm>(m_store->store());
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen.get()));
}

void tst_JinhuochaFrm::setText(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeKeys(box, text);
}

void tst_JinhuochaFrm::searchIn(QRadioButton *mode)
{
    QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(6, mode->height() / 2));
    QVERIFY(mode->isChecked());
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command1"), Qt::LeftButton);
}

QStringList tst_JinhuochaFrm::remainingNumbersAndCodes()
{
    QStringList remaining;
    for (const QVariantList &row : m_store->rows("select 单据号, 编号 from jinhuo order by rowid"))
        remaining << row[0].toString() + "/" + row[1].toString();
    return remaining;
}

void tst_JinhuochaFrm::opensWithZeroTotalsAndSupplierList()
{
    open();
    QCOMPARE(totals(), QStringList({"0", "0", "0"}));
    QVERIFY(option("Option1")->isChecked());
    QCOMPARE(listed(), 0);
    auto *suppliers = findWidget<QComboBox>(m_screen.get(), "Combo1");
    QCOMPARE(suppliers->count(), 3);
    QCOMPARE(suppliers->itemText(0), QString("甲药厂"));
    QCOMPARE(suppliers->itemText(1), QString("乙's 药厂"));
    QCOMPARE(suppliers->currentText(), QString());
    QCOMPARE(box("Text2")->text(), QString("2026-12-05"));
}

void tst_JinhuochaFrm::searchByCodeOrName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expectedTotals");

    QTest::newRow("whole name, pending and posted")
        << "当归" << QStringList{"2", "12.50", "1234.50"};
    QTest::newRow("whole code") << "001" << QStringList{"2", "12.50", "1234.50"};
    QTest::newRow("first characters only") << "当" << QStringList{"0", "0", "0"};
    QTest::newRow("prefix with wildcard") << "当*" << QStringList{"3", "13.50", "1244.50"};
    QTest::newRow("one-character wildcard") << "00?" << QStringList{"6", "20.50", "1314.50"};
    QTest::newRow("quote is ordinary text") << "川贝'母" << QStringList{"1", "4.00", "40.00"};
    QTest::newRow("percent matches itself") << "%" << QStringList{"0", "0", "0"};
    QTest::newRow("only Null values") << "黄芪" << QStringList{"1", "0", "0"};
}

void tst_JinhuochaFrm::searchByCodeOrName()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expectedTotals);
    open();
    setText(box("Text1"), typed);
    searchIn(option("Option1"));
    QCOMPARE(totals(), expectedTotals);
    QCOMPARE(listed(), expectedTotals[0].toInt());
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuochaFrm::searchByDateRange_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("expectedTotals");
    QTest::addColumn<QString>("shownFrom");

    QTest::newRow("both ends included")
        << "2026-01-10" << "2026-01-31" << QStringList{"2", "12.50", "1234.50"} << "2026-01-10";
    QTest::newRow("one day") << "2026-02-01" << "2026-02-01" << QStringList{"2", "7.00", "70.00"}
                             << "2026-02-01";
    QTest::newRow("other spellings of dates")
        << "2026/1/10" << "20260131" << QStringList{"2", "12.50", "1234.50"} << "2026-01-10";
    QTest::newRow("across the new year")
        << "2025-12-31" << "2026.1.10" << QStringList{"2", "11.00", "60.00"} << "2025-12-31";
    QTest::newRow("nothing in range")
        << "2026-03-01" << "2026-12-31" << QStringList{"0", "0", "0"} << "2026-03-01";
}

void tst_JinhuochaFrm::searchByDateRange()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, expectedTotals);
    QFETCH(QString, shownFrom);
    open();
    setText(box("Text2"), from);
    setText(box("Text3"), to);
    searchIn(option("Option2"));
    QCOMPARE(totals(), expectedTotals);
    QCOMPARE(listed(), expectedTotals[0].toInt());
    QCOMPARE(box("Text2")->text(), shownFrom);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuochaFrm::searchBySupplier_data()
{
    QTest::addColumn<QString>("supplier");
    QTest::addColumn<QStringList>("expectedTotals");

    QTest::newRow("named supplier") << "甲药厂" << QStringList{"3", "13.50", "1244.50"};
    QTest::newRow("quote in the name") << "乙's 药厂" << QStringList{"1", "3.00", "30.00"};
    QTest::newRow("no lines") << "丙药厂" << QStringList{"0", "0", "0"};
    QTest::newRow("star finds every line") << "*" << QStringList{"6", "20.50", "1314.50"};
}

void tst_JinhuochaFrm::searchBySupplier()
{
    QFETCH(QString, supplier);
    QFETCH(QStringList, expectedTotals);
    open();
    auto *suppliers = findWidget<QComboBox>(m_screen.get(), "Combo1");
    suppliers->setFocus();
    typeKeys(suppliers, supplier);
    searchIn(option("Option3"));
    QCOMPARE(totals(), expectedTotals);
    QCOMPARE(listed(), expectedTotals[0].toInt());
}

void tst_JinhuochaFrm::totalsShowExactCents()
{
    seed({{"JH9", "2026-06-01", "009", "白芷", "丙药厂", 1000000.1, 1234567.89, true},
          {"JH9", "2026-06-01", "010", "白术", "丙药厂", 0.2, 0.01, true}});
    open();
    findWidget<QComboBox>(m_screen.get(), "Combo1")->setEditText("丙药厂");
    searchIn(option("Option3"));
    QCOMPARE(totals(), QStringList({"2", "1000000.30", "1234567.90"}));
}

void tst_JinhuochaFrm::badDateIsRefused_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("namedBox");

    QTest::newRow("words") << "昨天" << "2026-01-31" << "起始日期";
    QTest::newRow("empty") << "" << "2026-01-31" << "起始日期";
    QTest::newRow("no such day") << "2026-02-30" << "2026-01-31" << "起始日期";
    QTest::newRow("quote") << "2026-01-01'" << "2026-01-31" << "起始日期";
    QTest::newRow("month 13 in last box") << "2026-01-01" << "2026-13-01" << "截止日期";
    QTest::newRow("very long last box") << "2026-01-01" << QString(300, '9') << "截止日期";
}

void tst_JinhuochaFrm::badDateIsRefused()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, namedBox);
    open();
    // A list from an earlier search stays as it was.
    setText(box("Text1"), "当归");
    searchIn(option("Option1"));
    QCOMPARE(listed(), 2);

    setText(box("Text2"), from);
    setText(box("Text3"), to);
    searchIn(option("Option2"));
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY2(m_messages->last().startsWith(namedBox), qPrintable(m_messages->last()));
    QCOMPARE(totals(), QStringList({"2", "12.50", "1234.50"}));
    QCOMPARE(listed(), 2);
    QLineEdit *wrongBox = namedBox == "起始日期" ? box("Text2") : box("Text3");
    QCOMPARE(wrongBox->text(), namedBox == "起始日期" ? from : to);
    QVERIFY(wrongBox->hasFocus());
}

void tst_JinhuochaFrm::deleteRemovesTheSelectedLineOnly()
{
    open();
    findWidget<QComboBox>(m_screen.get(), "Combo1")->setEditText("甲药厂");
    searchIn(option("Option3"));
    QCOMPARE(listed(), 3);

    auto *grid = findWidget<DataGrid>(m_screen.get(), "DBGrid1");
    const QRect secondRow = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, secondRow.center());
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command3"), Qt::LeftButton);

    QCOMPARE(remainingNumbersAndCodes(),
             QStringList({"JH1/004", "JH3/001", "JH4/002", "JH4/003", "JH5/005"}));
    QCOMPARE(listed(), 2);
    QCOMPARE(totals(), QStringList({"2", "3.50", "1194.50"}));

    // After a delete the row the user clicks is the one that goes, not a neighbour.
    QCOMPARE(grid->model()->data(grid->model()->index(1, 0)).toString(), QString("JH3"));
    const QRect lastRow = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, lastRow.center());
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command3"), Qt::LeftButton);
    QCOMPARE(remainingNumbersAndCodes(),
             QStringList({"JH1/004", "JH4/002", "JH4/003", "JH5/005"}));
    QCOMPARE(listed(), 1);
    QCOMPARE(totals(), QStringList({"1", "1.00", "10.00"}));
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuochaFrm::deleteAllRemovesExactlyTheListedLines()
{
    open();
    setText(box("Text2"), "2026-01-10");
    setText(box("Text3"), "2026-02-01");
    searchIn(option("Option2"));
    QCOMPARE(listed(), 4);

    // A line that matches the search but came in after it was not listed and stays.
    seed({{"JH6", "2026-01-20", "006", "白芍", "丙药厂", 1, 1, false}});
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);

    QCOMPARE(remainingNumbersAndCodes(), QStringList({"JH1/004", "JH5/005", "JH6/006"}));
    QCOMPARE(listed(), 0);
    QCOMPARE(totals(), QStringList({"0", "0", "0"}));
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuochaFrm::deleteAllIsAllOrNothing()
{
    m_store->exec("create temp trigger keep_003 before delete on jinhuo.jinhuo "
                  "when old.编号 = '003' begin select raise(abort, '记录被锁定'); end");
    open();
    setText(box("Text2"), "2026-01-01");
    setText(box("Text3"), "2026-12-31");
    searchIn(option("Option2"));
    QCOMPARE(listed(), 5);

    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);
    QCOMPARE(m_store->scalar("select count(*) from jinhuo").toInt(), SeededLines.size());
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY2(m_messages->last().contains("记录被锁定"), qPrintable(m_messages->last()));
    QCOMPARE(listed(), 5);
    QCOMPARE(totals(), QStringList({"5", "19.50", "1304.50"}));
}

void tst_JinhuochaFrm::deletesWithoutAListDoNothing()
{
    open();
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command3"), Qt::LeftButton);
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);
    setText(box("Text1"), "没有");
    searchIn(option("Option1"));
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command3"), Qt::LeftButton);
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);
    QCOMPARE(m_store->scalar("select count(*) from jinhuo").toInt(), SeededLines.size());
    QCOMPARE(totals(), QStringList({"0", "0", "0"}));
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuochaFrm::failedSearchIsReported()
{
    open();
    setText(box("Text1"), "当归");
    searchIn(option("Option1"));
    QCOMPARE(listed(), 2);
    m_store->exec("drop table jinhuo.jinhuo");
    searchIn(option("Option1"));
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY2(m_messages->last().startsWith("查询失败"), qPrintable(m_messages->last()));
    QCOMPARE(totals(), QStringList({"0", "0", "0"}));
    QCOMPARE(listed(), 0);
}

QTEST_MAIN(tst_JinhuochaFrm)
#include "tst_jinhuochafrm.moc"
