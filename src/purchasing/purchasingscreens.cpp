#include "purchasing/purchasingscreens.h"

#include "purchasing/jinhuodjfrm.h"
#include "purchasing/purchasequeries.h"
#include "shell/screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("jinhuodjfrm"), [](Store &s) { return new JinhuodjFrm(s); });
    registry.add(QStringLiteral("jinhuochafrm"),
                 [](Store &s) { return new LineQueryFrm(s, purchaseLineQuery()); });
    registry.add(QStringLiteral("jindanchafrm"),
                 [](Store &s) { return new DocumentQueryFrm(s, purchaseDocumentQuery()); });
}
