#include "printing/printdialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {
PrintDialogs::PrinterChooser printerChooser;
PrintDialogs::PdfFileChooser pdfFileChooser;
} // namespace

namespace PrintDialogs {

bool choosePrinter(QPrinter &printer, QWidget *parent)
{
    if (printerChooser)
        return printerChooser(printer, parent);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

QString choosePdfFile(QWidget *parent, const QString &suggestion)
{
    if (pdfFileChooser)
        return pdfFileChooser(parent, suggestion);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("导出PDF"), suggestion,
                                        QStringLiteral("PDF 文件 (*.pdf)"));
}

PrinterChooser replacePrinterChooser(PrinterChooser chooser)
{
    std::swap(printerChooser, chooser);
    return chooser;
}

PdfFileChooser replacePdfFileChooser(PdfFileChooser chooser)
{
    std::swap(pdfFileChooser, chooser);
    return chooser;
}

} // namespace PrintDialogs
