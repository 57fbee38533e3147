#include "trading/documentnumber.h"

#include "store/clock.h"
#include "store/cursor.h"

#include <cmath>

namespace {

constexpr qint64 SequenceDigits = 1000;

bool openCounterRow(Cursor &counters, StoreError *error, bool lock = false)
{
    Query row(QStringLiteral("danjuhao"));
    row.lockRows = lock;
    if (!counters.open(row)) {
        *error = counters.lastError();
        return false;
    }
    if (!counters.hasCurrent()) {
        *error = {QStringLiteral("读取单据号失败"), QStringLiteral("danjuhao 表没有记录")};
        return false;
    }
    return true;
}

std::optional<qint64> readCounter(Store &store, int position, StoreError *error, bool lock)
{
    Cursor counters(store);
    if (!openCounterRow(counters, error, lock))
        return std::nullopt;
    // The settings screen may have stored a fraction; the sequence is whole.
    return std::llround(counters.value(position).toDouble());
}

} // namespace

namespace DocumentNumber {

QString make(const QString &prefix, const QDate &date, qint64 counter)
{
    const qint64 day = date.toString(QStringLiteral("yyyyMMdd")).toLongLong();
    if (counter < SequenceDigits)
        return prefix + QString::number(day * SequenceDigits + counter);
    return prefix + QString::number(day) + QString::number(counter);
}

std::optional<qint64> counter(Store &store, int position, StoreError *error)
{
    return readCounter(store, position, error, false);
}

std::optional<qint64> lockedCounter(Store &store, int position, StoreError *error)
{
    return readCounter(store, position, error, true);
}


bool advance(Store &store, int position, StoreError *error)
{
    Cursor counters(store);
    if (!openCounterRow(counters, error))
        return false;
    const qint64 raised = std::llround(counters.value(position).toDouble()) + 1;
    if (!counters.edit() || !counters.setValue(position, double(raised)) || !counters.update()) {
        *error = counters.lastError();
        return false;
    }
    return true;
}

std::optional<QString> next(Store &store, const QString &prefix, int position,
                            StoreError *error)
{
    const auto current = counter(store, position, error);
    if (!current)
        return std::nullopt;
    return make(prefix, Clock::today(), *current);
}

} // namespace DocumentNumber
