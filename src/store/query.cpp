#include "store/query.h"

#include "store/dialect.h"
#include "store/values.h"

#include <QDate>

QString quotedName(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Filter Filter::like(const QString &column, const QString &pattern)
{
    // "*" alone matches every value that is there; saying so lets the engine skip the pattern
    // test on every row of a "list everything" query.
    if (!pattern.isEmpty() && pattern.count(QLatin1Char('*')) == pattern.size())
        return Filter::isNotNull(column);
    return caseInsensitiveLike(column, Values::likePattern(pattern));
}

Filter Filter::sameText(const QString &column, const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return caseInsensitiveLike(column, escaped);
}

Filter Filter::text(const QString &sql, const QVariantList &values)
{
    Filter filter;
    filter.m_parts.append({sql, values, {}, {}});
    return filter;
}

Filter Filter::caseInsensitiveLike(const QString &column, const QString &sqlPattern)
{
    Filter filter;
    filter.m_parts.append({{}, {}, column, sqlPattern});
    return filter;
}

QString Filter::sql(const Dialect &dialect, QVariantList *values) const
{
    QString sql;
    for (const Part &part : m_parts) {
        if (part.matchedColumn.isEmpty()) {
            sql += part.sql;
            *values << part.values;
            if (part.ownLines)
                sql += dialect.ownLinesCondition();
        } else {
            sql += dialect.caseInsensitiveLike(part.matchedColumn, part.pattern, values);
        }
    }
    return sql;
}

Filter Filter::isNotNull(const QString &column)
{
    return text(quotedName(column) + QLatin1String(" IS NOT NULL"));
}

Filter Filter::isNull(const QString &column)
{
    return text(quotedName(column) + QLatin1String(" IS NULL"));
}

Filter Filter::pending(const QString &flagColumn)
{
    Filter filter = isNull(flagColumn);
    filter.m_parts.first().ownLines = true;
    return filter;
}

Filter Filter::equals(const QString &column, const QVariant &value)
{
    return compare(column, "=", value);
}

Filter Filter::atLeast(const QString &column, const QVariant &value)
{
    return compare(column, ">=", value);
}

Filter Filter::atMost(const QString &column, const QVariant &value)
{
    return compare(column, "<=", value);
}

Filter Filter::compare(const QString &column, const char *op, const QVariant &value)
{
    // Dates are stored as "yyyy-MM-dd" text, so they are compared in that form.
    return text(quotedName(column) + QLatin1Char(' ') + QLatin1String(op) + QLatin1String(" ?"),
                {value.typeId() == QMetaType::QDate ? QVariant(Values::storedDate(value.toDate()))
                                                    : value});
}

Filter Filter::operator&&(const Filter &other) const
{
    return combine(other, "AND");
}

Filter Filter::operator||(const Filter &other) const
{
    return combine(other, "OR");
}

Filter Filter::combine(const Filter &other, const char *op) const
{
    if (isEmpty())
        return other;
    if (other.isEmpty())
        return *this;
    Filter filter = text(QStringLiteral("("));
    filter.m_parts << m_parts;
    filter.m_parts.append({QLatin1String(") ") + QLatin1String(op) + QLatin1String(" ("), {},
                           {}, {}});
    filter.m_parts << other.m_parts;
    filter.m_parts.append({QStringLiteral(")"), {}, {}, {}});
    return filter;
}

Query Query::beginningWith(const QString &table, const QString &column, const QString &text)
{
    Query query(table, Filter::like(column, text + QLatin1Char('*')));
    query.orderBy = column;
    query.orderIgnoresCase = true;
    return query;
}
