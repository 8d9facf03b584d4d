// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBExportCore.h"

#include "base/NVKSaveFile.h"
#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfWriter.h"

#include <QFileInfo>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <vector>

QString ArticleNumber(const IQBArticlePtr &article)
{
    QString number;
    IQBArticlePtr current = article;
    while (current) {
        const IQBArticlePtr parent = current->Parent();
        if (!parent)
            break;
        number = QString::number(current->Index() + 1) + QLatin1Char('.') + number;
        current = parent;
    }
    return number;
}

QTextCharFormat QBTitleCharFormat(const QString &descriptor)
{
    TQBFontDescriptor font;
    DescriptorToFont(QString::fromLatin1(QBDefaultTitleFont), font);
    DescriptorToFont(descriptor, font);
    QTextCharFormat format;
    if (!font.Name.isEmpty())
        format.setFontFamilies(QStringList{font.Name});
    if (font.Size > 0)
        format.setFontPointSize(font.Size);
    format.setFontWeight(font.Style & TQBFontDescriptor::fsBold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.Style & TQBFontDescriptor::fsItalic);
    format.setFontUnderline(font.Style & TQBFontDescriptor::fsUnderline);
    format.setFontStrikeOut(font.Style & TQBFontDescriptor::fsStrikeOut);
    // Stored colours are 0x00BBGGRR; the high bit marks a system colour, which is the default text colour
    // wherever the title is shown.
    if (font.Color >= 0)
        format.setForeground(QColor(font.Color & 0xFF, (font.Color >> 8) & 0xFF, (font.Color >> 16) & 0xFF));
    return format;
}

TQBExportBuilder::TQBExportBuilder(QTextDocument &document, const TQBExportOptions &options)
    : FDocument(document), FCursor(&document), FOptions(options), FTitleFormat(QBTitleCharFormat(options.TitleFont))
{
    FCursor.movePosition(QTextCursor::End);
}

void TQBExportBuilder::AppendTitle(const QString &title)
{
    FCursor.movePosition(QTextCursor::End);
    FCursor.insertText(title, FTitleFormat);
    MoveCaretToEnd();
}

void TQBExportBuilder::MoveCaretToEnd()
{
    // A plain paragraph: the next article must not continue the last one's list or alignment.
    FCursor.movePosition(QTextCursor::End);
    FCursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void TQBExportBuilder::AddArticle(const IQBArticlePtr &article)
{
    if (FCancelled || !article)
        return;
    const QString caption = article->Caption();
    if (FProgress && !FProgress(caption)) {
        FCancelled = true;
        return;
    }
    const QString body = article->Content();
    if (FOptions.SkipEmpty && body.isEmpty())
        return;
    if (FOptions.IncludeTitles) {
        QString title = caption;
        if (FOptions.Numbering) {
            const QString number = ArticleNumber(article);
            if (!number.isEmpty())
                title = number + QLatin1Char(' ') + caption;
        }
        AppendTitle(title);
    }
    if (!body.isEmpty()) {
        FCursor.movePosition(QTextCursor::End);
        const int before = FCursor.position();
        TQBRtfReader::Insert(FCursor, QBBodyBytes(body));
        // A body ends with its last paragraph's mark, which inserting turns into an empty paragraph; the
        // body as the editor shows it has none, and MoveCaretToEnd supplies the break.
        if (FCursor.position() > before && FCursor.block().text().isEmpty() &&
            FDocument.characterAt(FCursor.position() - 1) == QChar::ParagraphSeparator)
            FCursor.deletePreviousChar();
    }
    MoveCaretToEnd();
}

void TQBExportBuilder::AddBranch(const IQBArticlePtr &article)
{
    if (!article)
        return;
    QBWalkArticles(article, [this](const IQBArticlePtr &a) {
        AddArticle(a);
        return !FCancelled;
    });
}

void TQBExportBuilder::Finish()
{
    FCursor.movePosition(QTextCursor::End);
    if (FDocument.blockCount() > 1 && FCursor.block().text().isEmpty() && !FCursor.block().textList())
        FCursor.deletePreviousChar();
}

bool QBBuildExport(QTextDocument &document, TExportScope scope, const TQBExportSource &source,
                   const TQBExportOptions &options, const TQBExportBuilder::TProgress &progress)
{
    document.clear();
    if (scope == esSelection) {
        if (!source.Selection.isEmpty())
            TQBRtfReader::Load(document, source.Selection);
        return true;
    }
    // The assembled text is never edited, so it keeps no undo history; one edit block keeps the document
    // from laying out every insertion.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor block(&document);
    block.beginEditBlock();
    TQBExportBuilder builder(document, options);
    builder.SetProgress(progress);
    try {
        switch (scope) {
        case esCurrentArticle:
            builder.AddArticle(source.Current);
            break;
        case esOpenArticles:
            for (qsizetype i = 0; i < source.OpenArticles.size() && !builder.Cancelled(); ++i) {
                // An empty paragraph between articles; none after the last.
                if (i > 0)
                    builder.MoveCaretToEnd();
                builder.AddArticle(source.OpenArticles.at(i));
            }
            break;
        case esBranch:
            builder.AddBranch(source.Current);
            break;
        case esDocument:
            if (source.Document)
                builder.AddBranch(source.Document->Root());
            break;
        case esSelection:
            break;
        }
        if (!builder.Cancelled())
            builder.Finish();
    } catch (...) {
        block.endEditBlock();
        document.clear();
        document.setUndoRedoEnabled(undo);
        throw;
    }
    block.endEditBlock();
    if (builder.Cancelled())
        document.clear();
    document.setUndoRedoEnabled(undo);
    return !builder.Cancelled();
}

QString QBExportPlainText(const QTextDocument &document, const QString &lineEnd)
{
    QString out;
    out.reserve(document.characterCount() + document.blockCount() * (lineEnd.size() + 1));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        QTextList *list = block.textList();
        // The final empty paragraph is where the caret would go, not a line of the text.
        if (!block.next().isValid() && text.isEmpty() && !list)
            break;
        if (list) {
            for (int level = 1; level < list->format().indent(); ++level)
                out += QLatin1Char('\t');
            out += QBListLabel(block) + QLatin1Char('\t');
        }
        if (!text.contains(QChar::LineSeparator) && !text.contains(QChar::ObjectReplacementCharacter)) {
            out += text;
        } else {
            for (const QChar c : text) {
                if (c == QChar::LineSeparator)
                    out += lineEnd;
                else if (c != QChar::ObjectReplacementCharacter)
                    out += c;
            }
        }
        out += lineEnd;
    }
    return out;
}

QString QBPlatformLineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

TQBExportFormat QBExportFormatOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0 ? efText : efRtf;
}

QByteArray QBExportBytes(const QTextDocument &document, TQBExportFormat format)
{
    if (format == efText)
        return QBExportPlainText(document, QBPlatformLineEnd()).toUtf8();
    return TQBRtfWriter::Write(document);
}

void QBSaveExport(const QTextDocument &document, const QString &fileName, TQBExportFormat format)
{
    const QByteArray bytes = QBExportBytes(document, format);
    TNVKSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EQBExportError(
            NVKFormatS(QStringLiteral("Cannot write the file '%s': %s."), {fileName, file.errorString()}));
}
