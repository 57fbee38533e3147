#include "shell/lianxifrm.h"

#include "shell/twips.h"

#include <QLabel>
#include <QPushButton>

LianxiFrm::LianxiFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("lianxifrm"), QStringLiteral("联系我们"), 4800, 3000,
                  parent)
{
    Label1 = new QLabel(QStringLiteral("岚溪材进销存"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(360, 240, 3960, 360));
    QFont titleFont = Label1->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(titleFont.pixelSize() > 0 ? titleFont.pixelSize() + 4 : 16);
    Label1->setFont(titleFont);

    Label2 = new QLabel(QStringLiteral("本软件由青杉软件提供。\n"
                                       "使用中如有问题或建议，\n"
                                       "请与您的软件供应商联系。\n"
                                       "感谢您的使用！"),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(twips(360, 720, 3960, 1200));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Command1 = new QPushButton(QStringLiteral("关闭"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(1680, 2040, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &ChildScreen::closeScreen);
}
