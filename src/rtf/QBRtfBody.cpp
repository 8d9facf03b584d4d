// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfBody.h"

#include "QBRtfCodePages.h"

namespace {

// Eight bytes at a time: bodies are 7-bit as a rule, and a megabyte body is checked each time it
// is opened.
bool isAscii(const void *data, qsizetype size, quint64 highBits)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    quint64 bits = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, bytes + i, 8);
        bits |= word;
    }
    quint64 tail = 0;
    if (i < size)
        std::memcpy(&tail, bytes + i, size_t(size - i));
    return ((bits | tail) & highBits) == 0;
}

bool isAscii(QStringView text)
{
    // Every UTF-16 unit below 0x80, whichever byte order.
    return isAscii(text.utf16(), text.size() * 2, 0xFF80FF80FF80FF80ull);
}

bool isAscii(const QByteArray &bytes)
{
    return isAscii(bytes.constData(), bytes.size(), 0x8080808080808080ull);
}

} // namespace

QByteArray QBBodyBytes(const QString &body)
{
    if (isAscii(body))
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
    if (isAscii(utf8))
        return utf8;
    return QBBodyBytes(QString::fromUtf8(utf8));
}
