#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/store.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ScreenRegistry screens;
    registerReferenceScreens(screens);
    registerPurchasingScreens(screens);
    registerStockScreens(screens);
    Store store;
    return store.open(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sysfile")))
        ? 0
        : 1;
}
