#pragma once

#include "store/storeerror.h"

#include <QList>
#include <QString>
#include <functional>

// The number of rows of one table.
struct TableRows
{
    QString table;
    qint64 rows = 0;
};

// Copies of the database files of a data folder, and the checks a copy must pass before it may
// stand in for them. Both work on connections of their own: a copy then holds only committed
// data, even while the program's connection has a posting open.
namespace DataSnapshot {

// Told the pages copied so far and all pages to copy; returning false stops the copy.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Outcome { Copied, Stopped, Failed };

// Copies the files of `dataFolder` into `targetFolder`, an existing folder without them, as they
// stood at one moment: one read transaction over all of them keeps every writer out until the
// copies are made, and *rows gets every table's row count of that same moment. The copies are
// on the disk when Copied is returned; after a stop or a failure (*error says why) the files
// made so far are left for the caller to remove.
Outcome copy(const QString &dataFolder, const QString &targetFolder, const Progress &progress,
             QList<TableRows> *rows, StoreError *error);

// Whether the files of a folder can serve as the program's data: each opens read-only, passes
// the engine's integrity check and holds every table with every column. False and *error,
// naming the file and the fault, otherwise.
bool check(const QString &folder, StoreError *error);

} // namespace DataSnapshot
