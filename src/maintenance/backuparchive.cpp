#include "maintenance/backuparchive.h"

#include "store/clock.h"
#include "store/filesync.h"
#include "store/schema.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// Share of the work, in thousandths, that copying takes; hashing the copies takes the rest.
constexpr int CopyShare = 800;

bool isBackupName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}(-\\d+)?$"));
    return pattern.match(name).hasMatch();
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// What a backup cut short by a kill left under its hidden name.
void removeUnfinished(const QDir &root)
{
    const QStringList unfinished = root.entryList({QStringLiteral(".*.partial")},
                                                  QDir::Dirs | QDir::Hidden);
    for (const QString &name : unfinished)
        QDir(root.filePath(name)).removeRecursively();
}

bool report(const BackupArchive::Progress &progress, int permille)
{
    return !progress || progress(permille);
}

} // namespace

QString programVersion()
{
    return QStringLiteral(HERBDESK_VERSION);
}

BackupArchive::BackupArchive(const QString &root) : m_root(QDir::cleanPath(root)) {}

QList<BackupArchive::Entry> BackupArchive::list() const
{
    QList<Entry> entries;
    const QDir root(m_root);
    const QStringList names = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        if (!isBackupName(*name))
            continue;
        Entry entry{root.filePath(*name), *name, std::nullopt, {}};
        entry.manifest = BackupManifest::read(entry.folder, &entry.problem);
        entries.append(entry);
    }
    return entries;
}

QString BackupArchive::uniqueName(const QDateTime &time) const
{
    const QString base = time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(QDir(m_root).filePath(name)); ++n)
        name = QStringLiteral("%1-%2").arg(base).arg(n);
    return name;
}

BackupArchive::Made BackupArchive::create(const QString &dataFolder,
                                          BackupManifest::Reason reason,
                                          const Progress &progress) const
{
    Made made;
    const QDir root(m_root);
    if (!QDir().mkpath(m_root)) {
        made.problem = QStringLiteral("无法建立备份文件夹 %1").arg(shown(m_root));
        return made;
    }
    removeUnfinished(root);
    BackupManifest manifest;
    manifest.time = Clock::now();
    manifest.version = programVersion();
    manifest.reason = reason;
    const QString name = uniqueName(manifest.time);
    const QString partial = root.filePath(QStringLiteral(".%1.partial").arg(name));
    if (!QDir().mkpath(partial)) {
        made.problem = QStringLiteral("无法在 %1 中建立备份").arg(shown(m_root));
        return made;
    }
    const auto finish = [&made, &partial](DataSnapshot::Outcome outcome, const QString &problem) {
        QDir(partial).removeRecursively();
        made.outcome = outcome;
        made.problem = problem;
        return made;
    };

    StoreError error;
    const DataSnapshot::Progress copyProgress = [&progress](qint64 done, qint64 total) {
        return report(progress, total > 0 ? int(done * CopyShare / total) : 0);
    };
    const DataSnapshot::Outcome copied =
        DataSnapshot::copy(dataFolder, partial, copyProgress, &manifest.tables, &error);
    if (copied != DataSnapshot::Outcome::Copied)
        return finish(copied, error.text());

    const auto &files = Schema::files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QByteArray digest = fileDigest(QDir(partial).filePath(files[i].fileName));
        if (digest.isEmpty()) {
            return finish(DataSnapshot::Outcome::Failed,
                          QStringLiteral("无法读取备份文件 %1").arg(files[i].fileName));
        }
        manifest.digests.insert(files[i].fileName, digest);
        const int done = CopyShare + int((1000 - CopyShare) * (i + 1) / files.size());
        if (!report(progress, done))
            return finish(DataSnapshot::Outcome::Stopped, {});
    }
    QString problem;
    if (!manifest.write(partial, &problem))
        return finish(DataSnapshot::Outcome::Failed,
                      QStringLiteral("无法写入备份清单：%1").arg(problem));
    const QString folder = root.filePath(name);
    if (!QDir().rename(partial, folder) || !FileSync::syncFolder(m_root))
        return finish(DataSnapshot::Outcome::Failed,
                      QStringLiteral("无法建立备份文件夹 %1").arg(shown(folder)));
    made.outcome = DataSnapshot::Outcome::Copied;
    made.folder = folder;
    return made;
}

QStringList BackupArchive::prune(int keep) const
{
    QStringList removed;
    const QList<Entry> entries = list();
    for (int i = qMax(1, keep); i < entries.size(); ++i) {
        if (QDir(entries[i].folder).removeRecursively())
            removed << entries[i].folder;
    }
    return removed;
}

bool BackupArchive::verify(const QString &folder, QString *problem, const Progress &progress)
{
    const auto manifest = BackupManifest::read(folder, problem);
    if (!manifest)
        return false;
    const auto &files = Schema::files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString name = files[i].fileName;
        const QString path = QDir(folder).filePath(name);
        if (!QFileInfo(path).isFile()) {
            *problem = QStringLiteral("备份中缺少数据文件 %1").arg(name);
            return false;
        }
        if (fileDigest(path) != manifest->digests.value(name)) {
            *problem = QStringLiteral("数据文件 %1 与备份清单记录的不符（备份后被改动或已损坏）")
                           .arg(name);
            return false;
        }
        report(progress, int(500 * (i + 1) / files.size()));
    }
    StoreError error;
    if (!DataSnapshot::check(folder, &error)) {
        *problem = error.text();
        return false;
    }
    report(progress, 1000);
    return true;
}
