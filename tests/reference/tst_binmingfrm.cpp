#include "reference/binmingfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
    void init();
    void cleanup();
    void addStoresTypedTextAndNull();
    void duplicateTest_data();
    void duplicateTest();
    void emptyCodeOrNameIsRefused();
    void enterMovesThroughTheBoxesAndAdds();
    void search_data();
    void search();
    void deleteKeepsTheSearchAndReportsAnEmptyList();

private:
    void openScreen();
    template <typename T>
    T *widget(const QString &name)
    {
        return findWidget<T>(m_screen.get(), name);
    }
    QLineEdit *entry(int index)
    {
        return widget<QLineEdit>(QStringLiteral("Text2_%1").arg(index));
    }
    void click(const QString &button)
    {
        QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
    }
    DataGrid *grid() { return widget<DataGrid>(QStringLiteral("DBGrid1")); }
    int gridRows() { return grid()->model()->rowCount(); }
    void storeHerb(const QString &code, const QString &name, const QString &pinyin = QString());
    qint64 herbCount()
    {
        return m_db->scalar(QStringLiteral("SELECT count(*) FROM bianhao")).toLongLong();
    }

    std::unique_ptr<TempStore> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<BinmingFrm> m_screen;
};

void TestBinmingfrm::init()
{
    m_db = std::make_unique<TempStore>();
    m_messages = std::make_unique<MessageRecorder>();
}

void TestBinmingfrm::cleanup()
{
    m_screen.reset();
    m_messages.reset();
    m_db.reset();
}

void TestBinmingfrm::openScreen()
{
    m_screen = std::make_unique<BinmingFrm>(m_db->store());
    m_screen->show();
    m_screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
}

void TestBinmingfrm::storeHerb(const QString &code, const QString &name, const QString &pinyin)
{
    m_db->exec(QStringLiteral("INSERT INTO bianhao (编号, 品名, 拼音) VALUES (?, ?, ?)"),
               {code, name, pinyin});
}

void TestBinmingfrm::addStoresTypedTextAndNull()
{
    m_db->exec(QStringLiteral("INSERT INTO fenlei VALUES ('  根茎类  ')"));
    openScreen();
    auto *category = widget<QComboBox>(QStringLiteral("Combo1"));
    QCOMPARE(category->itemText(0), QStringLiteral("根茎类")); // lists are trimmed

    typeInto(entry(0), QStringLiteral("GC01"));
    typeInto(entry(1), QStringLiteral("甘草"));
    click(QStringLiteral("Command3"));
    typeInto(entry(0), QStringLiteral(" 2"));
    typeInto(entry(2), QStringLiteral("O'Neil *%"));
    category->setCurrentIndex(0);
    typeInto(widget<QComboBox>(QStringLiteral("Combo3")), QStringLiteral("补气"));
    click(QStringLiteral("Command3"));

    const auto rows = m_db->rows(QStringLiteral("SELECT * FROM bianhao ORDER BY rowid"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(shown(rows[0]), QStringList({"GC01", "甘草", "~", "~", "~", "~", "~", "~"}));
    QCOMPARE(shown(rows[1]),
             QStringList({"GC01 2", "甘草", "O'Neil *%", "~", "根茎类", "~", "~", "补气"}));
    QVERIFY(m_messages->texts.isEmpty());
    QCOMPARE(gridRows(), 2);
    QCOMPARE(entry(0)->text(), QStringLiteral("GC01 2")); // the boxes keep what was typed
}

void TestBinmingfrm::duplicateTest_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same pair") << "GC01" << "甘草" << true;
    QTest::newRow("letter case differs") << "gc01" << "甘草" << true;
    QTest::newRow("same code, other name") << "GC01" << "黄芪" << false;
    QTest::newRow("same name, other code") << "GC02" << "甘草" << false;
    QTest::newRow("star is not a pattern") << "GC*" << "甘草" << false;
    QTest::newRow("percent is not a pattern") << "GC%" << "甘草" << false;
    QTest::newRow("quote in a stored code") << "O'1" << "人参" << true;
    QTest::newRow("trailing blank differs") << "GC01 " << "甘草" << false;
}

void TestBinmingfrm::duplicateTest()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(bool, refused);
    storeHerb(QStringLiteral("GC01"), QStringLiteral("甘草"));
    storeHerb(QStringLiteral("O'1"), QStringLiteral("人参"));
    openScreen();
    typeInto(widget<QLineEdit>(QStringLiteral("Text1")), QStringLiteral("nothing"));
    click(QStringLiteral("Command1"));
    QCOMPARE(gridRows(), 0);

    typeInto(entry(0), code);
    typeInto(entry(1), name);
    click(QStringLiteral("Command3"));

    QCOMPARE(herbCount(), refused ? 2 : 3);
    QCOMPARE(m_messages->texts, refused ? QStringList{"重复，不能添加"} : QStringList());
    QCOMPARE(gridRows(), int(herbCount())); // the whole dictionary shows again
    QCOMPARE(entry(0)->text(), code);
    QVERIFY(entry(0)->hasFocus());
}

void TestBinmingfrm::emptyCodeOrNameIsRefused()
{
    openScreen();
    typeInto(entry(1), QStringLiteral("甘草"));
    click(QStringLiteral("Command3"));
    QCOMPARE(m_messages->texts, QStringList{"不能空"});
    QCOMPARE(herbCount(), 0);
    QVERIFY(entry(0)->hasFocus());

    typeInto(entry(0), QStringLiteral("  ")); // blanks are a code
    click(QStringLiteral("Command3"));
    QCOMPARE(m_messages->texts.size(), 1);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT 编号 FROM bianhao")).toString(),
             QStringLiteral("  "));
}

void TestBinmingfrm::enterMovesThroughTheBoxesAndAdds()
{
    openScreen();
    const QStringList order{"Text2_0", "Text2_1", "Text2_2", "Text2_3", "Text2_4",
                            "Combo1",  "Combo2",  "Combo3"};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget *box = widget<QWidget>(order[i]);
        typeInto(box, QStringLiteral("v%1").arg(i));
        pressEnter(QApplication::focusWidget());
        QVERIFY2(widget<QWidget>(order[i + 1])->hasFocus(), qPrintable(order[i]));
        QCOMPARE(herbCount(), 0);
    }
    typeInto(widget<QWidget>(QStringLiteral("Combo3")), QStringLiteral("v7"));
    pressEnter(QApplication::focusWidget());
    const auto rows = m_db->rows(QStringLiteral("SELECT * FROM bianhao"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(shown(rows[0]), QStringList({"v0", "v1", "v2", "v3", "v5", "v4", "v6", "v7"}));
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
    storeHerb(QStringLiteral("GC01"), QStringLiteral("甘草"), QStringLiteral("gc"));
    storeHerb(QStringLiteral("HQ01"), QStringLiteral("黄芪"), QStringLiteral("hq"));
    storeHerb(QStringLiteral("O'1"), QStringLiteral("人参"), QStringLiteral("rs"));
    storeHerb(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("gcx"));
    openScreen();
    auto *searchBox = widget<QLineEdit>(QStringLiteral("Text1"));
    typeInto(searchBox, text);
    click(QStringLiteral("Command1"));
    QCOMPARE(gridRows(), rows);
    QVERIFY(m_messages->texts.isEmpty());

    searchBox->clear();
    typeInto(searchBox, QStringLiteral("hq01"));
    pressEnter(searchBox);
    QCOMPARE(gridRows(), 1);
    click(QStringLiteral("Command2"));
    QCOMPARE(gridRows(), 4);
}

void TestBinmingfrm::deleteKeepsTheSearchAndReportsAnEmptyList()
{
    storeHerb(QStringLiteral("A1"), QStringLiteral("甲"), QStringLiteral("a"));
    storeHerb(QStringLiteral("A2"), QStringLiteral("乙"), QStringLiteral("a"));
    storeHerb(QStringLiteral("B1"), QStringLiteral("丙"), QStringLiteral("b"));
    openScreen();
    typeInto(widget<QLineEdit>(QStringLiteral("Text1")), QStringLiteral("a"));
    click(QStringLiteral("Command1"));
    QCOMPARE(gridRows(), 2);

    grid()->setCurrentIndex(grid()->model()->index(1, 0));
    click(QStringLiteral("Command4"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(编号) FROM bianhao")).toString(),
             QStringLiteral("A1,B1"));
    QCOMPARE(gridRows(), 1); // still the search result
    QVERIFY(m_messages->texts.isEmpty());

    click(QStringLiteral("Command4")); // no row chosen since the delete
    QCOMPARE(m_messages->texts, QStringList{"删除错误"});
    grid()->setCurrentIndex(grid()->model()->index(0, 0));
    click(QStringLiteral("Command4"));
    QCOMPARE(gridRows(), 0);
    click(QStringLiteral("Command4"));
    QCOMPARE(m_messages->texts, (QStringList{"删除错误", "删除错误"}));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT 编号 FROM bianhao")).toString(),
             QStringLiteral("B1"));
}

QTEST_MAIN(TestBinmingfrm)
#include "tst_binmingfrm.moc"
