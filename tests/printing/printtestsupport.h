#pragma once

#include "printing/curtprinter.h"
#include "printing/printdialogs.h"
#include "printing/printwindow.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTest>

// What the print tests read from a recorded document and how they answer the print dialogs.
namespace PrintTest {

// The texts of the entries of one kind, in order.
inline QStringList texts(const PrintDocument &document, PrintEntry::Kind kind)
{
    QStringList found;
    for (const PrintEntry &entry : document) {
        if (entry.kind == kind)
            found << entry.text;
    }
    return found;
}

// The cell texts of each table row, in order.
inline QList<QStringList> rows(const PrintDocument &document)
{
    QList<QStringList> found;
    for (const PrintEntry &entry : document) {
        if (entry.kind != PrintEntry::Row)
            continue;
        QStringList cells;
        for (const RecordedCell &cell : entry.cells)
            cells << cell.text;
        found << cells;
    }
    return found;
}

// The kinds of the entries, in order: the shape of a document.
inline QList<PrintEntry::Kind> kinds(const PrintDocument &document)
{
    QList<PrintEntry::Kind> found;
    for (const PrintEntry &entry : document)
        found << entry.kind;
    return found;
}

// The cell texts of a laid-out page, row after row.
inline QStringList cellTexts(const LaidOutPage &page)
{
    QStringList found;
    for (const PlacedCell &cell : page.cells)
        found << cell.text.lines.join(QString());
    return found;
}

// The open print window of that name, standing alone (the tests open screens outside a main
// window).
inline PrintWindow *openPrintWindow(const QString &name)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<PrintWindow *>(top);
        if (window && window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

// The open print window of that name among the child windows of a main window's client area.
inline PrintWindow *printWindowIn(const QMdiArea *area, const QString &name)
{
    for (QMdiSubWindow *host : area->subWindowList()) {
        auto *window = qobject_cast<PrintWindow *>(host->widget());
        if (window && window->objectName() == name)
            return window;
    }
    return nullptr;
}

inline void trigger(CurtPrinter *printer, const char *actionName)
{
    QAction *action = printer->findChild<QAction *>(QString::fromLatin1(actionName));
    if (!action)
        QTest::qFail(actionName, __FILE__, __LINE__);
    else
        action->trigger();
}

// Answers the printer dialog while alive: false cancels it, else `setUp` configures the printer
// as a user would in the dialog.
class PrinterAnswer
{
public:
    explicit PrinterAnswer(std::function<bool(QPrinter &)> setUp)
        : m_previous(PrintDialogs::replacePrinterChooser(
              [setUp](QPrinter &printer, QWidget *) { return setUp(printer); }))
    {
    }
    ~PrinterAnswer() { PrintDialogs::replacePrinterChooser(m_previous); }

private:
    PrintDialogs::PrinterChooser m_previous;
};

// Answers the PDF file dialog with the given file name (empty cancels) while alive; records the
// suggestions it was offered.
class PdfFileAnswer
{
public:
    explicit PdfFileAnswer(const QString &fileName)
        : m_previous(PrintDialogs::replacePdfFileChooser(
              [this, fileName](QWidget *, const QString &suggestion) {
                  suggestions << suggestion;
                  return fileName;
              }))
    {
    }
    ~PdfFileAnswer() { PrintDialogs::replacePdfFileChooser(m_previous); }

    QStringList suggestions;

private:
    PrintDialogs::PdfFileChooser m_previous;
};

// Runs a poppler tool and returns what it printed; fails the test when it cannot run.
inline QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        QTest::qFail(qPrintable(tool + QStringLiteral(" failed (poppler-utils installed?): ")
                                + QString::fromUtf8(process.readAllStandardError())),
                     __FILE__, __LINE__);
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The number of pages of a PDF file, by pdfinfo.
inline int pdfPageCount(const QString &file)
{
    for (const QString &line : poppler(QStringLiteral("pdfinfo"), {file}).split('\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// The page size line of a PDF file, by pdfinfo ("728.5 x 515.9 pts").
inline QString pdfPageSize(const QString &file)
{
    for (const QString &line : poppler(QStringLiteral("pdfinfo"), {file}).split('\n')) {
        if (line.startsWith(QLatin1String("Page size:")))
            return line.mid(10).trimmed();
    }
    return QString();
}

// The text of one page of a PDF file, by pdftotext.
inline QString pdfPageText(const QString &file, int page)
{
    return poppler(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                    QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")});
}

} // namespace PrintTest
