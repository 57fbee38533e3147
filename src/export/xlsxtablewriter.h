#pragma once

#include "export/tablewriter.h"
#include "store/rowstream.h"

#include <QByteArray>
#include <QVector>

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

// An XLSX workbook of one sheet: a bold header row that stays in view, numbers as numbers (money
// with two decimals), dates as dates, text as text (codes keep their leading zeros), and columns
// as wide as their header and the first rows need. Rows go to disk as they come, so that a
// large list takes little memory.
class XlsxTableWriter : public TableWriter
{
public:
    explicit XlsxTableWriter(const QList<ExportColumn> &columns);
    ~XlsxTableWriter() override;

    qint64 rowLimit() const override;
    bool open(const QString &path) override;
    bool writeRow(const RowStream &row) override;
    bool writeTotals(const QList<ExportTotal> &totals) override;
    bool commit() override;
    void discard() override;

private:
    // A value of a row held back for fitting the columns.
    struct Cell
    {
        RowStream::Type type = RowStream::Type::Null;
        double number = 0;
        QByteArray text;
    };

    void fitColumns();
    bool writeBuffered();
    bool writeCell(int column, RowStream::Type type, double number, const char *text, int bytes);
    bool endRow();
    bool rowsStored(bool flush);
    bool check(int status);

    QString m_path;
    QString m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_money = nullptr;
    lxw_format *m_date = nullptr;
    quint32 m_row = 0;
    // The first rows, held until the columns are fitted to them.
    QVector<QVector<Cell>> m_sample;
    bool m_fitted = false;
};
