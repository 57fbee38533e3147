#include "shell/herbdeskfrm.h"

#include "shell/childscreen.h"
#include "shell/datagrid.h"
#include "shell/lianxifrm.h"
#include "shell/screenregistry.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <vector>

// The pictures live in a static library, whose resources must be registered by hand (and outside
// any namespace).
static QPixmap shellPicture(const QString &fileName)
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(herbdesk);
        return true;
    }();
    Q_UNUSED(registered);
    return QPixmap(QStringLiteral(":/shell/images/") + fileName);
}

namespace {

const QString contactScreen = QStringLiteral("lianxifrm");
const QString quitAction = QStringLiteral("quit");
// The command run when the main window closes, after its screens (an automatic backup).
const QString leavingCommand = QStringLiteral("leaving");

// One line of the menu tree: its depth, the item's name and caption (none for a separator) and
// what it opens (a screen's name, a command's name, quitAction, or nothing).
struct MenuLine
{
    int depth;
    const char *name;
    const char *caption;
    const char *target;
};

const std::vector<MenuLine> &menuLines()
{
    static const std::vector<MenuLine> lines = {
        {0, "jibennum", "基本设置", ""},
        {1, "yonghunum", "用户设置", "yonghufrm"},
        {1, "mimanum", "密码设置", "mimafrm"},
        {1, "gang1", nullptr, ""},
        {1, "xitongnum", "系统设置", ""},
        {2, "zidiannum", "药材字典", "binmingfrm"},
        {2, "jyycnum", "经营药材", "yaocaifrm"},
        {2, "kufangnum", "添加库房", "kufangfrm"},
        {2, "gangx", nullptr, ""},
        {2, "jldwnum", "计量单位", "danweifrm"},
        {2, "fenleinum", "药材分类", "fenleifrm"},
        {2, "gongnengnum", "药材功能", "gongnengfrm"},
        {1, "dayinnum", "其他设置", "qitafrm"},
        {1, "gang2", nullptr, ""},
        {1, "exitnum", "退出系统", "quit"},
        {0, "jinhuonum", "进货管理", ""},
        {1, "jinjinum", "进货登记", "jinhuodjfrm"},
        {1, "jinchanum", "进货查询", "jinhuochafrm"},
        {1, "gang3", nullptr, ""},
        {1, "jindannum", "进货单查询", "jindanchafrm"},
        {0, "xiaoshounum", "销售管理", ""},
        {1, "xiaodengnum", "销售登记", "xiaoshoufrm"},
        {1, "xiaochanum", "销售查询", "xiaoshouchafrm"},
        {1, "gang4", nullptr, ""},
        {1, "xiaodannum", "销售单查询", "chudanchafrm"},
        {0, "kucun", "库存管理", ""},
        {1, "chushinum", "库存初始化", "kucuncshfrm"},
        {1, "kuchanum", "库存查询", "kucunchafrm"},
        {1, "gang5", nullptr, ""},
        {1, "baosunnum", "库存报损", "baosunfrm"},
        {0, "ziliaonum", "资料管理", ""},
        {1, "gonghuonum", "供货单位", "gonghuofrm"},
        {1, "kehunum", "客户资料", "kehufrm"},
        {1, "gang6", nullptr, ""},
        {1, "jishinum", "公司员工", "yuangongfrm"},
        {0, "tongjinum", "统计分析", ""},
        {1, "xiaoqinum", "近效期查询", "xiaoqifrm"},
        {1, "yujingnum", "库存预警", "yujingfrm"},
        {1, "xiaxiannum", "库存下限", "xiaxianfrm"},
        {1, "gang8", nullptr, ""},
        {1, "gaikuangnum", "经营概况", "gaikuangfrm"},
        {0, "weihunum", "数据维护", ""},
        {1, "beifennum", "备份数据", "backup"},
        {1, "huifunum", "恢复数据", "restore"},
        {1, "gang7", nullptr, ""},
        {1, "beifenshezhinum", "备份设置", "backupsettings"},
        {0, "helpnum", "使用帮助", ""},
        {1, "ruhenum", "如何使用", "bangzhufrm"},
        {1, "lianxinum", "联系我们", "lianxifrm"},
        {1, "zhuyenum", "访问主页", ""},
    };
    return lines;
}

// The toolbar's buttons by index; an empty caption is a separator.
struct ToolbarButton
{
    int index;
    const char *caption;
    const char *target;
    const char *image;
};

const ToolbarButton toolbarButtons[] = {
    {1, "进货登记", "jinhuodjfrm", "jinhuodj.png"},
    {2, "销售登记", "xiaoshoufrm", "xiaoshoudj.png"},
    {3, "", "", ""},
    {4, "进货查询", "jinhuochafrm", "jinhuocha.png"},
    {5, "销售查询", "xiaoshouchafrm", "xiaoshoucha.png"},
    {6, "", "", ""},
    {7, "库存查询", "kucunchafrm", "kucuncha.png"},
    {8, "退出", "quit", "tuichu.png"},
};

// The client area, with the program's picture stretched over it behind every child window.
class BackgroundArea : public QMdiArea
{
public:
    explicit BackgroundArea(QWidget *parent) : QMdiArea(parent)
    {
        setObjectName(QStringLiteral("beijingfrm"));
        m_picture = shellPicture(QStringLiteral("background.png"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(viewport());
        if (m_scaled.size() != viewport()->size()) {
            m_scaled = m_picture.scaled(viewport()->size(), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation);
        }
        painter.drawPixmap(0, 0, m_scaled);
    }

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};

} // namespace

HerbdeskFrm::HerbdeskFrm(Store &store, const ScreenRegistry &screens, const Session &session,
                         QWidget *parent)
    : QMainWindow(parent), m_store(store), m_screens(screens), m_session(session)
{
    setObjectName(QStringLiteral("herbdeskfrm"));
    setWindowIcon(shellPicture(QStringLiteral("herbdesk.png")));
    m_area = new BackgroundArea(this);
    setCentralWidget(m_area);
    buildMenu();
    buildToolbar();
    buildStatusBar();
    // Other clerks' rows show at the next search, or at once with F5.
    auto *refresh = new QAction(this);
    refresh->setObjectName(QStringLiteral("refreshGrids"));
    refresh->setShortcut(Qt::Key_F5);
    addAction(refresh);
    connect(refresh, &QAction::triggered, this, &HerbdeskFrm::refreshGrids);
    setWindowTitle(m_session.companyName);
    resize(initialSize());
}

QSize HerbdeskFrm::initialSize() const
{
    // The design client area is smaller than most working screens, and a screen whose caption
    // lies beyond the top edge cannot be dragged into view: start large enough for the largest
    // screen (11115 x 6990 twips) when the desktop has the room.
    const QSize client = twipsSize(7545, 5130).expandedTo(twipsSize(11115, 6990) + QSize(4, 4));
    const int bars = menuBar()->sizeHint().height() + m_toolbar->sizeHint().height()
        + statusBar()->sizeHint().height();
    QSize wanted(client.width(), client.height() + bars);
    if (const QScreen *desktop = screen())
        wanted = wanted.boundedTo(desktop->availableGeometry().size() - QSize(16, 40));
    return wanted;
}

bool HerbdeskFrm::canShow(const QString &name) const
{
    return name == contactScreen || m_screens.contains(name);
}

void HerbdeskFrm::buildMenu()
{
    // The menu that each depth's items go into; a top-level entry starts a new menu.
    std::vector<QMenu *> openMenus;
    const auto &lines = menuLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const MenuLine &line = lines[i];
        const QString name = QString::fromUtf8(line.name);
        openMenus.resize(line.depth);
        const bool hasItems = i + 1 < lines.size() && lines[i + 1].depth > line.depth;
        if (hasItems) {
            const QString caption = QString::fromUtf8(line.caption);
            QMenu *menu = line.depth == 0 ? menuBar()->addMenu(caption)
                                          : openMenus.back()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            openMenus.push_back(menu);
            continue;
        }
        if (!line.caption) {
            openMenus.back()->addSeparator()->setObjectName(name);
            continue;
        }
        QAction *item = openMenus.back()->addAction(QString::fromUtf8(line.caption));
        item->setObjectName(name);
        const QString target = QString::fromUtf8(line.target);
        if (target == quitAction) {
            connect(item, &QAction::triggered, this, &QWidget::close);
        } else if (m_screens.hasCommand(target)) {
            connect(item, &QAction::triggered, this,
                    [this, target] { m_screens.runCommand(target, *this); });
        } else if (!target.isEmpty()) {
            item->setEnabled(canShow(target));
            connect(item, &QAction::triggered, this, [this, target] { showScreen(target); });
        }
    }
}

void HerbdeskFrm::buildToolbar()
{
    auto *toolbar = addToolBar(QString());
    m_toolbar = toolbar;
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(32, 32));
    for (const ToolbarButton &button : toolbarButtons) {
        const QString name = QStringLiteral("Toolbar1_%1").arg(button.index);
        const QString target = QString::fromUtf8(button.target);
        if (target.isEmpty()) {
            toolbar->addSeparator()->setObjectName(name);
            continue;
        }
        QAction *action = toolbar->addAction(shellPicture(QString::fromUtf8(button.image)),
                                             QString::fromUtf8(button.caption));
        action->setObjectName(name);
        toolbar->widgetForAction(action)->setObjectName(name);
        if (target == quitAction) {
            connect(action, &QAction::triggered, this, &QWidget::close);
        } else {
            action->setEnabled(canShow(target));
            connect(action, &QAction::triggered, this, [this, target] { showScreen(target); });
        }
    }
}

void HerbdeskFrm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    // A permanent panel, so that passing over menu items does not blank the greeting.
    auto *panel = new QLabel(QStringLiteral("欢迎使用青杉软件"), statusBar());
    panel->setObjectName(QStringLiteral("StatusBar1_1"));
    statusBar()->addPermanentWidget(panel, 1);
}

ChildScreen *HerbdeskFrm::createScreen(const QString &name)
{
    if (name == contactScreen)
        return new LianxiFrm(m_store);
    return m_screens.create(name, m_store);
}

QMdiSubWindow *HerbdeskFrm::showScreen(const QString &name)
{
    if (QMdiSubWindow *open = m_openScreens.value(name)) {
        m_area->setActiveSubWindow(open);
        open->raise();
        return open;
    }
    ChildScreen *screen = createScreen(name);
    if (!screen)
        return nullptr;
    // A fixed dialog frame: caption and close box, no minimise or maximise; the fixed-size hint
    // also keeps "Size" out of its system menu.
    auto *host = new QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint
                                                | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                                | Qt::WindowCloseButtonHint
                                                | Qt::MSWindowsFixedSizeDialogHint);
    host->setAttribute(Qt::WA_DeleteOnClose);
    host->setWidget(screen);
    host->setWindowTitle(screen->windowTitle());
    host->setWindowIcon(windowIcon());
    host->setFixedSize(screen->windowSize());
    host->installEventFilter(this);
    m_area->addSubWindow(host);
    m_openScreens.insert(name, host);
    host->show();
    m_area->setActiveSubWindow(host);
    return host;
}

QMenu *HerbdeskFrm::createPopupMenu()
{
    // The toolbar is always there: no menu offers to hide it (its item would have no caption).
    return nullptr;
}

bool HerbdeskFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (auto *host = qobject_cast<QMdiSubWindow *>(watched))
            placeScreen(host);
    }
    return QMainWindow::eventFilter(watched, event);
}

void HerbdeskFrm::refreshGrids()
{
    for (DataGrid *grid : m_area->findChildren<DataGrid *>()) {
        Cursor *cursor = grid->cursor();
        if (!cursor || !cursor->isOpen())
            continue;
        // An edit still open in the grid is saved first, as before any other move.
        grid->submitPendingEdits();
        cursor->refresh();
    }
}

void HerbdeskFrm::placeScreen(QMdiSubWindow *host)
{
    auto *screen = qobject_cast<ChildScreen *>(host->widget());
    if (!screen)
        return;
    // Centred on the screen's own resize events only; enlarging the main window moves nothing.
    // A client area smaller than the screen gives negative offsets.
    const QSize client = m_area->viewport()->size();
    const int left = (client.width() - host->width()) / 2;
    const int top = (client.height() - host->height()) / 2;
    host->setGeometry(QRect(QPoint(left, top), screen->windowSize()));
}

bool HerbdeskFrm::closeAllScreens()
{
    // Each screen gets its own close, which saves its pending grid rows; the screens and their
    // cursors are gone when this returns.
    m_area->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m_area->subWindowList().isEmpty();
}

void HerbdeskFrm::closeEvent(QCloseEvent *event)
{
    // Every open screen gets its own close (pending grid rows are saved), then the program ends.
    m_area->closeAllSubWindows();
    m_screens.runCommand(leavingCommand, *this);
    event->accept();
}

const Session *sessionOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *mainWindow = qobject_cast<const HerbdeskFrm *>(w))
            return &mainWindow->session();
    }
    return nullptr;
}
