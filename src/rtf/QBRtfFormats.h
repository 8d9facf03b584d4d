// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QTextFormat>

struct TQBRtfParaState;

// Properties the reader puts on text formats so the writer can give back what it read.
namespace QBRtfFormat {

enum Property : int {
    // QTextCharFormat: the font table charset of the text's font (int).
    Charset = QTextFormat::UserProperty + 0x5100,
    // QTextImageFormat: the picture's file bytes as read (QByteArray) and their kind (int, TPictureKind),
    // written back unchanged.
    PictureData,
    PictureKind,
    // QTextImageFormat: the RTF group of a picture or object shown as a placeholder (QByteArray),
    // written back verbatim.
    KeptRtf,
    // QTextImageFormat on a kept object: the same group without its presentation data (QByteArray).
    KeptRtfPlain,
    // QTextListFormat: what a list says that Qt's own format cannot hold (see QBRtfLists.h). The style
    // (int, 1 bullets to 6 upper roman) stays here when Qt is told to draw no marker of its own.
    ListNumbering,
    ListStart,      // int: the number of the first item
    ListBullet,     // QString: the bullet's characters in its own font, as read
    ListBulletFont, // QString: the family of the bullet's font
};

enum TPictureKind : int { Png = 1, Jpeg = 2 };

// Scheme of the image resources the reader adds to a document.
inline constexpr char ImageScheme[] = "qbrtf";

} // namespace QBRtfFormat

// The paragraph format the reader gives a paragraph of RTF, lists aside.
QTextBlockFormat QBRtfBlockFormat(const TQBRtfParaState &para);
