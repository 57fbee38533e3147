#include "purchasing/jindanchafrm.h"
#include "shell/datagrid.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_JindanchaFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithPrefixAndNoList();
    void lookupListsHeadersBeginningWithTheText_data();
    void lookupListsHeadersBeginningWithTheText();
    void lookupDropsBelowTheBox();
    void enterInTheBoxTakesOverTheChosenHeader();
    void enterInTheListTakesOverToo();
    void searchShowsLinesCountAndTotal_data();
    void searchShowsLinesCountAndTotal();

private:
    void open();
    void replaceText(const QString &text);
    void clickSearch();
    QLineEdit *box(const char *name) { return findWidget<QLineEdit>(m_screen.get(), name); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(m_screen.get(), name); }
    QStringList listedHeaders();

    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<JindanchaFrm> m_screen;
};

void tst_JindanchaFrm::init()
{
    m_store = std::make_unique<TempStore>();
    m_messages = std::make_unique<MessageRecorder>();
    const QList<QVariantList> headers = {
        {"JH20251130001", "2025-11-30", "甲药厂"},
        {"JH20261205007", "2026-12-05", "乙药厂"},
        {" JH20261205008 ", "2026-12-05", QVariant()},
        {"JH'9", QVariant(), QVariant()},
    };
    for (const QVariantList &header : headers)
        m_store->exec("insert into huodan (进货单, 日期, 厂家) values (?, ?, ?)", header);
    const QList<QVariantList> lines = {
        {"JH20251130001", "001", 10, 50, "已入库"},
        {"JH20261205007", "001", 2.5, 1184.5, "已入库"},
        {"JH20261205007", "002", 3, 50, "已入库"},
        {"JH20261205007", QVariant(), 1, QVariant(), "已入库"},
        {"JH20261205008", "003", 4, 0.1, QVariant()},
        {"JH20261205008", "004", 4, 0.2, QVariant()},
        {"JH'9", "005", 1, 9, QVariant()},
    };
    for (const QVariantList &line : lines)
        m_store->exec("insert into jinhuo (单据号, 编号, 数量, 金额, 入库) values (?, ?, ?, ?, ?)",
                      line);
}

void tst_JindanchaFrm::cleanup()
{
    m_screen.reset();
    m_messages.reset();
    m_store.reset();
}

void tst_JindanchaFrm::open()
{
    m_screen = std::make_unique<JindanchaFrm>(m_store->store());
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen.get()));
}

void tst_JindanchaFrm::replaceText(const QString &text)
{
    QLineEdit *number = box("Text1");
    number->setFocus();
    number->selectAll();
    QTest::keyClick(number, Qt::Key_Backspace);
    typeKeys(number, text);
}

void tst_JindanchaFrm::clickSearch()
{
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command1"), Qt::LeftButton);
}

QStringList tst_JindanchaFrm::listedHeaders()
{
    QStringList numbers;
    const QAbstractItemModel *model = grid("DBGrid2")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        numbers << model->data(model->index(row, 0)).toString();
    return numbers;
}

void tst_JindanchaFrm::opensWithPrefixAndNoList()
{
    open();
    QCOMPARE(box("Text1")->text(), QString("JH"));
    QVERIFY(!grid("DBGrid2")->isVisible());
    QCOMPARE(grid("DBGrid1")->model()->rowCount(), 0);
    QVERIFY(!findWidget<QPushButton>(m_screen.get(), "Command2")->isEnabled());
}

void tst_JindanchaFrm::lookupListsHeadersBeginningWithTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("year") << "JH2026" << QStringList{"JH20261205007"};
    QTest::newRow("lower case") << "jh2025" << QStringList{"JH20251130001"};
    QTest::newRow("empty box lists all")
        << "" << QStringList{"JH20251130001", "JH20261205007", " JH20261205008 ", "JH'9"};
    QTest::newRow("quote is ordinary text") << "JH'" << QStringList{"JH'9"};
    QTest::newRow("nothing begins so") << "XS" << QStringList{};
}

void tst_JindanchaFrm::lookupListsHeadersBeginningWithTheText()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    open();
    replaceText("X");
    replaceText(typed);
    QVERIFY(grid("DBGrid2")->isVisible());
    QCOMPARE(listedHeaders(), expected);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JindanchaFrm::lookupDropsBelowTheBox()
{
    open();
    typeInto(box("Text1"), "2026");
    QCOMPARE(box("Text1")->text(), QString("JH2026"));
    DataGrid *lookup = grid("DBGrid2");
    QVERIFY(lookup->isVisible());
    QCOMPARE(lookup->parentWidget(), static_cast<QWidget *>(m_screen.get()));
    const QPoint boxTopLeft = box("Text1")->mapTo(m_screen.get(), QPoint(0, 0));
    QCOMPARE(lookup->geometry(),
             QRect(boxTopLeft + QPoint(0, twips(300)), twipsSize(6000, 1300)));
}

void tst_JindanchaFrm::enterInTheBoxTakesOverTheChosenHeader()
{
    open();
    replaceText("JH2026");
    replaceText("");
    QCOMPARE(listedHeaders().size(), 4);

    // Down enters the list, where the arrows choose; Enter back in the box takes it over.
    QTest::keyClick(box("Text1"), Qt::Key_Down);
    QVERIFY(grid("DBGrid2")->hasFocus());
    QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
    QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
    box("Text1")->setFocus();
    pressEnter(box("Text1"));
    QCOMPARE(box("Text1")->text(), QString("JH20261205008"));
    QVERIFY(!grid("DBGrid2")->isVisible());

    clickSearch();
    QCOMPARE(box("Text2")->text(), QString("2"));
    QCOMPARE(box("Text3")->text(), QString("0.30"));
    QCOMPARE(grid("DBGrid1")->model()->rowCount(), 2);
}

void tst_JindanchaFrm::enterInTheListTakesOverToo()
{
    open();
    typeInto(box("Text1"), "2025");
    QTest::keyClick(box("Text1"), Qt::Key_Down);
    QTest::keyClick(grid("DBGrid2"), Qt::Key_Return);
    QCOMPARE(box("Text1")->text(), QString("JH20251130001"));
    QVERIFY(!grid("DBGrid2")->isVisible());
    QVERIFY(box("Text1")->hasFocus());

    // With the list closed, Enter searches.
    pressEnter(box("Text1"));
    QCOMPARE(box("Text2")->text(), QString("1"));
    QCOMPARE(box("Text3")->text(), QString("50.00"));
}

void tst_JindanchaFrm::searchShowsLinesCountAndTotal_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("total");
    QTest::addColumn<int>("lines");

    QTest::newRow("posted document") << "JH20261205007" << "2" << "1234.50" << 3;
    QTest::newRow("pending lines count too") << "JH20261205008" << "2" << "0.30" << 2;
    QTest::newRow("incomplete number") << "JH2026120500" << "0" << "0" << 0;
    QTest::newRow("wildcard typed by the clerk") << "JH20261205*" << "4" << "1234.80" << 5;
    QTest::newRow("quote is ordinary text") << "JH'9" << "1" << "9.00" << 1;
    QTest::newRow("empty box") << "" << "0" << "0" << 0;
}

void tst_JindanchaFrm::searchShowsLinesCountAndTotal()
{
    QFETCH(QString, number);
    QFETCH(QString, count);
    QFETCH(QString, total);
    QFETCH(int, lines);
    open();
    replaceText(number);
    clickSearch();
    QVERIFY(!grid("DBGrid2")->isVisible());
    QCOMPARE(box("Text2")->text(), count);
    QCOMPARE(box("Text3")->text(), total);
    QCOMPARE(grid("DBGrid1")->model()->rowCount(), lines);
    QVERIFY(m_messages->texts.isEmpty());
}

QTEST_MAIN(tst_JindanchaFrm)
#include "tst_jindanchafrm.moc"
