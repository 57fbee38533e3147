#include "stock/baosunfrm.h"
#include "stockscreendriver.h"

class tst_Baosunfrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writeOffLowersQuantityAndValue();
    void writeOffDownToZeroKeepsTheRow();
    void refusedWriteOffLeavesTheRow_data();
    void refusedWriteOffLeavesTheRow();
    void cellEditPendingOnTheRowCountsFirst();
    void wholeRowWriteOffDeletesOnlyThatRow();
    void searchThenWriteOffTheRowFound();

private:
    void writeOff(int row, const QString &quantity);
    QVariantList stored(const QString &code);

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    BaosunFrm *m_screen = nullptr;
    StockScreenDriver *m_driver = nullptr;
};

void tst_Baosunfrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    m_temp->exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价, 进价金额) VALUES "
                 "('DG01', '当归', 10, 2.5, 25), ('DG02', '当归尾', 0.5, 4, 2), "
                 "('HQ01', '黄芪', 3, 0.335, 1.01), ('WJ01', '无价', 5, NULL, NULL), "
                 "('WS01', '无数', NULL, 2, NULL)");
    m_screen = new BaosunFrm(m_temp->store());
    m_driver = new StockScreenDriver(m_screen);
}

void tst_Baosunfrm::cleanup()
{
    delete m_driver;
    delete m_screen;
    delete m_messages;
    delete m_temp;
}

void tst_Baosunfrm::writeOff(int row, const QString &quantity)
{
    m_driver->chooseRow(row);
    m_driver->fill("Text2", quantity);
    m_driver->click("Command2");
}

QVariantList tst_Baosunfrm::stored(const QString &code)
{
    const auto rows = m_temp->rows("SELECT 库存数量, 进价金额 FROM kucun WHERE 编号 = ?", {code});
    return rows.isEmpty() ? QVariantList() : rows.first();
}

void tst_Baosunfrm::writeOffLowersQuantityAndValue()
{
    QCOMPARE(m_driver->box("Text2")->text(), QStringLiteral("0"));
    writeOff(0, "4");
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(stored("DG01"), (QVariantList{6.0, 15.0}));
    QCOMPARE(m_driver->cell(0, "库存数量"), QStringLiteral("6"));
    QCOMPARE(m_driver->cell(0, "进价金额"), QStringLiteral("15"));

    // The quantity stays in the box for the next row; the value is rounded to cents.
    m_driver->chooseRow(2);
    QCOMPARE(m_driver->box("Text2")->text(), QStringLiteral("4"));
    writeOff(2, "1");
    QCOMPARE(stored("HQ01"), (QVariantList{2.0, 0.67}));
    QCOMPARE(stored("DG01"), (QVariantList{6.0, 15.0}));
}

void tst_Baosunfrm::writeOffDownToZeroKeepsTheRow()
{
    writeOff(0, "10");
    QCOMPARE(stored("DG01"), (QVariantList{0.0, 0.0}));
    // Fractions leave no binary remainder that would block the last write-off.
    writeOff(1, "0.3");
    QCOMPARE(stored("DG02"), (QVariantList{0.2, 0.8}));
    QCOMPARE(m_driver->cell(1, "库存数量"), QStringLiteral("0.2"));
    writeOff(1, "0.2");
    QCOMPARE(stored("DG02"), (QVariantList{0.0, 0.0}));
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(m_driver->listedRows(), 5);
}

void tst_Baosunfrm::refusedWriteOffLeavesTheRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("quantity");
    QTest::newRow("empty") << 0 << "";
    QTest::newRow("not a number") << 0 << "四斤";
    QTest::newRow("quote") << 0 << "4'";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("negative") << 0 << "-2";
    QTest::newRow("more than on hand") << 0 << "10.01";
    QTest::newRow("no purchase price") << 3 << "1";
    QTest::newRow("no quantity on hand") << 4 << "1";
}

void tst_Baosunfrm::refusedWriteOffLeavesTheRow()
{
    QFETCH(int, row);
    QFETCH(QString, quantity);
    const QString sql = "SELECT 编号, 库存数量, 进价金额 FROM kucun ORDER BY rowid";
    const auto before = m_temp->rows(sql);
    writeOff(row, quantity);
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(m_temp->rows(sql), before);

    // Without a current row neither button acts.
    m_driver->search("人参");
    m_driver->fill("Text2", "1");
    m_driver->click("Command2");
    m_driver->click("Command3");
    QCOMPARE(m_messages->texts.size(), 3);
    QCOMPARE(m_temp->rows(sql), before);
}

void tst_Baosunfrm::cellEditPendingOnTheRowCountsFirst()
{
    // The user corrects the stock in the grid and writes off without leaving the row: the
    // write-off works on the corrected quantity and the correction is not lost.
    m_driver->editCell(0, "库存数量", "20");
    m_driver->fill("Text2", "4");
    m_driver->click("Command2");
    QCOMPARE(stored("DG01"), (QVariantList{16.0, 40.0}));
    m_driver->chooseRow(1);
    QCOMPARE(stored("DG01"), (QVariantList{16.0, 40.0}));
}

void tst_Baosunfrm::wholeRowWriteOffDeletesOnlyThatRow()
{
    m_driver->chooseRow(2);
    m_driver->click("Command3");
    QVERIFY(m_messages->questions.isEmpty());
    QVERIFY(stored("HQ01").isEmpty());
    QCOMPARE(m_driver->listedCodes(), (QStringList{"DG01", "DG02", "WJ01", "WS01"}));

    // Nothing is current after the delete, so a second click cannot take a neighbour.
    m_driver->click("Command3");
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 4);
}

void tst_Baosunfrm::searchThenWriteOffTheRowFound()
{
    m_driver->search("当归");
    QCOMPARE(m_driver->listedCodes(), (QStringList{"DG01", "DG02"}));
    m_driver->search("DG");
    QCOMPARE(m_driver->listedRows(), 0);
    m_driver->search("dg02");
    writeOff(0, "0.5");
    QCOMPARE(stored("DG02"), (QVariantList{0.0, 0.0}));
    QCOMPARE(stored("DG01"), (QVariantList{10.0, 25.0}));
}

QTEST_MAIN(tst_Baosunfrm)
#include "tst_baosunfrm.moc"
