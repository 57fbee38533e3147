#pragma once

#include "maintenance/manifest.h"
#include "store/snapshot.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The folder of backups: one dated folder per backup ("20260506-140321"), each with copies of
// the five database files and their manifest. A backup is made under a hidden name and renamed
// to its dated name only when complete, so that a dated folder is always a whole backup.
class BackupArchive
{
public:
    // Told the share of the work done, in thousandths; returning false stops the work.
    using Progress = std::function<bool(int permille)>;

    struct Entry
    {
        QString folder;
        QString name;
        std::optional<BackupManifest> manifest; // empty when unreadable (see problem)
        QString problem;
    };

    struct Made
    {
        DataSnapshot::Outcome outcome = DataSnapshot::Outcome::Failed;
        QString folder; // the new backup, when made
        QString problem;
    };

    explicit BackupArchive(const QString &root);
    QString root() const { return m_root; }

    // The backups, newest first.
    QList<Entry> list() const;

    // Backs up the data folder's files as they stand now. Nothing is left behind when the
    // backup stops or fails.
    Made create(const QString &dataFolder, BackupManifest::Reason reason,
                const Progress &progress = {}) const;

    // Removes every backup but the newest `keep` (never the newest one); the removed folders.
    QStringList prune(int keep) const;

    // Whether the backup may stand in for the data: its manifest is there, each file has the
    // digest the manifest records, and each passes the engine's checks. *problem says what is
    // wrong otherwise.
    static bool verify(const QString &folder, QString *problem, const Progress &progress = {});

private:
    QString uniqueName(const QDateTime &time) const;

    QString m_root;
};

// The version of the program, as written into manifests.
QString programVersion();
