#include "sales/xiaoshoufrm.h"
#include "shell/datagrid.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_XiaoshouFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<XiaoshouFrm> screen; // closed first
    };
    std::unique_ptr<Session> m;

    void open()
    {
        m->screen = std::make_unique<XiaoshouFrm>(m->temp.store());
        m->screen->show();
        m->screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m->screen.get()));
    }
    QLineEdit *box(const QString &name) { return findWidget<QLineEdit>(m->screen.get(), name); }
    QLineEdit *herb(int index) { return box(QStringLiteral("Text3_%1").arg(index)); }
    QComboBox *customer() { return findWidget<QComboBox>(m->screen.get(), "Combo2"); }
    DataGrid *grid(const char *name) { return findWidget<DataGrid>(m->screen.get(), name); }
    QLabel *label(const char *name) { return findWidget<QLabel>(m->screen.get(), name); }
    void click(const char *name)
    {
        QTest::mouseClick(findWidget<QPushButton>(m->screen.get(), name), Qt::LeftButton);
    }
    QWidget *focused() { return QApplication::focusWidget(); }
    static QStringList texts(const QList<QWidget *> &widgets)
    {
        QStringList result;
        for (QWidget *w : widgets)
            result << w->property(w->inherits("QComboBox") ? "currentText" : "text").toString();
        return result;
    }
    QList<QWidget *> herbBoxes()
    {
        QList<QWidget *> boxes;
        for (int index = 0; index < 11; ++index)
            boxes << herb(index);
        return boxes;
    }
    // Lines and amount under the grid, the document number, the lines the grid lists.
    QStringList totals()
    {
        return texts({box("Text5"), box("Text6"), box("Text4")})
               << QString::number(grid("DBGrid1")->model()->rowCount());
    }
    // The 库存数量 of each stock row the drop-down lists, in its order.
    QStringList listed()
    {
        QStringList rows;
        Cursor *stock = grid("DBGrid2")->cursor();
        for (stock->first(); !stock->atEnd(); stock->next())
            rows << stock->value("库存数量").toString();
        return rows;
    }
    QRgb colour(const char *labelName)
    {
        return label(labelName)->palette().color(QPalette::WindowText).rgb();
    }
    // Picks the stock row from the drop-down under the pinyin box, moving down `downs` rows.
    void pick(const QString &pinyin, int downs)
    {
        herb(2)->clear();
        typeInto(herb(2), pinyin);
        QTest::keyClick(herb(2), Qt::Key_Down);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(grid("DBGrid2"), Qt::Key_Down);
        pressEnter(grid("DBGrid2"));
    }
    // Quantity and price typed afresh, Enter to compute the amount, Enter to add the line.
    void sell(const QString &quantity, const QString &price)
    {
        box("Text8")->clear();
        box("Text9")->clear();
        typeInto(box("Text8"), quantity);
        typeInto(box("Text9"), price);
        pressEnter(box("Text9"));
        pressEnter(box("Text10"));
    }
    int pending()
    {
        return m->temp.scalar("SELECT count(*) FROM chuhuo WHERE 出库 IS NULL").toInt();
    }

private slots:
    void init()
    {
        m = std::make_unique<Session>();
        m->temp.exec("UPDATE danjuhao SET 销售单号 = 7");
        m->temp.exec("INSERT INTO yonghu (客户) VALUES ('  仁和堂 '), ('同仁堂')");
        m->temp.exec("INSERT INTO kucun (编号, 品名, 拼音, 规格, 产地, 批号, 生产日期, 有效期, 单位, "
                     "库房, 厂家, 库存数量, 进价, 进价金额) VALUES "
                     "('120', '甘草', 'gc', '片', '内蒙', 'B1', '2026-01', '2028-01', '公斤', "
                     "'一号库', '安国', 10, 5, 50), "
                     "('120', '甘草', 'gc', '段', '甘肃', 'B2', '2026-02', '2028-02', '袋', "
                     "'二号库', '亳州', 4, 6, 24), "
                     "('121', ' 甘草梢 ', 'gcs', NULL, '甘肃', 'C1', NULL, NULL, NULL, NULL, NULL, "
                     "2.5, 8, 20), "
                     "('210', '当归', 'DG', '片', '岷县', 'D1', '2026-03', '2029-03', '公斤', "
                     "'一号库', '岷县药业', 7, 30, 210), "
                     "('211', '党参', 'dgs', '节', '潞州', 'E1', NULL, NULL, '公斤', NULL, NULL, "
                     "1, 20, 20)");
        open();
    }
    void cleanup() { m.reset(); }

    void searchAsYouTypeAndTakingOver()
    {
        DataGrid *lookup = grid("DBGrid2");
        QVERIFY(!lookup->isVisible());
        QCOMPARE(focused(), herb(0)); // the herb comes first
        // Each search box lists the rows beginning so, in the order of its column, letter case
        // aside, in a grid dropped 300 twips below the box: 1600, 1200 or 900 high.
        typeInto(herb(2), "dg");
        QCOMPARE(listed(), (QStringList{"7", "1"}));
        // (A 900-twip list would show fewer than three rows: it is made that high.)
        QCOMPARE(lookup->pos(), herb(2)->mapTo(m->screen.get(), QPoint(0, twips(300))));
        QCOMPARE(lookup->width(), twips(6200));
        QVERIFY(lookup->height() >= twips(900));
        QCOMPARE(lookup->columnWidth(5), twips(800));
        typeInto(herb(1), "甘");
        QCOMPARE(listed(), (QStringList{"10", "4"}));
        QCOMPARE(lookup->height(), twips(1200));
        typeInto(herb(0), "12");
        QCOMPARE(listed(), (QStringList{"10", "4", "2.5"}));
        QCOMPARE(lookup->height(), twips(1600));
        // Emptied, the box lists the whole stock; the other boxes search nothing.
        herb(0)->clear();
        QCOMPARE(listed().size(), 5);
        typeInto(herb(3), "x");
        QCOMPARE(listed().size(), 5);

        // The second row of a herb is the one taken over, quantity on hand included; the focus
        // goes to the customer and the list closes.
        pick("gc", 1);
        QCOMPARE(texts(herbBoxes() << box("Text7")),
                 (QStringList{"120", "甘草", "gc", "段", "甘肃", "2026-02", "2028-02", "B2", "袋",
                              "二号库", "亳州", "4"}));
        QVERIFY(!lookup->isVisible());
        QCOMPARE(focused(), customer());
        // Nulls leave their boxes as they were; the rest is trimmed.
        pick("gcs", 0);
        QCOMPARE(texts(herbBoxes() << box("Text7")),
                 (QStringList{"121", "甘草梢", "gcs", "段", "甘肃", "2026-02", "2028-02", "C1",
                              "袋", "二号库", "亳州", "2.5"}));

        // Enter in a search box takes the highlighted row over and moves on.
        herb(1)->clear();
        typeInto(herb(1), "当");
        pressEnter(herb(1));
        QCOMPARE(texts({herb(0), herb(7), box("Text7")}), (QStringList{"210", "D1", "7"}));
        QCOMPARE(focused(), herb(2));
        QVERIFY(!lookup->isVisible());
        // The copy itself searched nothing; a quote is only text.
        QCOMPARE(listed(), (QStringList{"7"}));
        typeInto(herb(0), "'");
        QCOMPARE(listed(), QStringList());
        QVERIFY(m->messages.texts.isEmpty());
    }

    void addingLinesAndTheStockTest()
    {
        // Customers come trimmed; the document number and the discount are shown.
        QCOMPARE(customer()->itemText(0), "仁和堂");
        QCOMPARE(texts({box("Text4"), box("Text1"), box("Text2")}),
                 (QStringList{"XS20261205007", "2026-12-05", "60"}));
        pick("gc", 0);
        customer()->setEditText("仁和堂");
        // All that is on hand can be sold.
        sell("10", "2.5");
        QCOMPARE(box("Text10")->text(), "25.00");
        QCOMPARE(totals(), (QStringList{"1", "25.00", "XS20261205007", "1"}));
        // The line's boxes empty; unit, room, maker, on hand, amount and customer stay.
        QCOMPARE(texts(herbBoxes() << box("Text7") << box("Text8") << box("Text9")
                                   << box("Text10") << customer()),
                 (QStringList{"", "", "", "", "", "", "", "", "公斤", "一号库", "安国", "10", "",
                              "", "25.00", "仁和堂"}));
        QCOMPARE(focused(), herb(0));

        // One more of the same row is refused: the pending line holds the rest. Nothing is
        // added and what was typed stays, the quantity to mend.
        pick("gc", 0);
        sell("1", "2.5");
        QCOMPARE(m->messages.texts, QStringList{"不能销售"});
        QCOMPARE(focused(), box("Text8"));
        QCOMPARE(texts({herb(0), herb(7), box("Text8")}), (QStringList{"120", "B1", "1"}));
        QCOMPARE(totals(), (QStringList{"1", "25.00", "XS20261205007", "1"}));

        // Of a row of 4: 3, then 2 are too many together, 1 is just enough.
        m->messages.clear();
        for (const char *quantity : {"3", "2", "1"}) {
            pick("gc", 1);
            sell(quantity, "3");
        }
        QCOMPARE(m->messages.texts, QStringList{"不能销售"});
        QCOMPARE(totals(), (QStringList{"3", "37.00", "XS20261205007", "3"}));

        // Empty grade, batch, origin, maker and customer are stored as "*", and the line still
        // finds its stock row: "*" matches any value.
        m->messages.clear();
        pick("dg", 0);
        for (int index : {3, 4, 7, 10})
            herb(index)->clear();
        customer()->setEditText(QString());
        sell("0.5", "40");
        QVERIFY2(m->messages.texts.isEmpty(), qPrintable(m->messages.texts.join('|')));
        QCOMPARE(m->temp.rows("SELECT 编号, 品名, 拼音, 规格, 批号, 产地, 生产日期, 有效期, 单位, "
                              "数量, 销价, 金额, 日期, 单据号, 库房, 厂家, 购货单位, 出库 IS NULL "
                              "FROM chuhuo WHERE 编号 = '210'"),
                 (QList<QVariantList>{{"210", "当归", "DG", "*", "*", "*", "2026-03", "2029-03",
                                       "公斤", 0.5, 40.0, 20.0, "2026-12-05", "XS20261205007",
                                       "一号库", "*", "*", 1}}));

        // A refused line keeps what was typed and focuses the box to mend.
        const QStringList refusals[] = {{"", "1", "1", "不能空", "Text3_0"},
                                        {"210", "", "1", "不能空", "Text8"},
                                        {"210", "1斤", "1", "错误！", "Text8"},
                                        {"210", "1", "x", "错误！", "Text9"},
                                        {"999", "1", "1", "不能销售", "Text8"}};
        for (const QStringList &refusal : refusals) {
            m->messages.clear();
            herb(0)->setText(refusal[0]);
            box("Text8")->setText(refusal[1]);
            box("Text9")->setText(refusal[2]);
            click("Command1");
            QCOMPARE(m->messages.texts, QStringList{refusal[3]});
            QCOMPARE(focused()->objectName(), refusal[4]);
            QCOMPARE(texts({herb(0), box("Text8"), box("Text9")}), refusal.mid(0, 3));
        }
        QCOMPARE(pending(), 4);
    }

    void totalsDeleteAndRestart()
    {
        // Nothing pending: both totals "0"; loading uses no number.
        QCOMPARE(totals(), (QStringList{"0", "0", "XS20261205007", "0"}));
        QCOMPARE(m->temp.scalar("SELECT 销售单号 FROM danjuhao").toDouble(), 7.0);
        pick("gc", 0);
        sell("1.5", "2.55"); // 3.825 rounds to 3.83
        pick("dg", 0);
        sell("1", "2.675");
        QCOMPARE(totals(), (QStringList{"2", "6.51", "XS20261205007", "2"}));

        // A new session shows the pending lines and their totals again.
        m->temp.exec("INSERT INTO chuhuo (编号, 数量, 金额, 出库) VALUES ('OLD', 1, 99, '已出库')");
        open();
        QCOMPARE(totals(), (QStringList{"2", "6.51", "XS20261205007", "2"}));
        // A delete takes the chosen line, and the total shows in its shortest form.
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"1", "2.68", "XS20261205007", "1"}));
        QCOMPARE(m->temp.scalar("SELECT 编号 FROM chuhuo WHERE 出库 IS NULL").toString(), "210");
        grid("DBGrid1")->selectRow(0);
        click("Command2");
        QCOMPARE(totals(), (QStringList{"0", "0", "XS20261205007", "0"}));
        // With no line chosen nothing goes.
        click("Command2");
        QCOMPARE(m->temp.scalar("SELECT count(*) FROM chuhuo").toInt(), 1);
    }

    void keysArrowsAndColours()
    {
        // Enter: the search boxes, the customer, the quantity, the price (which computes the
        // amount), the amount (which adds the line).
        const QList<QWidget *> order = {herb(0), herb(1), herb(2), customer(),
                                        box("Text8"), box("Text9"), box("Text10")};
        const auto isFocused = [this](QWidget *w) {
            return focused() == w || w->isAncestorOf(focused());
        };
        box("Text8")->setText("2");
        box("Text9")->setText("3");
        for (int i = 0; i + 1 < order.size(); ++i) {
            order[i]->setFocus();
            pressEnter(order[i]);
            QVERIFY2(isFocused(order[i + 1]), qPrintable(order[i]->objectName()));
        }
        QCOMPARE(box("Text10")->text(), "6.00");
        // Up walks back the same way, and from one herb box to the one before.
        for (int i = order.size() - 1; i > 0; --i) {
            order[i]->setFocus();
            QTest::keyClick(order[i], Qt::Key_Up);
            QVERIFY2(isFocused(order[i - 1]), qPrintable(order[i]->objectName()));
        }
        for (int index = 10; index > 0; --index) {
            QTest::keyClick(herb(index), Qt::Key_Up);
            QCOMPARE(focused(), herb(index - 1));
        }
        // Enter in the other herb boxes stays put.
        herb(5)->setFocus();
        pressEnter(herb(5));
        QCOMPARE(focused(), herb(5));
        // Space opens the customer list, where Up and Down move; Enter there chooses and moves
        // on; Up then walks back without changing the choice.
        customer()->setFocus();
        QTest::keyClick(customer(), Qt::Key_Space);
        QTest::keyClick(customer()->view(), Qt::Key_Down);
        QTest::keyClick(customer()->view(), Qt::Key_Up);
        QTest::keyClick(customer()->view(), Qt::Key_Down);
        pressEnter(customer()->view());
        QCOMPARE(focused(), box("Text8"));
        QTest::keyClick(box("Text8"), Qt::Key_Up);
        QTest::keyClick(customer(), Qt::Key_Up);
        QCOMPARE(focused(), herb(2));
        QCOMPARE(customer()->currentText(), "同仁堂");
        // A price that is no number computes nothing.
        box("Text9")->setText("x");
        pressEnter(box("Text9"));
        QCOMPARE(m->messages.texts, QStringList{"输入错误"});
        QCOMPARE(box("Text10")->text(), "6.00");

        // F11 and F12 in a herb box colour the date label.
        QTest::keyClick(herb(4), Qt::Key_F11);
        QCOMPARE(colour("Label_出库日期"), qRgb(255, 0, 0));
        QTest::keyClick(herb(9), Qt::Key_F12);
        QCOMPARE(colour("Label_出库日期"), qRgb(31, 0, 0));

        // In the pending grid they count the lines again: F11 those with a name, F12 those
        // with a code; the lines are listed again and the label coloured.
        m->temp.exec("INSERT INTO chuhuo (编号, 品名, 金额) VALUES ('1', '甘草', 2.5), "
                     "('2', NULL, 1), (NULL, '当归', NULL)");
        QCOMPARE(totals(), (QStringList{"0", "0", "XS20261205007", "0"}));
        QTest::keyClick(grid("DBGrid1"), Qt::Key_F11);
        QCOMPARE(totals(), (QStringList{"2", "3.50", "XS20261205007", "3"}));
        QCOMPARE(colour("Label_品种"), qRgb(255, 0, 0));
        QTest::keyClick(grid("DBGrid1"), Qt::Key_F12);
        QCOMPARE(totals(), (QStringList{"2", "3.50", "XS20261205007", "3"}));
        m->temp.exec("UPDATE chuhuo SET 编号 = '3' WHERE 编号 IS NULL");
        QTest::keyClick(grid("DBGrid1"), Qt::Key_F12);
        QCOMPARE(totals(), (QStringList{"3", "3.50", "XS20261205007", "3"}));
        QCOMPARE(colour("Label_品种"), qRgb(31, 0, 0));
    }

    void postingOutOfStock()
    {
        pick("gc", 0);
        customer()->setEditText("同仁堂");
        sell("3", "7");
        pick("gc", 0);
        sell("4", "7");
        // The stock was lowered elsewhere since: the posting refuses, names the line and
        // changes nothing.
        m->temp.exec("UPDATE kucun SET 库存数量 = 6 WHERE 批号 = 'B1'");
        click("Command5");
        QCOMPARE(m->messages.texts,
                 QStringList{"出库失败，没有做任何改动。\n出库失败：第 2 行 120 甘草 库存不足：现有 3，"
                             "要出库 4"});
        QCOMPARE(totals(), (QStringList{"2", "49.00", "XS20261205007", "2"}));
        QCOMPARE(pending(), 2);

        m->messages.clear();
        m->temp.exec("UPDATE kucun SET 库存数量 = 10 WHERE 批号 = 'B1'");
        click("Command5");
        QVERIFY(m->messages.texts.isEmpty());
        // 3 and 4 from 10 leave 3, valued at the unit cost; the next number shows; customer,
        // date and the boxes stay for the next sale.
        QCOMPARE(m->temp.rows("SELECT 库存数量, 进价金额 FROM kucun WHERE 批号 = 'B1'"),
                 (QList<QVariantList>{{3.0, 15.0}}));
        QCOMPARE(totals(), (QStringList{"0", "0", "XS20261205008", "0"}));
        QCOMPARE(texts({customer(), box("Text1"), herb(8), box("Text10")}),
                 (QStringList{"同仁堂", "2026-12-05", "公斤", "28.00"}));
        QCOMPARE(m->temp.rows("SELECT 销售单, 日期, 购货单位 FROM danju"),
                 (QList<QVariantList>{{"XS20261205007", "2026-12-05", "同仁堂"}}));
        // An empty grid posts nothing and uses no number.
        click("Command5");
        QCOMPARE(m->temp.rows("SELECT count(*), (SELECT 销售单号 FROM danjuhao) FROM danju"),
                 (QList<QVariantList>{{1, 8.0}}));
    }
};

QTEST_MAIN(tst_XiaoshouFrm)
#include "tst_xiaoshoufrm.moc"
