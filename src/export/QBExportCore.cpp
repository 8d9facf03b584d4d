// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBExportCore.h"

#include "base/NVKSaveFile.h"
#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
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

QString QBExportTitle(const IQBArticlePtr &article, const TQBExportOptions &options)
{
    const QString caption = article->Caption();
    if (!options.Numbering)
        return caption;
    const QString number = ArticleNumber(article);
    return number.isEmpty() ? caption : number + QLatin1Char(' ') + caption;
}

void QBForEachExportArticle(TExportScope scope, const TQBExportSource &source,
                            const std::function<bool(const IQBArticlePtr &article)> &article,
                            const std::function<void()> &separate)
{
    switch (scope) {
    case esCurrentArticle:
        if (source.Current)
            article(source.Current);
        break;
    case esOpenArticles:
        for (qsizetype i = 0; i < source.OpenArticles.size(); ++i) {
            // An empty paragraph between articles; none after the last.
            if (i > 0)
                separate();
            if (source.OpenArticles.at(i) && !article(source.OpenArticles.at(i)))
                break;
        }
        break;
    case esBranch:
        if (source.Current)
            QBWalkArticles(source.Current, article);
        break;
    case esDocument:
        if (source.Document && source.Document->Root())
            QBWalkArticles(source.Document->Root(), article);
        break;
    case esSelection:
        break;
    }
}

namespace {

// The steps of an assembly, for the builder and for the plain-text writer that follows it. False when
// the progress callback cancelled.
template <class TAssembler> bool AssembleScope(TExportScope scope, const TQBExportSource &source, TAssembler &assembler)
{
    QBForEachExportArticle(
        scope, source,
        [&assembler](const IQBArticlePtr &article) {
            assembler.AddArticle(article);
            return !assembler.Cancelled();
        },
        [&assembler] { assembler.MoveCaretToEnd(); });
    if (assembler.Cancelled())
        return false;
    assembler.Finish();
    return true;
}

} // namespace

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
    if (FOptions.IncludeTitles)
        AppendTitle(QBExportTitle(article, FOptions));
    if (!body.isEmpty()) {
        const QByteArray bytes = QBBodyBytes(body);
        if (FBodyWriter && FBodyWriter(bytes))
            return;
        FCursor.movePosition(QTextCursor::End);
        const int before = FCursor.position();
        TQBRtfReader::Insert(FCursor, bytes);
        // A body ends with its last paragraph's mark, which inserting turns into an empty paragraph; the
        // body as the editor shows it has none, and MoveCaretToEnd supplies the break.
        if (FCursor.position() > before && FCursor.block().text().isEmpty() &&
            FDocument.characterAt(FCursor.position() - 1) == QChar::ParagraphSeparator)
            FCursor.deletePreviousChar();
    }
    MoveCaretToEnd();
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
        AssembleScope(scope, source, builder);
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

namespace {

[[noreturn]] void ThrowWriteError(const QString &fileName, const QIODevice &file)
{
    throw EQBExportError(NVKFormatS(QStringLiteral("Cannot write the file '%s': %s."), {fileName, file.errorString()}));
}

// The plain text of the assembled document, written as the articles come. It follows the paragraphs
// the assembly would make, holding back only what a later step could still take away: empty
// paragraphs, which the end of the text drops, and the last paragraph of a body, which an empty
// paragraph after it merges into.
class TTextExportWriter
{
public:
    TTextExportWriter(QIODevice &file, const QString &fileName, const TQBExportOptions &options,
                      const TQBExportBuilder::TProgress &progress)
        : FFile(file), FFileName(fileName), FOptions(options), FProgress(progress), FLineEnd(QBPlatformLineEnd())
    {
    }

    bool Cancelled() const { return FCancelled; }

    void AddArticle(const IQBArticlePtr &article)
    {
        if (FCancelled || !article)
            return;
        if (FProgress && !FProgress(article->Caption())) {
            FCancelled = true;
            return;
        }
        const QString body = article->Content();
        if (FOptions.SkipEmpty && body.isEmpty())
            return;
        if (FOptions.IncludeTitles) {
            AppendTitle(QBExportTitle(article, FOptions));
            MoveCaretToEnd();
        }
        if (!body.isEmpty())
            AppendBody(body);
        MoveCaretToEnd();
    }

    // As the builder's step: the paragraph being filled ends.
    void MoveCaretToEnd()
    {
        if (FCurrent.isEmpty() && !FCurrentInList) {
            ++FEmpty;
        } else {
            WriteEmpty(FEmpty);
            WriteParagraph();
        }
        ++FParagraphs;
        FCurrent.clear();
        FCurrentInList = false;
    }

    // The end of the assembly: an empty last paragraph goes, and an empty paragraph left last after
    // that is where the caret would go, not a line of the text.
    void Finish()
    {
        if (FParagraphs > 1 && FCurrent.isEmpty() && !FCurrentInList) {
            WriteEmpty(FEmpty - 1);
        } else {
            WriteEmpty(FEmpty);
            if (!FCurrent.isEmpty() || FCurrentInList)
                WriteParagraph();
        }
        Flush();
    }

private:
    // Titles go in as inserted text, where line ends and frame marks start new paragraphs.
    void AppendTitle(const QString &title)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < title.size(); ++i) {
            const char16_t c = title.at(i).unicode();
            if (c == '\n' || c == '\r' || c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1) {
                FCurrent += QStringView(title).sliced(start, i - start);
                MoveCaretToEnd();
                if (c == '\r' && i + 1 < title.size() && title.at(i + 1) == QLatin1Char('\n'))
                    ++i;
                start = i + 1;
            }
        }
        FCurrent += QStringView(title).sliced(start);
    }

    // A body goes in at an empty paragraph, every paragraph mark breaking; the empty paragraph a final
    // mark leaves is merged back into the last one, which keeps its list.
    void AppendBody(const QString &body)
    {
        // The last two paragraphs wait: only the end of the body says whether the last one is empty.
        TQBRtfTextParagraph held[2];
        int count = 0;
        RtfForEachParagraph(QBBodyBytes(body), false, [&](const TQBRtfTextParagraph &paragraph) {
            if (count == 2) {
                SetCurrent(held[0]);
                MoveCaretToEnd();
                held[0] = std::move(held[1]);
                count = 1;
            }
            held[count++] = paragraph;
        });
        if (count == 0)
            return;
        if (count == 2) {
            SetCurrent(held[0]);
            if (held[1].Text.isEmpty())
                return;
            MoveCaretToEnd();
        }
        SetCurrent(held[count - 1]);
    }

    void SetCurrent(const TQBRtfTextParagraph &paragraph)
    {
        FCurrent += paragraph.Text;
        FCurrentInList = !paragraph.Label.isEmpty();
        FLabel = paragraph.Label;
        FLevel = paragraph.Level;
    }

    void WriteEmpty(qsizetype count)
    {
        for (; count > 0; --count)
            FOut += FLineEnd;
        FEmpty = 0;
    }

    void WriteParagraph()
    {
        if (FCurrentInList) {
            for (int level = 0; level < FLevel; ++level)
                FOut += QLatin1Char('\t');
            FOut += FLabel;
            FOut += QLatin1Char('\t');
        }
        if (!FCurrent.contains(QChar::LineSeparator) && !FCurrent.contains(QChar::ObjectReplacementCharacter)) {
            FOut += FCurrent;
        } else {
            for (const QChar c : std::as_const(FCurrent)) {
                if (c == QChar::LineSeparator)
                    FOut += FLineEnd;
                else if (c != QChar::ObjectReplacementCharacter)
                    FOut += c;
            }
        }
        FOut += FLineEnd;
        // Whole lines only: a surrogate pair never spans a line end.
        if (FOut.size() >= 1 << 16)
            Flush();
    }

    void Flush()
    {
        const QByteArray bytes = FOut.toUtf8();
        FOut.clear();
        if (FFile.write(bytes) != bytes.size())
            ThrowWriteError(FFileName, FFile);
    }

    QIODevice &FFile;
    const QString FFileName;
    const TQBExportOptions FOptions;
    const TQBExportBuilder::TProgress &FProgress;
    const QString FLineEnd;
    bool FCancelled = false;
    QString FOut;
    // The paragraph being filled, and how many there are so far with it.
    QString FCurrent;
    bool FCurrentInList = false;
    QString FLabel;
    int FLevel = 0;
    qint64 FParagraphs = 1;
    // Empty paragraphs not written yet.
    qsizetype FEmpty = 0;
};

} // namespace

void QBSaveExport(const QTextDocument &document, const QString &fileName, TQBExportFormat format)
{
    const QByteArray bytes = QBExportBytes(document, format);
    TNVKSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ThrowWriteError(fileName, file);
}

namespace {

// The selection is one piece of RTF already, written as assembled.
void SaveSelection(const TQBExportSource &source, const TQBExportOptions &options, const QString &fileName,
                   TQBExportFormat format, const TQBExportBuilder::TProgress &progress)
{
    QTextDocument document;
    QBBuildExport(document, esSelection, source, options, progress);
    QBSaveExport(document, fileName, format);
}

void OpenExport(TNVKSaveFile &file, const QString &fileName)
{
    if (!file.open(QIODevice::WriteOnly))
        ThrowWriteError(fileName, file);
}

} // namespace

bool QBStreamTextExport(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options,
                        const QString &fileName, const TQBExportBuilder::TProgress &progress)
{
    if (scope == esSelection) {
        SaveSelection(source, options, fileName, efText, progress);
        return true;
    }
    TNVKSaveFile file(fileName);
    OpenExport(file, fileName);
    TTextExportWriter writer(file, fileName, options, progress);
    if (!AssembleScope(scope, source, writer))
        return false;
    if (!file.commit())
        ThrowWriteError(fileName, file);
    return true;
}

bool QBStreamRtfExport(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options,
                       const QString &fileName, const TQBExportBuilder::TProgress &progress, int partCharacters)
{
    if (scope == esSelection) {
        SaveSelection(source, options, fileName, efRtf, progress);
        return true;
    }
    TNVKSaveFile file(fileName);
    OpenExport(file, fileName);

    // The articles go into a document as the assembly puts them, a few at a time. Between articles the
    // assembly's last paragraph is an empty plain one, which an emptied document is as well: everything
    // before it can be written and taken away without changing what follows.
    QTextDocument chunk;
    chunk.setUndoRedoEnabled(false);
    TQBRtfStreamWriter writer(chunk);
    TQBExportBuilder builder(chunk, options);
    builder.SetProgress(progress);
    bool written = false;
    QTextCursor batch(&chunk);
    batch.beginEditBlock();
    // Everything before the empty last paragraph, which the next article goes into.
    const auto writeChunk = [&] {
        batch.endEditBlock();
        if (chunk.blockCount() > 1) {
            writer.AddParagraphs(chunk, chunk.blockCount() - 1);
            written = true;
        }
        chunk.clear();
        batch.beginEditBlock();
    };
    // Bodies of plain paragraphs go straight from their RTF to the file.
    builder.SetBodyWriter([&](const QByteArray &body) {
        writeChunk();
        if (!writer.AddBody(body))
            return false;
        written = true;
        return true;
    });
    QBForEachExportArticle(
        scope, source,
        [&](const IQBArticlePtr &article) {
            builder.AddArticle(article);
            if (builder.Cancelled())
                return false;
            if (chunk.characterCount() >= partCharacters)
                writeChunk();
            return true;
        },
        [&builder] { builder.MoveCaretToEnd(); });
    batch.endEditBlock();
    if (builder.Cancelled())
        return false;
    // Alone after what was written, the empty last paragraph is the one the assembly drops at its end.
    if (!written || chunk.blockCount() > 1) {
        builder.Finish();
        writer.AddParagraphs(chunk, chunk.blockCount());
    }

    const QByteArray header = writer.Header();
    const QByteArray &body = writer.Body();
    const qint64 trailer = qint64(qstrlen(TQBRtfStreamWriter::Trailer));
    if (file.write(header) != header.size() || file.write(body) != body.size() ||
        file.write(TQBRtfStreamWriter::Trailer, trailer) != trailer || !file.commit())
        ThrowWriteError(fileName, file);
    return true;
}
