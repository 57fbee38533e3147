#include "datacache.h"

#include "generator.h"

#include "store/schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString NoteName = QStringLiteral("generator.ini");

// Writes the copy's pages out, so that the page cache can let go of them later.
void syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QStringList dataFiles(const QString &sysfileFolder)
{
    QStringList files;
    for (const FileDef &file : Schema::files())
        files << QDir(sysfileFolder).filePath(file.fileName);
    return files;
}

DataCache::DataCache(const QString &root) : m_root(root) {}

QString DataCache::sizeFolder(const DataSize &size) const
{
    return QDir(m_root).filePath(size.label);
}

QDate DataCache::lastDay(const DataSize &size) const
{
    QSettings note(QDir(sizeFolder(size)).filePath(NoteName), QSettings::IniFormat);
    return QDate::fromString(note.value(QStringLiteral("lastDay")).toString(), Qt::ISODate);
}

QString DataCache::ensure(const DataSize &size, const std::function<void(const QString &)> &log)
{
    const QDir folder(sizeFolder(size));
    const QString sysfile = folder.filePath(QStringLiteral("sysfile"));
    {
        QSettings note(folder.filePath(NoteName), QSettings::IniFormat);
        bool complete = note.value(QStringLiteral("version")).toInt() == Generator::Version
                        && lastDay(size).isValid();
        for (const QString &file : dataFiles(sysfile))
            complete = complete && QFile::exists(file);
        if (complete)
            return sysfile;
    }

    log(QStringLiteral("generating the %1x data in %2").arg(size.label, sysfile));
    QElapsedTimer clock;
    clock.start();
    const QString building = folder.filePath(QStringLiteral("sysfile.building"));
    QDir(building).removeRecursively();
    QDir(sysfile).removeRecursively();
    QFile::remove(folder.filePath(NoteName));
    const QDate day = QDate::currentDate();
    Generator(size, day).write(building, [&](const QString &what) {
        log(QStringLiteral("  %1 (%2 s)").arg(what).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    });
    if (!QDir().rename(building, sysfile))
        throw std::runtime_error("cannot move the generated files into place");
    QSettings note(folder.filePath(NoteName), QSettings::IniFormat);
    note.setValue(QStringLiteral("version"), Generator::Version);
    note.setValue(QStringLiteral("lastDay"), day.toString(Qt::ISODate));
    note.setValue(QStringLiteral("generationSeconds"), clock.elapsed() / 1000.0);
    note.sync();
    log(QStringLiteral("generated the %1x data in %2 s")
            .arg(size.label)
            .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    return sysfile;
}

QString DataCache::workingCopy(const DataSize &size)
{
    const QString source = QDir(sizeFolder(size)).filePath(QStringLiteral("sysfile"));
    const QString copy = QDir(sizeFolder(size)).filePath(QStringLiteral("work/sysfile"));
    QDir(copy).removeRecursively();
    QDir().mkpath(copy);
    for (const QString &file : dataFiles(source)) {
        const QString target = QDir(copy).filePath(QFileInfo(file).fileName());
        if (!QFile::copy(file, target))
            throw std::runtime_error(("cannot copy " + file).toStdString());
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        syncFile(target);
    }
    return copy;
}

void dropFileCache(const QStringList &files)
{
    for (const QString &file : files) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

double residentShare(const QStringList &files)
{
    const long page = ::sysconf(_SC_PAGESIZE);
    qint64 pages = 0;
    qint64 resident = 0;
    for (const QString &file : files) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        struct stat info{};
        ::fstat(fd, &info);
        if (info.st_size > 0) {
            void *map = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
            if (map != MAP_FAILED) {
                const qint64 count = (info.st_size + page - 1) / page;
                std::vector<unsigned char> flags(static_cast<size_t>(count));
                if (::mincore(map, size_t(info.st_size), flags.data()) == 0) {
                    pages += count;
                    for (unsigned char flag : flags)
                        resident += flag & 1;
                }
                ::munmap(map, size_t(info.st_size));
            }
        }
        ::close(fd);
    }
    return pages ? double(resident) / double(pages) : 0.0;
}

QList<quint32> changeCounters(const QStringList &files)
{
    QList<quint32> counters;
    for (const QString &path : files) {
        QFile file(path);
        QByteArray header;
        if (file.open(QIODevice::ReadOnly))
            header = file.read(28);
        const auto byte = [&header](int i) {
            return i < header.size() ? quint32(quint8(header[i])) : 0u;
        };
        counters << (byte(24) << 24 | byte(25) << 16 | byte(26) << 8 | byte(27));
    }
    return counters;
}
