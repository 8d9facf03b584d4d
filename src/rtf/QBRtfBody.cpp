// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfBody.h"

#include "QBRtfCodePages.h"

#include <algorithm>

QByteArray QBBodyBytes(const QString &body)
{
    bool ascii = true;
    for (QChar c : body) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return body.toLatin1();
    if (!body.startsWith(QLatin1String("{\\rtf")))
        return body.toUtf8();
    // RTF that carries raw characters: those of the default code page go back to their bytes, the others
    // become Unicode escapes, so that no character is lost on the way to the parser.
    QByteArray bytes;
    bytes.reserve(body.size() + 16);
    for (QChar c : body) {
        unsigned char byte = 0;
        if (c.unicode() < 0x80)
            bytes += char(c.unicode());
        else if (QBRtfCodePage::EncodeChar(QBRtfCodePage::Ansi, c.unicode(), byte))
            bytes += char(byte);
        else
            bytes += "\\uc1\\u" + QByteArray::number(qint16(c.unicode())) + '?';
    }
    return bytes;
}

QByteArray QBBodyBytesFromUtf8(const QByteArray &utf8)
{
    if (std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return uchar(c) < 0x80; }))
        return utf8;
    return QBBodyBytes(QString::fromUtf8(utf8));
}
