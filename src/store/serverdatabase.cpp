#include "store/serverdatabase.h"

#include "store/dialect.h"
#include "store/query.h"
#include "store/schema.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>

namespace {

const Dialect Server(Dialect::Engine::PostgreSQL);

// Taken while schemas are made, so that two copies started together on an empty database do
// not both make them. Any number that other programs on the database do not use.
constexpr qint64 CreationLock = 0x6865726264657368; // "herbdesh"

QStringList schemaNames()
{
    QStringList names;
    for (const FileDef &file : Schema::files())
        names << Server.schemaOf(file);
    return names;
}

// The reason in the client library's words, without the driver's own last line.
QString reasonOf(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text();
    return text.replace(QLatin1String("FATAL:  "), QString());
}

// Why no connection was made, in the clerk's words, from what the client library said; empty
// when the library's words are all there is to go by.
QString unreachableBecause(const QString &reason)
{
    const auto says = [&reason](const char *words) {
        return reason.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    if (says("could not translate host name") || says("name or service not known")
        || says("failure in name resolution")) {
        return QStringLiteral("找不到这个服务器名称");
    }
    if (says("timeout expired") || says("timed out") || says("no route to host")
        || says("network is unreachable")) {
        return QStringLiteral("网络不通或连接超时");
    }
    if (says("connection refused") || says("no such file or directory")
        || says("is the server running")) {
        return QStringLiteral("服务器没有运行，或不在这个地址和端口上接受连接");
    }
    return QString();
}

StoreError connectionError(const ServerAddress &address, const QSqlError &error)
{
    // The library's words span lines indented with tabs; a message box shows them as one line.
    QStringList lines = reasonOf(error).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.simplified();
    const QString reason = lines.join(QLatin1String("; "));
    QString trouble = QStringLiteral("无法连接数据库服务器 %1").arg(address.text());
    const QString because = unreachableBecause(reason);
    if (!because.isEmpty())
        trouble += QStringLiteral("（%1）").arg(because);
    if (reason.contains(QLatin1String("database")) && reason.contains(QLatin1String("not exist")))
        trouble = QStringLiteral("数据库服务器上没有数据库 %1（%2）")
                      .arg(address.database, address.text());
    else if (reason.contains(QLatin1String("password")) || reason.contains(QLatin1String("role"))
             || reason.contains(QLatin1String("authentication"))
             || reason.contains(QLatin1String("pg_hba.conf")))
        trouble = QStringLiteral("数据库服务器 %1 拒绝登录").arg(address.text());
    return {trouble, reason};
}

class Statements
{
public:
    Statements(const QSqlDatabase &db, const ServerAddress &address, StoreError *error)
        : m_db(db), m_address(address), m_error(error)
    {
    }

    bool run(const QString &sql, const QVariantList &values = {}, QSqlQuery *result = nullptr)
    {
        // Results are small and read whole, so that the next statement finds the connection free.
        QSqlQuery statement(m_db);
        // The server prepares queries and changes of rows only: other statements run as text.
        bool done;
        if (values.isEmpty()) {
            done = statement.exec(sql);
        } else {
            statement.prepare(sql);
            for (int i = 0; i < values.size(); ++i)
                statement.bindValue(i, values[i]);
            done = statement.exec();
        }
        if (!done) {
            *m_error = {QStringLiteral("无法使用数据库 %1").arg(m_address.text()),
                        reasonOf(statement.lastError())};
            return false;
        }
        if (result)
            *result = std::move(statement);
        return true;
    }

    // Ends the transaction, keeping the error that ended it.
    void rollback()
    {
        const StoreError cause = *m_error;
        run(QStringLiteral("ROLLBACK"));
        *m_error = cause;
    }

    // The first column of the first row; no value on failure.
    std::optional<QVariant> value(const QString &sql)
    {
        QSqlQuery result;
        if (!run(sql, {}, &result))
            return std::nullopt;
        return result.next() ? result.value(0) : QVariant();
    }

private:
    QSqlDatabase m_db;
    const ServerAddress &m_address;
    StoreError *m_error;
};

QString thisComputersClerk()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return QSysInfo::machineHostName() + QLatin1Char('/') + user;
}

bool setUpSession(QSqlDatabase &db, const ServerAddress &address, StoreError *error)
{
    Statements statements(db, address, error);
    // Statements are prepared once and run often: planned with their values, a prefix search
    // reads the index range of its pattern. New pending lines take the session's clerk.
    const QString clerk = address.clerk.isEmpty() ? thisComputersClerk() : address.clerk;
    if (!statements.run(QStringLiteral("SET search_path TO ") + schemaNames().join(", "))
        || !statements.run(QStringLiteral("SET plan_cache_mode TO force_custom_plan"))
        || !statements.run(QStringLiteral("SET client_min_messages TO warning"))
        || !statements.run(QStringLiteral("SELECT set_config('herbdesk.clerk', ?, false)"),
                           {clerk})) {
        return false;
    }
    const auto encoding = statements.value(QStringLiteral("SHOW server_encoding"));
    if (!encoding)
        return false;
    if (encoding->toString() != QLatin1String("UTF8")) {
        *error = {QStringLiteral("数据库 %1 的编码是 %2，本程序需要 UTF8 编码的数据库")
                      .arg(address.text(), encoding->toString())};
        return false;
    }
    // Letter case beyond A to Z is known only to a database made with a UTF-8 locale.
    const auto cases = statements.value(QStringLiteral(
        "SELECT lower('\u00c9\u03a3\uff24' COLLATE \"default\") = '\u00e9\u03c3\uff44'"));
    if (!cases)
        return false;
    if (!cases->toBool()) {
        *error = {QStringLiteral("数据库 %1 不能区分中文以外文字的大小写（区域设置不是 UTF-8），"
                                 "请用 createdb -E UTF8 --locale=C.UTF-8 -T template0 另建数据库")
                      .arg(address.text())};
        return false;
    }
    return true;
}

QString qualified(const QString &schema, const QString &name)
{
    return quotedName(schema) + QLatin1Char('.') + quotedName(name);
}

// The columns of the program's tables as the database holds them, by "schema.table".
bool readTables(Statements &statements, QSet<QString> *schemas,
                QHash<QString, QStringList> *columns)
{
    const QStringList names = schemaNames();
    const QString marks = QStringList(names.size(), QStringLiteral("?")).join(',');
    QVariantList values;
    for (const QString &name : names)
        values << name;
    QSqlQuery result;
    if (!statements.run(QStringLiteral("SELECT nspname FROM pg_namespace WHERE nspname IN (%1)")
                            .arg(marks),
                        values, &result)) {
        return false;
    }
    while (result.next())
        schemas->insert(result.value(0).toString());
    if (!statements.run(
            QStringLiteral("SELECT n.nspname, c.relname, a.attname FROM pg_attribute a "
                           "JOIN pg_class c ON c.oid = a.attrelid "
                           "JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "WHERE n.nspname IN (%1) AND c.relkind IN ('r', 'p') "
                           "AND a.attnum > 0 AND NOT a.attisdropped "
                           "ORDER BY n.nspname, c.relname, a.attnum")
                .arg(marks),
            values, &result)) {
        return false;
    }
    while (result.next()) {
        (*columns)[result.value(0).toString() + QLatin1Char('.') + result.value(1).toString()]
            << result.value(2).toString();
    }
    return true;
}

bool checkSchema(const FileDef &file, const QHash<QString, QStringList> &columns,
                 const ServerAddress &address, StoreError *error)
{
    const QString schema = Server.schemaOf(file);
    for (const TableDef &table : file.tables) {
        const QStringList present = columns.value(schema + QLatin1Char('.') + table.name);
        QString fault;
        if (present.isEmpty()) {
            fault = QStringLiteral("缺少表 %1").arg(table.name);
        } else {
            for (const ColumnDef &column : table.columns) {
                if (!present.contains(column.name)) {
                    fault = QStringLiteral("的表 %1 缺少列 %2").arg(table.name, column.name);
                    break;
                }
            }
            if (fault.isEmpty() && !present.contains(QStringLiteral("rowid")))
                fault = QStringLiteral("的表 %1 缺少标识列 rowid").arg(table.name);
        }
        if (!fault.isEmpty()) {
            *error = {QStringLiteral("数据库 %1 中的模式 %2 %3").arg(address.text(), schema, fault),
                      {}, StoreError::Kind::FileDamaged, {schema}};
            return false;
        }
    }
    return true;
}

bool createSchema(Statements &statements, const FileDef &file)
{
    const QString schema = Server.schemaOf(file);
    if (!statements.run(QStringLiteral("CREATE SCHEMA %1").arg(quotedName(schema))))
        return false;
    for (const TableDef &table : file.tables) {
        const QString name = qualified(schema, table.name);
        if (!statements.run(QStringLiteral("CREATE TABLE %1 (%2)")
                                .arg(name, Server.columnDeclarations(table.columns).join(", "))))
            return false;
        const QVariantList row = Schema::requiredRow(table.name);
        if (row.isEmpty())
            continue;
        QStringList names;
        for (int i = 0; i < row.size(); ++i)
            names << quotedName(table.columns[i].name);
        if (!statements.run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(name, names.join(", "),
                                     QStringList(row.size(), QStringLiteral("?")).join(',')),
                            row)) {
            return false;
        }
    }
    for (const IndexDef &index : file.indexes) {
        if (!statements.run(Server.createIndex(file, index)))
            return false;
    }
    return true;
}

// Creates the missing schemas, all or none.
bool createSchemas(Statements &statements, const QSet<QString> &wanted)
{
    if (!statements.run(QStringLiteral("BEGIN")))
        return false;
    // Another copy may have made them while this one waited for the lock.
    QSet<QString> present;
    QHash<QString, QStringList> columns;
    bool made = statements.run(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {CreationLock})
                && readTables(statements, &present, &columns);
    for (const FileDef &file : Schema::files()) {
        const QString schema = Server.schemaOf(file);
        if (made && wanted.contains(schema) && !present.contains(schema))
            made = createSchema(statements, file);
    }
    if (made && statements.run(QStringLiteral("COMMIT")))
        return true;
    statements.rollback();
    return false;
}

} // namespace

namespace ServerDatabase {

bool connect(QSqlDatabase &db, const ServerAddress &address, StoreError *error)
{
    if (!db.isValid()) {
        *error = {QStringLiteral("无法连接数据库服务器 %1").arg(address.text()),
                  QStringLiteral("缺少 PostgreSQL 数据库驱动（Debian 软件包 libqt6sql6-psql）")};
        return false;
    }
    db.setHostName(address.host);
    if (address.port != 0)
        db.setPort(address.port);
    db.setUserName(address.user);
    db.setDatabaseName(address.database);
    // A server that does not answer is reported after a few seconds, not after minutes.
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=herbdesk"));
    if (!db.open()) {
        *error = connectionError(address, db.lastError());
        return false;
    }
    return setUpSession(db, address, error);
}

bool connectAgain(const QSqlDatabase &db, const QString &name, StoreError *error)
{
    QSqlDatabase other = QSqlDatabase::cloneDatabase(db, name);
    ServerAddress address;
    address.host = db.hostName();
    address.port = qMax(0, db.port());
    address.user = db.userName();
    address.database = db.databaseName();
    QSqlQuery clerk(db);
    if (clerk.exec(QStringLiteral("SELECT current_setting('herbdesk.clerk')")) && clerk.next())
        address.clerk = clerk.value(0).toString();
    if (!other.open()) {
        *error = connectionError(address, other.lastError());
        return false;
    }
    return setUpSession(other, address, error);
}

bool prepare(QSqlDatabase &db, const ServerAddress &address, Create create, StoreError *error)
{
    Statements statements(db, address, error);
    QSet<QString> schemas;
    QHash<QString, QStringList> columns;
    if (!readTables(statements, &schemas, &columns))
        return false;
    QStringList absent;
    for (const QString &name : schemaNames()) {
        if (!schemas.contains(name))
            absent << name;
    }
    const bool firstStart = absent.size() == schemaNames().size();
    if (!absent.isEmpty()
        && ((!firstStart && create != Create::Missing) || create == Create::Nothing)) {
        *error = {QStringLiteral("数据库 %1 中缺少模式 %2")
                      .arg(address.text(), absent.join(QStringLiteral("、"))),
                  {}, StoreError::Kind::FilesMissing, absent};
        return false;
    }
    for (const FileDef &file : Schema::files()) {
        if (schemas.contains(Server.schemaOf(file)) && !checkSchema(file, columns, address, error))
            return false;
    }
    if (!absent.isEmpty()
        && !createSchemas(statements, QSet<QString>(absent.cbegin(), absent.cend()))) {
        return false;
    }
    // The pending lines' tables name the clerk of each line: made so, or given the column by
    // this version, the lines there before it belonging to no clerk.
    for (const FileDef &file : Schema::files()) {
        const QString schema = Server.schemaOf(file);
        for (const IndexDef &index : file.indexes) {
            const QString table = schema + QLatin1Char('.') + index.table;
            if (index.where.isEmpty() || columns.value(table).contains(QStringLiteral("clerk")))
                continue;
            if (!statements.run(QStringLiteral("ALTER TABLE %1 ADD COLUMN IF NOT EXISTS %2")
                                    .arg(qualified(schema, index.table),
                                         Dialect::clerkColumnDeclaration()))) {
                return false;
            }
        }
    }
    // Indexes only speed up queries, and the added tables serve only the statistics views: one
    // that cannot be made (no right to, say) is left out, and those views report the reason.
    QSqlQuery existing;
    if (!statements.run(QStringLiteral("SELECT schemaname || '.' || indexname FROM pg_indexes"),
                        {}, &existing)) {
        return false;
    }
    QSet<QString> indexes;
    while (existing.next())
        indexes.insert(existing.value(0).toString());
    StoreError ignored;
    Statements optional(db, address, &ignored);
    const QStringList objects = columns.keys() + QStringList(indexes.cbegin(), indexes.cend());
    for (const FileDef &file : Schema::files()) {
        const QString prefix = Server.schemaOf(file) + QLatin1Char('.');
        QSet<QString> present;
        for (const QString &name : objects) {
            if (name.startsWith(prefix))
                present.insert(name.mid(prefix.size()));
        }
        for (const QString &sql : Server.completing(file, present))
            optional.run(sql);
    }
    return true;
}

} // namespace ServerDatabase
