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
    void createsEveryFileWithItsTablesColumnsAndRows()
    {
        TempStore temp;
        for (const FileDef &file : Schema::files()) {
            if (!temp.location().isServer())
                QVERIFY2(QFile::exists(temp.filePath(file.fileName)), qPrintable(file.fileName));
            for (const TableDef &table : file.tables) {
                StoreError error;
                QStringList expected;
                for (const ColumnDef &column : table.columns)
                    expected << column.name;
                QCOMPARE(temp.store().columnsOf(table.name, &error), expected);
            }
        }
        QCOMPARE(temp.tableRows("user"),
                 (QList<QVariantList>{{QStringLiteral("超级用户"), QStringLiteral("572946")}}));
        QCOMPARE(temp.scalar("SELECT 公司 FROM gongsi").toString(), QStringLiteral("岚溪材进销存"));
        QCOMPARE(temp.tableRows("danjuhao"), (QList<QVariantList>{{1.0, 1.0}}));
    }

    void reopensExistingFilesUntouched()
    {
        TempStore temp;
        temp.exec("UPDATE gongsi SET 公司 = '青杉药行'");
        temp.exec("DELETE FROM \"user\"");
        temp.store().close();
        Store store;
        QVERIFY_STORE(store, store.open(temp.location()));
        QCOMPARE(store.rowCount(Query("gongsi", Filter::like("公司", "青杉药行"))), 1);
        // Required rows go only into new files: a user table emptied on purpose stays empty.
        QCOMPARE(store.rowCount(Query("user")), 0);
    }

    // A server that cannot be used stops the opening with its address and the reason; nothing
    // is made where the user did not point.
    void serverRefusalsNameTheServer_data()
    {
        QTest::addColumn<QString>("change"); // of the test database's address
        QTest::addColumn<QString>("trouble");
        QTest::newRow("no such database")
            << "database" << "数据库服务器上没有数据库 herbdesk_nowhere（";
        QTest::newRow("unknown user") << "user" << "数据库服务器 ";
        QTest::newRow("no server there") << "host" << "无法连接数据库服务器 ";
        QTest::newRow("no such port") << "port" << "无法连接数据库服务器 ";
    }
    void serverRefusalsNameTheServer()
    {
        QFETCH(QString, change);
        QFETCH(QString, trouble);
        if (!TempStore::onServer())
            QSKIP("the data is in files");
        TempStore temp;
        QVERIFY(temp.isValid() && temp.location().isServer());
        ServerAddress address = *temp.location().server;
        if (change == "database")
            address.database = "herbdesk_nowhere";
        else if (change == "user")
            address.user = "herbdesk_nobody";
        else if (change == "port")
            address.port = 1;
        else
            address.host = temp.folder();
        Store store;
        QVERIFY(!store.open(DataLocation::onServer(address)));
        const QString text = store.lastError().text();
        QVERIFY2(text.startsWith(trouble) && text.contains(address.text()), qPrintable(text));
        if (change == "user")
            QVERIFY2(text.contains("拒绝登录") && text.contains("herbdesk_nobody"), qPrintable(text));
        if (change == "host" || change == "port") {
            QVERIFY2(text.contains("（服务器没有运行，或不在这个地址和端口上接受连接）"),
                     qPrintable(text));
        }
        QVERIFY2(!text.contains('\n') && !text.contains('\t'), qPrintable(text));
        QVERIFY(!store.isOpen());
        QCOMPARE(temp.scalar("SELECT count(*) FROM pg_database WHERE datname = 'herbdesk_nowhere'")
                     .toInt(),
                 0);
    }

    void refusesDamagedFiles_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("not a database") << "jinhuo.db" << "" << "jinhuo.db";
        QTest::newRow("main file not a database") << "bianhao.db" << "" << "bianhao.db";
        QTest::newRow("table missing") << "kucun.db" << "DROP TABLE kucun" << "kucun";
        QTest::newRow("column missing")
            << "chuhuo.db" << "ALTER TABLE danju DROP COLUMN 购货单位" << "购货单位";
    }

    void refusesDamagedFiles()
    {
        SKIP_ON_SERVER();
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
        if (damage.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("这不是数据库，只是一段文字。").repeated(200));
        } else {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(damage));
            }
            QSqlDatabase::removeDatabase("damage");
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytesBefore = file.readAll();
        file.close();

        Store store;
        QVERIFY(!store.open(folder));
        QVERIFY(!store.isOpen());
        const QString message = store.lastError().text();
        QVERIFY2(message.contains(fileName) && message.contains(mentioned), qPrintable(message));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytesBefore);
    }

    void aggregatesOverNothingAndNulls()
    {
        TempStore temp;
        Store &store = temp.store();
        const Query pending("jinhuo", Filter::isNull("入库"));
        QVERIFY(store.sum(pending, "金额").isNull());
        QCOMPARE(store.count(pending, "编号").toInt(), 0);

        temp.exec("INSERT INTO jinhuo (编号, 金额) VALUES ('a', 2.5), (NULL, 3), ('', NULL)");
        temp.exec("INSERT INTO jinhuo (编号, 金额, 入库) VALUES ('b', 100, '已入库')");
        // count(column) skips Null but counts the empty text.
        const QVariantList totals = store.totals(
            pending, {{Store::Total::Count, "编号"}, {Store::Total::Sum, "金额"},
                      {Store::Total::Sum, "数量"}});
        QCOMPARE(totals.size(), 3);
        QCOMPARE(totals[0].toInt(), 2);
        QCOMPARE(totals[1].toDouble(), 5.5);
        QVERIFY(totals[2].isNull());
        QCOMPARE(store.rowCount(pending), 3);
        QVERIFY(store.totals(Query("no_such_table"), {{Store::Total::Count, "编号"}}).isEmpty());
        QVERIFY(!store.lastError().isEmpty());
    }

    void transactionSpansFilesAllOrNothing()
    {
        TempStore temp;
        Store &store = temp.store();
        temp.exec("INSERT INTO kucun (编号, 库存数量) VALUES ('a', 5)");
        const auto raiseStockAndAddLine = [&store](double quantity) {
            Cursor stock(store);
            Cursor lines(store);
            QVERIFY(stock.open(Query("kucun")) && lines.open(Query("jinhuo")));
            QVERIFY(stock.edit() && stock.setValue("库存数量", quantity));
            QVERIFY_STORE(stock, stock.update());
            lines.addNew();
            QVERIFY(lines.setValue("编号", "a"));
            QVERIFY_STORE(lines, lines.update());
        };
        {
            Transaction transaction(store);
            QVERIFY(transaction.isActive());
            raiseStockAndAddLine(9);
            // No commit: leaving the scope undoes both files.
        }
        QCOMPARE(temp.scalar("SELECT 库存数量 FROM kucun").toDouble(), 5.0);
        QCOMPARE(temp.scalar("SELECT count(*) FROM jinhuo").toInt(), 0);
        {
            Transaction transaction(store);
            raiseStockAndAddLine(8);
            QVERIFY_STORE(store, transaction.commit());
        }
        // A second connection sees what was committed in both files.
        Store other;
        QVERIFY_STORE(other, other.open(temp.location()));
        QCOMPARE(other.rowCount(Query("jinhuo")), 1);
        QCOMPARE(other.sum(Query("kucun"), "库存数量").toDouble(), 8.0);
    }
};

QTEST_GUILESS_MAIN(tst_Store)
#include "tst_store.moc"
