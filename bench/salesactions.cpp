#include "sideactions.h"

#include "engine.h"

namespace {

// The least SQL of a stock-out posting: each pending line lowers its stock row and revalues
// it; the lines are marked, the header written and the counter raised.
void postSales(Engine &engine)
{
    for (const QString &statement : engine.dialect().beginWriting())
        engine.exec(statement);
    const QList<QVariantList> lines = engine.rows(QStringLiteral(
        "SELECT 编号, 批号, 规格, 产地, 数量 FROM chuhuo WHERE 出库 IS NULL"));
    auto find = engine.prepare(
        QStringLiteral("SELECT rowid, 库存数量, 进价 FROM kucun WHERE %1 AND %2 AND %3 AND %4 "
                       "LIMIT 1")
            .arg(engine.equalBound(QStringLiteral("编号")),
                 engine.likeBound(QStringLiteral("批号")), engine.likeBound(QStringLiteral("规格")),
                 engine.likeBound(QStringLiteral("产地"))));
    auto lower = engine.prepare(
        QStringLiteral("UPDATE kucun SET 库存数量 = ?, 进价金额 = ? WHERE rowid = ?"));
    for (const QVariantList &line : lines) {
        const QList<QVariantList> batch = find->run(line.mid(0, 4));
        if (!batch.isEmpty()) {
            const QVariantList &found = batch.front();
            const double onHand = found[1].toDouble() - line[4].toDouble();
            lower->run({onHand, onHand * found[2].toDouble(), found[0]});
        }
    }
    engine.exec(QStringLiteral("UPDATE chuhuo SET 出库 = '已出库' WHERE 出库 IS NULL"));
    engine.exec(QStringLiteral("INSERT INTO danju VALUES ('XS', NULL, NULL)"));
    engine.exec(QStringLiteral("UPDATE danjuhao SET 销售单号 = 销售单号 + 1"));
    engine.exec(QStringLiteral("COMMIT"));
}

// Every stock row of the codes being sold holds plenty: the row the benchmark enters lines of
// (the middle one) and those of the pending lines, which are copies of lines posted before.
void supplyStock(Engine &engine)
{
    engine.exec(QStringLiteral(
        "UPDATE kucun SET 库存数量 = CASE WHEN 库存数量 > 100000 THEN 库存数量 ELSE 100000 END "
        "WHERE 编号 IN (SELECT 编号 FROM kucun WHERE rowid >= (SELECT max(rowid) / 2 FROM kucun) "
        "ORDER BY rowid LIMIT 1) OR 编号 IN (SELECT 编号 FROM chuhuo WHERE 出库 IS NULL)"));
}

} // namespace

TradeSide salesSide()
{
    TradeSide side;
    side.group = QStringLiteral("销售");
    side.entryScreen = QStringLiteral("xiaoshoufrm");
    side.searchTable = QStringLiteral("kucun");
    side.linesTable = QStringLiteral("chuhuo");
    side.flagColumn = QStringLiteral("出库");
    side.headerTable = QStringLiteral("danju");
    side.headerColumn = QStringLiteral("销售单");
    side.partnerColumn = QStringLiteral("购货单位");
    side.lineQueryScreen = QStringLiteral("xiaoshouchafrm");
    side.deleteAllButton = QStringLiteral("Command3");
    side.documentQueryScreen = QStringLiteral("chudanchafrm");
    side.documentPrefix = QStringLiteral("XS");
    side.printWindow = QStringLiteral("xiaoshoudafrm");
    side.lineBoxes = [](const QVariantMap &row) -> QList<QPair<QString, QString>> {
        return {{"Text3_0", row["编号"].toString()}, {"Text3_1", row["品名"].toString()},
                {"Text3_2", row["拼音"].toString()}, {"Text3_3", row["规格"].toString()},
                {"Text3_4", row["产地"].toString()}, {"Text3_7", row["批号"].toString()},
                {"Text8", "1"},
                {"Text9", "20"},                     {"Text10", "20.00"}};
    };
    side.enginePost = postSales;
    side.supplyStock = supplyStock;
    return side;
}
