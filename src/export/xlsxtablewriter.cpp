#include "export/xlsxtablewriter.h"

#include "export/numbertext.h"
#include "store/values.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <xlsxwriter.h>

namespace {

// The rows the column widths are fitted to.
constexpr int SampleRows = 200;
// Widths in characters of the sheet's font: a column is no narrower or wider than these.
constexpr double NarrowestColumn = 6;
constexpr double WidestColumn = 60;
// The sheet's row limit, the header row aside.
constexpr qint64 SheetRows = 1048576 - 1;

// A stored date, "yyyy-MM-dd"; invalid for any other text.
QDate storedDate(const char *text, int bytes)
{
    if (bytes != 10 || text[4] != '-' || text[7] != '-')
        return {};
    const auto number = [text](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    return QDate(number(0, 4), number(5, 2), number(8, 2));
}

// The width a text takes in the sheet's font, in characters: Chinese characters take two.
double textWidth(const QString &text)
{
    double width = 0;
    for (const QChar character : text)
        width += character.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

} // namespace

XlsxTableWriter::XlsxTableWriter(const QList<ExportColumn> &columns) : TableWriter(columns) {}

XlsxTableWriter::~XlsxTableWriter()
{
    discard();
}

qint64 XlsxTableWriter::rowLimit() const
{
    // The totals take a row as well.
    return SheetRows - 1;
}

bool XlsxTableWriter::check(int status)
{
    if (status == LXW_NO_ERROR)
        return true;
    m_error = QString::fromUtf8(lxw_strerror(lxw_error(status)));
    return false;
}

bool XlsxTableWriter::open(const QString &path)
{
    m_path = path;
    const QFileInfo target(path);
    m_temporary = target.dir().filePath(QStringLiteral(".%1.part").arg(target.fileName()));
    QFile::remove(m_temporary);
    // The workbook is only written at the end; whether the folder takes a file shows now.
    QFile probe(m_temporary);
    if (!probe.open(QIODevice::WriteOnly)) {
        m_error = probe.errorString();
        return false;
    }
    probe.close();
    // The rows wait in a temporary file of the library's, kept on the target's disk, whose room
    // is what counts.
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(folder.constData());
    const QByteArray name = QFile::encodeName(m_temporary);
    m_workbook = workbook_new_opt(name.constData(), &options);
    if (!m_workbook) {
        m_error = QStringLiteral("内存不足");
        return false;
    }
    m_sheet = workbook_add_worksheet(m_workbook, nullptr);
    m_header = workbook_add_format(m_workbook);
    format_set_bold(m_header);
    m_money = workbook_add_format(m_workbook);
    format_set_num_format(m_money, "0.00");
    m_date = workbook_add_format(m_workbook);
    format_set_num_format(m_date, "yyyy-mm-dd");
    worksheet_freeze_panes(m_sheet, 1, 0);
    return true;
}

void XlsxTableWriter::fitColumns()
{
    m_fitted = true;
    for (int column = 0; column < m_columns.size(); ++column) {
        double width = textWidth(m_columns[column].name);
        for (const QVector<Cell> &row : std::as_const(m_sample)) {
            const Cell &cell = row[column];
            QByteArray shown = cell.text;
            if (cell.type == RowStream::Type::Number) {
                shown.clear();
                if (m_columns[column].money)
                    NumberText::appendMoney(shown, cell.number);
                else
                    NumberText::appendPlain(shown, cell.number);
            }
            width = qMax(width, textWidth(QString::fromUtf8(shown)));
        }
        worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                             qBound(NarrowestColumn, width + 2, WidestColumn), nullptr);
    }
    for (int column = 0; column < m_columns.size(); ++column) {
        const QByteArray header = m_columns[column].name.toUtf8();
        worksheet_write_string(m_sheet, 0, lxw_col_t(column), header.constData(), m_header);
    }
    m_row = 1;
}

bool XlsxTableWriter::writeBuffered()
{
    if (!m_fitted)
        fitColumns();
    for (const QVector<Cell> &row : std::as_const(m_sample)) {
        for (int column = 0; column < row.size(); ++column) {
            const Cell &cell = row[column];
            if (!writeCell(column, cell.type, cell.number, cell.text.constData(),
                           int(cell.text.size()))) {
                return false;
            }
        }
        if (!endRow())
            return false;
    }
    m_sample.clear();
    return true;
}

bool XlsxTableWriter::writeCell(int column, RowStream::Type type, double number,
                                const char *text, int bytes)
{
    const ExportColumn &kind = m_columns[column];
    const auto at = lxw_col_t(column);
    switch (type) {
    case RowStream::Type::Null:
        return true;
    case RowStream::Type::Number:
        return check(worksheet_write_number(m_sheet, m_row, at, number,
                                            kind.money ? m_money : nullptr));
    case RowStream::Type::Text:
        break;
    }
    if (kind.kind == ColumnKind::Date) {
        const QDate date = storedDate(text, bytes);
        if (date.isValid()) {
            lxw_datetime when = {date.year(), date.month(), date.day(), 0, 0, 0};
            return check(worksheet_write_datetime(m_sheet, m_row, at, &when, m_date));
        }
    }
    return check(worksheet_write_string(m_sheet, m_row, at, text, nullptr));
}

bool XlsxTableWriter::endRow()
{
    ++m_row;
    return rowsStored(false);
}

bool XlsxTableWriter::rowsStored(bool flush)
{
    // The library writes the rows into its temporary file without looking at the outcome: a
    // full disk would give a workbook without them.
    FILE *rows = m_sheet->optimize_tmpfile;
    if (!rows || ((!flush || std::fflush(rows) == 0) && !std::ferror(rows)))
        return true;
    m_error = QStringLiteral("磁盘已满或无法写入");
    return false;
}

bool XlsxTableWriter::writeRow(const RowStream &row)
{
    if (!m_fitted) {
        QVector<Cell> cells(m_columns.size());
        for (int column = 0; column < m_columns.size(); ++column) {
            Cell &cell = cells[column];
            cell.type = row.type(column);
            if (cell.type == RowStream::Type::Number) {
                cell.number = row.number(column);
            } else if (cell.type == RowStream::Type::Text) {
                int bytes = 0;
                const char *text = row.text(column, &bytes);
                cell.text = QByteArray(text, bytes);
            }
        }
        m_sample.append(cells);
        return m_sample.size() < SampleRows || writeBuffered();
    }
    for (int column = 0; column < m_columns.size(); ++column) {
        const RowStream::Type type = row.type(column);
        int bytes = 0;
        const char *text = type == RowStream::Type::Text ? row.text(column, &bytes) : nullptr;
        const double number = type == RowStream::Type::Number ? row.number(column) : 0;
        if (!writeCell(column, type, number, text, bytes))
            return false;
    }
    return endRow();
}

bool XlsxTableWriter::writeTotals(const QList<ExportTotal> &totals)
{
    if (!writeBuffered())
        return false;
    lxw_col_t column = 0;
    for (const ExportTotal &total : totals) {
        const QByteArray label = total.label.toUtf8();
        if (!check(worksheet_write_string(m_sheet, m_row, column++, label.constData(), m_header)))
            return false;
        const auto number = Values::parseNumber(total.value);
        const QByteArray text = total.value.toUtf8();
        const int status = number
            ? worksheet_write_number(m_sheet, m_row, column++, *number, nullptr)
            : worksheet_write_string(m_sheet, m_row, column++, text.constData(), nullptr);
        if (!check(status))
            return false;
    }
    ++m_row;
    return true;
}

bool XlsxTableWriter::commit()
{
    if (!writeBuffered() || !rowsStored(true))
        return false;
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr;
    if (!check(workbook_close(workbook))) {
        QFile::remove(m_temporary);
        return false;
    }
    std::error_code failure;
    std::filesystem::rename(QFileInfo(m_temporary).filesystemAbsoluteFilePath(),
                            QFileInfo(m_path).filesystemAbsoluteFilePath(), failure);
    if (failure) {
        m_error = QString::fromStdString(failure.message());
        QFile::remove(m_temporary);
        return false;
    }
    return true;
}

void XlsxTableWriter::discard()
{
    if (m_workbook) {
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
    }
    if (!m_temporary.isEmpty() && QFileInfo::exists(m_temporary))
        QFile::remove(m_temporary);
}
