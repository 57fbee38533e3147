#include "reference/yaocaifrm.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>

class tst_YaocaiFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void duplicateRules_data();
    void duplicateRules();
    void storesStarOrNullForWhatIsNotGiven();
    void everyAddAttemptEmptiesTheNameBoxes_data();
    void everyAddAttemptEmptiesTheNameBoxes();
    void lookupListsByPrefixUnderTheBox();
    void chosenHerbFillsOnlyGivenColumns();
    void searchTreatsQuotesAndPercentAsText();
    void deleteActsOnlyOnAChosenRow();

private:
    void open();
    template <typename T = QWidget> T *get(const QString &name)
    {
        return findWidget<T>(m_screen.get(), name);
    }
    QLineEdit *box(int index) { return get<QLineEdit>(QStringLiteral("Text2_%1").arg(index)); }
    QComboBox *combo(int number) { return get<QComboBox>(QStringLiteral("Combo%1").arg(number)); }
    int gridRows(const QString &name) { return get<QTableView>(name)->model()->rowCount(); }
    void click(const QString &button) { QTest::mouseClick(get(button), Qt::LeftButton); }
    void enterRow(const QString &code, const QString &name, const QString &origin,
                  const QString &maker);
    QString codes() { return m_temp->scalar("select group_concat(编号) from yaocai").toString(); }

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    std::unique_ptr<YaocaiFrm> m_screen;
};

void tst_YaocaiFrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    const QString herb = "insert into bianhao (编号, 品名, 拼音, 规格, 库房, 分类) values (?,?,?,?,?,?)";
    m_temp->exec(herb, {" GC01 ", "甘草 ", "gc", QVariant(), "一号库", QVariant()});
    m_temp->exec(herb, {"GJ01", "干姜", "gj", "片", "二号库", "温里药"});
    m_temp->exec(herb, {"HQ01", "黄芪", "hq", "段", QVariant(), "补气药"});
}

void tst_YaocaiFrm::cleanup()
{
    m_screen.reset();
    delete m_messages;
    delete m_temp;
}

void tst_YaocaiFrm::open()
{
    m_screen = std::make_unique<YaocaiFrm>(m_temp->store());
    m_screen->show();
    m_screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
}

void tst_YaocaiFrm::enterRow(const QString &code, const QString &name, const QString &origin,
                             const QString &maker)
{
    typeInto(box(0), code);
    typeInto(box(1), name);
    typeInto(box(4), origin);
    typeInto(combo(4), maker);
}

void tst_YaocaiFrm::duplicateRules_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QString>("storedOrigin"); // empty: refused

    QTest::newRow("same code, other origin") << "GC01" << "内蒙" << "内蒙";
    QTest::newRow("same code and origin") << "GC01" << "Gansu" << "";
    QTest::newRow("letter case does not count") << "gc01" << "GANSU" << "";
    QTest::newRow("no origin, code taken") << "GC01" << "" << "";
    QTest::newRow("no origin, new code") << "HQ01" << "" << "*";
    QTest::newRow("quote") << "O'1" << "" << "*";
    QTest::newRow("percent") << "GC%" << "Gansu" << "Gansu";
    QTest::newRow("star") << "GC*" << "" << "*";
}

void tst_YaocaiFrm::duplicateRules()
{
    QFETCH(QString, code);
    QFETCH(QString, origin);
    QFETCH(QString, storedOrigin);
    m_temp->exec("insert into yaocai (编号, 品名, 产地, 厂家) values ('GC01', '甘草', 'Gansu', '甲')");
    open();
    enterRow(code, "新药", origin, "乙厂");
    click("Command3");

    const auto added = m_temp->rows("select 产地 from yaocai where 品名 = '新药'");
    if (storedOrigin.isEmpty()) {
        QCOMPARE(m_messages->texts, QStringList{"重复，不能添加"});
        QVERIFY(added.isEmpty());
    } else {
        QVERIFY(m_messages->texts.isEmpty());
        QCOMPARE(added.size(), 1);
        QCOMPARE(added[0][0].toString(), storedOrigin);
    }
    QCOMPARE(gridRows("DBGrid1"), m_temp->scalar("select count(*) from yaocai").toInt());
}

void tst_YaocaiFrm::storesStarOrNullForWhatIsNotGiven()
{
    open();
    enterRow("GC01", "甘草", "", "甲厂");
    click("Command3");
    typeInto(box(0), "GC02");
    typeInto(box(1), "甘草");
    typeInto(box(2), " gc ");
    typeInto(box(6), "12.5");
    typeInto(combo(1), "克");
    click("Command3");

    const auto rows = m_temp->rows("select 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家, 分类 "
                                   "from yaocai order by 编号");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][1].toString() + rows[0][2].toString() + rows[0][7].toString(),
             QString("**甲厂"));
    for (int column : {0, 3, 4, 5, 6, 8})
        QVERIFY2(rows[0][column].isNull(), qPrintable(QString::number(column)));
    QCOMPARE(rows[1][0].toString(), QString(" gc ")); // stored as typed
    QCOMPARE(rows[1][4].toDouble(), 12.5);
    QCOMPARE(rows[1][5].toString(), QString("克"));
}

void tst_YaocaiFrm::everyAddAttemptEmptiesTheNameBoxes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("stored");

    QTest::newRow("added by button") << "X1" << "甲" << "3" << false << "" << 1;
    QTest::newRow("added by enter") << "X1" << "甲" << "3" << true << "" << 1;
    QTest::newRow("no code") << "" << "甲" << "" << false << "不能空" << 0;
    QTest::newRow("no maker") << "X1" << "" << "" << true << "不能空" << 0;
    QTest::newRow("price not a number") << "X1" << "甲" << "十元" << false << "错误！" << 0;
    QTest::newRow("price not a number, enter") << "X1" << "甲" << "1,5" << true << "错误！" << 0;
}

void tst_YaocaiFrm::everyAddAttemptEmptiesTheNameBoxes()
{
    QFETCH(QString, code);
    QFETCH(QString, maker);
    QFETCH(QString, price);
    QFETCH(bool, byEnter);
    QFETCH(QString, message);
    QFETCH(int, stored);
    open();
    enterRow(code, "某药", "川", maker);
    typeInto(box(2), "my");
    typeInto(box(6), price);
    if (byEnter)
        QTest::keyClick(combo(4), Qt::Key_Return);
    else
        click("Command3");

    QCOMPARE(m_messages->texts.join(""), message);
    QCOMPARE(m_temp->scalar("select count(*) from yaocai").toInt(), stored);
    const QString names = box(0)->text() + box(1)->text() + box(2)->text();
    // A refused value keeps everything as typed so that it can be corrected.
    QCOMPARE(names, message == "错误！" ? code + "某药my" : QString());
    QCOMPARE(box(4)->text() + box(6)->text() + combo(4)->currentText(), "川" + price + maker);
    if (message.isEmpty() && byEnter) {
        QVERIFY(box(0)->hasFocus());
        // Emptying the boxes searched again: the whole dictionary stays dropped down.
        QCOMPARE(gridRows("DBGrid2"), 3);
    }
    // Only a completed click on "添加" puts the list away.
    QCOMPARE(get("DBGrid2")->isVisible(), byEnter || message == "错误！");
}

void tst_YaocaiFrm::lookupListsByPrefixUnderTheBox()
{
    m_temp->exec("insert into bianhao (编号, 品名) values (?, ?)", {"Q'1", "引号"});
    open();
    QVERIFY(!get("DBGrid2")->isVisible());
    typeInto(box(0), "g");
    QVERIFY(get("DBGrid2")->isVisible());
    QCOMPARE(gridRows("DBGrid2"), 1); // " GC01 " begins with a blank
    box(0)->clear();
    QCOMPARE(gridRows("DBGrid2"), 4);
    typeInto(box(0), "q'");
    QCOMPARE(gridRows("DBGrid2"), 1);

    typeInto(box(2), "G");
    QCOMPARE(gridRows("DBGrid2"), 2);
    const QPoint under = box(2)->mapTo(m_screen.get(), QPoint(0, 20));
    QCOMPARE(get("DBGrid2")->geometry(), QRect(under, QSize(420, 86)));
    QCOMPARE(get<QTableView>("DBGrid2")->columnWidth(7), 60);
    typeInto(box(1), "黄");
    QCOMPARE(gridRows("DBGrid2"), 1);
}

void tst_YaocaiFrm::chosenHerbFillsOnlyGivenColumns()
{
    open();
    typeInto(box(3), "原规格");
    typeInto(combo(3), "原分类");
    typeInto(box(2), "gc");
    QTableView *list = get<QTableView>("DBGrid2");
    const QRect dropped = list->geometry();
    QTest::keyClick(box(2), Qt::Key_Down);
    QVERIFY(list->hasFocus());

    QTest::keyPress(list, Qt::Key_Return);
    QCOMPARE(box(0)->text() + box(1)->text() + box(2)->text(), QString("GC01甘草gc"));
    QCOMPARE(box(3)->text(), QString("原规格"));
    QCOMPARE(combo(2)->currentText() + combo(3)->currentText(), QString("一号库原分类"));
    // The program's own filling did not search: the list is still the one under the pinyin.
    QCOMPARE(list->geometry(), dropped);
    QTest::keyRelease(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QVERIFY(box(3)->hasFocus());

    // Typing searches again once the fill is over; Enter in a name box takes the first herb.
    box(1)->clear();
    typeInto(box(1), "黄");
    QVERIFY(list->isVisible());
    pressEnter(box(1));
    QCOMPARE(box(0)->text() + box(1)->text() + box(2)->text() + box(3)->text(),
             QString("HQ01黄芪hq段"));
    QCOMPARE(combo(2)->currentText() + combo(3)->currentText(), QString("一号库补气药"));
    QVERIFY(!list->isVisible());
    QVERIFY(box(2)->hasFocus());
}

void tst_YaocaiFrm::searchTreatsQuotesAndPercentAsText()
{
    const QString row = "insert into yaocai (编号, 品名, 拼音) values (?, ?, ?)";
    m_temp->exec(row, {"GC01", "甘草", "gc"});
    m_temp->exec(row, {"A'B", "引号药", "yh"});
    m_temp->exec(row, {"5%", "百分药", "bf"});
    m_temp->exec(row, {"50", "五十药", "ws"});
    open();
    QLineEdit *search = get<QLineEdit>("Text1");

    typeInto(search, "a'");
    QCOMPARE(gridRows("DBGrid1"), 1);
    click("Command1"); // the button wants the whole code, name or pinyin
    QCOMPARE(gridRows("DBGrid1"), 0);
    search->setText("5%");
    QCOMPARE(gridRows("DBGrid1"), 1);
    search->setText("5");
    QCOMPARE(gridRows("DBGrid1"), 2);
    search->setText("*");
    click("Command1");
    QCOMPARE(gridRows("DBGrid1"), 4);
    search->setText("G");
    QCOMPARE(gridRows("DBGrid1"), 1);
    click("Command2");
    QCOMPARE(gridRows("DBGrid1"), 4);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_YaocaiFrm::deleteActsOnlyOnAChosenRow()
{
    open();
    click("Command4");
    QCOMPARE(m_messages->texts, QStringList{"删除错误"});

    m_temp->exec("insert into yaocai (编号) values ('A'), ('B'), ('C')");
    click("Command2");
    auto *list = get<QTableView>("DBGrid1");
    list->setCurrentIndex(list->model()->index(1, 0));
    click("Command4");
    QCOMPARE(codes(), QString("A,C"));
    QCOMPARE(gridRows("DBGrid1"), 2);
    // A second click does not delete a neighbour the user never picked.
    click("Command4");
    QCOMPARE(m_messages->texts, (QStringList{"删除错误", "删除错误"}));
    list->setCurrentIndex(list->model()->index(1, 0));
    click("Command4");
    QCOMPARE(codes(), QString("A"));
    QCOMPARE(m_messages->texts.size(), 2);
}

QTEST_MAIN(tst_YaocaiFrm)
#include "tst_yaocaifrm.moc"
