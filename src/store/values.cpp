#include "store/values.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

// Every double holds its first 15 significant digits exactly: read that far, it is the decimal
// that was typed or computed (1.005, not 1.00499999999999989).
constexpr int SignificantDigits = 15;

// A magnitude as its 15 significant digits and the power of ten of the first one.
struct Decimal
{
    QString digits;
    int exponent;
};

Decimal readDecimal(double magnitude)
{
    const QString scientific = QString::number(magnitude, 'e', SignificantDigits - 1);
    const qsizetype mark = scientific.indexOf(QLatin1Char('e'));
    return {scientific.left(mark).remove(QLatin1Char('.')), scientific.mid(mark + 1).toInt()};
}

// "yyyy-MM-dd" in ASCII digits, as a date that may be invalid; no value for any other text.
std::optional<QDate> storedForm(const QString &text)
{
    if (text.size() != 10 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-'))
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    for (int i = 0, part = 0; i < 10; ++i) {
        const char16_t c = text.at(i).unicode();
        if (i == 4 || i == 7)
            ++part;
        else if (c >= u'0' && c <= u'9')
            parts[part] = parts[part] * 10 + (c - u'0');
        else
            return std::nullopt;
    }
    return QDate(parts[0], parts[1], parts[2]);
}

QString lengthLimit()
{
    return QStringLiteral("不能超过%1个字").arg(Values::MaxTextLength);
}

} // namespace

namespace Values {

std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<QDate> parseDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    // The stored form, read without a pattern: lists read thousands of dates at a time.
    if (const std::optional<QDate> stored = storedForm(trimmed))
        return stored->isValid() ? stored : std::nullopt;
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression separated(
        QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    QRegularExpressionMatch match = compact.match(trimmed);
    if (!match.hasMatch())
        match = separated.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString storedDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

std::optional<QVariant> toColumn(ColumnKind kind, const QVariant &value, QString *problem)
{
    if (value.isNull())
        return QVariant();
    if (kind == ColumnKind::Text || kind == ColumnKind::Flag) {
        const QString text = value.toString();
        if (fitsTextColumn(text))
            return QVariant(text);
        if (problem)
            *problem = lengthLimit();
        return std::nullopt;
    }

    if (kind == ColumnKind::Number) {
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int
            || value.typeId() == QMetaType::LongLong) {
            return QVariant(value.toDouble());
        }
        const QString text = value.toString();
        if (text.isEmpty())
            return QVariant();
        if (const auto number = parseNumber(text))
            return QVariant(*number);
        if (problem)
            *problem = QStringLiteral("“%1”不是数字").arg(text);
        return std::nullopt;
    }

    if (value.typeId() == QMetaType::QDate)
        return QVariant(storedDate(value.toDate()));
    const QString text = value.toString();
    if (text.isEmpty())
        return QVariant();
    if (const auto date = parseDate(text))
        return QVariant(storedDate(*date));
    if (problem)
        *problem = QStringLiteral("“%1”不是日期").arg(text);
    return std::nullopt;
}

bool fitsTextColumn(const QString &text)
{
    if (text.size() <= MaxTextLength)
        return true;
    // A character beyond the basic plane takes two UTF-16 units but is one character.
    const auto secondHalves = std::count_if(text.cbegin(), text.cend(),
                                            [](QChar c) { return c.isLowSurrogate(); });
    return text.size() - secondHalves <= MaxTextLength;
}

QString tooLongMessage(const QString &name)
{
    return name + QLatin1Char(' ') + lengthLimit();
}

double roundMoney(double amount)
{
    if (!std::isfinite(amount))
        return amount;
    const Decimal decimal = readDecimal(std::fabs(amount));
    // The digits up to the cent: those before the point (exponent + 1) and two after it.
    const int kept = decimal.exponent + 3;
    if (kept > SignificantDigits) // from 10^13 on a double holds no cents to round
        return amount;
    qint64 cents = kept > 0 ? decimal.digits.left(kept).toLongLong() : 0;
    if (kept >= 0 && kept < SignificantDigits && decimal.digits.at(kept) >= QLatin1Char('5'))
        ++cents;
    // Rounding the magnitude, then giving the sign back, rounds halves away from zero.
    if (cents == 0)
        return 0.0;
    const double rounded = double(cents) / 100.0;
    return amount < 0 ? -rounded : rounded;
}

QString money(double amount)
{
    return QString::number(roundMoney(amount), 'f', 2);
}

QString sumText(const QVariant &sum)
{
    return sum.isNull() ? QStringLiteral("0") : money(sum.toDouble());
}

QString plainNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0.0)
        return QStringLiteral("0");
    const Decimal decimal = readDecimal(std::fabs(value));
    QString digits = decimal.digits;
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    const int integerDigits = decimal.exponent + 1;
    QString text;
    if (integerDigits <= 0)
        text = QStringLiteral("0.") + QString(-integerDigits, QLatin1Char('0')) + digits;
    else if (integerDigits >= digits.size())
        text = digits + QString(integerDigits - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(integerDigits) + QLatin1Char('.') + digits.mid(integerDigits);
    return value < 0 ? QLatin1Char('-') + text : text;
}

QString plainSum(const QVariant &sum)
{
    return sum.isNull() ? QStringLiteral("0") : plainNumber(sum.toDouble());
}

QString likePattern(const QString &pattern)
{
    QString sql;
    sql.reserve(pattern.size() + 4);
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) {
            sql += QLatin1Char('\\');
            sql += c;
        } else if (c == QLatin1Char('*')) {
            sql += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            sql += QLatin1Char('_');
        } else {
            sql += c;
        }
    }
    return sql;
}

} // namespace Values
