#pragma once

#include "store/datalocation.h"

#include <QString>

// A PostgreSQL cluster of the benchmark's own, durable as a server that keeps a dealer's
// postings must be (fsync and synchronous commit on), reached only through the Unix socket in
// its folder. Started by scripts/test-server.sh; stopped and its folder removed when this goes,
// also when the run fails. (bench.sh stops it too when the run is interrupted.)
class PrivateServer
{
public:
    // Throws when the server cannot be started.
    PrivateServer(const QString &script, const QString &folder);
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    // A new, empty database of that name (a leftover of that name goes first).
    ServerAddress createDatabase(const QString &name);

private:
    // Runs the statements, one after the other, on a connection of their own to the database.
    static void run(const ServerAddress &database, const QStringList &statements);

    QString m_script;
    QString m_folder;
    ServerAddress m_address; // the cluster's own database, "postgres"
};
