// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Colours as stored: 0x00BBGGRR, or 0x80000000 plus a system colour index.
using TColor = qint32;

// The TitleFont setting's default descriptor: the font of article titles in printouts and exports.
inline constexpr char QBDefaultTitleFont[] = "Arial, 14, 1, 0, clWindowText";

// A font in its stored text form "Name, Size, Charset, Style, Colour".
struct TQBFontDescriptor
{
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    QString Name;
    int Size = 10;
    int Charset = 1;
    int Style = 0;
    TColor Color = 0;

    bool operator==(const TQBFontDescriptor &) const = default;
};
QString FontToDescriptor(const TQBFontDescriptor &font);
// Applies a descriptor to font: empty fields leave attributes as they are; a size or charset that
// is no number gives 10, a style that is no number 0, an unknown colour clWindowText.
void DescriptorToFont(const QString &text, TQBFontDescriptor &font);

// The colour's name when it has one, else "$" and eight hex digits.
QString ColorToString(TColor color);
// A colour name or a number ("$00FF00", "0x..", decimal); false when the text is neither.
bool StringToColor(const QString &text, TColor &color);
