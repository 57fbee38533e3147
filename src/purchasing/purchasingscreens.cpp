#include "purchasing/purchasingscreens.h"

#include "shell/screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}
