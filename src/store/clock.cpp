#include "store/clock.h"

namespace {
QDate fixedToday;
QDateTime fixedNow;
} // namespace

namespace Clock {

QDate today()
{
    if (fixedToday.isValid())
        return fixedToday;
    return fixedNow.isValid() ? fixedNow.date() : QDate::currentDate();
}

void setToday(const QDate &date)
{
    fixedToday = date;
}

QDateTime now()
{
    if (fixedNow.isValid())
        return fixedNow;
    const QDateTime system = QDateTime::currentDateTime();
    return fixedToday.isValid() ? QDateTime(fixedToday, system.time()) : system;
}

void setNow(const QDateTime &time)
{
    fixedNow = time;
}

} // namespace Clock
