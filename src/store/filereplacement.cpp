#include "store/filereplacement.h"

#include "store/filesync.h"
#include "store/schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <system_error>

namespace {

const QString CopySuffix = QStringLiteral(".restoring");
const QString MarkerName = QStringLiteral("restore-in-progress.json");
constexpr qint64 ChunkBytes = 1 << 20;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QStringList fileNames()
{
    QStringList names;
    for (const FileDef &file : Schema::files())
        names << file.fileName;
    return names;
}

bool removeIfPresent(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Copies the file in chunks, hashing what is written; *digest gets the SHA-256 in hex.
bool copyHashed(const QString &from, const QString &to, QByteArray *digest, QString *problem)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly)) {
        *problem = source.errorString();
        return false;
    }
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *problem = target.errorString();
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkBytes);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            *problem = source.errorString();
            return false;
        }
        hash.addData(chunk);
        if (target.write(chunk) != chunk.size()) {
            *problem = target.errorString();
            return false;
        }
    }
    if (!target.flush()) {
        *problem = target.errorString();
        return false;
    }
    target.close();
    if (!FileSync::syncFile(to)) {
        *problem = QStringLiteral("无法写入磁盘");
        return false;
    }
    *digest = hash.result().toHex();
    return true;
}

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

bool rename(const QString &from, const QString &to, QString *problem)
{
    std::error_code failure;
    std::filesystem::rename(QFileInfo(from).filesystemAbsoluteFilePath(),
                            QFileInfo(to).filesystemAbsoluteFilePath(), failure);
    if (failure)
        *problem = QString::fromStdString(failure.message());
    return !failure;
}

bool writeMarker(const QString &folder, const QHash<QString, QByteArray> &digests,
                 QString *problem)
{
    QJsonArray files;
    for (const QString &name : fileNames())
        files.append(QJsonObject{{"name", name}, {"sha256", QString::fromLatin1(digests[name])}});
    const QByteArray text = QJsonDocument(QJsonObject{{"files", files}}).toJson();
    // Written whole under another name first: a marker cut short would name too few files.
    const QString marker = QDir(folder).filePath(MarkerName);
    const QString temporary = marker + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()
        || !file.flush()) {
        *problem = file.errorString();
        return false;
    }
    file.close();
    if (!FileSync::syncFile(temporary) || !rename(temporary, marker, problem)
        || !FileSync::syncFolder(folder)) {
        if (problem->isEmpty())
            *problem = QStringLiteral("无法写入磁盘");
        return false;
    }
    return true;
}

// The files the marker names with their digests; empty when it cannot be read.
QHash<QString, QByteArray> readMarker(const QString &path)
{
    QFile file(path);
    QHash<QString, QByteArray> digests;
    if (!file.open(QIODevice::ReadOnly))
        return digests;
    const QJsonArray files = QJsonDocument::fromJson(file.readAll()).object()["files"].toArray();
    for (const QJsonValue &entry : files) {
        const QJsonObject object = entry.toObject();
        digests.insert(object["name"].toString(), object["sha256"].toString().toLatin1());
    }
    return digests;
}

// Renames the copies still beside their live files; stops after `stopAfter` renames when it
// is not negative.
bool renameCopies(const QString &folder, int stopAfter, QString *problem)
{
    const QDir dir(folder);
    int renamed = 0;
    for (const QString &name : fileNames()) {
        const QString copy = dir.filePath(name + CopySuffix);
        if (!QFileInfo::exists(copy))
            continue;
        if (stopAfter >= 0 && renamed == stopAfter)
            return true;
        // The old file's journal must not be played back into the new file.
        if (!removeIfPresent(dir.filePath(name + QStringLiteral("-journal")))) {
            *problem = QStringLiteral("无法删除 %1 的日志文件").arg(name);
            return false;
        }
        if (!rename(copy, dir.filePath(name), problem))
            return false;
        ++renamed;
    }
    return FileSync::syncFolder(folder);
}

bool finishMarked(const QString &folder, StoreError *error)
{
    const QString marker = QDir(folder).filePath(MarkerName);
    const QHash<QString, QByteArray> digests = readMarker(marker);
    const QString action = QStringLiteral("数据恢复未能完成（%1）").arg(shown(folder));
    for (const QString &name : fileNames()) {
        const QString copy = QDir(folder).filePath(name + CopySuffix);
        if (QFileInfo::exists(copy) && digestOf(copy) != digests.value(name)) {
            *error = {action, QStringLiteral("待恢复的文件 %1 已损坏").arg(name),
                      StoreError::Kind::FileDamaged, {name}};
            return false;
        }
    }
    QString problem;
    if (!renameCopies(folder, -1, &problem) || !QFile::remove(marker)
        || !FileSync::syncFolder(folder)) {
        *error = {action, problem};
        return false;
    }
    return true;
}

} // namespace

FileReplacement::FileReplacement(const QString &dataFolder) : m_folder(dataFolder) {}

bool FileReplacement::prepare(const QString &sourceFolder, QHash<QString, QByteArray> *digests,
                              StoreError *error)
{
    m_digests.clear();
    for (const QString &name : fileNames()) {
        const QString from = QDir(sourceFolder).filePath(name);
        const QString to = QDir(m_folder).filePath(name + CopySuffix);
        QByteArray digest;
        QString problem;
        if (!copyHashed(from, to, &digest, &problem)) {
            discard();
            *error = {QStringLiteral("无法把 %1 复制到数据文件夹").arg(shown(from)), problem};
            return false;
        }
        m_digests.insert(name, digest);
    }
    *digests = m_digests;
    return true;
}

bool FileReplacement::commit(StoreError *error, int stopAfter)
{
    const QString action = QStringLiteral("无法替换数据文件夹 %1 中的文件").arg(shown(m_folder));
    QString problem;
    if (!FileSync::syncFolder(m_folder) || !writeMarker(m_folder, m_digests, &problem)) {
        *error = {action, problem};
        return false;
    }
    if (!renameCopies(m_folder, stopAfter, &problem)) {
        *error = {action, problem};
        return false;
    }
    if (stopAfter >= 0)
        return true;
    QFile::remove(QDir(m_folder).filePath(MarkerName));
    FileSync::syncFolder(m_folder);
    return true;
}

void FileReplacement::discard()
{
    for (const QString &name : fileNames())
        removeIfPresent(QDir(m_folder).filePath(name + CopySuffix));
    m_digests.clear();
}

bool FileReplacement::finishPending(const QString &dataFolder, StoreError *error)
{
    if (QFileInfo::exists(QDir(dataFolder).filePath(MarkerName)))
        return finishMarked(dataFolder, error);
    FileReplacement(dataFolder).discard();
    QFile::remove(QDir(dataFolder).filePath(MarkerName + QStringLiteral(".tmp")));
    return true;
}
