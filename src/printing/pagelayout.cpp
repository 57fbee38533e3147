#include "printing/pagelayout.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>

namespace {

// Room between a cell's borders and its text, and below a title.
constexpr qreal CellPadding = 40;
constexpr qreal CellPaddingTop = 40;
constexpr qreal TitleGap = 120;
constexpr qreal LineGap = 60;
constexpr qreal BandGap = 120;

QFont printFont(int pixels, bool bold)
{
    QFont font;
    // A face with TrueType outlines comes first: PDF readers then find the Chinese text
    // searchable; the others are fallbacks for machines without it.
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    // Unhinted metrics scale exactly from the layout's twips to any printer's resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString chopTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

QFont PrintFonts::title(int points) const
{
    return printFont(std::max(points, 1) * 20, true);
}

PrintFonts PrintFonts::standard()
{
    return {printFont(200, false), printFont(180, false), printFont(180, false)};
}

WrappedText wrapText(const QString &text, const QFont &font, qreal width)
{
    WrappedText wrapped;
    const qreal whole = QFontMetricsF(font).horizontalAdvance(text);
    if (whole <= width || width <= 0) {
        wrapped.lines = QStringList{text};
        wrapped.widths = {whole};
        wrapped.overflows = whole > std::max(width, qreal(0));
        return wrapped;
    }
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        wrapped.lines << chopTrailingBlanks(text.mid(line.textStart(), line.textLength()));
        wrapped.widths << line.naturalTextWidth();
        wrapped.overflows = wrapped.overflows || line.naturalTextWidth() > width;
    }
    layout.endLayout();
    return wrapped;
}

PageLayout::PageLayout(const QSizeF &printableTwips, const PrintFonts &fonts)
    : m_printable(printableTwips), m_fonts(fonts)
{
}

qreal PageLayout::bandHeight() const
{
    return QFontMetricsF(m_fonts.pageText).lineSpacing() + BandGap;
}

QList<LaidOutPage> PageLayout::layOut(const PrintDocument &document,
                                      const std::function<PageTexts(int)> &textsOfPage)
{
    m_block = tableBlock(document);
    m_textsOfPage = textsOfPage;
    m_pages.clear();
    startPage();
    const PrintEntry *tableHeader = nullptr;
    for (const PrintEntry &entry : document) {
        if (entry.kind != PrintEntry::Row)
            tableHeader = nullptr;
        switch (entry.kind) {
        case PrintEntry::PageBreak:
            if (!m_pageEmpty)
                startPage();
            break;
        case PrintEntry::Title:
            addText(entry.text, m_fonts.title(entry.size), entry.alignment);
            m_y += TitleGap;
            break;
        case PrintEntry::Line:
            addText(entry.text, m_fonts.body, PrintAlign::Left);
            m_y += LineGap;
            break;
        case PrintEntry::LineFeed:
            m_y = std::min(m_y + QFontMetricsF(m_fonts.body).lineSpacing(), m_bottom);
            break;
        case PrintEntry::Row:
            addRow(entry, tableHeader);
            if (!tableHeader)
                tableHeader = &entry;
            break;
        }
    }
    return m_pages;
}

PageLayout::Block PageLayout::tableBlock(const PrintDocument &document) const
{
    qreal widest = 0;
    for (const PrintEntry &entry : document) {
        qreal width = 0;
        for (const RecordedCell &cell : entry.cells)
            width += std::max(cell.widthTwips, 0);
        widest = std::max(widest, width);
    }
    const qreal available = m_printable.width();
    if (widest <= 0)
        return {0, available, 1};
    if (widest > available)
        return {0, available, available / widest};
    return {(available - widest) / 2, widest, 1};
}

void PageLayout::startPage()
{
    LaidOutPage page;
    const PageTexts texts = m_textsOfPage ? m_textsOfPage(int(m_pages.size()) + 1) : PageTexts();
    page.headTexts = texts.head;
    page.footTexts = texts.foot;
    m_pages.append(page);
    m_y = bandHeight();
    m_bottom = m_printable.height() - bandHeight();
    m_pageEmpty = true;
}

void PageLayout::addText(const QString &text, const QFont &font, int alignment)
{
    PlacedText placed;
    static_cast<WrappedText &>(placed) = wrapText(text, font, m_block.width);
    placed.alignment = alignment;
    placed.font = font;
    const qreal height = placed.lines.size() * QFontMetricsF(font).lineSpacing();
    if (!fits(height))
        startPage();
    placed.rect = QRectF(m_block.left, m_y, m_block.width, std::min(height, m_bottom - m_y));
    m_pages.last().texts.append(placed);
    m_y += placed.rect.height();
    m_pageEmpty = false;
}

QList<PlacedCell> PageLayout::placeRow(const PrintEntry &row, qreal top, qreal *height) const
{
    const qreal lineHeight = QFontMetricsF(m_fonts.cell).lineSpacing();
    QList<PlacedCell> cells;
    qreal left = m_block.left;
    int mostLines = 1;
    for (const RecordedCell &recorded : row.cells) {
        const qreal width = std::max(recorded.widthTwips, 0) * m_block.scale;
        PlacedCell cell;
        cell.border = recorded.border;
        cell.backColour = recorded.backColour;
        cell.text.alignment = recorded.alignment;
        cell.text.font = m_fonts.cell;
        static_cast<WrappedText &>(cell.text) =
            wrapText(recorded.text, m_fonts.cell, width - 2 * CellPadding);
        mostLines = std::max(mostLines, int(cell.text.lines.size()));
        cell.rect = QRectF(left, top, width, 0);
        cells.append(cell);
        left += width;
    }
    // A row never grows past one page's content; lines beyond that are not printed.
    const int linesThatFit =
        std::max(1, int((m_bottom - bandHeight() - 2 * CellPaddingTop) / lineHeight));
    mostLines = std::min(mostLines, linesThatFit);
    *height = mostLines * lineHeight + 2 * CellPaddingTop;
    for (PlacedCell &cell : cells) {
        cell.rect.setHeight(*height);
        cell.text.rect = cell.rect.adjusted(CellPadding, CellPaddingTop, -CellPadding,
                                            -CellPaddingTop);
        if (cell.text.lines.size() > mostLines) {
            cell.text.lines = cell.text.lines.mid(0, mostLines);
            cell.text.widths = cell.text.widths.mid(0, mostLines);
            cell.text.overflows = true;
        }
    }
    return cells;
}

void PageLayout::addRow(const PrintEntry &row, const PrintEntry *tableHeader)
{
    qreal height = 0;
    QList<PlacedCell> cells = placeRow(row, m_y, &height);
    if (!fits(height)) {
        startPage();
        // A table that goes on over the page break shows its column captions again, when they
        // leave room for the row.
        qreal headerHeight = 0;
        const QList<PlacedCell> header =
            tableHeader ? placeRow(*tableHeader, m_y, &headerHeight) : QList<PlacedCell>();
        if (!header.isEmpty() && m_y + headerHeight + height <= m_bottom) {
            m_pages.last().cells.append(header);
            m_y += headerHeight;
        }
        cells = placeRow(row, m_y, &height);
    }
    m_pages.last().cells.append(cells);
    m_y += height;
    m_pageEmpty = false;
}
