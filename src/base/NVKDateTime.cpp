// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKDateTime.h"

#include <cmath>
#include <limits>

namespace {
const QDate Epoch(1899, 12, 30);
constexpr double MSecsPerDay = 86400000.0;

std::function<QDateTime()> &testClock()
{
    static std::function<QDateTime()> current;
    return current;
}
} // namespace

TDateTime DateTimeFromQDateTime(const QDateTime &value)
{
    if (!value.isValid())
        return 0;
    const QDateTime local = value.toLocalTime();
    const double days = double(Epoch.daysTo(local.date()));
    const double fraction = double(local.time().msecsSinceStartOfDay()) / MSecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime DateTimeToQDateTime(TDateTime value)
{
    QDate date;
    QTime time;
    if (!DecodeDateTime(value, date, time))
        return {};
    return QDateTime(date, time);
}

bool DecodeDateTime(TDateTime value, QDate &date, QTime &time)
{
    if (!std::isfinite(value) || std::fabs(value) > 3000000.0)
        return false;
    const double days = std::trunc(value);
    // Rounded to the millisecond so that whole seconds survive the double.
    qint64 msecs = qint64(std::llround(std::fabs(value - days) * MSecsPerDay));
    qint64 dayCount = qint64(days);
    if (msecs >= qint64(MSecsPerDay)) {
        msecs -= qint64(MSecsPerDay);
        dayCount += value < 0 ? -1 : 1;
    }
    date = Epoch.addDays(dayCount);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return false;
    time = QTime::fromMSecsSinceStartOfDay(int(msecs));
    return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    return DateTimeFromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec)));
}

TDateTime Now()
{
    if (testClock())
        return DateTimeFromQDateTime(testClock()());
    // Converting to local time consults the time-zone database on every call, which costs
    // microseconds (too much when each new article is stamped). A zone's offset only changes
    // at the start of a minute, so it is looked up once per minute.
    const qint64 utc = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = utc >= 0 ? utc / 60000 : -((-utc + 59999) / 60000);
    thread_local qint64 cachedMinute = std::numeric_limits<qint64>::min();
    thread_local qint64 offset = 0;
    if (minute != cachedMinute) {
        offset = qint64(QDateTime::fromMSecsSinceEpoch(minute * 60000, Qt::LocalTime).offsetFromUtc()) * 1000;
        cachedMinute = minute;
    }
    const qint64 local = utc + offset;
    const qint64 perDay = qint64(MSecsPerDay);
    const qint64 day = local >= 0 ? local / perDay : -((-local + perDay - 1) / perDay);
    const double days = double(day + Epoch.daysTo(QDate(1970, 1, 1)));
    const double fraction = double(local - day * perDay) / MSecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

void NVKSetClock(std::function<QDateTime()> clock_)
{
    testClock() = std::move(clock_);
}
