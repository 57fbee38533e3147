#include "reference/binmingfrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

class TestBinmingfrm : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.clear();
        m_db = std::make_unique<TempStore>();
    }
    void cleanup() { m_screen.reset(); }

    void addStoresEveryBoxInItsColumn()
    {
        m_db->exec("INSERT INTO fenlei VALUES ('  根茎类  ')");
        open();
        // Enter moves through the boxes in reading order; in the last one it adds. What is not
        // given is stored as Null.
        const QStringList order{"Text2_0", "Text2_1", "Text2_2", "Text2_3",
                                "Text2_4", "Combo1",  "Combo2",  "Combo3"};
        const QStringList typed{"GC01", "甘草", "O'Neil *%", "", "v4", "", "", "v7"};
        widget<QComboBox>("Combo1")->setCurrentIndex(0); // the list offers the entry trimmed
        for (int i = 0; i < order.size(); ++i) {
            typeInto(widget(order[i]), typed[i]);
            pressEnter(QApplication::focusWidget());
            QVERIFY2(widget(order[(i + 1) % order.size()])->hasFocus(), qPrintable(order[i]));
        }
        QStringList stored;
        for (const QVariant &value : m_db->tableRows("bianhao").value(0))
            stored << (value.isNull() ? QStringLiteral("~") : value.toString());
        QCOMPARE(stored, QStringList({"GC01", "甘草", "O'Neil *%", "~", "根茎类", "v4", "~", "v7"}));
        QCOMPARE(gridRows(), 1);
        QVERIFY(m_messages.texts.isEmpty());
    }

    void addRefusals_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: stored
        // A duplicate has the same code and name, letter case aside.
        QTest::newRow("same pair") << "GC01" << "甘草" << "重复，不能添加";
        QTest::newRow("letter case differs") << "gc01" << "甘草" << "重复，不能添加";
        QTest::newRow("quote in a stored code") << "O'1" << "人参" << "重复，不能添加";
        QTest::newRow("same code, other name") << "GC01" << "黄芪" << "";
        QTest::newRow("no name") << "GC09" << "" << "不能空";
    }

    void addRefusals()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, message);
        open({{"GC01", "甘草", ""}, {"O'1", "人参", ""}});
        typeInto(widget("Text1"), "nothing");
        click("Command1");
        typeInto(widget("Text2_0"), code);
        typeInto(widget("Text2_1"), name);
        click("Command3");

        QCOMPARE(m_messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        const auto added = m_db->rows("SELECT 编号 FROM bianhao WHERE rowid > 2");
        QCOMPARE(added, message.isEmpty() ? QList<QVariantList>{{code}} : QList<QVariantList>());
        // Past the empty check, the whole dictionary shows again; the boxes keep what was typed.
        QCOMPARE(gridRows(), message == "不能空" ? 0 : herbCount());
        QCOMPARE(widget<QLineEdit>("Text2_0")->text(), code);
        QVERIFY(widget("Text2_0")->hasFocus());
    }

    void searchAndDelete()
    {
        open({{"GC01", "甘草", "gc"}, {"HQ01", "黄芪", "hq"}, {"x", "y", "gcx"}});
        // Code, name or pinyin match the text as a pattern, with no wildcard added. Enter in the
        // search box searches as "查找" does.
        const auto listed = [this](const QString &text) {
            widget<QLineEdit>("Text1")->setText(text);
            pressEnter(widget("Text1"));
            return gridRows();
        };
        QCOMPARE(listed("gc"), 1);
        QCOMPARE(listed("黄芪"), 1);
        QCOMPARE(listed("GC*"), 2);

        // A delete keeps the search result and leaves no row chosen.
        auto *grid = widget<DataGrid>("DBGrid1");
        grid->setCurrentIndex(grid->model()->index(1, 0));
        click("Command4");
        QCOMPARE(gridRows(), 1);
        click("Command4");
        QCOMPARE(m_messages.texts, QStringList{"删除错误"});
        click("Command2");
        QCOMPARE(m_db->joined("bianhao", "编号"), "GC01,HQ01");
        QCOMPARE(gridRows(), 2);

        // A herb changed in the meantime is not deleted: the user is told to look again.
        m_messages.clear();
        m_db->exec("UPDATE bianhao SET 品名 = '炙甘草' WHERE 编号 = 'GC01'");
        grid->setCurrentIndex(grid->model()->index(0, 0));
        click("Command4");
        QCOMPARE(m_messages.texts, QStringList{"记录已被修改或删除，请重新查询"});
        QCOMPARE(herbCount(), 2);
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("炙甘草"));
    }

private:
    // Stores the herbs (code, name, pinyin), then opens the screen on them.
    void open(const QList<QStringList> &herbs = {})
    {
        for (const QStringList &herb : herbs)
            m_db->exec("INSERT INTO bianhao (编号, 品名, 拼音) VALUES (?, ?, ?)",
                       {herb[0], herb[1], herb[2]});
        m_screen = std::make_unique<BinmingFrm>(m_db->store());
        m_screen->show();
        m_screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    }
    template <typename T = QWidget> T *widget(const QString &name)
    {
        return findWidget<T>(m_screen.get(), name);
    }
    void click(const QString &button) { QTest::mouseClick(widget(button), Qt::LeftButton); }
    int gridRows() { return widget<DataGrid>("DBGrid1")->model()->rowCount(); }
    int herbCount() { return m_db->scalar("SELECT count(*) FROM bianhao").toInt(); }

    std::unique_ptr<TempStore> m_db;
    MessageRecorder m_messages;
    std::unique_ptr<BinmingFrm> m_screen;
};

QTEST_MAIN(TestBinmingfrm)
#include "tst_binmingfrm.moc"
