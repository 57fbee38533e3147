#include "store/bulkread.h"

#include "store/store.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

BulkRead::BulkRead(Store &store, const QString &sql, const QVariantList &values,
                   const QString &action)
    : m_action(action)
{
    const QSqlDatabase db = store.database();
    if (store.location().isServer()) {
        m_query = std::make_unique<QSqlQuery>(db);
        m_query->setForwardOnly(store.dialect().readsRowByRow());
        bool done = m_query->prepare(sql);
        for (int i = 0; done && i < values.size(); ++i)
            m_query->bindValue(i, values.at(i));
        if (!done || !m_query->exec())
            fail(m_query->lastError().text());
        return;
    }
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        fail(QStringLiteral("数据库连接不是 SQLite"));
        return;
    }
    m_db = *static_cast<sqlite3 *const *>(handle.constData());
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, nullptr)
        != SQLITE_OK) {
        fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        int status = SQLITE_OK;
        if (value.isNull()) {
            status = sqlite3_bind_null(m_statement, i + 1);
        } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
            status = sqlite3_bind_int64(m_statement, i + 1, value.toLongLong());
        } else if (value.typeId() == QMetaType::Double) {
            status = sqlite3_bind_double(m_statement, i + 1, value.toDouble());
        } else {
            const QByteArray text = value.toString().toUtf8();
            status = sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
        }
        if (status != SQLITE_OK) {
            fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
            return;
        }
    }
}

BulkRead::~BulkRead()
{
    sqlite3_finalize(m_statement);
}

void BulkRead::fail(const QString &detail)
{
    m_error = {m_action, detail};
}

bool BulkRead::next()
{
    if (!ok())
        return false;
    if (m_query) {
        if (m_query->next())
            return true;
        if (m_query->lastError().isValid())
            fail(m_query->lastError().text());
        return false;
    }
    if (!m_statement)
        return false;
    const int status = sqlite3_step(m_statement);
    if (status == SQLITE_ROW)
        return true;
    if (status != SQLITE_DONE)
        fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    return false;
}

QString BulkRead::text(int column) const
{
    if (m_query)
        return m_query->value(column).toString();
    // The files hold UTF-8; converting it here is cheaper than asking the engine for UTF-16.
    const auto *characters = reinterpret_cast<const char *>(sqlite3_column_text(m_statement,
                                                                                column));
    return QString::fromUtf8(characters, sqlite3_column_bytes(m_statement, column));
}

double BulkRead::number(int column) const
{
    if (m_query)
        return m_query->value(column).toDouble();
    return sqlite3_column_double(m_statement, column);
}

QVariant BulkRead::value(int column) const
{
    if (m_query) {
        const QVariant value = m_query->value(column);
        return value.isNull() ? QVariant() : value;
    }
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    default:
        return QVariant(text(column));
    }
}
