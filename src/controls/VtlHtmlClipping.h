// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTextCharFormat>

// A web clipping made ready for the editor: HTML from the clipboard as the RTF the editor stores.
struct TVtlHtmlClipping
{
    // Empty when the HTML gave nothing to paste or was refused; paste the plain text then.
    QByteArray Rtf;
    // Whether the HTML was refused as a whole (too large).
    bool Refused = false;
    // What the user should be told: a refusal, pictures left out, a page read partly as plain text.
    QString Message;
};

// Keeps text, character styles, links to the web and to mail addresses, headings, lists, tables (a row a
// paragraph, cells at tab stops), quotes and preformatted text, and pictures from data: URLs or from the
// image the clipboard carries beside HTML with one picture. Nothing is ever fetched or read from files:
// other pictures become their alternative text. Scripts, styles, forms, embedded frames, hidden parts and
// tracking pixels are dropped.
namespace VtlHtmlClipping {

// HTML larger than this is not read; the plain text goes in instead.
inline constexpr qsizetype MaxBytes = 8 * 1024 * 1024;
// The pixels of all pictures of one clipping together; pictures beyond it become their alternative text.
inline constexpr qint64 MaxTotalPixels = 40'000'000;

// The picture a browser put on the clipboard beside the HTML: the file's bytes as another program offers
// them (their size is checked before anything is decoded), or an image this program put there.
struct TPicture
{
    QByteArray Data;
    QImage Image;
};

// picture: the one beside the HTML, if any. base: the format of text the page gives no font or size,
// usually that at the caret.
TVtlHtmlClipping Import(const QByteArray &html, const TPicture &picture, const QTextCharFormat &base);

} // namespace VtlHtmlClipping
