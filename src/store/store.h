#pragma once

#include "store/datalocation.h"
#include "store/dialect.h"
#include "store/query.h"
#include "store/storeerror.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <unordered_map>

class QSqlError;
class QSqlQuery;
struct FileDef;

// The program's data on one connection, so that one transaction spans all of it: the five
// database files of one folder (the first file as main, the others attached), or the five schemas
// of one database on a PostgreSQL server (ServerDatabase).
class Store
{
public:
    Store();
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // What open() does when the folder holds some of the files but not all of them. Refuse
    // makes nothing, not even in an empty folder: the data must be there whole (a copy's
    // source).
    enum class MissingFiles { Report, Create, Refuse };

    // Opens the files in the folder. A folder with none of them gets all of them, with their
    // tables and required rows; when only some are missing, open() fails with the kind
    // FilesMissing and their names unless told to create them. An existing file is never
    // rewritten: one that cannot be written fails; one that another program locks fails with
    // FileInUse; one that is not a database, is cut short, fails its check after an interrupted
    // write, or lacks a table or a column fails with FileDamaged. Every error names the file and
    // what is wrong. A replacement of the files that was cut short (FileReplacement) is finished
    // first.
    bool open(const QString &folder, MissingFiles missing = MissingFiles::Report);
    // Opens the data where it lives: a folder's files as above, or a server's database as
    // ServerDatabase::prepare() describes, the kinds of failure being the same.
    bool open(const DataLocation &location, MissingFiles missing = MissingFiles::Report);
    // Brings the engine's statistics up to date, then closes the files.
    void close();
    bool isOpen() const;
    const DataLocation &location() const { return m_location; }
    // The folder of the files; empty when the data is on a server, where files, their locks
    // and their backups do not apply.
    QString folder() const { return m_location.folder; }
    const Dialect &dialect() const { return m_dialect; }

    StoreError lastError() const { return m_lastError; }

    // count(column) over the query's rows: Null values are not counted.
    QVariant count(const Query &query, const QString &column);
    // sum(column) over the query's rows; Null when no row has a value.
    QVariant sum(const Query &query, const QString &column);
    // Number of rows of the query.
    qint64 rowCount(const Query &query);

    // Several counts and sums of one query in one pass over its rows, in the order asked; a sum
    // is Null when no row has a value. Empty when the query fails.
    struct Total
    {
        enum Kind { Count, Sum } kind;
        QString column;
    };
    QVariantList totals(const Query &query, const QList<Total> &wanted);

    // Runs a prepared statement with bound values; false and lastError() on failure.
    bool run(QSqlQuery &statement, const QString &action);

    // A statement prepared once and kept while the store is open: preparing costs more than
    // running the small statements that cursors send. Bind with bindValue(index, ...), and
    // finish() it after reading. Null when the text does not prepare; *error says why.
    QSqlQuery *prepared(const QString &sql, StoreError *error);
    // The names of a table's columns in the file's order, read once.
    QStringList columnsOf(const QString &table, StoreError *error);

    // Whether the engine reads the query's rows through a range of the named index rather than
    // all rows; *plan gets the engine's plan, or why there is none.
    bool seeksIndex(const Query &query, const QString &index, QString *plan);

    QSqlDatabase database() const { return m_db; }

    // Used by Transaction; nested transactions join the outer one.
    bool begin();
    bool commit();
    void rollback();

private:
    QVariant aggregate(const Query &query, const QString &expression, const QString &action);
    bool openFiles(MissingFiles missing);
    bool openServer(MissingFiles missing);
    bool openFile(const FileDef &file, bool isMain);
    bool attach(const FileDef &file, bool isMain);
    bool checkReadable(const FileDef &file);
    bool checkWritable(const FileDef &file);
    bool checkLength(const FileDef &file);
    bool checkPages(const FileDef &file);
    void failReading(const FileDef &file, const QSqlError &error);
    bool checkTables(const FileDef &file);
    // The names of the tables and indexes a file holds.
    QSet<QString> objectNames(const FileDef &file);
    // Adds the program's own tables and the indexes where a file lacks them.
    void completeFile(const FileDef &file);
    bool exec(const QString &sql, const QString &action);
    void fail(const QString &action, const QString &detail);
    QString shownPath(const FileDef &file) const;
    void failOpening(StoreError::Kind kind, const FileDef &file, const QString &action,
                     const QString &detail);
    void disconnect();

    QString m_connectionName;
    DataLocation m_location;
    Dialect m_dialect;
    QSqlDatabase m_db;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
    QHash<QString, QStringList> m_columns;
    StoreError m_lastError;
    int m_transactionDepth = 0;
};

// All-or-nothing: rolls back unless commit() was reached.
class Transaction
{
public:
    explicit Transaction(Store &store);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();

private:
    Store &m_store;
    bool m_active;
};

// Builds the SQL text of a query in the dialect, its values to bind going to *values (used by the
// store's own classes).
QString selectSql(const Dialect &dialect, const Query &query, const QString &columns,
                  QVariantList *values);
