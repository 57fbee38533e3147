#include "help/bangzhufrm.h"
#include "insight/insightscreens.h"
#include "maintenance/maintenancecommands.h"
#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "sales/salesscreens.h"
#include "shell/copycommand.h"
#include "shell/datachoice.h"
#include "shell/logofrm.h"
#include "shell/messages.h"
#include "shell/qttranslations.h"
#include "shell/screenregistry.h"
#include "shell/startup.h"
#include "stock/stockscreens.h"
#include "store/folderlock.h"
#include "store/store.h"

#include <QApplication>
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
    // Copying the data is work for a terminal: no window, no display needed.
    if (isCopyCommand(argc, argv)) {
        QCoreApplication app(argc, argv);
        return runCopyCommand(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    // The user's data folder is named after the program, whatever its file is called.
    QCoreApplication::setApplicationName(QStringLiteral("herbdesk"));
    installQtChineseTexts(app);
    useChineseFont(app);

    const DataChoice data =
        chooseData(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    if (!data.error.isEmpty()) {
        Messages::inform(nullptr, data.error);
        return 2;
    }
    // Declared before the store, so that the files are closed before the folder is let go.
    std::optional<FolderLock> lock;
    Store store;
    if (!openData(data.location, lock, store))
        return 1;

    ScreenRegistry screens;
    registerReferenceScreens(screens);
    registerPurchasingScreens(screens);
    registerSalesScreens(screens);
    registerStockScreens(screens);
    registerInsightScreens(screens);
    registerHelpScreens(screens);
    registerMaintenanceCommands(screens);

    auto *login = new LogoFrm(store, screens);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    const int result = app.exec();
    // The windows closed last are deleted here, while the store they work on is still open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
