#include "store/values.h"

#include <QRegularExpression>
#include <cmath>

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
    if (kind == ColumnKind::Text || kind == ColumnKind::Flag)
        return QVariant(value.toString());

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

QString money(double amount)
{
    // Avoid showing "-0.00" for tiny negative remainders.
    if (std::fabs(amount) < 0.005)
        amount = 0.0;
    return QString::number(amount, 'f', 2);
}

QString sumText(const QVariant &sum)
{
    return sum.isNull() ? QStringLiteral("0") : money(sum.toDouble());
}

QString plainNumber(double value)
{
    // Six decimals hide the rounding noise of binary fractions (0.1 + 0.2) without an exponent.
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
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
