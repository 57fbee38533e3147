#include "maintenance/maintenancecommands.h"

#include "maintenance/backuparchive.h"
#include "maintenance/backupsettings.h"
#include "maintenance/backupsettingsdialog.h"
#include "maintenance/restore.h"
#include "maintenance/restoredialog.h"
#include "shell/herbdeskfrm.h"
#include "shell/messages.h"
#include "shell/screenregistry.h"
#include "shell/taskprogress.h"
#include "store/clock.h"
#include "store/store.h"

#include <QDir>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

BackupArchive::Made makeBackup(HerbdeskFrm &window, const BackupSettings &settings,
                               BackupManifest::Reason reason, const QString &label)
{
    TaskProgress progress(&window, label);
    const BackupArchive archive(settings.folder);
    BackupArchive::Made made = archive.create(window.store().folder(), reason,
                                              [&progress](int permille) {
                                                  return progress.advance(permille);
                                              });
    if (made.outcome == DataSnapshot::Outcome::Copied)
        archive.prune(settings.keep);
    return made;
}

// Checks the backup, telling the user what is wrong with it; true when it may be restored.
bool backupUsable(HerbdeskFrm &window, const BackupArchive::Entry &entry)
{
    QString problem = entry.problem;
    if (entry.manifest) {
        TaskProgress progress(&window, QStringLiteral("正在检查备份..."));
        const auto advance = [&progress](int permille) { return progress.advance(permille); };
        if (BackupArchive::verify(entry.folder, &problem, advance))
            return true;
    }
    Messages::inform(&window, QStringLiteral("备份 %1 不能恢复，没有替换任何文件：\n%2")
                                  .arg(entry.name, problem));
    return false;
}

void reportRestore(HerbdeskFrm &window, const RestoreOutcome &outcome, const QString &when)
{
    if (outcome.stopped)
        return;
    QString text = outcome.restored
        ? QStringLiteral("数据已恢复到 %1 的备份。").arg(when)
        : QStringLiteral("恢复失败：%1").arg(outcome.problem);
    if (!outcome.safetyBackup.isEmpty())
        text += QStringLiteral("\n恢复前的数据已备份在：%1").arg(shown(outcome.safetyBackup));
    Messages::inform(&window, text);
}

} // namespace

void registerMaintenanceCommands(ScreenRegistry &registry)
{
    registry.addCommand(QStringLiteral("backup"), MaintenanceCommands::backUp);
    registry.addCommand(QStringLiteral("restore"), MaintenanceCommands::restore);
    registry.addCommand(QStringLiteral("backupsettings"), MaintenanceCommands::editSettings);
    registry.addCommand(QStringLiteral("leaving"), MaintenanceCommands::backUpOnLeaving);
}

namespace MaintenanceCommands {

void backUp(HerbdeskFrm &window)
{
    const BackupSettings settings = BackupSettings::load(window.store().folder());
    const BackupArchive::Made made = makeBackup(window, settings, BackupManifest::Reason::Manual,
                                                QStringLiteral("正在备份数据..."));
    switch (made.outcome) {
    case DataSnapshot::Outcome::Copied:
        Messages::inform(&window, QStringLiteral("数据已备份到：\n%1").arg(shown(made.folder)));
        break;
    case DataSnapshot::Outcome::Stopped:
        Messages::inform(&window, QStringLiteral("备份已取消。"));
        break;
    case DataSnapshot::Outcome::Failed:
        Messages::inform(&window, QStringLiteral("备份失败：%1").arg(made.problem));
        break;
    }
}

void restore(HerbdeskFrm &window)
{
    Store &store = window.store();
    const BackupSettings settings = BackupSettings::load(store.folder());
    const BackupArchive archive(settings.folder);
    const QList<BackupArchive::Entry> backups = archive.list();
    if (backups.isEmpty()) {
        Messages::inform(&window, QStringLiteral("备份文件夹 %1 中没有备份。")
                                      .arg(shown(archive.root())));
        return;
    }
    RestoreDialog dialog(backups, archive.root(), &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const BackupArchive::Entry entry = dialog.chosen();
    if (!backupUsable(window, entry))
        return;
    const QString when = timeText(entry.manifest->time);
    if (!Messages::confirm(&window, QStringLiteral("确定要把数据恢复到 %1 的备份吗？\n"
                                                   "恢复前会先备份现在的数据；打开的窗口都将关闭。")
                                        .arg(when))) {
        return;
    }
    if (!window.closeAllScreens()) {
        Messages::inform(&window, QStringLiteral("有窗口没有关闭，没有恢复。"));
        return;
    }
    RestoreOutcome outcome;
    {
        TaskProgress progress(&window, QStringLiteral("正在恢复数据..."));
        outcome = restoreBackup(store, archive, entry.folder, [&progress](int permille) {
            return progress.advance(permille);
        });
    }
    reportRestore(window, outcome, when);
    // Without its data the program can do nothing more; the user has been told why.
    if (!store.isOpen())
        window.close();
}

void editSettings(HerbdeskFrm &window)
{
    const QString dataFolder = window.store().folder();
    BackupSettingsDialog dialog(BackupSettings::load(dataFolder),
                                BackupSettings::defaultFolder(dataFolder), &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.settings().save(dataFolder))
        Messages::inform(&window, QStringLiteral("无法保存备份设置到数据文件夹 %1")
                                      .arg(shown(dataFolder)));
}

void backUpOnLeaving(HerbdeskFrm &window)
{
    if (!window.store().isOpen())
        return;
    const QString dataFolder = window.store().folder();
    BackupSettings settings = BackupSettings::load(dataFolder);
    const QDate today = Clock::today();
    if (!settings.automaticDue(today))
        return;
    const BackupArchive::Made made = makeBackup(window, settings,
                                                BackupManifest::Reason::Automatic,
                                                QStringLiteral("正在自动备份数据..."));
    if (made.outcome == DataSnapshot::Outcome::Failed) {
        Messages::inform(&window, QStringLiteral("自动备份失败：%1").arg(made.problem));
        return;
    }
    if (made.outcome == DataSnapshot::Outcome::Copied) {
        settings.lastAutomatic = today;
        settings.save(dataFolder);
    }
}

} // namespace MaintenanceCommands
