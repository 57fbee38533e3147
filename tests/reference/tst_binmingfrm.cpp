#include "reference/binmingfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

// A stored row as text, Null shown as "~" so that it differs from the empty text.
static QStringList shown(const QVariantList &row)
{
    QStringList texts;
    for (const QVariant &value : row)
        texts << (value.isNull() ? QStringLiteral("~") : value.toString());
    return texts;
}

class TestBinmingfrm : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_messages.clear(); }
    void cleanup() { m_screen.reset(); m_db.reset(); }
    void addStoresEveryBoxInItsColumn();
    void addRefusals_data();
    void addRefusals();
    void search_data();
    void search();
    void deleteKeepsTheSearchAndNeedsAChosenRow();

private:
    // Stores the herbs, then opens the screen on them.
    void open(const QList<QStringList> &herbs = {})
    {
        if (!m_db)
            m_db = std::make_unique<TempStore>();
        for (const QStringList &herb : herbs)
            m_db->exec("INSERT INTO bianhao (编号, 品名, 拼音) VALUES (?, ?, ?)",
                       {herb[0], herb[1], herb.value(2)});
        m_screen = std::make_unique<BinmingFrm>(m_db->store());
        m_screen->show();
        m_screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    }
    template <typename T = QWidget> T *widget(const QString &name)
    {
        return findWidget<T>(m_screen.get(), name);
    }
    QLineEdit *entry(int index) { return widget<QLineEdit>("Text2_" + QString::number(index)); }
    void click(const QString &button) { QTest::mouseClick(widget(button), Qt::LeftButton); }
    DataGrid *grid() { return widget<DataGrid>("DBGrid1"); }
    int gridRows() { return grid()->model()->rowCount(); }
    int herbCount() { return m_db->scalar("SELECT count(*) FROM bianhao").toInt(); }

    std::unique_ptr<TempStore> m_db;
    MessageRecorder m_messages;
    std::unique_ptr<BinmingFrm> m_screen;
};

void TestBinmingfrm::addStoresEveryBoxInItsColumn()
{
    m_db = std::make_unique<TempStore>();
    m_db->exec("INSERT INTO fenlei VALUES ('  根茎类  ')");
    open();
    typeInto(entry(0), "GC01");
    typeInto(entry(1), "甘草");
    click("Command3"); // what is not given is stored as Null
    QCOMPARE(entry(0)->text(), QStringLiteral("GC01")); // the boxes keep what was typed

    // Enter moves through the boxes in reading order; in the last one it adds.
    const QStringList order{"Text2_0", "Text2_1", "Text2_2", "Text2_3",
                            "Text2_4", "Combo1",  "Combo2",  "Combo3"};
    const QStringList typed{" 2", "", "O'Neil *%", "v3", "v4", "", "v6", "v7"};
    for (int i = 0; i < order.size(); ++i) {
        if (order[i] == "Combo1")
            widget<QComboBox>("Combo1")->setCurrentIndex(0); // the list offers trimmed entries
        typeInto(widget(order[i]), typed[i]);
        QCOMPARE(herbCount(), 1);
        pressEnter(QApplication::focusWidget());
        QVERIFY2(widget(order[(i + 1) % order.size()])->hasFocus(), qPrintable(order[i]));
    }
    const auto rows = m_db->rows("SELECT * FROM bianhao ORDER BY rowid");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(shown(rows[0]), QStringList({"GC01", "甘草", "~", "~", "~", "~", "~", "~"}));
    QCOMPARE(shown(rows[1]),
             QStringList({"GC01 2", "甘草", "O'Neil *%", "v3", "根茎类", "v4", "v6", "v7"}));
    QCOMPARE(gridRows(), 2);
    QVERIFY(m_messages.texts.isEmpty());
}

void TestBinmingfrm::addRefusals_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // empty: stored
    const QString duplicate = "重复，不能添加";
    QTest::newRow("same pair") << "GC01" << "甘草" << duplicate;
    QTest::newRow("letter case differs") << "gc01" << "甘草" << duplicate;
    QTest::newRow("quote in a stored code") << "O'1" << "人参" << duplicate;
    QTest::newRow("same code, other name") << "GC01" << "黄芪" << "";
    QTest::newRow("same name, other code") << "GC02" << "甘草" << "";
    QTest::newRow("star is not a pattern") << "GC*" << "甘草" << "";
    QTest::newRow("percent is not a pattern") << "GC%" << "甘草" << "";
    QTest::newRow("trailing blank differs") << "GC01 " << "甘草" << "";
    QTest::newRow("blanks are a code") << "  " << "甘草" << "";
    QTest::newRow("no code") << "" << "甘草" << "不能空";
    QTest::newRow("no name") << "GC09" << "" << "不能空";
}

void TestBinmingfrm::addRefusals()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, message);
    open({{"GC01", "甘草"}, {"O'1", "人参"}});
    typeInto(widget("Text1"), "nothing");
    click("Command1");
    typeInto(entry(0), code);
    typeInto(entry(1), name);
    click("Command3");

    QCOMPARE(m_messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
    const auto added = m_db->rows("SELECT 编号 FROM bianhao WHERE rowid > 2");
    QCOMPARE(added, message.isEmpty() ? QList<QVariantList>{{code}} : QList<QVariantList>());
    if (message != "不能空")
        QCOMPARE(gridRows(), herbCount()); // the whole dictionary shows again
    QCOMPARE(entry(0)->text(), code);
    QVERIFY(entry(0)->hasFocus());
}

void TestBinmingfrm::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QTest::newRow("star lists all") << "*" << 4;
    QTest::newRow("prefix pattern, any case") << "GC*" << 2;
    QTest::newRow("no wildcard is equality") << "gc" << 1;
    QTest::newRow("matches name") << "黄芪" << 1;
    QTest::newRow("question mark is one character") << "gc0?" << 1;
    QTest::newRow("quote is plain text") << "O'1" << 1;
    QTest::newRow("percent is plain text") << "%" << 0;
    QTest::newRow("empty text") << "" << 0;
}

void TestBinmingfrm::search()
{
    QFETCH(QString, text);
    QFETCH(int, rows);
    open({{"GC01", "甘草", "gc"}, {"HQ01", "黄芪", "hq"}, {"O'1", "人参", "rs"}, {"x", "y", "gcx"}});
    typeInto(widget("Text1"), text);
    click("Command1");
    QCOMPARE(gridRows(), rows);
    QVERIFY(m_messages.texts.isEmpty());
}

void TestBinmingfrm::deleteKeepsTheSearchAndNeedsAChosenRow()
{
    open({{"A1", "甲", "a"}, {"A2", "乙", "a"}, {"B1", "丙", "b"}});
    typeInto(widget("Text1"), "a");
    pressEnter(widget("Text1")); // Enter in the search box searches too
    QCOMPARE(gridRows(), 2);
    grid()->setCurrentIndex(grid()->model()->index(1, 0));
    click("Command4");
    QCOMPARE(m_db->scalar("SELECT group_concat(编号) FROM bianhao").toString(),
             QStringLiteral("A1,B1"));
    QCOMPARE(gridRows(), 1); // still the search result
    QVERIFY(m_messages.texts.isEmpty());

    click("Command4"); // no row chosen since the delete
    grid()->setCurrentIndex(grid()->model()->index(0, 0));
    click("Command4");
    QCOMPARE(gridRows(), 0);
    click("Command4"); // an empty list
    QCOMPARE(m_messages.texts, (QStringList{"删除错误", "删除错误"}));
    click("Command2");
    QCOMPARE(gridRows(), 1);
    QCOMPARE(grid()->model()->index(0, 0).data().toString(), QStringLiteral("B1"));
}

QTEST_MAIN(TestBinmingfrm)
#include "tst_binmingfrm.moc"
