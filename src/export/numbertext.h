#pragma once

#include <QByteArray>

// Numbers as the grids show them, appended as UTF-8: plain (2.5, 12, 0.3 for 0.1 + 0.2) or as
// money ("12.50", rounded as a clerk rounds). The common cases are written directly, the rest
// through the program's own formatting: a large export formats hundreds of thousands of them.
namespace NumberText {

void appendPlain(QByteArray &out, double value);
void appendMoney(QByteArray &out, double value);

} // namespace NumberText
