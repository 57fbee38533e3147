#pragma once

#include <QString>
#include <QVariant>

// How a line's column becomes the text of its cell. A Null column always prints as an empty
// cell.
enum class CellRule {
    Trimmed,       // the text without blanks around it
    TrimmedNoStar, // the same, and empty for the "*" that stands for a value not given
    AsStored,      // the value as the database holds it, untouched
    TwoDecimals,   // a number rounded to the cent as a clerk rounds, "0.00"
    Blank,         // always empty: filled in by hand on paper
};

// One column of a printed table: its caption, its width in twips, and where its cells come from.
struct PrintColumn
{
    const char *caption;
    int widthTwips;
    const char *column; // the line's column; nullptr for a blank column
    CellRule rule;
};

QString cellText(const QVariant &value, CellRule rule);
