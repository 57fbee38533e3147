#include "reference/yonghufrm.h"

#include "reference/rowactions.h"
#include "shell/datagrid.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString UserTable = QStringLiteral("user");
const QString UserColumn = QStringLiteral("用户");

Query namesOnly()
{
    Query names(UserTable);
    names.columns = QStringList{UserColumn};
    return names;
}

} // namespace

QString YonghuFrm::firstPassword()
{
    return QStringLiteral("572946");
}

QString YonghuFrm::protectedUser()
{
    return QStringLiteral("超级用户");
}

YonghuFrm::YonghuFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("yonghufrm"), QStringLiteral("用户设置"), 4125, 2895,
                  parent),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    Data1->open(namesOnly());
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 120, 2295, 2295));
    DBGrid1->setEditable(false);
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("用户名"),
                   twips(2760, 120, 615, 255));
    Text1 = textBox(this, QStringLiteral("Text1"), twips(2760, 360, 975, 270));
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("添加"),
                      twips(2760, 840, 975, 375));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("删除"),
                      twips(2760, 1440, 975, 375));
    Command3 = button(this, QStringLiteral("Command3"), QStringLiteral("退出"),
                      twips(2760, 2040, 975, 375));

    connect(Command1, &QPushButton::clicked, this, &YonghuFrm::addUser);
    connect(Command2, &QPushButton::clicked, this, &YonghuFrm::deleteUser);
    connect(Command3, &QPushButton::clicked, this, &ChildScreen::closeScreen);
}

void YonghuFrm::addUser()
{
    // The name is taken as typed, unchecked but for its length; the password row is written on a
    // cursor of its own so that the list never shows passwords.
    if (!RowActions::textsFit(this, {{Label1->text(), Text1}}))
        return;
    Cursor users(store());
    bool stored = users.open(Query(UserTable));
    if (stored) {
        users.addNew();
        stored = users.setValue(UserColumn, RowActions::typed(Text1->text()))
                 && users.setValue(QStringLiteral("密码"), firstPassword()) && users.update();
    }
    if (!stored) {
        Messages::inform(this, users.lastError().text());
        return;
    }
    Data1->refresh();
}

void YonghuFrm::deleteUser()
{
    if (!Data1->hasCurrent() || Data1->value(UserColumn).toString() == protectedUser())
        return;
    if (!Data1->remove())
        Messages::inform(this, Data1->lastError().text());
}
