#include "shell/logofrm.h"

#include "shell/entrykeys.h"
#include "shell/herbdeskfrm.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

namespace {

// The password box shows every character as "*", whatever the platform's own mask character.
class StarMaskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

LogoFrm::LogoFrm(Store &store, const ScreenRegistry &screens, QWidget *parent)
    : QDialog(parent), m_store(store), m_screens(screens)
{
    setObjectName(QStringLiteral("logofrm"));
    setWindowTitle(QStringLiteral("进入"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                   | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(3285, 2160));
    buildControls();
    readCompanyName();
    listUsers();
}

void LogoFrm::buildControls()
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 0, 3015, 2055));

    Label1 = new QLabel(QStringLiteral("用户"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(360, 360, 495, 255));

    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twips(1080, 360, 1455, 300));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    // Only a choice from the list looks up a password.
    chooseOnlyFromList(Combo1);
    connect(Combo1, &QComboBox::activated, this, &LogoFrm::lookUpPassword);

    Label2 = new QLabel(QStringLiteral("密码"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(twips(360, 960, 495, 255));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(1080, 960, 1455, 270));
    auto *maskStyle = new StarMaskStyle;
    maskStyle->setParent(this);
    Text1->setStyle(maskStyle);
    Text1->setEchoMode(QLineEdit::Password);

    Command1 = new QPushButton(QStringLiteral("确定"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(360, 1440, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &LogoFrm::confirm);

    Command2 = new QPushButton(QStringLiteral("取消"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips(1680, 1440, 975, 375));
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);

    // Enter moves from the user to the password, and Enter in the password confirms.
    EntryKeys::chainEnter({Combo1, Text1}, [this] { confirm(); });
}

void LogoFrm::readCompanyName()
{
    Cursor company(m_store);
    if (!company.open(Query(QStringLiteral("gongsi")))) {
        Messages::inform(this, company.lastError().text());
        return;
    }
    m_session.companyName = company.value(QStringLiteral("公司")).toString();
}

void LogoFrm::listUsers()
{
    Cursor users(m_store);
    if (!users.open(Query(QStringLiteral("user")))) {
        Messages::inform(this, users.lastError().text());
        return;
    }
    for (users.first(); !users.atEnd(); users.next())
        Combo1->addItem(users.value(1).toString());
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
}

void LogoFrm::lookUpPassword(int row)
{
    // The first row of exactly that name, compared as stored: letter case and pattern characters
    // in a name count as themselves. An empty entry stands for an empty or missing name.
    const QString name = Combo1->itemText(row);
    const QString column = QStringLiteral("用户");
    Filter sameName = Filter::equals(column, name);
    if (name.isEmpty())
        sameName = sameName || Filter::isNull(column);
    Cursor user(m_store);
    if (!user.open(Query(QStringLiteral("user"), sameName))) {
        m_storedPassword.clear();
        Messages::inform(this, user.lastError().text());
        return;
    }
    m_storedPassword = user.value(QStringLiteral("密码")).toString();
}

void LogoFrm::confirm()
{
    const QString typed = Text1->text();
    if (typed.isEmpty() || typed != m_storedPassword) {
        Messages::inform(this, QStringLiteral("密码不正确！"), QStringLiteral("提示"));
        return;
    }
    auto *mainWindow = new HerbdeskFrm(m_store, m_screens, m_session);
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow->show();
    emit loggedIn(mainWindow);
    close();
}
