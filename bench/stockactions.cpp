#include "stockactions.h"

#include "actionkit.h"
#include "bench.h"

#include "shell/childscreen.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTableView>

namespace {

const QString StockQuery = QStringLiteral("kucunchafrm");
const QString WriteOff = QStringLiteral("baosunfrm");

QAbstractButton *button(ChildScreen *screen, const char *name)
{
    return ScreenDriver::find<QAbstractButton>(screen, QString::fromUtf8(name));
}

Action stockSearch(Bench &bench, const QString &name)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto pageRows = std::make_shared<int>(1);
    Action action;
    action.group = QStringLiteral("库存");
    action.name = QStringLiteral("stock query %1 with totals").arg(name);
    action.target = Target::wallMs(50);
    action.samples = 20;
    action.setUp = [&bench, screen, name] {
        *screen = bench.driver().open(StockQuery);
        lineEdit(*screen, "Text1")->setText(name);
    };
    action.act = [screen] { ScreenDriver::click(button(*screen, "Command1")); };
    action.restore = [screen, pageRows] { takePage(*screen, "DBGrid1", *pageRows); };
    action.tearDown = [&bench] { bench.driver().close(StockQuery); };
    const QString pattern = QString(name).replace(QLatin1Char('*'), QLatin1Char('%'));
    action.engine = [pattern, pageRows](Engine &engine) {
        const QString where = QStringLiteral("(编号 LIKE ? OR 品名 LIKE ?)");
        engine.read(QStringLiteral("SELECT count(编号), sum(进价金额) FROM kucun WHERE ") + where,
                    {pattern, pattern});
        engine.read(QStringLiteral("SELECT * FROM kucun WHERE %1 LIMIT %2").arg(where).arg(
                        *pageRows),
                    {pattern, pattern});
    };
    return action;
}

Action writeOff(Bench &bench, const QString &code)
{
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->take(bench.engine(), QStringLiteral("kucun"), QStringLiteral("编号 = ?"), {code});
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = QStringLiteral("库存");
    action.name = QStringLiteral("write off 1 of a batch of %1").arg(code);
    action.countsCommits = true;
    action.setUp = [&bench, screen, code] {
        *screen = bench.driver().open(WriteOff);
        lineEdit(*screen, "Text1")->setText(code);
        ScreenDriver::click(button(*screen, "Command1"));
    };
    action.prepare = [screen] {
        auto *grid = ScreenDriver::find<QTableView>(*screen, "DBGrid1");
        grid->setCurrentIndex(grid->model()->index(0, 0));
        lineEdit(*screen, "Text2")->setText(QStringLiteral("1"));
    };
    action.act = [screen] { ScreenDriver::click(button(*screen, "Command2")); };
    action.restore = [&bench, snapshot] { snapshot->restore(bench.engine()); };
    action.tearDown = [&bench] { bench.driver().close(WriteOff); };
    action.engine = [code](Engine &engine) {
        engine.exec(QStringLiteral("UPDATE kucun SET 库存数量 = 库存数量 - 1, "
                                   "进价金额 = round((库存数量 - 1) * 进价, 2) WHERE rowid = "
                                   "(SELECT rowid FROM kucun WHERE 编号 = ? COLLATE NOCASE "
                                   "LIMIT 1)"),
                    {code});
    };
    action.engineRestore = [snapshot](Engine &engine) { snapshot->restore(engine); };
    return action;
}

} // namespace

void addStockActions(Bench &bench, std::vector<Action> &actions)
{
    const SearchTerms terms = searchTerms(bench.engine(), QStringLiteral("kucun"));
    actions.push_back(stockSearch(bench, terms.name));
    actions.push_back(stockSearch(bench, terms.name.left(1) + QLatin1Char('*')));
    actions.push_back(writeOff(bench, terms.code));
}
