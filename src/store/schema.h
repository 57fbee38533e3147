#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

// The kinds of value a column holds. Dates are stored as "yyyy-MM-dd" text so that ranges
// compare correctly; a flag is text that is Null until a line is posted.
enum class ColumnKind { Text, Number, Date, Flag };

struct ColumnDef {
    QString name;
    ColumnKind kind;
    bool money = false; // a number the grids show with two decimals
};

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;

    const ColumnDef *column(const QString &name) const;
};

struct IndexDef {
    QString table;
    QStringList columns;
    bool noCase; // text columns searched by prefix "like" need NOCASE to use the index
    QString where = {}; // a partial index holds only the rows that pass this condition
};

// One database file of the sysfile folder and what it must hold.
struct FileDef {
    QString fileName;   // e.g. "jinhuo.db"
    QString schemaName; // the name it is attached under ("main" for the first file)
    std::vector<TableDef> tables;
    std::vector<IndexDef> indexes;
    // Indexes of earlier versions that would now mislead the planner; dropped at open.
    QStringList retiredIndexes = {};
    // Tables the program keeps beside the delivered ones; made at open when a file lacks them,
    // so that files from before they existed are accepted as they are.
    std::vector<TableDef> addedTables = {};
};

namespace Schema {

// The five files, the first one being the connection's main file.
const std::vector<FileDef> &files();

// Null when no file defines the table (delivered or added).
const TableDef *table(const QString &tableName);
const FileDef *fileOfTable(const QString &tableName);

// The row a new table must hold for the program to work (the company, the counters and the
// first user); empty for the other tables.
QVariantList requiredRow(const QString &tableName);

} // namespace Schema
