#pragma once

#include "printing/pagelayout.h"

class QPainter;

// Paints a laid-out page. The painter's unit is the twip, its origin the top left corner of the
// printable area, whose size in twips is `printable`.
void paintPage(QPainter &painter, const LaidOutPage &page, const QSizeF &printable,
               const PrintFonts &fonts);
