#include "support/testsupport.h"

#include "maintenance/backuparchive.h"
#include "store/clock.h"
#include "store/schema.h"
#include "store/store.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <optional>
#include <sys/resource.h>
#include <csignal>

namespace {

// The first column of the first row of a SELECT on a database file of its own.
QVariant scalarIn(const QString &path, const QString &sql)
{
    OtherConnection file(path);
    return file.scalar(sql);
}

QStringList dataFileNames()
{
    QStringList names;
    for (const FileDef &file : Schema::files())
        names << file.fileName;
    return names;
}

// Keeps files from growing beyond a size while alive, as a full disk would: a write past it
// fails (with the signal it raises ignored).
class FullDisk
{
public:
    explicit FullDisk(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_before); }

private:
    rlimit m_before;
};

} // namespace

class tst_BackupArchive : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;
    QString m_root;

    Store &store() { return m_temp->store(); }
    BackupArchive archive() const { return BackupArchive(m_root); }

    // Lines of purchase with the codes given.
    void addLines(int count, const QString &code)
    {
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)"
                     " INSERT INTO jinhuo (单据号, 编号, 数量) SELECT 'JH1', ?, i FROM n",
                     {count, code});
    }

    BackupArchive::Made backUpAt(const QDateTime &time)
    {
        Clock::setNow(time);
        return archive().create(store().folder(), BackupManifest::Reason::Manual);
    }

    // The dated folders and anything else in the backup folder.
    QStringList rootEntries() const
    {
        return QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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

    void aBackupIsADatedFolderOfTheFilesWithTheirManifest()
    {
        addLines(300, "DG01");
        m_temp->exec("INSERT INTO kucun (编号, 库存数量) VALUES ('DG01', 5)");
        const BackupArchive::Made made = backUpAt(QDateTime({2026, 5, 6}, {14, 3, 21}));
        QCOMPARE(made.outcome, DataSnapshot::Outcome::Copied);
        QCOMPARE(made.folder, QDir(m_root).filePath("20260506-140321"));
        QCOMPARE(rootEntries(), QStringList{"20260506-140321"});

        QString problem;
        const auto manifest = BackupManifest::read(made.folder, &problem);
        QVERIFY2(manifest, qPrintable(problem));
        QCOMPARE(manifest->time, QDateTime({2026, 5, 6}, {14, 3, 21}));
        QCOMPARE(manifest->version, programVersion());
        QCOMPARE(manifest->reason, BackupManifest::Reason::Manual);
        // Every table counted, as the copies hold them.
        QCOMPARE(manifest->tables.size(), 17);
        QCOMPARE(manifest->rowsOf("jinhuo"), 300);
        QCOMPARE(manifest->rowsOf("kucun"), 1);
        QCOMPARE(manifest->rowsOf("user"), 1);
        for (const QString &name : dataFileNames()) {
            const QString copy = QDir(made.folder).filePath(name);
            QCOMPARE(manifest->digests.value(name), fileDigest(copy));
        }
        QCOMPARE(scalarIn(QDir(made.folder).filePath("jinhuo.db"), "SELECT sum(数量) FROM jinhuo")
                     .toInt(),
                 300 * 301 / 2);
        QVERIFY(BackupArchive::verify(made.folder, &problem));

        // A second backup in the same second gets a name of its own, listed first.
        QCOMPARE(backUpAt(QDateTime({2026, 5, 6}, {14, 3, 21})).folder,
                 QDir(m_root).filePath("20260506-140321-2"));
        const auto entries = archive().list();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].name, QString("20260506-140321-2"));
        QCOMPARE(entries[1].name, QString("20260506-140321"));
    }

    void aPostingOpenElsewhereStaysOutOfTheCopy_data()
    {
        QTest::addColumn<bool>("onTheProgramsConnection");
        QTest::newRow("the program's own connection") << true;
        QTest::newRow("another program's connection") << false;
    }
    void aPostingOpenElsewhereStaysOutOfTheCopy()
    {
        QFETCH(bool, onTheProgramsConnection);
        addLines(10, "DG01");
        m_temp->exec("INSERT INTO kucun (编号, 库存数量) VALUES ('DG01', 10)");
        // A posting half-way: the lines are marked, the stock not yet raised.
        const auto halfPost = [](const std::function<void(const QString &)> &run) {
            run("UPDATE jinhuo SET 入库 = '已入库'");
            run("UPDATE kucun SET 库存数量 = 20");
        };
        std::optional<Transaction> posting;
        std::optional<OtherConnection> other;
        if (onTheProgramsConnection) {
            posting.emplace(store());
            QVERIFY(posting->isActive());
            halfPost([this](const QString &sql) { m_temp->exec(sql); });
        } else {
            other.emplace(m_temp->filePath("bianhao.db"));
            for (const QString schema : {"jinhuo", "kucun"}) {
                QVERIFY(other->exec(QString("ATTACH '%1' AS %2")
                                        .arg(m_temp->filePath(schema + ".db"), schema)));
            }
            QVERIFY(other->exec("BEGIN IMMEDIATE"));
            halfPost([&other](const QString &sql) { QVERIFY(other->exec(sql)); });
        }

        const BackupArchive::Made made = backUpAt(QDateTime({2026, 5, 6}, {9, 0}));
        QCOMPARE(made.outcome, DataSnapshot::Outcome::Copied);
        // The copy is the last committed state of both files.
        QCOMPARE(scalarIn(QDir(made.folder).filePath("jinhuo.db"),
                          "SELECT count(*) FROM jinhuo WHERE 入库 IS NULL"),
                 QVariant(10));
        QCOMPARE(scalarIn(QDir(made.folder).filePath("kucun.db"), "SELECT 库存数量 FROM kucun")
                     .toInt(),
                 10);
        QString problem;
        QVERIFY2(BackupArchive::verify(made.folder, &problem), qPrintable(problem));
        // And the posting still goes through.
        if (onTheProgramsConnection)
            QVERIFY_STORE(store(), posting->commit());
        else
            QVERIFY(other->exec("COMMIT"));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun").toInt(), 20);
    }

    void pruningKeepsTheNewest_data()
    {
        QTest::addColumn<int>("backups");
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("kept");
        QTest::newRow("more than kept") << 7 << 3 << 3;
        QTest::newRow("as many as kept") << 3 << 3 << 3;
        QTest::newRow("fewer than kept") << 2 << 30 << 2;
        QTest::newRow("never the newest") << 3 << 0 << 1;
    }
    void pruningKeepsTheNewest()
    {
        QFETCH(int, backups);
        QFETCH(int, keep);
        QFETCH(int, kept);
        QStringList made;
        // Out of order in time, so that the order is the backups' and not the making's.
        for (int i = 0; i < backups; ++i) {
            const int day = 1 + (i * 5) % backups;
            made << backUpAt(QDateTime({2026, 3, day}, {18, 0})).folder;
        }
        QVERIFY(QDir().mkpath(QDir(m_root).filePath("年终备份")));
        const QStringList removed = archive().prune(keep);
        QCOMPARE(removed.size(), backups - kept);
        QStringList expected;
        for (int day = backups; day > backups - kept; --day)
            expected << QString("202603%1-180000").arg(day, 2, 10, QChar('0'));
        QStringList names;
        for (const auto &entry : archive().list())
            names << entry.name;
        QCOMPARE(names, expected);
        // A folder of the user's own is left alone.
        QVERIFY(QFileInfo(QDir(m_root).filePath("年终备份")).isDir());
    }

    void aStoppedBackupLeavesNothing()
    {
        addLines(2000, "DG01");
        int calls = 0;
        const auto made = archive().create(store().folder(), BackupManifest::Reason::Manual,
                                           [&calls](int) { return ++calls < 3; });
        QCOMPARE(made.outcome, DataSnapshot::Outcome::Stopped);
        QCOMPARE(calls, 3);
        QCOMPARE(rootEntries(), QStringList());
        QVERIFY(archive().list().isEmpty());
    }

    void aFolderThatCannotBeWrittenIsReported()
    {
        // A file where the backup folder should be: nothing can be made below it.
        QFile blocker(QDir(m_temp->folder()).filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const BackupArchive blocked(QDir(blocker.fileName()).filePath("backup"));
        const auto made = blocked.create(store().folder(), BackupManifest::Reason::Manual);
        QCOMPARE(made.outcome, DataSnapshot::Outcome::Failed);
        QVERIFY2(made.problem.contains("无法建立备份文件夹"), qPrintable(made.problem));
    }

    void aFullDiskLeavesNoBackupBehind()
    {
        addLines(20000, "DG01");
        BackupArchive::Made made;
        {
            const FullDisk full(64 * 1024);
            made = backUpAt(QDateTime({2026, 5, 6}, {9, 0}));
        }
        QCOMPARE(made.outcome, DataSnapshot::Outcome::Failed);
        QVERIFY2(made.problem.contains("无法写入备份文件"), qPrintable(made.problem));
        QCOMPARE(rootEntries(), QStringList());
        // The data itself is untouched and the next backup works.
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM jinhuo").toInt(), 20000);
        QCOMPARE(backUpAt(QDateTime({2026, 5, 6}, {9, 1})).outcome,
                 DataSnapshot::Outcome::Copied);
    }
};

QTEST_MAIN(tst_BackupArchive)
#include "tst_backuparchive.moc"
