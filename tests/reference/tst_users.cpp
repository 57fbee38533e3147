#include "reference/mimafrm.h"
#include "reference/yonghufrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

class TestUsers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_mima.reset(); m_db.reset(); }
    void userListAddsWithTheFirstPasswordAndKeepsTheSuperUser();
    void passwordChange_data();
    void passwordChange();
    void oldPasswordIsTheOneReadAtTheChoice();

private:
    QString passwordOf(const QString &user)
    {
        return m_db->scalar("SELECT 密码 FROM user WHERE 用户 = ?", {user}).toString();
    }
    QComboBox *users() { return findWidget<QComboBox>(m_mima.get(), "Combo1"); }
    // Typing a listed name and pressing Enter chooses it, as picking it from the list does.
    void chooseUser(const QString &name)
    {
        users()->clearEditText();
        typeInto(users(), name);
        pressEnter(users());
    }
    void confirm(const QString &oldPassword, const QString &newPassword, const QString &repeat);

    std::unique_ptr<TempStore> m_db;
    MessageRecorder m_messages;
    std::unique_ptr<MimaFrm> m_mima;
};

void TestUsers::init()
{
    m_messages.clear();
    m_db = std::make_unique<TempStore>();
    m_db->exec("INSERT INTO user VALUES ('a*', 'abc'), ('ab', 'abc'), ('O''Neil', 'q')");
    m_mima = std::make_unique<MimaFrm>(m_db->store());
    m_mima->show();
    m_mima->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_mima.get()));
}

void TestUsers::confirm(const QString &oldPassword, const QString &newPassword,
                        const QString &repeat)
{
    const QStringList texts{oldPassword, newPassword, repeat};
    for (int i = 0; i < 3; ++i) {
        auto *box = findWidget<QLineEdit>(m_mima.get(), QStringLiteral("Text%1").arg(i + 1));
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        box->clear();
        typeInto(box, texts[i]);
    }
    QTest::mouseClick(findWidget<QPushButton>(m_mima.get(), "Command1"), Qt::LeftButton);
}

void TestUsers::userListAddsWithTheFirstPasswordAndKeepsTheSuperUser()
{
    YonghuFrm screen(m_db->store());
    screen.show();
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    const auto click = [&screen](const char *button) {
        QTest::mouseClick(findWidget<QPushButton>(&screen, button), Qt::LeftButton);
    };
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("超级用户"));
    click("Command2"); // the first row is current after opening
    typeInto(findWidget<QLineEdit>(&screen, "Text1"), "ab");
    click("Command1"); // a repeated name is not refused
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->model()->columnCount(), 1); // names only, and not to be edited
    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));

    grid->setCurrentIndex(grid->model()->index(2, 0));
    click("Command2");
    const auto rows = m_db->rows("SELECT 用户, 密码 FROM user");
    QCOMPARE(rows, (QList<QVariantList>{
                       {"超级用户", "572946"}, {"a*", "abc"}, {"O'Neil", "q"}, {"ab", "572946"}}));
    QVERIFY(m_messages.texts.isEmpty());
    click("Command3");
    QVERIFY(!screen.isVisible());
}

void TestUsers::passwordChange_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<bool>("changed");
    QTest::newRow("right") << "abc" << "n'1*" << "n'1*" << true;
    QTest::newRow("empty new password") << "abc" << "" << "" << true;
    QTest::newRow("letter case of the old") << "ABC" << "n" << "n" << false;
    QTest::newRow("blank after the old") << "abc " << "n" << "n" << false;
    QTest::newRow("repeat differs") << "abc" << "n" << "N" << false;
    QTest::newRow("repeat empty") << "abc" << "n" << "" << false;
}

void TestUsers::passwordChange()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repeat);
    QFETCH(bool, changed);
    chooseUser("a*"); // a pattern character must not reach "ab"
    confirm(oldPassword, newPassword, repeat);
    QCOMPARE(m_messages.texts, QStringList{changed ? "修改成功" : "密码错误"});
    QCOMPARE(passwordOf("a*"), changed ? newPassword : QStringLiteral("abc"));
    QCOMPARE(passwordOf("ab"), QStringLiteral("abc"));
}

void TestUsers::oldPasswordIsTheOneReadAtTheChoice()
{
    // Typing a name without choosing it starts nothing.
    typeInto(users(), "ab");
    confirm(QString(), "x", "x");
    QCOMPARE(m_messages.texts.size(), 1);
    QVERIFY(m_messages.last() != QStringLiteral("修改成功"));
    QCOMPARE(m_db->rows("SELECT 密码 FROM user"),
             (QList<QVariantList>{{"572946"}, {"abc"}, {"abc"}, {"q"}}));

    // Choosing from the list with the arrow keys.
    users()->clearEditText();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(users(), Qt::Key_Down);
    QCOMPARE(users()->currentText(), QStringLiteral("O'Neil"));
    confirm("q", "r", "r");
    confirm("r", "s", "s"); // still checked against the password read at the choice
    QCOMPARE(m_messages.texts.mid(1), (QStringList{"修改成功", "密码错误"}));
    QCOMPARE(passwordOf("O'Neil"), QStringLiteral("r"));
    confirm("q", "s", "s");
    QCOMPARE(passwordOf("O'Neil"), QStringLiteral("s"));
    chooseUser("O'Neil"); // choosing again reads the new one
    confirm("s", "t", "t");
    QCOMPARE(m_messages.last(), QStringLiteral("修改成功"));
    QCOMPARE(passwordOf("O'Neil"), QStringLiteral("t"));
}

QTEST_MAIN(TestUsers)
#include "tst_users.moc"
