#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

// The two questions the print preview asks: which printer, and which PDF file. Tests replace
// them so that nothing waits for a modal dialog.
namespace PrintDialogs {

// Lets the user set up the printer; false when the user cancels.
using PrinterChooser = std::function<bool(QPrinter &printer, QWidget *parent)>;
// The file to save a PDF under, starting from the suggestion; empty when the user cancels.
using PdfFileChooser = std::function<QString(QWidget *parent, const QString &suggestion)>;

bool choosePrinter(QPrinter &printer, QWidget *parent);
QString choosePdfFile(QWidget *parent, const QString &suggestion);

// Installs a replacement (an empty function restores the standard dialog); returns the one it
// replaces.
PrinterChooser replacePrinterChooser(PrinterChooser chooser);
PdfFileChooser replacePdfFileChooser(PdfFileChooser chooser);

} // namespace PrintDialogs
