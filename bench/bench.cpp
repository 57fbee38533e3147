#include "bench.h"

#include "datacache.h"

Bench::Bench(const DataSize &dataSize, const DataLocation &dataLocation, const QDate &day)
    : size(dataSize), location(dataLocation), folder(dataLocation.folder), lastDay(day)
{
    if (!m_store.open(location))
        throw std::runtime_error(m_store.lastError().text().toStdString());
    m_engine = Engine::open(location);
    m_driver = std::make_unique<ScreenDriver>(m_store);
}

Bench::~Bench()
{
    m_driver.reset();
}

void Bench::dropCaches()
{
    // Open screens keep their Store; reopening it gives them a new connection.
    if (!m_store.open(location))
        throw std::runtime_error(m_store.lastError().text().toStdString());
    m_engine->reopen();
    dropFileCache(dataFiles(folder));
}
