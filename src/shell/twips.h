#pragma once

#include <QRect>
#include <QSize>

// Geometry in the program's design unit: 15 twips are one pixel at 96 dots per inch.
inline int twips(int value)
{
    return value / 15;
}

inline QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

inline QSize twipsSize(int width, int height)
{
    return QSize(width / 15, height / 15);
}
