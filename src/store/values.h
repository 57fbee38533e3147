#pragma once

#include "store/schema.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace Values {

// A number typed into a box: optional blanks around a decimal number ("12", "-3.5", "1e3").
std::optional<double> parseNumber(const QString &text);

// A date typed into a box: "2026-12-05", "2026/12/5", "2026.12.5" or "20261205".
std::optional<QDate> parseDate(const QString &text);

// The stored form of a date: "yyyy-MM-dd".
QString storedDate(const QDate &date);

// The most characters a text column takes, as an Access text field does. Longer text is refused
// where it is typed: the postings match stored text as a LIKE pattern, and a very long one is
// more than the engine's LIKE takes, which would block every later posting.
constexpr int MaxTextLength = 255;

// Whether the text fits a text column (characters counted as the user sees them).
bool fitsTextColumn(const QString &text);

// The message that refuses a text too long for a text column: "编号 不能超过255个字".
QString tooLongMessage(const QString &name);

// Converts a value for a column of the given kind. An empty text becomes Null for number and date
// columns; text that does not read as the kind, or that is too long for a text column, gives no
// value and fills *problem.
std::optional<QVariant> toColumn(ColumnKind kind, const QVariant &value, QString *problem);

// Rounds an amount as a clerk does: to the cent, half away from zero, on the decimal the double
// stands for (its first 15 significant digits), so 1.5 × 2.55 = 3.825 gives 3.83, 1.005 gives
// 1.01 and -2.675 gives -2.68. Every amount, total, average and write-off value the program
// computes goes through it.
double roundMoney(double amount);

// Money and amounts as the program shows them: rounded by roundMoney(), "0.00".
QString money(double amount);

// A sum as the entry and stock totals show it: "0" when nothing was summed (Null), else "0.00".
QString sumText(const QVariant &sum);

// A number in its shortest plain form, read to 15 significant digits so that binary noise does
// not show: 6, 2.5, 0.3 for 0.1 + 0.2, 1234567.89; never an exponent.
QString plainNumber(double value);

// A count or sum as the query screens show it, as the database returns it: "0" when nothing was
// found (Null), else the plain number (13.5, 11).
QString plainSum(const QVariant &sum);

// Translates a pattern whose "*" means any run and "?" one character into an SQL LIKE pattern
// with backslash as the escape character, so that "%", "_" and "\" typed by a user match
// themselves.
QString likePattern(const QString &pattern);

} // namespace Values
