#include "support/testsupport.h"

#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"
#include "shell/screenregistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>

using Users = QList<QPair<QVariant, QVariant>>;
Q_DECLARE_METATYPE(Users)

namespace {

QVariant null()
{
    return QVariant();
}

} // namespace

class TestLogoFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsUsersInTableOrder();
    void checksChosenUsersPassword_data();
    void checksChosenUsersPassword();
    void refusesWithoutChoice_data();
    void refusesWithoutChoice();
    void typedNameKeepsLastChoice();
    void choosingAgainReplacesPassword();
    void refusalKeepsWhatWasTyped();
    void enterMovesToPasswordThenConfirms();
    void mainWindowTakesCompanyName_data();
    void mainWindowTakesCompanyName();
    void cancelEndsWithoutMainWindow();

private:
    void setUsers(const Users &users);
    LogoFrm *openLogin();
    void choose(int row);
    void typePassword(const QString &password);
    void confirm();
    bool loggedIn() const;

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    ScreenRegistry m_screens;
    LogoFrm *m_login = nullptr;
    QSignalSpy *m_loggedIn = nullptr;
};

void TestLogoFrm::init()
{
    m_temp = new TempStore;
    m_messages = new MessageRecorder;
}

void TestLogoFrm::cleanup()
{
    delete m_loggedIn;
    m_loggedIn = nullptr;
    delete m_login;
    m_login = nullptr;
    QList<HerbdeskFrm *> mainWindows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *mainWindow = qobject_cast<HerbdeskFrm *>(window))
            mainWindows << mainWindow;
    }
    qDeleteAll(mainWindows);
    delete m_messages;
    delete m_temp;
}

void TestLogoFrm::setUsers(const Users &users)
{
    m_temp->exec("delete from user");
    for (const auto &user : users)
        m_temp->exec("insert into user (用户, 密码) values (?, ?)", {user.first, user.second});
}

LogoFrm *TestLogoFrm::openLogin()
{
    m_login = new LogoFrm(m_temp->store(), m_screens);
    m_loggedIn = new QSignalSpy(m_login, &LogoFrm::loggedIn);
    m_login->show();
    m_login->activateWindow();
    if (!QTest::qWaitForWindowActive(m_login))
        QTest::qFail("the login window did not become active", __FILE__, __LINE__);
    return m_login;
}

// Chooses an entry of the user list as a user does: open the list, pick the row, press Enter.
void TestLogoFrm::choose(int row)
{
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    list->setCurrentIndex(list->model()->index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
}

void TestLogoFrm::typePassword(const QString &password)
{
    auto *box = findWidget<QLineEdit>(m_login, "Text1");
    box->clear();
    typeInto(box, password);
}

void TestLogoFrm::confirm()
{
    QTest::mouseClick(findWidget<QPushButton>(m_login, "Command1"), Qt::LeftButton);
}

bool TestLogoFrm::loggedIn() const
{
    return m_loggedIn->count() == 1 && !m_login->isVisible();
}

void TestLogoFrm::listsUsersInTableOrder()
{
    setUsers({{"超级用户", "572946"}, {"张三", "1"}, {"O'Brien", "2"}, {"张三", "3"},
              {" 李四 ", "4"}});
    openLogin();
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    QCOMPARE(names, QStringList({"超级用户", "张三", "O'Brien", "张三", " 李四 "}));
    QCOMPARE(combo->currentText(), QString());
    QCOMPARE(combo->currentIndex(), -1);

    auto *password = findWidget<QLineEdit>(m_login, "Text1");
    QVERIFY(password->text().isEmpty());
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                          password),
             int('*'));
    QCOMPARE(m_login->windowTitle(), QString("进入"));
}

void TestLogoFrm::checksChosenUsersPassword_data()
{
    QTest::addColumn<Users>("users");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");

    const Users standard = {{"超级用户", "572946"}, {"王五", "Abc 1"}};
    QTest::newRow("right password") << standard << 0 << "572946" << true;
    QTest::newRow("second user") << standard << 1 << "Abc 1" << true;
    QTest::newRow("other user's password") << standard << 1 << "572946" << false;
    QTest::newRow("wrong password") << standard << 0 << "572945" << false;
    QTest::newRow("empty password") << standard << 0 << "" << false;
    QTest::newRow("letter case counts") << standard << 1 << "abc 1" << false;
    QTest::newRow("trailing blank counts") << standard << 0 << "572946 " << false;
    QTest::newRow("missing blank counts") << standard << 1 << "Abc1" << false;

    const Users emptyStored = {{"赵六", ""}, {"钱七", null()}};
    QTest::newRow("empty stored password") << emptyStored << 0 << "" << false;
    QTest::newRow("null stored password") << emptyStored << 1 << "" << false;
    QTest::newRow("null stored, typed text") << emptyStored << 1 << "x" << false;

    // Equal names: either entry looks up the first row of that name.
    const Users twins = {{"超级用户", "572946"}, {"张三", "first"}, {"张三", "second"}};
    QTest::newRow("first twin, first password") << twins << 1 << "first" << true;
    QTest::newRow("second twin, first password") << twins << 2 << "first" << true;
    QTest::newRow("second twin, own password") << twins << 2 << "second" << false;

    // Names are compared as stored: no pattern meaning, letter case counts.
    const Users patterns = {{"张三", "plain"}, {"张*", "star"}, {"a%", "percent"},
                            {"A%", "upper"}, {"O'Brien \"Bob\"", "quotes"}, {"a_", "under"}};
    QTest::newRow("star is itself") << patterns << 1 << "star" << true;
    QTest::newRow("star does not pick the first match") << patterns << 1 << "plain" << false;
    QTest::newRow("percent is itself") << patterns << 2 << "percent" << true;
    QTest::newRow("upper case name") << patterns << 3 << "upper" << true;
    QTest::newRow("upper case name, lower's password") << patterns << 3 << "percent" << false;
    QTest::newRow("quotes in name") << patterns << 4 << "quotes" << true;
    QTest::newRow("underscore is itself") << patterns << 5 << "under" << true;

    const Users nameless = {{null(), "nobody"}, {"", "blank"}};
    QTest::newRow("missing name is listed and found") << nameless << 0 << "nobody" << true;
}

void TestLogoFrm::checksChosenUsersPassword()
{
    QFETCH(Users, users);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    setUsers(users);
    openLogin();
    choose(row);
    typePassword(typed);
    confirm();

    QCOMPARE(loggedIn(), accepted);
    if (accepted) {
        QVERIFY(m_messages->texts.isEmpty());
        HerbdeskFrm *mainWindow = m_loggedIn->at(0).at(0).value<HerbdeskFrm *>();
        QVERIFY(mainWindow && mainWindow->isVisible());
    } else {
        QCOMPARE(m_messages->texts, QStringList("密码不正确！"));
        QCOMPARE(m_messages->captions, QStringList("提示"));
        QVERIFY(m_login->isVisible());
    }
}

void TestLogoFrm::refusesWithoutChoice_data()
{
    QTest::addColumn<Users>("users");
    QTest::addColumn<QString>("typed");

    const Users standard = {{"超级用户", "572946"}};
    QTest::newRow("empty password") << standard << "";
    QTest::newRow("a user's password") << standard << "572946";
    QTest::newRow("no users, empty password") << Users() << "";
    QTest::newRow("no users, any password") << Users() << "572946";
}

void TestLogoFrm::refusesWithoutChoice()
{
    QFETCH(Users, users);
    QFETCH(QString, typed);

    setUsers(users);
    openLogin();
    QCOMPARE(findWidget<QComboBox>(m_login, "Combo1")->count(), users.size());
    typePassword(typed);
    confirm();
    confirm();

    QVERIFY(!loggedIn());
    QCOMPARE(m_messages->texts, QStringList({"密码不正确！", "密码不正确！"}));
}

void TestLogoFrm::typedNameKeepsLastChoice()
{
    setUsers({{"甲", "111"}, {"乙", "222"}});
    openLogin();
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");

    // Typing a listed name without choosing it looks nothing up, even when the box loses focus.
    typeInto(combo, "乙");
    typePassword("222");
    confirm();
    QVERIFY(!loggedIn());

    choose(0);
    combo->lineEdit()->selectAll();
    typeInto(combo, "乙");
    QCOMPARE(combo->currentText(), QString("乙"));
    typePassword("222");
    confirm();
    QVERIFY(!loggedIn());
    QCOMPARE(m_messages->texts.size(), 2);

    typePassword("111");
    confirm();
    QVERIFY(loggedIn());
}

void TestLogoFrm::choosingAgainReplacesPassword()
{
    setUsers({{"甲", "111"}, {"乙", "222"}});
    openLogin();
    choose(1);
    choose(0);
    typePassword("222");
    confirm();
    QVERIFY(!loggedIn());
    typePassword("111");
    confirm();
    QVERIFY(loggedIn());
}

void TestLogoFrm::refusalKeepsWhatWasTyped()
{
    setUsers({{"甲", "111"}});
    openLogin();
    choose(0);
    typePassword("11");
    confirm();
    QVERIFY(!loggedIn());
    QCOMPARE(findWidget<QComboBox>(m_login, "Combo1")->currentText(), QString("甲"));
    QCOMPARE(findWidget<QLineEdit>(m_login, "Text1")->text(), QString("11"));

    // The user finishes the password and tries again.
    typeInto(findWidget<QLineEdit>(m_login, "Text1"), "1");
    confirm();
    QVERIFY(loggedIn());
}

void TestLogoFrm::enterMovesToPasswordThenConfirms()
{
    openLogin();
    choose(0);
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    auto *password = findWidget<QLineEdit>(m_login, "Text1");
    combo->setFocus();
    pressEnter(combo->lineEdit());
    QVERIFY(password->hasFocus());
    QVERIFY(m_messages->texts.isEmpty());

    QTest::keyClicks(password, "572946");
    pressEnter(password);
    QVERIFY(loggedIn());
}

void TestLogoFrm::mainWindowTakesCompanyName_data()
{
    QTest::addColumn<bool>("hasRow");
    QTest::addColumn<QVariant>("company");
    QTest::addColumn<QString>("caption");

    QTest::newRow("initial name") << true << QVariant() << "岚溪材进销存";
    QTest::newRow("own name") << true << QVariant("青杉药行 'A' * %") << "青杉药行 'A' * %";
    QTest::newRow("null name") << true << null() << "";
    QTest::newRow("empty name") << true << QVariant("") << "";
    QTest::newRow("no company row") << false << QVariant() << "";
}

void TestLogoFrm::mainWindowTakesCompanyName()
{
    QFETCH(bool, hasRow);
    QFETCH(QVariant, company);
    QFETCH(QString, caption);

    if (!hasRow)
        m_temp->exec("delete from gongsi");
    else if (QTest::currentDataTag() != QByteArray("initial name"))
        m_temp->exec("update gongsi set 公司 = ?", {company});

    openLogin();
    QCOMPARE(m_login->session().companyName, caption);
    choose(0);
    typePassword("572946");
    confirm();
    QVERIFY(loggedIn());
    HerbdeskFrm *mainWindow = m_loggedIn->at(0).at(0).value<HerbdeskFrm *>();
    QCOMPARE(mainWindow->windowTitle(), caption);
    QCOMPARE(mainWindow->session().companyName, caption);
    QVERIFY(m_messages->texts.isEmpty());
}

void TestLogoFrm::cancelEndsWithoutMainWindow()
{
    openLogin();
    choose(0);
    typePassword("572946");
    QTest::mouseClick(findWidget<QPushButton>(m_login, "Command2"), Qt::LeftButton);
    QVERIFY(!m_login->isVisible());
    QCOMPARE(m_loggedIn->count(), 0);
    QVERIFY(m_messages->texts.isEmpty());
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<HerbdeskFrm *>(window));
}

QTEST_MAIN(TestLogoFrm)
#include "tst_logofrm.moc"
