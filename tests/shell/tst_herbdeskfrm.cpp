#include "support/testsupport.h"

#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QToolBar>

namespace {

// Each menu's items in order as name:caption, "=screen" where the item opens one; an item
// without caption is a separator.
const QList<QPair<QString, QString>> menus = {
    {"", "jibennum:基本设置 jinhuonum:进货管理 xiaoshounum:销售管理 kucun:库存管理 "
         "ziliaonum:资料管理 helpnum:使用帮助"},
    {"jibennum", "yonghunum:用户设置=yonghufrm mimanum:密码设置=mimafrm gang1: "
                 "xitongnum:系统设置 dayinnum:其他设置=qitafrm gang2: exitnum:退出系统"},
    {"xitongnum", "zidiannum:药材字典=binmingfrm jyycnum:经营药材=yaocaifrm "
                  "kufangnum:添加库房=kufangfrm gangx: jldwnum:计量单位=danweifrm "
                  "fenleinum:药材分类=fenleifrm gongnengnum:药材功能=gongnengfrm"},
    {"jinhuonum", "jinjinum:进货登记=jinhuodjfrm jinchanum:进货查询=jinhuochafrm gang3: "
                  "jindannum:进货单查询=jindanchafrm"},
    {"xiaoshounum", "xiaodengnum:销售登记=xiaoshoufrm xiaochanum:销售查询=xiaoshouchafrm "
                    "gang4: xiaodannum:销售单查询=chudanchafrm"},
    {"kucun", "chushinum:库存初始化=kucuncshfrm kuchanum:库存查询=kucunchafrm gang5: "
              "baosunnum:库存报损=baosunfrm"},
    {"ziliaonum", "gonghuonum:供货单位=gonghuofrm kehunum:客户资料=kehufrm gang6: "
                  "jishinum:公司员工=yuangongfrm"},
    {"helpnum", "ruhenum:如何使用 lianxinum:联系我们=lianxifrm zhuyenum:访问主页"},
    {"Toolbar1", "Toolbar1_1:进货登记=jinhuodjfrm Toolbar1_2:销售登记=xiaoshoufrm Toolbar1_3: "
                 "Toolbar1_4:进货查询=jinhuochafrm Toolbar1_5:销售查询=xiaoshouchafrm "
                 "Toolbar1_6: Toolbar1_7:库存查询=kucunchafrm Toolbar1_8:退出"},
};

// A working screen that notes when it is made and closed.
struct ProbeScreen : ChildScreen
{
    ProbeScreen(Store &store, const QString &name, QSize twips, QStringList *log)
        : ChildScreen(store, name, name + "标题", twips.width(), twips.height()), log(log)
    {
        log->append("open " + name);
    }
    void closeEvent(QCloseEvent *event) override
    {
        log->append("close " + objectName());
        ChildScreen::closeEvent(event);
    }
    QStringList *log;
};

// A shown main window over a fresh store, with probe screens registered under the given names.
struct Desk
{
    TempStore temp;
    MessageRecorder messages;
    ScreenRegistry screens;
    QStringList log;
    QPointer<HerbdeskFrm> main;

    Desk(const QStringList &names, QSize twips = {4650, 3435}, QString company = "岚溪材进销存")
    {
        for (const QString &name : names)
            screens.add(name, [=](Store &s) { return new ProbeScreen(s, name, twips, &log); });
        main = new HerbdeskFrm(temp.store(), screens, Session{company});
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }
    ~Desk() { delete main; }

    QMdiArea *area() const { return main->clientArea(); }
    QAction *action(const QString &name) const { return main->findChild<QAction *>(name); }
};

} // namespace

class TestHerbdeskFrm : public QObject
{
    Q_OBJECT

private slots:
    void menuAndToolbarOpenTheirScreens()
    {
        // Every screen is registered but the drug dictionary; the contact screen is the shell's.
        QList<QPair<QString, QString>> openers;
        QStringList registered;
        for (const auto &menu : menus) {
            auto match = QRegularExpression("(\\w+):\\S+=(\\w+)").globalMatch(menu.second);
            while (match.hasNext()) {
                const QRegularExpressionMatch item = match.next();
                openers.append({item.captured(1), item.captured(2)});
                if (item.captured(2) != "binmingfrm" && item.captured(2) != "lianxifrm")
                    registered << item.captured(2);
            }
        }
        Desk desk(registered);
        for (const auto &[menu, expected] : menus) {
            const QList<QAction *> items = menu.isEmpty()
                ? desk.main->menuBar()->actions()
                : findWidget<QWidget>(desk.main, menu)->actions();
            QStringList actual;
            for (QAction *item : items) {
                QCOMPARE(item->isSeparator(), item->text().isEmpty());
                if (menu == "Toolbar1") // every button's picture loads
                    QCOMPARE(item->icon().isNull(), item->isSeparator());
                actual << item->objectName() + ":" + item->text();
            }
            QCOMPARE(actual.join(' '), QString(expected).remove(QRegularExpression("=\\w+")));
        }
        QCOMPARE(findWidget<QLabel>(desk.main, "StatusBar1_1")->text(), QString("欢迎使用青杉软件"));

        // Buttons are clicked, menu items triggered; an item without its screen is disabled.
        auto *toolbar = desk.main->findChild<QToolBar *>();
        for (const auto &[item, screen] : openers) {
            QAction *action = desk.action(item);
            QVERIFY2(action->isEnabled() == (screen != "binmingfrm"), qPrintable(item));
            if (QWidget *button = toolbar->widgetForAction(action))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                action->trigger();
            const QList<QMdiSubWindow *> hosts = desk.area()->subWindowList();
            QCOMPARE(hosts.size(), screen == "binmingfrm" ? 0 : 1);
            if (hosts.isEmpty())
                continue;
            QCOMPARE(hosts[0]->widget()->objectName(), screen);
            QCOMPARE(desk.area()->activeSubWindow(), hosts[0]);
            QCOMPARE(hosts[0]->windowTitle(), hosts[0]->widget()->windowTitle());
            QVERIFY(!(hosts[0]->windowFlags()
                      & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            hosts[0]->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // Separators and the help items without a screen do nothing.
        QTest::mouseClick(toolbar->widgetForAction(desk.action("Toolbar1_3")), Qt::LeftButton);
        QTest::mouseClick(toolbar->widgetForAction(desk.action("Toolbar1_6")), Qt::LeftButton);
        desk.action("ruhenum")->trigger();
        desk.action("zhuyenum")->trigger();
        QVERIFY(desk.area()->subWindowList().isEmpty());
        QVERIFY(desk.main->isVisible());
    }

    void screensOpenOnceAndCloseWithTheProgram_data()
    {
        QTest::addColumn<QString>("exit");
        QTest::newRow("menu") << "exitnum";
        QTest::newRow("toolbar") << "Toolbar1_8";
        QTest::newRow("close box") << "";
    }
    void screensOpenOnceAndCloseWithTheProgram()
    {
        QFETCH(QString, exit);
        Desk desk({"yonghufrm", "mimafrm"}, QSize(4650, 3435), "青杉药行");
        desk.action("yonghunum")->trigger();
        QPointer<QMdiSubWindow> users = desk.area()->activeSubWindow();
        desk.action("mimanum")->trigger();
        desk.action("yonghunum")->trigger();
        QCOMPARE(desk.area()->subWindowList().size(), 2);
        QCOMPARE(desk.area()->activeSubWindow(), users);
        QCOMPARE(desk.area()->subWindowList(QMdiArea::StackingOrder).last(), users);
        // Widgets inside a hosted screen reach the login's company name.
        QCOMPARE(sessionOf(new QLabel(users->widget()))->companyName, QString("青杉药行"));

        // Closing deletes the screen; the next open makes a new one.
        static_cast<ChildScreen *>(users->widget())->closeScreen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!users);
        QVERIFY(desk.main->showScreen("yonghufrm"));

        // Leaving the program gives every open screen its own close, and asks nothing.
        if (exit.isEmpty())
            desk.main->close();
        else
            desk.action(exit)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!desk.main);
        QCOMPARE(desk.log, QStringList({"open yonghufrm", "open mimafrm", "close yonghufrm",
                                        "open yonghufrm", "close mimafrm", "close yonghufrm"}));
        QVERIFY(desk.messages.questions.isEmpty() && desk.messages.texts.isEmpty());
    }

    void screenIsCentredOnItsOwnResize_data()
    {
        QTest::addColumn<QSize>("mainSize");
        QTest::addColumn<QSize>("twips");
        QTest::addColumn<bool>("beyondTopLeft");
        QTest::newRow("room to spare") << QSize(900, 700) << QSize(4125, 2895) << false;
        QTest::newRow("larger than client") << QSize(500, 380) << QSize(9645, 6990) << true;
    }
    void screenIsCentredOnItsOwnResize()
    {
        QFETCH(QSize, mainSize);
        QFETCH(QSize, twips);
        QFETCH(bool, beyondTopLeft);
        Desk desk({"jinhuodjfrm"}, twips);
        desk.main->resize(mainSize);
        QMdiSubWindow *host = desk.main->showScreen("jinhuodjfrm");
        QCOMPARE(host->size(), twips / 15);
        const QPoint centre = desk.area()->viewport()->rect().center();
        QVERIFY((host->geometry().center() - centre).manhattanLength() <= 2);
        QCOMPARE(host->x() < 0 && host->y() < 0, beyondTopLeft);

        // The main window's resize moves no child, nor does it undo a user's move.
        const QPoint placed = host->pos();
        desk.main->resize(mainSize + QSize(300, 200));
        QTest::qWait(0);
        QCOMPARE(host->pos(), placed);
        host->move(5, 6);
        desk.main->resize(mainSize);
        QTest::qWait(0);
        QCOMPARE(host->geometry(), QRect(QPoint(5, 6), twips / 15));
    }
};

QTEST_MAIN(TestHerbdeskFrm)
#include "tst_herbdeskfrm.moc"
