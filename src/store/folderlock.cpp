#include "store/folderlock.h"

#include <QDir>

FolderLock::FolderLock(const QString &folder)
    : m_folder(folder), m_file(QDir(folder).filePath(QStringLiteral("herbdesk.lock")))
{
    // The program holds the folder for hours: only a dead holder makes a lock stale, never age.
    m_file.setStaleLockTime(0);
}

bool FolderLock::tryLock()
{
    if (m_file.isLocked())
        return true;
    if (!QDir().mkpath(m_folder))
        return false;
    if (m_file.tryLock(0))
        return true;
    // A copy killed between making the lock file and writing its name in it leaves a file that
    // names no holder, which QLockFile never calls stale. Removing it succeeds only when no
    // process holds the lock on the file, as every living holder does.
    qint64 pid = 0;
    QString hostName;
    QString appName;
    if (m_file.error() != QLockFile::LockFailedError
        || m_file.getLockInfo(&pid, &hostName, &appName))
        return false;
    return m_file.removeStaleLockFile() && m_file.tryLock(0);
}

bool FolderLock::heldByOther(Holder *holder) const
{
    if (m_file.error() != QLockFile::LockFailedError)
        return false;
    if (!m_file.getLockInfo(&holder->pid, &holder->hostName, &holder->appName))
        *holder = {};
    return true;
}
