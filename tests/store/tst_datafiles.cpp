#include "store/cursor.h"
#include "store/datafiles.h"
#include "store/schema.h"
#include "store/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

namespace {

// Every file of a folder and its bytes.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        files.insert(info.fileName(), file.readAll());
    }
    return files;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QStringList allFileNames()
{
    QStringList names;
    for (const FileDef &file : Schema::files())
        names << file.fileName;
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

} // namespace

class tst_DataFiles : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_folder;

    QString path(const QString &fileName) const { return QDir(m_folder).filePath(fileName); }

    // The folder of a first start, its files closed again.
    void makeFolder()
    {
        Store store;
        QVERIFY_STORE(store, store.open(m_folder));
        QSqlQuery query(store.database());
        QVERIFY(query.exec("UPDATE gongsi SET 公司 = '青杉药行'"));
        QVERIFY(query.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 300) INSERT INTO jinhuo (单据号, 编号, 数量) "
                           "SELECT 'JH1', printf('%05d', i), i FROM n"));
    }

    // The file as a crash would leave it: a write of the statement cut off after the engine had
    // put pages into the file, with the rollback journal beside it.
    void copyCrashImage(const QString &fileName, const QString &statement, const QString &to)
    {
        OtherConnection writer(path(fileName));
        // A tiny cache makes the engine write changed pages into the file before the commit.
        QVERIFY(writer.exec("PRAGMA cache_size=1") && writer.exec("BEGIN")
                && writer.exec(statement));
        QVERIFY(QFileInfo(path(fileName) + "-journal").size() > 0);
        QFile::remove(to);
        QFile::remove(to + "-journal");
        QVERIFY(QFile::copy(path(fileName), to));
        QVERIFY(QFile::copy(path(fileName) + "-journal", to + "-journal"));
        QVERIFY(writer.exec("ROLLBACK"));
    }

private slots:
    void init()
    {
        m_dir.emplace();
        m_folder = QDir(m_dir->path()).filePath("sysfile");
    }
    void cleanup() { m_dir.reset(); }

    void runsWithFullSyncAndRollbackJournal()
    {
        TempStore temp;
        for (const FileDef &file : Schema::files()) {
            const QString schema = quotedName(file.schemaName);
            QCOMPARE(temp.scalar(QString("PRAGMA %1.synchronous").arg(schema)).toInt(), 2);
            QCOMPARE(temp.scalar(QString("PRAGMA %1.journal_mode").arg(schema)).toString(),
                     "truncate");
        }
    }

    void closeLeavesStatisticsForThePlanner()
    {
        makeFolder();
        {
            Store store;
            QVERIFY_STORE(store, store.open(m_folder));
            QCOMPARE(store.rowCount(Query("jinhuo", Filter::like("单据号", "JH1"))), 300);
        }
        OtherConnection reader(path("jinhuo.db"));
        QVERIFY(reader.scalar("SELECT count(*) FROM sqlite_stat1 WHERE tbl = 'jinhuo'").toInt()
                > 0);
    }

    void refusesAFileCutShortOrGrown_data()
    {
        QTest::addColumn<qint64>("change"); // bytes added to the file (negative: cut off)
        QTest::newRow("last 1000 bytes cut off") << qint64(-1000);
        QTest::newRow("last page cut off") << qint64(-4096);
        QTest::newRow("a page too many") << qint64(4096);
    }
    void refusesAFileCutShortOrGrown()
    {
        QFETCH(qint64, change);
        makeFolder();
        QFile file(path("kucun.db"));
        const qint64 size = file.size();
        QVERIFY(file.resize(size + change));
        const QMap<QString, QByteArray> before = contents(m_folder);

        Store store;
        QVERIFY(!store.open(m_folder));
        QVERIFY(!store.isOpen());
        const StoreError error = store.lastError();
        QVERIFY2(error.kind == StoreError::Kind::FileDamaged, qPrintable(error.text()));
        QCOMPARE(error.files, QStringList{"kucun.db"});
        QVERIFY2(error.text().contains(QDir::toNativeSeparators(path("kucun.db")))
                     && error.text().contains(QString::number(size + change)),
                 qPrintable(error.text()));
        QCOMPARE(contents(m_folder), before);
    }

    void checksPagesAfterAnInterruptedWrite()
    {
        makeFolder();
        int rootPage = 0;
        int pageSize = 0;
        {
            OtherConnection reader(path("jinhuo.db"));
            rootPage = reader.scalar("SELECT rootpage FROM sqlite_master WHERE name = 'jinhuo'")
                           .toInt();
            pageSize = reader.scalar("PRAGMA page_size").toInt();
        }
        QVERIFY(rootPage > 1);
        // A page of the purchase lines that the disk did not keep, and the journal of the write
        // that was going on: the header and the length are still right.
        QFile file(path("jinhuo.db"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(qint64(rootPage - 1) * pageSize));
        QVERIFY(file.write(QByteArray(64, '\x7f')) == 64);
        file.close();
        QVERIFY(writeFile(path("jinhuo.db-journal"), QByteArray(512, '\0')));

        Store store;
        QVERIFY(!store.open(m_folder));
        const StoreError error = store.lastError();
        QCOMPARE(error.kind, StoreError::Kind::FileDamaged);
        QCOMPARE(error.files, QStringList{"jinhuo.db"});
        QVERIFY2(error.action.contains("jinhuo.db") && !error.detail.isEmpty(),
                 qPrintable(error.text()));
    }

    void rollsBackAWriteCutShort()
    {
        makeFolder();
        // The write adds more pages than the file had: the file is longer than its old header
        // says until the journal has been played back.
        const QString crashed = path("crashed.db");
        copyCrashImage("jinhuo.db",
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 3000) INSERT INTO jinhuo (单据号, 编号) "
                       "SELECT 'JH2', printf('新%05d', i) FROM n",
                       crashed);
        QVERIFY(QFile::remove(path("jinhuo.db")));
        QVERIFY(QFile::rename(crashed, path("jinhuo.db")));
        QVERIFY(QFile::rename(crashed + "-journal", path("jinhuo.db-journal")));

        Store store;
        QVERIFY_STORE(store, store.open(m_folder));
        QCOMPARE(store.rowCount(Query("jinhuo")), 300);
        QCOMPARE(store.rowCount(Query("jinhuo", Filter::like("单据号", "JH2"))), 0);
        QCOMPARE(QFileInfo(path("jinhuo.db-journal")).size(), 0);
    }

    void reportsAFileLockedByAnotherProgram_data()
    {
        QTest::addColumn<QString>("lock");
        // A write transaction that has written nothing yet still lets others read.
        QTest::newRow("unfinished write") << "BEGIN IMMEDIATE";
        QTest::newRow("exclusive") << "BEGIN EXCLUSIVE";
    }
    void reportsAFileLockedByAnotherProgram()
    {
        QFETCH(QString, lock);
        makeFolder();
        OtherConnection other(path("kucun.db"));
        QVERIFY(other.exec(lock));

        Store store;
        QVERIFY(!store.open(m_folder));
        const StoreError error = store.lastError();
        QVERIFY2(error.kind == StoreError::Kind::FileInUse, qPrintable(error.text()));
        QCOMPARE(error.files, QStringList{"kucun.db"});
        QCOMPARE(error.action,
                 "数据文件正被其他程序使用：" + QDir::toNativeSeparators(path("kucun.db")));

        QVERIFY(other.exec("ROLLBACK"));
        QVERIFY_STORE(store, store.open(m_folder));
    }

    void firstStartMakesEveryFile()
    {
        // Files of no bytes are what a first start killed under an earlier version left.
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(writeFile(path("bianhao.db"), {}) && writeFile(path("jinhuo.db"), {}));
        Store store;
        QVERIFY_STORE(store, store.open(m_folder));
        QCOMPARE(store.rowCount(Query("user")), 1);
        QCOMPARE(store.rowCount(Query("jinhuo")), 0);
        QCOMPARE(QDir(m_folder).entryList({"*.db"}, QDir::Files), sorted(allFileNames()));
        QVERIFY(QDir(m_folder).entryList({"*.new*"}).isEmpty());
    }

    void aFirstStartKilledBetweenItsRenamesIsFinished()
    {
        // Two of the five new files are in place, the others still under their temporary names.
        StoreError error;
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY2(DataFiles::create(m_folder, allFileNames(), &error, 2),
                 qPrintable(error.text()));
        QCOMPARE(DataFiles::missing(m_folder).size(), 3);
        Store store;
        QVERIFY_STORE(store, store.open(m_folder));
        QCOMPARE(store.rowCount(Query("user")), 1);
        QCOMPARE(QDir(m_folder).entryList({"*.db"}, QDir::Files), sorted(allFileNames()));
        QCOMPARE(QDir(m_folder).entryList({"*.new*", "herbdesk-creating*"}), QStringList());
    }

    void reportsMissingFilesAndTouchesNothing_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("emptied");
        QTest::newRow("one deleted") << QStringList{"kucun.db"} << QStringList{};
        QTest::newRow("main file deleted") << QStringList{"bianhao.db"} << QStringList{};
        QTest::newRow("two emptied") << QStringList{} << QStringList{"userdb.db", "chuhuo.db"};
        QTest::newRow("deleted and emptied")
            << QStringList{"jinhuo.db"} << QStringList{"kucun.db"};
    }
    void reportsMissingFilesAndTouchesNothing()
    {
        QFETCH(QStringList, removed);
        QFETCH(QStringList, emptied);
        makeFolder();
        for (const QString &name : removed)
            QVERIFY(QFile::remove(path(name)));
        for (const QString &name : emptied)
            QVERIFY(writeFile(path(name), {}));
        const QMap<QString, QByteArray> before = contents(m_folder);

        Store store;
        QVERIFY(!store.open(m_folder));
        const StoreError error = store.lastError();
        QCOMPARE(error.kind, StoreError::Kind::FilesMissing);
        QStringList missing;
        for (const QString &name : allFileNames()) {
            if (removed.contains(name) || emptied.contains(name))
                missing << name;
        }
        QCOMPARE(error.files, missing);
        QCOMPARE(contents(m_folder), before);

        // Told to, the store makes the missing files empty and keeps the others as they were.
        QVERIFY_STORE(store, store.open(m_folder, Store::MissingFiles::Create));
        QCOMPARE(store.rowCount(Query("jinhuo")), removed.contains("jinhuo.db") ? 0 : 300);
        Cursor company(store);
        QVERIFY_STORE(company, company.open(Query("gongsi")));
        QCOMPARE(company.value("公司").toString(),
                 removed.contains("bianhao.db") ? "岚溪材进销存" : "青杉药行");
    }

    void leftoversOfAnInterruptedCreationAreReplaced()
    {
        makeFolder();
        {
            OtherConnection stock(path("kucun.db"));
            QVERIFY(stock.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 500) INSERT INTO kucun (编号, 库存数量) "
                               "SELECT printf('%05d', i), i FROM n"));
        }
        // A start killed while making kucun.db leaves it under its temporary name, possibly
        // with a journal; a journal of a file that is gone would be played into the new one.
        const QString crashedJournal = path("old.db");
        copyCrashImage("kucun.db", "UPDATE kucun SET 库存数量 = 0", crashedJournal);
        QVERIFY(QFile::remove(path("kucun.db")));
        QVERIFY(QFile::rename(crashedJournal + "-journal", path("kucun.db-journal")));
        QVERIFY(QFile::remove(crashedJournal));
        QVERIFY(writeFile(path("kucun.db.new"), "half a file"));
        QVERIFY(writeFile(path("kucun.db.new-journal"), QByteArray(600, 'j')));

        Store store;
        QVERIFY_STORE(store, store.open(m_folder, Store::MissingFiles::Create));
        QCOMPARE(store.rowCount(Query("kucun")), 0);
        QCOMPARE(store.rowCount(Query("jinhuo")), 300);
        store.close();
        const QStringList left = QDir(m_folder).entryList(QDir::Files);
        QVERIFY2(!left.contains("kucun.db.new") && !left.contains("kucun.db.new-journal"),
                 qPrintable(left.join(' ')));
        OtherConnection check(path("kucun.db"));
        QCOMPARE(check.scalar("PRAGMA quick_check").toString(), "ok");
    }
};

QTEST_GUILESS_MAIN(tst_DataFiles)
#include "tst_datafiles.moc"
