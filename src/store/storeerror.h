#pragma once

#include <QSqlError>
#include <QString>
#include <QStringList>

// What went wrong in the store: the action that failed and the engine's own words, and for the
// troubles of opening a folder the kind of trouble and the files concerned, so that the start-up
// can ask the user what to do.
struct StoreError
{
    enum class Kind {
        Failed,       // anything else
        FilesMissing, // some of the folder's files are missing (files: their names)
        FileInUse,    // another program holds a lock on a file (files: its name)
        FileDamaged,  // a file is damaged or no database (files: its name)
        Stale,        // the row was changed or deleted elsewhere since it was read; nothing
                      // was written
        Conflict,     // the server undid the transaction for another one's sake (a deadlock,
                      // or a write that cannot be serialized): it may be run again
        ConnectionLost, // the server can no longer be reached; it undid the open transaction
    };

    // The engine's error of an action, its kind told by the server's code where it has one.
    static StoreError fromEngine(const QString &action, const QSqlError &error)
    {
        const QString code = error.nativeErrorCode();
        Kind kind = Kind::Failed;
        if (code == QLatin1String("40001") || code == QLatin1String("40P01"))
            kind = Kind::Conflict;
        // Class 08 is a broken connection, 57P0x a server that ended it; libpq gives no code
        // when the connection dropped before an answer.
        else if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P0"))
                 || error.text().contains(QLatin1String("server closed the connection"))
                 || error.text().contains(QLatin1String("no connection to the server")))
            kind = Kind::ConnectionLost;
        return {action, error.text(), kind};
    }

    static StoreError staleRow()
    {
        return {QStringLiteral("记录已被修改或删除，请重新查询"), QString(), Kind::Stale};
    }
    bool isStale() const { return kind == Kind::Stale; }

    StoreError(const QString &action = {}, const QString &detail = {}, Kind kind = Kind::Failed,
               const QStringList &files = {})
        : action(action), detail(detail), kind(kind), files(files)
    {
    }

    QString action;
    QString detail;
    Kind kind;
    QStringList files;

    bool isEmpty() const { return action.isEmpty() && detail.isEmpty(); }
    QString text() const
    {
        return detail.isEmpty() ? action : action + QStringLiteral("：") + detail;
    }
};
