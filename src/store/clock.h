#pragma once

#include <QDate>
#include <QDateTime>

// Today's date and the time for the whole program; tests fix them so that document numbers,
// default dates and the names of backups are predictable.
namespace Clock {

QDate today();
// An invalid date returns to the system clock.
void setToday(const QDate &date);

// The local date and time: the fixed time when one is set, else the fixed day at the system's
// time of day, else the system clock.
QDateTime now();
// An invalid time returns to the system clock (or the fixed day).
void setNow(const QDateTime &time);

} // namespace Clock
