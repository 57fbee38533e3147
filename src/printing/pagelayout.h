#pragma once

#include "printing/printdocument.h"

#include <QFont>
#include <QRectF>
#include <QStringList>
#include <functional>

// The fonts of the printed documents, sized in twips (a font of 200 "pixels" is 10 points).
struct PrintFonts
{
    QFont body;     // lines of text
    QFont cell;     // table cells: a date fits a 1000-twip column
    QFont pageText; // the page texts above and below the content
    // The title font of the given point size.
    QFont title(int points) const;

    static PrintFonts standard();
};

// A text broken into lines that fit a width.
struct WrappedText
{
    QStringList lines;
    QList<qreal> widths;    // of each line
    bool overflows = false; // a line is wider all the same (a single glyph wider than the width)
};

// Breaks text into lines no wider than `width` (at word boundaries, or anywhere in Chinese).
WrappedText wrapText(const QString &text, const QFont &font, qreal width);

// A block of text placed on a page; the painter clips the lines that overflow its rect.
struct PlacedText : WrappedText
{
    QRectF rect; // twips from the top left corner of the printable area
    int alignment = PrintAlign::Left;
    QFont font;
};

struct PlacedCell
{
    QRectF rect;     // the cell, borders on its edges
    PlacedText text; // inside the cell's padding
    QString border;
    QColor backColour;
};

// One page of a laid-out document.
struct LaidOutPage
{
    QList<PlacedText> texts;
    QList<PlacedCell> cells;
    QStringList headTexts; // left, centre and right at the top of the page
    QStringList footTexts; // left, centre and right at the bottom of the page
};

// Three texts placed on a page above and below its content.
struct PageTexts
{
    QStringList head;
    QStringList foot;
};

// Breaks a recorded document into pages of the given printable size (twips). Rows that do not fit
// go on to the next page, after the header row of their table; titles and lines take the
// table's width and wrap within it; a table wider than the page is narrowed to fit.
class PageLayout
{
public:
    PageLayout(const QSizeF &printableTwips, const PrintFonts &fonts);

    // `textsOfPage` is asked for the page texts of each page as it begins (pages count from 1).
    QList<LaidOutPage> layOut(const PrintDocument &document,
                              const std::function<PageTexts(int page)> &textsOfPage);

    // Height of the bands above and below the content that hold the page texts.
    qreal bandHeight() const;

private:
    struct Block
    {
        qreal left = 0;
        qreal width = 0;
        qreal scale = 1; // applied to cell widths
    };

    Block tableBlock(const PrintDocument &document) const;
    void addText(const QString &text, const QFont &font, int alignment);
    QList<PlacedCell> placeRow(const PrintEntry &row, qreal top, qreal *height) const;
    void addRow(const PrintEntry &row, const PrintEntry *tableHeader);
    void startPage();
    bool fits(qreal height) const { return m_pageEmpty || m_y + height <= m_bottom; }

    QSizeF m_printable;
    PrintFonts m_fonts;
    Block m_block;
    QList<LaidOutPage> m_pages;
    qreal m_y = 0;
    qreal m_bottom = 0;
    bool m_pageEmpty = true;
    std::function<PageTexts(int)> m_textsOfPage;
};
