#include "purchasing/purchasingscreens.h"

#include "purchasing/jindanchafrm.h"
#include "purchasing/jinhuochafrm.h"
#include "purchasing/jinhuodjfrm.h"
#include "shell/screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("jinhuodjfrm"), [](Store &s) { return new JinhuodjFrm(s); });
    registry.add(QStringLiteral("jinhuochafrm"), [](Store &s) { return new JinhuochaFrm(s); });
    registry.add(QStringLiteral("jindanchafrm"), [](Store &s) { return new JindanchaFrm(s); });
}
