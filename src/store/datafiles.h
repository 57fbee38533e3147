#pragma once

#include "store/storeerror.h"

#include <QString>
#include <QStringList>

// The database files of a data folder seen as files: which are missing, whether one is whole,
// and the making of new ones. The store opens them; nothing here speaks to a user.
namespace DataFiles {

// The names of the folder's files that are missing, in the store's order. A file of no bytes
// counts as missing: it is what a creation cut short leaves, and it holds no data.
QStringList missing(const QString &folder);

// Why the file's length disagrees with the size its header records (a file cut short, say);
// empty when they agree or when the header records no size.
QString lengthFault(const QString &path);

// Whether a write on the file was cut short: its rollback journal is left with content.
bool hasLeftJournal(const QString &path);

// Makes the named files with their tables and required rows. Each is built under a temporary
// name beside its final one and renamed into place only when all are complete, so that a start
// killed half-way leaves no half-made file; a marker names them while they are renamed, and
// finishCreation() completes renames that a kill cut short. False and *error on failure. A test
// plays a kill by stopping after `stopAfter` renames.
bool create(const QString &folder, const QStringList &fileNames, StoreError *error,
            int stopAfter = -1);

// What every open of a folder does before it looks for missing files: puts in place the new
// files of a creation killed between its renames. False and *error when they cannot be moved.
bool finishCreation(const QString &folder, StoreError *error);

} // namespace DataFiles
