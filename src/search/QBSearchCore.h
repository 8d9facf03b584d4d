// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <exception>
#include <functional>
#include <vector>

// Options of a search; the values are those the search pane stores.
enum TQBSearchOption : quint8 {
    soWholeWord = 1,
    soMatchCase = 2,
    // Every word of the pattern, in any order and anywhere in the article, instead of the pattern as
    // one phrase; one result per article.
    soAllWords = 4,
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
    // How many characters matched there; 0 means the pattern's length.
    int Length = 0;

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

// What the search reads of one article. Taken on the thread that owns the document, it shares the
// caption and the stored (compressed) body with the article, so taking it is cheap, and the search
// can then run on any thread while the document goes on changing or is closed.
struct TQBSearchSource
{
    qint32 IID = 0;
    QString Caption;
    // The body as the article stores it; empty for an empty body.
    QByteArray Data;
    quint32 Length = 0;
};
using TQBSearchSources = std::vector<TQBSearchSource>;

// The articles from start down, depth first in pre-order; none without a start.
TQBSearchSources QBSearchSources(const IQBArticlePtr &start);

// The words of a pattern for soAllWords: split at white space, each once.
QStringList QBPatternWords(const QString &pattern);

// Searches articles in order and reports matches one at a time, title match first. With soAllWords
// an article matches when each word occurs in its body, or in its caption when titles are searched;
// it is reported once, at the first place in the body where one of the words occurs (as a title
// match when the words are in the caption only). Stop may be
// called from any thread; the search looks at it before each article, so the article being
// reported is finished and no other is begun.
class TQBSearch
{
public:
    using TSink = std::function<void(const TQBSearchMatch &match)>;

    TQBSearch(const QString &pattern, TQBSearchOptions options, bool searchTitles);

    void SetSink(TSink sink) { FSink = std::move(sink); }

    // Searches from start, or from the document's root when start is none. Nothing happens
    // without a document or with an empty pattern.
    void Run(const IQBDocumentPtr &document, const IQBArticlePtr &start = {});
    // Searches articles taken before. A body that cannot be decompressed raises its error to the
    // caller; the matches already delivered stay.
    void Run(const TQBSearchSources &sources);
    void Stop() { FStopped.store(true, std::memory_order_relaxed); }
    bool Stopped() const { return FStopped.load(std::memory_order_relaxed); }

    // The article being searched (the last one searched once the search has ended); 0 before.
    qint32 CurrentID() const { return FCurrentID; }
    int ArticlesVisited() const { return FVisited; }
    int MatchCount() const { return FMatches; }

private:
    struct TPrepared
    {
        QString Plain;
        std::exception_ptr Failure;
    };
    void Report(const TQBSearchSource &source, const QString &plain);
    void Deliver(const TQBSearchMatch &match);

    QString FPattern;
    QStringList FWords; // soAllWords
    TQBSearchOptions FOptions;
    bool FSearchTitles = false;
    TSink FSink;
    std::atomic<bool> FStopped{false};
    qint32 FCurrentID = 0;
    int FVisited = 0;
    int FMatches = 0;
};
