#pragma once

#include "store/datalocation.h"
#include "store/storeerror.h"

#include <QStringList>

// Copies the program's data between two places (a data folder's files, a server's database), in
// either direction: every row of every table, in table order. The target must be empty (as a
// first start leaves it, its required rows aside, or not made yet); the source is only read.
// After the copy, the rows of each table and the sums of its number columns are compared on
// both sides, inside the target's transaction: on any difference or failure nothing stays.
namespace DataCopy {

struct Outcome
{
    bool ok = false;
    QStringList report; // one line per table: its rows and the sums of its number columns
    StoreError error;
};

Outcome copy(const DataLocation &from, const DataLocation &to);

} // namespace DataCopy
