// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

// UTF-8 to text that keeps every character. QString::fromUtf8 drops a byte order mark at the start,
// but inside a document's captions and bodies U+FEFF is a character of the text and must come back.
inline QString NVKFromUtf8(QByteArrayView utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (utf8.startsWith("\xEF\xBB\xBF"))
        text.prepend(QChar(0xFEFF));
    return text;
}
