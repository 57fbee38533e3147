#include "store/cursor.h"
#include "store/schema.h"
#include "store/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void createsEveryFileWithItsTablesAndColumns();
    void createsTheRequiredRows();
    void reopensExistingFilesUntouched();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void aggregatesOverNothingAndNulls();
    void transactionSpansFilesAndRollsBackWhole();
    void committedTransactionKeepsEveryFile();
};

void tst_Store::createsEveryFileWithItsTablesAndColumns()
{
    TempStore temp;
    for (const FileDef &file : Schema::files()) {
        QVERIFY2(QFile::exists(temp.filePath(file.fileName)), qPrintable(file.fileName));
        for (const TableDef &table : file.tables) {
            const auto columns =
                temp.rows(QStringLiteral("PRAGMA %1.table_info(%2)")
                              .arg(quotedName(file.schemaName), quotedName(table.name)));
            QStringList names;
            for (const QVariantList &column : columns)
                names << column.value(1).toString();
            QStringList expected;
            for (const ColumnDef &column : table.columns)
                expected << column.name;
            QCOMPARE(names, expected);
        }
    }
    // The purchase lines carry their columns in the order the entry screen writes them.
    QCOMPARE(Schema::table("jinhuo")->columns.back().name, QStringLiteral("入库"));
    QCOMPARE(Schema::table("chuhuo")->columns.at(13).name, QStringLiteral("单据号"));
}

void tst_Store::createsTheRequiredRows()
{
    TempStore temp;
    QCOMPARE(temp.rows("SELECT * FROM user"),
             (QList<QVariantList>{{QStringLiteral("超级用户"), QStringLiteral("572946")}}));
    QCOMPARE(temp.scalar("SELECT 公司 FROM gongsi").toString(), QStringLiteral("岚溪材进销存"));
    const auto counters = temp.rows("SELECT * FROM danjuhao");
    QCOMPARE(counters.size(), 1);
    QCOMPARE(counters[0][0].toDouble(), 1.0);
    QCOMPARE(counters[0][1].toDouble(), 1.0);
    QCOMPARE(temp.scalar("SELECT count(*) FROM kufang").toInt(), 0);
}

void tst_Store::reopensExistingFilesUntouched()
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("sysfile");
    {
        Store store;
        QVERIFY_STORE(store, store.open(folder));
        QSqlQuery query(store.database());
        QVERIFY(query.exec("UPDATE gongsi SET 公司 = '青杉药行'"));
        QVERIFY(query.exec("DELETE FROM user"));
    }
    Store store;
    QVERIFY_STORE(store, store.open(folder));
    QSqlQuery query(store.database());
    QVERIFY(query.exec("SELECT 公司 FROM gongsi"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("青杉药行"));
    // A user table emptied on purpose stays empty: required rows go only into new files.
    QVERIFY(query.exec("SELECT count(*) FROM user"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
}

void tst_Store::refusesDamagedFiles_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("mentioned");
    QTest::newRow("not a database") << "jinhuo.db" << "text" << "jinhuo.db";
    QTest::newRow("main file not a database") << "bianhao.db" << "text" << "bianhao.db";
    QTest::newRow("table missing") << "kucun.db" << "DROP TABLE kucun" << "kucun";
    QTest::newRow("column missing") << "chuhuo.db"
                                    << "CREATE TABLE danju (销售单 TEXT, 日期 TEXT)"
                                    << "购货单位";
}

void tst_Store::refusesDamagedFiles()
{
    QFETCH(QString, fileName);
    QFETCH(QString, damage);
    QFETCH(QString, mentioned);

    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("sysfile");
    {
        Store store;
        QVERIFY_STORE(store, store.open(folder));
    }
    const QString path = QDir(folder).filePath(fileName);
    if (damage == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("这不是数据库，只是一段文字。").repeated(200));
    } else {
        const QString connection = QStringLiteral("damage");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            if (damage.startsWith("CREATE"))
                QVERIFY(query.exec("DROP TABLE danju"));
            QVERIFY(query.exec(damage));
        }
        QSqlDatabase::removeDatabase(connection);
    }
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray bytesBefore = before.readAll();
    before.close();

    Store store;
    QVERIFY(!store.open(folder));
    QVERIFY(!store.isOpen());
    const QString message = store.lastError().text();
    QVERIFY2(message.contains(fileName), qPrintable(message));
    QVERIFY2(message.contains(mentioned), qPrintable(message));

    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), bytesBefore);
}

void tst_Store::aggregatesOverNothingAndNulls()
{
    TempStore temp;
    Store &store = temp.store();
    const Query pending("jinhuo", Filter::isNull("入库"));
    QVERIFY(store.sum(pending, "金额").isNull());
    QCOMPARE(store.count(pending, "编号").toInt(), 0);

    temp.exec("INSERT INTO jinhuo (编号, 金额) VALUES ('a', 2.5), (NULL, 3), ('', NULL)");
    temp.exec("INSERT INTO jinhuo (编号, 金额, 入库) VALUES ('b', 100, '已入库')");
    QCOMPARE(store.sum(pending, "金额").toDouble(), 5.5);
    // count(column) skips Null but counts the empty text.
    QCOMPARE(store.count(pending, "编号").toInt(), 2);
    QCOMPARE(store.rowCount(pending), 3);

    const QVariantList totals = store.totals(
        pending, {{Store::Total::Count, "编号"}, {Store::Total::Sum, "金额"},
                  {Store::Total::Sum, "数量"}});
    QCOMPARE(totals.size(), 3);
    QCOMPARE(totals[0].toInt(), 2);
    QCOMPARE(totals[1].toDouble(), 5.5);
    QVERIFY(totals[2].isNull());
    QVERIFY(store.totals(Query("no_such_table"), {{Store::Total::Count, "编号"}}).isEmpty());
    QVERIFY(!store.lastError().isEmpty());
}

void tst_Store::transactionSpansFilesAndRollsBackWhole()
{
    TempStore temp;
    Store &store = temp.store();
    temp.exec("INSERT INTO kucun (编号, 库存数量) VALUES ('a', 5)");
    {
        Transaction transaction(store);
        QVERIFY(transaction.isActive());
        Cursor stock(store);
        QVERIFY(stock.open(Query("kucun")));
        QVERIFY(stock.edit());
        QVERIFY(stock.setValue("库存数量", 9));
        QVERIFY_STORE(stock, stock.update());
        Cursor lines(store);
        QVERIFY(lines.open(Query("jinhuo")));
        lines.addNew();
        QVERIFY(lines.setValue("编号", "a"));
        QVERIFY_STORE(lines, lines.update());
        // No commit: leaving the scope undoes both files.
    }
    QCOMPARE(temp.scalar("SELECT 库存数量 FROM kucun").toDouble(), 5.0);
    QCOMPARE(temp.scalar("SELECT count(*) FROM jinhuo").toInt(), 0);
}

void tst_Store::committedTransactionKeepsEveryFile()
{
    TempStore temp;
    Store &store = temp.store();
    {
        Transaction transaction(store);
        Cursor lines(store);
        QVERIFY(lines.open(Query("jinhuo")));
        lines.addNew();
        QVERIFY(lines.setValue("编号", "a"));
        QVERIFY(lines.update());
        Cursor counters(store);
        QVERIFY(counters.open(Query("danjuhao")));
        QVERIFY(counters.edit());
        QVERIFY(counters.setValue(1, 8));
        QVERIFY(counters.update());
        QVERIFY_STORE(store, transaction.commit());
    }
    // A second connection sees what was committed in both files.
    Store other;
    QVERIFY_STORE(other, other.open(QDir(temp.folder()).filePath("sysfile")));
    QCOMPARE(other.count(Query("jinhuo"), "编号").toInt(), 1);
    QCOMPARE(other.sum(Query("danjuhao"), "进货单号").toDouble(), 8.0);
}

QTEST_GUILESS_MAIN(tst_Store)
#include "tst_store.moc"
