#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "sales/salesscreens.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "support/testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

// A herb bought into stock, sold and posted out of it, and found again, all through the main
// window's menu and toolbar and the screens' own boxes and buttons.
class tst_SalesFlow : public QObject
{
    Q_OBJECT

    QWidget *open(HerbdeskFrm &desk, const char *item)
    {
        desk.findChild<QAction *>(item)->trigger();
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
    static QStringList texts(QWidget *screen, const QStringList &names)
    {
        QStringList result;
        for (const QString &name : names)
            result << box(screen, name)->text();
        return result;
    }

private slots:
    void boughtSoldAndFoundAgain()
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today(QDate(2026, 12, 5));
        temp.exec("UPDATE danjuhao SET 进货单号 = 7, 销售单号 = 3");
        temp.exec("INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家)"
                  " VALUES ('120', '甘草', 'gc', '片', '内蒙', 'B1', 8.5, '公斤', '一号库', '安国')");
        temp.exec("INSERT INTO yonghu (客户) VALUES ('仁和堂')");
        ScreenRegistry screens;
        registerReferenceScreens(screens);
        registerPurchasingScreens(screens);
        registerSalesScreens(screens);
        registerStockScreens(screens);
        HerbdeskFrm desk(temp.store(), screens, Session{QStringLiteral("岚溪材进销存")});
        desk.show();
        QVERIFY(QTest::qWaitForWindowExposed(&desk));

        // Ten bought at 2.55 go into stock.
        QWidget *purchase = open(desk, "Toolbar1_1");
        typeInto(box(purchase, "Text3_2"), "gc");
        pressEnter(box(purchase, "Text3_2"));
        typeInto(box(purchase, "Text6"), "10");
        typeInto(box(purchase, "Text7"), "2.55");
        pressEnter(box(purchase, "Text7"));
        pressEnter(box(purchase, "Text8"));
        click(purchase, "Command5");

        // Three, then four of them are sold to a customer, from the toolbar's sales entry.
        QWidget *sale = open(desk, "Toolbar1_2");
        QCOMPARE(sale->objectName(), "xiaoshoufrm");
        QCOMPARE(box(sale, "Text4")->text(), "XS20261205003");
        for (const char *quantity : {"3", "4"}) {
            typeInto(box(sale, "Text3_1"), "甘草");
            pressEnter(box(sale, "Text3_1")); // takes the stock row over
            pressEnter(box(sale, "Text3_2"));
            findWidget<QComboBox>(sale, "Combo2")->setEditText("仁和堂");
            pressEnter(findWidget<QComboBox>(sale, "Combo2"));
            typeInto(box(sale, "Text8"), quantity);
            typeInto(box(sale, "Text9"), "4.5");
            pressEnter(box(sale, "Text9"));
            pressEnter(box(sale, "Text10"));
        }
        QCOMPARE(texts(sale, {"Text7", "Text5", "Text6"}), (QStringList{"10", "2", "31.50"}));
        click(sale, "Command5");
        QCOMPARE(texts(sale, {"Text5", "Text6", "Text4"}),
                 (QStringList{"0", "0", "XS20261205004"}));
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('|')));
        // Three are left, worth three times the cost.
        QCOMPARE(temp.rows("SELECT 批号, 库存数量, 进价, 进价金额 FROM kucun"),
                 (QList<QVariantList>{{"B1", 3.0, 2.55, 7.65}}));

        // The sales query from the menu finds both lines of the customer.
        QWidget *lines = open(desk, "xiaochanum");
        QCOMPARE(lines->objectName(), "xiaoshouchafrm");
        findWidget<QRadioButton>(lines, "Option3")->setChecked(true);
        findWidget<QComboBox>(lines, "Combo1")->setEditText("仁和堂");
        click(lines, "Command1");
        QCOMPARE(texts(lines, {"Text4", "Text5", "Text6"}), (QStringList{"2", "7", "31.5"}));
        QCOMPARE(open(desk, "Toolbar1_5"), lines);

        // The document query from the menu lists the document's header and lines.
        QWidget *documents = open(desk, "xiaodannum");
        QCOMPARE(documents->objectName(), "chudanchafrm");
        typeInto(box(documents, "Text1"), "20261205");
        pressEnter(box(documents, "Text1"));
        QCOMPARE(box(documents, "Text1")->text(), "XS20261205003");
        click(documents, "Command1");
        QCOMPARE(texts(documents, {"Text2", "Text3"}), (QStringList{"2", "31.5"}));
        QCOMPARE(temp.rows("SELECT 销售单, 日期, 购货单位 FROM danju"),
                 (QList<QVariantList>{{"XS20261205003", "2026-12-05", "仁和堂"}}));
    }
};

QTEST_MAIN(tst_SalesFlow)
#include "tst_salesflow.moc"
