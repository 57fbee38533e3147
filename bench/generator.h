#pragma once

#include "datasize.h"

#include <QDate>
#include <QString>
#include <functional>

// Fills a fresh data folder with ten years of a dealer's trade ending on `lastDay`: catalogue,
// purchase and sales lines in date order in documents of about twenty lines, every document
// posted except the last purchase and the last sale, document headers, counters, and the stock
// the postings left. The same size and day give the same files: one fixed seed drives it all.
// The files are made by the program's own Store (its tables and indexes), then filled in bulk,
// one transaction per table; no statistics are gathered, as in a user's files.
class Generator
{
public:
    static constexpr int Version = 2;

    Generator(const DataSize &size, const QDate &lastDay);

    // Throws on failure; `progress` hears what is being written.
    void write(const QString &sysfileFolder, const std::function<void(const QString &)> &progress);

private:
    DataSize m_size;
    QDate m_lastDay;
};
