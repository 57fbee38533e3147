#pragma once

#include <QDate>

// Today's date for the whole program; tests fix it so that document numbers and default dates
// are predictable.
namespace Clock {

QDate today();
// An invalid date returns to the system clock.
void setToday(const QDate &date);

} // namespace Clock
