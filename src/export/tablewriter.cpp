#include "export/tablewriter.h"

#include "export/csvtablewriter.h"
#include "export/xlsxtablewriter.h"

std::unique_ptr<TableWriter> TableWriter::create(ExportFormat format,
                                                 const QList<ExportColumn> &columns)
{
    if (format == ExportFormat::Xlsx)
        return std::make_unique<XlsxTableWriter>(columns);
    return std::make_unique<CsvTableWriter>(columns);
}
