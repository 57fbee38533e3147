#include "support/testsupport.h"

#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"
#include "shell/screenregistry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using Users = QList<QPair<QVariant, QVariant>>;

namespace {

// The login window, shown and active, over a fresh store holding the given users after the
// optional set-up statement.
struct Login
{
    TempStore temp;
    MessageRecorder messages;
    ScreenRegistry screens;
    std::unique_ptr<LogoFrm> window;
    std::unique_ptr<QSignalSpy> loggedIn;

    explicit Login(const Users &users, const QString &setup = {}, const QVariantList &values = {})
    {
        temp.exec("delete from user");
        for (const auto &[name, password] : users)
            temp.exec("insert into user (用户, 密码) values (?, ?)", {name, password});
        if (!setup.isEmpty())
            temp.exec(setup, values);
        window = std::make_unique<LogoFrm>(temp.store(), screens);
        loggedIn = std::make_unique<QSignalSpy>(window.get(), &LogoFrm::loggedIn);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    ~Login() { delete mainWindow(); }

    HerbdeskFrm *mainWindow() const
    {
        const bool in = loggedIn && !loggedIn->isEmpty();
        return in ? loggedIn->at(0).at(0).value<HerbdeskFrm *>() : nullptr;
    }
    QComboBox *userBox() const { return findWidget<QComboBox>(window.get(), "Combo1"); }
    QLineEdit *passwordBox() const { return findWidget<QLineEdit>(window.get(), "Text1"); }
    void click(const QString &button) const
    {
        QTest::mouseClick(findWidget<QPushButton>(window.get(), button), Qt::LeftButton);
    }
    // As a user does: open the list, move to the row, press Enter.
    void choose(int row) const
    {
        userBox()->showPopup();
        userBox()->view()->setCurrentIndex(userBox()->model()->index(row, 0));
        QTest::keyClick(userBox()->view(), Qt::Key_Return);
    }
    bool tryPassword(const QString &password) const
    {
        passwordBox()->clear();
        typeInto(passwordBox(), password);
        click("Command1");
        return loggedIn->count() == 1 && !window->isVisible();
    }
};

} // namespace

class TestLogoFrm : public QObject
{
    Q_OBJECT

private slots:
    void checksChosenUsersPassword_data()
    {
        QTest::addColumn<Users>("users");
        QTest::addColumn<int>("row"); // -1: no user chosen
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");

        const Users two = {{"超级用户", "572946"}, {"王五", "Abc 1"}};
        QTest::newRow("right") << two << 1 << "Abc 1" << true;
        QTest::newRow("other user's") << two << 1 << "572946" << false;
        QTest::newRow("empty") << two << 0 << "" << false;
        QTest::newRow("letter case") << two << 1 << "abc 1" << false;
        QTest::newRow("trailing blank") << two << 0 << "572946 " << false;
        QTest::newRow("none chosen") << two << -1 << "572946" << false;

        const Users blank = {{"赵六", ""}, {"钱七", QVariant()}};
        QTest::newRow("empty stored") << blank << 0 << "" << false;
        QTest::newRow("null stored") << blank << 1 << "" << false;

        // Either of two equal names looks up the first row of that name.
        const Users twins = {{"张三", "first"}, {"张三", "second"}};
        QTest::newRow("second twin, first's") << twins << 1 << "first" << true;

        // Names count as stored: no pattern meaning, letter case counts, quotes are plain;
        // a pattern or case-blind lookup would find an earlier row with another password.
        const Users odd = {{"张三", "plain"}, {"张*", "star"},  {"a%", "lower"},
                           {"A%", "upper"},   {"O'B\"", "q"},  {QVariant(), "nameless"}};
        QTest::newRow("star") << odd << 1 << "star" << true;
        QTest::newRow("upper case") << odd << 3 << "upper" << true;
        QTest::newRow("quotes") << odd << 4 << "q" << true;
        QTest::newRow("null name") << odd << 5 << "nameless" << true;
    }
    void checksChosenUsersPassword()
    {
        QFETCH(Users, users);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Login login(users);
        if (row >= 0)
            login.choose(row);
        QCOMPARE(login.tryPassword(typed), accepted);
        if (accepted) {
            QVERIFY(login.messages.texts.isEmpty());
            QVERIFY(login.mainWindow()->isVisible());
            return;
        }
        QCOMPARE(login.messages.texts, QStringList("密码不正确！"));
        QCOMPARE(login.messages.captions, QStringList("提示"));
        // Nothing is cleared: the user may retype, or cancel without logging in.
        QCOMPARE(login.passwordBox()->text(), typed);
        login.click("Command2");
        QVERIFY(!login.window->isVisible());
        QCOMPARE(login.loggedIn->count(), 0);
        QCOMPARE(login.messages.texts.size(), 1);
    }

    void listsUsersAndTakesOnlyAChoice()
    {
        Login login({{"超级用户", "1"}, {"张三", "2"}, {"O'Brien", "3"}, {"张三", "4"}, {" 李四 ", "5"}});
        QStringList names;
        for (int i = 0; i < login.userBox()->count(); ++i)
            names << login.userBox()->itemText(i);
        QCOMPARE(names, QStringList({"超级用户", "张三", "O'Brien", "张三", " 李四 "}));
        QCOMPARE(login.userBox()->currentText(), QString());
        QCOMPARE(login.passwordBox()->echoMode(), QLineEdit::Password);

        // A listed name typed over the last choice, then leaving the box, looks nothing up.
        login.choose(2);
        login.choose(0);
        login.userBox()->lineEdit()->selectAll();
        typeInto(login.userBox(), "O'Brien");
        QVERIFY(!login.tryPassword("3"));
        // Enter moves from the user box to the password box, and Enter there confirms.
        login.userBox()->setFocus();
        pressEnter(login.userBox()->lineEdit());
        QVERIFY(login.passwordBox()->hasFocus());
        login.passwordBox()->clear();
        QTest::keyClicks(login.passwordBox(), "1");
        pressEnter(login.passwordBox());
        QCOMPARE(login.loggedIn->count(), 1);
        QCOMPARE(login.messages.texts.size(), 1);
    }

    void mainWindowTakesCompanyName_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("caption");
        QTest::newRow("as created") << "" << "岚溪材进销存";
        QTest::newRow("own") << "update gongsi set 公司 = ?" << "青杉'*%";
        QTest::newRow("null") << "update gongsi set 公司 = NULL" << "";
        QTest::newRow("no row") << "delete from gongsi" << "";
    }
    void mainWindowTakesCompanyName()
    {
        QFETCH(QString, setup);
        QFETCH(QString, caption);
        const QVariantList values = setup.contains('?') ? QVariantList{caption} : QVariantList();
        Login login({{"超级用户", "572946"}}, setup, values);
        login.choose(0);
        QVERIFY(login.tryPassword("572946"));
        QCOMPARE(login.mainWindow()->windowTitle(), caption);
        QCOMPARE(sessionOf(login.mainWindow())->companyName, caption);
    }
};

QTEST_MAIN(TestLogoFrm)
#include "tst_logofrm.moc"
