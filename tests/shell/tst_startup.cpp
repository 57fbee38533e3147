#include "shell/startup.h"
#include "store/datalocation.h"
#include "store/folderlock.h"
#include "store/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSysInfo>
#include <optional>

namespace {

// The files of a folder and their bytes, the lock file aside.
QMap<QString, QByteArray> dataContents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
        if (info.fileName() == QLatin1String("herbdesk.lock"))
            continue;
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        files.insert(info.fileName(), file.readAll());
    }
    return files;
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_folder;

    QString path(const QString &fileName) const { return QDir(m_folder).filePath(fileName); }
    DataLocation files() const { return DataLocation::files(m_folder); }

    // A folder that a run has worked on: a company name and a purchase line of its own.
    void makeFolder()
    {
        Store store;
        QVERIFY_STORE(store, store.open(m_folder));
        QSqlQuery query(store.database());
        QVERIFY(query.exec("UPDATE gongsi SET 公司 = '青杉药行'"));
        QVERIFY(query.exec("INSERT INTO jinhuo (单据号) VALUES ('JH1')"));
    }

private slots:
    void init()
    {
        const bool serverTest =
            QTest::currentTestFunction() == QLatin1String("serverTakesNoLockAndAsksForSchemas");
        if (TempStore::onServer() != serverTest)
            QSKIP(serverTest ? "the data is in files" : "the data is on a server");
        m_dir.emplace();
        m_folder = QDir(m_dir->path()).filePath("data/sysfile");
    }
    void cleanup() { m_dir.reset(); }

    // Any number of copies work on a server's database; a missing schema is made only when the
    // user agrees.
    void serverTakesNoLockAndAsksForSchemas()
    {
        std::optional<TempStore> temp(std::in_place);
        const DataLocation server = temp->location();
        temp->exec("INSERT INTO jinhuo (单据号) VALUES ('JH1')");
        temp->exec("DROP SCHEMA kucun CASCADE");
        temp->store().close();

        MessageRecorder messages;
        messages.answer = false;
        std::optional<FolderLock> lock;
        Store store;
        QVERIFY(!openData(server, lock, store));
        const QString question = "数据库 " + server.text()
                                 + " 中缺少模式：kucun\n新建的模式是空的，其中没有原来的数据。"
                                   "要新建这些模式吗？";
        QCOMPARE(messages.questions, QStringList{question});
        QVERIFY(!store.isOpen() && !lock);

        messages.answer = true;
        QVERIFY(openData(server, lock, store));
        QVERIFY(!lock);
        QCOMPARE(store.rowCount(Query("kucun")), 0);
        QCOMPARE(store.rowCount(Query("jinhuo")), 1);
        // A second copy opens the same data beside the first.
        std::optional<FolderLock> secondLock;
        Store second;
        QVERIFY(openData(server, secondLock, second));
        QCOMPARE(second.rowCount(Query("jinhuo")), 1);
        QCOMPARE(messages.questions.size(), 2);
        QCOMPARE(messages.texts + messages.retryQuestions, QStringList());
        second.close();
        store.close();
    }

    void firstStartAsksNothing()
    {
        MessageRecorder messages;
        std::optional<FolderLock> lock;
        Store store;
        QVERIFY(openData(files(), lock, store));
        QVERIFY(store.isOpen() && lock && lock->isLocked());
        QCOMPARE(messages.texts + messages.questions + messages.retryQuestions, QStringList());
        QCOMPARE(store.rowCount(Query("user")), 1);
        QCOMPARE(QDir(m_folder).entryList({"*.db"}).size(), 5);
    }

    void asksBeforeMakingMissingFiles_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("是") << true;
        QTest::newRow("否") << false;
    }
    void asksBeforeMakingMissingFiles()
    {
        QFETCH(bool, answer);
        makeFolder();
        QVERIFY(QFile::remove(path("kucun.db")));
        QFile emptied(path("userdb.db"));
        QVERIFY(emptied.resize(0));
        const QMap<QString, QByteArray> before = dataContents(m_folder);

        MessageRecorder messages;
        messages.answer = answer;
        std::optional<FolderLock> lock;
        Store store;
        QCOMPARE(openData(files(), lock, store), answer);
        QCOMPARE(messages.questions,
                 QStringList{"数据文件夹 " + QDir::toNativeSeparators(m_folder)
                             + " 中缺少数据文件：userdb.db、kucun.db\n"
                               "新建的文件是空的，其中没有原来的数据。要新建这些文件吗？"});
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(store.isOpen(), answer);
        if (!answer) {
            QCOMPARE(dataContents(m_folder), before);
            return;
        }
        QCOMPARE(store.rowCount(Query("user")), 1);
        QCOMPARE(store.rowCount(Query("kucun")), 0);
        QCOMPARE(store.rowCount(Query("jinhuo")), 1);
    }

    void secondCopyIsToldWhoHoldsTheFolder()
    {
        std::optional<FolderLock> first(std::in_place, m_folder);
        QVERIFY(first->tryLock());

        MessageRecorder messages;
        std::optional<FolderLock> second;
        Store store;
        QVERIFY(!openData(files(), second, store));
        QVERIFY(!store.isOpen() && !second->isLocked());
        QCOMPARE(messages.retryQuestions,
                 QStringList{QString("数据正被另一个运行中的程序使用：%1\n"
                                     "（进程号 %2，程序 %3，计算机 %4）")
                                 .arg(QDir::toNativeSeparators(m_folder))
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QCoreApplication::applicationName(),
                                      QSysInfo::machineHostName())});
        // Nothing was opened or made while the folder was held.
        QVERIFY(QDir(m_folder).entryList({"*.db"}).isEmpty());

        // The first copy ends while the question is open: "重试" then goes on.
        messages.retryAnswer = [&first](const QString &) {
            first.reset();
            return true;
        };
        QVERIFY(openData(files(), second, store));
        QVERIFY(store.isOpen() && second->isLocked());
        QCOMPARE(messages.retryQuestions.size(), 2);
    }

    void lockOfACopyThatDiedIsTakenOver_data()
    {
        QTest::addColumn<int>("writtenBytes");
        QTest::newRow("whole lock file") << -1;
        QTest::newRow("killed before writing it") << 0;
        QTest::newRow("killed while writing it") << 3;
    }

    void lockOfACopyThatDiedIsTakenOver()
    {
        QFETCH(int, writtenBytes);
        // The lock file of a copy whose process has ended, written as that copy wrote it.
        QProcess ended;
        ended.start("true", QStringList());
        QVERIFY(ended.waitForStarted());
        const qint64 deadPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QByteArray content;
        {
            FolderLock model(m_folder);
            QVERIFY(model.tryLock());
            QFile file(path("herbdesk.lock"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            content = file.readAll();
        }
        content.replace(0, content.indexOf('\n'), QByteArray::number(deadPid));
        if (writtenBytes >= 0)
            content.truncate(writtenBytes);
        QFile left(path("herbdesk.lock"));
        QVERIFY(left.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        QCOMPARE(left.write(content), content.size());
        left.close();

        MessageRecorder messages;
        std::optional<FolderLock> lock;
        Store store;
        QVERIFY(openData(files(), lock, store));
        QCOMPARE(messages.retryQuestions, QStringList());
        QLockFile check(path("herbdesk.lock"));
        qint64 holder = 0;
        QString host;
        QString app;
        QVERIFY(check.getLockInfo(&holder, &host, &app));
        QCOMPARE(holder, QCoreApplication::applicationPid());
    }

    void fileLockedByAnotherProgramCanBeRetried()
    {
        makeFolder();
        OtherConnection tool(path("chuhuo.db"));
        QVERIFY(tool.exec("BEGIN EXCLUSIVE"));

        MessageRecorder messages;
        std::optional<FolderLock> lock;
        Store store;
        QVERIFY(!openData(files(), lock, store));
        const QString inUse =
            "数据文件正被其他程序使用：" + QDir::toNativeSeparators(path("chuhuo.db"));
        QCOMPARE(messages.retryQuestions, QStringList{inUse});

        // Still locked at the first "重试"; the tool lets go before the second.
        int asked = 0;
        messages.retryAnswer = [&](const QString &) {
            if (++asked == 2)
                tool.exec("ROLLBACK");
            return true;
        };
        QVERIFY(openData(files(), lock, store));
        QCOMPARE(messages.retryQuestions, QStringList(3, inUse));
        QCOMPARE(store.rowCount(Query("jinhuo")), 1);
        QCOMPARE(messages.texts, QStringList());
    }

    void damagedFileEndsTheStartNamingIt()
    {
        makeFolder();
        QFile file(path("kucun.db"));
        QVERIFY(file.resize(file.size() - 1000));

        MessageRecorder messages;
        std::optional<FolderLock> lock;
        Store store;
        QVERIFY(!openData(files(), lock, store));
        QCOMPARE(messages.texts.size(), 1);
        const QString shown = QDir::toNativeSeparators(path("kucun.db"));
        QVERIFY2(messages.texts[0].startsWith("数据文件 " + shown + " 已损坏："),
                 qPrintable(messages.texts[0]));
        QCOMPARE(messages.questions + messages.retryQuestions, QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
