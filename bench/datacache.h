#pragma once

#include "datasize.h"

#include <QDate>
#include <QString>
#include <functional>

// Generated data sets kept on disk between runs (generating the largest takes minutes), each
// in <root>/<size>/sysfile with a note of the generator version and the day it ends on. The
// benchmark measures on a fresh copy, so that every run starts from the same files.
class DataCache
{
public:
    explicit DataCache(const QString &root);

    // The cached folder for the size, generated first when missing or made by another version.
    // `log` hears what happens and how long generating took.
    QString ensure(const DataSize &size, const std::function<void(const QString &)> &log);
    // A copy of the cached folder to measure on, replacing any earlier copy.
    QString workingCopy(const DataSize &size);
    // The last day of the cached data (its one-year queries end there).
    QDate lastDay(const DataSize &size) const;

private:
    QString sizeFolder(const DataSize &size) const;

    QString m_root;
};

// The five files of the program's data folder.
QStringList dataFiles(const QString &sysfileFolder);

// Drops the operating system's cached pages of the files (no root needed: the pages are clean
// once SQLite has synced its commits), as after a night or a restart.
void dropFileCache(const QStringList &files);
// Share of the files' pages still in the page cache, 0 to 1.
double residentShare(const QStringList &files);

// SQLite's change counter of each file (raised by every transaction that writes the file).
QList<quint32> changeCounters(const QStringList &files);
