#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/clock.h"
#include "support/testsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

// A purchase from the menu to the stock: numbered by the settings, entered and posted on the
// entry screen, found again on the query screens, through the main window's own wiring.
class tst_PurchaseFlow : public QObject
{
    Q_OBJECT

    QWidget *open(HerbdeskFrm &desk, const char *menuItem)
    {
        desk.findChild<QAction *>(menuItem)->trigger();
        QMdiSubWindow *active = desk.clientArea()->activeSubWindow();
        return active ? active->widget() : nullptr;
    }
    static QLineEdit *box(QWidget *screen, const QString &name)
    {
        return findWidget<QLineEdit>(screen, name);
    }
    static void click(QWidget *screen, const char *button)
    {
        QTest::mouseClick(findWidget<QPushButton>(screen, button), Qt::LeftButton);
    }

private slots:
    void enteredPostedAndFoundAgain()
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today(QDate(2026, 12, 4));
        temp.exec("INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家)"
                  " VALUES ('120', '甘草', 'gc', '片', '内蒙', 'B1', 8.5, '公斤', '一号库', '安国')");
        ScreenRegistry screens;
        registerReferenceScreens(screens);
        registerPurchasingScreens(screens);
        registerStockScreens(screens);
        HerbdeskFrm desk(temp.store(), screens, Session{QStringLiteral("岚溪材进销存")});
        desk.show();
        QVERIFY(QTest::qWaitForWindowExposed(&desk));

        // The counter set in the settings is the sequence part of the next document number.
        QWidget *settings = open(desk, "dayinnum");
        box(settings, "Text2")->setText("7");
        click(settings, "Command1");
        QCOMPARE(messages.texts, QStringList{"设置完毕"});
        messages.clear();

        // The line is entered one day and posted the next, after the screen was opened again:
        // it is filed under the number that the document gets.
        QWidget *entry = open(desk, "jinjinum");
        QVERIFY(entry);
        QCOMPARE(box(entry, "Text9")->text(), QStringLiteral("JH20261204007"));
        typeInto(box(entry, "Text3_2"), "gc");
        pressEnter(box(entry, "Text3_2")); // takes the only catalogue row over
        QCOMPARE(box(entry, "Text3_0")->text(), QStringLiteral("120"));
        typeInto(box(entry, "Text6"), "4");
        typeInto(box(entry, "Text7"), "2.5");
        pressEnter(box(entry, "Text7"));
        pressEnter(box(entry, "Text8"));
        click(entry, "Command6");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the window goes
        Clock::setToday(QDate(2026, 12, 5));
        entry = open(desk, "jinjinum");
        QCOMPARE(box(entry, "Text9")->text(), QStringLiteral("JH20261205007"));
        click(entry, "Command5");
        QCOMPARE(box(entry, "Text9")->text(), QStringLiteral("JH20261205008"));
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('|')));

        QWidget *stock = open(desk, "kuchanum");
        QCOMPARE(box(stock, "Text2")->text(), QStringLiteral("1"));
        QCOMPARE(box(stock, "Text3")->text(), QStringLiteral("10.00"));

        QWidget *lines = open(desk, "jinchanum");
        typeInto(box(lines, "Text1"), "甘草");
        click(lines, "Command1");
        QCOMPARE((QStringList{box(lines, "Text4")->text(), box(lines, "Text5")->text(),
                              box(lines, "Text6")->text()}),
                 (QStringList{"1", "4", "10"}));

        QWidget *documents = open(desk, "jindannum");
        box(documents, "Text1")->setText("JH20261205007");
        click(documents, "Command1");
        QCOMPARE(box(documents, "Text2")->text(), QStringLiteral("1"));
        QCOMPARE(box(documents, "Text3")->text(), QStringLiteral("10"));
        QCOMPARE(temp.rows("SELECT 进货单, 日期 FROM huodan"),
                 (QList<QVariantList>{{"JH20261205007", "2026-12-05"}}));
    }
};

QTEST_MAIN(tst_PurchaseFlow)
#include "tst_purchaseflow.moc"
