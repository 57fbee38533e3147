#include "support/testsupport.h"

#include "maintenance/backuparchive.h"
#include "maintenance/restore.h"
#include "store/clock.h"
#include "store/filereplacement.h"
#include "store/schema.h"
#include "store/store.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <optional>

namespace {

QStringList dataFileNames()
{
    QStringList names;
    for (const FileDef &file : Schema::files())
        names << file.fileName;
    return names;
}

// Each file's digest in the folder.
QHash<QString, QByteArray> digestsIn(const QString &folder)
{
    QHash<QString, QByteArray> digests;
    for (const QString &name : dataFileNames())
        digests.insert(name, fileDigest(QDir(folder).filePath(name)));
    return digests;
}

// Records the file's present digest in the backup's manifest, as if the backup had been taken
// of the file as it is now.
void acceptInManifest(const QString &backup, const QString &fileName)
{
    QFile file(QDir(backup).filePath(BackupManifest::fileName()));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QJsonObject manifest = QJsonDocument::fromJson(file.readAll()).object();
    QJsonObject digests = manifest["sha256"].toObject();
    digests[fileName] = QString::fromLatin1(fileDigest(QDir(backup).filePath(fileName)));
    manifest["sha256"] = digests;
    file.resize(0);
    file.write(QJsonDocument(manifest).toJson());
}

} // namespace

class tst_Restore : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;
    QString m_root;

    Store &store() { return m_temp->store(); }
    BackupArchive archive() const { return BackupArchive(m_root); }

    QString backUp(const QDateTime &time)
    {
        Clock::setNow(time);
        const auto made = archive().create(store().folder(), BackupManifest::Reason::Manual);
        if (made.outcome != DataSnapshot::Outcome::Copied)
            QTest::qFail(qPrintable(made.problem), __FILE__, __LINE__);
        return made.folder;
    }

    qint64 purchaseLines(const QString &code)
    {
        return m_temp->scalar("SELECT count(*) FROM jinhuo WHERE 编号 = ?", {code}).toLongLong();
    }

private slots:
    void init()
    {
        m_temp.emplace();
        QVERIFY(m_temp->isValid());
        m_root = QDir(m_temp->folder()).filePath("backup");
    }
    void cleanup()
    {
        Clock::setNow({});
        m_temp.reset();
    }

    void restoringBringsBackTheDataOfTheBackup()
    {
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH1', 'DG01')");
        m_temp->exec("UPDATE gongsi SET 公司 = '青杉药行'");
        const QString backup = backUp(QDateTime({2026, 5, 1}, {18, 0}));
        // Work done after the backup.
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH2', 'DG02')");
        m_temp->exec("INSERT INTO chuhuo (单据号, 编号) VALUES ('XS1', 'DG01')");
        m_temp->exec("UPDATE gongsi SET 公司 = '新名字'");

        Clock::setNow(QDateTime({2026, 5, 6}, {9, 30}));
        const RestoreOutcome outcome = restoreBackup(store(), archive(), backup);
        QVERIFY2(outcome.restored, qPrintable(outcome.problem));
        QVERIFY(store().isOpen());
        QCOMPARE(purchaseLines("DG01"), 1);
        QCOMPARE(purchaseLines("DG02"), 0);
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM chuhuo").toInt(), 0);
        QCOMPARE(m_temp->scalar("SELECT 公司 FROM gongsi").toString(), QString("青杉药行"));
        QCOMPARE(digestsIn(store().folder()), digestsIn(backup));

        // The work done after the backup is kept in the backup taken before restoring.
        QCOMPARE(outcome.safetyBackup, QDir(m_root).filePath("20260506-093000"));
        QString problem;
        const auto safety = BackupManifest::read(outcome.safetyBackup, &problem);
        QVERIFY2(safety, qPrintable(problem));
        QCOMPARE(safety->reason, BackupManifest::Reason::BeforeRestore);
        QCOMPARE(safety->rowsOf("jinhuo"), 2);
        QCOMPARE(safety->rowsOf("chuhuo"), 1);
        // Restoring that one brings the work back.
        QVERIFY(restoreBackup(store(), archive(), outcome.safetyBackup).restored);
        QCOMPARE(purchaseLines("DG02"), 1);
        QCOMPARE(m_temp->scalar("SELECT 公司 FROM gongsi").toString(), QString("新名字"));
        // Nothing of the replacement is left in the data folder.
        QStringList left = QDir(store().folder()).entryList(QDir::Files);
        left.removeAll("herbdesk.lock");
        for (const QString &name : left)
            QVERIFY2(name.endsWith(".db") || name.endsWith(".db-journal"), qPrintable(name));
    }

    void aFaultyBackupIsRefused_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed after the backup") << "changed" << "jinhuo.db 与备份清单记录的不符";
        QTest::newRow("damaged") << "damaged" << "jinhuo.db 已损坏";
        QTest::newRow("not a database") << "garbage" << "kucun.db 已损坏或不是数据库";
        QTest::newRow("table missing") << "table" << "缺少表 danju";
        QTest::newRow("column missing") << "column" << "表 yonghu 缺少列 电话";
        QTest::newRow("file missing") << "file" << "缺少数据文件 userdb.db";
        QTest::newRow("manifest missing") << "manifest" << "缺少备份清单 manifest.json";
    }
    void aFaultyBackupIsRefused()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "3000) INSERT INTO jinhuo (单据号, 编号, 品名) SELECT 'JH1', printf('%05d', i),"
                     " '当归' FROM n");
        const QString backup = backUp(QDateTime({2026, 5, 1}, {18, 0}));
        const QDir dir(backup);
        const auto alter = [&dir](const QString &fileName, const QString &sql) {
            OtherConnection file(dir.filePath(fileName));
            QVERIFY(file.exec(sql));
        };
        if (fault == "changed") {
            alter("jinhuo.db", "DELETE FROM jinhuo WHERE rowid = 7");
        } else if (fault == "damaged") {
            // Bytes of a page in the middle of the table overwritten, as a failing disk would.
            QFile file(dir.filePath("jinhuo.db"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(file.size() / 2);
            file.write(QByteArray(3000, '\x5a'));
            file.close();
            acceptInManifest(backup, "jinhuo.db");
        } else if (fault == "garbage") {
            QFile file(dir.filePath("kucun.db"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(8192, 'x'));
            file.close();
            acceptInManifest(backup, "kucun.db");
        } else if (fault == "table") {
            alter("chuhuo.db", "DROP TABLE danju");
            acceptInManifest(backup, "chuhuo.db");
        } else if (fault == "column") {
            alter("bianhao.db", "ALTER TABLE yonghu DROP COLUMN 电话");
            acceptInManifest(backup, "bianhao.db");
        } else if (fault == "file") {
            QVERIFY(QFile::remove(dir.filePath("userdb.db")));
        } else {
            QVERIFY(QFile::remove(dir.filePath(BackupManifest::fileName())));
        }
        QString problem;
        QVERIFY(!BackupArchive::verify(backup, &problem));
        QVERIFY2(problem.contains(message), qPrintable(problem));
    }

    // A restore killed after some of its renames is finished by the next open, whatever the
    // number: the data is then the backup's, never a mixture.
    void aRestoreKilledHalfWayIsFinishedAtTheNextOpen_data()
    {
        QTest::addColumn<int>("renames");
        for (int renames = 0; renames <= 4; ++renames)
            QTest::addRow("killed after %d renames", renames) << renames;
    }
    void aRestoreKilledHalfWayIsFinishedAtTheNextOpen()
    {
        QFETCH(int, renames);
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH1', 'DG01')");
        const QString backup = backUp(QDateTime({2026, 5, 1}, {18, 0}));
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH2', 'DG02')");
        m_temp->exec("INSERT INTO kucun (编号) VALUES ('DG02')");
        const QString folder = store().folder();
        store().close();

        FileReplacement replacement(folder);
        QHash<QString, QByteArray> digests;
        StoreError error;
        QVERIFY2(replacement.prepare(backup, &digests, &error), qPrintable(error.text()));
        QCOMPARE(digests, digestsIn(backup));
        QVERIFY2(replacement.commit(&error, renames), qPrintable(error.text()));
        QCOMPARE(digestsIn(folder) == digestsIn(backup), false);

        Store reopened;
        QVERIFY_STORE(reopened, reopened.open(folder));
        QCOMPARE(digestsIn(folder), digestsIn(backup));
        QSqlQuery query(reopened.database());
        QVERIFY(query.exec("SELECT (SELECT count(*) FROM jinhuo), (SELECT count(*) FROM kucun)"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QCOMPARE(query.value(1).toInt(), 0);
        QCOMPARE(QDir(folder).entryList({"*.restoring", "restore-in-progress*"}), QStringList());
    }

    void aRestoreKilledWhileCopyingLeavesTheOldData()
    {
        const QString backup = backUp(QDateTime({2026, 5, 1}, {18, 0}));
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH2', 'DG02')");
        const QString folder = store().folder();
        store().close();
        const QHash<QString, QByteArray> before = digestsIn(folder);
        // Copies made, the last one cut short, and no marker written yet.
        FileReplacement replacement(folder);
        QHash<QString, QByteArray> digests;
        StoreError error;
        QVERIFY(replacement.prepare(backup, &digests, &error));
        QFile last(QDir(folder).filePath("chuhuo.db.restoring"));
        QVERIFY(last.open(QIODevice::ReadWrite));
        QVERIFY(last.resize(last.size() / 2));
        last.close();

        QVERIFY_STORE(store(), store().open(folder));
        QCOMPARE(digestsIn(folder), before);
        QCOMPARE(purchaseLines("DG02"), 1);
        QCOMPARE(QDir(folder).entryList({"*.restoring"}), QStringList());
    }

    void aDamagedCopyNamedByTheMarkerStopsTheOpen()
    {
        const QString backup = backUp(QDateTime({2026, 5, 1}, {18, 0}));
        const QString folder = store().folder();
        store().close();
        FileReplacement replacement(folder);
        QHash<QString, QByteArray> digests;
        StoreError error;
        QVERIFY(replacement.prepare(backup, &digests, &error));
        QVERIFY(replacement.commit(&error, 2));
        QFile copy(QDir(folder).filePath("kucun.db.restoring"));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        copy.seek(200);
        copy.write("damage");
        copy.close();

        QVERIFY(!store().open(folder));
        QCOMPARE(store().lastError().kind, StoreError::Kind::FileDamaged);
        QVERIFY2(store().lastError().text().contains("kucun.db"),
                 qPrintable(store().lastError().text()));
        // Nothing more was renamed: the copy is still there for whoever repairs it.
        QVERIFY(QFileInfo::exists(copy.fileName()));
    }
};

QTEST_MAIN(tst_Restore)
#include "tst_restore.moc"
