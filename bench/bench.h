#pragma once

#include "datasize.h"
#include "engine.h"
#include "screendriver.h"

#include "store/store.h"

#include <QDate>
#include <memory>

// What the actions of one data size work with: the program's store, main window and screens
// on the working copy of the data (a folder's files or a server's database), and the engine
// beside them on the same data.
class Bench
{
public:
    Bench(const DataSize &size, const DataLocation &location, const QDate &lastDay);
    ~Bench();

    const DataSize size;
    const DataLocation location;
    const QString folder; // the data's files; empty on a server
    const QDate lastDay;  // the data's last day: "one year" ends here

    bool onServer() const { return location.isServer(); }

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
