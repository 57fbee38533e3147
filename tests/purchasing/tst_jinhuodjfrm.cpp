#include "purchasing/jinhuodjfrm.h"
#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_JinhuodjFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsNumberDateTotalsAndChoices();
    void searchListsUnderTheBox_data();
    void searchListsUnderTheBox();
    void emptiedBoxListsTheWholeCatalogue();
    void picksAndTheRememberedPrice();
    void amountOnEnterInPrice_data();
    void amountOnEnterInPrice();
    void addedLineStoresStarsAndKeepsDeliveryBoxes();
    void refusedLineKeepsWhatWasTyped_data();
    void refusedLineKeepsWhatWasTyped();
    void totalsFollowAddAndDelete();
    void pendingLinesSurviveARestart();
    void postingWithAndWithoutKeptNumber();
    void failedPostingIsReportedAndChangesNothing();
    void enterAndArrowsWalkTheBoxes();

private:
    void open();
    QLineEdit *box(const QString &name) { return findWidget<QLineEdit>(m_screen.get(), name); }
    QLineEdit *herbBox(int index) { return box(QStringLiteral("Text3_%1").arg(index)); }
    QComboBox *combo(const char *name) { return findWidget<QComboBox>(m_screen.get(), name); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(m_screen.get(), name); }
    QPushButton *button(const char *name) { return findWidget<QPushButton>(m_screen.get(), name); }
    int gridRows(const char *name) { return grid(name)->model()->rowCount(); }
    void addLine(const QString &code, const QString &quantity, const QString &price);
    QWidget *focused() { return QApplication::focusWidget(); }
    int pendingCount()
    {
        return m_temp->scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt();
    }

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    FixedToday *m_today = nullptr;
    std::unique_ptr<JinhuodjFrm> m_screen;
};

void tst_JinhuodjFrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    m_today = new FixedToday(QDate(2026, 12, 5));
    m_temp->exec("UPDATE danjuhao SET 进货单号 = 7");
    const QString herb = "INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, "
                         "厂家) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    m_temp->exec(herb, {"120", "甘草", "gc", "片", "内蒙", "B1", 8.5, "公斤", "一号库", "安国药材"});
    m_temp->exec(herb, {"121", " 甘草梢 ", "gcs", "段", "甘肃", QVariant(), 12.34, QVariant(),
                        QVariant(), " 亳州药业 "});
    m_temp->exec(herb, {"210", "干姜", "gj", "片", "四川", "J1", 20, "公斤", "二号库", QVariant()});
    m_temp->exec(herb, {"300", "黄芪", "hq", "段", "*", "H1", QVariant(), "公斤", "一号库", "*"});
}

void tst_JinhuodjFrm::cleanup()
{
    m_screen.reset();
    delete m_today;
    delete m_messages;
    delete m_temp;
}

void tst_JinhuodjFrm::open()
{
    m_screen = std::make_unique<JinhuodjFrm>(m_temp->store());
    m_screen->show();
    m_screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
}

// Types a line's code, quantity and price and adds it with Enter, the amount computed on the way.
void tst_JinhuodjFrm::addLine(const QString &code, const QString &quantity, const QString &price)
{
    typeInto(herbBox(0), code);
    typeInto(box("Text6"), quantity);
    typeInto(box("Text7"), price);
    pressEnter(box("Text7"));
    pressEnter(box("Text8"));
}

void tst_JinhuodjFrm::loadShowsNumberDateTotalsAndChoices()
{
    m_temp->exec("INSERT INTO danwei VALUES (' 公斤 '), ('克')");
    m_temp->exec("INSERT INTO kufang VALUES ('一号库')");
    m_temp->exec("INSERT INTO changjia (厂家) VALUES ('安国药材'), ('亳州药业')");
    open();
    QCOMPARE(box("Text9")->text(), QString("JH20261205007"));
    QCOMPARE(herbBox(8)->text(), QString("2026-12-05"));
    QCOMPARE(box("Text4")->text(), QString("0"));
    QCOMPARE(box("Text5")->text(), QString("0"));
    QCOMPARE(gridRows("DBGrid1"), 0);
    QVERIFY(!grid("DBGrid2")->isVisible());
    QVERIFY(!button("Command3")->isEnabled());
    QCOMPARE(combo("Combo1")->count(), 2);
    QCOMPARE(combo("Combo1")->itemText(0), QString("公斤"));
    QCOMPARE(combo("Combo2")->itemText(0), QString("一号库"));
    QCOMPARE(combo("Combo5")->itemText(1), QString("亳州药业"));
    QVERIFY(combo("Combo5")->currentText().isEmpty());
    // Loading consumes no number.
    QCOMPARE(m_temp->scalar("SELECT 进货单号 FROM danjuhao").toDouble(), 7.0);
}

void tst_JinhuodjFrm::searchListsUnderTheBox_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("heightTwips");

    QTest::newRow("code prefix") << 0 << "12" << QStringList{"120", "121"} << 1300;
    QTest::newRow("name as stored") << 1 << "甘草" << QStringList{"120"} << 1300;
    QTest::newRow("pinyin prefix") << 2 << "gc" << QStringList{"120", "121"} << 800;
    QTest::newRow("pinyin ignores case") << 2 << "GJ" << QStringList{"210"} << 800;
    QTest::newRow("quote is text") << 0 << "1'" << QStringList{} << 1300;
    QTest::newRow("percent is text") << 0 << "%0" << QStringList{} << 1300;
}

void tst_JinhuodjFrm::searchListsUnderTheBox()
{
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    QFETCH(int, heightTwips);
    open();
    typeInto(herbBox(index), typed);

    DataGrid *lookup = grid("DBGrid2");
    QVERIFY(lookup->isVisible());
    QStringList listed;
    for (int row = 0; row < lookup->cursor()->count(); ++row)
        listed << lookup->cursor()->valueAt(row, 0).toString();
    QCOMPARE(listed, codes);
    const QPoint boxCorner = herbBox(index)->mapTo(m_screen.get(), QPoint(0, 0));
    QCOMPARE(lookup->geometry(), QRect(boxCorner.x(), boxCorner.y() + 300 / 15, 6000 / 15,
                                       heightTwips / 15));
    QCOMPARE(lookup->columnWidth(4), 900 / 15);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuodjFrm::emptiedBoxListsTheWholeCatalogue()
{
    open();
    typeInto(herbBox(0), "21");
    QCOMPARE(gridRows("DBGrid2"), 1);
    QTest::keyClick(herbBox(0), Qt::Key_Backspace);
    QTest::keyClick(herbBox(0), Qt::Key_Backspace);
    QCOMPARE(gridRows("DBGrid2"), 4);
    // Boxes below the first three search nothing.
    QTest::keyClick(herbBox(0), Qt::Key_Escape);
    typeInto(herbBox(3), "1");
    QCOMPARE(gridRows("DBGrid2"), 4);
}

void tst_JinhuodjFrm::picksAndTheRememberedPrice()
{
    open();
    typeInto(herbBox(4), "old batch");
    typeInto(herbBox(2), "gc");
    QTest::keyClick(herbBox(2), Qt::Key_Down);
    DataGrid *lookup = grid("DBGrid2");
    QCOMPARE(focused(), lookup);
    QTest::keyClick(lookup, Qt::Key_Down);
    QTest::keyClick(lookup, Qt::Key_Return);

    const QStringList copied = {herbBox(0)->text(), herbBox(1)->text(), herbBox(2)->text(),
                                herbBox(3)->text(), herbBox(4)->text(), herbBox(5)->text(),
                                combo("Combo5")->currentText()};
    // Trimmed; the Null batch leaves the box as it was.
    QCOMPARE(copied, (QStringList{"121", "甘草梢", "gcs", "段", "old batch", "甘肃", "亳州药业"}));
    QVERIFY(!lookup->isVisible());
    QCOMPARE(focused(), herbBox(3));
    QCOMPARE(lookup->cursor()->count(), 2); // the copy itself searched nothing
    typeInto(box("Text6"), "2");
    QTest::mouseClick(button("Command1"), Qt::LeftButton);

    // Enter in a search box picks the highlighted row but remembers no price.
    typeInto(herbBox(1), "干");
    pressEnter(herbBox(1));
    QCOMPARE(herbBox(0)->text(), QString("210"));
    QCOMPARE(combo("Combo2")->currentText(), QString("二号库"));
    QVERIFY(!lookup->isVisible());
    QCOMPARE(focused(), herbBox(2));
    typeInto(box("Text6"), "1");
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    QTest::mouseClick(button("Command5"), Qt::LeftButton);

    // Double precision: single precision would store 12.3400001.
    QCOMPARE(m_temp->rows("SELECT 编号, 销价 FROM kucun ORDER BY 编号"),
             (QList<QVariantList>{{"121", 12.34}, {"210", 12.34}}));
}

void tst_JinhuodjFrm::amountOnEnterInPrice_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("amount"); // empty: refused

    QTest::newRow("quantity times price") << "3" << "2.5" << "7.50";
    QTest::newRow("exact cents") << "1" << "1234567.89" << "1234567.89";
    QTest::newRow("rounded to cents") << "3" << "0.333" << "1.00";
    QTest::newRow("quantity not a number") << "abc" << "2" << "";
    QTest::newRow("price missing") << "3" << "" << "";
}

void tst_JinhuodjFrm::amountOnEnterInPrice()
{
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QString, amount);
    open();
    typeInto(box("Text8"), "old");
    typeInto(box("Text6"), quantity);
    typeInto(box("Text7"), price);
    pressEnter(box("Text7"));
    if (amount.isEmpty()) {
        QCOMPARE(m_messages->texts, QStringList{"输入错误"});
        QCOMPARE(box("Text8")->text(), QString("old"));
        QCOMPARE(focused(), box("Text7"));
    } else {
        QVERIFY(m_messages->texts.isEmpty());
        QCOMPARE(box("Text8")->text(), amount);
        QCOMPARE(focused(), box("Text8"));
    }
}

void tst_JinhuodjFrm::addedLineStoresStarsAndKeepsDeliveryBoxes()
{
    open();
    typeInto(combo("Combo1"), "公斤");
    typeInto(combo("Combo2"), "一号库");
    typeInto(herbBox(6), "2026-01");
    addLine("X9", "4", "2.5");
    QVERIFY(m_messages->texts.isEmpty());

    const auto rows = m_temp->rows(
        "SELECT 单据号, 日期, 编号, 品名 IS NULL AND 拼音 IS NULL AND 有效期 IS NULL AND 入库 IS NULL, "
        "规格, 产地, 生产日期, 批号, 单位, 数量, 进价, 金额, 库房, 厂家 FROM jinhuo");
    QCOMPARE(rows, (QList<QVariantList>{{"JH20261205007", "2026-12-05", "X9", 1, "*", "*",
                                         "2026-01", "*", "公斤", 4.0, 2.5, 10.0, "一号库", "*"}}));

    QStringList emptied;
    for (int index = 0; index < 8; ++index)
        emptied << herbBox(index)->text();
    emptied << box("Text6")->text() << box("Text7")->text();
    QCOMPARE(emptied, QStringList(10, QString()));
    const QStringList kept = {herbBox(8)->text(), combo("Combo1")->currentText(),
                              combo("Combo2")->currentText(), box("Text8")->text(),
                              box("Text9")->text()};
    QCOMPARE(kept, (QStringList{"2026-12-05", "公斤", "一号库", "10.00", "JH20261205007"}));
    QCOMPARE(focused(), herbBox(0));
    QCOMPARE(grid("DBGrid1")->currentIndex().row(), 0);
    // Emptying the code box from the program searched nothing: the grid still lists "X9".
    QCOMPARE(grid("DBGrid2")->cursor()->count(), 0);
}

void tst_JinhuodjFrm::refusedLineKeepsWhatWasTyped_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focusBox");

    QTest::newRow("no code") << "" << "3" << "2026-12-05" << "不能空" << "Text3_0";
    QTest::newRow("no quantity") << "A1" << "" << "2026-12-05" << "不能空" << "Text6";
    QTest::newRow("quantity not a number") << "A1" << "3kg" << "2026-12-05" << "错误！"
                                           << "Text6";
    QTest::newRow("date not a date") << "A1" << "3" << "明天" << "错误！" << "Text3_8";
}

void tst_JinhuodjFrm::refusedLineKeepsWhatWasTyped()
{
    QFETCH(QString, code);
    QFETCH(QString, quantity);
    QFETCH(QString, date);
    QFETCH(QString, message);
    QFETCH(QString, focusBox);
    open();
    addLine("OK1", "1", "5");
    herbBox(8)->clear();
    typeInto(herbBox(8), date);
    typeInto(herbBox(4), "B7");
    typeInto(herbBox(0), code);
    typeInto(box("Text6"), quantity);
    QTest::mouseClick(button("Command1"), Qt::LeftButton);

    QCOMPARE(m_messages->texts, QStringList{message});
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM jinhuo").toInt(), 1);
    QCOMPARE(box("Text4")->text(), QString("1"));
    QCOMPARE(box("Text5")->text(), QString("5.00"));
    QCOMPARE(herbBox(0)->text(), code);
    QCOMPARE(herbBox(4)->text(), QString("B7"));
    QCOMPARE(box("Text6")->text(), quantity);
    QCOMPARE(focused()->objectName(), focusBox);
}

void tst_JinhuodjFrm::totalsFollowAddAndDelete()
{
    open();
    addLine("A1", "1", "1000000.5");
    addLine("A2", "1", "234567.39");
    QCOMPARE(box("Text4")->text(), QString("2"));
    QCOMPARE(box("Text5")->text(), QString("1234567.89"));

    grid("DBGrid1")->selectRow(0);
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(box("Text4")->text(), QString("1"));
    QCOMPARE(box("Text5")->text(), QString("234567.39"));
    QCOMPARE(m_temp->scalar("SELECT 编号 FROM jinhuo").toString(), QString("A2"));

    // With no chosen line delete changes nothing.
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(box("Text4")->text(), QString("1"));
    QCOMPARE(pendingCount(), 1);

    grid("DBGrid1")->selectRow(0);
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(box("Text4")->text(), QString("0"));
    QCOMPARE(box("Text5")->text(), QString("0"));
    QCOMPARE(pendingCount(), 0);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuodjFrm::pendingLinesSurviveARestart()
{
    m_temp->exec("INSERT INTO jinhuo (编号, 数量, 金额, 入库) VALUES ('OLD', 1, 99, '已入库')");
    open();
    addLine("A1", "2", "0.05");
    addLine("A2", "1", "1234567.79");
    m_screen.reset();

    open();
    QCOMPARE(gridRows("DBGrid1"), 2);
    QCOMPARE(box("Text4")->text(), QString("2"));
    QCOMPARE(box("Text5")->text(), QString("1234567.89"));
}

void tst_JinhuodjFrm::postingWithAndWithoutKeptNumber()
{
    open();
    const QColor normal = box("Text9")->palette().color(QPalette::Text);
    QTest::keyClick(herbBox(0), Qt::Key_F11);
    QCOMPARE(box("Text9")->palette().color(QPalette::Text), QColor(255, 0, 0));
    typeInto(combo("Combo5"), "安国药材");
    addLine("A1", "10", "5");
    addLine("A2", "10", "7");
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    QCOMPARE(gridRows("DBGrid1"), 0);
    QCOMPARE(box("Text4")->text(), QString("0"));
    QCOMPARE(box("Text5")->text(), QString("0"));
    QCOMPARE(box("Text9")->text(), QString("JH20261205007"));
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 2);

    QTest::keyClick(grid("DBGrid2"), Qt::Key_F12);
    QCOMPARE(box("Text9")->palette().color(QPalette::Text), normal);
    addLine("A3", "1", "1");
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    QCOMPARE(box("Text9")->text(), QString("JH20261205008"));
    QCOMPARE(m_temp->scalar("SELECT 进货单号 FROM danjuhao").toDouble(), 8.0);
    QCOMPARE(m_temp->rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
             (QList<QVariantList>{{"JH20261205007", "2026-12-05", "安国药材"},
                                  {"JH20261205007", "2026-12-05", "安国药材"}}));
    QCOMPARE(pendingCount(), 0);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_JinhuodjFrm::failedPostingIsReportedAndChangesNothing()
{
    open();
    addLine("A1", "1", "2");
    addLine("A2", "1", "3");
    m_temp->exec("CREATE TRIGGER jinhuo.refuse_last BEFORE UPDATE ON jinhuo "
                 "WHEN NEW.编号 = 'A2' BEGIN SELECT RAISE(ABORT, 'disk gone'); END");
    QTest::mouseClick(button("Command5"), Qt::LeftButton);

    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY(m_messages->last().startsWith("入库失败"));
    QVERIFY(m_messages->last().contains("disk gone"));
    QCOMPARE(gridRows("DBGrid1"), 2);
    QCOMPARE(box("Text4")->text(), QString("2"));
    QCOMPARE(box("Text5")->text(), QString("5.00"));
    QCOMPARE(box("Text9")->text(), QString("JH20261205007"));
    QCOMPARE(pendingCount(), 2);
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 0);
    QCOMPARE(m_temp->scalar("SELECT count(*) FROM huodan").toInt(), 0);
}

void tst_JinhuodjFrm::enterAndArrowsWalkTheBoxes()
{
    open();
    const QList<QWidget *> order = {herbBox(0), herbBox(1), herbBox(2), herbBox(3),
                                    herbBox(4), herbBox(5), herbBox(6), herbBox(7),
                                    herbBox(8), combo("Combo1"), combo("Combo2"),
                                    combo("Combo5"), box("Text6"), box("Text7")};
    herbBox(0)->setFocus();
    for (int i = 0; i + 1 < order.size(); ++i) {
        pressEnter(order[i]);
        QCOMPARE(focused(), order[i + 1]);
    }

    for (int index = 8; index > 0; --index) {
        herbBox(index)->setFocus();
        QTest::keyClick(herbBox(index), Qt::Key_Up);
        QCOMPARE(focused(), herbBox(index - 1));
    }
    const QList<QPair<QWidget *, QWidget *>> upMoves = {
        {combo("Combo1"), herbBox(8)}, {combo("Combo2"), combo("Combo1")},
        {combo("Combo5"), combo("Combo2")}, {box("Text6"), combo("Combo5")},
        {box("Text7"), box("Text6")}, {box("Text8"), box("Text7")}};
    for (const auto &[from, to] : upMoves) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Up);
        QCOMPARE(focused(), to);
    }
    // An Up released after the focus moved in does not move on again.
    herbBox(8)->setFocus();
    QTest::keyPress(combo("Combo1"), Qt::Key_Up);
    QTest::keyRelease(herbBox(8), Qt::Key_Up);
    QCOMPARE(focused(), herbBox(8));

    // While Space has opened a list, Up stays in it; Enter closes the matter and moves on.
    QComboBox *rooms = combo("Combo2");
    rooms->setFocus();
    QTest::keyClick(rooms, Qt::Key_Space);
    rooms->hidePopup();
    QTest::keyClick(rooms, Qt::Key_Up);
    QCOMPARE(focused(), rooms);
    pressEnter(rooms);
    QTest::keyClick(combo("Combo5"), Qt::Key_Up);
    QCOMPARE(focused(), rooms);
}

QTEST_MAIN(tst_JinhuodjFrm)
#include "tst_jinhuodjfrm.moc"
