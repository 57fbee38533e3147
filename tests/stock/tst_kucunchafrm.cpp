#include "stock/kucunchafrm.h"
#include "stockscreendriver.h"

class tst_Kucunchafrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void totalsOfTheWholeStock_data();
    void totalsOfTheWholeStock();
    void searchIsEqualityUnlessPatternTyped_data();
    void searchIsEqualityUnlessPatternTyped();
    void allShowsTheWholeStockAgain();
    void searchTextIsNeverSql();

private:
    void showScreen();
    QString rows() const { return m_driver->box("Text2")->text(); }
    QString money() const { return m_driver->box("Text3")->text(); }

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    KucunchaFrm *m_screen = nullptr;
    StockScreenDriver *m_driver = nullptr;
};

void tst_Kucunchafrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
}

void tst_Kucunchafrm::cleanup()
{
    delete m_driver;
    delete m_screen;
    m_driver = nullptr;
    m_screen = nullptr;
    delete m_messages;
    delete m_temp;
}

void tst_Kucunchafrm::showScreen()
{
    m_screen = new KucunchaFrm(m_temp->store());
    m_driver = new StockScreenDriver(m_screen);
}

void tst_Kucunchafrm::totalsOfTheWholeStock_data()
{
    // Per stock row its code and its stock value, Null where absent.
    QTest::addColumn<QVariantList>("codes");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("money");
    QTest::newRow("empty table") << QVariantList{} << QVariantList{} << "0" << "0";
    QTest::newRow("two decimals") << QVariantList{"A", "B"} << QVariantList{1000.25, 234.25}
                                  << "2" << "1234.50";
    QTest::newRow("rounds to cents") << QVariantList{"A"} << QVariantList{0.004} << "1" << "0.00";
    QTest::newRow("no values is bare zero")
        << QVariantList{"A", "B"} << QVariantList{QVariant(), QVariant()} << "2" << "0";
    QTest::newRow("empty code counted, Null not")
        << QVariantList{"", QVariant(), "C"} << QVariantList{1, 2, QVariant()} << "2" << "3.00";
    QTest::newRow("negative, no thousands separator")
        << QVariantList{"A", "B"} << QVariantList{-7.5, 1234567.891} << "2" << "1234560.39";
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
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("库存查询"));
    QCOMPARE(this->rows(), rows);
    QCOMPARE(this->money(), money);
    QCOMPARE(m_driver->listedRows(), codes.size());
    QVERIFY(m_messages->texts.isEmpty());
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
    QTest::newRow("star alone: all but unnamed") << "*" << "4" << "151.40" << 5;
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
    m_driver->search(text);
    QCOMPARE(this->rows(), rows);
    QCOMPARE(this->money(), money);
    QCOMPARE(m_driver->listedRows(), listed);
}

void tst_Kucunchafrm::allShowsTheWholeStockAgain()
{
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                 "('HQ01', '黄芪', 5), (NULL, NULL, 1)");
    showScreen();
    m_driver->search("黄芪");
    QCOMPARE(rows(), QStringLiteral("1"));
    // Totals follow the table only when asked again.
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('GC01', '甘草', 0.5)");
    QCOMPARE(rows(), QStringLiteral("1"));
    m_driver->click("Command2");
    QCOMPARE(rows(), QStringLiteral("3"));
    QCOMPARE(money(), QStringLiteral("31.50"));
    QCOMPARE(m_driver->listedRows(), 4);

    // Enter in the search box searches as the button does.
    m_driver->fill("Text1", "dg01");
    pressEnter(m_driver->box("Text1"));
    QCOMPARE(rows(), QStringLiteral("1"));
    QCOMPARE(m_driver->listedRows(), 1);
}

void tst_Kucunchafrm::searchTextIsNeverSql()
{
    m_temp->exec("INSERT INTO kucun (编号, 品名, 进价金额) VALUES ('DG01', '当归', 25), "
                 "('A%', '百分', 1), ('B_', '下划', 2)");
    showScreen();
    m_driver->search("' or 1=1 or '");
    QCOMPARE(rows(), QStringLiteral("0"));
    QCOMPARE(m_driver->listedRows(), 0);
    m_driver->search("A%");
    QCOMPARE(money(), QStringLiteral("1.00"));
    m_driver->search("%");
    QCOMPARE(rows(), QStringLiteral("0"));
    m_driver->search(QString(300, QLatin1Char('x')));
    QCOMPARE(rows(), QStringLiteral("0"));
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 3);
}

QTEST_MAIN(tst_Kucunchafrm)
#include "tst_kucunchafrm.moc"
