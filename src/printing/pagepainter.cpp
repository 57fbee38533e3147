#include "printing/pagepainter.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>

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
        const qreal textHeight = text.lines.size() * lineHeight;
        qreal baseline = text.rect.top() + (text.rect.height() - textHeight) / 2 + metrics.ascent();
        for (int i = 0; i < text.lines.size(); ++i) {
            if (!text.lines[i].isEmpty())
                m_painter.drawText(QPointF(left(text, text.widths[i]), baseline), text.lines[i]);
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
            static_cast<WrappedText &>(text) = wrapText(texts[i], m_fonts.pageText, width);
            text.lines = text.lines.mid(0, 1);
            text.rect = QRectF(0, top, width, metrics.lineSpacing());
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

// A rule along one line: from `from` to `to` at `at` across.
struct Rule
{
    qreal at;
    qreal from;
    qreal to;
};

// Joins the rules that continue one another, so that a table's rules are drawn as few long
// lines instead of one short line per cell side.
QList<Rule> joined(QList<Rule> rules)
{
    constexpr qreal Tolerance = 0.5;
    // Neighbouring cells compute their shared edges alike, so exact order groups them.
    std::sort(rules.begin(), rules.end(), [](const Rule &a, const Rule &b) {
        return a.at < b.at || (a.at == b.at && a.from < b.from);
    });
    QList<Rule> result;
    for (const Rule &rule : rules) {
        if (!result.isEmpty() && std::abs(result.last().at - rule.at) <= Tolerance
            && rule.from <= result.last().to + Tolerance) {
            result.last().to = std::max(result.last().to, rule.to);
        } else {
            result.append(rule);
        }
    }
    return result;
}

} // namespace

void paintPage(QPainter &painter, const LaidOutPage &page, const QSizeF &printable,
               const PrintFonts &fonts)
{
    painter.save();
    painter.setPen(Qt::black);
    PagePainter texts(painter, fonts);

    QList<Rule> across;
    QList<Rule> down;
    for (const PlacedCell &cell : page.cells) {
        if (cell.backColour.isValid() && cell.backColour != Qt::white)
            painter.fillRect(cell.rect, cell.backColour);
        const QRectF &r = cell.rect;
        if (isRuled(cell.border, 0))
            down.append({r.left(), r.top(), r.bottom()});
        if (isRuled(cell.border, 1))
            across.append({r.top(), r.left(), r.right()});
        if (isRuled(cell.border, 2))
            down.append({r.right(), r.top(), r.bottom()});
        if (isRuled(cell.border, 3))
            across.append({r.bottom(), r.left(), r.right()});
    }
    for (const PlacedCell &cell : page.cells)
        texts.paintText(cell.text);
    for (const PlacedText &text : page.texts)
        texts.paintText(text);

    const qreal lineHeight = QFontMetricsF(fonts.pageText).lineSpacing();
    texts.paintBand(page.headTexts, 0, printable.width());
    texts.paintBand(page.footTexts, printable.height() - lineHeight, printable.width());

    QVector<QLineF> lines;
    for (const Rule &rule : joined(across))
        lines.append(QLineF(rule.from, rule.at, rule.to, rule.at));
    for (const Rule &rule : joined(down))
        lines.append(QLineF(rule.at, rule.from, rule.at, rule.to));
    painter.setPen(QPen(Qt::black, RuleWidth, Qt::SolidLine, Qt::SquareCap));
    painter.drawLines(lines);
    painter.restore();
}
