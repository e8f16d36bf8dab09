#pragma once

#include <QDateTime>

// Date-time values travel through the store as day numbers: days since 1899-12-30 00:00
// as a double, the fraction being the local time of day. Before that epoch the whole part
// is negative but the fraction still counts forward from midnight: -1.25 is 1899-12-29
// 06:00, not 1899-12-28 18:00.

// The day number of `dateTime` in local time, to the millisecond. An invalid value gives 0.
double toDayNumber(const QDateTime &dateTime);

// The local date-time of `dayNumber`, rounded to the millisecond. NaN, infinities and
// values beyond the years 1..9999 give an invalid QDateTime.
QDateTime fromDayNumber(double dayNumber);

// The day number of the current local time.
double nowDayNumber();
