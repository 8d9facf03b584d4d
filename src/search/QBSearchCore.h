// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <atomic>
#include <exception>
#include <functional>

// Options of a search; the values are those the search pane stores.
enum TQBSearchOption : quint8 {
    soWholeWord = 1,
    soMatchCase = 2,
};
Q_DECLARE_FLAGS(TQBSearchOptions, TQBSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TQBSearchOptions)

// One result row.
struct TQBSearchMatch
{
    qint32 ArticleID = 0;
    QString Caption;
    // Character position in the body's text as the editor holds it; -1 for a title match.
    int Position = -1;

    bool IsTitle() const { return Position < 0; }
    // The row's text: the caption, with " *" appended for a title match.
    QString Text() const { return IsTitle() ? Caption + QStringLiteral(" *") : Caption; }
    bool operator==(const TQBSearchMatch &) const = default;
};

// The characters that may stand before and after a whole word in a caption.
extern const QString QBTitleDelimiters;

// Title rule: only the first occurrence of pattern is tried. Without soMatchCase both texts are
// upper-cased with the locale's upper-casing first. With soWholeWord the characters around that
// occurrence must be delimiters (or the caption's ends). An empty pattern never matches.
bool QBTitleMatches(const QString &caption, const QString &pattern, TQBSearchOptions options);

// Body rule, as the editor's find: the first occurrence of pattern at or after from; -1 when there
// is none or the pattern is empty. Without soMatchCase letters compare case-insensitively; with
// soWholeWord an occurrence counts only when it neither continues a word before it nor runs into
// one after it, and the search goes on past occurrences that fail.
int QBFindText(const QString &text, const QString &pattern, int from, TQBSearchOptions options);

// Every occurrence in text order, forward and without overlaps.
QList<int> QBFindAll(const QString &text, const QString &pattern, TQBSearchOptions options);

// What the search reads of one article.
struct TQBSearchArticleText
{
    QString Caption;
    // The body's RTF; empty for an empty body.
    QString Body;
};

// Walks the articles depth first in pre-order from a start article and reports matches one at a
// time. The walk itself only reads the tree; captions and bodies are read through the reader,
// which a caller on a worker thread can run on the main thread. Stop may be called from any
// thread; the walk looks at it before each article.
class TQBSearch
{
public:
    using TReader = std::function<TQBSearchArticleText(const IQBArticlePtr &article)>;
    using TSink = std::function<void(const TQBSearchMatch &match)>;

    TQBSearch(const QString &pattern, TQBSearchOptions options, bool searchTitles);

    // Reads articles directly (ReadArticle) when none is set.
    void SetReader(TReader reader) { FReader = std::move(reader); }
    void SetSink(TSink sink) { FSink = std::move(sink); }

    // Searches from start, or from the document's root when start is none. Errors of the reader
    // (a body that cannot be decompressed) pass to the caller; the matches already delivered stay.
    // Nothing happens without a document or with an empty pattern.
    void Run(const IQBDocumentPtr &document, const IQBArticlePtr &start = {});
    void Stop() { FStopped.store(true, std::memory_order_relaxed); }
    bool Stopped() const { return FStopped.load(std::memory_order_relaxed); }

    // The article being searched (the last one searched once the walk has ended).
    IQBArticlePtr Current() const { return FCurrent; }
    int ArticlesVisited() const { return FVisited; }
    int MatchCount() const { return FMatches; }

    // Title and body matches of one article, title first, each handed to the sink.
    void VisitArticle(const IQBArticlePtr &article);

    static TQBSearchArticleText ReadArticle(const IQBArticlePtr &article);

private:
    // What an article gives the search: its caption and its body as plain text, or the error
    // reading it raised.
    struct TPrepared
    {
        QString Caption;
        QString Plain;
        std::exception_ptr Failure;
    };
    TPrepared Prepare(const IQBArticlePtr &article) const;
    void Report(const IQBArticlePtr &article, const TPrepared &prepared);
    void Deliver(const TQBSearchMatch &match);

    QString FPattern;
    TQBSearchOptions FOptions;
    bool FSearchTitles = false;
    TReader FReader;
    TSink FSink;
    std::atomic<bool> FStopped{false};
    IQBArticlePtr FCurrent;
    int FVisited = 0;
    int FMatches = 0;
};
