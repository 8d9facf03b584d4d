// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBGraphics.h"

#include "xml/IDMap.h"

#include <climits>

namespace {

const TColor clWindowText = TColor(0x80000008);
const QString ColorType = QStringLiteral("TColor");

// Only names: the map's own fallback would read any text as a hexadecimal number.
bool IdentToColor(const QString &text, TColor &color)
{
    const int value = IdentToInt(ColorType, text.trimmed());
    QString name;
    if (!IntToIdent(ColorType, value, name) || name.compare(text.trimmed(), Qt::CaseInsensitive) != 0)
        return false;
    color = value;
    return true;
}

// The text after the n-th comma, leading blanks skipped, up to the next comma.
QString descriptorField(const QString &text, int n)
{
    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        start = text.indexOf(QLatin1Char(','), start);
        if (start < 0)
            return {};
        ++start;
    }
    while (start < text.size() && text[start] == QLatin1Char(' '))
        ++start;
    const qsizetype end = text.indexOf(QLatin1Char(','), start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

QString ColorToString(TColor color)
{
    QString name;
    if (IntToIdent(ColorType, color, name))
        return name;
    return QLatin1Char('$') + QString::number(quint32(color), 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

bool StringToColor(const QString &text, TColor &color)
{
    if (IdentToColor(text, color))
        return true;
    const QString trimmed = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (trimmed.startsWith(QLatin1Char('$')))
        value = trimmed.mid(1).toLongLong(&ok, 16);
    else if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = trimmed.mid(2).toLongLong(&ok, 16);
    else
        value = trimmed.toLongLong(&ok, 10);
    if (!ok || value < INT_MIN || value > qint64(UINT_MAX))
        return false;
    color = TColor(quint32(value));
    return true;
}

QString FontToDescriptor(const TQBFontDescriptor &font)
{
    return QStringLiteral("%1, %2, %3, %4, %5")
        .arg(font.Name)
        .arg(font.Size)
        .arg(font.Charset)
        .arg(font.Style)
        .arg(ColorToString(font.Color));
}

void DescriptorToFont(const QString &text, TQBFontDescriptor &font)
{
    if (text.isEmpty())
        return;
    auto number = [](const QString &field, int fallback) {
        bool ok = false;
        const int value = field.trimmed().toInt(&ok);
        return ok ? value : fallback;
    };
    if (const QString f = descriptorField(text, 0); !f.isEmpty())
        font.Name = f;
    if (const QString f = descriptorField(text, 1); !f.isEmpty())
        font.Size = number(f, 10);
    if (const QString f = descriptorField(text, 2); !f.isEmpty())
        font.Charset = number(f, 10);
    if (const QString f = descriptorField(text, 3); !f.isEmpty())
        font.Style = number(f, 0);
    if (const QString f = descriptorField(text, 4); !f.isEmpty()) {
        TColor color = 0;
        font.Color = StringToColor(f, color) ? color : clWindowText;
    }
}
