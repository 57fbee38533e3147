#include "engine.h"

#include "serverengine.h"
#include "sqliteengine.h"

#include "store/query.h"

std::unique_ptr<Engine> Engine::open(const DataLocation &location)
{
    if (location.isServer())
        return std::make_unique<ServerEngine>(*location.server);
    return std::make_unique<SqliteEngine>(location.folder);
}

QVariant Engine::scalar(const QString &sql, const QVariantList &values)
{
    const QList<QVariantList> found = rows(sql, values);
    return found.isEmpty() ? QVariant() : found.front().value(0);
}

QVariantList Engine::column(const QString &sql, const QVariantList &values)
{
    QVariantList result;
    for (const QVariantList &row : rows(sql, values))
        result << row.value(0);
    return result;
}

QString Engine::likeBound(const QString &column) const
{
    // SQLite's LIKE ignores the case of A to Z already, which is what the generated data holds.
    if (m_dialect.engine() == Dialect::Engine::SQLite)
        return quotedName(column) + QLatin1String(" LIKE ?");
    QVariantList pattern; // the one value, bound by the caller
    return m_dialect.caseInsensitiveLike(column, QString(), &pattern);
}

QString Engine::equalBound(const QString &column) const
{
    return m_dialect.equalIgnoringCase(quotedName(column), QStringLiteral("?"));
}
