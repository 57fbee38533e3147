#include "store/rowstream.h"

#include "store/serverdatabase.h"
#include "store/store.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

RowStream::RowStream(Store &store, const Query &query) : m_store(store), m_query(query) {}

RowStream::~RowStream()
{
    sqlite3_finalize(m_statement);
    closeServer();
}

bool RowStream::open(StoreError *error)
{
    m_columns = m_query.columns.isEmpty() ? m_store.columnsOf(m_query.table, error)
                                          : m_query.columns;
    if (m_columns.isEmpty())
        return false;
    QStringList quoted;
    for (const QString &column : std::as_const(m_columns))
        quoted << quotedName(column);
    // The cursor's order: the sort column (if any), then table order.
    const Dialect &dialect = m_store.dialect();
    QString order = QStringLiteral("rowid");
    if (!m_query.orderBy.isEmpty()) {
        order.prepend(dialect.orderTerm(dialect.sortKey(m_query.orderBy, m_query.orderIgnoresCase),
                                        false)
                      + QLatin1String(", "));
    }
    QVariantList values;
    const QString sql = selectSql(dialect, m_query, quoted.join(QLatin1String(", ")), &values)
                        + QStringLiteral(" ORDER BY ") + order;
    if (dialect.engine() == Dialect::Engine::SQLite)
        return openFiles(sql.toUtf8(), values, error);
    return openServer(sql, values, error);
}

bool RowStream::openFiles(const QByteArray &sql, const QVariantList &values, StoreError *error)
{
    const QString action = QStringLiteral("查询 %1 失败").arg(m_query.table);
    const QVariant handle = m_store.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = {action, QStringLiteral("数据库连接不是 SQLite")};
        return false;
    }
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, nullptr)
        != SQLITE_OK) {
        *error = {action, QString::fromUtf8(sqlite3_errmsg(db))};
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values[i];
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            sqlite3_bind_int64(m_statement, i + 1, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_statement, i + 1, value.toDouble());
            break;
        default:
            if (value.isNull()) {
                sqlite3_bind_null(m_statement, i + 1);
            } else {
                // Dates bind as their "yyyy-MM-dd" text, as Qt's driver binds them.
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT);
            }
        }
    }
    return true;
}

bool RowStream::openServer(const QString &sql, const QVariantList &values, StoreError *error)
{
    static QAtomicInt streams;
    m_connection = QStringLiteral("herbdesk-rows-%1").arg(streams.fetchAndAddRelaxed(1));
    if (!ServerDatabase::connectAgain(m_store.database(), m_connection, error))
        return false;
    // Read forwards only, the rows come from the server as they are read.
    m_rows = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
    m_rows->setForwardOnly(true);
    m_rows->prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        m_rows->bindValue(i, values[i]);
    if (!m_rows->exec()) {
        *error = {QStringLiteral("查询 %1 失败").arg(m_query.table), m_rows->lastError().text()};
        return false;
    }
    m_texts.resize(m_columns.size());
    return true;
}

void RowStream::closeServer()
{
    m_rows.reset();
    if (m_connection.isEmpty())
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

bool RowStream::next()
{
    if (m_rows) {
        if (m_rows->next())
            return true;
        if (m_rows->lastError().isValid()) {
            m_error = {QStringLiteral("查询 %1 失败").arg(m_query.table),
                       m_rows->lastError().text()};
        }
        closeServer();
        return false;
    }
    if (!m_statement)
        return false;
    const int status = sqlite3_step(m_statement);
    if (status == SQLITE_ROW)
        return true;
    if (status != SQLITE_DONE) {
        m_error = {QStringLiteral("查询 %1 失败").arg(m_query.table),
                   QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_statement)))};
    }
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    return false;
}

RowStream::Type RowStream::type(int column) const
{
    if (m_rows) {
        const QVariant value = m_rows->value(column);
        if (value.isNull())
            return Type::Null;
        return value.typeId() == QMetaType::Double ? Type::Number : Type::Text;
    }
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return Type::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return Type::Number;
    default:
        return Type::Text;
    }
}

double RowStream::number(int column) const
{
    if (m_rows)
        return m_rows->value(column).toDouble();
    return sqlite3_column_double(m_statement, column);
}

const char *RowStream::text(int column, int *bytes) const
{
    if (m_rows) {
        QByteArray &text = m_texts[column];
        text = m_rows->value(column).toString().toUtf8();
        *bytes = int(text.size());
        return text.constData();
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    *bytes = sqlite3_column_bytes(m_statement, column);
    return text ? text : "";
}
