// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBColors.h"

#include "platform/NVKLocalizer.h"

#include <QGuiApplication>
#include <QPalette>

#include <cmath>

QColor TColorToQColor(TColor color)
{
    // One table of system colours for the whole program: the localizer's.
    const QColor mapped = NVKColorToQColor(color, QGuiApplication::palette());
    return mapped.isValid() ? mapped : QColor(Qt::black);
}

namespace {
// Relative luminance (WCAG 2): sRGB channels linearised, then weighted.
double luminance(const QColor &color)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}
// The ratio normal-sized text needs to read comfortably (WCAG AA).
constexpr double ReadableContrast = 4.5;
} // namespace

double QBContrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor QBReadableOn(const QColor &background, const QColor &preferred)
{
    if (QBContrastRatio(background, preferred) >= ReadableContrast)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return QBContrastRatio(background, black) >= QBContrastRatio(background, white) ? black : white;
}

TColor QColorToTColor(const QColor &color)
{
    return TColor(quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16));
}
