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
    return QDir().mkpath(m_folder) && m_file.tryLock(0);
}

bool FolderLock::heldByOther(Holder *holder) const
{
    if (m_file.error() != QLockFile::LockFailedError)
        return false;
    if (!m_file.getLockInfo(&holder->pid, &holder->hostName, &holder->appName))
        *holder = {};
    return true;
}
