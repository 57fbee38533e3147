#include "sideactions.h"

#include "engine.h"

namespace {

// The least SQL of a stock-in posting: each pending line raises its batch or makes a new
// stock row; the lines are marked, the header written and the counter raised.
void postPurchases(Engine &engine)
{
    for (const QString &statement : engine.dialect().beginWriting())
        engine.exec(statement);
    const QList<QVariantList> lines = engine.rows(QStringLiteral(
        "SELECT 编号, 品名, 拼音, 规格, 批号, 产地, 库房, 厂家, 单位, 生产日期, 有效期, 数量, 金额 "
        "FROM jinhuo WHERE 入库 IS NULL"));
    auto find = engine.prepare(
        QStringLiteral("SELECT rowid, 库存数量, 入库数量, 进价金额 FROM kucun WHERE %1 AND %2 "
                       "AND %3 LIMIT 1")
            .arg(engine.equalBound(QStringLiteral("编号")),
                 engine.likeBound(QStringLiteral("批号")), engine.likeBound(QStringLiteral("产地"))));
    auto raise = engine.prepare(QStringLiteral(
        "UPDATE kucun SET 库存数量 = ?, 入库数量 = ?, 进价金额 = ?, 进价 = ? WHERE rowid = ?"));
    auto add = engine.prepare(QStringLiteral(
        "INSERT INTO kucun (编号, 品名, 拼音, 规格, 批号, 产地, 库房, 厂家, 单位, 生产日期, 有效期, "
        "库存数量, 入库数量, 进价, 进价金额, 销价) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)"));
    for (const QVariantList &line : lines) {
        const double quantity = line[11].toDouble();
        const double amount = line[12].toDouble();
        const QList<QVariantList> batch = find->run({line[0], line[4], line[5]});
        if (!batch.isEmpty()) {
            const QVariantList &found = batch.front();
            const double onHand = found[1].toDouble() + quantity;
            const double value = found[3].toDouble() + amount;
            raise->run({onHand, found[2].toDouble() + quantity, value,
                        onHand ? value / onHand : 0.0, found[0]});
        } else {
            QVariantList values = line.mid(0, 11);
            values << quantity << quantity << (quantity ? amount / quantity : 0.0) << amount;
            add->run(values);
        }
    }
    engine.exec(QStringLiteral("UPDATE jinhuo SET 入库 = '已入库' WHERE 入库 IS NULL"));
    engine.exec(QStringLiteral("INSERT INTO huodan VALUES ('JH', NULL, NULL)"));
    engine.exec(QStringLiteral("UPDATE danjuhao SET 进货单号 = 进货单号 + 1"));
    engine.exec(QStringLiteral("COMMIT"));
}

} // namespace

TradeSide purchaseSide()
{
    TradeSide side;
    side.group = QStringLiteral("进货");
    side.entryScreen = QStringLiteral("jinhuodjfrm");
    side.searchTable = QStringLiteral("yaocai");
    side.linesTable = QStringLiteral("jinhuo");
    side.flagColumn = QStringLiteral("入库");
    side.headerTable = QStringLiteral("huodan");
    side.headerColumn = QStringLiteral("进货单");
    side.partnerColumn = QStringLiteral("厂家");
    side.lineQueryScreen = QStringLiteral("jinhuochafrm");
    side.deleteAllButton = QStringLiteral("Command2");
    side.documentQueryScreen = QStringLiteral("jindanchafrm");
    side.documentPrefix = QStringLiteral("JH");
    side.printWindow = QStringLiteral("jinhuodafrm");
    side.lineBoxes = [](const QVariantMap &row) -> QList<QPair<QString, QString>> {
        return {{"Text3_0", row["编号"].toString()}, {"Text3_1", row["品名"].toString()},
                {"Text3_2", row["拼音"].toString()}, {"Text3_3", row["规格"].toString()},
                {"Text3_5", row["产地"].toString()}, {"Text3_4", "B2026"},
                {"Text6", "10"},                     {"Text7", "12.5"},
                {"Text8", "125.00"}};
    };
    side.enginePost = postPurchases;
    return side;
}
