#include "support/testsupport.h"

#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"
#include "shell/screenregistry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// The login window, shown and active, over a fresh store holding the given users (name,
// password) after the set-up statement, whose "?" takes the value.
struct Login
{
    TempStore temp;
    MessageRecorder messages;
    ScreenRegistry screens;
    std::unique_ptr<LogoFrm> window;
    std::unique_ptr<QSignalSpy> loggedIn;

    Login(const QList<QPair<QVariant, QVariant>> &users, const QString &setup,
          const QString &value = {})
    {
        temp.exec("delete from \"user\"");
        for (const auto &[name, password] : users)
            temp.exec("insert into \"user\" (用户, 密码) values (?, ?)", {name, password});
        temp.exec(setup, QVariantList(setup.count('?'), value));
        window = std::make_unique<LogoFrm>(temp.store(), screens);
        loggedIn = std::make_unique<QSignalSpy>(window.get(), &LogoFrm::loggedIn);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    ~Login() { delete mainWindow(); }

    HerbdeskFrm *mainWindow() const { return loggedIn->value(0).value(0).value<HerbdeskFrm *>(); }
    QComboBox *userBox() const { return findWidget<QComboBox>(window.get(), "Combo1"); }
    QLineEdit *passwordBox() const { return findWidget<QLineEdit>(window.get(), "Text1"); }
    // As a user does: open the list, move to the row, press Enter.
    void choose(int row) const
    {
        userBox()->showPopup();
        userBox()->view()->setCurrentIndex(userBox()->model()->index(row, 0));
        QTest::keyClick(userBox()->view(), Qt::Key_Return);
    }
    // Types into the password box, then clicks OK (Command1) or Cancel (Command2); true when
    // logged in.
    bool tryPassword(const QString &password, const QString &button = "Command1") const
    {
        typeInto(passwordBox(), password);
        QTest::mouseClick(findWidget<QPushButton>(window.get(), button), Qt::LeftButton);
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
        QTest::addColumn<int>("row"); // -1: no user chosen
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << 1 << "Abc 1" << true;
        QTest::newRow("other user's") << 1 << "572946" << false;
        QTest::newRow("letter case") << 1 << "abc 1" << false;
        QTest::newRow("none chosen") << -1 << "572946" << false;
        // An empty password never lets anyone in.
        QTest::newRow("empty stored") << 2 << "" << false;
        // A name is looked up as stored, first row first: blanks, letter case and "%" count as
        // themselves (a case-blind or pattern lookup finds "a%"), an empty entry is no name.
        QTest::newRow("second twin, first's") << 4 << "first" << true;
        QTest::newRow("blanks kept") << 5 << "blanks" << true;
        QTest::newRow("upper case") << 7 << "upper" << true;
        QTest::newRow("null name") << 8 << "nameless" << true;
    }
    void checksChosenUsersPassword()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        // The list holds every row in table order, and starts with none chosen. Without a
        // company row the main window opens all the same, with an empty caption.
        Login login({{"超级用户", "572946"}, {"王五", "Abc 1"}, {"赵六", QVariant()}, {"张三", "first"},
                     {"张三", "second"}, {" 李四 ", "blanks"}, {"a%", "lower"}, {"A%", "upper"},
                     {QVariant(), "nameless"}}, "delete from gongsi");
        if (row >= 0)
            login.choose(row);
        QCOMPARE(login.tryPassword(typed), accepted);
        QCOMPARE(login.messages.texts, accepted ? QStringList() : QStringList("密码不正确！"));
        // After a refusal Cancel leaves without logging in; a login opens the main window.
        QVERIFY(accepted ? login.mainWindow()->windowTitle().isEmpty()
                         : !login.tryPassword(typed, "Command2") && !login.window->isVisible());
    }

    void takesOnlyAChoiceAndTheCompanyName()
    {
        Login login({{"超级用户", "1"}, {"O'Brien", "3"}}, "update gongsi set 公司 = ?", "青杉'*%");
        QCOMPARE(login.passwordBox()->echoMode(), QLineEdit::Password);
        // A listed name typed, then leaving the box, looks nothing up: only a choice does.
        typeInto(login.userBox(), "O'Brien");
        QVERIFY(!login.tryPassword("3"));
        QCOMPARE(login.messages.captions, QStringList("提示"));
        // The refusal clears nothing: Enter moves from the chosen user to the kept password,
        // and Enter there confirms.
        login.choose(1);
        login.userBox()->setFocus();
        pressEnter(login.userBox()->lineEdit());
        QVERIFY(login.passwordBox()->hasFocus());
        pressEnter(login.passwordBox());
        QVERIFY(login.mainWindow() && login.mainWindow()->isVisible());
        // The main window, and through it the screens it hosts, take the stored company name.
        QCOMPARE(login.mainWindow()->windowTitle(), QString("青杉'*%"));
    }
};

QTEST_MAIN(TestLogoFrm)
#include "tst_logofrm.moc"
