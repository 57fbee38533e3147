#include "sales/salesqueries.h"

#include "sales/slipprintfrm.h"

LineQueryConfig salesLineQuery()
{
    return {QStringLiteral("xiaoshouchafrm"), QStringLiteral("销售查询"), QStringLiteral("chuhuo"),
            QStringLiteral("购货单位"),       QStringLiteral("购货单位"), QStringLiteral("yonghu"),
            QStringLiteral("Command2"),       QStringLiteral("Command3")};
}

DocumentQueryConfig salesDocumentQuery()
{
    return {QStringLiteral("chudanchafrm"), QStringLiteral("销售单据"),
            QStringLiteral("选择单据"),     QStringLiteral("danju"),
            QStringLiteral("销售单"),       QStringLiteral("chuhuo"),
            QStringLiteral("XS"),
            [](QWidget *screen) { SlipPrintFrm::open(screen, documentSlip()); }};
}
