#include "sales/salesscreens.h"

#include "sales/salesqueries.h"
#include "sales/xiaoshoufrm.h"
#include "shell/screenregistry.h"

void registerSalesScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("xiaoshoufrm"), [](Store &s) { return new XiaoshouFrm(s); });
    registry.add(QStringLiteral("xiaoshouchafrm"),
                 [](Store &s) { return new LineQueryFrm(s, salesLineQuery()); });
    registry.add(QStringLiteral("chudanchafrm"),
                 [](Store &s) { return new DocumentQueryFrm(s, salesDocumentQuery()); });
}
