#include "printingbench.h"

#include "actionkit.h"
#include "bench.h"
#include "tradeactions.h"

#include "printing/printwindow.h"
#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "store/query.h"

#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

constexpr int PrintedLines = 1000;

// The child window hosting the open print window of that name; nullptr when none is open.
QMdiSubWindow *printWindowHost(Bench &bench, const QString &name)
{
    for (QMdiSubWindow *host : bench.driver().mainWindow().clientArea()->subWindowList()) {
        if (qobject_cast<PrintWindow *>(host->widget()) && host->widget()->objectName() == name)
            return host;
    }
    return nullptr;
}

} // namespace

void addPrintPreview(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto kept = std::make_shared<Snapshot>();
    const QString table = quotedName(side.linesTable);
    const QString flag = quotedName(side.flagColumn);
    Action action;
    action.group = side.group;
    action.name = QStringLiteral("print preview of %1 pending lines (%2)")
                      .arg(PrintedLines)
                      .arg(side.printWindow);
    action.target = Target::wallMs(500);
    action.samples = 10;
    action.setUp = [&bench, side, screen, kept, flag] {
        // The pending lines of the moment come back afterwards.
        kept->take(bench.engine(), side.linesTable, flag + QStringLiteral(" IS NULL"), {});
        bench.driver().close(side.entryScreen);
        refillPending(bench.engine(), side, PrintedLines);
        *screen = bench.driver().open(side.entryScreen);
    };
    action.act = [&bench, side, screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command3"));
        QMdiSubWindow *host = printWindowHost(bench, side.printWindow);
        if (!host)
            throw std::runtime_error("the print button opened no print window");
        // The first page painted now rather than when the window system asks.
        host->repaint();
    };
    // Gone without its closing message: nothing was meant to be printed.
    action.restore = [&bench, side] { delete printWindowHost(bench, side.printWindow); };
    action.tearDown = [&bench, side, kept, table, flag] {
        bench.driver().close(side.entryScreen);
        bench.engine().exec(QStringLiteral("DELETE FROM %1 WHERE %2 IS NULL").arg(table, flag));
        kept->restore(bench.engine());
    };
    // Reading as many lines as the document prints.
    action.engine = [table, flag](Engine &engine) {
        engine.read(QStringLiteral("SELECT * FROM %1 WHERE %2 IS NOT NULL ORDER BY rowid DESC "
                                   "LIMIT %3")
                        .arg(table, flag)
                        .arg(PrintedLines));
    };
    actions.push_back(action);
}
