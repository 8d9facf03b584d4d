// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

// Rectangles of the report framework hold four edges, as QRect::setCoords stores them: read them with
// left(), top(), right() and bottom(), never with width() or height(), which count one more.
QRect PrxRect(int left, int top, int right, int bottom);
inline int PrxWidth(const QRect &r)
{
    return r.right() - r.left();
}
inline int PrxHeight(const QRect &r)
{
    return r.bottom() - r.top();
}

// value × numerator / denominator in 64 bits, to the nearest integer with halves away from zero;
// 0 when the denominator is 0.
int PrxMulDiv(int value, int numerator, int denominator);

// Whether the user's locale measures in inches: everything but the metric system.
bool PrxLocaleUsesInches();

// Thousandths of an inch to twips (× 1440 / 1000).
int PrxThouToTwips(int thou);
// Every edge from thousandths of an inch to hundredths of a millimetre (× 254 / 100) and back (× 100 / 254).
QRect PrxThouToMM100(const QRect &r);
QRect PrxMM100ToThou(const QRect &r);
