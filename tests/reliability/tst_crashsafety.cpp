#include "maintenance/backuparchive.h"
#include "purchasing/stockinposting.h"
#include "reliability/crashplan.h"
#include "reliability/reliabilitysupport.h"
#include "shell/startup.h"
#include "store/clock.h"
#include "store/cursor.h"
#include "store/folderlock.h"
#include "store/schema.h"
#include "support/testsupport.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <csignal>
#include <cmath>

// The program killed at random moments while it posts purchases, posts sales, backs up and
// makes its files on a first start: each time the next start must find whole files and whole
// postings, and start without a question.
class tst_CrashSafety : public QObject
{
    Q_OBJECT

    QRandomGenerator m_random;
    int m_kills = 0;
    int m_killsMidWrite = 0;

    enum class Side { Purchases, Sales };

    // Runs the child with the arguments and kills it after a random while, counted from its
    // "ready" when it says one. False when the child ended on its own with an error.
    bool runAndKill(const QStringList &arguments, int maxDelayMs, bool waitForReady,
                    const QString &folder)
    {
        QProcess child;
        child.start(QStringLiteral(HERBDESK_CRASHCHILD), arguments);
        if (!child.waitForStarted(10000))
            return false;
        if (waitForReady) {
            while (!child.canReadLine() && child.state() == QProcess::Running)
                child.waitForReadyRead(100);
            if (!child.readLine().startsWith("ready")) {
                child.waitForFinished();
                qWarning() << child.readAllStandardError();
                return false;
            }
        }
        QThread::msleep(m_random.bounded(maxDelayMs + 1));
        // Until QProcess has reaped the child its id cannot name another process.
        if (child.state() == QProcess::Running)
            ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(30000);
        if (child.exitStatus() == QProcess::CrashExit) {
            ++m_kills;
            if (leftJournal(folder))
                ++m_killsMidWrite;
            return true;
        }
        // It ended before the kill: only a first start may, and only with success.
        if (child.exitCode() != 0)
            qWarning() << child.readAllStandardError();
        return child.exitCode() == 0;
    }

    // A rollback journal with content: the kill came in the middle of a write.
    static bool leftJournal(const QString &folder)
    {
        QDirIterator files(folder, {QStringLiteral("*-journal")}, QDir::Files);
        while (files.hasNext()) {
            if (QFileInfo(files.next()).size() > 0)
                return true;
        }
        return false;
    }

    // Opens the folder as the program starts: no question, no message, and every file passes
    // the engine's integrity check.
    static void startNormally(const QString &folder, std::optional<FolderLock> &lock,
                              Store &store, const QString &context)
    {
        MessageRecorder messages;
        const bool opened = openData(DataLocation::files(folder), lock, store);
        const QStringList said = messages.texts + messages.questions + messages.retryQuestions;
        QVERIFY2(opened && said.isEmpty(),
                 qPrintable(context + QStringLiteral(": ") + said.join('|')));
        for (const FileDef &file : Schema::files()) {
            QSqlQuery check(store.database());
            QVERIFY(check.exec(QStringLiteral("PRAGMA %1.integrity_check")
                                   .arg(quotedName(file.schemaName))));
            QVERIFY(check.next());
            QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        }
    }

    static QList<QVariantList> rows(Store &store, const QString &sql)
    {
        QSqlQuery query(store.database());
        if (!query.exec(sql))
            qWarning() << sql << query.lastError().text();
        QList<QVariantList> found;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            found << row;
        }
        return found;
    }

    static QVariant scalar(Store &store, const QString &sql)
    {
        const QList<QVariantList> found = rows(store, sql);
        return found.isEmpty() ? QVariant() : found.first().first();
    }

    // Every posted line's document has its header and no header lacks posted lines; the counter
    // has moved once per header; a line is either pending or posted.
    static void checkDocuments(Store &store, const QString &lines, const QString &flag,
                               const QString &mark, const QString &headers,
                               const QString &headerColumn, const QString &counterColumn)
    {
        QCOMPARE(scalar(store, QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NOT NULL "
                                              "AND %2 <> '%3'")
                                   .arg(lines, flag, mark))
                     .toInt(),
                 0);
        QStringList posted;
        for (const QVariantList &row :
             rows(store, QStringLiteral("SELECT DISTINCT 单据号 FROM %1 WHERE %2 IS NOT NULL "
                                        "ORDER BY 1")
                             .arg(lines, flag)))
            posted << row.first().toString();
        QStringList written;
        for (const QVariantList &row :
             rows(store,
                  QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(headerColumn, headers)))
            written << row.first().toString();
        QCOMPARE(written, posted);
        const int counter = scalar(store, QStringLiteral("SELECT %1 FROM danjuhao")
                                              .arg(counterColumn))
                                .toInt();
        QCOMPARE(counter, 1 + int(written.size()));
    }

    // Each stock row holds what its herb's posted lines brought in.
    static void checkPurchases(Store &store)
    {
        checkDocuments(store, "jinhuo", "入库", "已入库", "huodan", "进货单", "进货单号");
        for (const CrashPlan::Herb &herb : CrashPlan::purchaseHerbs()) {
            const QList<QVariantList> posted =
                rows(store, QStringLiteral("SELECT count(*), sum(数量), sum(金额) FROM jinhuo "
                                           "WHERE 编号 = '%1' AND 入库 IS NOT NULL")
                                .arg(herb.code));
            const QList<QVariantList> stock =
                rows(store, QStringLiteral("SELECT 库存数量, 入库数量, 进价金额 FROM kucun "
                                           "WHERE 编号 = '%1'")
                                .arg(herb.code));
            if (posted.first().first().toInt() == 0) {
                QVERIFY2(stock.isEmpty(), qPrintable(herb.code));
                continue;
            }
            QCOMPARE(stock.size(), 1);
            QCOMPARE(stock.first()[0].toDouble(), posted.first()[1].toDouble());
            QCOMPARE(stock.first()[1].toDouble(), posted.first()[1].toDouble());
            QVERIFY2(std::fabs(stock.first()[2].toDouble() - posted.first()[2].toDouble()) < 1e-6,
                     qPrintable(herb.code));
        }
    }

    // Each stock row holds its opening less what its herb's posted lines took out.
    static void checkSales(Store &store)
    {
        checkDocuments(store, "chuhuo", "出库", "已出库", "danju", "销售单", "销售单号");
        for (const CrashPlan::Herb &herb : CrashPlan::salesHerbs()) {
            const double sold =
                scalar(store, QStringLiteral("SELECT total(数量) FROM chuhuo WHERE 编号 = '%1' "
                                             "AND 出库 IS NOT NULL")
                                  .arg(herb.code))
                    .toDouble();
            const QList<QVariantList> stock =
                rows(store, QStringLiteral("SELECT 库存数量, 进价金额 FROM kucun WHERE 编号 = '%1'")
                                .arg(herb.code));
            QCOMPARE(stock.size(), 1);
            const double left = CrashPlan::SalesOpening - sold;
            QCOMPARE(stock.first()[0].toDouble(), left);
            QCOMPARE(stock.first()[1].toDouble(), Values::roundMoney(CrashPlan::SalesCost * left));
        }
    }

    // The stock rows that the sales child sells from, put in by a purchase posting.
    static void stockForSales(Store &store)
    {
        Cursor pending(store);
        QVERIFY(pending.open(Query("jinhuo", Filter::isNull("入库"))));
        for (const CrashPlan::Herb &herb : CrashPlan::salesHerbs()) {
            pending.addNew();
            const QList<QPair<QString, QVariant>> values = {
                {"单据号", "JH"},        {"编号", herb.code},
                {"品名", herb.name},     {"规格", herb.grade},
                {"批号", herb.batch},    {"产地", herb.origin},
                {"数量", CrashPlan::SalesOpening}, {"进价", CrashPlan::SalesCost},
                {"金额", CrashPlan::SalesOpening * CrashPlan::SalesCost}};
            for (const auto &[column, value] : values)
                QVERIFY(pending.setValue(column, value));
            QVERIFY(pending.update());
        }
        StockInRequest request;
        request.documentNumber = QStringLiteral("JH20261205001");
        QVERIFY(postPendingPurchases(store, request).ok);
    }

    // On the sales side the purchase that made the stock is the opening; only the sales tables
    // are checked there.
    void killWhilePosting(Side side)
    {
        QTemporaryDir work(Reliability::diskFolderTemplate());
        QVERIFY(work.isValid());
        const QString folder = QDir(work.path()).filePath("sysfile");
        if (side == Side::Sales) {
            std::optional<FolderLock> lock;
            Store store;
            startNormally(folder, lock, store, "setup");
            stockForSales(store);
            if (QTest::currentTestFailed())
                return;
        }
        const QString mode = side == Side::Purchases ? "purchases" : "sales";
        const int kills = Reliability::rounds(30, 300);
        for (int kill = 0; kill < kills; ++kill) {
            const QString round = QStringLiteral("%1 kill %2").arg(mode).arg(kill + 1);
            QVERIFY2(runAndKill({mode, folder, QString::number(m_random.generate())}, 400, true,
                                folder),
                     qPrintable(round));
            std::optional<FolderLock> lock;
            Store store;
            startNormally(folder, lock, store, round);
            if (side == Side::Purchases)
                checkPurchases(store);
            else
                checkSales(store);
            if (QTest::currentTestFailed())
                return keepForInspection(work, round);
        }
    }

    static void keepForInspection(QTemporaryDir &work, const QString &round)
    {
        work.setAutoRemove(false);
        qWarning("%s: the files are kept in %s", qPrintable(round), qPrintable(work.path()));
    }

private slots:
    void initTestCase()
    {
        m_random.seed(Reliability::seed("crash safety"));
        Clock::setToday(CrashPlan::fixedDay());
    }

    void cleanupTestCase()
    {
        qInfo("crash safety: %d kills, %d of them in the middle of a write", m_kills,
              m_killsMidWrite);
    }

    void purchasePostingsSurviveKills() { killWhilePosting(Side::Purchases); }

    void salesPostingsSurviveKills() { killWhilePosting(Side::Sales); }

    void backupSurvivesKills()
    {
        QTemporaryDir work(Reliability::diskFolderTemplate());
        QVERIFY(work.isValid());
        const QString folder = QDir(work.path()).filePath("sysfile");
        const QString root = QDir(work.path()).filePath("backup");
        const BackupArchive archive(root);
        {
            std::optional<FolderLock> lock;
            Store store;
            startNormally(folder, lock, store, "setup");
            stockForSales(store);
        }
        QCOMPARE(archive.create(folder, BackupManifest::Reason::Manual).outcome,
                 DataSnapshot::Outcome::Copied);
        const int kills = Reliability::rounds(30, 300);
        for (int kill = 0; kill < kills; ++kill) {
            const QString round = QStringLiteral("backup kill %1").arg(kill + 1);
            QVERIFY2(runAndKill({"backup", folder, root}, 150, true, folder), qPrintable(round));
            {
                std::optional<FolderLock> lock;
                Store store;
                startNormally(folder, lock, store, round);
                if (QTest::currentTestFailed())
                    return keepForInspection(work, round);
            }
            // A backup that is listed is a whole one.
            const QList<BackupArchive::Entry> backups = archive.list();
            QVERIFY(!backups.isEmpty());
            for (const BackupArchive::Entry &backup : backups) {
                QString problem;
                QVERIFY2(BackupArchive::verify(backup.folder, &problem),
                         qPrintable(round + ": " + backup.name + ": " + problem));
            }
            archive.prune(3);
        }
    }

    void firstStartSurvivesKills()
    {
        QTemporaryDir work(Reliability::diskFolderTemplate());
        QVERIFY(work.isValid());
        // How long an uninterrupted first start takes, to kill within it.
        const QString timed = QDir(work.path()).filePath("timed");
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(QProcess::execute(QStringLiteral(HERBDESK_CRASHCHILD), {"create", timed}), 0);
        const int duration = int(timer.elapsed());
        const int kills = Reliability::rounds(30, 300);
        for (int kill = 0; kill < kills; ++kill) {
            const QString round = QStringLiteral("first start kill %1").arg(kill + 1);
            const QString folder = QDir(work.path()).filePath(QString::number(kill));
            QVERIFY2(runAndKill({"create", folder}, duration, false, folder), qPrintable(round));
            std::optional<FolderLock> lock;
            Store store;
            startNormally(folder, lock, store, round);
            if (QTest::currentTestFailed())
                return keepForInspection(work, round);
            QCOMPARE(scalar(store, "SELECT count(*) FROM user").toInt(), 1);
            QCOMPARE(scalar(store, "SELECT 进货单号 FROM danjuhao").toInt(), 1);
            QCOMPARE(scalar(store, "SELECT count(*) FROM gongsi").toInt(), 1);
        }
    }
};

QTEST_MAIN(tst_CrashSafety)
#include "tst_crashsafety.moc"
