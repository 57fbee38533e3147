#pragma once

#include "export/tablewriter.h"

#include <QSaveFile>

// CSV as spreadsheet programs read it: UTF-8 with a byte-order mark (else they take Chinese
// text for the local code page), commas, CRLF line ends, and quotes around a text that holds a
// comma, a quote or a line break, its quotes doubled.
class CsvTableWriter : public TableWriter
{
public:
    explicit CsvTableWriter(const QList<ExportColumn> &columns);

    qint64 rowLimit() const override;
    bool open(const QString &path) override;
    bool writeRow(const RowStream &row) override;
    bool writeTotals(const QList<ExportTotal> &totals) override;
    bool commit() override;
    void discard() override;

private:
    void appendField(const QString &text);
    void appendField(const char *text, int bytes);
    void startField();
    void endLine();
    bool flushIfFull();
    bool flush();

    QSaveFile m_file;
    QByteArray m_buffer;
    bool m_lineStarted = false;
};
