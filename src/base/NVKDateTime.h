// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <functional>

// Local time as days since 1899-12-30; the fraction is the time of day. Before that day the
// integral part counts back and the fraction still counts forward within the day
// (-1.25 is 1899-12-29 06:00), as stored files have it.
using TDateTime = double;

TDateTime DateTimeFromQDateTime(const QDateTime &value);
// An invalid QDateTime for values outside the years 1 to 9999.
QDateTime DateTimeToQDateTime(TDateTime value);
// The calendar date and wall-clock time a value names, without any time-zone lookup; false
// outside the years 1 to 9999.
bool DecodeDateTime(TDateTime value, QDate &date, QTime &time);
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0);

// The current local time. Tests replace the clock; an empty clock restores the system's.
TDateTime Now();
void NVKSetClock(std::function<QDateTime()> clock);
