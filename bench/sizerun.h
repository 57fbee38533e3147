#pragma once

#include "report.h"
#include "runner.h"

#include "store/datalocation.h"

#include <QDate>

// Where the measured things are, for one run of the benchmark.
struct RunPlaces
{
    QString program;        // build/herbdesk
    QString benchProgram;   // this benchmark, for its memory probe
    QString firstStartFolder;
    QString startupPlatform; // the platform the program is started on
};

// Measures every action on the working copy of one size's data: on a folder's files, or the
// actions that wait on a server on its database.
SizeReport measureSize(const DataSize &size, const DataLocation &location, const QDate &lastDay,
                       const RunOptions &options, const RunPlaces &places);
