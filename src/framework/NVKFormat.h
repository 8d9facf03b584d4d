// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKDateTime.h"

#include <QLocale>
#include <QString>
#include <QVariantList>

// Fills a pattern the way language files expect: "%" [index ":"] ["-"] [width] ["." precision] type,
// types d u x e f g n m p s, width and precision "*" taken from the arguments, "%%" a percent sign.
// A malformed specifier, a missing argument or one of the wrong kind is copied to the result as it
// stands, so a broken translation shows where it is broken instead of failing.
QString Format(const QString &pattern, const QVariantList &args, const QLocale &locale = QLocale());

// Formats a date-time by the patterns of stored texts: yyyy yy mmmm mmm mm m dddd ddd dd d
// ddddd (short date) dddddd (long date) c hh h nn n ss s zzz z t tt am/pm a/p ampm, "/" and ":"
// the locale's separators, quoted literals. An "m" right after an hour means minutes.
QString FormatDateTime(const QString &pattern, TDateTime value, const QLocale &locale = QLocale());
