#pragma once

#include "maintenance/backuparchive.h"

class Store;

struct RestoreOutcome
{
    bool restored = false;
    bool stopped = false; // the user stopped the backup of the current data: nothing changed
    QString safetyBackup; // the backup of the data as it was before, when made
    QString problem;
};

// Brings back the data of a backup that passed BackupArchive::verify(): backs up the current
// files into the archive first, closes the store, puts the backup's five files in place all at
// once (FileReplacement) and opens the store on them again. Every screen working on the store
// must be closed before. On failure before the files are replaced the old data is open again.
RestoreOutcome restoreBackup(Store &store, const BackupArchive &archive,
                             const QString &backupFolder,
                             const BackupArchive::Progress &progress = {});
