#include "support/testsupport.h"

#include "engine.h"
#include "sideactions.h"

#include "store/query.h"

// The benchmark's yardstick sends its own SQL to SQLite files and, as tst_benchengine_pg, to a
// server: its times mean something only when that SQL does on both what the program does, and
// leaves the data as the program's screens expect it.
class tst_benchengine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void purchasePostingRaisesTheBatchMatchedWithoutCase();
    void salesPostingLowersTheStock();
    void refilledLinesArePendingForTheProgram();
    void prefixSearchIgnoresCase();

private:
    QVariant stock(const QString &column, const QString &code);

    std::unique_ptr<TempStore> m_temp;
    std::unique_ptr<Engine> m_engine;
};

void tst_benchengine::init()
{
    m_temp = std::make_unique<TempStore>();
    QVERIFY(m_temp->isValid());
    m_engine = Engine::open(m_temp->location());
}

void tst_benchengine::cleanup()
{
    m_engine.reset();
    m_temp.reset();
}

QVariant tst_benchengine::stock(const QString &column, const QString &code)
{
    return m_temp->scalar(QStringLiteral("SELECT %1 FROM kucun WHERE 编号 = ?").arg(column),
                          {code});
}

void tst_benchengine::purchasePostingRaisesTheBatchMatchedWithoutCase()
{
    m_temp->exec(QStringLiteral("INSERT INTO kucun (编号, 批号, 产地, 库存数量, 入库数量, 进价金额) "
                                "VALUES ('ab01', 'B1', '亳州', 5, 5, 50)"));
    m_temp->exec(QStringLiteral("INSERT INTO jinhuo (编号, 品名, 批号, 产地, 数量, 金额) VALUES "
                                "('AB01', '黄芪', 'b1', '亳州', 10, 125), "
                                "('CD02', '当归', 'B9', '岷县', 4, 40)"));

    purchaseSide().enginePost(*m_engine);

    QCOMPARE(stock("库存数量", "ab01").toDouble(), 15.0);
    QCOMPARE(stock("入库数量", "ab01").toDouble(), 15.0);
    QCOMPARE(stock("进价金额", "ab01").toDouble(), 175.0);
    QCOMPARE(stock("进价", "CD02").toDouble(), 10.0);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT count(*) FROM kucun")).toInt(), 2);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL"))
                 .toInt(),
             0);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT count(*) FROM huodan")).toInt(), 1);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT 进货单号 FROM danjuhao")).toInt(), 2);
}

void tst_benchengine::salesPostingLowersTheStock()
{
    m_temp->exec(QStringLiteral("INSERT INTO kucun (编号, 批号, 规格, 产地, 库存数量, 进价) "
                                "VALUES ('ab01', 'B1', '2g', '亳州', 5, 10)"));
    m_temp->exec(QStringLiteral("INSERT INTO chuhuo (编号, 批号, 规格, 产地, 数量) VALUES "
                                "('AB01', 'b1', '2G', '亳州', 2)"));

    salesSide().enginePost(*m_engine);

    QCOMPARE(stock("库存数量", "ab01").toDouble(), 3.0);
    QCOMPARE(stock("进价金额", "ab01").toDouble(), 30.0);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT 出库 FROM chuhuo")).toString(),
             QStringLiteral("已出库"));
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT count(*) FROM danju")).toInt(), 1);
    QCOMPARE(m_temp->scalar(QStringLiteral("SELECT 销售单号 FROM danjuhao")).toInt(), 2);
}

void tst_benchengine::refilledLinesArePendingForTheProgram()
{
    // The second stock row is the middle one, whose lines the benchmark enters.
    m_temp->exec(QStringLiteral("INSERT INTO kucun (编号, 库存数量) VALUES ('Z9', 5), ('A9', 5), "
                                "('A2', 200000), ('A3', 7)"));
    m_temp->exec(QStringLiteral("INSERT INTO chuhuo (编号, 数量, 出库) VALUES ('A1', 1, '已出库'), "
                                "('A2', 1, '已出库'), ('A3', 1, '已出库'), ('A4', 1, NULL)"));

    refillPending(*m_engine, salesSide(), 2);

    // The program sees them as its clerk's own pending lines (on a server, each clerk's).
    const Query pending(QStringLiteral("chuhuo"), Filter::pending(QStringLiteral("出库")));
    QCOMPARE(m_temp->store().count(pending, QStringLiteral("编号")).toInt(), 2);
    QCOMPARE(m_temp->rows(QStringLiteral("SELECT 编号 FROM chuhuo WHERE 出库 IS NULL "
                                         "ORDER BY 编号")),
             QList<QVariantList>({{QStringLiteral("A2")}, {QStringLiteral("A3")}}));
    // Enough stock to sell them and the middle row's herb, more kept, others left alone.
    QCOMPARE(stock("库存数量", "Z9").toDouble(), 5.0);
    QCOMPARE(stock("库存数量", "A9").toDouble(), 100000.0);
    QCOMPARE(stock("库存数量", "A2").toDouble(), 200000.0);
    QCOMPARE(stock("库存数量", "A3").toDouble(), 100000.0);
}

void tst_benchengine::prefixSearchIgnoresCase()
{
    m_temp->exec(QStringLiteral("INSERT INTO yaocai (编号, 拼音) VALUES ('1', 'HQ'), ('2', 'hs'), "
                                "('3', 'SH'), ('4', NULL)"));
    const QString sql =
        QStringLiteral("SELECT 编号 FROM yaocai WHERE %1 ORDER BY 编号")
            .arg(m_engine->likeBound(QStringLiteral("拼音")));
    QCOMPARE(m_engine->column(sql, {QStringLiteral("h%")}),
             QVariantList({QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(m_engine->read(sql, {QStringLiteral("S%")}), 1);
    QCOMPARE(m_engine->column(QStringLiteral("SELECT 编号 FROM yaocai WHERE %1")
                                  .arg(m_engine->equalBound(QStringLiteral("拼音"))),
                              {QStringLiteral("sh")}),
             QVariantList({QStringLiteral("3")}));
}

QTEST_GUILESS_MAIN(tst_benchengine)
#include "tst_benchengine.moc"
