// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"
#include "services/QBSettingsSvc.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <functional>

class QTextDocument;

// A file that could not be written.
class EQBExportError : public ENVKError
{
public:
    explicit EQBExportError(const QString &message) : ENVKError(message) {}
};

// What is printed or exported.
enum TExportScope : int {
    esSelection = 0,
    esCurrentArticle = 1,
    esOpenArticles = 2,
    esBranch = 3,
    esDocument = 4,
};

struct TQBExportOptions
{
    bool IncludeTitles = true;
    bool Numbering = false;
    bool SkipEmpty = true;
    // Font descriptor of the titles.
    QString TitleFont = QString::fromLatin1(QBDefaultTitleFont);
};

// Where the articles of each scope come from. The editor supplies the selection and the open articles.
struct TQBExportSource
{
    // esDocument: its root and everything below.
    IQBDocumentPtr Document;
    // esCurrentArticle and esBranch; nothing is assembled without one.
    IQBArticlePtr Current;
    // esOpenArticles, in window order.
    QList<IQBArticlePtr> OpenArticles;
    // esSelection: the editor's selection as RTF.
    QByteArray Selection;
};

// The outline number of an article: "1.2." for the second child of the first top-level article;
// empty for the root and for a detached article.
QString ArticleNumber(const IQBArticlePtr &article);

// The character format of titles from a font descriptor; system colours leave the text colour alone.
QTextCharFormat QBTitleCharFormat(const QString &descriptor);

// An article's title in an export: its caption, after its outline number when numbering is on.
QString QBExportTitle(const IQBArticlePtr &article, const TQBExportOptions &options);

// Calls article for each article of a scope in export order (a branch depth first in pre-order) until
// it returns false, and separate between open articles. Nothing for esSelection or a missing source.
void QBForEachExportArticle(TExportScope scope, const TQBExportSource &source,
                            const std::function<bool(const IQBArticlePtr &article)> &article,
                            const std::function<void()> &separate);

// Assembles articles at the end of a QTextDocument: each one's title (caption, with its number when
// numbering is on) in the title font on its own line, then its body. Empty bodies are left out with
// their titles when SkipEmpty is on; their children are still visited.
class TQBExportBuilder
{
public:
    // Called with each article's caption before it is added; returning false cancels the assembly.
    using TProgress = std::function<bool(const QString &caption)>;

    TQBExportBuilder(QTextDocument &document, const TQBExportOptions &options);

    void SetProgress(TProgress progress) { FProgress = std::move(progress); }
    // Called with the bytes of a body where it would be inserted, at an empty plain paragraph at the end;
    // true when the body and the break after it went elsewhere, false to insert it here.
    using TBodyWriter = std::function<bool(const QByteArray &body)>;
    void SetBodyWriter(TBodyWriter writer) { FBodyWriter = std::move(writer); }
    bool Cancelled() const { return FCancelled; }

    // Nothing once cancelled. Bodies that cannot be decompressed raise EZDecompressionError.
    void AddArticle(const IQBArticlePtr &article);
    // Starts a new paragraph at the end of the text.
    void MoveCaretToEnd();
    // Drops the empty paragraph that the last article leaves behind.
    void Finish();

private:
    void AppendTitle(const QString &title);

    QTextDocument &FDocument;
    QTextCursor FCursor;
    TQBExportOptions FOptions;
    QTextCharFormat FTitleFormat;
    TProgress FProgress;
    TBodyWriter FBodyWriter;
    bool FCancelled = false;
};

// Replaces the document's content with the scope's articles. Returns false when the progress callback
// cancelled; the document is then left empty. Open articles are set apart by an empty paragraph.
bool QBBuildExport(QTextDocument &document, TExportScope scope, const TQBExportSource &source,
                   const TQBExportOptions &options, const TQBExportBuilder::TProgress &progress = {});

// The text of a document for a plain-text file: every paragraph ends with lineEnd, line breaks inside
// a paragraph become lineEnd as well, list items start with their bullet or number and a tab, links
// keep their shown text, pictures and objects are left out.
QString QBExportPlainText(const QTextDocument &document, const QString &lineEnd);

// The platform's line end.
QString QBPlatformLineEnd();

enum TQBExportFormat : int {
    efRtf = 0,
    efText = 1,
};

// The export format a file name asks for: ".txt" (any case) is plain text, anything else RTF.
TQBExportFormat QBExportFormatOf(const QString &fileName);

// The bytes of the file: RTF through the writer, or plain text in UTF-8 with the platform's line ends.
QByteArray QBExportBytes(const QTextDocument &document, TQBExportFormat format);

// Writes the file in one piece: an existing file is replaced only by a complete new one. Raises
// EQBExportError when the file cannot be written.
void QBSaveExport(const QTextDocument &document, const QString &fileName, TQBExportFormat format);

// Writes the scope's articles as a plain-text file straight from their bodies, article by article,
// without assembling them: the bytes are exactly those of QBExportBytes(assembled document, efText).
// The selection is assembled as QBSaveExport would. Returns false when the progress callback cancelled;
// nothing is written then. An existing file is replaced only by a complete new one. Raises
// EQBExportError when the file cannot be written, EZDecompressionError for a body that cannot be read.
bool QBStreamTextExport(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options,
                        const QString &fileName, const TQBExportBuilder::TProgress &progress = {});

// Writes the scope's articles as an RTF file without assembling them all: what a reader reads from it is
// what it reads from QBExportBytes(assembled document, efRtf). The selection is assembled as QBSaveExport
// would. Returns false when the progress callback cancelled; nothing is written then. An existing file is
// replaced only by a complete new one. Raises EQBExportError when the file cannot be written,
// EZDecompressionError for a body that cannot be read. Articles are assembled a part at a time, a part
// ending after the article that brings it to partCharacters characters.
bool QBStreamRtfExport(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options,
                       const QString &fileName, const TQBExportBuilder::TProgress &progress = {},
                       int partCharacters = 1 << 16);
