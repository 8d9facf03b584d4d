// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "EditorTexts.h"
#include "rtf/QBRtfCodePages.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfWriter.h"

#include <QIODevice>
#include <QStringDecoder>

namespace {

QString DecodePlainBytes(const QByteArray &bytes, bool unicode)
{
    if (unicode) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(bytes);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    text.clear();
    QBRtfCodePage::Decode(QBRtfCodePage::Ansi, bytes, text);
    return text;
}

// CR LF, CR and LF end paragraphs; a vertical tab breaks the line.
QString DecodePlain(const QByteArray &bytes, bool unicode)
{
    QString text = DecodePlainBytes(bytes, unicode);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\v'), QChar(QChar::LineSeparator));
    return text;
}

// Plain text as the control gives it: CR LF between paragraphs, a vertical tab for a line break,
// objects left out.
QByteArray EncodePlain(QString text, bool unicode)
{
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1Char('\v'));
    if (unicode)
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return text.toUtf8();
}

} // namespace

void TVtlRichEdit::LoadFromStream(QIODevice &stream)
{
    StreamIn(stream, FPlainText ? sfPlainText : sfRichText, {});
}

void TVtlRichEdit::SaveToStream(QIODevice &stream)
{
    StreamOut(stream, FPlainText ? sfPlainText : sfRichText, {});
}

void TVtlRichEdit::StreamIn(QIODevice &stream, TVtlStreamFormat format, TVtlStreamModes modes)
{
    if (!stream.isReadable())
        throw EVtlRichEditError(EditorText("SLoadStreamFailed", "Failed to Load Stream"));
    const QByteArray bytes = stream.readAll();
    const bool selection = modes.testFlag(smSelection);
    if (format == sfRichText) {
        if (selection) {
            QTextCursor cursor = textCursor();
            TQBRtfReader::Insert(cursor, bytes);
            setTextCursor(cursor);
        } else {
            ReplaceDocument([&bytes](QTextDocument &fresh) { TQBRtfReader::Load(fresh, bytes); });
        }
    } else {
        const QString text = DecodePlain(bytes, modes.testFlag(smUnicode));
        if (selection) {
            textCursor().insertText(text);
        } else {
            ReplaceDocument([&text](QTextDocument &fresh) { QTextCursor(&fresh).insertText(text); });
        }
    }
    if (!selection) {
        setTextCursor(QTextCursor(document()));
        ensureCursorVisible();
    }
}

void TVtlRichEdit::ReplaceDocument(const std::function<void(QTextDocument &)> &fill)
{
    // A body is built in a document of its own and then shown: filled while the editor shows it,
    // every insertion would be laid out at once, which costs several times the reading itself.
    QTextDocument *old = document();
    auto *fresh = new QTextDocument(this);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setUndoRedoEnabled(false);
    try {
        fill(*fresh);
    } catch (...) {
        delete fresh;
        throw;
    }
    fresh->setUndoRedoEnabled(FUndoLimit > 0);
    fresh->setModified(false);
    // The first document belongs to the text control, which deletes it itself.
    const bool ownOld = old->parent() == this;
    setDocument(fresh);
    AttachDocument(fresh);
    if (ownOld)
        delete old;
    ResetUndoCount();
}

QByteArray TVtlRichEdit::StreamOutBytes(TVtlStreamFormat format, TVtlStreamModes modes)
{
    const bool selection = modes.testFlag(smSelection);
    if (format == sfRichText) {
        TQBRtfWriteOptions options;
        options.PlainRtf = modes.testFlag(smPlainRtf);
        return selection ? TQBRtfWriter::WriteSelection(textCursor(), options)
                         : TQBRtfWriter::Write(*document(), options);
    }
    return EncodePlain(selection ? textCursor().selectedText() : document()->toRawText(), modes.testFlag(smUnicode));
}

void TVtlRichEdit::StreamOut(QIODevice &stream, TVtlStreamFormat format, TVtlStreamModes modes)
{
    const QByteArray bytes = StreamOutBytes(format, modes);
    if (!bytes.isEmpty())
        stream.write(bytes);
}
