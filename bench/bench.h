#pragma once

#include "datasize.h"
#include "engine.h"
#include "screendriver.h"

#include "store/store.h"

#include <QDate>
#include <memory>

// What the actions of one data size work with: the program's store, main window and screens
// on the working copy of the data, and the engine beside them on the same files.
class Bench
{
public:
    Bench(const DataSize &size, const QString &sysfileFolder, const QDate &lastDay);
    ~Bench();

    const DataSize size;
    const QString folder;
    const QDate lastDay; // the data's last day: "one year" ends here

    Store &store() { return m_store; }
    Engine &engine() { return *m_engine; }
    ScreenDriver &driver() { return *m_driver; }
    MessageLog &messages() { return m_messages; }

    // First use of the day: SQLite's caches (the program's and the engine's) start empty and
    // the operating system holds none of the files' pages.
    void dropCaches();

private:
    Store m_store;
    std::unique_ptr<Engine> m_engine;
    MessageLog m_messages;
    std::unique_ptr<ScreenDriver> m_driver;
};
