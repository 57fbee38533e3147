#include "printing/curtprinter.h"

#include "printing/pagepainter.h"
#include "printing/printdialogs.h"
#include "shell/messages.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Room left round the printed area, enough for any office printer.
const QMarginsF PageMargins(12, 12, 12, 12);
constexpr qreal TwipsPerPoint = 20;
constexpr qreal TwipsPerInch = 1440;

// A colour given as 0xBBGGRR.
QColor fromColourCode(qint64 code)
{
    return QColor(int(code & 0xff), int((code >> 8) & 0xff), int((code >> 16) & 0xff));
}

QSizeF printableTwips(const QPrinter &printer)
{
    return printer.pageLayout().paintRect(QPageLayout::Point).size() * TwipsPerPoint;
}

} // namespace

CurtPrinter::CurtPrinter(QWidget *parent)
    : QWidget(parent), m_fonts(PrintFonts::standard()),
      m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("CurtPrinter1"));
    // The preview shows the page set-up of the window, whatever the system printer is.
    m_previewPrinter->setOutputFormat(QPrinter::PdfFormat);
    applyPageSetup(*m_previewPrinter);

    m_preview = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *printer) { paintPages(printer, m_pages); });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &CurtPrinter::updatePageLabel);

    buildToolbar();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_preview, 1);
}

CurtPrinter::~CurtPrinter() = default;

void CurtPrinter::buildToolbar()
{
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addTool(QStringLiteral("printAction"), QStringLiteral("打印"), [this] { print(); });
    addTool(QStringLiteral("pdfAction"), QStringLiteral("导出PDF"), [this] { exportPdf(); });
    addTool(QStringLiteral("refreshAction"), QStringLiteral("刷新"), [this] { refresh(); });
    m_toolbar->addSeparator();
    addTool(QStringLiteral("zoomInAction"), QStringLiteral("放大"),
            [this] { m_preview->zoomIn(1.25); });
    addTool(QStringLiteral("zoomOutAction"), QStringLiteral("缩小"),
            [this] { m_preview->zoomOut(1.25); });
    addTool(QStringLiteral("fitAction"), QStringLiteral("整页"), [this] { m_preview->fitInView(); });
    m_toolbar->addSeparator();
    addTool(QStringLiteral("firstPageAction"), QStringLiteral("首页"), [this] { showPage(1); });
    addTool(QStringLiteral("previousPageAction"), QStringLiteral("上一页"),
            [this] { showPage(m_preview->currentPage() - 1); });
    addTool(QStringLiteral("nextPageAction"), QStringLiteral("下一页"),
            [this] { showPage(m_preview->currentPage() + 1); });
    addTool(QStringLiteral("lastPageAction"), QStringLiteral("末页"),
            [this] { showPage(m_preview->pageCount()); });
    m_pageLabel = new QLabel(m_toolbar);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    m_toolbar->addWidget(m_pageLabel);
    m_toolbar->addSeparator();
    addTool(QStringLiteral("closeAction"), QStringLiteral("关闭"),
            [this] { emit closeRequested(); });
}

QAction *CurtPrinter::addTool(const QString &name, const QString &text,
                              std::function<void()> action)
{
    QAction *tool = m_toolbar->addAction(text);
    tool->setObjectName(name);
    connect(tool, &QAction::triggered, this, std::move(action));
    return tool;
}

void CurtPrinter::showPage(int page)
{
    m_preview->setCurrentPage(qBound(1, page, qMax(1, m_preview->pageCount())));
    updatePageLabel();
}

void CurtPrinter::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral("第 %1 / %2 页")
                             .arg(m_preview->currentPage())
                             .arg(m_preview->pageCount()));
}

void CurtPrinter::setOrientation(int code)
{
    m_orientation = code == Landscape ? Landscape : Portrait;
    applyPageSetup(*m_previewPrinter);
}

void CurtPrinter::setPaperSize(int code)
{
    m_paperSize = code == B5 ? B5 : A4;
    applyPageSetup(*m_previewPrinter);
}

void CurtPrinter::applyPageSetup(QPrinter &printer) const
{
    // Windows' B5 is the Japanese size, 182 x 257 mm.
    printer.setPageSize(QPageSize(m_paperSize == B5 ? QPageSize::JisB5 : QPageSize::A4));
    printer.setPageOrientation(m_orientation == Landscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    printer.setPageMargins(PageMargins, QPageLayout::Millimeter);
}

void CurtPrinter::BeginDoc(QPrinter *printer)
{
    m_recording.clear();
    m_target = printer;
}

void CurtPrinter::NewPage()
{
    m_recording.append({PrintEntry::PageBreak, {}, 0, PrintAlign::Left, {}});
}

void CurtPrinter::PrintTitle(const QString &text, int size, int alignment)
{
    m_recording.append({PrintEntry::Title, text, size, alignment, {}});
}

void CurtPrinter::PrintLine(const QString &text)
{
    m_recording.append({PrintEntry::Line, text, 0, PrintAlign::Left, {}});
}

void CurtPrinter::NewRow()
{
    m_recording.append({PrintEntry::Row, {}, 0, PrintAlign::Left, {}});
}

void CurtPrinter::PrintCell(const QString &text, int widthTwips, int alignment,
                            const QString &border, qint64 backColour)
{
    if (m_recording.isEmpty() || m_recording.last().kind != PrintEntry::Row)
        NewRow();
    m_recording.last().cells.append(
        {text, widthTwips, alignment, border, fromColourCode(backColour)});
}

void CurtPrinter::LineFeed()
{
    m_recording.append({PrintEntry::LineFeed, {}, 0, PrintAlign::Left, {}});
}

void CurtPrinter::SetPageText(const QString &left, const QString &centre, const QString &right)
{
    m_pageTexts.head = {left, centre, right};
}

void CurtPrinter::SetPageFootText(const QString &left, const QString &centre,
                                  const QString &right)
{
    m_pageTexts.foot = {left, centre, right};
}

bool CurtPrinter::EndDoc()
{
    m_document = m_recording;
    if (!m_target) {
        m_pages = layOut(*m_previewPrinter);
        m_preview->updatePreview();
        updatePageLabel();
        return true;
    }
    QPrinter *printer = m_target;
    m_target = nullptr;
    if (paintPages(printer, layOut(*printer)))
        return true;
    Messages::inform(this, QStringLiteral("打印失败：无法使用打印机“%1”。")
                               .arg(printer->outputFileName().isEmpty()
                                        ? printer->printerName()
                                        : printer->outputFileName()));
    return false;
}

QList<LaidOutPage> CurtPrinter::layOut(const QPrinter &printer)
{
    PageLayout layout(printableTwips(printer), m_fonts);
    return layout.layOut(m_document, [this](int page) {
        emit pageHeading(page);
        emit pageFoot(page);
        return m_pageTexts;
    });
}

bool CurtPrinter::paintPages(QPrinter *printer, const QList<LaidOutPage> &pages)
{
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const QSizeF printable = printableTwips(*printer);
    for (int index = 0; index < pages.size(); ++index) {
        if (index > 0)
            printer->newPage();
        painter.save();
        painter.scale(printer->logicalDpiX() / TwipsPerInch,
                      printer->logicalDpiY() / TwipsPerInch);
        paintPage(painter, pages[index], printable, m_fonts);
        painter.restore();
    }
    return painter.end();
}

void CurtPrinter::refresh()
{
    emit refreshRequested();
}

void CurtPrinter::print()
{
    if (!m_systemPrinter)
        m_systemPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    applyPageSetup(*m_systemPrinter);
    m_systemPrinter->setDocName(documentName());
    if (PrintDialogs::choosePrinter(*m_systemPrinter, this))
        printOn(m_systemPrinter.get());
}

void CurtPrinter::exportPdf()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString fileName = PrintDialogs::choosePdfFile(
        this, QDir(folder).filePath(documentName() + QStringLiteral(".pdf")));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(fileName);
    pdf.setDocName(documentName());
    pdf.setCreator(QStringLiteral("herbdesk"));
    applyPageSetup(pdf);
    printOn(&pdf);
}

void CurtPrinter::printOn(QPrinter *printer)
{
    m_printTarget = printer;
    emit printRequested();
    m_printTarget = nullptr;
}

QString CurtPrinter::documentName() const
{
    for (const PrintEntry &entry : m_document) {
        // Also the suggested file name: no folder separators.
        if (entry.kind == PrintEntry::Title && !entry.text.trimmed().isEmpty())
            return entry.text.trimmed().replace(QLatin1Char('/'), QLatin1Char('_'))
                .replace(QLatin1Char('\\'), QLatin1Char('_'));
    }
    return QStringLiteral("打印");
}
