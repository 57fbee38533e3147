#include "store/snapshot.h"

#include "store/filesync.h"
#include "store/query.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

// Pages per step of a copy: about 4 MB, small enough for a smooth progress bar.
constexpr int PagesPerStep = 1024;
// A write of the program's own connection that is being committed is waited out.
constexpr int BusyTimeoutMs = 5000;

// A connection of the engine's own API, closed when it goes.
class Connection
{
public:
    Connection() = default;
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool open(const QString &path, int flags)
    {
        const int status = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags,
                                           nullptr);
        sqlite3_busy_timeout(m_db, BusyTimeoutMs);
        return status == SQLITE_OK;
    }
    sqlite3 *handle() const { return m_db; }
    QString errorText() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("内存不足");
    }

    // Runs one statement, binding the texts; each result row's first column goes to *values.
    bool run(const QString &sql, const QStringList &texts = {}, QList<QVariant> *values = nullptr)
    {
        sqlite3_stmt *statement = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr)
            != SQLITE_OK) {
            return false;
        }
        for (int i = 0; i < texts.size(); ++i) {
            const QByteArray bound = texts[i].toUtf8();
            sqlite3_bind_text(statement, i + 1, bound.constData(), int(bound.size()),
                              SQLITE_TRANSIENT);
        }
        int status;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!values)
                continue;
            if (sqlite3_column_type(statement, 0) == SQLITE_INTEGER)
                values->append(qint64(sqlite3_column_int64(statement, 0)));
            else
                values->append(QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
        }
        sqlite3_finalize(statement);
        return status == SQLITE_DONE;
    }

private:
    sqlite3 *m_db = nullptr;
};

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

StoreError damaged(const QString &path, const QString &fault, const QString &detail = {})
{
    return {QStringLiteral("数据文件 %1 %2").arg(shown(path), fault), detail,
            StoreError::Kind::FileDamaged, {QFileInfo(path).fileName()}};
}

class Copier
{
public:
    Copier(const QString &dataFolder, const QString &targetFolder,
           const DataSnapshot::Progress &progress, StoreError *error)
        : m_data(dataFolder), m_target(targetFolder), m_progress(progress), m_error(error)
    {
    }

    DataSnapshot::Outcome run(QList<TableRows> *rows)
    {
        if (!openAll() || !holdAll() || !countRows(rows) || !countPages())
            return DataSnapshot::Outcome::Failed;
        for (const FileDef &file : Schema::files()) {
            const DataSnapshot::Outcome outcome = copyFile(file);
            if (outcome != DataSnapshot::Outcome::Copied)
                return outcome;
        }
        if (!FileSync::syncFolder(m_target))
            return fail(QStringLiteral("无法写入文件夹 %1").arg(shown(m_target)), {});
        return DataSnapshot::Outcome::Copied;
    }

private:
    DataSnapshot::Outcome fail(const QString &action, const QString &detail)
    {
        *m_error = {action, detail};
        return DataSnapshot::Outcome::Failed;
    }
    bool failReading(const QString &detail)
    {
        *m_error = {QStringLiteral("无法读取数据文件夹 %1").arg(shown(m_data)), detail};
        return false;
    }

    bool openAll()
    {
        const auto &files = Schema::files();
        if (!m_source.open(QDir(m_data).filePath(files.front().fileName), SQLITE_OPEN_READONLY))
            return failReading(m_source.errorText());
        for (std::size_t i = 1; i < files.size(); ++i) {
            const QString attach =
                QStringLiteral("ATTACH DATABASE ? AS %1").arg(quotedName(files[i].schemaName));
            if (!m_source.run(attach, {QDir(m_data).filePath(files[i].fileName)}))
                return failReading(m_source.errorText());
        }
        return true;
    }

    // Reading each file inside one transaction takes its shared lock, which no writer can
    // commit past until the transaction ends: the copies all show the same moment.
    bool holdAll()
    {
        if (!m_source.run(QStringLiteral("BEGIN")))
            return failReading(m_source.errorText());
        for (const FileDef &file : Schema::files()) {
            const QString sql = QStringLiteral("SELECT count(*) FROM %1.sqlite_master")
                                    .arg(quotedName(file.schemaName));
            if (!m_source.run(sql))
                return failReading(m_source.errorText());
        }
        return true;
    }

    bool countRows(QList<TableRows> *rows)
    {
        rows->clear();
        for (const FileDef &file : Schema::files()) {
            for (const TableDef &table : file.tables) {
                QList<QVariant> count;
                const QString sql = QStringLiteral("SELECT count(*) FROM %1.%2")
                                        .arg(quotedName(file.schemaName), quotedName(table.name));
                if (!m_source.run(sql, {}, &count) || count.isEmpty())
                    return failReading(m_source.errorText());
                rows->append({table.name, count.front().toLongLong()});
            }
        }
        return true;
    }

    bool countPages()
    {
        for (const FileDef &file : Schema::files()) {
            QList<QVariant> pages;
            const QString sql =
                QStringLiteral("PRAGMA %1.page_count").arg(quotedName(file.schemaName));
            if (!m_source.run(sql, {}, &pages) || pages.isEmpty())
                return failReading(m_source.errorText());
            m_totalPages += pages.front().toLongLong();
        }
        return true;
    }

    DataSnapshot::Outcome copyFile(const FileDef &file)
    {
        const QString path = QDir(m_target).filePath(file.fileName);
        const QString action = QStringLiteral("无法写入备份文件 %1").arg(shown(path));
        Connection target;
        if (QFileInfo::exists(path))
            return fail(action, QStringLiteral("文件已存在"));
        if (!target.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE))
            return fail(action, target.errorText());
        // A copy cut short is thrown away whole, so it needs no journal; it is synced once
        // at the end instead of at every step.
        target.run(QStringLiteral("PRAGMA journal_mode=OFF"));
        target.run(QStringLiteral("PRAGMA synchronous=OFF"));
        const QByteArray schema = file.schemaName.toUtf8();
        sqlite3_backup *backup =
            sqlite3_backup_init(target.handle(), "main", m_source.handle(), schema.constData());
        if (!backup)
            return fail(action, target.errorText());
        const qint64 before = m_copiedPages;
        int status = SQLITE_OK;
        bool stopped = false;
        while (status == SQLITE_OK) {
            status = sqlite3_backup_step(backup, PagesPerStep);
            m_copiedPages =
                before + sqlite3_backup_pagecount(backup) - sqlite3_backup_remaining(backup);
            if (m_progress && !m_progress(m_copiedPages, m_totalPages)) {
                stopped = true;
                break;
            }
        }
        sqlite3_backup_finish(backup);
        if (stopped)
            return DataSnapshot::Outcome::Stopped;
        if (status != SQLITE_DONE)
            return fail(action, QString::fromUtf8(sqlite3_errstr(status)));
        if (!FileSync::syncFile(path))
            return fail(action, QStringLiteral("无法写入磁盘"));
        return DataSnapshot::Outcome::Copied;
    }

    const QString m_data;
    const QString m_target;
    const DataSnapshot::Progress &m_progress;
    StoreError *m_error;
    Connection m_source;
    qint64 m_totalPages = 0;
    qint64 m_copiedPages = 0;
};

bool checkFile(const FileDef &file, const QString &path, StoreError *error)
{
    if (!QFileInfo(path).isFile()) {
        *error = {QStringLiteral("缺少数据文件 %1").arg(shown(path)), {},
                  StoreError::Kind::FilesMissing, {file.fileName}};
        return false;
    }
    Connection db;
    QList<QVariant> problems;
    if (!db.open(path, SQLITE_OPEN_READONLY)
        || !db.run(QStringLiteral("PRAGMA integrity_check(10)"), {}, &problems)) {
        *error = damaged(path, QStringLiteral("已损坏或不是数据库"), db.errorText());
        return false;
    }
    if (problems != QList<QVariant>{QStringLiteral("ok")}) {
        QStringList texts;
        for (const QVariant &problem : std::as_const(problems))
            texts << problem.toString();
        *error = damaged(path, QStringLiteral("已损坏"), texts.join(QStringLiteral("；")));
        return false;
    }
    for (const TableDef &table : file.tables) {
        QList<QVariant> present;
        // The second column of table_info is the name: select just that.
        const QString sql = QStringLiteral("SELECT name FROM pragma_table_info(?)");
        if (!db.run(sql, {table.name}, &present)) {
            *error = damaged(path, QStringLiteral("无法读取"), db.errorText());
            return false;
        }
        if (present.isEmpty()) {
            *error = damaged(path, QStringLiteral("缺少表 %1").arg(table.name));
            return false;
        }
        for (const ColumnDef &column : table.columns) {
            if (!present.contains(QVariant(column.name))) {
                *error = damaged(path, QStringLiteral("的表 %1 缺少列 %2")
                                           .arg(table.name, column.name));
                return false;
            }
        }
    }
    return true;
}

} // namespace

namespace DataSnapshot {

Outcome copy(const QString &dataFolder, const QString &targetFolder, const Progress &progress,
             QList<TableRows> *rows, StoreError *error)
{
    return Copier(dataFolder, targetFolder, progress, error).run(rows);
}

bool check(const QString &folder, StoreError *error)
{
    for (const FileDef &file : Schema::files()) {
        if (!checkFile(file, QDir(folder).filePath(file.fileName), error))
            return false;
    }
    return true;
}

} // namespace DataSnapshot
