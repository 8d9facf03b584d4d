// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PrxUtils.h"

#include <QLocale>
#include <climits>

QRect PrxRect(int left, int top, int right, int bottom)
{
    QRect r;
    r.setCoords(left, top, right, bottom);
    return r;
}

int PrxMulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return 0;
    const qint64 product = qint64(value) * numerator;
    const qint64 d = denominator < 0 ? -qint64(denominator) : qint64(denominator);
    const qint64 n = denominator < 0 ? -product : product;
    const qint64 half = d / 2;
    const qint64 rounded = n >= 0 ? (n + half) / d : -((-n + half) / d);
    return int(qBound(qint64(INT_MIN), rounded, qint64(INT_MAX)));
}

bool PrxLocaleUsesInches()
{
    return QLocale().measurementSystem() != QLocale::MetricSystem;
}

int PrxThouToTwips(int thou)
{
    return PrxMulDiv(thou, 1440, 1000);
}

namespace {

QRect mapEdges(const QRect &r, int numerator, int denominator)
{
    return PrxRect(PrxMulDiv(r.left(), numerator, denominator), PrxMulDiv(r.top(), numerator, denominator),
                   PrxMulDiv(r.right(), numerator, denominator), PrxMulDiv(r.bottom(), numerator, denominator));
}

} // namespace

QRect PrxThouToMM100(const QRect &r)
{
    return mapEdges(r, 254, 100);
}

QRect PrxMM100ToThou(const QRect &r)
{
    return mapEdges(r, 100, 254);
}
