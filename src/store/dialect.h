#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QSqlDatabase;
struct ColumnDef;
struct FileDef;
struct IndexDef;

// What the store says differently to each engine it runs on, chosen once when the data opens:
// the SQLite files of a folder, or the five schemas of one PostgreSQL database.
//
// Both engines identify a row by a column named rowid (SQLite's own; on PostgreSQL a hidden
// identity column after the table's columns), compare rows with "IS NOT DISTINCT FROM", page
// with row values and read an insert's id with RETURNING, so that most SQL is the same text on
// both.
// What differs is here: matching and sorting text without regard to letter case, Null keys coming
// first, the declarations of tables and indexes, how a writing transaction begins, and how a
// query's plan is read.
class Dialect
{
public:
    enum class Engine { SQLite, PostgreSQL };

    explicit Dialect(Engine engine = Engine::SQLite) : m_engine(engine) {}
    Engine engine() const { return m_engine; }

    // "the column matches the SQL LIKE pattern (backslash escaping), letter case not counting, in
    // any script", served up to its first wildcard by the column's index; the values to bind go
    // to *values.
    QString caseInsensitiveLike(const QString &column, const QString &sqlPattern,
                                QVariantList *values) const;
    // The expression a result is ordered by, and paged on, for a sort column.
    QString sortKey(const QString &column, bool ignoreCase) const;
    // An expression (a qualified column, say) as grouped or sorted without letter case; on
    // PostgreSQL it is the very expression the case-blind indexes are built on.
    QString caseless(const QString &expression) const;
    // "the two texts are equal, letter case not counting".
    QString equalIgnoringCase(const QString &left, const QString &right) const;
    // The sum of a number expression over a group, 0 over no rows.
    QString total(const QString &expression) const;
    // "the text is a date in the stored form of a day that surely exists": the engine may then
    // compare it as text. Other texts are left to the program to read.
    QString isSurelyStoredDate(const QString &expression) const;
    // One term of ORDER BY; Null keys come first going forwards, last going backwards.
    QString orderTerm(const QString &expression, bool descending) const;

    // Whether the store's statements read their rows one at a time as they are asked for. A
    // PostgreSQL statement read that way holds the connection until its last row is read: there
    // the store's statements, each of a page or a few rows, take their result whole.
    bool readsRowByRow() const { return m_engine == Engine::SQLite; }

    // What follows a SELECT that locks the rows it reads until the transaction ends.
    QString lockingClause() const;

    // The statements that open a transaction that will write.
    QStringList beginWriting() const;

    // The name the tables of a file live under.
    QString schemaOf(const FileDef &file) const;
    // The declarations of a new table's columns: the table's columns, then the identity
    // column where the engine has none of its own.
    QStringList columnDeclarations(const std::vector<ColumnDef> &columns) const;
    // What an index orders its entries by, in parentheses, and the name it is created under.
    QString indexColumns(const IndexDef &index) const;
    static QString indexName(const IndexDef &index);
    // The statement that makes an index of a file's table.
    QString createIndex(const FileDef &file, const IndexDef &index) const;
    // The statements that give a file what this version adds where it lacks it (the program's
    // own tables, the indexes) and take away the indexes it no longer uses; `present` holds the
    // names of the tables and indexes the file has.
    QStringList completing(const FileDef &file, const QSet<QString> &present) const;
    // Whether a column of `SELECT *` is hidden: the identity column, or the clerk of a line.
    bool isHidden(const QString &column) const;
    // The hidden column of a server's pending-line tables that names the clerk who entered the
    // line (the session's "herbdesk.clerk" when the line is added), declared in full.
    static QString clerkColumnDeclaration();
    // What follows a line table's pending condition so that it holds the lines of this
    // session's clerk only; nothing where one program is the only clerk.
    QString ownLinesCondition() const;

    // The engine's plan for a SELECT, one line per step; empty and *problem on failure. Where an
    // engine prefers scanning small tables, it is told to use an index wherever it can.
    QStringList plan(const QSqlDatabase &db, const QString &select, const QVariantList &values,
                     QString *problem) const;
    // Whether a plan reads a range of the named index rather than all of it.
    bool seeksIndex(const QStringList &plan, const QString &index) const;

private:
    Engine m_engine;
};
