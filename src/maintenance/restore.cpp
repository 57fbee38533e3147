#include "maintenance/restore.h"

#include "store/filereplacement.h"
#include "store/store.h"

namespace {

RestoreOutcome failed(const QString &problem, const QString &safetyBackup = {})
{
    return {false, false, safetyBackup, problem};
}

// Opens the store again after a failure; the trouble of opening joins the first problem.
RestoreOutcome reopenAfter(Store &store, const QString &folder, const QString &problem,
                           const QString &safetyBackup)
{
    if (store.open(folder))
        return failed(problem, safetyBackup);
    return failed(problem + QStringLiteral("\n") + store.lastError().text(), safetyBackup);
}

} // namespace

RestoreOutcome restoreBackup(Store &store, const BackupArchive &archive,
                             const QString &backupFolder, const BackupArchive::Progress &progress)
{
    QString problem;
    const auto manifest = BackupManifest::read(backupFolder, &problem);
    if (!manifest)
        return failed(problem);
    const QString folder = store.folder();
    const BackupArchive::Made safety =
        archive.create(folder, BackupManifest::Reason::BeforeRestore, progress);
    if (safety.outcome == DataSnapshot::Outcome::Stopped)
        return {false, true, {}, {}};
    if (safety.outcome != DataSnapshot::Outcome::Copied)
        return failed(QStringLiteral("无法先备份现在的数据，没有恢复：%1").arg(safety.problem));

    store.close();
    FileReplacement replacement(folder);
    QHash<QString, QByteArray> digests;
    StoreError error;
    if (!replacement.prepare(backupFolder, &digests, &error))
        return reopenAfter(store, folder, error.text(), safety.folder);
    if (digests != manifest->digests) {
        replacement.discard();
        return reopenAfter(store, folder,
                           QStringLiteral("复制到数据文件夹的文件与备份不符，没有恢复"),
                           safety.folder);
    }
    if (!replacement.commit(&error))
        return reopenAfter(store, folder, error.text(), safety.folder);
    if (!store.open(folder)) {
        return failed(QStringLiteral("数据已恢复，但无法打开：%1").arg(store.lastError().text()),
                      safety.folder);
    }
    return {true, false, safety.folder, {}};
}
