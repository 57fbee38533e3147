#pragma once

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
    };

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
