// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/QBGraphics.h"

#include <QColor>

// System colours as stored: 0x80000000 plus the index of the desktop colour.
inline constexpr TColor clBtnFace = TColor(0x8000000F);
inline constexpr TColor clBtnHighlight = TColor(0x80000014);
inline constexpr TColor clWindowColor = TColor(0x80000005);
inline constexpr TColor clWindowTextColor = TColor(0x80000008);
inline constexpr TColor clInfoText = TColor(0x80000017);
inline constexpr TColor clInfoBk = TColor(0x80000018);

// A stored colour on this desktop: plain colours are 0x00BBGGRR; system colours take the matching
// role of the application's palette.
QColor TColorToQColor(TColor color);
// The stored form of an RGB colour.
TColor QColorToTColor(const QColor &color);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white), as WCAG defines it.
double QBContrastRatio(const QColor &a, const QColor &b);
// preferred when it reads well on background; otherwise black or white, whichever reads better. Fixed
// colours (a yellow title, a stored text colour) meet palette colours that a dark desktop inverts.
QColor QBReadableOn(const QColor &background, const QColor &preferred);
