#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "sales/salesscreens.h"
#include "shell/logofrm.h"
#include "shell/messages.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/store.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace {

// Chinese text in the small fixed-size controls needs a CJK face at a size that fits a 18-pixel
// box.
void useChineseFont(QApplication &app)
{
    QFont font = app.font();
    const QString family = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(family))
        font.setFamily(family);
    font.setPixelSize(12);
    app.setFont(font);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    useChineseFont(app);

    Store store;
    const QString dataFolder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sysfile"));
    if (!store.open(dataFolder)) {
        Messages::inform(nullptr, store.lastError().text());
        return 1;
    }

    ScreenRegistry screens;
    registerReferenceScreens(screens);
    registerPurchasingScreens(screens);
    registerSalesScreens(screens);
    registerStockScreens(screens);

    auto *login = new LogoFrm(store, screens);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    const int result = app.exec();
    // The windows closed last are deleted here, while the store they work on is still open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
