#pragma once

#include "store/schema.h"

#include <QList>
#include <QString>
#include <memory>

class RowStream;

// A column of an exported list: its name (the header) and what its values are.
struct ExportColumn
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool money = false;
};

// One figure of a screen's totals, as the screen shows it: "合计金额" and "1234.50".
struct ExportTotal
{
    QString label;
    QString value;
};

enum class ExportFormat { Csv, Xlsx };

// Writes a list into a file of one format: a header row of the column names, the rows, and
// the totals as the last row. Everything goes under a temporary name beside the file; only
// commit() puts it under the file's name, so that a failure or a stop leaves nothing
// half-written there.
class TableWriter
{
public:
    virtual ~TableWriter() = default;

    // The writer of the format; nothing is written before open().
    static std::unique_ptr<TableWriter> create(ExportFormat format,
                                               const QList<ExportColumn> &columns);

    // The most data rows a file of the format holds (the header and totals aside).
    virtual qint64 rowLimit() const = 0;
    virtual bool open(const QString &path) = 0;
    // The stream's current row, a value per column.
    virtual bool writeRow(const RowStream &row) = 0;
    // The totals row: each label, then its figure.
    virtual bool writeTotals(const QList<ExportTotal> &totals) = 0;
    virtual bool commit() = 0;
    // Removes what was written; the file's name is left as it was.
    virtual void discard() = 0;

    // Why the last step failed, in words.
    QString errorString() const { return m_error; }

protected:
    explicit TableWriter(const QList<ExportColumn> &columns) : m_columns(columns) {}

    QList<ExportColumn> m_columns;
    QString m_error;
};
