#include "shellactions.h"

#include "bench.h"

#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QString FirstUser = QStringLiteral("超级用户");
const QString FirstPassword = QStringLiteral("572946");

struct LoginState
{
    QPointer<LogoFrm> login;
    QPointer<HerbdeskFrm> mainWindow;
};

} // namespace

void addLoginAction(Bench &bench, std::vector<Action> &actions)
{
    auto state = std::make_shared<LoginState>();
    Action action;
    action.group = QStringLiteral("系统");
    action.name = QStringLiteral("login to the main window");
    action.target = Target::wallMs(50);
    action.samples = 20;
    action.setUp = [&bench] { bench.driver().closeMainWindow(); };
    action.prepare = [&bench, state] {
        state->login = new LogoFrm(bench.store(), bench.driver().registry());
        QObject::connect(state->login, &LogoFrm::loggedIn,
                         [state](HerbdeskFrm *window) { state->mainWindow = window; });
        state->login->show();
        ScreenDriver::settle();
        auto *users = ScreenDriver::find<QComboBox>(state->login, "Combo1");
        const int user = users->findText(FirstUser);
        users->setCurrentIndex(user);
        emit users->activated(user);
        ScreenDriver::find<QLineEdit>(state->login, "Text1")->setText(FirstPassword);
    };
    action.act = [state] {
        ScreenDriver::click(ScreenDriver::find<QPushButton>(state->login, "Command1"));
    };
    action.restore = [state] {
        if (!state->mainWindow)
            throw std::runtime_error("the login did not open the main window");
        state->mainWindow->close();
        delete state->login;
        ScreenDriver::settle();
    };
    actions.push_back(action);
}

void addStartupStandIn(Bench &bench, std::vector<Action> &actions)
{
    auto login = std::make_shared<QPointer<LogoFrm>>();
    Action action;
    action.group = QStringLiteral("系统");
    action.name = QStringLiteral("start-up stand-in: open the files, show the login window");
    action.samples = 20;
    action.act = [&bench, login] {
        if (!bench.store().open(bench.folder))
            throw std::runtime_error(bench.store().lastError().text().toStdString());
        *login = new LogoFrm(bench.store(), bench.driver().registry());
        (*login)->show();
    };
    action.restore = [login] { delete login->data(); };
    actions.push_back(action);
}
