#include "reference/mimafrm.h"
#include "reference/yonghufrm.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <memory>

class TestUsers : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.clear();
        m_db = std::make_unique<TempStore>();
        m_db->exec("INSERT INTO \"user\" VALUES ('a*', 'abc'), ('ab', 'abc'), ('O''Neil', 'q')");
    }
    void userListAddsWithTheFirstPasswordAndKeepsTheSuperUser();
    void passwordIsCheckedAgainstTheOneReadAtTheChoice();
    void passwordOfAUserDeletedMeanwhileIsNotChanged();

private:
    // Fills the three password boxes, confirms and returns what the screen said.
    QString confirm(QWidget *screen, const QString &old, const QString &fresh, const QString &again)
    {
        m_messages.clear();
        const QStringList texts{old, fresh, again};
        for (int i = 0; i < 3; ++i)
            findWidget<QLineEdit>(screen, QStringLiteral("Text%1").arg(i + 1))->setText(texts[i]);
        QTest::mouseClick(findWidget<QWidget>(screen, "Command1"), Qt::LeftButton);
        return m_messages.texts.join('|');
    }

    std::unique_ptr<TempStore> m_db;
    MessageRecorder m_messages;
};

void TestUsers::userListAddsWithTheFirstPasswordAndKeepsTheSuperUser()
{
    YonghuFrm screen(m_db->store());
    screen.show();
    auto *grid = findWidget<DataGrid>(&screen, "DBGrid1");
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("超级用户"));
    // The first row is current after opening, and it is kept.
    QTest::mouseClick(findWidget<QWidget>(&screen, "Command2"), Qt::LeftButton);
    typeInto(findWidget<QLineEdit>(&screen, "Text1"), "ab");
    // A repeated name is not refused.
    QTest::mouseClick(findWidget<QWidget>(&screen, "Command1"), Qt::LeftButton);
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->model()->columnCount(), 1); // the list never shows passwords

    grid->setCurrentIndex(grid->model()->index(2, 0));
    QTest::mouseClick(findWidget<QWidget>(&screen, "Command2"), Qt::LeftButton);
    QCOMPARE(m_db->rows("SELECT 用户, 密码 FROM \"user\" ORDER BY rowid"),
             (QList<QVariantList>{
                 {"超级用户", "572946"}, {"a*", "abc"}, {"O'Neil", "q"}, {"ab", "572946"}}));
    QVERIFY(m_messages.texts.isEmpty());
}

void TestUsers::passwordIsCheckedAgainstTheOneReadAtTheChoice()
{
    MimaFrm screen(m_db->store());
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    auto *users = findWidget<QComboBox>(&screen, "Combo1");
    for (const char *box : {"Text1", "Text2", "Text3"})
        QCOMPARE(findWidget<QLineEdit>(&screen, box)->echoMode(), QLineEdit::Password);
    // Typing a listed name starts nothing, Enter and leaving the box included: Enter only
    // moves on.
    typeInto(users, "ab");
    pressEnter(users);
    QVERIFY(findWidget<QLineEdit>(&screen, "Text1")->hasFocus());
    QCOMPARE(confirm(&screen, "abc", "x", "x"), QStringLiteral("请先选择用户"));

    // Chosen in the open list with one Enter, which also moves on. A pattern character must
    // not reach "ab".
    users->setFocus();
    QTest::keyClick(users, Qt::Key_Space);
    QTest::keyClick(users->view(), Qt::Key_Down);
    pressEnter(users->view());
    QCOMPARE(users->currentText(), QStringLiteral("a*"));
    QVERIFY(findWidget<QLineEdit>(&screen, "Text1")->hasFocus());
    QCOMPARE(confirm(&screen, "ABC", "n", "n"), QStringLiteral("密码错误"));
    QCOMPARE(confirm(&screen, "abc", "n", "N"), QStringLiteral("密码错误"));
    QCOMPARE(confirm(&screen, "abc", "n'1*", "n'1*"), QStringLiteral("修改成功"));
    QCOMPARE(m_db->scalar("SELECT 密码 FROM \"user\" WHERE 用户 = 'a*'"), QVariant("n'1*"));
    QCOMPARE(confirm(&screen, "abc", "", ""), QStringLiteral("修改成功")); // still "abc"
    // Another name typed over the choice changes no password unseen.
    users->setEditText("ab");
    QCOMPARE(confirm(&screen, "abc", "z", "z"), QStringLiteral("请先选择用户"));

    // Choosing with the arrow keys; choosing again reads the new password.
    users->clearEditText();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(users, Qt::Key_Down);
    QCOMPARE(users->currentText(), QStringLiteral("O'Neil"));
    QCOMPARE(confirm(&screen, "q", "r", "r"), QStringLiteral("修改成功"));
    QCOMPARE(confirm(&screen, "r", "s", "s"), QStringLiteral("密码错误"));
    users->setCurrentIndex(2);
    QTest::keyClick(users, Qt::Key_Down);
    QCOMPARE(confirm(&screen, "r", "t", "t"), QStringLiteral("修改成功"));
    QCOMPARE(m_db->joined("user", "用户 || '=' || coalesce('<' || 密码 || '>', 'Null')", " "),
             "超级用户=<572946> a*=<> ab=<abc> O'Neil=<t>");
}

void TestUsers::passwordOfAUserDeletedMeanwhileIsNotChanged()
{
    MimaFrm screen(m_db->store());
    screen.show();
    auto *users = findWidget<QComboBox>(&screen, "Combo1");
    users->setCurrentIndex(users->findText("ab"));
    emit users->activated(users->currentIndex());
    // 用户设置 deleted the user, and a new one took the row's place.
    m_db->exec("DELETE FROM \"user\" WHERE 用户 = 'O''Neil'");
    m_db->exec("DELETE FROM \"user\" WHERE 用户 = 'ab'");
    m_db->exec("INSERT INTO \"user\" VALUES ('new', 'abc')");
    QCOMPARE(confirm(&screen, "abc", "n", "n"), QStringLiteral("记录已被修改或删除，请重新查询"));
    QCOMPARE(m_db->scalar("SELECT 密码 FROM \"user\" WHERE 用户 = 'new'").toString(), "abc");
}

QTEST_MAIN(TestUsers)
#include "tst_users.moc"
