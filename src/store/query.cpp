#include "store/query.h"

#include "store/textfunctions.h"
#include "store/values.h"

#include <QDate>
#include <optional>
#include <string>

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

namespace {

// The text a LIKE pattern (escaped with "\\") starts with, up to its first wildcard.
QString literalPrefix(const QString &sqlPattern)
{
    QString prefix;
    for (int i = 0; i < sqlPattern.size(); ++i) {
        QChar character = sqlPattern.at(i);
        if (character == QLatin1Char('%') || character == QLatin1Char('_'))
            break;
        if (character == QLatin1Char('\\')) {
            if (++i == sqlPattern.size())
                break;
            character = sqlPattern.at(i);
        }
        prefix += character;
    }
    return prefix;
}

// A text that sorts, ignoring the case of A to Z, after every text that starts with the prefix:
// its last character, lower-cased, one code point further on. None when there is no such
// character.
std::optional<QString> pastEveryTextStartingWith(const QString &prefix)
{
    std::u32string characters = prefix.toLower().toStdU32String();
    if (characters.empty() || characters.back() >= 0x10FFFF)
        return std::nullopt;
    char32_t &last = characters.back();
    last = last + 1 == 0xD800 ? 0xE000 : last + 1;
    return QString::fromStdU32String(characters);
}

} // namespace

Filter Filter::caseInsensitiveLike(const QString &column, const QString &sqlPattern)
{
    // The engine's LIKE ignores the case of A to Z only. A letter with case beyond ASCII becomes
    // "_" in it, which keeps the index for the prefix before that letter; casefold() of both
    // sides then tells whether the letter matches.
    QString indexed;
    indexed.reserve(sqlPattern.size());
    bool needsFolding = false;
    for (const char32_t character : sqlPattern.toUcs4()) {
        if (TextFunctions::hasCaseBeyondAscii(character)) {
            indexed += QLatin1Char('_');
            needsFolding = true;
        } else {
            indexed += QStringView(QChar::fromUcs4(character));
        }
    }
    const QString name = quotedName(column);
    Filter filter;
    // The prefix becomes a range of the column's case-blind index. The engine would find that
    // range by itself from "column LIKE ?", but then it prepares the statement anew for every
    // pattern bound to it: the cost of a keystroke. like() as a function keeps the statement.
    const QString prefix = literalPrefix(indexed);
    const auto end = pastEveryTextStartingWith(prefix);
    if (end) {
        filter.m_sql = QStringLiteral("%1 >= ? COLLATE NOCASE AND %1 < ? COLLATE NOCASE AND ")
                           .arg(name);
        filter.m_values << prefix << *end;
    }
    filter.m_sql += QStringLiteral("like(?, %1, '\\')").arg(name);
    filter.m_values << indexed;
    if (needsFolding) {
        filter.m_sql += QStringLiteral(" AND like(?, %1(%2), '\\')")
                            .arg(QLatin1String(TextFunctions::FoldFunction), name);
        filter.m_values << sqlPattern.toCaseFolded();
    }
    return filter;
}

Filter Filter::isNotNull(const QString &column)
{
    Filter filter;
    filter.m_sql = quotedName(column) + QLatin1String(" IS NOT NULL");
    return filter;
}

Filter Filter::isNull(const QString &column)
{
    Filter filter;
    filter.m_sql = quotedName(column) + QLatin1String(" IS NULL");
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
    Filter filter;
    filter.m_sql = quotedName(column) + QLatin1Char(' ') + QLatin1String(op) + QLatin1String(" ?");
    // Dates are stored as "yyyy-MM-dd" text, so they are compared in that form.
    filter.m_values << (value.typeId() == QMetaType::QDate
                            ? QVariant(Values::storedDate(value.toDate()))
                            : value);
    return filter;
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
    Filter filter;
    filter.m_sql = QLatin1Char('(') + m_sql + QLatin1String(") ") + QLatin1String(op)
                   + QLatin1String(" (") + other.m_sql + QLatin1Char(')');
    filter.m_values = m_values + other.m_values;
    return filter;
}

Query Query::beginningWith(const QString &table, const QString &column, const QString &text)
{
    Query query(table, Filter::like(column, text + QLatin1Char('*')));
    query.orderBy = column;
    query.orderIgnoresCase = true;
    return query;
}
