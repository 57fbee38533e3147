#include "printing/pagepainter.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QVector>

namespace {

// About 0.2 mm: thin, yet visible on any printer.
constexpr qreal RuleWidth = 12;

class PagePainter
{
public:
    PagePainter(QPainter &painter, const PrintFonts &fonts) : m_painter(painter), m_fonts(fonts)
    {
    }

    void paintText(const PlacedText &text)
    {
        useFont(text.font);
        const QFontMetricsF metrics(text.font);
        if (text.overflows) {
            m_painter.save();
            m_painter.setClipRect(text.rect, Qt::IntersectClip);
        }
        const qreal lineHeight = metrics.lineSpacing();
        qreal baseline = text.rect.top() + (text.rect.height() - text.lines.size() * lineHeight) / 2
                         + metrics.ascent();
        for (const QString &line : text.lines) {
            m_painter.drawText(QPointF(left(text, metrics.horizontalAdvance(line)), baseline),
                               line);
            baseline += lineHeight;
        }
        if (text.overflows)
            m_painter.restore();
    }

    void paintBand(const QStringList &texts, qreal top, qreal width)
    {
        const QFontMetricsF metrics(m_fonts.pageText);
        const int alignments[] = {PrintAlign::Left, PrintAlign::Centre, PrintAlign::Right};
        for (int i = 0; i < 3 && i < texts.size(); ++i) {
            if (texts[i].isEmpty())
                continue;
            PlacedText text;
            text.rect = QRectF(0, top, width, metrics.lineSpacing());
            text.lines = wrapText(texts[i], m_fonts.pageText, width, &text.overflows).mid(0, 1);
            text.alignment = alignments[i];
            text.font = m_fonts.pageText;
            paintText(text);
        }
    }

private:
    static qreal left(const PlacedText &text, qreal advance)
    {
        switch (text.alignment) {
        case PrintAlign::Right:
            return text.rect.right() - advance;
        case PrintAlign::Centre:
            return text.rect.left() + (text.rect.width() - advance) / 2;
        default:
            return text.rect.left();
        }
    }

    void useFont(const QFont &font)
    {
        if (m_painter.font() != font)
            m_painter.setFont(font);
    }

    QPainter &m_painter;
    const PrintFonts &m_fonts;
};

bool isRuled(const QString &border, int side)
{
    return side < border.size() && border.at(side) == QLatin1Char('1');
}

} // namespace

void paintPage(QPainter &painter, const LaidOutPage &page, const QSizeF &printable,
               const PrintFonts &fonts)
{
    painter.save();
    painter.setPen(Qt::black);
    PagePainter texts(painter, fonts);

    QVector<QLineF> rules;
    for (const PlacedCell &cell : page.cells) {
        if (cell.backColour.isValid() && cell.backColour != Qt::white)
            painter.fillRect(cell.rect, cell.backColour);
        const QRectF &r = cell.rect;
        if (isRuled(cell.border, 0))
            rules.append(QLineF(r.topLeft(), r.bottomLeft()));
        if (isRuled(cell.border, 1))
            rules.append(QLineF(r.topLeft(), r.topRight()));
        if (isRuled(cell.border, 2))
            rules.append(QLineF(r.topRight(), r.bottomRight()));
        if (isRuled(cell.border, 3))
            rules.append(QLineF(r.bottomLeft(), r.bottomRight()));
    }
    for (const PlacedCell &cell : page.cells)
        texts.paintText(cell.text);
    for (const PlacedText &text : page.texts)
        texts.paintText(text);

    const qreal lineHeight = QFontMetricsF(fonts.pageText).lineSpacing();
    texts.paintBand(page.headTexts, 0, printable.width());
    texts.paintBand(page.footTexts, printable.height() - lineHeight, printable.width());

    painter.setPen(QPen(Qt::black, RuleWidth, Qt::SolidLine, Qt::SquareCap));
    painter.drawLines(rules);
    painter.restore();
}
