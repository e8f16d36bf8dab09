#include "platform/DateTime.h"

#include <cmath>

namespace {

constexpr qint64 MsecsPerDay = 24 * 60 * 60 * 1000;

QDate epoch()
{
    return QDate(1899, 12, 30);
}

} // namespace

double toDayNumber(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    const qint64 days = epoch().daysTo(local.date());
    const double time = double(local.time().msecsSinceStartOfDay()) / double(MsecsPerDay);
    return days >= 0 ? double(days) + time : double(days) - time;
}

QDateTime fromDayNumber(double dayNumber)
{
    // 1..9999 AD is the range a day number can name (about -693593 .. 2958466).
    if (!std::isfinite(dayNumber) || dayNumber < -693594.0 || dayNumber > 2958466.0)
        return {};
    const double whole = std::trunc(dayNumber);
    qint64 msecs = std::llround(std::fabs(dayNumber - whole) * double(MsecsPerDay));
    QDate date = epoch().addDays(qint64(whole));
    if (msecs >= MsecsPerDay) {
        date = date.addDays(1);
        msecs -= MsecsPerDay;
    }
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

double nowDayNumber()
{
    return toDayNumber(QDateTime::currentDateTime());
}
