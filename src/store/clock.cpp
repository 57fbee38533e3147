#include "store/clock.h"

namespace {
QDate fixedToday;
}

namespace Clock {

QDate today()
{
    return fixedToday.isValid() ? fixedToday : QDate::currentDate();
}

void setToday(const QDate &date)
{
    fixedToday = date;
}

} // namespace Clock
