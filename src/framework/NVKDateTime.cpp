// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKDateTime.h"

#include <cmath>

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
    if (!std::isfinite(value) || std::fabs(value) > 3000000.0)
        return {};
    const double days = std::trunc(value);
    // Rounded to the millisecond so that whole seconds survive the double.
    qint64 msecs = qint64(std::llround(std::fabs(value - days) * MSecsPerDay));
    qint64 dayCount = qint64(days);
    if (msecs >= qint64(MSecsPerDay)) {
        msecs -= qint64(MSecsPerDay);
        dayCount += value < 0 ? -1 : 1;
    }
    const QDate date = Epoch.addDays(dayCount);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    return DateTimeFromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec)));
}

TDateTime Now()
{
    return DateTimeFromQDateTime(testClock() ? testClock()() : QDateTime::currentDateTime());
}

void NVKSetClock(std::function<QDateTime()> clock_)
{
    testClock() = std::move(clock_);
}
