#pragma once

#include "store/query.h"
#include "store/schema.h"
#include "store/store.h"

#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantList>

// Every row of every table, by table and rowid: taken before and after an action, the two tell
// which rows the action added, changed or deleted.
class TableSnapshot
{
public:
    struct Change
    {
        enum Kind { Added, Changed, Deleted } kind;
        QString table;
        qint64 rowid;
        QVariantList before; // empty when added
        QVariantList after;  // empty when deleted
        QStringList columns;
    };

    explicit TableSnapshot(Store &store)
    {
        for (const FileDef &file : Schema::files()) {
            for (const TableDef &table : file.tables) {
                QSqlQuery rows(store.database());
                rows.setForwardOnly(true);
                rows.exec(QStringLiteral("SELECT rowid, * FROM %1").arg(quotedName(table.name)));
                QHash<qint64, QVariantList> &kept = m_tables[table.name];
                QStringList &names = m_columns[table.name];
                const QSqlRecord record = rows.record();
                for (int i = 1; i < record.count(); ++i)
                    names << record.fieldName(i);
                while (rows.next()) {
                    QVariantList values;
                    for (int i = 1; i < record.count(); ++i)
                        values << rows.value(i);
                    kept.insert(rows.value(0).toLongLong(), values);
                }
            }
        }
    }

    // What happened between this snapshot and a later one.
    QList<Change> changesTo(const TableSnapshot &later) const
    {
        QList<Change> changes;
        for (auto table = m_tables.cbegin(); table != m_tables.cend(); ++table) {
            const QHash<qint64, QVariantList> after = later.m_tables.value(table.key());
            const QStringList columns = later.m_columns.value(table.key());
            for (auto row = table->cbegin(); row != table->cend(); ++row) {
                if (!after.contains(row.key()))
                    changes.append({Change::Deleted, table.key(), row.key(), *row, {}, columns});
                else if (!same(after.value(row.key()), *row))
                    changes.append({Change::Changed, table.key(), row.key(), *row,
                                    after.value(row.key()), columns});
            }
            for (auto row = after.cbegin(); row != after.cend(); ++row) {
                if (!table->contains(row.key()))
                    changes.append({Change::Added, table.key(), row.key(), {}, *row, columns});
            }
        }
        return changes;
    }

    static QString describe(const QList<Change> &changes)
    {
        QStringList lines;
        static const char *const kinds[] = {"added", "changed", "deleted"};
        for (const Change &change : changes) {
            lines << QStringLiteral("%1 %2 row %3").arg(kinds[change.kind], change.table)
                         .arg(change.rowid);
        }
        return lines.join(QStringLiteral("; "));
    }

private:
    // Null apart from the empty text, -0 as 0, and values of one meaning in any type alike.
    static bool same(const QVariantList &a, const QVariantList &b)
    {
        if (a.size() != b.size())
            return false;
        for (int i = 0; i < a.size(); ++i) {
            if (a[i].isNull() != b[i].isNull() || (!a[i].isNull() && a[i] != b[i]))
                return false;
        }
        return true;
    }

    QHash<QString, QHash<qint64, QVariantList>> m_tables;
    QHash<QString, QStringList> m_columns;
};
