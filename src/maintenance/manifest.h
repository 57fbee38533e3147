#pragma once

#include "store/snapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <optional>

// What a backup folder says about itself (manifest.json): when and by which version it was
// made, why, the rows of every table, and each file's SHA-256, by which a restore knows that
// the files are the ones that were copied.
struct BackupManifest
{
    enum class Reason { Manual, Automatic, BeforeRestore };

    QDateTime time;
    QString version;
    Reason reason = Reason::Manual;
    QList<TableRows> tables;
    QHash<QString, QByteArray> digests; // file name -> SHA-256 in hex

    static QString fileName();
    // "手动", "自动" or "恢复前".
    QString reasonText() const;
    qint64 rowsOf(const QString &table) const;

    bool write(const QString &folder, QString *problem) const;
    // Empty and *problem when the folder has no readable manifest.
    static std::optional<BackupManifest> read(const QString &folder, QString *problem);
};

// The SHA-256 of a file in hex; empty when it cannot be read.
QByteArray fileDigest(const QString &path);
