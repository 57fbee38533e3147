#pragma once

#include "export/tablewriter.h"

#include <functional>

class Store;
struct Query;

struct ExportOutcome
{
    enum class Result { Written, Stopped, Failed };
    Result result = Result::Failed;
    qint64 rows = 0; // data rows written
    QString problem;
};

// Told the rows written so far and all rows; returning false stops the export.
using ExportProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes every row of the query's result into the file, not only the rows a grid has read so
// far: the column names as the header, the rows in the result's order, and the totals (when
// given) as the last row. The rows are read in one pass (RowStream), not through a cursor,
// whose converted and cached values would cost more than the writing. A stop or a failure
// leaves the file's name as it was.
ExportOutcome exportList(Store &store, const Query &query, const QList<ExportTotal> &totals,
                         ExportFormat format, const QString &path,
                         const ExportProgress &progress = {});

// The format a file's name asks for: XLSX for ".xlsx", CSV otherwise.
ExportFormat formatOfFile(const QString &path);
