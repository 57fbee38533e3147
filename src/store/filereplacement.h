#pragma once

#include "store/storeerror.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Puts other copies of the database files in the place of a data folder's files, all of them
// or none even when the program is killed half-way. Renaming is atomic for one file only, so
// the copies are first made beside the live files under temporary names and synced; then a
// marker naming them is written; then each is renamed over its live file; then the marker goes.
// The next open finds either no marker (the old files, with any temporary copies removed) or
// the marker (the renames are finished first): never a mixture of old and new files.
class FileReplacement
{
public:
    explicit FileReplacement(const QString &dataFolder);

    // Copies the database files of `sourceFolder` beside the live ones. *digests gets each
    // copy's SHA-256 (hex) by file name, read as it was written, so that the caller can
    // compare them with what it expects. The files must not be open.
    bool prepare(const QString &sourceFolder, QHash<QString, QByteArray> *digests,
                 StoreError *error);
    // Writes the marker and renames every prepared copy over its live file. A test plays a
    // kill by stopping after `stopAfter` renames.
    bool commit(StoreError *error, int stopAfter = -1);
    // Removes the prepared copies when they are not to be committed.
    void discard();

    // What every open of the folder does first: finishes a replacement whose marker is there,
    // or removes the copies of one that was cut short before its marker was written. False
    // and *error when a copy named by the marker is damaged: nothing is renamed then.
    static bool finishPending(const QString &dataFolder, StoreError *error);

private:
    QString m_folder;
    QHash<QString, QByteArray> m_digests;
};
