#include "stock/kucuncshfrm.h"
#include "stockscreendriver.h"

#include <QApplication>

class tst_Kucuncshfrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void searchTakesWholeCodeOrNameStart_data();
    void searchTakesWholeCodeOrNameStart();
    void addGivesAnEmptyCodeRowReadyForTyping();
    void deleteRemovesOnlyTheChosenRowWithoutAsking();
    void deleteAllTakesTheListedRowsAfterAsking();
    void deleteAllAnsweredNoOrOnEmptyListDeletesNothing();
    void cellEditOfWrongKindIsRefused();

private:
    void showScreen();
    int storedRows() { return m_temp->scalar("SELECT count(*) FROM kucun").toInt(); }

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    KucuncshFrm *m_screen = nullptr;
    StockScreenDriver *m_driver = nullptr;
};

void tst_Kucuncshfrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    m_temp->exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价) VALUES "
                 "('DG01', '当归', 10, 2.5), ('DG02', '当归尾', 4, 3), ('HQ01', '黄芪', 7, 1.2), "
                 "('gc01', '甘草', 1, 1), (NULL, NULL, 2, 2)");
    showScreen();
}

void tst_Kucuncshfrm::cleanup()
{
    delete m_driver;
    delete m_screen;
    m_driver = nullptr;
    m_screen = nullptr;
    delete m_messages;
    delete m_temp;
}

void tst_Kucuncshfrm::showScreen()
{
    delete m_driver;
    delete m_screen;
    m_screen = new KucuncshFrm(m_temp->store());
    m_driver = new StockScreenDriver(m_screen);
}

void tst_Kucuncshfrm::searchTakesWholeCodeOrNameStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("name start") << "当归" << QStringList{"DG01", "DG02"};
    QTest::newRow("code start finds nothing") << "DG" << QStringList{};
    QTest::newRow("whole code, other case") << "GC01" << QStringList{"gc01"};
    QTest::newRow("typed pattern") << "DG*" << QStringList{"DG01", "DG02"};
    QTest::newRow("empty lists named rows") << "" << QStringList{"DG01", "DG02", "HQ01", "gc01"};
    QTest::newRow("quote is plain text") << "当归' or '1'='1" << QStringList{};
    QTest::newRow("percent is plain text") << "%" << QStringList{};
}

void tst_Kucuncshfrm::searchTakesWholeCodeOrNameStart()
{
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    QCOMPARE(m_driver->listedRows(), 5);
    m_driver->search(text);
    QCOMPARE(m_driver->listedCodes(), codes);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_Kucuncshfrm::addGivesAnEmptyCodeRowReadyForTyping()
{
    m_driver->click("Command2");
    m_driver->click("Command2");
    const auto added = m_temp->rows("SELECT 编号, 品名 FROM kucun WHERE rowid > 5");
    QCOMPARE(added.size(), 2);
    for (const QVariantList &row : added) {
        QVERIFY(!row[0].isNull());
        QCOMPARE(row[0].toString(), QString(""));
        QVERIFY(row[1].isNull());
    }
    QCOMPARE(m_driver->grid()->currentIndex(), m_driver->grid()->model()->index(6, 0));

    // The user types the code straight away; leaving the screen saves it.
    QTest::keyClick(m_driver->grid(), 'C');
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "H01");
    QTest::keyClick(editor, Qt::Key_Return);
    m_screen->close();
    QCOMPARE(m_temp->scalar("SELECT 编号 FROM kucun WHERE rowid = 7").toString(),
             QStringLiteral("CH01"));

    // After a search the new row joins the rows found.
    showScreen();
    m_driver->search("黄芪");
    m_driver->click("Command2");
    QCOMPARE(m_driver->listedCodes(), (QStringList{"HQ01", ""}));
}

void tst_Kucuncshfrm::deleteRemovesOnlyTheChosenRowWithoutAsking()
{
    m_driver->chooseRow(1);
    m_driver->click("Command3");
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 编号 = 'DG02'").toInt(), 0);
    QCOMPARE(m_driver->listedCodes(), (QStringList{"DG01", "HQ01", "gc01", ""}));
    QVERIFY(m_messages->questions.isEmpty());

    // A second click without choosing again must not take the neighbouring row.
    m_driver->click("Command3");
    QCOMPARE(storedRows(), 4);
    QCOMPARE(m_messages->texts.size(), 1);

    m_driver->search("没有这种药");
    m_driver->click("Command3");
    QCOMPARE(m_messages->texts.size(), 2);
    QCOMPARE(storedRows(), 4);
}

void tst_Kucuncshfrm::deleteAllTakesTheListedRowsAfterAsking()
{
    m_driver->search("当归");
    m_driver->click("Command4");
    QCOMPARE(m_messages->questions.size(), 1);
    QCOMPARE(m_driver->listedRows(), 0);
    QCOMPARE(m_temp->rows("SELECT 编号 FROM kucun WHERE 编号 IS NOT NULL ORDER BY rowid"),
             (QList<QVariantList>{{"HQ01"}, {"gc01"}}));

    // A row added to the list is part of it, though the search would not find it.
    m_driver->search("黄芪");
    m_driver->click("Command2");
    m_driver->click("Command4");
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 编号 = ''").toInt(), 0);
    QCOMPARE(storedRows(), 2);

    // Without a search the whole table goes, the unnamed row included.
    showScreen();
    m_driver->click("Command4");
    QCOMPARE(storedRows(), 0);
    QCOMPARE(m_driver->listedRows(), 0);
}

void tst_Kucuncshfrm::deleteAllAnsweredNoOrOnEmptyListDeletesNothing()
{
    m_messages->answer = false;
    m_driver->click("Command4");
    QCOMPARE(m_messages->questions.size(), 1);
    QCOMPARE(storedRows(), 5);
    QCOMPARE(m_driver->listedRows(), 5);

    m_messages->answer = true;
    m_driver->search("没有这种药");
    m_driver->click("Command4");
    QCOMPARE(m_messages->questions.size(), 1);
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(storedRows(), 5);
}

void tst_Kucuncshfrm::cellEditOfWrongKindIsRefused()
{
    m_driver->editCell(2, "库存数量", "七斤");
    m_driver->chooseRow(0);
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY(m_messages->last().contains("库存数量"));
    QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'HQ01'").toDouble(), 7.0);
    QCOMPARE(m_driver->cell(2, "库存数量"), QStringLiteral("7"));
}

QTEST_MAIN(tst_Kucuncshfrm)
#include "tst_kucuncshfrm.moc"
