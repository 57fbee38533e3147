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
    void init();
    void cleanup() { m_screen.reset(); m_temp.reset(); }
    void duplicateRules_data();
    void duplicateRules();
    void everyAddAttemptEmptiesTheNameBoxes_data();
    void everyAddAttemptEmptiesTheNameBoxes();
    void lookupListsByPrefixUnderTheBox();
    void chosenHerbFillsOnlyGivenColumns();
    void searchAndDelete();

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
    // The code, name, origin and maker: what the duplicate test and the refusals look at.
    void enterRow(const QString &code, const QString &name, const QString &origin,
                  const QString &maker)
    {
        typeInto(box(0), code);
        typeInto(box(1), name);
        typeInto(box(4), origin);
        typeInto(combo(4), maker);
    }
    QString nameBoxes() { return box(0)->text() + box(1)->text() + box(2)->text(); }
    int stored(const QString &where = "1")
    {
        return m_temp->scalar("select count(*) from yaocai where " + where).toInt();
    }

    std::unique_ptr<TempStore> m_temp;
    MessageRecorder m_messages;
    std::unique_ptr<YaocaiFrm> m_screen;
};

void tst_YaocaiFrm::init()
{
    m_temp = std::make_unique<TempStore>();
    m_messages.clear();
    const QString herb = "insert into bianhao (编号, 品名, 拼音, 规格, 库房, 分类) values (?,?,?,?,?,?)";
    m_temp->exec(herb, {" GC01 ", "甘草 ", "gc", QVariant(), "一号库", QVariant()});
    m_temp->exec(herb, {"GJ01", "干姜", "gj", "片", "二号库", "温里药"});
    m_temp->exec(herb, {"HQ01", "黄芪", "hq", "段", QVariant(), "补气药"});
}

void tst_YaocaiFrm::duplicateRules_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QString>("storedOrigin"); // empty: refused; an origin not given is "*"
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

    const bool refused = storedOrigin.isEmpty();
    const auto added = m_temp->rows("select 产地 from yaocai where 品名 = '新药'");
    QCOMPARE(added, refused ? QList<QVariantList>() : QList<QVariantList>{{storedOrigin}});
    QCOMPARE(m_messages.texts, refused ? QStringList{"重复，不能添加"} : QStringList());
    QCOMPARE(gridRows("DBGrid1"), stored());
}

void tst_YaocaiFrm::everyAddAttemptEmptiesTheNameBoxes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("message");
    QTest::newRow("added by button") << "X1" << "甲" << "12.5" << false << "";
    QTest::newRow("added by enter") << "X1" << "甲" << "3" << true << "";
    QTest::newRow("no code") << "" << "甲" << "" << false << "不能空";
    QTest::newRow("no maker") << "X1" << "" << "" << true << "不能空";
    QTest::newRow("price not a number") << "X1" << "甲" << "十元" << false << "错误！";
    QTest::newRow("price not a number, enter") << "X1" << "甲" << "1,5" << true << "错误！";
}

void tst_YaocaiFrm::everyAddAttemptEmptiesTheNameBoxes()
{
    QFETCH(QString, code);
    QFETCH(QString, maker);
    QFETCH(QString, price);
    QFETCH(bool, byEnter);
    QFETCH(QString, message);
    open();
    enterRow(code, "某药", "川", maker);
    typeInto(box(2), " my ");
    typeInto(box(6), price);
    typeInto(combo(1), "克");
    if (byEnter)
        QTest::keyClick(combo(4), Qt::Key_Return);
    else
        click("Command3");

    QCOMPARE(m_messages.texts.join(""), message);
    QCOMPARE(stored(), message.isEmpty() ? 1 : 0);
    // Text is stored as typed, the price as a number; 规格 not given is "*", the rest Null.
    if (message.isEmpty()) {
        QCOMPARE(m_temp->rows("select 编号, 品名, 拼音, 规格, 产地, 销价, 单位, 厂家 from yaocai")[0],
                 (QVariantList{"X1", "某药", " my ", "*", "川", price.toDouble(), "克", "甲"}));
        QCOMPARE(stored("批号 is null and 库房 is null and 分类 is null"), 1);
    }
    // A refused value keeps everything as typed so that it can be corrected.
    QCOMPARE(nameBoxes(), message == "错误！" ? code + "某药 my " : QString());
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
    const auto listed = [this](int index, const QString &text) {
        typeInto(box(index), text);
        return gridRows("DBGrid2");
    };
    QCOMPARE(listed(0, "g"), 1); // " GC01 " begins with a blank
    QVERIFY(get("DBGrid2")->isVisible());
    box(0)->clear();
    QCOMPARE(gridRows("DBGrid2"), 4);
    QCOMPARE(listed(0, "q'"), 1);
    QCOMPARE(listed(2, "G"), 2);
    const QPoint under = box(2)->mapTo(m_screen.get(), QPoint(0, 20));
    QCOMPARE(get("DBGrid2")->geometry(), QRect(under, QSize(420, 86)));
    QCOMPARE(get<QTableView>("DBGrid2")->columnWidth(7), 60);
    QCOMPARE(listed(1, "黄"), 1);
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
    QCOMPARE(nameBoxes(), QString("GC01甘草gc"));
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
    QCOMPARE(nameBoxes() + box(3)->text(), QString("HQ01黄芪hq段"));
    QCOMPARE(combo(2)->currentText() + combo(3)->currentText(), QString("一号库补气药"));
    QVERIFY(!list->isVisible());
    QVERIFY(box(2)->hasFocus());
}

void tst_YaocaiFrm::searchAndDelete()
{
    open();
    click("Command4"); // an empty catalogue
    QCOMPARE(m_messages.texts, QStringList{"删除错误"});
    m_temp->exec("insert into yaocai (编号, 品名, 拼音) values ('GC01', '甘草', 'gc'), "
                 "('A''B', '引号药', 'yh'), ('5%', '百分药', 'bf'), ('50', '五十药', 'ws')");
    // Typing searches by prefix; the button wants the whole code, name or pinyin. Quotes and
    // "%" are plain text.
    QLineEdit *search = get<QLineEdit>("Text1");
    const auto listed = [&](const QString &text, const char *button = nullptr) {
        search->setText(text);
        if (button)
            click(button);
        return gridRows("DBGrid1");
    };
    QCOMPARE(listed("a'"), 1);
    QCOMPARE(listed("a'", "Command1"), 0);
    QCOMPARE(listed("5%"), 1);
    QCOMPARE(listed("5"), 2);
    QCOMPARE(listed("*", "Command1"), 4);
    QCOMPARE(listed("G"), 1);
    QCOMPARE(listed("G", "Command2"), 4);
    QCOMPARE(m_messages.texts.size(), 1);

    auto *list = get<QTableView>("DBGrid1");
    QStringList picked;
    const auto deleteSecondRow = [&] {
        list->setCurrentIndex(list->model()->index(1, 0));
        picked << list->currentIndex().siblingAtColumn(0).data().toString();
        click("Command4");
    };
    deleteSecondRow();
    QCOMPARE(gridRows("DBGrid1"), 3);
    // A second click does not delete a neighbour the user never picked.
    click("Command4");
    QCOMPARE(m_messages.texts, (QStringList{"删除错误", "删除错误"}));
    deleteSecondRow();
    QCOMPARE(stored(), 2);
    const QString countPicked = "select count(*) from yaocai where 编号 in (?, ?)";
    QCOMPARE(m_temp->scalar(countPicked, {picked[0], picked[1]}).toInt(), 0);
    QCOMPARE(m_messages.texts.size(), 2);
}

QTEST_MAIN(tst_YaocaiFrm)
#include "tst_yaocaifrm.moc"
