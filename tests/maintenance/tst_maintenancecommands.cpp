#include "support/testsupport.h"

#include "maintenance/backuparchive.h"
#include "maintenance/backupsettings.h"
#include "maintenance/maintenancecommands.h"
#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"
#include "store/clock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <optional>

namespace {

// Runs `act` on the next modal dialog as soon as it is shown.
void onNextDialog(const std::function<void(QWidget *dialog)> &act)
{
    QTimer::singleShot(0, [act] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            QTest::qFail("no dialog shown", __FILE__, __LINE__);
            return;
        }
        act(dialog);
    });
}

} // namespace

class tst_MaintenanceCommands : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;
    std::optional<MessageRecorder> m_messages;
    ScreenRegistry m_screens;
    QString m_root;

    Store &store() { return m_temp->store(); }
    QString dataFolder() const { return QDir(m_temp->folder()).filePath("sysfile"); }

    HerbdeskFrm *mainWindow()
    {
        auto *window = new HerbdeskFrm(store(), m_screens, Session{"青杉药行"});
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        return window;
    }

    QStringList backupNames() const
    {
        QStringList names;
        for (const auto &entry : BackupArchive(m_root).list())
            names << entry.name;
        return names;
    }

    void leaveOn(const QDate &day, int hour)
    {
        Clock::setNow(QDateTime(day, QTime(hour, 0)));
        HerbdeskFrm *window = mainWindow();
        QVERIFY(window->close());
    }

private slots:
    void initTestCase()
    {
        registerMaintenanceCommands(m_screens);
        m_screens.add("jinhuochafrm", [](Store &store) {
            return new ChildScreen(store, "jinhuochafrm", "进货查询", 9795, 6840);
        });
    }
    void init()
    {
        const bool serverTest =
            QTest::currentTestFunction() == QLatin1String("serverDataIsLeftToTheServer");
        if (TempStore::onServer() != serverTest)
            QSKIP("backups copy the files of a data folder");
        m_temp.emplace();
        QVERIFY(m_temp->isValid());
        m_messages.emplace();
        m_root = QDir(m_temp->folder()).filePath("backup");
    }
    void cleanup()
    {
        Clock::setNow({});
        m_messages.reset();
        m_temp.reset();
    }

    void settingsAreKeptBesideTheData()
    {
        BackupSettings settings = BackupSettings::load(dataFolder());
        QCOMPARE(settings.folder, m_root);
        QCOMPARE(settings.keep, 30);
        QVERIFY(settings.automatic);
        QVERIFY(settings.automaticDue({2026, 5, 6}));

        settings.keep = 7;
        settings.automatic = false;
        settings.lastAutomatic = {2026, 5, 5};
        QVERIFY(settings.save(dataFolder()));
        BackupSettings loaded = BackupSettings::load(dataFolder());
        QCOMPARE(loaded.keep, 7);
        QVERIFY(!loaded.automatic);
        QCOMPARE(loaded.lastAutomatic, QDate(2026, 5, 5));
        QVERIFY(!loaded.automaticDue({2026, 5, 6}));
        // The default folder is not written down: it moves with the data folder.
        QCOMPARE(BackupSettings::load(QDir(m_temp->folder()).filePath("other/sysfile")).folder,
                 QDir(m_temp->folder()).filePath("other/backup"));

        loaded.folder = QDir(m_temp->folder()).filePath("U盘/备份");
        loaded.automatic = true;
        QVERIFY(loaded.save(dataFolder()));
        QCOMPARE(BackupSettings::load(dataFolder()).folder, loaded.folder);
        QVERIFY(!BackupSettings::load(dataFolder()).automaticDue({2026, 5, 5}));
        QVERIFY(BackupSettings::load(dataFolder()).automaticDue({2026, 5, 6}));
    }

    // On a server the commands say where backups are made, and leaving writes nothing.
    void serverDataIsLeftToTheServer()
    {
        HerbdeskFrm *window = mainWindow();
        const QString told = "数据在数据库服务器 " + store().location().text()
                             + " 上，请在服务器上备份和恢复（例如用 pg_dump 和 pg_restore）。";
        for (const char *item : {"beifennum", "huifunum", "beifenshezhinum"}) {
            m_messages->clear();
            findWidget<QMenu>(window, "weihunum")->findChild<QAction *>(item)->trigger();
            QCOMPARE(m_messages->texts, QStringList{told});
        }
        m_messages->clear();
        QVERIFY(window->close());
        QCOMPARE(m_messages->texts, QStringList());
        QVERIFY(!QDir(m_root).exists());
    }

    void theMenuComesBeforeHelp()
    {
        HerbdeskFrm *window = mainWindow();
        const auto menus = window->menuBar()->actions();
        // Right before help, whatever menus come before it.
        QVERIFY(menus.size() >= 2);
        QCOMPARE(menus[menus.size() - 2]->text(), QString("数据维护"));
        QCOMPARE(menus.last()->text(), QString("使用帮助"));
        for (const char *item : {"beifennum", "huifunum", "beifenshezhinum"})
            QVERIFY(findWidget<QMenu>(window, "weihunum")
                        ->findChild<QAction *>(item)
                        ->isEnabled());
        delete window;
    }

    void leavingBacksUpOnceADayAndKeepsTheNewest()
    {
        BackupSettings settings = BackupSettings::load(dataFolder());
        settings.keep = 2;
        QVERIFY(settings.save(dataFolder()));
        leaveOn({2026, 5, 4}, 18);
        leaveOn({2026, 5, 4}, 19); // the same day: no second backup
        QCOMPARE(backupNames(), QStringList{"20260504-180000"});
        leaveOn({2026, 5, 5}, 9);
        leaveOn({2026, 5, 6}, 9);
        QCOMPARE(backupNames(), (QStringList{"20260506-090000", "20260505-090000"}));
        QVERIFY(m_messages->texts.isEmpty());
        QString problem;
        QCOMPARE(BackupManifest::read(QDir(m_root).filePath("20260506-090000"), &problem)->reason,
                 BackupManifest::Reason::Automatic);

        settings = BackupSettings::load(dataFolder());
        settings.automatic = false;
        QVERIFY(settings.save(dataFolder()));
        leaveOn({2026, 5, 7}, 9);
        QCOMPARE(backupNames().size(), 2);
    }

    void aFailedAutomaticBackupIsToldAndTriedAgain()
    {
        BackupSettings settings = BackupSettings::load(dataFolder());
        QFile blocker(QDir(m_temp->folder()).filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        settings.folder = QDir(blocker.fileName()).filePath("backup");
        QVERIFY(settings.save(dataFolder()));
        leaveOn({2026, 5, 4}, 18);
        QVERIFY2(m_messages->last().startsWith("自动备份失败：无法建立备份文件夹"),
                 qPrintable(m_messages->last()));
        QVERIFY(BackupSettings::load(dataFolder()).automaticDue({2026, 5, 4}));
    }

    void backUpFromTheMenu()
    {
        Clock::setNow(QDateTime({2026, 5, 6}, {14, 3, 21}));
        HerbdeskFrm *window = mainWindow();
        window->findChild<QAction *>("beifennum")->trigger();
        const QString folder = QDir::toNativeSeparators(QDir(m_root).filePath("20260506-140321"));
        QCOMPARE(m_messages->texts, QStringList{"数据已备份到：\n" + folder});
        delete window;
    }

    void restoreFromTheMenu()
    {
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH1', 'DG01')");
        Clock::setNow(QDateTime({2026, 5, 1}, {18, 0}));
        QVERIFY(BackupArchive(m_root).create(dataFolder(), BackupManifest::Reason::Manual)
                    .folder.endsWith("20260501-180000"));
        Clock::setNow(QDateTime({2026, 5, 2}, {18, 0}));
        QVERIFY(BackupArchive(m_root).create(dataFolder(), BackupManifest::Reason::Automatic)
                    .folder.endsWith("20260502-180000"));
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH2', 'DG02')");

        Clock::setNow(QDateTime({2026, 5, 6}, {9, 0}));
        HerbdeskFrm *window = mainWindow();
        window->showScreen("jinhuochafrm");
        QStringList listed;
        onNextDialog([&listed](QWidget *dialog) {
            auto *list = findWidget<QTableWidget>(dialog, "backupList");
            for (int row = 0; row < list->rowCount(); ++row)
                listed << list->item(row, 0)->text() + " " + list->item(row, 1)->text() + " "
                              + list->item(row, 2)->text();
            list->selectRow(1);
            findWidget<QPushButton>(dialog, "Command1")->click();
        });
        window->findChild<QAction *>("huifunum")->trigger();
        QCOMPARE(listed, (QStringList{"2026-05-02 18:00:00 自动 1", "2026-05-01 18:00:00 手动 1"}));
        QCOMPARE(m_messages->questions.size(), 1);
        QVERIFY2(m_messages->questions[0].startsWith("确定要把数据恢复到 2026-05-01 18:00:00 的备份吗？"),
                 qPrintable(m_messages->questions[0]));
        const QString safety = QDir(m_root).filePath("20260506-090000");
        QCOMPARE(m_messages->texts,
                 QStringList{"数据已恢复到 2026-05-01 18:00:00 的备份。\n恢复前的数据已备份在："
                             + QDir::toNativeSeparators(safety)});
        QVERIFY(window->clientArea()->subWindowList().isEmpty());
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM jinhuo").toInt(), 1);
        // The program carries on with the restored data.
        QVERIFY(window->showScreen("jinhuochafrm"));
        delete window;
    }

    void aRefusedBackupReplacesNothing()
    {
        Clock::setNow(QDateTime({2026, 5, 1}, {18, 0}));
        const QString backup =
            BackupArchive(m_root).create(dataFolder(), BackupManifest::Reason::Manual).folder;
        {
            OtherConnection file(QDir(backup).filePath("kucun.db"));
            QVERIFY(file.exec("INSERT INTO kucun (编号) VALUES ('DG09')"));
        }
        m_temp->exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH2', 'DG02')");
        HerbdeskFrm *window = mainWindow();
        window->showScreen("jinhuochafrm");
        onNextDialog(
            [](QWidget *dialog) { findWidget<QPushButton>(dialog, "Command1")->click(); });
        window->findChild<QAction *>("huifunum")->trigger();
        QCOMPARE(m_messages->texts,
                 QStringList{"备份 20260501-180000 不能恢复，没有替换任何文件：\n数据文件 kucun.db "
                             "与备份清单记录的不符（备份后被改动或已损坏）"});
        QVERIFY(m_messages->questions.isEmpty());
        QCOMPARE(window->clientArea()->subWindowList().size(), 1);
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM jinhuo").toInt(), 1);
        QCOMPARE(backupNames(), QStringList{"20260501-180000"});
        delete window;
    }

    void settingsFromTheMenu()
    {
        HerbdeskFrm *window = mainWindow();
        const QString elsewhere = QDir(m_temp->folder()).filePath("异地备份");
        onNextDialog([&elsewhere](QWidget *dialog) {
            findWidget<QLineEdit>(dialog, "Text1")->setText(elsewhere);
            findWidget<QSpinBox>(dialog, "Spin1")->setValue(12);
            findWidget<QCheckBox>(dialog, "Check1")->setChecked(false);
            findWidget<QPushButton>(dialog, "Command1")->click();
        });
        window->findChild<QAction *>("beifenshezhinum")->trigger();
        const BackupSettings settings = BackupSettings::load(dataFolder());
        QCOMPARE(settings.folder, elsewhere);
        QCOMPARE(settings.keep, 12);
        QVERIFY(!settings.automatic);

        // A relative folder is refused, and the dialog stays until it is cancelled.
        onNextDialog([](QWidget *dialog) {
            findWidget<QLineEdit>(dialog, "Text1")->setText("backup");
            findWidget<QPushButton>(dialog, "Command1")->click();
            QVERIFY(dialog->isVisible());
            findWidget<QPushButton>(dialog, "Command2")->click();
        });
        window->findChild<QAction *>("beifenshezhinum")->trigger();
        QVERIFY(m_messages->last().startsWith("请输入完整的文件夹路径"));
        QCOMPARE(BackupSettings::load(dataFolder()).folder, elsewhere);
        delete window;
    }
};

QTEST_MAIN(tst_MaintenanceCommands)
#include "tst_maintenancecommands.moc"
