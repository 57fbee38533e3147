#include "store/datacopy.h"

#include "store/query.h"
#include "store/schema.h"
#include "store/store.h"
#include "store/values.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cmath>

namespace {

// Every table the program keeps, delivered or added, with its file.
QList<const TableDef *> allTables()
{
    QList<const TableDef *> tables;
    for (const FileDef &file : Schema::files()) {
        for (const TableDef &table : file.tables)
            tables << &table;
        for (const TableDef &table : file.addedTables)
            tables << &table;
    }
    return tables;
}

QString columnList(const TableDef &table)
{
    QStringList names;
    for (const ColumnDef &column : table.columns)
        names << quotedName(column.name);
    return names.join(QLatin1String(", "));
}

// The rows and the sums of the number columns of a table: what both sides must agree on.
struct Figures
{
    qint64 rows = 0;
    QList<double> sums;
};

class Copier
{
public:
    Copier(Store &source, Store &target) : m_source(source), m_target(target) {}

    bool targetIsEmpty();
    bool copyTable(const TableDef &table);
    bool compare(const TableDef &table, QString *line);
    StoreError error() const { return m_error; }

private:
    bool figures(Store &store, const TableDef &table, Figures *figures);
    bool fail(const QString &action, const QSqlError &error)
    {
        m_error = StoreError::fromEngine(action, error);
        return false;
    }

    Store &m_source;
    Store &m_target;
    StoreError m_error;
};

bool Copier::targetIsEmpty()
{
    for (const TableDef *table : allTables()) {
        QSqlQuery rows(m_target.database());
        if (!rows.exec(QStringLiteral("SELECT %1 FROM %2")
                           .arg(columnList(*table), quotedName(table->name))))
            return fail(QStringLiteral("无法读取目标的表 %1").arg(table->name), rows.lastError());
        // A first start puts one required row into a few tables; nothing else may be there.
        const QVariantList required = Schema::requiredRow(table->name);
        int count = 0;
        while (rows.next()) {
            bool asRequired = !required.isEmpty() && count == 0;
            for (int c = 0; asRequired && c < int(table->columns.size()); ++c)
                asRequired = rows.value(c).toString() == required.value(c).toString();
            if (!asRequired) {
                m_error = {QStringLiteral("目标 %1 中已有数据（表 %2），只能复制到空的目标")
                               .arg(m_target.location().text(), table->name)};
                return false;
            }
            ++count;
        }
    }
    return true;
}

bool Copier::copyTable(const TableDef &table)
{
    const QString name = quotedName(table.name);
    QSqlQuery clear(m_target.database());
    if (!clear.exec(QStringLiteral("DELETE FROM %1").arg(name)))
        return fail(QStringLiteral("无法清空目标的表 %1").arg(table.name), clear.lastError());
    QSqlQuery rows(m_source.database());
    rows.setForwardOnly(m_source.dialect().readsRowByRow());
    if (!rows.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                       .arg(columnList(table), name)))
        return fail(QStringLiteral("无法读取源的表 %1").arg(table.name), rows.lastError());
    QSqlQuery insert(m_target.database());
    const QStringList marks(table.columns.size(), QStringLiteral("?"));
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(name, columnList(table), marks.join(QLatin1Char(',')))))
        return fail(QStringLiteral("无法写入目标的表 %1").arg(table.name), insert.lastError());
    while (rows.next()) {
        for (int c = 0; c < int(table.columns.size()); ++c)
            insert.bindValue(c, rows.value(c));
        if (!insert.exec())
            return fail(QStringLiteral("无法写入目标的表 %1").arg(table.name), insert.lastError());
    }
    if (rows.lastError().isValid())
        return fail(QStringLiteral("无法读取源的表 %1").arg(table.name), rows.lastError());
    return true;
}

bool Copier::figures(Store &store, const TableDef &table, Figures *figures)
{
    QStringList expressions{QStringLiteral("count(*)")};
    for (const ColumnDef &column : table.columns) {
        if (column.kind == ColumnKind::Number)
            expressions << QStringLiteral("sum(%1)").arg(quotedName(column.name));
    }
    QSqlQuery statement(store.database());
    if (!statement.exec(QStringLiteral("SELECT %1 FROM %2")
                            .arg(expressions.join(QLatin1String(", ")), quotedName(table.name)))
        || !statement.next()) {
        return fail(QStringLiteral("无法统计表 %1").arg(table.name), statement.lastError());
    }
    figures->rows = statement.value(0).toLongLong();
    for (int i = 1; i < expressions.size(); ++i)
        figures->sums << statement.value(i).toDouble();
    return true;
}

bool Copier::compare(const TableDef &table, QString *line)
{
    Figures read;
    Figures written;
    if (!figures(m_source, table, &read) || !figures(m_target, table, &written))
        return false;
    *line = QStringLiteral("%1：%2 行").arg(table.name).arg(read.rows);
    bool same = read.rows == written.rows;
    int sum = 0;
    for (const ColumnDef &column : table.columns) {
        if (column.kind != ColumnKind::Number)
            continue;
        const double a = read.sums.value(sum);
        const double b = written.sums.value(sum);
        ++sum;
        // The engines add in their own order; a difference beyond rounding is a lost value.
        same = same && std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(a));
        *line += QStringLiteral("，%1 合计 %2").arg(column.name, Values::plainNumber(a));
    }
    if (!same) {
        m_error = {QStringLiteral("复制后表 %1 的行数或合计与源不同，没有复制任何数据")
                       .arg(table.name)};
        return false;
    }
    return true;
}

} // namespace

namespace DataCopy {

Outcome copy(const DataLocation &from, const DataLocation &to)
{
    Outcome outcome;
    Store source;
    if (!source.open(from, Store::MissingFiles::Refuse)) {
        outcome.error = {QStringLiteral("无法打开源数据 %1").arg(from.text()),
                         source.lastError().text()};
        return outcome;
    }
    Store target;
    if (!target.open(to)) {
        outcome.error = {QStringLiteral("无法打开目标 %1").arg(to.text()),
                         target.lastError().text()};
        return outcome;
    }
    Copier copier(source, target);
    Transaction transaction(target);
    bool ok = transaction.isActive() && copier.targetIsEmpty();
    for (const TableDef *table : allTables()) {
        QString line;
        ok = ok && copier.copyTable(*table) && copier.compare(*table, &line);
        if (ok)
            outcome.report << line;
    }
    if (ok && !transaction.commit()) {
        outcome.error = target.lastError();
        return outcome;
    }
    if (!ok) {
        outcome.error = transaction.isActive() ? copier.error() : target.lastError();
        outcome.report.clear();
        return outcome;
    }
    // A server plans from statistics that it gathers some time after a bulk load; until then
    // the document search walked every line in table order. They are gathered at once.
    if (to.isServer()) {
        QSqlQuery analyse(target.database());
        if (!analyse.exec(QStringLiteral("ANALYZE"))) {
            outcome.report << QStringLiteral("数据已复制，但未能更新服务器的统计信息：%1")
                                  .arg(analyse.lastError().text());
        }
    }
    outcome.ok = true;
    return outcome;
}

} // namespace DataCopy
