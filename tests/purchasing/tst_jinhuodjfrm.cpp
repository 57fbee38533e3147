#include "purchasing/jinhuodjfrm.h"
#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_JinhuodjFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<JinhuodjFrm> screen; // closed first
    };
    std::unique_ptr<Session> m;

    void open()
    {
        m->screen.reset();
        m->screen = std::make_unique<JinhuodjFrm>(m->temp.store());
        m->screen->show();
        m->screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m->screen.get()));
    }
    QLineEdit *box(const QString &name) { return findWidget<QLineEdit>(m->screen.get(), name); }
    QLineEdit *herb(int index) { return box(QStringLiteral("Text3_%1").arg(index)); }
    QComboBox *combo(const char *name) { return findWidget<QComboBox>(m->screen.get(), name); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(m->screen.get(), name); }
    QWidget *focused() { return QApplication::focusWidget(); }
    void click(const char *name)
    {
        QTest::mouseClick(findWidget<QPushButton>(m->screen.get(), name), Qt::LeftButton);
    }
    void fill(QLineEdit *box, const QString &text)
    {
        box->clear();
        typeInto(box, text);
    }
    // Every box in Enter order: the nine herb boxes, unit, room, supplier, quantity, price, amount.
    QList<QWidget *> entryOrder()
    {
        QList<QWidget *> order;
        for (int index = 0; index < 9; ++index)
            order << herb(index);
        return order << combo("Combo1") << combo("Combo2") << combo("Combo5") << box("Text6")
                     << box("Text7") << box("Text8");
    }
    static QStringList texts(const QList<QWidget *> &widgets)
    {
        QStringList result;
        for (QWidget *widget : widgets) {
            auto *list = qobject_cast<QComboBox *>(widget);
            result << (list ? list->currentText() : qobject_cast<QLineEdit *>(widget)->text());
        }
        return result;
    }
    // Line count and total amount under the grid.
    QStringList totals() { return texts({box("Text4"), box("Text5")}); }
    int pending() { return m->temp.scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(); }
    // Enter in the price computes the amount, Enter in the amount adds the line.
    void addLine(const QString &code, const QString &quantity, const QString &price)
    {
        typeInto(herb(0), code);
        typeInto(box("Text6"), quantity);
        typeInto(box("Text7"), price);
        pressEnter(box("Text7"));
        pressEnter(box("Text8"));
    }

private slots:
    void init()
    {
        m = std::make_unique<Session>();
        m->temp.exec("UPDATE danjuhao SET 进货单号 = 7");
        m->temp.exec("INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家) "
                     "VALUES ('120', '甘草', 'gc', '片', '内蒙', 'B1', 8.5, '公斤', '一号库', '安国'),"
                     " ('121', ' 甘草梢 ', 'gcs', '段', '甘肃', NULL, 12.34, NULL, NULL, ' 亳州药业 '),"
                     " ('210', '干姜', 'gj', '片', '四川', 'J1', 20, '公斤', '二号库', NULL),"
                     " ('300', '黄芪', 'hq', '段', '*', 'H1', NULL, '公斤', '一号库', '*')");
        open();
    }
    void cleanup() { m.reset(); }

    void searchListsUnderTheBox_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("code prefix") << 0 << "12" << QStringList{"120", "121"};
        QTest::newRow("name as stored") << 1 << "甘草" << QStringList{"120"};
        QTest::newRow("pinyin prefix") << 2 << "gc" << QStringList{"120", "121"};
        QTest::newRow("pinyin ignores case") << 2 << "GJ" << QStringList{"210"};
        QTest::newRow("quote is text") << 0 << "1'" << QStringList{};
        QTest::newRow("percent is text") << 0 << "%0" << QStringList{};
    }
    void searchListsUnderTheBox()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QStringList, codes);
        typeInto(herb(index), typed);
        DataGrid *lookup = grid("DBGrid2");
        QVERIFY(lookup->isVisible());
        QStringList listed;
        for (int row = 0; row < lookup->cursor()->count(); ++row)
            listed << lookup->cursor()->valueAt(row, 0).toString();
        QCOMPARE(listed, codes);
        // 6000 twips wide, just below the box; shorter under the pinyin box.
        const QPoint corner = herb(index)->mapTo(m->screen.get(), QPoint(0, 0));
        QCOMPARE(lookup->geometry(), QRect(corner.x(), corner.y() + 20, 400,
                                           (index == 2 ? 800 : 1300) / 15));
        QCOMPARE(lookup->columnWidth(4), 900 / 15);
        QVERIFY(m->messages.texts.isEmpty());

        // Emptying the box lists the whole catalogue; boxes past the third search nothing.
        for (int typedKeys = typed.size(); typedKeys > 0; --typedKeys)
            QTest::keyClick(herb(index), Qt::Key_Backspace);
        QCOMPARE(lookup->cursor()->count(), 4);
        QTest::keyClick(herb(index), Qt::Key_Escape);
        typeInto(herb(3), "1");
        QCOMPARE(lookup->cursor()->count(), 4);
    }

    void picksAndTheRememberedPrice()
    {
        typeInto(herb(4), "old batch");
        typeInto(herb(2), "gc");
        QTest::keyClick(herb(2), Qt::Key_Down);
        DataGrid *lookup = grid("DBGrid2");
        QCOMPARE(focused(), lookup);
        QTest::keyClick(lookup, Qt::Key_Down);
        QTest::keyClick(lookup, Qt::Key_Return);
        // Trimmed; the Null batch leaves the box as it was.
        QCOMPARE(texts(entryOrder().mid(0, 6) << combo("Combo5")),
                 (QStringList{"121", "甘草梢", "gcs", "段", "old batch", "甘肃", "亳州药业"}));
        QVERIFY(!lookup->isVisible());
        QCOMPARE(focused(), herb(3));
        QCOMPARE(lookup->cursor()->count(), 2); // the copy itself searched nothing
        typeInto(box("Text6"), "2");
        click("Command1");

        // Enter in a search box picks the highlighted row but remembers no price.
        typeInto(herb(1), "干");
        pressEnter(herb(1));
        QCOMPARE(texts({herb(0), combo("Combo2")}), (QStringList{"210", "二号库"}));
        QVERIFY(!lookup->isVisible());
        QCOMPARE(focused(), herb(2));
        typeInto(box("Text6"), "1");
        click("Command1");
        click("Command5");
        // Double precision: single precision would store 12.3400001.
        QCOMPARE(m->temp.rows("SELECT 编号, 销价 FROM kucun ORDER BY 编号"),
                 (QList<QVariantList>{{"121", 12.34}, {"210", 12.34}}));
    }

    void amountOnEnterInPrice_data()
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
    void amountOnEnterInPrice()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, amount);
        typeInto(box("Text8"), "old");
        typeInto(box("Text6"), quantity);
        typeInto(box("Text7"), price);
        pressEnter(box("Text7"));
        QCOMPARE(m->messages.texts, amount.isEmpty() ? QStringList{"输入错误"} : QStringList{});
        QCOMPARE(box("Text8")->text(), amount.isEmpty() ? QString("old") : amount);
        QCOMPARE(focused(), box(amount.isEmpty() ? "Text7" : "Text8"));
    }

    void addingLinesAndRefusals()
    {
        m->temp.exec("INSERT INTO danwei VALUES (' 公斤 '), ('克')");
        m->temp.exec("INSERT INTO kufang VALUES ('一号库')");
        m->temp.exec("INSERT INTO changjia (厂家) VALUES ('安国药材'), ('亳州药业')");
        open();
        QCOMPARE(totals(), (QStringList{"0", "0"}));
        QVERIFY(!grid("DBGrid2")->isVisible());
        QCOMPARE(combo("Combo1")->count(), 2);
        QCOMPARE((QStringList{combo("Combo1")->itemText(0), combo("Combo2")->itemText(0),
                              combo("Combo5")->itemText(1)}),
                 (QStringList{"公斤", "一号库", "亳州药业"})); // trimmed

        typeInto(combo("Combo1"), "公斤");
        typeInto(combo("Combo2"), "一号库");
        typeInto(herb(6), "2026-01");
        addLine("X9", "4", "2.5");
        // The line's boxes empty; date, unit, room, amount and number stay.
        QCOMPARE(texts(entryOrder() << box("Text9")),
                 (QStringList{"", "", "", "", "", "", "", "", "2026-12-05", "公斤", "一号库", "",
                              "", "", "10.00", "JH20261205007"}));
        QCOMPARE(focused(), herb(0));
        QCOMPARE(grid("DBGrid1")->currentIndex().row(), 0);
        QCOMPARE(grid("DBGrid2")->cursor()->count(), 0); // emptying the code searched nothing
        QVERIFY(m->messages.texts.isEmpty());

        // A refused line stores nothing, keeps what was typed and focuses the box to mend.
        const QStringList refusals[] = {{"", "3", "2026-12-05", "不能空", "Text3_0"},
                                        {"A1", "", "2026-12-05", "不能空", "Text6"},
                                        {"A1", "3kg", "2026-12-05", "错误！", "Text6"},
                                        {"A1", "3", "明天", "错误！", "Text3_8"}};
        for (const QStringList &refusal : refusals) {
            m->messages.clear();
            fill(herb(0), refusal[0]);
            fill(box("Text6"), refusal[1]);
            fill(herb(8), refusal[2]);
            fill(herb(4), "B7");
            click("Command1");
            QCOMPARE(m->messages.texts, QStringList{refusal[3]});
            QCOMPARE(focused()->objectName(), refusal[4]);
            QCOMPARE(texts({herb(0), box("Text6"), herb(8), herb(4)}), refusal.mid(0, 3) << "B7");
        }
        QCOMPARE(totals(), (QStringList{"1", "10.00"}));
        QCOMPARE(m->temp.rows("SELECT 单据号, 日期, 编号, 品名 IS NULL AND 拼音 IS NULL AND 有效期 "
                              "IS NULL AND 入库 IS NULL, 规格, 产地, 生产日期, 批号, 单位, 数量, "
                              "进价, 金额, 库房, 厂家 FROM jinhuo"),
                 (QList<QVariantList>{{"JH20261205007", "2026-12-05", "X9", 1, "*", "*",
                                       "2026-01", "*", "公斤", 4.0, 2.5, 10.0, "一号库", "*"}}));
    }

    void totalsFollowAddRestartAndDelete()
    {
        addLine("A1", "1", "1000000.5");
        addLine("A2", "1", "234567.39");
        QCOMPARE(totals(), (QStringList{"2", "1234567.89"}));
        // A new session lists and sums the pending lines only.
        m->temp.exec("INSERT INTO jinhuo (编号, 数量, 金额, 入库) VALUES ('OLD', 1, 99, '已入库')");
        open();
        QCOMPARE(grid("DBGrid1")->model()->rowCount(), 2);
        QCOMPARE(totals(), (QStringList{"2", "1234567.89"}));

        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"1", "234567.39"}));
        QCOMPARE(m->temp.rows("SELECT 编号 FROM jinhuo ORDER BY rowid"),
                 (QList<QVariantList>{{"A2"}, {"OLD"}}));
        // With no chosen line delete changes nothing.
        click("Command2");
        QCOMPARE(totals(), (QStringList{"1", "234567.39"}));
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"0", "0"}));
        QCOMPARE(m->temp.scalar("SELECT count(*) FROM jinhuo").toInt(), 1);
        QVERIFY(m->messages.texts.isEmpty());
    }

    void postingFailedKeptAndAdvanced()
    {
        const QColor normal = box("Text9")->palette().color(QPalette::Text);
        QTest::keyClick(herb(0), Qt::Key_F11);
        QCOMPARE(box("Text9")->palette().color(QPalette::Text), QColor(255, 0, 0));
        typeInto(combo("Combo5"), "安国药材");
        addLine("A1", "10", "5");
        addLine("A2", "10", "7");
        // A failed posting is reported and changes nothing, on screen or in the store.
        m->temp.exec("CREATE TRIGGER jinhuo.refuse_last BEFORE UPDATE ON jinhuo "
                     "WHEN NEW.编号 = 'A2' BEGIN SELECT RAISE(ABORT, 'disk gone'); END");
        click("Command5");
        QCOMPARE(m->messages.texts.size(), 1);
        QVERIFY(m->messages.last().startsWith("入库失败"));
        QVERIFY(m->messages.last().contains("disk gone"));
        QCOMPARE(grid("DBGrid1")->model()->rowCount(), 2);
        QCOMPARE(texts({box("Text4"), box("Text5"), box("Text9")}),
                 (QStringList{"2", "120.00", "JH20261205007"}));
        QCOMPARE(pending(), 2);

        m->temp.exec("DROP TRIGGER jinhuo.refuse_last");
        m->messages.clear();
        click("Command5"); // the number is kept: the next posting files under it again
        QCOMPARE(grid("DBGrid1")->model()->rowCount(), 0);
        QCOMPARE(texts({box("Text4"), box("Text5"), box("Text9")}),
                 (QStringList{"0", "0", "JH20261205007"}));
        QTest::keyClick(grid("DBGrid2"), Qt::Key_F12);
        QCOMPARE(box("Text9")->palette().color(QPalette::Text), normal);
        addLine("A3", "1", "1");
        click("Command5");
        QCOMPARE(box("Text9")->text(), QString("JH20261205008"));
        QCOMPARE(m->temp.rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
                 (QList<QVariantList>(2, {"JH20261205007", "2026-12-05", "安国药材"})));
        QCOMPARE(pending(), 0);
        QVERIFY(m->messages.texts.isEmpty());
    }

    void enterAndArrowsWalkTheBoxes()
    {
        const QList<QWidget *> order = entryOrder();
        // Enter walks forward up to the price (Enter there computes the amount); Up walks back.
        order[0]->setFocus();
        for (int i = 0; i + 2 < order.size(); ++i) {
            pressEnter(order[i]);
            QCOMPARE(focused(), order[i + 1]);
        }
        for (int i = order.size() - 1; i > 0; --i) {
            order[i]->setFocus();
            QTest::keyClick(order[i], Qt::Key_Up);
            QCOMPARE(focused(), order[i - 1]);
        }
        // An Up released after the focus moved in does not move on again.
        herb(8)->setFocus();
        QTest::keyPress(combo("Combo1"), Qt::Key_Up);
        QTest::keyRelease(herb(8), Qt::Key_Up);
        QCOMPARE(focused(), herb(8));

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
};

QTEST_MAIN(tst_JinhuodjFrm)
#include "tst_jinhuodjfrm.moc"
