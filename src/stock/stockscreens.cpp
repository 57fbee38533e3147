#include "stock/stockscreens.h"

#include "shell/screenregistry.h"

void registerStockScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}
