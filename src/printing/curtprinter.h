#pragma once

#include "printing/pagelayout.h"
#include "printing/printdocument.h"

#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QToolBar;

// The print component of the print windows: records a document of titles, lines and ruled
// table rows, lays it out page by page, shows it in a preview with its own toolbar, and prints
// it on a printer or into a PDF file. The window that holds it answers its events: the page
// texts of each page, and laying the document out again for a refresh or a print.
class CurtPrinter : public QWidget
{
    Q_OBJECT

public:
    // Windows printer codes of the page set-up.
    enum OrientationCode { Portrait = 1, Landscape = 2 };
    enum PaperCode { A4 = 9, B5 = 13 };

    explicit CurtPrinter(QWidget *parent = nullptr);
    ~CurtPrinter() override;

    int Orientation() const { return m_orientation; }
    void setOrientation(int code);
    int PaperSize() const { return m_paperSize; }
    void setPaperSize(int code);

    // Starts a document: for the preview without a printer, else for that printer.
    void BeginDoc(QPrinter *printer = nullptr);
    // The first page, or a page break.
    void NewPage();
    void PrintTitle(const QString &text, int size, int alignment);
    void PrintLine(const QString &text);
    void NewRow();
    // One cell of the current row: width in twips, alignment code (0 left, 1 right, 2 centre),
    // border code ("1111" rules left, top, right and bottom), back colour as 0xBBGGRR.
    void PrintCell(const QString &text, int widthTwips, int alignment, const QString &border,
                   qint64 backColour);
    void LineFeed();
    // Lays the document out, raising the page events, then shows it in the preview or prints
    // it. False when the printer could not be used (the user has been told).
    bool EndDoc();
    // Texts placed at the left, the centre and the right of the top and of the foot of a page;
    // set while the page events run, they go on the page being laid out.
    void SetPageText(const QString &left, const QString &centre, const QString &right);
    void SetPageFootText(const QString &left, const QString &centre, const QString &right);

    // The document recorded last, and the pages the preview shows.
    const PrintDocument &document() const { return m_document; }
    const QList<LaidOutPage> &pages() const { return m_pages; }
    QPrintPreviewWidget *preview() const { return m_preview; }
    // The printer a print event is for (the system printer, or a PDF file being saved); nullptr
    // outside a print event.
    QPrinter *printTarget() const { return m_printTarget; }

    // The toolbar's actions.
    void print();
    void exportPdf();
    void refresh();

signals:
    void pageHeading(int page);
    void pageFoot(int page);
    void refreshRequested();
    void printRequested();
    void closeRequested();

private:
    void buildToolbar();
    QAction *addTool(const QString &name, const QString &text, std::function<void()> action);
    void showPage(int page);
    void updatePageLabel();
    void applyPageSetup(QPrinter &printer) const;
    void printOn(QPrinter *printer);
    QList<LaidOutPage> layOut(const QPrinter &printer);
    bool paintPages(QPrinter *printer, const QList<LaidOutPage> &pages);
    QString documentName() const;

    int m_orientation = Portrait;
    int m_paperSize = A4;
    PrintFonts m_fonts;
    PrintDocument m_recording;
    PrintDocument m_document;
    QPrinter *m_target = nullptr;
    QPrinter *m_printTarget = nullptr;
    PageTexts m_pageTexts;
    QList<LaidOutPage> m_pages;
    std::unique_ptr<QPrinter> m_previewPrinter;
    std::unique_ptr<QPrinter> m_systemPrinter;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_pageLabel = nullptr;
    QPrintPreviewWidget *m_preview = nullptr;
};
