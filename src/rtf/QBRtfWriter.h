// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

struct TQBRtfWriteOptions
{
    // Plain RTF: objects are written without their presentation data.
    bool PlainRtf = false;
    // The document's code page (single-byte); characters outside a font's code page are written as \uN?.
    int CodePage = 1252;
};

// Writes 7-bit RTF that the rich edit control and word processors read: font and colour tables,
// character and paragraph formats, lists in the rich edit control's \pn form, links as HYPERLINK fields,
// pictures as \pngblip (JPEG pictures as \jpegblip), kept pictures and objects verbatim.
class TQBRtfWriter
{
public:
    // The whole document; every paragraph, the last included, ends with \par.
    static QByteArray Write(const QTextDocument &document, const TQBRtfWriteOptions &options = {});
    // The cursor's selection; \par only for paragraph ends inside it. An empty selection gives an empty
    // RTF document.
    static QByteArray WriteSelection(const QTextCursor &cursor, const TQBRtfWriteOptions &options = {});
};
