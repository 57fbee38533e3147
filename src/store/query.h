#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

class Dialect;

// A condition over the columns of one table. Column names come from the program; every value is
// kept apart and bound when the query runs, so nothing a user types becomes SQL text.
class Filter
{
public:
    Filter() = default;

    // Pattern match with "*" for any run of characters and "?" for one; letter case does not
    // count, in any script ("ｄｇ01" finds "ＤＧ01", "éa1" finds "ÉA1"). A pattern without
    // wildcards is an equality that ignores case. The index of the column serves the pattern up
    // to its first wildcard or its first letter with case beyond ASCII.
    static Filter like(const QString &column, const QString &pattern);
    // Equal text where letter case does not count, as like(); "*" and "?" are ordinary
    // characters here (duplicate tests compare what was typed, not a pattern).
    static Filter sameText(const QString &column, const QString &text);
    static Filter isNull(const QString &column);
    // The lines still pending (the flag column Null) that this clerk entered: on a server each
    // clerk has pending lines of his own; in the files of one program they are all his.
    static Filter pending(const QString &flagColumn);
    static Filter isNotNull(const QString &column);
    static Filter equals(const QString &column, const QVariant &value);
    static Filter atLeast(const QString &column, const QVariant &value);
    static Filter atMost(const QString &column, const QVariant &value);

    Filter operator&&(const Filter &other) const;
    Filter operator||(const Filter &other) const;

    bool isEmpty() const { return m_parts.isEmpty(); }
    // The condition as the engine's SQL; the values to bind, in order, go to *values.
    QString sql(const Dialect &dialect, QVariantList *values) const;

private:
    // A piece of the condition: SQL text with its values, or a pattern match that each engine
    // words its own way.
    struct Part
    {
        QString sql;
        QVariantList values;
        QString matchedColumn; // a pattern match when not empty
        QString pattern;       // an SQL LIKE pattern, backslash escaping
        bool ownLines = false; // followed by the dialect's condition on the line's clerk
    };

    static Filter text(const QString &sql, const QVariantList &values = {});
    static Filter caseInsensitiveLike(const QString &column, const QString &sqlPattern);
    static Filter compare(const QString &column, const char *op, const QVariant &value);
    Filter combine(const Filter &other, const char *op) const;

    QVector<Part> m_parts;
};

// A record source: every column (or the named ones) of the rows of one table that pass a
// filter, in table order, or ordered by one column and then table order. A search that an index
// serves is best ordered by the indexed column: its first rows are then read straight from the
// index, however many rows match.
struct Query
{
    QString table;
    Filter where;
    QStringList columns; // empty: every column of the table
    QString orderBy;     // empty: table order
    bool orderIgnoresCase = false;
    // Read inside a writing transaction, the rows read stay locked until it ends: no other
    // connection changes them in between, and a reader that had to wait sees them as the other
    // left them. (A writing transaction on SQLite files holds them whole already.)
    bool lockRows = false;

    Query() = default;
    Query(const QString &tableName) : table(tableName) {}
    Query(const QString &tableName, const Filter &filter) : table(tableName), where(filter) {}

    // The rows whose column begins with the text (a pattern: "*" and "?" keep their meaning),
    // ordered by that column, as the drop-down searches list them.
    static Query beginningWith(const QString &table, const QString &column, const QString &text);
};

// Quotes a table or column name for SQL text.
QString quotedName(const QString &name);
