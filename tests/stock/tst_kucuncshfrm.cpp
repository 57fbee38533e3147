#include "shell/datagrid.h"
#include "stock/kucuncshfrm.h"
#include "store/cursor.h"
#include "store/cursormodel.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

class tst_Kucuncshfrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsTheWholeTable();
    void searchTakesWholeCodeOrNameStart_data();
    void searchTakesWholeCodeOrNameStart();
    void addGivesAnEmptyCodeRowReadyForTyping();
    void addAfterSearchJoinsTheList();
    void deleteRemovesOnlyTheChosenRowWithoutAsking();
    void deleteWithoutCurrentRowSaysSo();
    void deleteAllAfterSearchKeepsTheOtherRows();
    void deleteAllAnsweredNoDeletesNothing();
    void deleteAllOnEmptyListAsksNothing();
    void cellEditOfWrongKindIsRefused();

private:
    void showScreen();
    void search(const QString &text);
    void click(const QString &button);
    void chooseRow(int row);
    int storedRows();
    QStringList listedCodes();

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    KucuncshFrm *m_screen = nullptr;
    DataGrid *m_grid = nullptr;
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
    delete m_screen;
    m_screen = nullptr;
    delete m_messages;
    delete m_temp;
}

void tst_Kucuncshfrm::showScreen()
{
    delete m_screen;
    m_screen = new KucuncshFrm(m_temp->store());
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen));
    m_grid = findWidget<DataGrid>(m_screen, "DBGrid1");
}

void tst_Kucuncshfrm::search(const QString &text)
{
    auto *box = findWidget<QLineEdit>(m_screen, "Text1");
    box->clear();
    typeInto(box, text);
    click("Command1");
}

void tst_Kucuncshfrm::click(const QString &button)
{
    QTest::mouseClick(findWidget<QPushButton>(m_screen, button), Qt::LeftButton);
}

void tst_Kucuncshfrm::chooseRow(int row)
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {},
                      m_grid->visualRect(m_grid->model()->index(row, 1)).center());
}

int tst_Kucuncshfrm::storedRows()
{
    return m_temp->scalar("SELECT count(*) FROM kucun").toInt();
}

QStringList tst_Kucuncshfrm::listedCodes()
{
    QStringList codes;
    for (int row = 0; row < m_grid->model()->rowCount(); ++row)
        codes << m_grid->model()->index(row, 0).data().toString();
    return codes;
}

void tst_Kucuncshfrm::loadShowsTheWholeTable()
{
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("库存初始化"));
    QCOMPARE(m_grid->model()->rowCount(), 5);
    QCOMPARE(m_grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("编号"));
}

void tst_Kucuncshfrm::searchTakesWholeCodeOrNameStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("name start") << "当归" << QStringList{"DG01", "DG02"};
    QTest::newRow("whole name") << "黄芪" << QStringList{"HQ01"};
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
    search(text);
    QCOMPARE(listedCodes(), codes);
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(storedRows(), 5);
}

void tst_Kucuncshfrm::addGivesAnEmptyCodeRowReadyForTyping()
{
    click("Command2");
    click("Command2");
    const auto added = m_temp->rows("SELECT 编号, 品名, 库存数量 FROM kucun WHERE rowid > 5");
    QCOMPARE(added.size(), 2);
    for (const QVariantList &row : added) {
        QCOMPARE(row[0].toString(), QString(""));
        QVERIFY(!row[0].isNull());
        QVERIFY(row[1].isNull());
        QVERIFY(row[2].isNull());
    }
    QCOMPARE(m_grid->model()->rowCount(), 7);
    QCOMPARE(m_grid->currentIndex().row(), 6);
    QCOMPARE(m_grid->currentIndex().column(), 0);

    // The user types the code straight away; leaving the screen saves it.
    QTest::keyClick(m_grid, 'C');
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "H01");
    QTest::keyClick(editor, Qt::Key_Return);
    m_screen->close();
    QCOMPARE(m_temp->scalar("SELECT 编号 FROM kucun WHERE rowid = 7").toString(),
             QStringLiteral("CH01"));
}

void tst_Kucuncshfrm::addAfterSearchJoinsTheList()
{
    search("黄芪");
    click("Command2");
    QCOMPARE(listedCodes(), (QStringList{"HQ01", ""}));
    QCOMPARE(storedRows(), 6);
}

void tst_Kucuncshfrm::deleteRemovesOnlyTheChosenRowWithoutAsking()
{
    chooseRow(1);
    click("Command3");
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 编号 = 'DG02'").toInt(), 0);
    QCOMPARE(storedRows(), 4);
    QCOMPARE(listedCodes(), (QStringList{"DG01", "HQ01", "gc01", ""}));
    QVERIFY(m_messages->questions.isEmpty());

    // A second click without choosing again must not take the neighbouring row.
    click("Command3");
    QCOMPARE(storedRows(), 4);
    QCOMPARE(m_messages->texts.size(), 1);
}

void tst_Kucuncshfrm::deleteWithoutCurrentRowSaysSo()
{
    search("没有这种药");
    click("Command3");
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(storedRows(), 5);
}

void tst_Kucuncshfrm::deleteAllAfterSearchKeepsTheOtherRows()
{
    search("当归");
    click("Command4");
    QCOMPARE(m_messages->questions.size(), 1);
    QCOMPARE(m_grid->model()->rowCount(), 0);
    const auto left = m_temp->rows("SELECT 编号 FROM kucun WHERE 编号 IS NOT NULL ORDER BY rowid");
    QCOMPARE(left.size(), 2);
    QCOMPARE(left[0][0].toString(), QStringLiteral("HQ01"));
    QCOMPARE(left[1][0].toString(), QStringLiteral("gc01"));
    QCOMPARE(storedRows(), 3);

    // A row added to the list is part of it, though the search would not find it.
    search("黄芪");
    click("Command2");
    click("Command4");
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun WHERE 编号 = ''").toInt(), 0);
    QCOMPARE(storedRows(), 2);

    // Without a search the whole table goes, the unnamed row included.
    showScreen();
    click("Command4");
    QCOMPARE(storedRows(), 0);
    QCOMPARE(m_grid->model()->rowCount(), 0);
}

void tst_Kucuncshfrm::deleteAllAnsweredNoDeletesNothing()
{
    m_messages->answer = false;
    click("Command4");
    QCOMPARE(m_messages->questions.size(), 1);
    QCOMPARE(storedRows(), 5);
    QCOMPARE(m_grid->model()->rowCount(), 5);
}

void tst_Kucuncshfrm::deleteAllOnEmptyListAsksNothing()
{
    search("没有这种药");
    click("Command4");
    QVERIFY(m_messages->questions.isEmpty());
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(storedRows(), 5);
}

void tst_Kucuncshfrm::cellEditOfWrongKindIsRefused()
{
    const int quantity = m_grid->cursorModel()->cursor()->columnIndex("库存数量");
    const QModelIndex cell = m_grid->model()->index(2, quantity);
    m_grid->setCurrentIndex(cell);
    m_grid->edit(cell);
    auto *editor = m_grid->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    typeKeys(editor, "七斤");
    QTest::keyClick(editor, Qt::Key_Return);
    chooseRow(0);
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY(m_messages->last().contains("库存数量"));
    QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'HQ01'").toDouble(), 7.0);
    QCOMPARE(m_grid->model()->index(2, quantity).data().toString(), QStringLiteral("7"));
}

QTEST_MAIN(tst_Kucuncshfrm)
#include "tst_kucuncshfrm.moc"
