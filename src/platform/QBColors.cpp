// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBColors.h"

#include "platform/NVKLocalizer.h"

#include <QGuiApplication>
#include <QPalette>

QColor TColorToQColor(TColor color)
{
    // One table of system colours for the whole program: the localizer's.
    const QColor mapped = NVKColorToQColor(color, QGuiApplication::palette());
    return mapped.isValid() ? mapped : QColor(Qt::black);
}

TColor QColorToTColor(const QColor &color)
{
    return TColor(quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16));
}
