#pragma once

#include <QString>

// Makes what was written to a file, or the names in a folder, survive a power cut: a rename or
// a copy counts only once the disk has it.
namespace FileSync {

bool syncFile(const QString &path);
bool syncFolder(const QString &path);

} // namespace FileSync
