#pragma once

#include <QString>
#include <optional>

// A database on a PostgreSQL server, as a URL names it: postgresql://user@host:port/dbname. An
// empty host means the server's Unix socket on this computer; "?host=/run/postgresql" names the
// socket's folder. The password is never part of it: the client library reads ~/.pgpass or
// PGPASSWORD.
struct ServerAddress
{
    QString user;
    QString host;
    int port = 0; // 0: the default port
    QString database;
    // Whose pending lines this run enters and sees; not part of the URL. Empty: this computer's
    // name and its user's, so that a clerk finds his lines again after a restart.
    QString clerk;

    // No value, and *problem in words, when the text is no such URL or carries a password.
    static std::optional<ServerAddress> fromUrl(const QString &url, QString *problem);
    // "user@host:port/dbname", for messages.
    QString text() const;
};

// Where the program's data lives: the database files of a folder, or a server's database.
struct DataLocation
{
    QString folder;
    std::optional<ServerAddress> server;

    static DataLocation files(const QString &folder) { return {folder, std::nullopt}; }
    static DataLocation onServer(const ServerAddress &address) { return {{}, address}; }
    bool isServer() const { return server.has_value(); }
    // The folder or the server's address, for messages.
    QString text() const;
};
