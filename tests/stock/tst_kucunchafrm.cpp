#include "shell/datagrid.h"
#include "stock/kucunchafrm.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>

class tst_Kucunchafrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyTableShowsBareZeros();
    void totalsOfTheWholeStock_data();
    void totalsOfTheWholeStock();
    void searchIsEqualityUnlessPatternTyped_data();
    void searchIsEqualityUnlessPatternTyped();
    void searchFindingNothingShowsZeros();
    void allShowsTheWholeStockAgain();
    void searchTextIsNeverSql();

private:
    void showScreen();
    void search(const QString &text);
    void click(const QString &button);
    QString rowsText();
    QString moneyText();
    int listedRows();

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    KucunchaFrm *m_screen = nullptr;
};

void tst_Kucunchafrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
}

void tst_Kucunchafrm::cleanup()
{
    delete m_screen;
    m_screen = nullptr;
    delete m_messages;
    delete m_temp;
}

void tst_Kucunchafrm::showScreen()
{
    delete m_screen;
    m_screen = new KucunchaFrm(m_temp->store());
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen));
}

void tst_Kucunchafrm::search(const QString &text)
{
    auto *box = findWidget<QLineEdit>(m_screen, "Text1");
    box->clear();
    typeInto(box, text);
    click("Command1");
}

void tst_Kucunchafrm::click(const QString &button)
{
    QTest::mouseClick(findWidget<QPushButton>(m_screen, button), Qt::LeftButton);
}

QString tst_Kucunchafrm::rowsText()
{
    return findWidget<QLineEdit>(m_screen, "Text2")->text();
}

QString tst_Kucunchafrm::moneyText()
{
    return findWidget<QLineEdit>(m_screen, "Text3")->text();
}

int tst_Kucunchafrm::listedRows()
{
    return findWidget<DataGrid>(m_screen, "DBGrid1")->model()->rowCount();
}

void tst_Kucunchafrm::emptyTableShowsBareZeros()
{
    showScreen();
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("库存查询"));
    QCOMPARE(rowsText(), QStringLiteral("0"));
    QCOMPARE(moneyText(), QStringLiteral("0"));
    QCOMPARE(listedRows(), 0);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_Kucunchafrm::totalsOfTheWholeStock_data()
{
    // Each row: code (Null when absent) and stock value (Null when absent).
    QTest::addColumn<QVariantList>("codes");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("money");
    QTest::newRow("two decimals") << QVariantList{"A", "B"} << QVariantList{1000.25, 234.25}
                                  << "2" << "1234.50";
    QTest::newRow("rounds to cents") << QVariantList{"A"} << QVariantList{0.004} << "1" << "0.00";
    QTest::newRow("no values is bare zero")
        << QVariantList{"A", "B"} << QVariantList{QVariant(), QVariant()} << "2" << "0";
    QTest::newRow("empty code counted, Null not")
        << QVariantList{"", QVariant(), "C"} << QVariantList{1, 2, QVariant()} << "2" << "3.00";
    QTest::newRow("negative stock value") << QVariantList{"A", "B"} << QVariantList{-7.5, 2}
                                          << "2" << "-5.50";
    QTest::newRow("no thousands separator") << QVariantList{"A"} << QVariantList{1234567.891}
                                            << "1" << "1234567.89";
}

void tst_Kucunchafrm::totalsOfTheWholeStock()
{
    QFETCH(QVariantList, codes);
    QFETCH(QVariantList, values);
    QFETCH(QString, rows);
    QFETCH(QString, money);
    for (int i = 0; i < codes.size(); ++i)
        m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES (?, '药', ?)",
                     {codes[i], values[i]});
    showScreen();
    QCOMPARE(rowsText(), rows);
    QCOMPARE(moneyText(), money);
    QCOMPARE(listedRows(), codes.size());
}

void tst_Kucunchafrm::searchIsEqualityUnlessPatternTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("money");
    QTest::addColumn<int>("listed");
    QTest::newRow("whole name") << "当归" << "2" << "30.00" << 2;
    QTest::newRow("name start finds nothing") << "当" << "0" << "0" << 0;
    QTest::newRow("whole code, other case") << "hq01" << "1" << "8.40" << 1;
    QTest::newRow("code start finds nothing") << "DG" << "0" << "0" << 0;
    QTest::newRow("star pattern") << "DG*" << "2" << "38.00" << 2;
    QTest::newRow("question pattern") << "DG0?" << "2" << "38.00" << 2;
    QTest::newRow("star alone is all named") << "*" << "4" << "151.40" << 5;
}

void tst_Kucunchafrm::searchIsEqualityUnlessPatternTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, rows);
    QFETCH(QString, money);
    QFETCH(int, listed);
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                 "('DG02', '全当归', 13), ('HQ01', '黄芪', 8.4), ('X1', '当归', 5), "
                 "(NULL, '无编号', 100), (NULL, NULL, 1000)");
    showScreen();
    search(text);
    QCOMPARE(rowsText(), rows);
    QCOMPARE(moneyText(), money);
    QCOMPARE(listedRows(), listed);
}

void tst_Kucunchafrm::searchFindingNothingShowsZeros()
{
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25)");
    showScreen();
    QCOMPARE(rowsText(), QStringLiteral("1"));
    QCOMPARE(moneyText(), QStringLiteral("25.00"));
    search("人参");
    QCOMPARE(rowsText(), QStringLiteral("0"));
    QCOMPARE(moneyText(), QStringLiteral("0"));
    QCOMPARE(listedRows(), 0);

    // Enter in the search box searches as the button does.
    auto *box = findWidget<QLineEdit>(m_screen, "Text1");
    box->clear();
    typeInto(box, "dg01");
    pressEnter(box);
    QCOMPARE(rowsText(), QStringLiteral("1"));
    QCOMPARE(listedRows(), 1);
}

void tst_Kucunchafrm::allShowsTheWholeStockAgain()
{
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                 "('HQ01', '黄芪', 5), (NULL, NULL, 1)");
    showScreen();
    search("黄芪");
    QCOMPARE(rowsText(), QStringLiteral("1"));
    // Totals follow the table only when asked again.
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('GC01', '甘草', 0.5)");
    QCOMPARE(rowsText(), QStringLiteral("1"));
    click("Command2");
    QCOMPARE(rowsText(), QStringLiteral("3"));
    QCOMPARE(moneyText(), QStringLiteral("31.50"));
    QCOMPARE(listedRows(), 4);
}

void tst_Kucunchafrm::searchTextIsNeverSql()
{
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                 "('A%', '百分', 1), ('B_', '下划', 2)");
    showScreen();
    search("' or 1=1 or '");
    QCOMPARE(rowsText(), QStringLiteral("0"));
    QCOMPARE(listedRows(), 0);
    search("A%");
    QCOMPARE(rowsText(), QStringLiteral("1"));
    QCOMPARE(moneyText(), QStringLiteral("1.00"));
    search("%");
    QCOMPARE(rowsText(), QStringLiteral("0"));
    search(QString(300, QLatin1Char('x')));
    QCOMPARE(rowsText(), QStringLiteral("0"));
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 3);
}

QTEST_MAIN(tst_Kucunchafrm)
#include "tst_kucunchafrm.moc"
