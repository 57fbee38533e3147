#include "store/dialect.h"

#include "store/query.h"
#include "store/schema.h"
#include "store/textfunctions.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <optional>
#include <string>

namespace {

// PostgreSQL's lower() leaves a few letters in a form that case folding would change (final
// sigma, Greek symbol variants, long s, old Cyrillic forms): they are folded after it, so that
// "λογος" finds "ΛΟΓΟΣ" as on SQLite. The table must never change: indexes are built on it.
const QString FoldedFrom = QStringLiteral(
    "\u00b5\u017f\u0345\u03c2\u03d0\u03d1\u03d5\u03d6\u03f0\u03f1\u03f5\u1c80\u1c81\u1c82\u1c83"
    "\u1c84\u1c85\u1c86\u1c87\u1c88\u1e9b\u1fbe");
const QString FoldedTo = QStringLiteral(
    "\u03bc\u0073\u03b9\u03c3\u03b2\u03b8\u03c6\u03c0\u03ba\u03c1\u03b5\u0432\u0434\u043e\u0441"
    "\u0442\u0442\u044a\u0463\ua64b\u1e61\u03b9");

const QString IdentityColumn = QStringLiteral("rowid");
const QString ClerkColumn = QStringLiteral("clerk");

// The text folded for comparing without letter case on PostgreSQL. The columns are declared with
// the byte order ("C"), which knows the case of A to Z only; lower() works in the database's
// own character classes.
QString pgFolded(const QString &operand)
{
    return QStringLiteral("translate(lower(%1), '%2', '%3')").arg(operand, FoldedFrom, FoldedTo);
}

QString pgFoldedColumn(const QString &column)
{
    return pgFolded(quotedName(column) + QLatin1String(" COLLATE \"default\""));
}

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

// SQLite's LIKE ignores the case of A to Z only. A letter with case beyond ASCII becomes "_" in
// it, which keeps the index for the prefix before that letter; casefold() of both sides then
// tells whether the letter matches.
QString sqliteLike(const QString &column, const QString &sqlPattern, QVariantList *values)
{
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
    // The prefix becomes a range of the column's case-blind index. The engine would find that
    // range by itself from "column LIKE ?", but then it prepares the statement anew for every
    // pattern bound to it: the cost of a keystroke. like() as a function keeps the statement.
    QString sql;
    const QString prefix = literalPrefix(indexed);
    if (const auto end = pastEveryTextStartingWith(prefix)) {
        sql = QStringLiteral("%1 >= ? COLLATE NOCASE AND %1 < ? COLLATE NOCASE AND ").arg(name);
        *values << prefix << *end;
    }
    sql += QStringLiteral("like(?, %1, '\\')").arg(name);
    *values << indexed;
    if (needsFolding) {
        sql += QStringLiteral(" AND like(?, %1(%2), '\\')")
                   .arg(QLatin1String(TextFunctions::FoldFunction), name);
        *values << sqlPattern.toCaseFolded();
    }
    return sql;
}

} // namespace

QString Dialect::caseInsensitiveLike(const QString &column, const QString &sqlPattern,
                                     QVariantList *values) const
{
    if (m_engine == Engine::SQLite)
        return sqliteLike(column, sqlPattern, values);
    // The pattern is folded by the same expression as the column. Each statement is planned
    // with its values, so the folded pattern is a constant whose prefix the index serves.
    // Backslash is PostgreSQL's own escape character in LIKE.
    *values << sqlPattern;
    return pgFoldedColumn(column) + QLatin1String(" LIKE ")
           + pgFolded(QStringLiteral("CAST(? AS text)"));
}

QString Dialect::sortKey(const QString &column, bool ignoreCase) const
{
    return ignoreCase ? caseless(quotedName(column)) : quotedName(column);
}

QString Dialect::caseless(const QString &expression) const
{
    if (m_engine == Engine::SQLite)
        return expression + QLatin1String(" COLLATE NOCASE");
    return pgFolded(expression + QLatin1String(" COLLATE \"default\""))
           + QLatin1String(" COLLATE \"C\"");
}

QString Dialect::equalIgnoringCase(const QString &left, const QString &right) const
{
    // SQLite takes the collation of either side; the left one keeps its index.
    if (m_engine == Engine::SQLite)
        return left + QLatin1String(" = ") + caseless(right);
    return caseless(left) + QLatin1String(" = ") + caseless(right);
}

QString Dialect::total(const QString &expression) const
{
    if (m_engine == Engine::SQLite)
        return QStringLiteral("total(%1)").arg(expression);
    return QStringLiteral("coalesce(sum(%1), 0)").arg(expression);
}

QString Dialect::isSurelyStoredDate(const QString &expression) const
{
    // date() gives back a real day unchanged; the modifier makes it reckon, so "02-30" fails.
    if (m_engine == Engine::SQLite)
        return QStringLiteral("date(%1, '+0 days') IS %1").arg(expression);
    // PostgreSQL cannot test a date without failing the statement: the days every month has.
    return QStringLiteral("%1 ~ '^[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|1[0-9]|2[0-8])$'")
        .arg(expression);
}

QString Dialect::orderTerm(const QString &expression, bool descending) const
{
    if (m_engine == Engine::SQLite)
        return descending ? expression + QLatin1String(" DESC") : expression;
    return expression + (descending ? QLatin1String(" DESC NULLS LAST")
                                    : QLatin1String(" NULLS FIRST"));
}

QString Dialect::lockingClause() const
{
    return m_engine == Engine::SQLite ? QString() : QStringLiteral(" FOR UPDATE");
}

QStringList Dialect::beginWriting() const
{
    // SQLite takes the write lock at once, so that a transaction never fails half-way for a
    // lock another connection holds; PostgreSQL locks the rows a transaction writes.
    if (m_engine == Engine::SQLite)
        return {QStringLiteral("BEGIN IMMEDIATE")};
    // A write finds its rows by id or by whole values, which a plan made once serves as well as
    // one made for each set of values; planning every statement of a posting anew cost a fifth
    // of its time. Searches outside a write keep plans made for their values.
    return {QStringLiteral("BEGIN"), QStringLiteral("SET LOCAL plan_cache_mode TO auto")};
}

QString Dialect::schemaOf(const FileDef &file) const
{
    if (m_engine == Engine::SQLite)
        return file.schemaName;
    return file.fileName.section(QLatin1Char('.'), 0, 0);
}

QStringList Dialect::columnDeclarations(const std::vector<ColumnDef> &columns) const
{
    QStringList declarations;
    const bool sqlite = m_engine == Engine::SQLite;
    for (const ColumnDef &column : columns) {
        QString type;
        if (column.kind == ColumnKind::Number)
            type = sqlite ? QStringLiteral("REAL") : QStringLiteral("double precision");
        else
            type = sqlite ? QStringLiteral("TEXT") : QStringLiteral("text COLLATE \"C\"");
        declarations << quotedName(column.name) + QLatin1Char(' ') + type;
    }
    if (!sqlite) {
        declarations << IdentityColumn
                            + QStringLiteral(" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    }
    return declarations;
}

QString Dialect::indexName(const IndexDef &index)
{
    QString name = QStringLiteral("idx_%1_%2").arg(index.table, index.columns.join('_'));
    if (!index.where.isEmpty())
        name += QLatin1String("_pending");
    return name;
}

QString Dialect::indexColumns(const IndexDef &index) const
{
    QStringList columns;
    // A partial index holds a handful of rows, wanted in table order: on SQLite every index
    // ends in the rowid; PostgreSQL is told so.
    if (m_engine == Engine::PostgreSQL && !index.where.isEmpty())
        return QStringLiteral("(%1)").arg(IdentityColumn);
    const TableDef *table = Schema::table(index.table);
    for (const QString &column : index.columns) {
        // PostgreSQL folds the letter case of text alone (SQLite lets a number pass).
        const ColumnDef *def = table ? table->column(column) : nullptr;
        const bool number = def && def->kind == ColumnKind::Number;
        QString key = sortKey(column, index.noCase && !(number && m_engine != Engine::SQLite));
        if (m_engine == Engine::PostgreSQL)
            key = orderTerm(key, false);
        columns << key;
    }
    if (m_engine == Engine::PostgreSQL)
        columns << IdentityColumn;
    return QLatin1Char('(') + columns.join(QLatin1String(", ")) + QLatin1Char(')');
}

QString Dialect::createIndex(const FileDef &file, const IndexDef &index) const
{
    // SQLite names the index's schema, PostgreSQL the table's.
    const bool sqlite = m_engine == Engine::SQLite;
    const QString schema = quotedName(schemaOf(file)) + QLatin1Char('.');
    QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 %3")
                      .arg((sqlite ? schema : QString()) + quotedName(indexName(index)),
                           (sqlite ? QString() : schema) + quotedName(index.table),
                           indexColumns(index));
    if (!index.where.isEmpty())
        sql += QLatin1String(" WHERE ") + index.where;
    return sql;
}

QStringList Dialect::completing(const FileDef &file, const QSet<QString> &present) const
{
    const QString schema = quotedName(schemaOf(file)) + QLatin1Char('.');
    QStringList statements;
    for (const TableDef &table : file.addedTables) {
        if (!present.contains(table.name)) {
            statements << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                              .arg(schema + quotedName(table.name),
                                   columnDeclarations(table.columns).join(QLatin1String(", ")));
        }
    }
    for (const QString &retired : file.retiredIndexes) {
        if (present.contains(retired))
            statements << QStringLiteral("DROP INDEX IF EXISTS %1").arg(schema + quotedName(retired));
    }
    for (const IndexDef &index : file.indexes) {
        if (!present.contains(indexName(index)))
            statements << createIndex(file, index);
    }
    return statements;
}

bool Dialect::isHidden(const QString &column) const
{
    return m_engine == Engine::PostgreSQL && (column == IdentityColumn || column == ClerkColumn);
}

QString Dialect::clerkColumnDeclaration()
{
    return ClerkColumn
           + QStringLiteral(" text COLLATE \"C\" DEFAULT current_setting('herbdesk.clerk', true)");
}

QString Dialect::ownLinesCondition() const
{
    if (m_engine == Engine::SQLite)
        return QString();
    return QStringLiteral(" AND %1 = current_setting('herbdesk.clerk')").arg(ClerkColumn);
}

QStringList Dialect::plan(const QSqlDatabase &db, const QString &select,
                          const QVariantList &values, QString *problem) const
{
    QSqlQuery explain(db);
    QStringList lines;
    const auto read = [&](int column) {
        // SQLite's fourth column is the step; PostgreSQL gives one line of text per row.
        while (explain.next())
            lines << explain.value(column).toString();
    };
    if (m_engine == Engine::SQLite) {
        explain.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + select);
        for (int i = 0; i < values.size(); ++i)
            explain.bindValue(i, values[i]);
        if (explain.exec())
            read(3);
        else
            *problem = explain.lastError().text();
        return lines;
    }
    // PostgreSQL explains a prepared statement only when it is run with its values; the plan of
    // a table of a few rows would be a scan, which tells nothing of its indexes.
    QString numbered;
    int marks = 0;
    for (const QChar c : select)
        numbered += c == QLatin1Char('?') ? QStringLiteral("$%1").arg(++marks) : QString(c);
    QStringList literals;
    for (const QVariant &value : values) {
        QSqlField field(QString(), value.metaType());
        field.setValue(value);
        literals << db.driver()->formatValue(field);
    }
    const bool explained =
        explain.exec(QStringLiteral("SET enable_seqscan TO off"))
        && explain.exec(QStringLiteral("PREPARE herbdesk_plan AS ") + numbered)
        && explain.exec(QStringLiteral("EXPLAIN EXECUTE herbdesk_plan(%1)")
                            .arg(literals.join(QLatin1String(", "))));
    if (explained)
        read(0);
    else
        *problem = explain.lastError().text();
    explain.exec(QStringLiteral("DEALLOCATE herbdesk_plan"));
    explain.exec(QStringLiteral("RESET enable_seqscan"));
    return lines;
}

bool Dialect::seeksIndex(const QStringList &plan, const QString &index) const
{
    if (m_engine == Engine::SQLite) {
        // "SEARCH yaocai USING INDEX idx_yaocai_编号 (编号>? AND 编号<?)"
        for (const QString &step : plan) {
            if (step.startsWith(QLatin1String("SEARCH"))
                && step.contains(QStringLiteral("INDEX %1 (").arg(index))) {
                return true;
            }
        }
        return false;
    }
    // "Index Scan using idx_yaocai_编号 on yaocai" (or a bitmap scan of it) followed by its
    // "Index Cond: ..." line.
    const QRegularExpression scan(
        QStringLiteral("(Index (Only )?Scan using|Bitmap Index Scan on) \"?%1\"?(\\s|$)")
            .arg(QRegularExpression::escape(index)));
    for (qsizetype i = 0; i + 1 < plan.size(); ++i) {
        const bool seeks = plan[i + 1].trimmed().startsWith(QLatin1String("Index Cond:"));
        if (plan[i].contains(scan) && seeks)
            return true;
    }
    return false;
}
