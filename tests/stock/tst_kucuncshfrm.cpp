#include "stock/kucuncshfrm.h"
#include "stockscreendriver.h"

#include <QApplication>

namespace {

using Kucuncsh = StockScreenDriver<KucuncshFrm>;

// The last row has neither code nor name.
const QString stock = "INSERT INTO kucun (编号, 品名) VALUES ('DG01', '当归'), ('DG02', '当归尾'), "
                      "('HQ01', '黄芪'), ('gc01', '甘草'), (NULL, NULL)";

} // namespace

class tst_Kucuncshfrm : public QObject
{
    Q_OBJECT

private slots:
    void searchTakesWholeCodeOrNameStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("name start") << "当归" << QStringList{"DG01", "DG02"};
        QTest::newRow("code start finds nothing") << "DG" << QStringList{};
        QTest::newRow("whole code, other case") << "GC01" << QStringList{"gc01"};
        QTest::newRow("empty: named rows") << "" << QStringList{"DG01", "DG02", "HQ01", "gc01"};
        QTest::newRow("percent is plain text") << "%" << QStringList{};
    }
    void searchTakesWholeCodeOrNameStart()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        Kucuncsh s(stock);
        s.search(text);
        QCOMPARE(s.listedCodes(), codes);
    }

    void addGivesAnEmptyCodeRowReadyForTyping()
    {
        Kucuncsh s(stock);
        // The new row joins the rows found; its code is empty, not missing, and nothing else is
        // written.
        s.search("黄芪");
        s.click("Command2");
        QCOMPARE(s.listedCodes(), (QStringList{"HQ01", ""}));
        QCOMPARE(s.temp.scalar("SELECT count(*) FROM kucun WHERE 编号 = '' AND 品名 IS NULL"), 1);
        // The new row is current, so the user types its code straight away; leaving the screen
        // saves it.
        QTest::keyClick(s.grid(), 'C');
        typeKeys(QApplication::focusWidget(), "H01");
        pressEnter(QApplication::focusWidget());
        s.screen->close();
        QCOMPARE(s.temp.scalar("SELECT 编号 FROM kucun WHERE rowid = 6"), "CH01");
    }

    void deleteTakesTheChosenRowOrAllListedRows()
    {
        Kucuncsh s(stock);
        // Deleting all asks first, of the whole table as first listed.
        s.messages.answer = false;
        s.click("Command4");
        QCOMPARE(s.messages.questions, QStringList("删除列表中的全部 5 条库存记录吗？"));
        // One row goes without a question; a second click, with nothing chosen, takes no other.
        s.chooseRow(1);
        s.click("Command3");
        s.click("Command3");
        QCOMPARE(s.listedCodes(), (QStringList{"DG01", "HQ01", "gc01", ""}));
        // An empty list is refused without a question.
        s.messages.answer = true;
        s.search("没有这种药");
        s.click("Command4");
        QCOMPARE(s.messages.questions.size(), 1);
        QCOMPARE(s.messages.texts.size(), 2);
        // Only the listed rows go, a row added to the list included though the search would
        // not find it.
        s.search("黄芪");
        s.click("Command2");
        s.click("Command4");
        QCOMPARE(s.listedRows(), 0);
        QCOMPARE(s.temp.rows("SELECT coalesce(编号, '-') FROM kucun ORDER BY rowid"),
                 (QList<QVariantList>{{"DG01"}, {"gc01"}, {"-"}}));
    }
};

QTEST_MAIN(tst_Kucuncshfrm)
#include "tst_kucuncshfrm.moc"
