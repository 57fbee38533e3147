#pragma once

#include "action.h"

// Measures taken in processes of their own, since they concern a whole process.

// The program itself started on a data folder, until its login window is first painted and
// flushed to the screen (Qt's own paint log tells the moment, so the program needs no hook).
// The program is copied into `appFolder`, beside the `sysfile` it works on; a first start
// removes that folder's sysfile before each run. `platform` is the windowing platform to start
// it on ("xcb" under a display).
ProbeResult measureStartup(const QString &program, const QString &appFolder, bool firstStart,
                           const QString &platform, int samples, bool cold);

// Peak resident memory of a process that opens every screen and scrolls the purchase query's
// list of every line from end to end; runs this benchmark again with --memory-probe.
ProbeResult measurePeakMemory(const QString &benchProgram, const QString &sysfileFolder);

// The other side of measurePeakMemory: runs in the child and prints what it saw.
int runMemoryProbe(const QString &sysfileFolder);
