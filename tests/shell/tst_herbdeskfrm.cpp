#include "support/testsupport.h"

#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// A working screen that only notes when it is made and closed.
class ProbeScreen : public ChildScreen
{
public:
    ProbeScreen(Store &store, const QString &name, int width, int height, QStringList *log)
        : ChildScreen(store, name, name + QStringLiteral(" 标题"), width, height), m_log(log)
    {
        m_log->append(QStringLiteral("open ") + name);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        m_log->append(QStringLiteral("close ") + objectName());
        ChildScreen::closeEvent(event);
    }

private:
    QStringList *m_log;
};

struct ScreenSize
{
    const char *name;
    int width;
    int height;
};

const ScreenSize allScreens[] = {
    {"yonghufrm", 4125, 2895},      {"mimafrm", 3735, 2610},       {"qitafrm", 3120, 2865},
    {"kufangfrm", 4650, 3435},      {"danweifrm", 4650, 3435},     {"fenleifrm", 4650, 3435},
    {"gongnengfrm", 4650, 3435},    {"gonghuofrm", 8280, 5640},    {"kehufrm", 8280, 5640},
    {"yuangongfrm", 8280, 5640},    {"binmingfrm", 8940, 6345},    {"yaocaifrm", 11115, 5525},
    {"jinhuodjfrm", 9645, 6990},    {"xiaoshoufrm", 10035, 6855},  {"jinhuochafrm", 9795, 6840},
    {"xiaoshouchafrm", 9795, 6840}, {"jindanchafrm", 9990, 6210},  {"chudanchafrm", 9990, 6210},
    {"kucuncshfrm", 8970, 6180},    {"kucunchafrm", 8970, 6180},   {"baosunfrm", 8970, 6180},
};

QString screenOf(QMdiSubWindow *host)
{
    return host && host->widget() ? host->widget()->objectName() : QString();
}

void processDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestHerbdeskFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsCompanyAndGreeting_data();
    void showsCompanyAndGreeting();
    void menuTreeIsComplete();
    void menuItemsOpenTheirScreens_data();
    void menuItemsOpenTheirScreens();
    void toolbarButtonsOpenTheirScreens_data();
    void toolbarButtonsOpenTheirScreens();
    void toolbarSeparatorsDoNothing();
    void unregisteredScreensAreDisabled();
    void screenExistsOnlyOnce();
    void closedScreenOpensAfresh();
    void screenIsCentredAtFixedSize_data();
    void screenIsCentredAtFixedSize();
    void resizingMainWindowLeavesScreens();
    void helpMenu();
    void sessionReachesHostedWidgets();
    void exitEndsWithoutQuestion_data();
    void exitEndsWithoutQuestion();

private:
    void registerScreens(const QStringList &names);
    HerbdeskFrm *openMain(const QString &company = QStringLiteral("岚溪材进销存"));
    QAction *action(const QString &name);

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    ScreenRegistry *m_screens = nullptr;
    QStringList m_log;
    QPointer<HerbdeskFrm> m_main;
};

void TestHerbdeskFrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    m_screens = new ScreenRegistry;
    m_log.clear();
}

void TestHerbdeskFrm::cleanup()
{
    delete m_main;
    delete m_screens;
    delete m_messages;
    delete m_temp;
}

void TestHerbdeskFrm::registerScreens(const QStringList &names)
{
    for (const ScreenSize &size : allScreens) {
        const QString name = QString::fromUtf8(size.name);
        if (!names.isEmpty() && !names.contains(name))
            continue;
        m_screens->add(name, [this, name, size](Store &store) {
            return new ProbeScreen(store, name, size.width, size.height, &m_log);
        });
    }
}

HerbdeskFrm *TestHerbdeskFrm::openMain(const QString &company)
{
    m_main = new HerbdeskFrm(m_temp->store(), *m_screens, Session{company});
    m_main->setAttribute(Qt::WA_DeleteOnClose);
    m_main->show();
    if (!QTest::qWaitForWindowExposed(m_main))
        QTest::qFail("the main window was not shown", __FILE__, __LINE__);
    return m_main;
}

QAction *TestHerbdeskFrm::action(const QString &name)
{
    auto *found = m_main->findChild<QAction *>(name);
    if (!found)
        QTest::qFail(qPrintable(QStringLiteral("no action %1").arg(name)), __FILE__, __LINE__);
    return found;
}

void TestHerbdeskFrm::showsCompanyAndGreeting_data()
{
    QTest::addColumn<QString>("company");
    QTest::newRow("company") << "岚溪材进销存";
    QTest::newRow("empty") << "";
    QTest::newRow("odd characters") << "O'Brien \"药行\" * % _";
}

void TestHerbdeskFrm::showsCompanyAndGreeting()
{
    QFETCH(QString, company);
    openMain(company);
    QCOMPARE(m_main->windowTitle(), company);
    auto *statusBar = findWidget<QStatusBar>(m_main, "StatusBar1");
    QCOMPARE(findWidget<QLabel>(statusBar, "StatusBar1_1")->text(), QString("欢迎使用青杉软件"));
    // Passing over a menu item must not blank the greeting.
    statusBar->showMessage(QString());
    QVERIFY(findWidget<QLabel>(statusBar, "StatusBar1_1")->isVisible());
}

void TestHerbdeskFrm::menuTreeIsComplete()
{
    // Each menu's items in order; an empty caption is a separator.
    const QList<QPair<QString, QStringList>> expected = {
        {"", {"jibennum:基本设置", "jinhuonum:进货管理", "xiaoshounum:销售管理", "kucun:库存管理",
              "ziliaonum:资料管理", "helpnum:使用帮助"}},
        {"jibennum", {"yonghunum:用户设置", "mimanum:密码设置", "gang1:", "xitongnum:系统设置",
                      "dayinnum:其他设置", "gang2:", "exitnum:退出系统"}},
        {"xitongnum", {"zidiannum:药材字典", "jyycnum:经营药材", "kufangnum:添加库房", "gangx:",
                       "jldwnum:计量单位", "fenleinum:药材分类", "gongnengnum:药材功能"}},
        {"jinhuonum", {"jinjinum:进货登记", "jinchanum:进货查询", "gang3:",
                       "jindannum:进货单查询"}},
        {"xiaoshounum", {"xiaodengnum:销售登记", "xiaochanum:销售查询", "gang4:",
                         "xiaodannum:销售单查询"}},
        {"kucun", {"chushinum:库存初始化", "kuchanum:库存查询", "gang5:", "baosunnum:库存报损"}},
        {"ziliaonum", {"gonghuonum:供货单位", "kehunum:客户资料", "gang6:", "jishinum:公司员工"}},
        {"helpnum", {"ruhenum:如何使用", "lianxinum:联系我们", "zhuyenum:访问主页"}},
    };
    openMain();
    for (const auto &[menuName, items] : expected) {
        QList<QAction *> actions = menuName.isEmpty()
            ? m_main->menuBar()->actions()
            : findWidget<QMenu>(m_main, menuName)->actions();
        QStringList actual;
        for (QAction *item : actions) {
            QCOMPARE(item->isSeparator(), item->text().isEmpty());
            actual << item->objectName() + ":" + item->text();
            QCOMPARE(m_main->findChild<QAction *>(item->objectName()), item);
        }
        QCOMPARE(actual, items);
    }
}

void TestHerbdeskFrm::menuItemsOpenTheirScreens_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("screen");
    const char *pairs[][2] = {
        {"yonghunum", "yonghufrm"},     {"mimanum", "mimafrm"},
        {"zidiannum", "binmingfrm"},    {"jyycnum", "yaocaifrm"},
        {"kufangnum", "kufangfrm"},     {"jldwnum", "danweifrm"},
        {"fenleinum", "fenleifrm"},     {"gongnengnum", "gongnengfrm"},
        {"dayinnum", "qitafrm"},        {"jinjinum", "jinhuodjfrm"},
        {"jinchanum", "jinhuochafrm"},  {"jindannum", "jindanchafrm"},
        {"xiaodengnum", "xiaoshoufrm"}, {"xiaochanum", "xiaoshouchafrm"},
        {"xiaodannum", "chudanchafrm"}, {"chushinum", "kucuncshfrm"},
        {"kuchanum", "kucunchafrm"},    {"baosunnum", "baosunfrm"},
        {"gonghuonum", "gonghuofrm"},   {"kehunum", "kehufrm"},
        {"jishinum", "yuangongfrm"},    {"lianxinum", "lianxifrm"},
    };
    for (const auto &pair : pairs)
        QTest::newRow(pair[0]) << pair[0] << pair[1];
}

void TestHerbdeskFrm::menuItemsOpenTheirScreens()
{
    QFETCH(QString, item);
    QFETCH(QString, screen);
    registerScreens({});
    openMain();
    QAction *menuItem = action(item);
    QVERIFY(menuItem->isEnabled());
    menuItem->trigger();

    const QList<QMdiSubWindow *> open = m_main->clientArea()->subWindowList();
    QCOMPARE(open.size(), 1);
    QCOMPARE(screenOf(open.first()), screen);
    QCOMPARE(m_main->clientArea()->activeSubWindow(), open.first());
    QCOMPARE(open.first()->windowTitle(), open.first()->widget()->windowTitle());
    QVERIFY(!open.first()->windowTitle().isEmpty());
    const Qt::WindowFlags flags = open.first()->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
}

void TestHerbdeskFrm::toolbarButtonsOpenTheirScreens_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("screen");
    QTest::newRow("1") << 1 << "jinhuodjfrm";
    QTest::newRow("2") << 2 << "xiaoshoufrm";
    QTest::newRow("4") << 4 << "jinhuochafrm";
    QTest::newRow("5") << 5 << "xiaoshouchafrm";
    QTest::newRow("7") << 7 << "kucunchafrm";
}

void TestHerbdeskFrm::toolbarButtonsOpenTheirScreens()
{
    QFETCH(int, index);
    QFETCH(QString, screen);
    registerScreens({});
    openMain();
    auto *toolbar = findWidget<QToolBar>(m_main, "Toolbar1");
    auto *button = findWidget<QToolButton>(toolbar, QStringLiteral("Toolbar1_%1").arg(index));
    QVERIFY(!button->icon().isNull());
    QTest::mouseClick(button, Qt::LeftButton);
    const QList<QMdiSubWindow *> open = m_main->clientArea()->subWindowList();
    QCOMPARE(open.size(), 1);
    QCOMPARE(screenOf(open.first()), screen);
}

void TestHerbdeskFrm::toolbarSeparatorsDoNothing()
{
    registerScreens({});
    openMain();
    auto *toolbar = findWidget<QToolBar>(m_main, "Toolbar1");
    const QList<QAction *> buttons = toolbar->actions();
    QCOMPARE(buttons.size(), 8);
    for (int index = 1; index <= 8; ++index) {
        QAction *button = buttons.at(index - 1);
        QCOMPARE(button->objectName(), QStringLiteral("Toolbar1_%1").arg(index));
        QCOMPARE(button->isSeparator(), index == 3 || index == 6);
    }
    for (int index : {3, 6}) {
        QWidget *separator = toolbar->widgetForAction(buttons.at(index - 1));
        QVERIFY(separator);
        QTest::mouseClick(separator, Qt::LeftButton);
        QTest::mouseDClick(separator, Qt::LeftButton);
    }
    QVERIFY(m_main->clientArea()->subWindowList().isEmpty());
    QVERIFY(m_main->isVisible());
    QVERIFY(m_log.isEmpty());
}

void TestHerbdeskFrm::unregisteredScreensAreDisabled()
{
    registerScreens({"kufangfrm", "jinhuodjfrm"});
    openMain();
    QVERIFY(action("kufangnum")->isEnabled());
    QVERIFY(action("jinjinum")->isEnabled());
    QVERIFY(action("Toolbar1_1")->isEnabled());
    for (const char *disabled : {"jldwnum", "yonghunum", "xiaodengnum", "baosunnum", "jishinum",
                                 "Toolbar1_2", "Toolbar1_4", "Toolbar1_5", "Toolbar1_7"}) {
        QVERIFY2(!action(disabled)->isEnabled(), disabled);
    }
    // Items that open no registered screen but act on their own stay usable.
    for (const char *enabled : {"exitnum", "lianxinum", "Toolbar1_8", "jibennum", "xitongnum"})
        QVERIFY2(action(enabled)->isEnabled(), enabled);

    action("jldwnum")->trigger();
    QVERIFY(m_main->clientArea()->subWindowList().isEmpty());
    QCOMPARE(m_main->showScreen("danweifrm"), nullptr);
}

void TestHerbdeskFrm::screenExistsOnlyOnce()
{
    registerScreens({"yonghufrm", "mimafrm"});
    openMain();
    action("yonghunum")->trigger();
    QMdiSubWindow *users = m_main->clientArea()->activeSubWindow();
    action("mimanum")->trigger();
    QMdiSubWindow *passwords = m_main->clientArea()->activeSubWindow();
    QVERIFY(users && passwords && users != passwords);
    const QPoint usersPlace = users->pos();

    action("yonghunum")->trigger();
    QMdiArea *area = m_main->clientArea();
    QCOMPARE(area->subWindowList().size(), 2);
    QCOMPARE(area->activeSubWindow(), users);
    QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).last(), users);
    QCOMPARE(users->pos(), usersPlace);
    QCOMPARE(m_log, QStringList({"open yonghufrm", "open mimafrm"}));
}

void TestHerbdeskFrm::closedScreenOpensAfresh()
{
    registerScreens({"kufangfrm"});
    openMain();
    QPointer<QMdiSubWindow> first = m_main->showScreen("kufangfrm");
    QVERIFY(first);
    QPointer<QWidget> screen = first->widget();
    static_cast<ChildScreen *>(screen.data())->closeScreen();
    processDeletes();
    QVERIFY(!first);
    QVERIFY(!screen);
    QVERIFY(m_main->clientArea()->subWindowList().isEmpty());

    QMdiSubWindow *second = m_main->showScreen("kufangfrm");
    QVERIFY(second);
    QCOMPARE(m_log, QStringList({"open kufangfrm", "close kufangfrm", "open kufangfrm"}));
}

void TestHerbdeskFrm::screenIsCentredAtFixedSize_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QSize>("screenSize");
    QTest::addColumn<bool>("beyondTopLeft");

    QTest::newRow("small screen") << QSize(900, 700) << "yonghufrm" << QSize(275, 193) << false;
    QTest::newRow("wide screen") << QSize(900, 700) << "yaocaifrm" << QSize(741, 368) << false;
    QTest::newRow("larger than client") << QSize(500, 380) << "jinhuodjfrm" << QSize(643, 466)
                                        << true;
}

void TestHerbdeskFrm::screenIsCentredAtFixedSize()
{
    QFETCH(QSize, mainSize);
    QFETCH(QString, screen);
    QFETCH(QSize, screenSize);
    QFETCH(bool, beyondTopLeft);

    registerScreens({screen});
    openMain();
    m_main->resize(mainSize);
    QTest::qWait(0);
    QMdiSubWindow *host = m_main->showScreen(screen);
    QVERIFY(host);
    QCOMPARE(host->size(), screenSize);

    const QSize client = m_main->clientArea()->viewport()->size();
    const QPoint centre(client.width() / 2, client.height() / 2);
    QVERIFY(qAbs(host->geometry().center().x() - centre.x()) <= 1);
    QVERIFY(qAbs(host->geometry().center().y() - centre.y()) <= 1);
    QCOMPARE(host->x() < 0 && host->y() < 0, beyondTopLeft);
    QCOMPARE(host->x() >= 0 && host->y() >= 0, !beyondTopLeft);

    // Showing the main window again (it was already placed) and events settling move nothing.
    QTest::qWait(0);
    QCOMPARE(host->size(), screenSize);
    QVERIFY(qAbs(host->geometry().center().x() - centre.x()) <= 1);
}

void TestHerbdeskFrm::resizingMainWindowLeavesScreens()
{
    registerScreens({"kufangfrm", "binmingfrm"});
    openMain();
    m_main->resize(520, 400);
    QTest::qWait(0);
    QMdiSubWindow *small = m_main->showScreen("kufangfrm");
    QMdiSubWindow *large = m_main->showScreen("binmingfrm");
    const QPoint smallPlace = small->pos();
    const QPoint largePlace = large->pos();
    QVERIFY(largePlace.x() < 0);
    const QSize before = m_main->clientArea()->viewport()->size();

    m_main->resize(1000, 800);
    QTest::qWait(0);
    QVERIFY(m_main->clientArea()->viewport()->width() > before.width());
    QCOMPARE(small->pos(), smallPlace);
    QCOMPARE(large->pos(), largePlace);

    // A user may move a screen; it stays where it was put.
    small->move(5, 6);
    m_main->resize(800, 600);
    QTest::qWait(0);
    QCOMPARE(small->pos(), QPoint(5, 6));
    QCOMPARE(small->size(), QSize(310, 229));
}

void TestHerbdeskFrm::helpMenu()
{
    openMain();
    action("ruhenum")->trigger();
    action("zhuyenum")->trigger();
    QVERIFY(m_main->clientArea()->subWindowList().isEmpty());
    QVERIFY(m_messages->texts.isEmpty());

    action("lianxinum")->trigger();
    action("lianxinum")->trigger();
    const QList<QMdiSubWindow *> open = m_main->clientArea()->subWindowList();
    QCOMPARE(open.size(), 1);
    QCOMPARE(screenOf(open.first()), QString("lianxifrm"));
    QCOMPARE(open.first()->windowTitle(), QString("联系我们"));
    QVERIFY(!open.first()->widget()->findChildren<QLabel *>().isEmpty());
}

void TestHerbdeskFrm::sessionReachesHostedWidgets()
{
    registerScreens({"kehufrm"});
    openMain(QStringLiteral("青杉药行"));
    QMdiSubWindow *host = m_main->showScreen("kehufrm");
    auto *inner = new QLabel(host->widget());
    const Session *session = sessionOf(inner);
    QVERIFY(session);
    QCOMPARE(session->companyName, QString("青杉药行"));

    QWidget outside;
    QCOMPARE(sessionOf(&outside), nullptr);
    QCOMPARE(sessionOf(nullptr), nullptr);
}

void TestHerbdeskFrm::exitEndsWithoutQuestion_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu") << "exitnum";
    QTest::newRow("toolbar") << "Toolbar1_8";
    QTest::newRow("close box") << "";
}

void TestHerbdeskFrm::exitEndsWithoutQuestion()
{
    QFETCH(QString, how);
    registerScreens({"kufangfrm", "jinhuodjfrm"});
    openMain();
    QPointer<QMdiSubWindow> first = m_main->showScreen("kufangfrm");
    QPointer<QMdiSubWindow> second = m_main->showScreen("jinhuodjfrm");

    if (how.isEmpty())
        m_main->close();
    else if (how.startsWith("Toolbar1"))
        QTest::mouseClick(findWidget<QToolButton>(m_main, how), Qt::LeftButton);
    else
        action(how)->trigger();
    processDeletes();

    QVERIFY(!m_main);
    QVERIFY(!first && !second);
    QVERIFY(m_log.contains("close kufangfrm"));
    QVERIFY(m_log.contains("close jinhuodjfrm"));
    QVERIFY(m_messages->questions.isEmpty());
    QVERIFY(m_messages->texts.isEmpty());
}

QTEST_MAIN(TestHerbdeskFrm)
#include "tst_herbdeskfrm.moc"
