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
#include <QToolBar>

namespace {

// A working screen that notes when it is made and closed.
class ProbeScreen : public ChildScreen
{
public:
    ProbeScreen(Store &store, const QString &name, QSize twipsSize, QStringList *log)
        : ChildScreen(store, name, name + "标题", twipsSize.width(), twipsSize.height()),
          m_log(log)
    {
        m_log->append("open " + name);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        m_log->append("close " + objectName());
        ChildScreen::closeEvent(event);
    }

private:
    QStringList *m_log;
};

// Menu items and toolbar buttons with the screen each opens.
const QList<QPair<QString, QString>> openers = {
    {"yonghunum", "yonghufrm"},     {"mimanum", "mimafrm"},         {"zidiannum", "binmingfrm"},
    {"jyycnum", "yaocaifrm"},       {"kufangnum", "kufangfrm"},     {"jldwnum", "danweifrm"},
    {"fenleinum", "fenleifrm"},     {"gongnengnum", "gongnengfrm"}, {"dayinnum", "qitafrm"},
    {"jinjinum", "jinhuodjfrm"},    {"jinchanum", "jinhuochafrm"},  {"jindannum", "jindanchafrm"},
    {"xiaodengnum", "xiaoshoufrm"}, {"xiaochanum", "xiaoshouchafrm"},
    {"xiaodannum", "chudanchafrm"}, {"chushinum", "kucuncshfrm"},   {"kuchanum", "kucunchafrm"},
    {"baosunnum", "baosunfrm"},     {"gonghuonum", "gonghuofrm"},   {"kehunum", "kehufrm"},
    {"jishinum", "yuangongfrm"},    {"lianxinum", "lianxifrm"},     {"Toolbar1_1", "jinhuodjfrm"},
    {"Toolbar1_2", "xiaoshoufrm"},  {"Toolbar1_4", "jinhuochafrm"},
    {"Toolbar1_5", "xiaoshouchafrm"}, {"Toolbar1_7", "kucunchafrm"},
};

} // namespace

class TestHerbdeskFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuTreeIsComplete();
    void itemsOpenTheirScreens_data();
    void itemsOpenTheirScreens();
    void unregisteredScreensAreDisabled();
    void screenExistsOnlyOnce();
    void screenIsCentredOnItsOwnResize_data();
    void screenIsCentredOnItsOwnResize();
    void exitEndsWithoutQuestion_data();
    void exitEndsWithoutQuestion();

private:
    void addScreen(const QString &name, QSize twipsSize = QSize(4650, 3435));
    void openMain(const QString &company = "岚溪材进销存");
    QAction *action(const QString &name);
    QList<QMdiSubWindow *> openScreens() const { return m_main->clientArea()->subWindowList(); }

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    ScreenRegistry m_screens;
    QStringList m_log;
    QPointer<HerbdeskFrm> m_main;
};

void TestHerbdeskFrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
    m_screens = ScreenRegistry();
    m_log.clear();
}

void TestHerbdeskFrm::cleanup()
{
    delete m_main;
    delete m_messages;
    delete m_temp;
}

void TestHerbdeskFrm::addScreen(const QString &name, QSize twipsSize)
{
    m_screens.add(name, [this, name, twipsSize](Store &store) {
        return new ProbeScreen(store, name, twipsSize, &m_log);
    });
}

void TestHerbdeskFrm::openMain(const QString &company)
{
    m_main = new HerbdeskFrm(m_temp->store(), m_screens, Session{company});
    m_main->setAttribute(Qt::WA_DeleteOnClose);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

QAction *TestHerbdeskFrm::action(const QString &name)
{
    auto *found = m_main->findChild<QAction *>(name);
    if (!found)
        QTest::qFail(qPrintable("no action " + name), __FILE__, __LINE__);
    return found;
}

void TestHerbdeskFrm::menuTreeIsComplete()
{
    // Each menu's items in order; an item without caption is a separator.
    const QList<QPair<QString, QStringList>> menus = {
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
        {"Toolbar1", {"Toolbar1_1:进货登记", "Toolbar1_2:销售登记", "Toolbar1_3:",
                      "Toolbar1_4:进货查询", "Toolbar1_5:销售查询", "Toolbar1_6:",
                      "Toolbar1_7:库存查询", "Toolbar1_8:退出"}},
    };
    openMain("");
    QCOMPARE(m_main->windowTitle(), QString());
    for (const auto &[menu, expected] : menus) {
        const QList<QAction *> items = menu.isEmpty()
            ? m_main->menuBar()->actions()
            : findWidget<QWidget>(m_main, menu)->actions();
        QStringList actual;
        for (QAction *item : items) {
            QCOMPARE(item->isSeparator(), item->text().isEmpty());
            if (menu == "Toolbar1")
                QCOMPARE(item->icon().isNull(), item->isSeparator());
            actual << item->objectName() + ":" + item->text();
        }
        QCOMPARE(actual, expected);
    }
    QCOMPARE(findWidget<QLabel>(m_main, "StatusBar1_1")->text(), QString("欢迎使用青杉软件"));
}

void TestHerbdeskFrm::itemsOpenTheirScreens_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("screen");
    for (const auto &[item, screen] : openers)
        QTest::newRow(qPrintable(item)) << item << screen;
}

void TestHerbdeskFrm::itemsOpenTheirScreens()
{
    QFETCH(QString, item);
    QFETCH(QString, screen);
    for (const auto &opener : openers)
        addScreen(opener.second);
    openMain();
    QWidget *button = m_main->findChild<QToolBar *>("Toolbar1")->findChild<QWidget *>(item);
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    else
        action(item)->trigger();

    QCOMPARE(openScreens().size(), 1);
    QMdiSubWindow *host = openScreens().first();
    QCOMPARE(host->widget()->objectName(), screen);
    QCOMPARE(m_main->clientArea()->activeSubWindow(), host);
    QCOMPARE(host->windowTitle(), host->widget()->windowTitle());
    const Qt::WindowFlags noBoxes = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    QVERIFY(!(host->windowFlags() & noBoxes));
}

void TestHerbdeskFrm::unregisteredScreensAreDisabled()
{
    addScreen("kufangfrm");
    openMain();
    for (const auto &[item, screen] : openers) {
        const bool available = screen == "kufangfrm" || screen == "lianxifrm";
        QVERIFY2(action(item)->isEnabled() == available, qPrintable(item));
    }
    // Separators and the help items without a screen do nothing.
    auto *toolbar = m_main->findChild<QToolBar *>();
    QTest::mouseClick(toolbar->widgetForAction(action("Toolbar1_3")), Qt::LeftButton);
    QTest::mouseClick(toolbar->widgetForAction(action("Toolbar1_6")), Qt::LeftButton);
    action("ruhenum")->trigger();
    action("zhuyenum")->trigger();
    QVERIFY(openScreens().isEmpty());
    QVERIFY(m_main->isVisible());
}

void TestHerbdeskFrm::screenExistsOnlyOnce()
{
    addScreen("yonghufrm");
    addScreen("mimafrm");
    openMain("青杉药行");
    action("yonghunum")->trigger();
    QPointer<QMdiSubWindow> users = m_main->clientArea()->activeSubWindow();
    action("mimanum")->trigger();
    action("yonghunum")->trigger();
    QCOMPARE(openScreens().size(), 2);
    QCOMPARE(m_main->clientArea()->activeSubWindow(), users);
    QCOMPARE(m_main->clientArea()->subWindowList(QMdiArea::StackingOrder).last(), users);
    QCOMPARE(m_log, QStringList({"open yonghufrm", "open mimafrm"}));
    // Widgets inside a hosted screen reach the login's company name.
    QCOMPARE(sessionOf(new QLabel(users->widget()))->companyName, QString("青杉药行"));

    // Closing deletes the screen; the next open makes a new one.
    static_cast<ChildScreen *>(users->widget())->closeScreen();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!users);
    QVERIFY(m_main->showScreen("yonghufrm"));
    QCOMPARE(m_log.mid(2), QStringList({"close yonghufrm", "open yonghufrm"}));
}

void TestHerbdeskFrm::screenIsCentredOnItsOwnResize_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<QSize>("screenTwips");
    QTest::addColumn<bool>("beyondTopLeft");
    QTest::newRow("room to spare") << QSize(900, 700) << QSize(4125, 2895) << false;
    QTest::newRow("larger than client") << QSize(500, 380) << QSize(9645, 6990) << true;
}

void TestHerbdeskFrm::screenIsCentredOnItsOwnResize()
{
    QFETCH(QSize, mainSize);
    QFETCH(QSize, screenTwips);
    QFETCH(bool, beyondTopLeft);

    addScreen("jinhuodjfrm", screenTwips);
    openMain();
    m_main->resize(mainSize);
    QMdiSubWindow *host = m_main->showScreen("jinhuodjfrm");
    QCOMPARE(host->size(), screenTwips / 15);
    const QPoint centre = m_main->clientArea()->viewport()->rect().center();
    QVERIFY(qAbs(host->geometry().center().x() - centre.x()) <= 1);
    QVERIFY(qAbs(host->geometry().center().y() - centre.y()) <= 1);
    QCOMPARE(host->x() < 0 && host->y() < 0, beyondTopLeft);

    // The main window's resize moves no child, nor does it undo a user's move.
    const QPoint placed = host->pos();
    m_main->resize(mainSize + QSize(300, 200));
    QTest::qWait(0);
    QCOMPARE(host->pos(), placed);
    host->move(5, 6);
    m_main->resize(mainSize);
    QTest::qWait(0);
    QCOMPARE(host->geometry(), QRect(QPoint(5, 6), screenTwips / 15));
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
    addScreen("kufangfrm");
    addScreen("jinhuodjfrm");
    openMain();
    QPointer<QMdiSubWindow> first = m_main->showScreen("kufangfrm");
    QPointer<QMdiSubWindow> second = m_main->showScreen("jinhuodjfrm");
    if (how.isEmpty())
        m_main->close();
    else
        action(how)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(!m_main && !first && !second);
    QCOMPARE(m_log.mid(2), QStringList({"close kufangfrm", "close jinhuodjfrm"}));
    QVERIFY(m_messages->questions.isEmpty() && m_messages->texts.isEmpty());
}

QTEST_MAIN(TestHerbdeskFrm)
#include "tst_herbdeskfrm.moc"
