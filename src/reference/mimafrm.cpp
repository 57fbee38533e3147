#include "reference/mimafrm.h"

#include "reference/rowactions.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString UserTable = QStringLiteral("user");
const QString UserColumn = QStringLiteral("用户");
const QString PasswordColumn = QStringLiteral("密码");

QLineEdit *passwordBox(QWidget *parent, const QString &name, int top)
{
    QLineEdit *box = FormControls::textBox(parent, name, twips(1080, top, 1095, 270));
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return box;
}

} // namespace

MimaFrm::MimaFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("mimafrm"), QStringLiteral("密码设置"), 3735, 2610,
                  parent),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("用  户"),
                   twips(240, 255, 795, 255));
    Combo1 = makeEntryCombo(QStringLiteral("Combo1"), this);
    Combo1->setGeometry(twips(1080, 240, 1095, 300));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("旧密码"),
                   twips(240, 735, 795, 255));
    Text1 = passwordBox(this, QStringLiteral("Text1"), 720);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("新密码"),
                   twips(240, 1215, 795, 255));
    Text2 = passwordBox(this, QStringLiteral("Text2"), 1200);
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("确  认"),
                   twips(240, 1695, 795, 255));
    Text3 = passwordBox(this, QStringLiteral("Text3"), 1680);
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("确认"),
                      twips(2400, 360, 855, 375));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("退出"),
                      twips(2400, 1320, 855, 375));

    fillUsers();
    // Only choosing an entry reads a password; typing into the box, Enter included, starts
    // nothing. Enter in the open list chooses and moves on at once.
    EntryKeys::chainEnter({Combo1, Text1, Text2, Text3}, [this] { changePassword(); });
    chooseOnlyFromList(Combo1);
    connect(Combo1, &QComboBox::activated, this,
            [this](int index) { chooseUser(Combo1->itemText(index)); });
    connect(Command1, &QPushButton::clicked, this, &MimaFrm::changePassword);
    connect(Command2, &QPushButton::clicked, this, &ChildScreen::closeScreen);
    setStartBox(Combo1);
}

void MimaFrm::fillUsers()
{
    // Data1 stays closed until a user is chosen, so "确认" cannot reach a row nobody chose.
    Cursor users(store());
    if (!users.open(Query(UserTable)))
        return;
    for (users.first(); !users.atEnd(); users.next())
        Combo1->addItem(users.value(UserColumn).toString());
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
}

void MimaFrm::chooseUser(const QString &name)
{
    // The first row of that exact name, as the login takes it; quotes and "*" are plain text.
    Data1->open(Query(UserTable, Filter::equals(UserColumn, name)));
    m_storedPassword = Data1->value(PasswordColumn).toString();
    m_chosenUser = name;
}

void MimaFrm::changePassword()
{
    // A name typed over the choice must not have the chosen user's password changed unseen.
    if (!Data1->hasCurrent() || Combo1->currentText() != m_chosenUser) {
        Messages::inform(this, QStringLiteral("请先选择用户"));
        return;
    }
    if (Text1->text() != m_storedPassword || Text2->text() != Text3->text()) {
        Messages::inform(this, QStringLiteral("密码错误"));
        return;
    }
    const bool stored = Data1->edit()
                        && Data1->setValue(PasswordColumn, RowActions::typed(Text2->text()))
                        && Data1->update();
    if (!stored) {
        Data1->cancelUpdate();
        Messages::inform(this, Data1->lastError().text());
        return;
    }
    Messages::inform(this, QStringLiteral("修改成功"));
}
