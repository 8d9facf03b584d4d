// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

// Windows code pages as RTF names them (\ansicpg, \cpg, \fcharset). QtCore only.
namespace QBRtfCodePage {

constexpr int Ansi = 1252;
constexpr int MacRoman = 10000;
constexpr int Utf8 = 65001;

// The code page a font charset's text is written in; charsets 0 (ANSI) and 2 (symbol) are 1252,
// 1 (default) takes the document's code page, unknown charsets too.
int OfCharset(int charset, int documentCodePage);

// A code page the decoder knows; anything else is read as 1252.
bool IsSupported(int codePage);

// True for code pages where one character may take more than one byte (932, 936, 949, 950, 1361, 65001).
bool IsMultiByte(int codePage);

// Decodes bytes of the code page and appends them to out. Bytes a code page does not define become
// U+FFFD; a lead byte without its trail byte at the end of the input becomes U+FFFD as well.
void Decode(int codePage, QByteArrayView bytes, QString &out);

// The 256 characters of a single-byte code page, or null for a multi-byte one. The table lives as long as
// the program.
const char16_t *SingleByteTable(int codePage);

// The character of one byte in a single-byte code page (U+FFFD for multi-byte code pages' lead bytes).
char16_t DecodeByte(int codePage, unsigned char byte);

// For a single-byte code page, the byte of each UTF-16 unit, 0 where there is none; null for a multi-byte
// code page. The table lives as long as the program.
const unsigned char *EncodeTable(int codePage);

// The byte of ch in a single-byte code page; returns false when the code page cannot represent it
// or is multi-byte.
bool EncodeChar(int codePage, char16_t ch, unsigned char &byte);

} // namespace QBRtfCodePage
