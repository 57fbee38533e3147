#include "stock/stockscreens.h"

#include "shell/screenregistry.h"
#include "stock/baosunfrm.h"
#include "stock/kucunchafrm.h"
#include "stock/kucuncshfrm.h"

void registerStockScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("kucuncshfrm"), [](Store &s) { return new KucuncshFrm(s); });
    registry.add(QStringLiteral("kucunchafrm"), [](Store &s) { return new KucunchaFrm(s); });
    registry.add(QStringLiteral("baosunfrm"), [](Store &s) { return new BaosunFrm(s); });
}
