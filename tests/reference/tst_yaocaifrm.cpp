#include "reference/yaocaifrm.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QApplication>
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
    void emptyOptionalColumns();
    void refusedAddsStillEmptyTheNameBoxes_data();
    void refusedAddsStillEmptyTheNameBoxes();
    void priceThatIsNotANumberStoresNothing_data();
    void priceThatIsNotANumberStoresNothing();
    void enterWalksTheBoxesAndAdds();
    void lookupListsByPrefixUnderTheBox();
    void chosenHerbFillsOnlyGivenColumns();
    void enterInANameBoxTakesTheHighlightedHerb();
    void searchTreatsQuotesAndPercentAsText();
    void deleteNeedsACurrentRow();
    void choiceListsAreTrimmed();

private:
    void open();
    QLineEdit *box(int index) { return findWidget<QLineEdit>(m_screen.get(), boxName(index)); }
    static QString boxName(int index) { return QStringLiteral("Text2_%1").arg(index); }
    QComboBox *combo(int number);
    QTableView *grid(const char *name) { return findWidget<QTableView>(m_screen.get(), name); }
    int gridRows(const char *name) { return grid(name)->model()->rowCount(); }
    void enterRow(const QString &code, const QString &name, const QString &origin,
                  const QString &maker);
    void clickAdd() { QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command3"),
                                        Qt::LeftButton); }
    int catalogueRows() { return m_temp->scalar("select count(*) from yaocai").toInt(); }

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

QComboBox *tst_YaocaiFrm::combo(int number)
{
    return findWidget<QComboBox>(m_screen.get(), QStringLiteral("Combo%1").arg(number));
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
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("storedOrigin");

    QTest::newRow("same code, other origin") << "GC01" << "内蒙" << true << "内蒙";
    QTest::newRow("same code and origin") << "GC01" << "Gansu" << false << "";
    QTest::newRow("letter case does not count") << "gc01" << "GANSU" << false << "";
    QTest::newRow("no origin, code taken") << "GC01" << "" << false << "";
    QTest::newRow("no origin, new code") << "HQ01" << "" << true << "*";
    QTest::newRow("quote is plain text") << "O'1" << "" << true << "*";
    QTest::newRow("percent is plain text") << "GC%" << "Gansu" << true << "Gansu";
    QTest::newRow("star is plain text") << "GC*" << "" << true << "*";
}

void tst_YaocaiFrm::duplicateRules()
{
    QFETCH(QString, code);
    QFETCH(QString, origin);
    QFETCH(bool, accepted);
    QFETCH(QString, storedOrigin);
    m_temp->exec("insert into yaocai (编号, 品名, 产地, 厂家) values ('GC01', '甘草', 'Gansu', '甲')");
    open();

    enterRow(code, "新药", origin, "乙厂");
    clickAdd();

    const auto added = m_temp->rows("select 产地, 品名 from yaocai where 编号 = ?", {code});
    if (accepted) {
        QVERIFY(m_messages->texts.isEmpty());
        QCOMPARE(added.last().value(0).toString(), storedOrigin);
        QCOMPARE(added.last().value(1).toString(), QString("新药"));
        QCOMPARE(catalogueRows(), 2);
    } else {
        QCOMPARE(m_messages->texts, QStringList{"重复，不能添加"});
        QCOMPARE(catalogueRows(), 1);
    }
    QCOMPARE(gridRows("DBGrid1"), catalogueRows());
}

void tst_YaocaiFrm::emptyOptionalColumns()
{
    open();
    enterRow("GC01", "甘草", "", "甲厂");
    clickAdd();
    typeInto(box(0), "GC02");
    typeInto(box(1), "甘草");
    typeInto(box(2), " gc ");
    typeInto(box(5), "B1");
    typeInto(box(6), "12.5");
    typeInto(combo(1), "克");
    typeInto(combo(2), "新库");
    typeInto(combo(3), "补气药");
    clickAdd();

    const auto rows = m_temp->rows("select 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家, 分类 "
                                   "from yaocai order by 编号");
    QCOMPARE(rows.size(), 2);
    const QVariantList bare = rows[0];
    QCOMPARE(bare[1].toString(), QString("*"));
    QCOMPARE(bare[2].toString(), QString("*"));
    QCOMPARE(bare[7].toString(), QString("甲厂"));
    for (int column : {0, 3, 4, 5, 6, 8})
        QVERIFY2(bare[column].isNull(), qPrintable(QString::number(column)));
    const QVariantList full = rows[1];
    QCOMPARE(full[0].toString(), QString(" gc "));
    QCOMPARE(full[4].toDouble(), 12.5);
    QCOMPARE(full[5].toString() + full[6].toString() + full[8].toString(),
             QString("克新库补气药"));
}

void tst_YaocaiFrm::refusedAddsStillEmptyTheNameBoxes_data()
{
    QTest::addColumn<int>("emptyBox");
    QTest::newRow("code") << 0;
    QTest::newRow("name") << 1;
    QTest::newRow("maker") << -1;
}

void tst_YaocaiFrm::refusedAddsStillEmptyTheNameBoxes()
{
    QFETCH(int, emptyBox);
    open();
    enterRow(emptyBox == 0 ? "" : "X1", emptyBox == 1 ? "" : "某药", "川", emptyBox < 0 ? "" : "甲");
    typeInto(box(2), "xy");
    typeInto(box(3), "片");
    clickAdd();

    QCOMPARE(m_messages->texts, QStringList{"不能空"});
    QCOMPARE(catalogueRows(), 0);
    for (int index = 0; index < 3; ++index)
        QVERIFY(box(index)->text().isEmpty());
    QCOMPARE(box(3)->text() + box(4)->text(), QString("片川"));
    QVERIFY(!grid("DBGrid2")->isVisible());
}

void tst_YaocaiFrm::priceThatIsNotANumberStoresNothing_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("button") << false;
    QTest::newRow("enter in maker box") << true;
}

void tst_YaocaiFrm::priceThatIsNotANumberStoresNothing()
{
    QFETCH(bool, byEnter);
    open();
    enterRow("X1", "某药", "", "甲");
    typeInto(box(6), "十二元");
    if (byEnter)
        pressEnter(combo(4));
    else
        clickAdd();

    QCOMPARE(m_messages->texts, QStringList{"错误！"});
    QCOMPARE(catalogueRows(), 0);
    QCOMPARE(box(0)->text() + box(1)->text() + box(6)->text(), QString("X1某药十二元"));
}

void tst_YaocaiFrm::enterWalksTheBoxesAndAdds()
{
    open();
    const QStringList chain = {boxName(0), boxName(1), boxName(2), boxName(3), boxName(4),
                               boxName(5), boxName(6), "Combo1", "Combo2", "Combo3", "Combo4"};
    for (int i = 0; i + 1 < chain.size(); ++i) {
        QWidget *from = m_screen->findChild<QWidget *>(chain[i]);
        from->setFocus();
        pressEnter(from);
        QVERIFY2(m_screen->findChild<QWidget *>(chain[i + 1])->hasFocus(), qPrintable(chain[i]));
    }
    QCOMPARE(catalogueRows(), 0);

    enterRow("X1", "某药", "川", "甲");
    typeInto(box(2), "my");
    pressEnter(combo(4));
    QCOMPARE(catalogueRows(), 1);
    QVERIFY(box(0)->hasFocus());
    QCOMPARE(box(0)->text() + box(1)->text() + box(2)->text(), QString());
    QCOMPARE(box(4)->text() + combo(4)->currentText(), QString("川甲"));
    // Emptying the boxes re-runs the look-up, so the whole dictionary stays dropped down.
    QVERIFY(grid("DBGrid2")->isVisible());
    QCOMPARE(gridRows("DBGrid2"), 3);
}

void tst_YaocaiFrm::lookupListsByPrefixUnderTheBox()
{
    m_temp->exec("insert into bianhao (编号, 品名) values (?, ?)", {"Q'1", "引号"});
    open();
    QVERIFY(!grid("DBGrid2")->isVisible());

    typeInto(box(0), "g");
    QVERIFY(grid("DBGrid2")->isVisible());
    QCOMPARE(gridRows("DBGrid2"), 1); // " GC01" begins with a blank
    typeInto(box(0), "j");
    QCOMPARE(gridRows("DBGrid2"), 1);
    box(0)->clear();
    QCOMPARE(gridRows("DBGrid2"), 4);

    typeInto(box(2), "G");
    QCOMPARE(gridRows("DBGrid2"), 2);
    const QPoint under = box(2)->mapTo(m_screen.get(), QPoint(0, 20));
    QCOMPARE(grid("DBGrid2")->geometry(), QRect(under, QSize(420, 86)));
    QCOMPARE(grid("DBGrid2")->columnWidth(7), 60);

    typeInto(box(1), "黄");
    QCOMPARE(gridRows("DBGrid2"), 1);
    typeInto(box(0), "q'");
    QCOMPARE(gridRows("DBGrid2"), 1);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_YaocaiFrm::chosenHerbFillsOnlyGivenColumns()
{
    open();
    typeInto(box(3), "原规格");
    typeInto(combo(3), "原分类");
    typeInto(box(2), "gc");
    const QRect dropped = grid("DBGrid2")->geometry();
    QTest::keyClick(box(2), Qt::Key_Down);
    QTableView *list = grid("DBGrid2");
    QVERIFY(list->hasFocus());

    QTest::keyPress(list, Qt::Key_Return);
    QCOMPARE(box(0)->text(), QString("GC01"));
    QCOMPARE(box(1)->text(), QString("甘草"));
    QCOMPARE(box(2)->text(), QString("gc"));
    QCOMPARE(box(3)->text(), QString("原规格"));
    QCOMPARE(combo(2)->currentText(), QString("一号库"));
    QCOMPARE(combo(3)->currentText(), QString("原分类"));
    // The filled boxes did not search again: the list is still the one under the pinyin box.
    QVERIFY(list->isVisible());
    QCOMPARE(list->geometry(), dropped);

    QTest::keyRelease(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QVERIFY(box(3)->hasFocus());

    // The look-up is on again once the fill is over.
    box(1)->clear();
    typeInto(box(1), "干");
    QVERIFY(list->isVisible());
    QCOMPARE(gridRows("DBGrid2"), 1);
}

void tst_YaocaiFrm::enterInANameBoxTakesTheHighlightedHerb()
{
    open();
    typeInto(box(1), "黄");
    pressEnter(box(1));
    QCOMPARE(box(0)->text() + box(1)->text() + box(2)->text() + box(3)->text(),
             QString("HQ01黄芪hq段"));
    QCOMPARE(combo(3)->currentText(), QString("补气药"));
    QVERIFY(!grid("DBGrid2")->isVisible());
    QVERIFY(box(2)->hasFocus());
}

void tst_YaocaiFrm::searchTreatsQuotesAndPercentAsText()
{
    const QString row = "insert into yaocai (编号, 品名, 拼音, 厂家) values (?, ?, ?, '甲')";
    for (const QVariantList &values : QList<QVariantList>{{"GC01", "甘草", "gc"},
                                                          {"A'B", "引号药", "yh"},
                                                          {"5%", "百分药", "bf"},
                                                          {"50", "五十药", "ws"}})
        m_temp->exec(row, values);
    open();
    QLineEdit *search = findWidget<QLineEdit>(m_screen.get(), "Text1");
    auto *button = findWidget<QPushButton>(m_screen.get(), "Command1");

    typeInto(search, "a'");
    QCOMPARE(gridRows("DBGrid1"), 1);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(gridRows("DBGrid1"), 0); // the button wants the whole code
    search->setText("a'b");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(gridRows("DBGrid1"), 1);

    search->setText("5%");
    QCOMPARE(gridRows("DBGrid1"), 1);
    search->setText("5");
    QCOMPARE(gridRows("DBGrid1"), 2);
    search->setText("*");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(gridRows("DBGrid1"), 4);
    search->setText("G");
    QCOMPARE(gridRows("DBGrid1"), 1);
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);
    QCOMPARE(gridRows("DBGrid1"), 4);
    QVERIFY(m_messages->texts.isEmpty());
}

void tst_YaocaiFrm::deleteNeedsACurrentRow()
{
    open();
    auto *remove = findWidget<QPushButton>(m_screen.get(), "Command4");
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_messages->texts, QStringList{"删除错误"});

    m_temp->exec("insert into yaocai (编号, 品名, 厂家) values ('A', '甲药', '甲'), "
                 "('B', '乙药', '甲'), ('C', '丙药', '甲')");
    QTest::mouseClick(findWidget<QPushButton>(m_screen.get(), "Command2"), Qt::LeftButton);
    QTableView *list = grid("DBGrid1");
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_temp->scalar("select group_concat(编号) from yaocai").toString(), QString("A,C"));
    QCOMPARE(gridRows("DBGrid1"), 2);

    // A second click does not delete a neighbour the user never picked.
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_messages->texts, (QStringList{"删除错误", "删除错误"}));
    QCOMPARE(catalogueRows(), 2);
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_temp->scalar("select group_concat(编号) from yaocai").toString(), QString("A"));
    QCOMPARE(m_messages->texts, (QStringList{"删除错误", "删除错误"}));
}

void tst_YaocaiFrm::choiceListsAreTrimmed()
{
    m_temp->exec("insert into danwei values (' 克 '), ('千克')");
    m_temp->exec("insert into kufang values ('一号库')");
    m_temp->exec("insert into fenlei values ('补气药 ')");
    m_temp->exec("insert into changjia (厂家) values ('甲厂')");
    open();
    QCOMPARE(combo(1)->count(), 2);
    QCOMPARE(combo(1)->itemText(0), QString("克"));
    QCOMPARE(combo(2)->itemText(0) + combo(3)->itemText(0) + combo(4)->itemText(0),
             QString("一号库补气药甲厂"));
    QVERIFY(combo(1)->currentText().isEmpty());
}

QTEST_MAIN(tst_YaocaiFrm)
#include "tst_yaocaifrm.moc"
