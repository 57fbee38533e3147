#include "store/store.h"

#include "store/schema.h"
#include "store/textfunctions.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("herbdesk-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString qualified(const FileDef &file, const QString &name)
{
    return quotedName(file.schemaName) + QLatin1Char('.') + quotedName(name);
}

} // namespace

QString selectSql(const Query &query, const QString &columns)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, quotedName(query.table));
    if (!query.where.isEmpty())
        sql += QLatin1String(" WHERE ") + query.where.sql();
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

bool Store::exec(const QString &sql, const QString &action)
{
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        fail(action, query.lastError().text());
        return false;
    }
    return true;
}

bool Store::run(QSqlQuery &statement, const QString &action)
{
    if (!statement.exec()) {
        fail(action, statement.lastError().text());
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
    statement->setForwardOnly(true);
    if (!statement->prepare(sql)) {
        *error = {QStringLiteral("查询失败"), statement->lastError().text()};
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
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    m_columns.insert(table, columns);
    return columns;
}

bool Store::open(const QString &folder)
{
    close();
    m_lastError = {};
    m_folder = folder;
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("无法建立数据文件夹 %1").arg(QDir::toNativeSeparators(folder)), {});
        return false;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    const auto &files = Schema::files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!openFile(files[i], i == 0)) {
            const StoreError error = m_lastError;
            close();
            m_lastError = error;
            return false;
        }
    }
    return TextFunctions::install(m_db, &m_lastError);
}

bool Store::openFile(const FileDef &file, bool isMain)
{
    const QString path = QDir(m_folder).filePath(file.fileName);
    const QString shownPath = QDir::toNativeSeparators(path);
    const bool existed = QFileInfo::exists(path);
    if (existed && !QFileInfo(path).isFile()) {
        fail(QStringLiteral("数据文件 %1 不是文件").arg(shownPath), {});
        return false;
    }

    if (isMain) {
        m_db.setDatabaseName(path);
        if (!m_db.open()) {
            fail(QStringLiteral("无法打开数据文件 %1").arg(shownPath), m_db.lastError().text());
            return false;
        }
    } else {
        QSqlQuery attach(m_db);
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quotedName(file.schemaName)));
        attach.addBindValue(path);
        if (!attach.exec()) {
            fail(QStringLiteral("无法打开数据文件 %1").arg(shownPath), attach.lastError().text());
            return false;
        }
    }

    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM %1.sqlite_master")
                        .arg(quotedName(file.schemaName)))) {
        fail(QStringLiteral("数据文件 %1 已损坏或不是数据库").arg(shownPath),
             probe.lastError().text());
        return false;
    }
    probe.finish();
    // Commits that span attached files are atomic only with a rollback journal (never WAL);
    // truncating it instead of deleting it spares a directory sync on every commit.
    if (!exec(QStringLiteral("PRAGMA %1.journal_mode=TRUNCATE").arg(quotedName(file.schemaName)),
              QStringLiteral("无法设置数据文件 %1").arg(shownPath))) {
        return false;
    }

    if (existed) {
        if (!checkTables(file))
            return false;
    } else if (!createTables(file)) {
        return false;
    }
    createIndexes(file);
    return true;
}

bool Store::checkTables(const FileDef &file)
{
    const QString shownPath = QDir::toNativeSeparators(QDir(m_folder).filePath(file.fileName));
    for (const TableDef &table : file.tables) {
        QSqlQuery info(m_db);
        if (!info.exec(QStringLiteral("PRAGMA %1.table_info(%2)")
                           .arg(quotedName(file.schemaName), quotedName(table.name)))) {
            fail(QStringLiteral("数据文件 %1 无法读取").arg(shownPath), info.lastError().text());
            return false;
        }
        QStringList present;
        while (info.next())
            present << info.value(1).toString();
        if (present.isEmpty()) {
            fail(QStringLiteral("数据文件 %1 缺少表 %2").arg(shownPath, table.name), {});
            return false;
        }
        for (const ColumnDef &column : table.columns) {
            if (!present.contains(column.name)) {
                fail(QStringLiteral("数据文件 %1 的表 %2 缺少列 %3")
                         .arg(shownPath, table.name, column.name),
                     {});
                return false;
            }
        }
    }
    return true;
}

bool Store::createTables(const FileDef &file)
{
    const QString action = QStringLiteral("无法建立数据文件 %1")
                               .arg(QDir::toNativeSeparators(
                                   QDir(m_folder).filePath(file.fileName)));
    Transaction transaction(*this);
    for (const TableDef &table : file.tables) {
        QStringList columns;
        for (const ColumnDef &column : table.columns)
            columns << quotedName(column.name) + QLatin1Char(' ')
                           + Schema::declaredType(column.kind);
        if (!exec(QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(qualified(file, table.name), columns.join(QLatin1String(", "))),
                  action)) {
            return false;
        }
    }
    if (!insertRequiredRows(file))
        return false;
    return transaction.commit();
}

bool Store::insertRequiredRows(const FileDef &file)
{
    const QString action = QStringLiteral("无法写入初始数据");
    for (const TableDef &table : file.tables) {
        QVariantList row;
        if (table.name == QLatin1String("gongsi"))
            row = {QStringLiteral("岚溪材进销存")};
        else if (table.name == QLatin1String("danjuhao"))
            row = {1.0, 1.0};
        else if (table.name == QLatin1String("user"))
            row = {QStringLiteral("超级用户"), QStringLiteral("572946")};
        else
            continue;
        QStringList marks;
        for (int i = 0; i < row.size(); ++i)
            marks << QStringLiteral("?");
        QSqlQuery insert(m_db);
        insert.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                           .arg(qualified(file, table.name), marks.join(QLatin1Char(','))));
        for (const QVariant &value : row)
            insert.addBindValue(value);
        if (!run(insert, action))
            return false;
    }
    return true;
}

void Store::createIndexes(const FileDef &file)
{
    // Indexes only speed up queries; a file that cannot take one (read-only, say) still works.
    for (const QString &retired : file.retiredIndexes)
        exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(qualified(file, retired)), {});
    for (const IndexDef &index : file.indexes) {
        QString name = QStringLiteral("idx_%1_%2").arg(index.table, index.columns.join('_'));
        if (!index.where.isEmpty())
            name += QLatin1String("_pending");
        QStringList columns;
        for (const QString &column : index.columns)
            columns << quotedName(column)
                           + (index.noCase ? QStringLiteral(" COLLATE NOCASE") : QString());
        QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                          .arg(qualified(file, name), quotedName(index.table),
                               columns.join(QLatin1String(", ")));
        if (!index.where.isEmpty())
            sql += QLatin1String(" WHERE ") + index.where;
        exec(sql, {});
    }
    m_lastError = {};
}

QVariant Store::aggregate(const Query &query, const QString &expression, const QString &action)
{
    // A Null sum is a valid answer, so callers tell a failure by the error alone.
    m_lastError = {};
    QSqlQuery statement(m_db);
    statement.setForwardOnly(true);
    statement.prepare(selectSql(query, expression));
    for (const QVariant &value : query.where.values())
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
    statement.setForwardOnly(true);
    statement.prepare(selectSql(query, expressions.join(QLatin1String(", "))));
    for (const QVariant &value : query.where.values())
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
    if (!exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("无法开始事务"))) {
        m_transactionDepth = 0;
        return false;
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
