#pragma once

#include "store/datalocation.h"
#include "store/storeerror.h"

class QSqlDatabase;

// The program's data in a database of a PostgreSQL server: one schema per database file of a
// folder (bianhao, userdb, jinhuo, kucun, chuhuo), with the same tables and columns in the same
// order, each table followed by its hidden identity column. Nothing here speaks to a user.
namespace ServerDatabase {

// Opens the connection (made with the QPSQL driver, not yet open) on the server's database and
// sets up its session: UTF-8, the five schemas searched for tables, statements planned with
// their values. Fails, naming the server and the reason, when it cannot be reached, refuses
// the login, or the database is missing or cannot match text without letter case.
bool connect(QSqlDatabase &db, const ServerAddress &address, StoreError *error);

// Makes sure that the database holds the program's schemas. A database without any of them is
// a first start: all are created, with their tables, indexes and required rows, in one
// transaction, unless told to create nothing. When only some are missing, fails with the kind
// FilesMissing and their names unless told to create them. A schema without one of its tables
// or columns fails with FileDamaged. Missing indexes, added tables and the pending-line tables'
// clerk column are added.
enum class Create { Nothing, AtFirstStart, Missing };
bool prepare(QSqlDatabase &db, const ServerAddress &address, Create create, StoreError *error);

// Opens one more connection to the same database, set up as connect() does, under a name of
// its own; for reading a long result beside the store's own statements.
bool connectAgain(const QSqlDatabase &db, const QString &name, StoreError *error);

} // namespace ServerDatabase
