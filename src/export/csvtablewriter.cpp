#include "export/csvtablewriter.h"

#include "export/numbertext.h"
#include "store/rowstream.h"

#include <limits>

namespace {

// Written to the file in pieces of about this size.
constexpr int BufferBytes = 1 << 20;

bool needsQuotes(const char *text, int bytes)
{
    for (const char *c = text; c < text + bytes; ++c) {
        if (*c == ',' || *c == '"' || *c == '\n' || *c == '\r')
            return true;
    }
    return false;
}

} // namespace

CsvTableWriter::CsvTableWriter(const QList<ExportColumn> &columns) : TableWriter(columns) {}

qint64 CsvTableWriter::rowLimit() const
{
    return std::numeric_limits<qint64>::max();
}

bool CsvTableWriter::open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly)) {
        m_error = m_file.errorString();
        return false;
    }
    m_buffer.reserve(BufferBytes + 4096);
    m_buffer.append("\xEF\xBB\xBF");
    for (const ExportColumn &column : std::as_const(m_columns))
        appendField(column.name);
    endLine();
    return true;
}

void CsvTableWriter::appendField(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    appendField(bytes.constData(), int(bytes.size()));
}

void CsvTableWriter::appendField(const char *text, int bytes)
{
    startField();
    if (!needsQuotes(text, bytes)) {
        m_buffer.append(text, bytes);
        return;
    }
    m_buffer.append('"');
    for (const char *c = text; c < text + bytes; ++c) {
        if (*c == '"')
            m_buffer.append('"');
        m_buffer.append(*c);
    }
    m_buffer.append('"');
}

void CsvTableWriter::startField()
{
    if (m_lineStarted)
        m_buffer.append(',');
    m_lineStarted = true;
}

void CsvTableWriter::endLine()
{
    m_buffer.append("\r\n");
    m_lineStarted = false;
}

bool CsvTableWriter::writeRow(const RowStream &row)
{
    for (int i = 0; i < m_columns.size(); ++i) {
        switch (row.type(i)) {
        case RowStream::Type::Null:
            startField();
            break;
        case RowStream::Type::Number:
            startField();
            if (m_columns[i].money)
                NumberText::appendMoney(m_buffer, row.number(i));
            else
                NumberText::appendPlain(m_buffer, row.number(i));
            break;
        case RowStream::Type::Text: {
            int bytes = 0;
            const char *text = row.text(i, &bytes);
            appendField(text, bytes);
            break;
        }
        }
    }
    endLine();
    return flushIfFull();
}

bool CsvTableWriter::writeTotals(const QList<ExportTotal> &totals)
{
    for (const ExportTotal &total : totals) {
        appendField(total.label);
        appendField(total.value);
    }
    endLine();
    return flushIfFull();
}

bool CsvTableWriter::flushIfFull()
{
    return m_buffer.size() < BufferBytes || flush();
}

bool CsvTableWriter::flush()
{
    if (m_file.write(m_buffer) != m_buffer.size()) {
        m_error = m_file.errorString();
        return false;
    }
    m_buffer.clear();
    return true;
}

bool CsvTableWriter::commit()
{
    if (!flush())
        return false;
    if (!m_file.commit()) {
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

void CsvTableWriter::discard()
{
    m_file.cancelWriting();
    m_file.commit();
    m_buffer.clear();
}
