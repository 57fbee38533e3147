#include "store/datafiles.h"

#include "store/dialect.h"
#include "store/filesync.h"
#include "store/query.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <filesystem>
#include <system_error>

namespace {

const QString TemporarySuffix = QStringLiteral(".new");
// Names the new files while they are renamed into place, so that a start killed between two
// renames is finished by the next one.
const QString CreationMarker = QStringLiteral("herbdesk-creating.txt");

QString journalOf(const QString &path)
{
    return path + QStringLiteral("-journal");
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool removeIfPresent(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

const FileDef *fileNamed(const QString &fileName)
{
    for (const FileDef &file : Schema::files()) {
        if (file.fileName == fileName)
            return &file;
    }
    return nullptr;
}

bool fillNewFile(QSqlDatabase &db, const FileDef &file, QString *problem)
{
    QSqlQuery statement(db);
    const auto run = [&](const QString &sql, const QVariantList &values) {
        statement.prepare(sql);
        for (const QVariant &value : values)
            statement.addBindValue(value);
        if (statement.exec())
            return true;
        *problem = statement.lastError().text();
        return false;
    };
    if (!db.transaction()) {
        *problem = db.lastError().text();
        return false;
    }
    for (const TableDef &table : file.tables) {
        const QStringList columns = Dialect().columnDeclarations(table.columns);
        if (!run(QStringLiteral("CREATE TABLE %1 (%2)")
                     .arg(quotedName(table.name), columns.join(QLatin1String(", "))),
                 {})) {
            return false;
        }
        const QVariantList row = Schema::requiredRow(table.name);
        if (row.isEmpty())
            continue;
        const QStringList marks(row.size(), QStringLiteral("?"));
        if (!run(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                     .arg(quotedName(table.name), marks.join(QLatin1Char(','))),
                 row)) {
            return false;
        }
    }
    statement.finish();
    if (db.commit())
        return true;
    *problem = db.lastError().text();
    return false;
}

// Builds one file at the temporary path; the problem in the engine's words on failure.
bool build(const FileDef &file, const QString &path, QString *problem)
{
    const QString connection = QStringLiteral("herbdesk-new-%1").arg(file.fileName);
    bool built = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open())
            built = fillNewFile(db, file, problem);
        else
            *problem = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return built;
}

bool failCreating(StoreError *error, const QString &path, const QString &problem)
{
    *error = {QStringLiteral("无法建立数据文件 %1").arg(shown(path)), problem};
    return false;
}

// Written whole under another name first: a marker cut short would name too few files.
bool writeMarker(const QDir &dir, const QStringList &fileNames)
{
    const QString temporary = dir.filePath(CreationMarker + TemporarySuffix);
    QFile marker(temporary);
    const QByteArray text = fileNames.join(QLatin1Char('\n')).toUtf8();
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || marker.write(text) != text.size() || !marker.flush()) {
        return false;
    }
    marker.close();
    const QString path = dir.filePath(CreationMarker);
    return FileSync::syncFile(temporary) && removeIfPresent(path)
           && QFile::rename(temporary, path) && FileSync::syncFolder(dir.path());
}

// Puts the new files that are still under their temporary names in place; stops after
// `stopAfter` renames when it is not negative (a test plays a kill so).
bool renameNewFiles(const QDir &dir, const QStringList &fileNames, StoreError *error,
                    int stopAfter = -1)
{
    int renamed = 0;
    for (const QString &name : fileNames) {
        const QString path = dir.filePath(name);
        const QString temporary = path + TemporarySuffix;
        if (!fileNamed(name) || !QFileInfo::exists(temporary))
            continue;
        if (renamed == stopAfter)
            return true;
        // A journal beside a missing or empty file can restore nothing; left there, the engine
        // would play it back into the new file.
        if (!removeIfPresent(journalOf(path)))
            return failCreating(error, path, QStringLiteral("无法删除旧的日志文件"));
        // Replaces an empty file in one step.
        std::error_code failure;
        std::filesystem::rename(QFileInfo(temporary).filesystemAbsoluteFilePath(),
                                QFileInfo(path).filesystemAbsoluteFilePath(), failure);
        if (failure)
            return failCreating(error, path, QString::fromStdString(failure.message()));
        ++renamed;
    }
    FileSync::syncFolder(dir.path());
    if (!removeIfPresent(dir.filePath(CreationMarker)))
        return failCreating(error, dir.filePath(CreationMarker), QStringLiteral("无法删除"));
    return true;
}

} // namespace

namespace DataFiles {

QStringList missing(const QString &folder)
{
    QStringList names;
    for (const FileDef &file : Schema::files()) {
        const QFileInfo info(QDir(folder).filePath(file.fileName));
        if (!info.exists() || (info.isFile() && info.size() == 0))
            names << file.fileName;
    }
    return names;
}

QString lengthFault(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取：%1").arg(file.errorString());
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QStringLiteral("文件头不是数据库的文件头");
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const quint32 storedPageSize = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = storedPageSize == 1 ? 65536 : storedPageSize;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("文件头记载的页大小 %1 无效").arg(pageSize);
    // The recorded page count counts only when the last writer kept it current, which it
    // marks by copying the change counter to offset 92.
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const bool countIsCurrent =
        qFromBigEndian<quint32>(bytes + 92) == qFromBigEndian<quint32>(bytes + 24);
    if (!countIsCurrent || pageCount == 0)
        return {};
    const qint64 expected = pageSize * pageCount;
    if (file.size() == expected)
        return {};
    return QStringLiteral("文件长 %1 字节，按文件头应为 %2 字节（%3 页，每页 %4 字节），文件不完整")
        .arg(file.size())
        .arg(expected)
        .arg(pageCount)
        .arg(pageSize);
}

bool hasLeftJournal(const QString &path)
{
    return QFileInfo(journalOf(path)).size() > 0;
}

bool create(const QString &folder, const QStringList &fileNames, StoreError *error,
            int stopAfter)
{
    const QDir dir(folder);
    for (const QString &name : fileNames) {
        const FileDef *file = fileNamed(name);
        const QString temporary = dir.filePath(name + TemporarySuffix);
        // What a killed start left under the temporary name is built anew.
        if (!file || !removeIfPresent(temporary) || !removeIfPresent(journalOf(temporary)))
            return failCreating(error, dir.filePath(name), {});
        QString problem;
        if (!build(*file, temporary, &problem)) {
            removeIfPresent(temporary);
            return failCreating(error, dir.filePath(name), problem);
        }
    }
    if (!writeMarker(dir, fileNames))
        return failCreating(error, dir.filePath(CreationMarker), QStringLiteral("无法写入"));
    return renameNewFiles(dir, fileNames, error, stopAfter);
}

bool finishCreation(const QString &folder, StoreError *error)
{
    const QDir dir(folder);
    removeIfPresent(dir.filePath(CreationMarker + TemporarySuffix));
    QFile marker(dir.filePath(CreationMarker));
    if (!marker.exists())
        return true;
    if (!marker.open(QIODevice::ReadOnly))
        return failCreating(error, marker.fileName(), marker.errorString());
    const QStringList fileNames =
        QString::fromUtf8(marker.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    marker.close();
    return renameNewFiles(dir, fileNames, error);
}

} // namespace DataFiles
