#include "stock/kucuncshfrm.h"
#include "stockscreendriver.h"

#include <QApplication>

namespace {

using Kucuncsh = StockScreenDriver<KucuncshFrm>;

// The last row has neither code nor name.
const QString stock = "INSERT INTO kucun (编号, 品名, 库存数量, 进价) VALUES ('DG01', '当归', 10, 2.5), "
                      "('DG02', '当归尾', 4, 3), ('HQ01', '黄芪', 7, 1.2), ('gc01', '甘草', 1, 1), "
                      "(NULL, NULL, 2, 2)";

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
        QTest::newRow("typed pattern") << "DG*" << QStringList{"DG01", "DG02"};
        QTest::newRow("empty lists named rows") << "" << QStringList{"DG01", "DG02", "HQ01", "gc01"};
        QTest::newRow("quote is plain text") << "当归' or '1'='1" << QStringList{};
        QTest::newRow("percent is plain text") << "%" << QStringList{};
    }
    void searchTakesWholeCodeOrNameStart()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        Kucuncsh s(stock);
        QCOMPARE(s.listedRows(), 5);
        s.search(text);
        QCOMPARE(s.listedCodes(), codes);
        QVERIFY(s.messages.texts.isEmpty());
    }

    void addGivesAnEmptyCodeRowReadyForTyping()
    {
        Kucuncsh s(stock);
        s.click("Command2");
        s.click("Command2");
        // An empty code, not a missing one; nothing else is written.
        QCOMPARE(s.stored("rowid > 5 AND 编号 = '' AND 品名 IS NULL"), 2);
        QCOMPARE(s.grid()->currentIndex(), s.grid()->model()->index(6, 0));

        // The user types the code straight away; leaving the screen saves it.
        QTest::keyClick(s.grid(), 'C');
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "H01");
        QTest::keyClick(editor, Qt::Key_Return);
        s.screen->close();
        QCOMPARE(s.temp.scalar("SELECT 编号 FROM kucun WHERE rowid = 7").toString(),
                 QStringLiteral("CH01"));

        // After a search the new row joins the rows found.
        s.reopen();
        s.search("黄芪");
        s.click("Command2");
        QCOMPARE(s.listedCodes(), (QStringList{"HQ01", ""}));
    }

    void deleteRemovesOnlyTheChosenRowWithoutAsking()
    {
        Kucuncsh s(stock);
        s.chooseRow(1);
        s.click("Command3");
        QCOMPARE(s.stored("编号 = 'DG02'"), 0);
        QCOMPARE(s.listedCodes(), (QStringList{"DG01", "HQ01", "gc01", ""}));
        QVERIFY(s.messages.questions.isEmpty());

        // A second click without choosing again must not take the neighbouring row, nor a
        // click on an empty list.
        s.click("Command3");
        s.search("没有这种药");
        s.click("Command3");
        QCOMPARE(s.messages.texts.size(), 2);
        QCOMPARE(s.stored(), 4);
    }

    void deleteAllTakesTheListedRowsAfterAsking()
    {
        Kucuncsh s(stock);
        s.messages.answer = false;
        s.click("Command4");
        QCOMPARE(s.messages.questions.size(), 1);
        QCOMPARE(s.stored(), 5);
        // An empty list is refused without a question.
        s.messages.answer = true;
        s.search("没有这种药");
        s.click("Command4");
        QCOMPARE(s.messages.questions.size(), 1);
        QCOMPARE(s.messages.texts.size(), 1);

        s.search("当归");
        s.click("Command4");
        QCOMPARE(s.listedRows(), 0);
        QCOMPARE(s.temp.rows("SELECT 编号 FROM kucun WHERE 编号 IS NOT NULL ORDER BY rowid"),
                 (QList<QVariantList>{{"HQ01"}, {"gc01"}}));
        // A row added to the list is part of it, though the search would not find it.
        s.search("黄芪");
        s.click("Command2");
        s.click("Command4");
        QCOMPARE(s.stored(), 2);
        QCOMPARE(s.stored("编号 = ''"), 0);
        // Without a search the whole table goes, the unnamed row included.
        s.reopen();
        s.click("Command4");
        QCOMPARE(s.stored(), 0);
        QCOMPARE(s.listedRows(), 0);
    }

    void cellEditOfWrongKindIsRefused()
    {
        Kucuncsh s(stock);
        s.editCell(2, "库存数量", "七斤");
        s.chooseRow(0);
        QCOMPARE(s.messages.texts.size(), 1);
        QVERIFY(s.messages.last().contains("库存数量"));
        QCOMPARE(s.temp.scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'HQ01'").toDouble(), 7.0);
        QCOMPARE(s.cell(2, "库存数量"), QStringLiteral("7"));
    }
};

QTEST_MAIN(tst_Kucuncshfrm)
#include "tst_kucuncshfrm.moc"
