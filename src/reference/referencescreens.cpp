#include "reference/referencescreens.h"

#include "shell/screenregistry.h"

void registerReferenceScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}
