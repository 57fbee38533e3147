#include "support/testsupport.h"

#include "generator.h"
#include "timing.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

// The benchmark's numbers mean something only on data shaped like a dealer's: these tests hold
// the generator to the counts, order and bookkeeping it promises, and the statistics to their
// definitions.
class tst_generator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spreadRanks_data();
    void spreadRanks();
    void tablesHoldTheScaledCounts();
    void linesGrowInDateOrderAndOnlyTheLastDocumentsArePending();
    void headersAndCountersFollowThePostedDocuments();
    void stockIsWhatThePostingsLeft();
    void theSameSizeAndDayGiveTheSameData();

private:
    QVariant scalar(const QString &sql);
    QByteArray fingerprint(Store &store);

    QTemporaryDir m_dir;
    Store m_store;
};

namespace {

// A hundredth of the 1x size: 200 catalogue rows, 500 batches, 2,000 lines a side.
const DataSize Tiny{QStringLiteral("0.01"), 0.01};
const QDate LastDay(2026, 12, 5);

void generate(const QString &folder)
{
    Generator(Tiny, LastDay).write(folder, [](const QString &) {});
}

} // namespace

void tst_generator::initTestCase()
{
    // Every test only reads the one generated folder.
    const QString folder = QDir(m_dir.path()).filePath("sysfile");
    generate(folder);
    QVERIFY_STORE(m_store, m_store.open(folder));
}

QVariant tst_generator::scalar(const QString &sql)
{
    QSqlQuery query(m_store.database());
    if (!query.exec(sql) || !query.next())
        QTest::qFail(qPrintable(sql + ": " + query.lastError().text()), __FILE__, __LINE__);
    return query.value(0);
}

void tst_generator::spreadRanks_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("p95");
    QTest::addColumn<double>("max");
    QTest::newRow("one value") << QList<double>{4} << 4.0 << 4.0 << 4.0;
    QTest::newRow("even count averages the middle two") << QList<double>{4, 1, 3, 2} << 2.5 << 4.0
                                                        << 4.0;
    QList<double> twenty;
    for (int i = 20; i >= 1; --i)
        twenty << i;
    // Nearest rank: the 19th of 20 sorted values.
    QTest::newRow("twenty values") << twenty << 10.5 << 19.0 << 20.0;
    QTest::newRow("nothing") << QList<double>{} << 0.0 << 0.0 << 0.0;
}

void tst_generator::spreadRanks()
{
    QFETCH(QList<double>, values);
    QFETCH(double, median);
    QFETCH(double, p95);
    QFETCH(double, max);
    const Spread spread = spreadOf(std::vector<double>(values.begin(), values.end()));
    QCOMPARE(spread.median, median);
    QCOMPARE(spread.p95, p95);
    QCOMPARE(spread.max, max);
}

void tst_generator::tablesHoldTheScaledCounts()
{
    QCOMPARE(scalar("SELECT count(*) FROM yaocai").toInt(), 200);
    QCOMPARE(scalar("SELECT count(*) FROM kucun").toInt(), 500);
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo").toInt(), 2000);
    QCOMPARE(scalar("SELECT count(*) FROM chuhuo").toInt(), 2000);
    // One catalogue row per code and place of origin, as the catalogue screen demands.
    QCOMPARE(scalar("SELECT count(*) FROM (SELECT DISTINCT 编号, 产地 FROM yaocai)").toInt(),
             200);
    // Every stock batch is a catalogue row's herb.
    QCOMPARE(scalar("SELECT count(*) FROM kucun WHERE 编号 NOT IN (SELECT 编号 FROM yaocai)")
                 .toInt(),
             0);
    // No statistics of the benchmark's own: users' files have none.
    QCOMPARE(scalar("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'").toInt(), 0);
}

void tst_generator::linesGrowInDateOrderAndOnlyTheLastDocumentsArePending()
{
    for (const QString &table : {QStringLiteral("jinhuo"), QStringLiteral("chuhuo")}) {
        // A line whose date is earlier than the line stored before it.
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM %1 a JOIN %1 b "
                                       "ON b.rowid = a.rowid + 1 WHERE b.日期 < a.日期")
                            .arg(table))
                     .toInt(),
                 0);
        QCOMPARE(scalar(QStringLiteral("SELECT max(日期) FROM %1").arg(table)).toString(),
                 QStringLiteral("2026-12-05"));
        QCOMPARE(scalar(QStringLiteral("SELECT min(日期) FROM %1").arg(table)).toString(),
                 QStringLiteral("2016-12-06"));
    }
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL").toInt(), 12);
    QCOMPARE(scalar("SELECT count(*) FROM chuhuo WHERE 出库 IS NULL").toInt(), 8);
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NULL AND rowid <= 1988").toInt(),
             0);
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo WHERE 入库 IS NOT NULL AND 入库 <> '已入库'")
                 .toInt(),
             0);
}

void tst_generator::headersAndCountersFollowThePostedDocuments()
{
    // One header per posted document, none for the pending ones.
    QCOMPARE(scalar("SELECT count(*) FROM huodan").toInt(),
             scalar("SELECT count(DISTINCT 单据号) FROM jinhuo WHERE 入库 IS NOT NULL").toInt());
    QCOMPARE(scalar("SELECT count(*) FROM danju").toInt(),
             scalar("SELECT count(DISTINCT 单据号) FROM chuhuo WHERE 出库 IS NOT NULL").toInt());
    QCOMPARE(scalar("SELECT count(*) FROM huodan WHERE 进货单 NOT IN (SELECT 单据号 FROM jinhuo)")
                 .toInt(),
             0);
    // About twenty lines a document.
    const double perDocument = 2000.0 / scalar("SELECT count(*) FROM huodan").toDouble();
    QVERIFY2(perDocument > 15 && perDocument < 25, qPrintable(QString::number(perDocument)));
    // The next posting gets the number the pending lines already carry.
    QCOMPARE(scalar("SELECT 进货单号 FROM danjuhao").toInt(),
             scalar("SELECT count(*) FROM huodan").toInt() + 1);
    QCOMPARE(scalar("SELECT 销售单号 FROM danjuhao").toInt(),
             scalar("SELECT count(*) FROM danju").toInt() + 1);
    QCOMPARE(scalar("SELECT count(DISTINCT 单据号) FROM jinhuo WHERE 入库 IS NULL").toInt(), 1);
}

void tst_generator::stockIsWhatThePostingsLeft()
{
    // Received is what posted purchases brought in; on hand is that less posted sales.
    const double bought = scalar("SELECT sum(数量) FROM jinhuo WHERE 入库 IS NOT NULL").toDouble();
    const double sold = scalar("SELECT sum(数量) FROM chuhuo WHERE 出库 IS NOT NULL").toDouble();
    QCOMPARE(scalar("SELECT sum(入库数量) FROM kucun").toDouble(), bought);
    QCOMPARE(scalar("SELECT sum(库存数量) FROM kucun").toDouble(), bought - sold);
    QVERIFY(sold > 0);
    // Each posted purchase line raised an existing batch of its code, batch and origin.
    QCOMPARE(scalar("SELECT count(*) FROM jinhuo j WHERE 入库 IS NOT NULL AND NOT EXISTS "
                    "(SELECT 1 FROM kucun k WHERE k.编号 = j.编号 AND k.批号 = j.批号 "
                    "AND k.产地 = j.产地)")
                 .toInt(),
             0);
    QCOMPARE(scalar("SELECT count(*) FROM kucun WHERE abs(进价金额 - round(库存数量 * 进价, 2)) "
                    "> 0.005")
                 .toInt(),
             0);
}

QByteArray tst_generator::fingerprint(Store &store)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const char *table : {"yaocai", "kucun", "jinhuo", "huodan", "chuhuo", "danju"}) {
        QSqlQuery query(store.database());
        if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)))
            QTest::qFail(qPrintable(query.lastError().text()), __FILE__, __LINE__);
        while (query.next()) {
            for (int c = 0; c < query.record().count(); ++c)
                hash.addData(query.value(c).toString().toUtf8() + '|');
        }
    }
    return hash.result();
}

void tst_generator::theSameSizeAndDayGiveTheSameData()
{
    QTemporaryDir again;
    const QString folder = QDir(again.path()).filePath("sysfile");
    generate(folder);
    Store other;
    QVERIFY_STORE(other, other.open(folder));
    QCOMPARE(fingerprint(other), fingerprint(m_store));
}

QTEST_MAIN(tst_generator)
#include "tst_generator.moc"
