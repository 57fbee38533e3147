#include "export/numbertext.h"

#include "store/values.h"

#include <charconv>
#include <cmath>

namespace {

// Within this range a double's 15 significant digits print without an exponent.
constexpr double SmallestPlain = 1e-4;
constexpr double LargestPlain = 1e15;
// Amounts below this hold whole cents exactly enough to be printed from them.
constexpr double LargestCents = 1e13;

} // namespace

namespace NumberText {

void appendPlain(QByteArray &out, double value)
{
    const double magnitude = std::fabs(value);
    if (value == 0.0 || !(magnitude >= SmallestPlain && magnitude < LargestPlain)) {
        out.append(Values::plainNumber(value).toUtf8());
        return;
    }
    // Fifteen significant digits without trailing zeros, as plainNumber() gives them.
    char digits[32];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 15);
    out.append(digits, int(end.ptr - digits));
}

void appendMoney(QByteArray &out, double value)
{
    // A stored amount is nearly always whole cents; anything else is rounded the clerk's way.
    const double cents = value * 100;
    const double whole = std::round(cents);
    if (std::fabs(value) >= LargestCents || std::fabs(cents - whole) > 1e-6) {
        out.append(Values::money(value).toUtf8());
        return;
    }
    const auto count = static_cast<long long>(whole);
    const long long magnitude = count < 0 ? -count : count;
    if (count < 0)
        out.append('-');
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 100);
    out.append(digits, int(end.ptr - digits));
    out.append('.');
    out.append(char('0' + magnitude % 100 / 10));
    out.append(char('0' + magnitude % 10));
}

} // namespace NumberText
