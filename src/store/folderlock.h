#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program off a data folder that one copy works on, through a lock
// file in the folder. Two copies on one folder would hand out the same document numbers and post
// each other's pending lines. A lock left by a program that died is taken over.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    QString folder() const { return m_folder; }

    // Takes the folder (making it when missing) unless another running copy holds it; true when
    // this copy holds it now.
    bool tryLock();
    bool isLocked() const { return m_file.isLocked(); }

    // Who holds the folder when tryLock() failed for that reason.
    struct Holder
    {
        qint64 pid = 0;
        QString hostName;
        QString appName;
    };
    // False when tryLock() failed for another reason (no right to write in the folder, say).
    bool heldByOther(Holder *holder) const;

private:
    QString m_folder;
    QLockFile m_file;
};
