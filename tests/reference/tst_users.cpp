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
    void cleanup();
    void newUserGetsTheFirstPassword();
    void superUserCannotBeDeleted();
    void passwordChange_data();
    void passwordChange();
    void oldPasswordStaysTheOneReadAtTheChoice();
    void confirmWithoutAChosenUserChangesNothing();

private:
    QString passwordOf(const QString &user)
    {
        return m_db->scalar(QStringLiteral("SELECT 密码 FROM user WHERE 用户 = ?"), {user})
            .toString();
    }
    void openPasswordScreen();
    void chooseUser(const QString &name);
    void confirm(const QString &oldPassword, const QString &newPassword, const QString &repeat);

    std::unique_ptr<TempStore> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MimaFrm> m_mima;
};

void TestUsers::init()
{
    m_db = std::make_unique<TempStore>();
    m_messages = std::make_unique<MessageRecorder>();
    m_db->exec(QStringLiteral("INSERT INTO user VALUES ('a*', 'abc'), ('ab', 'abc'), "
                              "('O''Neil', 'q')"));
}

void TestUsers::cleanup()
{
    m_mima.reset();
    m_messages.reset();
    m_db.reset();
}

void TestUsers::openPasswordScreen()
{
    m_mima = std::make_unique<MimaFrm>(m_db->store());
    m_mima->show();
    m_mima->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_mima.get()));
}

void TestUsers::chooseUser(const QString &name)
{
    // Typing a listed name and pressing Enter chooses it, as picking it from the list does.
    auto *users = findWidget<QComboBox>(m_mima.get(), "Combo1");
    users->clearEditText();
    typeInto(users, name);
    pressEnter(users);
}

void TestUsers::confirm(const QString &oldPassword, const QString &newPassword,
                        const QString &repeat)
{
    const QStringList names{"Text1", "Text2", "Text3"};
    const QStringList texts{oldPassword, newPassword, repeat};
    for (int i = 0; i < 3; ++i) {
        auto *box = findWidget<QLineEdit>(m_mima.get(), names[i]);
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        box->clear();
        typeInto(box, texts[i]);
    }
    QTest::mouseClick(findWidget<QPushButton>(m_mima.get(), "Command1"), Qt::LeftButton);
}

void TestUsers::newUserGetsTheFirstPassword()
{
    YonghuFrm screen(m_db->store());
    screen.show();
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    QCOMPARE(grid->model()->columnCount(), 1); // names only
    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));
    typeInto(findWidget<QLineEdit>(&screen, "Text1"), QStringLiteral("ab"));
    auto *add = findWidget<QPushButton>(&screen, "Command1");
    QTest::mouseClick(add, Qt::LeftButton);

    const auto added = m_db->rows(QStringLiteral("SELECT 密码 FROM user WHERE 用户 = 'ab'"));
    QCOMPARE(added.size(), 2); // a repeated name is not refused
    QCOMPARE(added[1][0].toString(), QStringLiteral("572946"));
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->model()->columnCount(), 1);
    QVERIFY(m_messages->texts.isEmpty());
}

void TestUsers::superUserCannotBeDeleted()
{
    YonghuFrm screen(m_db->store());
    screen.show();
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    auto *remove = findWidget<QPushButton>(&screen, "Command2");
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("超级用户"));
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(grid->model()->rowCount(), 4);

    grid->setCurrentIndex(grid->model()->index(2, 0));
    QTest::mouseClick(remove, Qt::LeftButton);
    const auto names = m_db->rows(QStringLiteral("SELECT 用户 FROM user"));
    QCOMPARE(names, (QList<QVariantList>{{"超级用户"}, {"a*"}, {"O'Neil"}}));
    QVERIFY(m_messages->texts.isEmpty());

    QTest::mouseClick(findWidget<QPushButton>(&screen, "Command3"), Qt::LeftButton);
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
    openPasswordScreen();
    chooseUser(QStringLiteral("a*")); // a pattern character must not reach "ab"
    confirm(oldPassword, newPassword, repeat);

    QCOMPARE(m_messages->texts, QStringList{changed ? "修改成功" : "密码错误"});
    QCOMPARE(passwordOf(QStringLiteral("a*")), changed ? newPassword : QStringLiteral("abc"));
    QCOMPARE(passwordOf(QStringLiteral("ab")), QStringLiteral("abc"));
}

void TestUsers::oldPasswordStaysTheOneReadAtTheChoice()
{
    openPasswordScreen();
    // Choosing from the list with the arrow keys.
    auto *users = findWidget<QComboBox>(m_mima.get(), "Combo1");
    users->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(users, Qt::Key_Down);
    QCOMPARE(users->currentText(), QStringLiteral("O'Neil"));
    confirm(QStringLiteral("q"), QStringLiteral("r"), QStringLiteral("r"));
    confirm(QStringLiteral("r"), QStringLiteral("s"), QStringLiteral("s"));
    QCOMPARE(m_messages->texts, (QStringList{"修改成功", "密码错误"}));
    QCOMPARE(passwordOf(QStringLiteral("O'Neil")), QStringLiteral("r"));

    confirm(QStringLiteral("q"), QStringLiteral("s"), QStringLiteral("s"));
    QCOMPARE(passwordOf(QStringLiteral("O'Neil")), QStringLiteral("s"));
    chooseUser(QStringLiteral("O'Neil"));
    confirm(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("t"));
    QCOMPARE(m_messages->texts.last(), QStringLiteral("修改成功"));
    QCOMPARE(passwordOf(QStringLiteral("O'Neil")), QStringLiteral("t"));
}

void TestUsers::confirmWithoutAChosenUserChangesNothing()
{
    openPasswordScreen();
    // Typing a name without choosing it starts nothing.
    typeInto(findWidget<QComboBox>(m_mima.get(), "Combo1"), QStringLiteral("ab"));
    confirm(QString(), QStringLiteral("x"), QStringLiteral("x"));
    QCOMPARE(m_messages->texts.size(), 1);
    QVERIFY(m_messages->last() != QStringLiteral("修改成功"));
    const auto passwords = m_db->rows(QStringLiteral("SELECT 密码 FROM user"));
    QCOMPARE(passwords, (QList<QVariantList>{{"572946"}, {"abc"}, {"abc"}, {"q"}}));
}

QTEST_MAIN(TestUsers)
#include "tst_users.moc"
