#include "export/listexport.h"

#include "store/rowstream.h"
#include "store/schema.h"
#include "store/store.h"

#include <QDir>

namespace {

// Rows between two reports of progress: each report lets the dialog repaint.
constexpr qint64 ReportEvery = 2000;

QList<ExportColumn> columnsOf(const Query &query, const QStringList &names)
{
    const TableDef *table = Schema::table(query.table);
    QList<ExportColumn> columns;
    for (const QString &name : names) {
        const ColumnDef *column = table ? table->column(name) : nullptr;
        columns.append({name, column ? column->kind : ColumnKind::Text,
                        column && column->money});
    }
    return columns;
}

ExportOutcome failed(const QString &problem, qint64 rows = 0)
{
    return {ExportOutcome::Result::Failed, rows, problem};
}

} // namespace

ExportFormat formatOfFile(const QString &path)
{
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? ExportFormat::Xlsx
                                                                        : ExportFormat::Csv;
}

ExportOutcome exportList(Store &store, const Query &query, const QList<ExportTotal> &totals,
                         ExportFormat format, const QString &path,
                         const ExportProgress &progress)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const qint64 total = store.rowCount(query);
    RowStream rows(store, query);
    StoreError error = store.lastError();
    if (!error.isEmpty() || !rows.open(&error))
        return failed(QStringLiteral("读取数据失败：%1").arg(error.text()));
    const std::unique_ptr<TableWriter> writer =
        TableWriter::create(format, columnsOf(query, rows.columns()));
    if (total > writer->rowLimit()) {
        return failed(QStringLiteral("共 %1 行，超过 XLSX 文件能容纳的 %2 行，请导出为 CSV 文件")
                          .arg(total)
                          .arg(writer->rowLimit()));
    }
    if (!writer->open(path))
        return failed(QStringLiteral("无法写入文件 %1：%2").arg(shownPath, writer->errorString()));

    qint64 written = 0;
    while (rows.next()) {
        if (!writer->writeRow(rows)) {
            writer->discard();
            return failed(QStringLiteral("无法写入文件 %1：%2")
                              .arg(shownPath, writer->errorString()),
                          written);
        }
        if (++written % ReportEvery == 0 && progress && !progress(written, total)) {
            writer->discard();
            return {ExportOutcome::Result::Stopped, written, {}};
        }
    }
    if (!rows.error().isEmpty()) {
        writer->discard();
        return failed(QStringLiteral("读取数据失败：%1").arg(rows.error().text()), written);
    }
    if ((!totals.isEmpty() && !writer->writeTotals(totals)) || !writer->commit()) {
        const QString problem = writer->errorString();
        writer->discard();
        return failed(QStringLiteral("无法写入文件 %1：%2").arg(shownPath, problem), written);
    }
    if (progress)
        progress(written, total);
    return {ExportOutcome::Result::Written, written, {}};
}
