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

class TestLogoFrm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsUsersThenCancels();
    void checksChosenUsersPassword_data();
    void checksChosenUsersPassword();
    void typedNameKeepsLastChoice();
    void mainWindowTakesCompanyName_data();
    void mainWindowTakesCompanyName();

private:
    void open(const Users &users);
    void choose(int row);
    bool tryPassword(const QString &password);

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
    for (int i = 0; m_loggedIn && i < m_loggedIn->count(); ++i)
        delete m_loggedIn->at(i).at(0).value<HerbdeskFrm *>();
    delete m_loggedIn;
    delete m_login;
    delete m_messages;
    delete m_temp;
}

void TestLogoFrm::open(const Users &users)
{
    m_temp->exec("delete from user");
    for (const auto &user : users)
        m_temp->exec("insert into user (用户, 密码) values (?, ?)", {user.first, user.second});
    m_login = new LogoFrm(m_temp->store(), m_screens);
    m_loggedIn = new QSignalSpy(m_login, &LogoFrm::loggedIn);
    m_login->show();
    m_login->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_login));
}

// As a user does: open the list, move to the row, press Enter.
void TestLogoFrm::choose(int row)
{
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
}

bool TestLogoFrm::tryPassword(const QString &password)
{
    auto *box = findWidget<QLineEdit>(m_login, "Text1");
    box->clear();
    typeInto(box, password);
    QTest::mouseClick(findWidget<QPushButton>(m_login, "Command1"), Qt::LeftButton);
    return m_loggedIn->count() == 1 && !m_login->isVisible();
}

void TestLogoFrm::checksChosenUsersPassword_data()
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
    QTest::newRow("no users") << Users() << -1 << "572946" << false;

    const Users blank = {{"赵六", ""}, {"钱七", QVariant()}};
    QTest::newRow("empty stored") << blank << 0 << "" << false;
    QTest::newRow("null stored") << blank << 1 << "" << false;

    // Either of two equal names looks up the first row of that name.
    const Users twins = {{"张三", "first"}, {"张三", "second"}};
    QTest::newRow("second twin, first's") << twins << 1 << "first" << true;
    QTest::newRow("second twin, own") << twins << 1 << "second" << false;

    // Names count as stored: no pattern meaning, letter case counts, quotes are plain.
    const Users odd = {{"张三", "plain"}, {"张*", "star"},  {"a%", "lower"},
                       {"A%", "upper"},   {"O'B\"", "q"},  {QVariant(), "nameless"}};
    QTest::newRow("star") << odd << 1 << "star" << true;
    QTest::newRow("star, first match's") << odd << 1 << "plain" << false;
    QTest::newRow("upper case") << odd << 3 << "upper" << true;
    QTest::newRow("quotes") << odd << 4 << "q" << true;
    QTest::newRow("null name") << odd << 5 << "nameless" << true;
}

void TestLogoFrm::checksChosenUsersPassword()
{
    QFETCH(Users, users);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    open(users);
    if (row >= 0)
        choose(row);
    QCOMPARE(tryPassword(typed), accepted);
    if (accepted) {
        QVERIFY(m_messages->texts.isEmpty());
        QVERIFY(m_loggedIn->at(0).at(0).value<HerbdeskFrm *>()->isVisible());
    } else {
        QCOMPARE(m_messages->texts, QStringList("密码不正确！"));
        QCOMPARE(m_messages->captions, QStringList("提示"));
        // Nothing is cleared: the user may retype.
        QCOMPARE(findWidget<QLineEdit>(m_login, "Text1")->text(), typed);
    }
}

void TestLogoFrm::typedNameKeepsLastChoice()
{
    open({{"甲", "111"}, {"乙", "222"}});
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    choose(1);
    choose(0);
    // A listed name typed over the choice, then leaving the box, looks nothing up.
    combo->lineEdit()->selectAll();
    typeInto(combo, "乙");
    QVERIFY(!tryPassword("222"));
    // Enter moves from the user box to the password box, and Enter there confirms.
    combo->setFocus();
    pressEnter(combo->lineEdit());
    auto *password = findWidget<QLineEdit>(m_login, "Text1");
    QVERIFY(password->hasFocus());
    password->clear();
    QTest::keyClicks(password, "111");
    pressEnter(password);
    QCOMPARE(m_loggedIn->count(), 1);
    QCOMPARE(m_messages->texts.size(), 1);
}

void TestLogoFrm::mainWindowTakesCompanyName_data()
{
    QTest::addColumn<QString>("update");
    QTest::addColumn<QVariant>("company");
    QTest::addColumn<QString>("caption");

    QTest::newRow("as created") << "" << QVariant() << "岚溪材进销存";
    QTest::newRow("own") << "update gongsi set 公司 = ?" << QVariant("青杉'*%") << "青杉'*%";
    QTest::newRow("null") << "update gongsi set 公司 = ?" << QVariant() << "";
    QTest::newRow("no row") << "delete from gongsi" << QVariant() << "";
}

void TestLogoFrm::mainWindowTakesCompanyName()
{
    QFETCH(QString, update);
    QFETCH(QVariant, company);
    QFETCH(QString, caption);

    if (!update.isEmpty())
        m_temp->exec(update, update.contains('?') ? QVariantList{company} : QVariantList());
    open({{"超级用户", "572946"}});
    choose(0);
    QVERIFY(tryPassword("572946"));
    auto *mainWindow = m_loggedIn->at(0).at(0).value<HerbdeskFrm *>();
    QCOMPARE(mainWindow->windowTitle(), caption);
    QCOMPARE(sessionOf(mainWindow)->companyName, caption);
}

void TestLogoFrm::listsUsersThenCancels()
{
    open({{"超级用户", "1"}, {"张三", "2"}, {"O'Brien", "3"}, {"张三", "4"}, {" 李四 ", "5"}});
    auto *combo = findWidget<QComboBox>(m_login, "Combo1");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    QCOMPARE(names, QStringList({"超级用户", "张三", "O'Brien", "张三", " 李四 "}));
    QCOMPARE(combo->currentText(), QString());
    QCOMPARE(findWidget<QLineEdit>(m_login, "Text1")->echoMode(), QLineEdit::Password);

    choose(0);
    typeInto(findWidget<QLineEdit>(m_login, "Text1"), "1");
    QTest::mouseClick(findWidget<QPushButton>(m_login, "Command2"), Qt::LeftButton);
    QVERIFY(!m_login->isVisible());
    QCOMPARE(m_loggedIn->count(), 0);
    QVERIFY(m_messages->texts.isEmpty());
}

QTEST_MAIN(TestLogoFrm)
#include "tst_logofrm.moc"
