#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

// The benchmark talks to SQLite itself, beside the program: to fill the files in bulk and to
// time the least SQL a screen needs. Failures throw, since a benchmark cannot go on after one.
class SqliteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Values bound in order from the first parameter; a Null QVariant binds Null.
    void bindAll(const QVariantList &values);
    void bind(int position, const QVariant &value);
    // Steps once; true while a row is there.
    bool step();
    void reset();
    // Steps to the end, reading every column of every row as text as a grid would show it;
    // returns the number of rows.
    int readAll();
    QVariant value(int column) const;
    int columnCount() const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_sql;
};

// One connection: a main file with the other files attached under their schema names.
class SqliteDb
{
public:
    explicit SqliteDb(const QString &mainFile);
    ~SqliteDb();
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    void attach(const QString &file, const QString &schema);
    void exec(const QString &sql);
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};
