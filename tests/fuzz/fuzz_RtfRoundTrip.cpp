// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfWriter.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {

// The text with what the writer must keep of its look, one line per run of equal formats and a
// line per paragraph with its alignment and indents.
QString described(const QTextDocument &doc)
{
    QString result;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat paragraph = block.blockFormat();
        result += QStringLiteral("P %1 %2 %3 %4\n")
                      .arg(int(paragraph.alignment() & Qt::AlignHorizontal_Mask))
                      .arg(qRound(paragraph.leftMargin()))
                      .arg(qRound(paragraph.rightMargin()))
                      .arg(qRound(paragraph.textIndent()));
        QString last;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString look =
                QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                    .arg(format.fontWeight() >= QFont::DemiBold)
                    .arg(format.fontItalic())
                    .arg(format.fontUnderline())
                    .arg(format.fontStrikeOut())
                    .arg(int(format.verticalAlignment()))
                    .arg(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().name()
                                                                          : QString())
                    .arg(format.isAnchor() ? format.anchorHref() : QString());
            if (look != last)
                result += QStringLiteral("\n  [") + look + QStringLiteral("] ");
            last = look;
            result += fragment.text();
        }
        result += QLatin1Char('\n');
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

// Read, write, read: the text and its formats come back as they were read the first time.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument first;
    TQBRtfReader::Load(first, rtf);
    QTextDocument second;
    TQBRtfReader::Load(second, TQBRtfWriter::Write(first));
    if (described(second) != described(first)) {
        // Replaying one input shows where the two readings part.
        if (qEnvironmentVariableIsSet("QB_FUZZ_SHOW"))
            qWarning("first:\n%s\nwritten:\n%s\nsecond:\n%s", qPrintable(described(first)),
                     TQBRtfWriter::Write(first).constData(), qPrintable(described(second)));
        __builtin_trap();
    }
    return 0;
}
