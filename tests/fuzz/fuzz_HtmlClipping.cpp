// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/VtlHtmlClipping.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfReader.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

// Turns the input into a clipping as pasting clipboard HTML does and reads the RTF back as the editor
// would. A picture may only come from a data: URL the input spells out.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray html(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextCharFormat base;
    base.setFontFamilies(QStringList{QStringLiteral("Arial")});
    base.setFontPointSize(10);
    const TVtlHtmlClipping clipping = VtlHtmlClipping::Import(html, {}, base);
    if (clipping.Refused && !clipping.Rtf.isEmpty())
        __builtin_trap();
    QTextDocument doc;
    TQBRtfReader::Load(doc, clipping.Rtf);
    // Spelled out, that is: not behind character references, UTF-16 or another charset.
    const QByteArray lower = html.toLower();
    const bool dataUrl = lower.contains("ata:") || lower.contains('&') || lower.contains('\0') ||
                         lower.contains("charset") || lower.startsWith("version:") || lower.startsWith("\xfe\xff");
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().hasProperty(QBRtfFormat::PictureData) && !dataUrl)
                __builtin_trap();
    return 0;
}
