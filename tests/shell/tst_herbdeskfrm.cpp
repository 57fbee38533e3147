#include "support/testsupport.h"

#include "shell/childscreen.h"
#include "shell/datagrid.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"
#include "store/cursor.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

// Each menu's items in order as name:caption, "=screen" where the item opens one; an item
// without caption is a separator.
const QList<QPair<QString, QString>> menus = {
    {"", "jibennum:基本设置 jinhuonum:进货管理 xiaoshounum:销售管理 kucun:库存管理 "
         "ziliaonum:资料管理 tongjinum:统计分析 weihunum:数据维护 helpnum:使用帮助"},
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
    {"tongjinum", "xiaoqinum:近效期查询=xiaoqifrm yujingnum:库存预警=yujingfrm "
                  "xiaxiannum:库存下限=xiaxianfrm gang8: gaikuangnum:经营概况=gaikuangfrm"},
    {"weihunum", "beifennum:备份数据 huifunum:恢复数据 gang7: beifenshezhinum:备份设置"},
    {"helpnum", "ruhenum:如何使用=bangzhufrm lianxinum:联系我们=lianxifrm zhuyenum:访问主页"},
    {"Toolbar1", "Toolbar1_1:进货登记=jinhuodjfrm Toolbar1_2:销售登记=xiaoshoufrm Toolbar1_3: "
                 "Toolbar1_4:进货查询=jinhuochafrm Toolbar1_5:销售查询=xiaoshouchafrm "
                 "Toolbar1_6: Toolbar1_7:库存查询=kucunchafrm Toolbar1_8:退出"},
};

// The items that open a screen, with that screen's name.
const QRegularExpression opener("(\\w+):\\S+=(\\w+)");

// A shown main window over a fresh store, with working screens of 9645 × 6990 twips (643 × 466
// pixels) registered under the given names, whose opening and closing it notes.
struct Desk : QObject
{
    TempStore temp;
    MessageRecorder messages;
    ScreenRegistry screens;
    QStringList log;
    QPointer<HerbdeskFrm> main;

    explicit Desk(const QStringList &names)
    {
        for (const QString &name : names) {
            screens.add(name, [=](Store &store) {
                log.append("open " + name);
                auto *screen = new ChildScreen(store, name, name + "标题", 9645, 6990);
                screen->installEventFilter(this);
                return screen;
            });
        }
        main = new HerbdeskFrm(temp.store(), screens, Session{"青杉药行"});
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }
    ~Desk() override { delete main; }
    bool eventFilter(QObject *screen, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            log.append("close " + screen->objectName());
        return false;
    }

    QAction *action(const QString &name) const { return main->findChild<QAction *>(name); }
};

// A screen whose first box is not the first control it makes, as in purchase entry.
class EntryScreen : public ChildScreen
{
public:
    explicit EntryScreen(Store &store) : ChildScreen(store, "entryfrm", "录入", 4000, 3000)
    {
        new QLineEdit(this);
        auto *first = new QLineEdit(this);
        first->setObjectName("first");
        first->move(0, 30);
        setStartBox(first);
    }
};

} // namespace

class TestHerbdeskFrm : public QObject
{
    Q_OBJECT

private slots:
    void menusToolbarAndTheScreensTheyOpen()
    {
        // Every screen is registered but the drug dictionary; the contact screen is the shell's.
        QHash<QString, QString> targets; // item name -> screen it opens
        for (const auto &menu : menus)
            for (const auto &item : opener.globalMatch(menu.second))
                targets.insert(item.captured(1), item.captured(2));
        QStringList registered = targets.values();
        registered.removeDuplicates();
        registered.removeAll("binmingfrm");
        // Screens larger than the client area are centred all the same, beyond its top left.
        Desk desk(registered);
        desk.main->resize(500, 380);
        for (const auto &[menu, expected] : menus) {
            const auto items = menu.isEmpty() ? desk.main->menuBar()->actions()
                                              : findWidget<QWidget>(desk.main, menu)->actions();
            QStringList actual;
            for (QAction *item : items) {
                actual << item->objectName() + ":" + item->text();
                QCOMPARE(item->isSeparator(), item->text().isEmpty());
                if (menu == "Toolbar1") // every button's picture loads
                    QCOMPARE(item->icon().isNull(), item->isSeparator());
                // Buttons and items open their screen, or make it active again; an item without
                // its screen, or without its command (none is registered here), is disabled.
                const QString screen = targets.value(item->objectName());
                const bool command = menu == "weihunum" && !item->isSeparator();
                QVERIFY2(item->isEnabled() == (screen != "binmingfrm" && !command),
                         qPrintable(screen));
                if (screen.isEmpty() || !item->isEnabled())
                    continue;
                item->trigger();
                QCOMPARE(desk.main->clientArea()->activeSubWindow()->widget()->objectName(),
                         screen);
            }
            QCOMPARE(actual.join(' '), QString(expected).remove(QRegularExpression("=\\w+")));
        }
        QCOMPARE(findWidget<QLabel>(desk.main, "StatusBar1_1")->text(), QString("欢迎使用青杉软件"));
        // One frame per screen, however many items open it.
        QCOMPARE(desk.main->clientArea()->subWindowList().size(), registered.size());

        // A fixed frame with the screen's caption and size, centred in the client area.
        desk.action("yonghunum")->trigger();
        QPointer<QMdiSubWindow> users = desk.main->clientArea()->activeSubWindow();
        QCOMPARE(users->windowTitle(), QString("yonghufrm标题"));
        QVERIFY(!(users->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(users->size(), QSize(643, 466));
        const QPoint centre = desk.main->clientArea()->viewport()->rect().center();
        QVERIFY((users->geometry().center() - centre).manhattanLength() <= 2);
        // The main window's resize moves no child, so a user's move stays.
        users->move(5, 6);
        desk.main->resize(800, 600);
        QTest::qWait(0);
        QCOMPARE(users->geometry(), QRect(5, 6, 643, 466));
        // Widgets inside a hosted screen reach the login's company name.
        QCOMPARE(sessionOf(new QLabel(users->widget()))->companyName, QString("青杉药行"));

        // Closing deletes the screen; the next open makes a new one.
        static_cast<ChildScreen *>(users->widget())->closeScreen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!users);
        QVERIFY(desk.main->showScreen("yonghufrm"));

        // Leaving the program gives every screen ever opened its own close, and asks nothing.
        desk.action("exitnum")->trigger();
        QVERIFY(!desk.main->isVisible());
        QCOMPARE(desk.log.filter("close ").size(), desk.log.filter("open ").size());
        QVERIFY(desk.messages.questions.isEmpty() && desk.messages.texts.isEmpty());
        // The toolbar's exit button leaves the program too.
        Desk other({});
        other.action("Toolbar1_8")->trigger();
        QVERIFY(!other.main->isVisible());
    }

    // Rows another clerk added show in every open grid at F5.
    void f5RefreshesEveryGrid()
    {
        Desk desk({});
        QList<Cursor *> cursors;
        desk.screens.add("gridfrm", [&cursors](Store &store) {
            auto *screen = new ChildScreen(store, "gridfrm", "表格", 4000, 3000);
            auto *cursor = new Cursor(store, screen);
            cursor->open(Query("kucun"));
            new DataGrid(cursor, "DBGrid1", screen);
            cursors << cursor;
            return screen;
        });
        QVERIFY(desk.main->showScreen("gridfrm"));
        QCOMPARE(cursors.size(), 1);
        QCOMPARE(cursors[0]->count(), 0);
        Store other;
        QVERIFY_STORE(other, other.open(desk.temp.location()));
        QSqlQuery insert(other.database());
        QVERIFY(insert.exec("INSERT INTO kucun (编号) VALUES ('DG01')"));

        QTest::keyClick(desk.main, Qt::Key_F5);
        QCOMPARE(cursors[0]->count(), 1);
    }

    void screensStartAtTheirFirstBoxInAFrameThatOnlyMoves()
    {
        Desk desk({});
        desk.screens.add("entryfrm", [](Store &store) { return new EntryScreen(store); });
        desk.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(desk.main));
        QMdiSubWindow *host = desk.main->showScreen("entryfrm");
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("first"));

        // The frame's menu offers nothing a fixed-size window cannot do.
        QStringList offered;
        for (QAction *item : host->systemMenu()->actions()) {
            if (item->isVisible() && !item->isSeparator())
                offered << item->text();
        }
        QCOMPARE(offered, (QStringList{"&Move", "Stay on &Top", "&Close"}));
        // No menu offers to hide the toolbar (its item would have no caption).
        QVERIFY(!desk.main->createPopupMenu());
    }
};

QTEST_MAIN(TestHerbdeskFrm)
#include "tst_herbdeskfrm.moc"
