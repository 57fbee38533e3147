#include "purchasing/purchasequeries.h"

#include "purchasing/noticeprintfrm.h"

LineQueryConfig purchaseLineQuery()
{
    return {QStringLiteral("jinhuochafrm"), QStringLiteral("进货查询"), QStringLiteral("jinhuo"),
            QStringLiteral("厂家"),         QStringLiteral("供货单位"), QStringLiteral("changjia"),
            QStringLiteral("Command3"),     QStringLiteral("Command2")};
}

DocumentQueryConfig purchaseDocumentQuery()
{
    return {QStringLiteral("jindanchafrm"), QStringLiteral("进货单据"),
            QStringLiteral("选择进货单据"), QStringLiteral("huodan"),
            QStringLiteral("进货单"),       QStringLiteral("jinhuo"),
            QStringLiteral("JH"),
            [](QWidget *screen) { NoticePrintFrm::open(screen, documentNotice()); }};
}
