#include "store/rowstream.h"

#include "store/store.h"

#include <QSqlDriver>

#include <sqlite3.h>

RowStream::RowStream(Store &store, const Query &query) : m_store(store), m_query(query) {}

RowStream::~RowStream()
{
    sqlite3_finalize(m_statement);
}

bool RowStream::open(StoreError *error)
{
    const QString action = QStringLiteral("查询 %1 失败").arg(m_query.table);
    const QVariant handle = m_store.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = {action, QStringLiteral("数据库连接不是 SQLite")};
        return false;
    }
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    m_columns = m_query.columns.isEmpty() ? m_store.columnsOf(m_query.table, error)
                                          : m_query.columns;
    if (m_columns.isEmpty())
        return false;
    QStringList quoted;
    for (const QString &column : std::as_const(m_columns))
        quoted << quotedName(column);
    // The cursor's order: the sort column (if any), then table order.
    QString order = QStringLiteral("rowid");
    if (!m_query.orderBy.isEmpty()) {
        order.prepend(quotedName(m_query.orderBy)
                      + (m_query.orderIgnoresCase ? QStringLiteral(" COLLATE NOCASE, ")
                                                  : QStringLiteral(", ")));
    }
    const QByteArray sql =
        (selectSql(m_query, quoted.join(QLatin1String(", "))) + QStringLiteral(" ORDER BY ")
         + order)
            .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, nullptr)
        != SQLITE_OK) {
        *error = {action, QString::fromUtf8(sqlite3_errmsg(db))};
        return false;
    }
    const QVariantList values = m_query.where.values();
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

bool RowStream::next()
{
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
    return sqlite3_column_double(m_statement, column);
}

const char *RowStream::text(int column, int *bytes) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    *bytes = sqlite3_column_bytes(m_statement, column);
    return text ? text : "";
}
