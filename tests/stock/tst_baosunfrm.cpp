#include "shell/datagrid.h"
#include "stock/baosunfrm.h"
#include "store/cursor.h"
#include "store/cursormodel.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>

class tst_Baosunfrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writeOffLowersQuantityAndValue();
    void writeOffOfTheWholeQuantityLeavesZero();
    void writeOffKeepsFractionsClean();
    void refusedWriteOffLeavesTheRow_data();
    void refusedWriteOffLeavesTheRow();
    void writeOffWithoutCurrentRowIsRefused();
    void cellEditPendingOnTheRowCountsFirst();
    void wholeRowWriteOffDeletesOnlyThatRow();
    void searchFindsWholeCodeOrNameStart();

private:
    void search(const QString &text);
    void click(const QString &button);
    void chooseRow(int row);
    void setQuantityText(const QString &text);
    QVariantList stored(const QString &code);
    QString cell(int row, const QString &column);

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    BaosunFrm *m_screen = nullptr;
    DataGrid *m_grid = nullptr;
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
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen));
    m_grid = findWidget<DataGrid>(m_screen, "DBGrid1");
}

void tst_Baosunfrm::cleanup()
{
    delete m_screen;
    delete m_messages;
    delete m_temp;
}

void tst_Baosunfrm::search(const QString &text)
{
    auto *box = findWidget<QLineEdit>(m_screen, "Text1");
    box->clear();
    typeInto(box, text);
    click("Command1");
}

void tst_Baosunfrm::click(const QString &button)
{
    QTest::mouseClick(findWidget<QPushButton>(m_screen, button), Qt::LeftButton);
}

void tst_Baosunfrm::chooseRow(int row)
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {},
                      m_grid->visualRect(m_grid->model()->index(row, 1)).center());
}

void tst_Baosunfrm::setQuantityText(const QString &text)
{
    auto *box = findWidget<QLineEdit>(m_screen, "Text2");
    box->clear();
    typeInto(box, text);
}

QVariantList tst_Baosunfrm::stored(const QString &code)
{
    const auto rows =
        m_temp->rows("SELECT 库存数量, 进价金额 FROM kucun WHERE 编号 = ?", {code});
    return rows.isEmpty() ? QVariantList() : rows.first();
}

QString tst_Baosunfrm::cell(int row, const QString &column)
{
    const int index = m_grid->cursorModel()->cursor()->columnIndex(column);
    return m_grid->model()->index(row, index).data().toString();
}

void tst_Baosunfrm::writeOffLowersQuantityAndValue()
{
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("库存报损"));
    QCOMPARE(findWidget<QLineEdit>(m_screen, "Text2")->text(), QStringLiteral("0"));
    chooseRow(0);
    setQuantityText("4");
    click("Command2");
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(stored("DG01"), (QVariantList{6.0, 15.0}));
    QCOMPARE(cell(0, "库存数量"), QStringLiteral("6"));
    QCOMPARE(cell(0, "进价金额"), QStringLiteral("15"));

    // The quantity stays in the box for the next row; the value is rounded to cents.
    QCOMPARE(findWidget<QLineEdit>(m_screen, "Text2")->text(), QStringLiteral("4"));
    chooseRow(2);
    setQuantityText("1");
    click("Command2");
    QCOMPARE(stored("HQ01"), (QVariantList{2.0, 0.67}));
    QCOMPARE(stored("DG01"), (QVariantList{6.0, 15.0}));
}

void tst_Baosunfrm::writeOffOfTheWholeQuantityLeavesZero()
{
    chooseRow(0);
    setQuantityText("10");
    click("Command2");
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(stored("DG01"), (QVariantList{0.0, 0.0}));
    QCOMPARE(m_grid->model()->rowCount(), 5);
}

void tst_Baosunfrm::writeOffKeepsFractionsClean()
{
    chooseRow(1);
    setQuantityText("0.3");
    click("Command2");
    QCOMPARE(stored("DG02"), (QVariantList{0.2, 0.8}));
    QCOMPARE(cell(1, "库存数量"), QStringLiteral("0.2"));
    // What is left can be written off to the last gram.
    setQuantityText("0.2");
    click("Command2");
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(stored("DG02"), (QVariantList{0.0, 0.0}));
}

void tst_Baosunfrm::refusedWriteOffLeavesTheRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("code");
    QTest::newRow("empty") << 0 << "" << "DG01";
    QTest::newRow("blank") << 0 << "   " << "DG01";
    QTest::newRow("not a number") << 0 << "四斤" << "DG01";
    QTest::newRow("quote") << 0 << "4'" << "DG01";
    QTest::newRow("zero") << 0 << "0" << "DG01";
    QTest::newRow("negative") << 0 << "-2" << "DG01";
    QTest::newRow("more than on hand") << 0 << "10.01" << "DG01";
    QTest::newRow("no purchase price") << 3 << "1" << "WJ01";
    QTest::newRow("no quantity on hand") << 4 << "1" << "WS01";
}

void tst_Baosunfrm::refusedWriteOffLeavesTheRow()
{
    QFETCH(int, row);
    QFETCH(QString, quantity);
    QFETCH(QString, code);
    const QVariantList before = stored(code);
    chooseRow(row);
    setQuantityText(quantity);
    click("Command2");
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(stored(code), before);
    QCOMPARE(m_temp->scalar("SELECT sum(库存数量) FROM kucun").toDouble(), 18.5);
}

void tst_Baosunfrm::writeOffWithoutCurrentRowIsRefused()
{
    search("人参");
    setQuantityText("1");
    click("Command2");
    QCOMPARE(m_messages->texts.size(), 1);
    click("Command3");
    QCOMPARE(m_messages->texts.size(), 2);
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 5);
    QCOMPARE(m_temp->scalar("SELECT sum(库存数量) FROM kucun").toDouble(), 18.5);
}

void tst_Baosunfrm::cellEditPendingOnTheRowCountsFirst()
{
    // The user corrects the stock in the grid and writes off without leaving the row: the
    // write-off works on the corrected quantity and the correction is not lost.
    const int column = m_grid->cursorModel()->cursor()->columnIndex("库存数量");
    const QModelIndex index = m_grid->model()->index(0, column);
    m_grid->setCurrentIndex(index);
    m_grid->edit(index);
    auto *editor = m_grid->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "20");
    QTest::keyClick(editor, Qt::Key_Return);
    setQuantityText("4");
    click("Command2");
    QCOMPARE(stored("DG01"), (QVariantList{16.0, 40.0}));
    chooseRow(1);
    QCOMPARE(stored("DG01"), (QVariantList{16.0, 40.0}));
}

void tst_Baosunfrm::wholeRowWriteOffDeletesOnlyThatRow()
{
    chooseRow(2);
    click("Command3");
    QVERIFY(m_messages->questions.isEmpty());
    QVERIFY(stored("HQ01").isEmpty());
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 4);
    QCOMPARE(m_grid->model()->rowCount(), 4);

    // Nothing is current after the delete, so a second click cannot take a neighbour.
    click("Command3");
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 4);
}

void tst_Baosunfrm::searchFindsWholeCodeOrNameStart()
{
    search("当归");
    QCOMPARE(m_grid->model()->rowCount(), 2);
    search("DG");
    QCOMPARE(m_grid->model()->rowCount(), 0);
    search("dg02");
    QCOMPARE(m_grid->model()->rowCount(), 1);
    chooseRow(0);
    setQuantityText("0.5");
    click("Command2");
    QCOMPARE(stored("DG02"), (QVariantList{0.0, 0.0}));
    QCOMPARE(stored("DG01"), (QVariantList{10.0, 25.0}));
}

QTEST_MAIN(tst_Baosunfrm)
#include "tst_baosunfrm.moc"
