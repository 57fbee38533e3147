#pragma once

#include <QColor>
#include <QList>
#include <QString>

// Alignment codes of titles and cells.
namespace PrintAlign {
constexpr int Left = 0;
constexpr int Right = 1;
constexpr int Centre = 2;
} // namespace PrintAlign

// One cell of a ruled table row as it was handed over.
struct RecordedCell
{
    QString text;
    int widthTwips = 0;
    int alignment = PrintAlign::Left;
    QString border; // four flags, left, top, right, bottom: "1111" rules all sides
    QColor backColour;
};

// One entry of a recorded document, in the order it was printed.
struct PrintEntry
{
    enum Kind { Title, Line, Row, LineFeed, PageBreak };

    Kind kind;
    QString text;               // of a title or a line
    int size = 0;               // of a title, in points
    int alignment = PrintAlign::Left;
    QList<RecordedCell> cells; // of a row
};

// A document as recorded between the start and the end of a print job.
using PrintDocument = QList<PrintEntry>;
