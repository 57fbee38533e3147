#include "store/store.h"

#include "store/datafiles.h"
#include "store/filereplacement.h"
#include "store/schema.h"
#include "store/serverdatabase.h"
#include "store/textfunctions.h"

#include <sqlite3.h>

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlDriver>
#include <QSqlRecord>

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("herbdesk-%1").arg(counter.fetchAndAddRelaxed(1));
}

// At start another program's lock is reported at once, so that the user can decide; while the
// program runs, a short lock by another program (a copy being taken, say) is waited out.
constexpr int StartBusyTimeoutMs = 200;
constexpr int RunningBusyTimeoutMs = 5000;

enum class ReadTrouble { Locked, Damaged, Other };

ReadTrouble readTroubleOf(const QSqlError &error)
{
    // The engine's result codes SQLITE_BUSY and SQLITE_LOCKED, SQLITE_CORRUPT and SQLITE_NOTADB,
    // with or without an extended code in the upper bits.
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5:
    case 6:
        return ReadTrouble::Locked;
    case 11:
    case 26:
        return ReadTrouble::Damaged;
    default:
        return ReadTrouble::Other;
    }
}

// Plans that do not look at the values bound to a statement. Otherwise the engine prepares a
// statement anew whenever a bound LIKE pattern changes, which is most of what a keystroke of
// search as you type costs; the prefix of a pattern reaches the index as a range instead.
bool keepPlansWhateverTheValues(const QSqlDatabase &db, StoreError *error)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = {QStringLiteral("无法设置数据文件"), QStringLiteral("数据库连接不是 SQLite")};
        return false;
    }
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    const int status =
        sqlite3_db_config(connection, SQLITE_DBCONFIG_ENABLE_QPSG, 1, static_cast<int *>(nullptr));
    if (status != SQLITE_OK) {
        *error = {QStringLiteral("无法设置数据文件"), QString::fromUtf8(sqlite3_errstr(status))};
        return false;
    }
    return true;
}

} // namespace

QString selectSql(const Dialect &dialect, const Query &query, const QString &columns,
                  QVariantList *values)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, quotedName(query.table));
    if (!query.where.isEmpty())
        sql += QLatin1String(" WHERE ") + query.where.sql(dialect, values);
    return sql;
}

Store::Store() : m_connectionName(nextConnectionName()) {}

Store::~Store()
{
    close();
}

bool Store::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

void Store::close()
{
    // The planner's statistics go stale as the tables grow; refreshing what the run's queries
    // needed, at a bounded cost per table, keeps the next run's plans good.
    if (isOpen() && m_dialect.engine() == Dialect::Engine::SQLite) {
        exec(QStringLiteral("PRAGMA analysis_limit=1000"), {});
        exec(QStringLiteral("PRAGMA optimize"), {});
    }
    disconnect();
}

void Store::disconnect()
{
    m_statements.clear();
    m_columns.clear();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

void Store::fail(const QString &action, const QString &detail)
{
    m_lastError = {action, detail};
}

QString Store::shownPath(const FileDef &file) const
{
    return QDir::toNativeSeparators(QDir(folder()).filePath(file.fileName));
}

void Store::failOpening(StoreError::Kind kind, const FileDef &file, const QString &action,
                        const QString &detail)
{
    m_lastError = {action, detail, kind, {file.fileName}};
}

bool Store::exec(const QString &sql, const QString &action)
{
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        m_lastError = StoreError::fromEngine(action, query.lastError());
        return false;
    }
    return true;
}

bool Store::run(QSqlQuery &statement, const QString &action)
{
    if (!statement.exec()) {
        m_lastError = StoreError::fromEngine(action, statement.lastError());
        return false;
    }
    return true;
}

QSqlQuery *Store::prepared(const QString &sql, StoreError *error)
{
    // A run's statements are a few dozen shapes; a runaway set starts afresh.
    if (m_statements.size() > 500)
        m_statements.clear();
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second.get();
    auto statement = std::make_unique<QSqlQuery>(m_db);
    statement->setForwardOnly(m_dialect.readsRowByRow());
    if (!statement->prepare(sql)) {
        *error = StoreError::fromEngine(QStringLiteral("查询失败"), statement->lastError());
        return nullptr;
    }
    return m_statements.emplace(sql, std::move(statement)).first->second.get();
}

QStringList Store::columnsOf(const QString &table, StoreError *error)
{
    const auto found = m_columns.constFind(table);
    if (found != m_columns.constEnd())
        return *found;
    QSqlQuery statement(m_db);
    if (!statement.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quotedName(table)))) {
        *error = {QStringLiteral("查询 %1 失败").arg(table), statement.lastError().text()};
        return {};
    }
    QStringList columns;
    const QSqlRecord record = statement.record();
    for (int i = 0; i < record.count(); ++i) {
        if (!m_dialect.isHidden(record.fieldName(i)))
            columns << record.fieldName(i);
    }
    m_columns.insert(table, columns);
    return columns;
}

bool Store::seeksIndex(const Query &query, const QString &index, QString *plan)
{
    QVariantList values;
    const QString select = selectSql(m_dialect, query, QStringLiteral("rowid"), &values);
    QString problem;
    const QStringList steps = m_dialect.plan(m_db, select, values, &problem);
    *plan = problem.isEmpty() ? steps.join(QLatin1Char('\n')) : problem;
    return m_dialect.seeksIndex(steps, index);
}

bool Store::open(const QString &folder, MissingFiles missing)
{
    return open(DataLocation::files(folder), missing);
}

bool Store::open(const DataLocation &location, MissingFiles missing)
{
    close();
    m_lastError = {};
    m_location = location;
    m_dialect = Dialect(location.isServer() ? Dialect::Engine::PostgreSQL
                                            : Dialect::Engine::SQLite);
    if (location.isServer() ? openServer(missing) : openFiles(missing))
        return true;
    const StoreError error = m_lastError;
    disconnect();
    m_lastError = error;
    return false;
}

bool Store::openServer(MissingFiles missing)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    const auto create = missing == MissingFiles::Create  ? ServerDatabase::Create::Missing
                        : missing == MissingFiles::Report ? ServerDatabase::Create::AtFirstStart
                                                          : ServerDatabase::Create::Nothing;
    return ServerDatabase::connect(m_db, *m_location.server, &m_lastError)
           && ServerDatabase::prepare(m_db, *m_location.server, create, &m_lastError);
}

bool Store::openFiles(MissingFiles missing)
{
    const QString dataFolder = folder();
    if (missing == MissingFiles::Refuse && !QFileInfo(dataFolder).isDir()) {
        fail(QStringLiteral("没有数据文件夹 %1").arg(QDir::toNativeSeparators(dataFolder)), {});
        return false;
    }
    if (!QDir().mkpath(dataFolder)) {
        fail(QStringLiteral("无法建立数据文件夹 %1").arg(QDir::toNativeSeparators(dataFolder)), {});
        return false;
    }
    // A restore killed half-way is finished before any file is looked at.
    if (!FileReplacement::finishPending(dataFolder, &m_lastError))
        return false;
    const auto &files = Schema::files();
    if (!DataFiles::finishCreation(dataFolder, &m_lastError))
        return false;
    const QStringList absent = DataFiles::missing(dataFolder);
    // A folder without any of the files is a first start; a folder that lost some of them
    // would silently lose their data, so the caller decides.
    const bool firstStart = absent.size() == qsizetype(files.size());
    if (!absent.isEmpty() && ((!firstStart && missing == MissingFiles::Report)
                              || missing == MissingFiles::Refuse)) {
        m_lastError = {QStringLiteral("数据文件夹 %1 中缺少数据文件 %2")
                           .arg(QDir::toNativeSeparators(dataFolder),
                                absent.join(QStringLiteral("、"))),
                       {}, StoreError::Kind::FilesMissing, absent};
        return false;
    }
    if (!absent.isEmpty() && !DataFiles::create(dataFolder, absent, &m_lastError))
        return false;

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(StartBusyTimeoutMs));
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!openFile(files[i], i == 0))
            return false;
    }
    return exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(RunningBusyTimeoutMs),
                QStringLiteral("无法设置数据文件"))
           && TextFunctions::install(m_db, &m_lastError)
           && keepPlansWhateverTheValues(m_db, &m_lastError);
}

bool Store::openFile(const FileDef &file, bool isMain)
{
    const QString path = QDir(folder()).filePath(file.fileName);
    if (!QFileInfo(path).isFile()) {
        failOpening(StoreError::Kind::Failed, file,
                    QStringLiteral("数据文件 %1 不是文件").arg(shownPath(file)), {});
        return false;
    }
    // A file that cannot be written would open and then refuse the first posting, after the
    // clerk has typed a whole delivery: it is refused at the start instead.
    if (!QFileInfo(path).isWritable()) {
        failOpening(StoreError::Kind::Failed, file,
                    QStringLiteral("数据文件 %1 是只读的，不能保存修改").arg(shownPath(file)), {});
        return false;
    }
    // Looked at before the engine first reads the file, since reading plays the journal back.
    // A file cut short is caught before the engine reads pages that are not there; after an
    // interrupted write only the played-back file tells the truth.
    const bool leftJournal = DataFiles::hasLeftJournal(path);
    if (!leftJournal && !checkLength(file))
        return false;
    if (!attach(file, isMain) || !checkReadable(file) || !checkWritable(file))
        return false;
    if (leftJournal && (!checkLength(file) || !checkPages(file)))
        return false;
    // Commits that span attached files are atomic only with a rollback journal (never WAL);
    // truncating it instead of deleting it spares a directory sync on every commit. A commit
    // is on the disk before it is reported.
    const QString schema = quotedName(file.schemaName);
    const QString action = QStringLiteral("无法设置数据文件 %1").arg(shownPath(file));
    if (!exec(QStringLiteral("PRAGMA %1.journal_mode=TRUNCATE").arg(schema), action)
        || !exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema), action)
        || !checkTables(file)) {
        return false;
    }
    completeFile(file);
    return true;
}

bool Store::attach(const FileDef &file, bool isMain)
{
    // Attaching reads the file's schema, so a lock or damage may show here already.
    if (isMain) {
        m_db.setDatabaseName(QDir(folder()).filePath(file.fileName));
        if (m_db.open())
            return true;
        failReading(file, m_db.lastError());
        return false;
    }
    QSqlQuery attach(m_db);
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quotedName(file.schemaName)));
    attach.addBindValue(QDir(folder()).filePath(file.fileName));
    if (attach.exec())
        return true;
    failReading(file, attach.lastError());
    return false;
}

bool Store::checkReadable(const FileDef &file)
{
    QSqlQuery probe(m_db);
    if (probe.exec(QStringLiteral("SELECT count(*) FROM %1.sqlite_master")
                       .arg(quotedName(file.schemaName)))) {
        return true;
    }
    failReading(file, probe.lastError());
    return false;
}

void Store::failReading(const FileDef &file, const QSqlError &error)
{
    switch (readTroubleOf(error)) {
    case ReadTrouble::Locked:
        failOpening(StoreError::Kind::FileInUse, file,
                    QStringLiteral("数据文件正被其他程序使用：%1").arg(shownPath(file)),
                    error.text());
        break;
    case ReadTrouble::Damaged:
        failOpening(StoreError::Kind::FileDamaged, file,
                    QStringLiteral("数据文件 %1 已损坏或不是数据库").arg(shownPath(file)),
                    error.text());
        break;
    case ReadTrouble::Other:
        failOpening(StoreError::Kind::Failed, file,
                    QStringLiteral("无法打开数据文件 %1").arg(shownPath(file)), error.text());
        break;
    }
}

bool Store::checkWritable(const FileDef &file)
{
    // Reading works beside another program's unfinished write, which would block every posting
    // later on; taking the write lock for a moment finds it now.
    QSqlQuery probe(m_db);
    if (probe.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        probe.finish();
        exec(QStringLiteral("ROLLBACK"), {});
        return true;
    }
    if (readTroubleOf(probe.lastError()) != ReadTrouble::Locked)
        return true;
    failReading(file, probe.lastError());
    return false;
}

bool Store::checkLength(const FileDef &file)
{
    const QString fault = DataFiles::lengthFault(QDir(folder()).filePath(file.fileName));
    if (fault.isEmpty())
        return true;
    failOpening(StoreError::Kind::FileDamaged, file,
                QStringLiteral("数据文件 %1 已损坏").arg(shownPath(file)), fault);
    return false;
}

bool Store::checkPages(const FileDef &file)
{
    // The last run ended during a write, which the engine has now rolled back; whether the disk
    // kept every page it was given shows only in the pages themselves.
    QSqlQuery check(m_db);
    QStringList problems;
    if (check.exec(QStringLiteral("PRAGMA %1.quick_check(3)").arg(quotedName(file.schemaName)))) {
        while (check.next())
            problems << check.value(0).toString();
        if (problems == QStringList{QStringLiteral("ok")})
            return true;
    } else {
        problems << check.lastError().text();
    }
    failOpening(StoreError::Kind::FileDamaged, file,
                QStringLiteral("数据文件 %1 已损坏").arg(shownPath(file)),
                problems.join(QStringLiteral("；")));
    return false;
}

bool Store::checkTables(const FileDef &file)
{
    for (const TableDef &table : file.tables) {
        QSqlQuery info(m_db);
        if (!info.exec(QStringLiteral("PRAGMA %1.table_info(%2)")
                           .arg(quotedName(file.schemaName), quotedName(table.name)))) {
            failOpening(StoreError::Kind::FileDamaged, file,
                        QStringLiteral("数据文件 %1 无法读取").arg(shownPath(file)),
                        info.lastError().text());
            return false;
        }
        QStringList present;
        while (info.next())
            present << info.value(1).toString();
        if (present.isEmpty()) {
            failOpening(StoreError::Kind::FileDamaged, file,
                        QStringLiteral("数据文件 %1 缺少表 %2").arg(shownPath(file), table.name),
                        {});
            return false;
        }
        for (const ColumnDef &column : table.columns) {
            if (!present.contains(column.name)) {
                failOpening(StoreError::Kind::FileDamaged, file,
                            QStringLiteral("数据文件 %1 的表 %2 缺少列 %3")
                                .arg(shownPath(file), table.name, column.name),
                            {});
                return false;
            }
        }
    }
    return true;
}

QSet<QString> Store::objectNames(const FileDef &file)
{
    QSet<QString> names;
    QSqlQuery listing(m_db);
    listing.setForwardOnly(true);
    if (listing.exec(QStringLiteral("SELECT name FROM %1.sqlite_master")
                         .arg(quotedName(file.schemaName)))) {
        while (listing.next())
            names.insert(listing.value(0).toString());
    }
    return names;
}

void Store::completeFile(const FileDef &file)
{
    // Only what is missing is written: a write transaction over the attached files costs a
    // master journal and its syncs at every start even when it changes nothing.
    const QStringList statements = m_dialect.completing(file, objectNames(file));
    if (statements.isEmpty())
        return;
    // Indexes only speed up queries, and the added tables serve only the statistics views: a
    // file that cannot take them (read-only, say) still works, and those views report the
    // engine's words. One transaction for all of them: a new file then costs one sync.
    Transaction transaction(*this);
    for (const QString &sql : statements)
        exec(sql, {});
    transaction.commit();
    m_lastError = {};
}

QVariant Store::aggregate(const Query &query, const QString &expression, const QString &action)
{
    // A Null sum is a valid answer, so callers tell a failure by the error alone.
    m_lastError = {};
    QSqlQuery statement(m_db);
    statement.setForwardOnly(m_dialect.readsRowByRow());
    QVariantList values;
    statement.prepare(selectSql(m_dialect, query, expression, &values));
    for (const QVariant &value : std::as_const(values))
        statement.addBindValue(value);
    if (!run(statement, action) || !statement.next())
        return QVariant();
    return statement.value(0);
}

QVariant Store::count(const Query &query, const QString &column)
{
    return aggregate(query, QStringLiteral("count(%1)").arg(quotedName(column)),
                     QStringLiteral("统计 %1 失败").arg(query.table));
}

QVariant Store::sum(const Query &query, const QString &column)
{
    return aggregate(query, QStringLiteral("sum(%1)").arg(quotedName(column)),
                     QStringLiteral("合计 %1 失败").arg(query.table));
}

QVariantList Store::totals(const Query &query, const QList<Total> &wanted)
{
    QStringList expressions;
    for (const Total &total : wanted) {
        expressions << QStringLiteral("%1(%2)").arg(total.kind == Total::Count ? "count" : "sum",
                                                    quotedName(total.column));
    }
    QSqlQuery statement(m_db);
    statement.setForwardOnly(m_dialect.readsRowByRow());
    QVariantList bound;
    statement.prepare(selectSql(m_dialect, query, expressions.join(QLatin1String(", ")), &bound));
    for (const QVariant &value : std::as_const(bound))
        statement.addBindValue(value);
    m_lastError = {};
    if (!run(statement, QStringLiteral("合计 %1 失败").arg(query.table)) || !statement.next())
        return {};
    QVariantList values;
    for (int i = 0; i < wanted.size(); ++i)
        values << statement.value(i);
    return values;
}

qint64 Store::rowCount(const Query &query)
{
    return aggregate(query, QStringLiteral("count(*)"),
                     QStringLiteral("统计 %1 失败").arg(query.table))
        .toLongLong();
}

bool Store::begin()
{
    if (m_transactionDepth++ > 0)
        return true;
    const QStringList statements = m_dialect.beginWriting();
    for (qsizetype i = 0; i < statements.size(); ++i) {
        if (!exec(statements[i], QStringLiteral("无法开始事务"))) {
            // The transaction the first statement opened ends with its settings.
            if (i > 0)
                exec(QStringLiteral("ROLLBACK"), {});
            m_transactionDepth = 0;
            return false;
        }
    }
    return true;
}

bool Store::commit()
{
    if (m_transactionDepth == 0)
        return false;
    if (--m_transactionDepth > 0)
        return true;
    if (!exec(QStringLiteral("COMMIT"), QStringLiteral("无法提交"))) {
        exec(QStringLiteral("ROLLBACK"), {});
        return false;
    }
    return true;
}

void Store::rollback()
{
    if (m_transactionDepth == 0)
        return;
    m_transactionDepth = 0;
    const StoreError cause = m_lastError;
    exec(QStringLiteral("ROLLBACK"), {});
    m_lastError = cause;
}

Transaction::Transaction(Store &store) : m_store(store), m_active(store.begin()) {}

Transaction::~Transaction()
{
    if (m_active)
        m_store.rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_store.commit();
}
