#include "insightactions.h"

#include "actionkit.h"
#include "bench.h"

#include "shell/childscreen.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace {

const QString Group = QStringLiteral("统计");

// A list or the overview opens within a tenth of a second, charts included.
constexpr double OpeningMs = 100;

// A minimum for every herb code of the stock: a tenth of the codes (those ending in 0) are set
// above their stock, the rest below, so that the warning lists about a tenth of them.
void setMinimums(Engine &engine)
{
    if (engine.scalar(QStringLiteral("SELECT count(*) FROM kucunxiaxian")).toInt() > 0)
        return;
    engine.exec(QStringLiteral(
        "INSERT INTO kucunxiaxian (编号, 下限) SELECT 编号, round(total(库存数量) * CASE WHEN "
        "编号 LIKE '%0' THEN 1.2 ELSE 0.8 END) FROM kucun WHERE 编号 IS NOT NULL GROUP BY 编号"));
}

Action opening(Bench &bench, const char *screen, const char *caption,
               const std::function<void(Engine &)> &engine, double targetMs)
{
    Action action = openScreenAction(bench, Group, QString::fromUtf8(screen),
                                     QString::fromUtf8(caption), engine);
    // The statistics views' target speaks of the ten-year data set.
    action.target = Target::wallMs(targetMs).atReferenceSizeOnly();
    return action;
}

QString day(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

Action topTenOfTenYears(Bench &bench)
{
    const QString screen = QStringLiteral("gaikuangfrm");
    auto opened = std::make_shared<ChildScreen *>(nullptr);
    const QDate from = bench.lastDay.addYears(-10).addDays(1);
    Action action;
    action.group = Group;
    action.name = QStringLiteral("overview: top ten herbs of the ten years");
    // Reported only: grouping every sales line of ten years is a query the user asks for.
    action.target = Target::none();
    action.samples = 20;
    action.setUp = [&bench, screen, opened, from] {
        *opened = bench.driver().open(screen);
        lineEdit(*opened, QStringLiteral("Text1"))->setText(day(from));
        lineEdit(*opened, QStringLiteral("Text2"))->setText(day(bench.lastDay));
    };
    action.act = [opened] {
        ScreenDriver::click(
            ScreenDriver::find<QAbstractButton>(*opened, QStringLiteral("Command2")));
    };
    action.tearDown = [&bench, screen] { bench.driver().close(screen); };
    action.engine = [from, &bench](Engine &engine) {
        engine.read(QStringLiteral("SELECT 编号, total(金额) AS s FROM chuhuo WHERE 日期 >= ? "
                                   "AND 日期 <= ? GROUP BY 编号 ORDER BY s DESC LIMIT 10"),
                    {day(from), day(bench.lastDay)});
    };
    return action;
}

} // namespace

void addInsightActions(Bench &bench, std::vector<Action> &actions)
{
    setMinimums(bench.engine());
    const QDate today = bench.lastDay;
    const QString horizon = day(today.addDays(90));
    actions.push_back(opening(
        bench, "xiaoqifrm", "近效期查询",
        [horizon](Engine &engine) {
            engine.read(QStringLiteral("SELECT 编号, 品名, 规格, 产地, 批号, 有效期, 单位, 库房, "
                                       "库存数量, 进价金额 FROM kucun WHERE 库存数量 > 0 AND "
                                       "有效期 <= ? ORDER BY 有效期"),
                        {horizon});
        },
        OpeningMs));
    actions.push_back(opening(
        bench, "yujingfrm", "库存预警",
        [](Engine &engine) {
            engine.read(QStringLiteral(
                "SELECT x.编号, x.下限, (SELECT total(库存数量) FROM kucun k WHERE k.编号 = "
                "x.编号 COLLATE NOCASE) AS s FROM kucunxiaxian x WHERE s < x.下限"));
        },
        OpeningMs));
    actions.push_back(opening(
        bench, "xiaxianfrm", "库存下限",
        [](Engine &engine) { engine.read(QStringLiteral("SELECT * FROM kucunxiaxian LIMIT 20")); },
        50));
    const QString from = day(QDate(today.year(), today.month(), 1).addMonths(-11));
    actions.push_back(opening(
        bench, "gaikuangfrm", "经营概况",
        [from, today](Engine &engine) {
            for (const char *table : {"jinhuo", "chuhuo"}) {
                engine.read(QStringLiteral("SELECT substr(日期, 1, 7) AS m, total(金额) FROM %1 "
                                           "WHERE 日期 >= ? AND 日期 <= ? GROUP BY m")
                                .arg(QString::fromUtf8(table)),
                            {from, day(today)});
            }
            engine.read(QStringLiteral("SELECT 编号, total(金额) AS s FROM chuhuo WHERE 日期 >= ? "
                                       "AND 日期 <= ? GROUP BY 编号 ORDER BY s DESC LIMIT 10"),
                        {from, day(today)});
            engine.read(QStringLiteral("SELECT 库房, total(进价金额) FROM kucun GROUP BY 库房"));
        },
        OpeningMs));
    actions.push_back(topTenOfTenYears(bench));
}
