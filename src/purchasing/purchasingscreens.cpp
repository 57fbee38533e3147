#include "purchasing/purchasingscreens.h"

#include "purchasing/jinhuodjfrm.h"
#include "shell/screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("jinhuodjfrm"), [](Store &s) { return new JinhuodjFrm(s); });
}
