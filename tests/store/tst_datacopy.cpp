#include "store/datacopy.h"
#include "store/schema.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Every row of every table, in table order, each table's rows under its name.
QMap<QString, QList<QVariantList>> everyRow(const DataLocation &location)
{
    QMap<QString, QList<QVariantList>> tables;
    Store store;
    if (!store.open(location, Store::MissingFiles::Refuse)) {
        QTest::qFail(qPrintable(store.lastError().text()), __FILE__, __LINE__);
        return tables;
    }
    for (const FileDef &file : Schema::files()) {
        for (const auto *defs : {&file.tables, &file.addedTables}) {
            for (const TableDef &table : *defs) {
                QStringList columns;
                for (const ColumnDef &column : table.columns)
                    columns << quotedName(column.name);
                QSqlQuery rows(store.database());
                rows.exec(QString("SELECT %1 FROM %2 ORDER BY rowid")
                              .arg(columns.join(", "), quotedName(table.name)));
                QList<QVariantList> &read = tables[table.name];
                while (rows.next()) {
                    QVariantList row;
                    for (int c = 0; c < columns.size(); ++c)
                        row << (rows.value(c).isNull() ? QVariant("Null") : rows.value(c));
                    read << row;
                }
            }
        }
    }
    return tables;
}

} // namespace

class tst_DataCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    DataLocation folder(const QString &name) const
    {
        return DataLocation::files(QDir(m_dir.path()).filePath(name));
    }

    // A folder a dealer has worked in: every kind of table holds rows, some with Null values,
    // fractions and texts beyond ASCII.
    void fill(const DataLocation &location)
    {
        Store store;
        QVERIFY_STORE(store, store.open(location));
        const QStringList statements = {
            "UPDATE gongsi SET 公司 = '青杉药行'",
            "UPDATE danjuhao SET 进货单号 = 12, 销售单号 = 7.5",
            "INSERT INTO \"user\" (用户, 密码) VALUES ('小王', NULL)",
            "INSERT INTO yaocai (编号, 品名, 拼音) VALUES ('DG01', '当归', 'dg'), "
            "('ｄｇ02', 'Éa \"引号\" 100%', NULL)",
            "INSERT INTO kucun (编号, 品名, 库存数量, 进价, 进价金额) VALUES "
            "('DG01', '当归', 10.25, 3.3, 33.83), ('HQ01', NULL, -1, NULL, 0)",
            "INSERT INTO jinhuo (单据号, 编号, 数量, 金额, 日期, 入库) VALUES "
            "('JH1', 'DG01', 10.25, 33.83, '2026-01-05', '已入库'), "
            "(NULL, 'HQ01', 1, 0.1, '2026-01-06', NULL)",
            "INSERT INTO huodan (进货单, 日期, 厂家) VALUES ('JH1', '2026-01-05', '亳州')",
            "INSERT INTO chuhuo (单据号, 编号, 数量, 金额, 出库) VALUES "
            "('XS1', 'DG01', 0.3, 0.99, '已出库')",
            "INSERT INTO danju (销售单, 日期, 购货单位) VALUES ('XS1', '2026-02-01', NULL)",
            "INSERT INTO kucunxiaxian (编号, 下限) VALUES ('DG01', 5)",
            "INSERT INTO tongjicanshu (名称, 值) VALUES ('近效期天数', '60')",
        };
        for (const QString &sql : statements) {
            QSqlQuery statement(store.database());
            QVERIFY2(statement.exec(sql), qPrintable(statement.lastError().text()));
        }
    }

private slots:
    // Files to the server and back (files to files where no server is given) give the same
    // tables, row for row, and each step reports the rows and sums it checked.
    void aRoundTripGivesIdenticalTables()
    {
        const DataLocation source = folder("source");
        fill(source);
        const auto before = everyRow(source);
        QCOMPARE(before.value("kucun").size(), 2);

        std::optional<TempStore> server;
        DataLocation middle = folder("middle");
        if (TempStore::onServer()) {
            server.emplace();
            middle = server->location();
        }
        DataCopy::Outcome there = DataCopy::copy(source, middle);
        QVERIFY2(there.ok, qPrintable(there.error.text()));
        QVERIFY2(there.report.contains("kucun：2 行，库存数量 合计 9.25，入库数量 合计 0，"
                                       "进价 合计 3.3，进价金额 合计 33.83，销价 合计 0"),
                 qPrintable(there.report.join('\n')));
        QCOMPARE(everyRow(middle), before);
        // The server plans the copied tables from their statistics at once.
        if (server) {
            // (A table never analysed counts -1 rows.)
            QCOMPARE(server->rows("SELECT c.relname, c.reltuples FROM pg_class c "
                                  "JOIN pg_namespace n ON n.oid = c.relnamespace "
                                  "WHERE n.nspname = 'jinhuo' AND c.relkind = 'r' "
                                  "ORDER BY c.relname"),
                     (QList<QVariantList>{{"huodan", 1.0}, {"jinhuo", 2.0}}));
        }

        const DataLocation back = folder("back");
        DataCopy::Outcome again = DataCopy::copy(middle, back);
        QVERIFY2(again.ok, qPrintable(again.error.text()));
        QCOMPARE(again.report, there.report);
        QCOMPARE(everyRow(back), before);
    }

    // A target that holds data of its own is left as it is.
    void aTargetWithDataIsRefused()
    {
        const DataLocation source = folder("source");
        fill(source);
        const DataLocation target = folder("target");
        {
            Store store;
            QVERIFY_STORE(store, store.open(target));
            QSqlQuery statement(store.database());
            QVERIFY(statement.exec("UPDATE gongsi SET 公司 = '别家'"));
        }
        const auto before = everyRow(target);
        DataCopy::Outcome outcome = DataCopy::copy(source, target);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error.text(),
                 "目标 " + QDir::toNativeSeparators(target.folder)
                     + " 中已有数据（表 gongsi），只能复制到空的目标");
        QCOMPARE(everyRow(target), before);
    }

    // A source that lacks its files is not made up: nothing is created there or at the target.
    void anIncompleteSourceIsRefused()
    {
        const DataLocation source = folder("source");
        fill(source);
        QVERIFY(QFile::remove(QDir(source.folder).filePath("kucun.db")));
        const DataLocation target = folder("target");
        DataCopy::Outcome outcome = DataCopy::copy(source, target);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.text().contains("kucun.db"), qPrintable(outcome.error.text()));
        QVERIFY(!QFile::exists(QDir(source.folder).filePath("kucun.db")));
        QVERIFY(!QDir(target.folder).exists());
    }

    void cleanup()
    {
        for (const char *name : {"source", "middle", "back", "target"})
            QDir(QDir(m_dir.path()).filePath(name)).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(tst_DataCopy)
#include "tst_datacopy.moc"
