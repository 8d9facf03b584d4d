// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {

QString DocumentText(const QTextDocument &doc)
{
    QString text = doc.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

// Reads the input into a document; the document's text must equal the extractor's, and writing the
// document and reading it again must give the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    TQBRtfReader::Load(doc, rtf);
    const QString text = DocumentText(doc);
    if (text != RtfToPlainText(rtf))
        __builtin_trap();
    QTextDocument again;
    TQBRtfReader::Load(again, TQBRtfWriter::Write(doc));
    if (DocumentText(again) != text)
        __builtin_trap();
    return 0;
}
