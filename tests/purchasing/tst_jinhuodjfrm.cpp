#include "purchasing/jinhuodjfrm.h"
#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
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
        m->screen = std::make_unique<JinhuodjFrm>(m->temp.store());
        m->screen->show();
        m->screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m->screen.get()));
    }
    QLineEdit *box(const QString &name) { return findWidget<QLineEdit>(m->screen.get(), name); }
    QLineEdit *herb(int index) { return box(QStringLiteral("Text3_%1").arg(index)); }
    QComboBox *combo(const char *name) { return findWidget<QComboBox>(m->screen.get(), name); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(m->screen.get(), name); }
    QPushButton *button(const char *name) { return findWidget<QPushButton>(m->screen.get(), name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QWidget *focused() { return QApplication::focusWidget(); }
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
        for (QWidget *w : widgets)
            result << w->property(w->inherits("QComboBox") ? "currentText" : "text").toString();
        return result;
    }
    // Line count and total amount under the grid, the document number, the lines listed.
    QStringList totals()
    {
        return texts({box("Text4"), box("Text5"), box("Text9")})
               << QString::number(grid("DBGrid1")->model()->rowCount());
    }
    int pending() { return m->temp.scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(); }
    // The catalogue rows the drop-down lists.
    int listed() { return grid("DBGrid2")->cursor()->count(); }
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
        m->temp.exec("INSERT INTO kufang VALUES ('一号库'), ('二号库')");
        m->temp.exec("INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家) "
                     "VALUES ('120', '甘草', 'gc', '片', '内蒙', 'B1', 8.5, '公斤', '一号库', '安国'),"
                     " ('121', ' 甘草梢 ', 'gcs', '段', '甘肃', NULL, 12.34, NULL, NULL, ' 亳州药业 '),"
                     " ('210', '干姜', 'gj', '片', '四川', 'J1', 20, '公斤', '二号库', NULL)");
        open();
    }
    void cleanup() { m.reset(); }

    void searchPickAndTheRememberedPrice()
    {
        QCOMPARE(focused(), herb(0)); // the herb comes first, not the document number
        // The first three boxes list the rows whose code, name or pinyin begins so.
        typeInto(herb(0), "1");
        QCOMPARE(listed(), 2);
        // Emptied, a box lists the whole catalogue; past the third box nothing is searched; a
        // quote is only text.
        QTest::keyClick(herb(0), Qt::Key_Backspace);
        QCOMPARE(listed(), 3);
        typeInto(herb(3), "1");
        QCOMPARE(listed(), 3);
        typeInto(herb(0), "1'");
        QCOMPARE(listed(), 0);
        typeInto(herb(4), "old batch");
        typeInto(herb(2), "gc");

        // Down enters the list; Enter there copies the row, trimmed; a Null batch leaves the
        // box as it was.
        QTest::keyClick(herb(2), Qt::Key_Down);
        QCOMPARE(focused(), grid("DBGrid2"));
        QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
        QTest::keyClick(grid("DBGrid2"), Qt::Key_Return);
        QCOMPARE(texts(entryOrder().mid(0, 6) << combo("Combo5")),
                 (QStringList{"121", "甘草梢", "gcs", "段", "old batch", "甘肃", "亳州药业"}));
        QVERIFY(!grid("DBGrid2")->isVisible());
        QCOMPARE(focused(), herb(3));
        QCOMPARE(listed(), 2); // "gc" listed two; the copy itself searched nothing
        typeInto(box("Text6"), "2");
        click("Command1");

        // Enter in a search box picks the highlighted row but remembers no price.
        typeInto(herb(1), "干");
        pressEnter(herb(1));
        QCOMPARE(texts({herb(0), combo("Combo2")}), (QStringList{"210", "二号库"}));
        QCOMPARE(focused(), herb(2));
        typeInto(box("Text6"), "1");
        click("Command1");
        click("Command5");
        // Double precision: single precision would store 12.3400001.
        QCOMPARE(m->temp.rows("SELECT 编号, 销价 FROM kucun ORDER BY 编号"),
                 (QList<QVariantList>{{"121", 12.34}, {"210", 12.34}}));
    }

    void addingLinesKeysAndRefusals()
    {
        typeInto(combo("Combo1"), "公斤");
        typeInto(combo("Combo2"), "一号库");
        typeInto(herb(6), "2026-01");
        addLine("X9", "4", "2.5");
        // The line's boxes empty; date, unit, room, amount and number stay.
        QCOMPARE(texts(entryOrder() << box("Text9")),
                 (QStringList{"", "", "", "", "", "", "", "", "2026-12-05", "公斤", "一号库", "",
                              "", "", "10.00", "JH20261205007"}));
        QCOMPARE(focused(), herb(0));
        QCOMPARE(listed(), 0); // emptying the code searched nothing

        // Up walks back and Enter forward through every box, except that Enter in the price
        // computes the amount: refused here for want of a quantity, it keeps amount and focus.
        const QList<QWidget *> order = entryOrder();
        for (int i = 1; i < order.size(); ++i) {
            order[i]->setFocus();
            QTest::keyClick(order[i], Qt::Key_Up);
            QCOMPARE(focused(), order[i - 1]);
            pressEnter(order[i - 1]);
            QCOMPARE(focused(), order[i + 1 < order.size() ? i : i - 1]);
        }
        QCOMPARE(m->messages.texts, QStringList{"输入错误"});
        QCOMPARE(box("Text8")->text(), "10.00");
        // An Up released after the focus moved in does not move on again.
        herb(8)->setFocus();
        QTest::keyPress(combo("Combo1"), Qt::Key_Up);
        QTest::keyRelease(herb(8), Qt::Key_Up);
        QCOMPARE(focused(), herb(8));
        // Space opens a list, where Up and Down move; one Enter there chooses and moves on, and
        // Up then walks back without changing the choice. A list closed unchosen gives Up back.
        QComboBox *room = combo("Combo2");
        room->setFocus();
        QTest::keyClick(room, Qt::Key_Space);
        QTest::keyClick(room->view(), Qt::Key_Down);
        QTest::keyClick(room->view(), Qt::Key_Up);
        QTest::keyClick(room->view(), Qt::Key_Down);
        pressEnter(room->view());
        QCOMPARE(focused(), combo("Combo5"));
        QTest::keyClick(combo("Combo5"), Qt::Key_Up);
        QTest::keyClick(room, Qt::Key_Up);
        QCOMPARE(focused(), combo("Combo1"));
        QCOMPARE(room->currentText(), "二号库");
        room->setFocus();
        QTest::keyClick(room, Qt::Key_Space);
        room->hidePopup();
        QTest::keyClick(room, Qt::Key_Up);
        QCOMPARE(focused(), combo("Combo1"));

        // A refused line stores nothing, keeps what was typed and focuses the box to mend.
        const QStringList refusals[] = {{"", "3", "2026-12-05", "不能空", "Text3_0"},
                                        {"A1", "", "2026-12-05", "不能空", "Text6"},
                                        {"A1", "3kg", "2026-12-05", "错误！", "Text6"},
                                        {"A1", "3", "明天", "错误！", "Text3_8"}};
        for (const QStringList &refusal : refusals) {
            m->messages.clear();
            herb(0)->setText(refusal[0]);
            box("Text6")->setText(refusal[1]);
            herb(8)->setText(refusal[2]);
            click("Command1");
            QCOMPARE(m->messages.texts, QStringList{refusal[3]});
            QCOMPARE(focused()->objectName(), refusal[4]);
            QCOMPARE(texts({herb(0), box("Text6"), herb(8)}), refusal.mid(0, 3));
        }
        QCOMPARE(totals(), (QStringList{"1", "10.00", "JH20261205007", "1"}));
        QCOMPARE(m->temp.rows("SELECT 单据号, 日期, 编号, 品名 IS NULL AND 拼音 IS NULL AND 有效期 "
                              "IS NULL AND 入库 IS NULL, 规格, 产地, 生产日期, 批号, 单位, 数量, "
                              "进价, 金额, 库房, 厂家 FROM jinhuo"),
                 (QList<QVariantList>{{"JH20261205007", "2026-12-05", "X9", 1, "*", "*",
                                       "2026-01", "*", "公斤", 4.0, 2.5, 10.0, "一号库", "*"}}));
    }

    void totalsDeleteAndPosting()
    {
        addLine("A1", "1", "1000000.5");
        addLine("A2", "1", "234567.39");
        addLine("A3", "3", "0.333");
        QCOMPARE(box("Text8")->text(), "1.00"); // rounded to cents
        // A new session lists and sums the pending lines only; a delete takes the chosen one.
        m->temp.exec("INSERT INTO jinhuo (编号, 数量, 金额, 入库) VALUES ('OLD', 1, 99, '已入库')");
        open();
        QCOMPARE(totals(), (QStringList{"3", "1234568.89", "JH20261205007", "3"}));
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"2", "234568.39", "JH20261205007", "2"}));

        // F11 keeps the number, shown in red. A failed posting is reported and changes nothing.
        QTest::keyClick(herb(0), Qt::Key_F11);
        QCOMPARE(box("Text9")->palette().color(QPalette::Text), QColor(255, 0, 0));
        typeInto(combo("Combo5"), "安国药材");
        m->temp.refuse(TempStore::Change::Update, "jinhuo", "NEW.编号 = 'A3'", "disk gone");
        click("Command5");
        const QString failure = m->messages.texts.join('|');
        QVERIFY2(failure.startsWith("入库失败") && failure.contains("disk gone"), qPrintable(failure));
        QCOMPARE(totals(), (QStringList{"2", "234568.39", "JH20261205007", "2"}));
        QCOMPARE(pending(), 2); // A1 went with the delete

        m->temp.allow("jinhuo");
        click("Command5"); // the number is kept: the next posting files under it again
        QCOMPARE(totals(), (QStringList{"0", "0", "JH20261205007", "0"}));
        QTest::keyClick(grid("DBGrid2"), Qt::Key_F12); // F12 advances the counter again
        addLine("A4", "1", "1");
        click("Command5");
        QCOMPARE(box("Text9")->text(), "JH20261205008");
        QCOMPARE(m->temp.rows("SELECT 进货单, 日期, 厂家 FROM huodan"),
                 (QList<QVariantList>(2, {"JH20261205007", "2026-12-05", "安国药材"})));
        QCOMPARE(pending(), 0);
    }

    void amountsAndTotalsRoundAsAClerk()
    {
        // Halves that binary floating point holds just below the half still round up.
        addLine("R1", "1.5", "2.55");
        QCOMPARE(box("Text8")->text(), "3.83");
        addLine("R2", "1", "2.675");
        QCOMPARE(box("Text8")->text(), "2.68");
        QCOMPARE(totals(), (QStringList{"2", "6.51", "JH20261205007", "2"}));
        // A delete shows the total in its shortest form.
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"1", "2.68", "JH20261205007", "1"}));
    }

    void anAmountTypedOverInTheGridCountsAtOnce()
    {
        addLine("G1", "2", "3");
        addLine("G2", "1", "5");
        QCOMPARE(totals(), (QStringList{"2", "11.00", "JH20261205007", "2"}));
        const int amount = grid("DBGrid1")->cursor()->columnIndex("金额");
        QVERIFY(editGridCell(grid("DBGrid1"), 0, amount, "12"));
        grid("DBGrid1")->submitPendingEdits();
        QCOMPARE(totals(), (QStringList{"2", "17.00", "JH20261205007", "2"}));
        // The delete takes off what the line holds now, and leaves the other line's amount.
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"1", "5", "JH20261205007", "1"}));
    }

    void postingAfterTheLinesWentElsewhereShowsNothingPending()
    {
        addLine("E1", "2", "3");
        // The purchase query deletes the line; posting then finds nothing and says so by
        // emptying the list and the totals, with the number unused.
        m->temp.exec("DELETE FROM jinhuo");
        click("Command5");
        QCOMPARE(totals(), (QStringList{"0", "0", "JH20261205007", "0"}));
        QVERIFY(m->messages.texts.isEmpty());
    }

    void textsTooLongForTheirColumnsAreRefusedByName()
    {
        // A text pasted into a search box finds nothing and says nothing.
        herb(0)->setText(QString(20000, QChar(0x7518)));
        QCOMPARE(listed(), 0);
        QVERIFY(m->messages.texts.isEmpty());
        box("Text6")->setText("1");
        click("Command1");
        QCOMPARE(m->messages.texts, QStringList{"编号 不能超过255个字"});
        QCOMPARE(focused(), herb(0));
        QCOMPARE(herb(0)->text().size(), 20000);
        herb(0)->setText("A1");
        combo("Combo5")->setEditText(QString(256, 'x'));
        click("Command1");
        QCOMPARE(m->messages.last(), "供货单位 不能超过255个字");
        QVERIFY(combo("Combo5")->isAncestorOf(focused()) || focused() == combo("Combo5"));
        QCOMPARE(pending(), 0);

        // 255 characters fit; the line then posts like any other.
        combo("Combo5")->setEditText(QString(255, 'x'));
        click("Command1");
        QCOMPARE(pending(), 1);
        // An edit in the grid is refused the same way, and the line keeps its value.
        m->messages.clear();
        QAbstractItemModel *lines = grid("DBGrid1")->model();
        QVERIFY(!lines->setData(lines->index(0, 0), QString(256, 'y')));
        QCOMPARE(m->messages.texts, QStringList{"单据号：不能超过255个字，未修改"});
        click("Command5");
        QCOMPARE(m->messages.texts.size(), 1);
        QCOMPARE(m->temp.rows("SELECT 单据号, length(厂家), 入库 FROM jinhuo"),
                 (QList<QVariantList>{{"JH20261205007", 255, "已入库"}}));
    }
};

QTEST_MAIN(tst_JinhuodjFrm)
#include "tst_jinhuodjfrm.moc"
