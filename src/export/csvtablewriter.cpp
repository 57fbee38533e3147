#include "export/csvtablewriter.h"

#include "store/values.h"

#include <QDir>

namespace {

// Written to the file in pieces of about this size.
constexpr int BufferBytes = 1 << 20;

QString fieldText(const ExportColumn &column, const QVariant &value)
{
    if (value.isNull())
        return {};
    if (column.kind != ColumnKind::Number)
        return value.toString();
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (!isNumber)
        return value.toString();
    return column.money ? Values::money(number) : Values::plainNumber(number);
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
    if (m_lineStarted)
        m_buffer.append(',');
    m_lineStarted = true;
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quoted) {
        m_buffer.append(text.toUtf8());
        return;
    }
    m_buffer.append('"');
    m_buffer.append(QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")).toUtf8());
    m_buffer.append('"');
}

void CsvTableWriter::endLine()
{
    m_buffer.append("\r\n");
    m_lineStarted = false;
}

bool CsvTableWriter::writeRow(const QVector<QVariant> &values)
{
    for (int i = 0; i < m_columns.size(); ++i)
        appendField(fieldText(m_columns[i], values.value(i)));
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
