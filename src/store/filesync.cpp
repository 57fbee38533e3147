#include "store/filesync.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool syncPath(const QString &path, int flags)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

} // namespace

namespace FileSync {

bool syncFile(const QString &path)
{
    return syncPath(path, O_RDONLY);
}

bool syncFolder(const QString &path)
{
    return syncPath(path, O_RDONLY | O_DIRECTORY);
}

} // namespace FileSync
