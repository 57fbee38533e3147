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

// Converts a value for a column of the given kind. An empty text becomes Null for number and date
// columns; text that does not read as the kind gives no value and fills *problem.
std::optional<QVariant> toColumn(ColumnKind kind, const QVariant &value, QString *problem);

// Money and amounts as the program shows them: "0.00".
QString money(double amount);

// A sum as the totals boxes show it: "0" when nothing was summed (Null), else "0.00".
QString sumText(const QVariant &sum);

// A number in its shortest plain form: 6, 2.5, 1234567.89 (no exponent for ordinary amounts).
QString plainNumber(double value);

// Translates a pattern whose "*" means any run and "?" one character into an SQL LIKE pattern
// with backslash as the escape character, so that "%", "_" and "\" typed by a user match
// themselves.
QString likePattern(const QString &pattern);

} // namespace Values
