#include "reference/yaocaifrm.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <memory>

class tst_YaocaiFrm : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_screen.reset(); }

    void init()
    {
        m_temp = std::make_unique<TempStore>();
        m_messages.clear();
        const QString herb =
            "insert into bianhao (编号, 品名, 拼音, 规格, 库房, 分类) values (?, ?, ?, ?, ?, ?)";
        m_temp->exec(herb, {" GC01 ", "甘草 ", "gc", QVariant(), "一号库", QVariant()});
        m_temp->exec(herb, {"GJ01", "干姜", "gj", "片", "二号库", "温里药"});
        m_temp->exec(herb, {"HQ01", "黄芪", "hq", "段", QVariant(), "补气药"});
    }

    void duplicatesSearchAndDelete()
    {
        m_temp->exec("insert into yaocai (编号, 品名, 产地) values ('GC01', '甘草', 'Gansu')");
        open();
        typeInto(combo(4), "乙厂");
        const auto add = [this](const QString &code, const QString &origin) {
            m_messages.clear();
            box(0)->setText(code);
            box(1)->setText("新药");
            box(4)->setText(origin);
            click("Command3");
            return m_messages.texts.join('|');
        };
        // A code is taken with the same origin, letter case aside; with no origin, in any origin.
        QCOMPARE(add("GC01", "Gansu"), "重复，不能添加");
        QCOMPARE(add("gc01", "GANSU"), "重复，不能添加");
        QCOMPARE(add("GC01", ""), "重复，不能添加");
        QCOMPARE(add("GC01", "内蒙"), QString());
        QCOMPARE(add("HQ01", ""), QString()); // an origin not given is stored as "*"
        QCOMPARE(add("O'1", ""), QString());
        QCOMPARE(m_temp->rows("select 编号, 产地 from yaocai where 品名 = '新药'"),
                 (QList<QVariantList>{{"GC01", "内蒙"}, {"HQ01", "*"}, {"O'1", "*"}}));
        QCOMPARE(gridRows("DBGrid1"), 4);

        // Typing searches by prefix; "查找" wants the whole code, name or pinyin.
        const auto listed = [this](const QString &text, const char *button = nullptr) {
            get<QLineEdit>("Text1")->setText(text);
            if (button)
                click(button);
            return gridRows("DBGrid1");
        };
        QCOMPARE(listed("o'"), 1);
        QCOMPARE(listed("o'", "Command1"), 0);
        QCOMPARE(listed("新药", "Command1"), 3);
        QCOMPARE(listed("", "Command2"), 4);

        // The chosen row goes; a second click does not delete a neighbour the user never picked.
        auto *list = get<QTableView>("DBGrid1");
        list->setCurrentIndex(list->model()->index(3, 0));
        click("Command4");
        click("Command4");
        QCOMPARE(m_messages.texts, QStringList{"删除错误"});
        QCOMPARE(stored(), 3);
        QCOMPARE(stored("编号 = 'O''1'"), 0);
        QCOMPARE(gridRows("DBGrid1"), 3);
    }

    void everyAddAttemptEmptiesTheNameBoxes()
    {
        open();
        typeInto(box(0), "X1");
        typeInto(box(1), "某药");
        typeInto(box(2), " my ");
        typeInto(box(4), "川");
        typeInto(box(6), "1,5");
        typeInto(combo(1), "克");
        typeInto(combo(4), "甲");
        // A price that is not a number is refused, and everything stays to be corrected.
        QTest::keyClick(combo(4), Qt::Key_Return);
        QCOMPARE(m_messages.texts, QStringList{"错误！"});
        QCOMPARE(stored(), 0);
        QCOMPARE(nameBoxes(), QStringLiteral("X1某药 my "));
        QVERIFY(get("DBGrid2")->isVisible());

        // Corrected and added by the button: text stored as typed, the price as a number, 规格
        // not given as "*", the rest Null. The name boxes empty; a completed click puts the list
        // away.
        box(6)->setText("12.5");
        click("Command3");
        QCOMPARE(m_temp->rows("select 编号, 品名, 拼音, 规格, 产地, 销价, 单位, 厂家 from yaocai")[0],
                 (QVariantList{"X1", "某药", " my ", "*", "川", 12.5, "克", "甲"}));
        QCOMPARE(stored("批号 is null and 库房 is null and 分类 is null"), 1);
        QCOMPARE(nameBoxes() + box(4)->text() + box(6)->text() + combo(4)->currentText(),
                 "川12.5甲");
        QVERIFY(!get("DBGrid2")->isVisible());

        typeInto(box(1), "某药"); // refused for want of a code, the name boxes empty all the same
        click("Command3");
        QCOMPARE(m_messages.last(), QStringLiteral("不能空"));
        QCOMPARE(nameBoxes(), QString());

        // Added by Enter: back to the code box, and emptying the boxes searched again, so the
        // whole dictionary stays dropped down.
        typeInto(box(0), "X2");
        typeInto(box(1), "二药");
        QTest::keyClick(combo(4), Qt::Key_Return);
        QCOMPARE(stored(), 2);
        QVERIFY(box(0)->hasFocus());
        QVERIFY(get("DBGrid2")->isVisible());
        QCOMPARE(gridRows("DBGrid2"), 3);
        QCOMPARE(m_messages.texts.size(), 2);
    }

    void dictionaryListFillsOnlyGivenColumns()
    {
        open();
        QTableView *list = get<QTableView>("DBGrid2");
        QVERIFY(!list->isVisible());
        typeInto(box(3), "原规格");
        typeInto(combo(3), "原分类");
        // Typing in a name box lists the dictionary by prefix, under that box.
        typeInto(box(2), "Gc");
        QCOMPARE(gridRows("DBGrid2"), 1);
        QVERIFY(list->isVisible());
        const QRect dropped = list->geometry();
        QCOMPARE(dropped, QRect(box(2)->mapTo(m_screen.get(), QPoint(0, 20)), QSize(420, 86)));

        // Down goes into the list; Enter there fills what the herb gives and keeps the rest.
        QTest::keyClick(box(2), Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QTest::keyPress(list, Qt::Key_Return);
        QCOMPARE(nameBoxes() + box(3)->text(), QString("GC01甘草gc原规格"));
        QCOMPARE(combo(2)->currentText() + combo(3)->currentText(), QString("一号库原分类"));
        // The program's own filling did not search: the list is still the one under the pinyin.
        QCOMPARE(list->geometry(), dropped);
        QTest::keyRelease(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QVERIFY(box(3)->hasFocus());

        // Typing searches again once the fill is over; Enter in a name box takes the first herb.
        box(1)->clear();
        typeInto(box(1), "黄");
        QCOMPARE(gridRows("DBGrid2"), 1);
        pressEnter(box(1));
        QCOMPARE(nameBoxes() + box(3)->text(), QString("HQ01黄芪hq段"));
        QCOMPARE(combo(2)->currentText() + combo(3)->currentText(), QString("一号库补气药"));
        QVERIFY(!list->isVisible());
        QVERIFY(box(2)->hasFocus());
    }

private:
    void open()
    {
        m_screen = std::make_unique<YaocaiFrm>(m_temp->store());
        m_screen->show();
        m_screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    }
    template <typename T = QWidget> T *get(const QString &name)
    {
        return findWidget<T>(m_screen.get(), name);
    }
    QLineEdit *box(int index) { return get<QLineEdit>(QStringLiteral("Text2_%1").arg(index)); }
    QComboBox *combo(int number) { return get<QComboBox>(QStringLiteral("Combo%1").arg(number)); }
    int gridRows(const QString &name) { return get<QTableView>(name)->model()->rowCount(); }
    void click(const QString &button) { QTest::mouseClick(get(button), Qt::LeftButton); }
    QString nameBoxes() { return box(0)->text() + box(1)->text() + box(2)->text(); }
    int stored(const QString &where = "true")
    {
        return m_temp->scalar("select count(*) from yaocai where " + where).toInt();
    }

    std::unique_ptr<TempStore> m_temp;
    MessageRecorder m_messages;
    std::unique_ptr<YaocaiFrm> m_screen;
};

QTEST_MAIN(tst_YaocaiFrm)
#include "tst_yaocaifrm.moc"
