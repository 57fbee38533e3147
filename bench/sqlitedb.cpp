#include "sqlitedb.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw SqliteError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db)))
                          .toStdString());
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql) : m_db(db), m_sql(sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr)
        != SQLITE_OK)
        fail(db, sql);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

void SqliteStatement::bind(int position, const QVariant &value)
{
    int result;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        result = sqlite3_bind_null(m_statement, position);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
        result = sqlite3_bind_int64(m_statement, position, value.toLongLong());
        break;
    case QMetaType::Double:
        result = sqlite3_bind_double(m_statement, position, value.toDouble());
        break;
    default: {
        if (value.isNull()) {
            result = sqlite3_bind_null(m_statement, position);
            break;
        }
        const QByteArray text = value.toString().toUtf8();
        result = sqlite3_bind_text(m_statement, position, text.constData(), int(text.size()),
                                   SQLITE_TRANSIENT);
    }
    }
    if (result != SQLITE_OK)
        fail(m_db, m_sql);
}

bool SqliteStatement::step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        fail(m_db, m_sql);
    return false;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

int SqliteStatement::readAll()
{
    int rows = 0;
    const int columns = sqlite3_column_count(m_statement);
    while (step()) {
        for (int c = 0; c < columns; ++c)
            sqlite3_column_text(m_statement, c);
        ++rows;
    }
    return rows;
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QVariant SqliteStatement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_NULL:
        return QVariant();
    default:
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
            sqlite3_column_bytes(m_statement, column));
    }
}

SqliteDb::SqliteDb(const QString &mainFile)
{
    if (sqlite3_open_v2(mainFile.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        const QString message = QStringLiteral("cannot open %1").arg(mainFile);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw SqliteError(message.toStdString());
    }
}

SqliteDb::~SqliteDb()
{
    sqlite3_close(m_db);
}

void SqliteDb::attach(const QString &file, const QString &schema)
{
    SqliteStatement statement(m_db, QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(schema));
    statement.bind(1, file);
    statement.step();
}

void SqliteDb::exec(const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QStringLiteral("%1: %2").arg(sql, QString::fromUtf8(message));
        sqlite3_free(message);
        throw SqliteError(text.toStdString());
    }
}
