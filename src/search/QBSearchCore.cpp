// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBSearchCore.h"

#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfText.h"

#include "document/QBDom.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <thread>
#include <vector>

const QString QBTitleDelimiters = QStringLiteral(".()\"',$#@!%^&*{}[]?/||;:<>\\=+- ");

namespace {

bool IsDelimiter(QChar c)
{
    return QBTitleDelimiters.contains(c);
}

bool IsWordCodePoint(char32_t ucs)
{
    return QChar::isLetterOrNumber(ucs) || QChar::isMark(ucs);
}

// The code point that ends right before index, or that starts at index; surrogate pairs count as one.
char32_t CodePointBefore(const QString &text, qsizetype index)
{
    const QChar low = text.at(index - 1);
    if (low.isLowSurrogate() && index >= 2 && text.at(index - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(index - 2), low);
    return low.unicode();
}

char32_t CodePointAt(const QString &text, qsizetype index)
{
    const QChar high = text.at(index);
    if (high.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(high, text.at(index + 1));
    return high.unicode();
}

// An occurrence is a whole word when it does not continue a word that stands before it and does not
// run into one after it. Edges of the pattern that are no word characters need no boundary.
bool IsWholeWord(const QString &text, qsizetype start, qsizetype length, const QString &pattern)
{
    if (start > 0 && IsWordCodePoint(CodePointAt(pattern, 0)) && IsWordCodePoint(CodePointBefore(text, start)))
        return false;
    const qsizetype end = start + length;
    if (end < text.size() && IsWordCodePoint(CodePointBefore(pattern, pattern.size())) &&
        IsWordCodePoint(CodePointAt(text, end)))
        return false;
    return true;
}

} // namespace

bool QBTitleMatches(const QString &caption, const QString &pattern, TQBSearchOptions options)
{
    if (pattern.isEmpty())
        return false;
    QString text = caption;
    QString sought = pattern;
    if (!options.testFlag(soMatchCase)) {
        const QLocale locale;
        text = locale.toUpper(text);
        sought = locale.toUpper(sought);
    }
    const qsizetype p = text.indexOf(sought);
    if (p < 0)
        return false;
    if (options.testFlag(soWholeWord)) {
        if (p > 0 && !IsDelimiter(text.at(p - 1)))
            return false;
        const qsizetype end = p + sought.size();
        if (end < text.size() && !IsDelimiter(text.at(end)))
            return false;
    }
    return true;
}

int QBFindText(const QString &text, const QString &pattern, int from, TQBSearchOptions options)
{
    if (pattern.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = options.testFlag(soMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype p = from;
    while (p + pattern.size() <= text.size()) {
        p = text.indexOf(pattern, p, cs);
        if (p < 0)
            return -1;
        if (!options.testFlag(soWholeWord) || IsWholeWord(text, p, pattern.size(), pattern))
            return int(p);
        ++p;
    }
    return -1;
}

QList<int> QBFindAll(const QString &text, const QString &pattern, TQBSearchOptions options)
{
    QList<int> positions;
    int p = QBFindText(text, pattern, 0, options);
    while (p >= 0) {
        positions.append(p);
        p = QBFindText(text, pattern, p + int(pattern.size()), options);
    }
    return positions;
}

QStringList QBPatternWords(const QString &pattern)
{
    QStringList words = pattern.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    words.removeDuplicates();
    return words;
}

TQBSearch::TQBSearch(const QString &pattern, TQBSearchOptions options, bool searchTitles)
    : FPattern(pattern), FOptions(options), FSearchTitles(searchTitles)
{
    if (FOptions & soAllWords) {
        FWords = QBPatternWords(pattern);
        // Without a word there is nothing to find, as with an empty pattern.
        if (FWords.isEmpty())
            FPattern.clear();
    }
}

TQBSearchSources QBSearchSources(const IQBArticlePtr &start)
{
    TQBSearchSources sources;
    QBWalkArticles(start, [&sources](const IQBArticlePtr &article) {
        TQBSearchSource source;
        source.IID = article->IID();
        source.Caption = article->Caption();
        if (const auto *own = dynamic_cast<const TQBArticle *>(article.get())) {
            source.Data = own->CompressedContent();
            source.Length = own->ContentLength();
        } else if (const QString body = article->Content(); !body.isEmpty()) {
            const QByteArray utf8 = body.toUtf8();
            source.Data = QBCompressUtf8(utf8.constData(), utf8.size(), source.Length);
        }
        sources.push_back(std::move(source));
        return true;
    });
    return sources;
}

void TQBSearch::Deliver(const TQBSearchMatch &match)
{
    ++FMatches;
    if (FSink)
        FSink(match);
}

void TQBSearch::Report(const TQBSearchSource &source, const QString &plain)
{
    FCurrentID = source.IID;
    ++FVisited;
    if (FOptions & soAllWords) {
        const TQBSearchOptions wordOptions = FOptions & ~TQBSearchOptions(soAllWords);
        int first = -1;
        int length = 0;
        for (const QString &word : std::as_const(FWords)) {
            const int at = QBFindText(plain, word, 0, wordOptions);
            if (at >= 0) {
                if (first < 0 || at < first) {
                    first = at;
                    length = int(word.size());
                }
                continue;
            }
            if (!FSearchTitles || !QBTitleMatches(source.Caption, word, wordOptions))
                return;
        }
        // Words found in the caption only make it a title match.
        Deliver({source.IID, source.Caption, first, first >= 0 ? length : 0});
        return;
    }
    if (FSearchTitles && QBTitleMatches(source.Caption, FPattern, FOptions))
        Deliver({source.IID, source.Caption, -1});
    int p = QBFindText(plain, FPattern, 0, FOptions);
    while (p >= 0) {
        Deliver({source.IID, source.Caption, p});
        p = QBFindText(plain, FPattern, p + int(FPattern.size()), FOptions);
    }
}

void TQBSearch::Run(const IQBDocumentPtr &document, const IQBArticlePtr &start)
{
    if (!document || FPattern.isEmpty() || Stopped())
        return;
    Run(QBSearchSources(start ? start : document->Root()));
}

void TQBSearch::Run(const TQBSearchSources &sources)
{
    if (FPattern.isEmpty())
        return;
    // Reading a body (inflating it and turning its rich text into text) is nearly all the work;
    // batches of articles are read on every core, then reported in order by this thread. The
    // first batch is small, so that the first matches come at once.
    const unsigned helpers = std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<TPrepared> prepared;
    size_t batch = 32;
    for (size_t from = 0; from < sources.size(); from += batch, batch = 256) {
        if (Stopped())
            return;
        const size_t to = std::min(sources.size(), from + batch);
        prepared.assign(to - from, TPrepared());
        std::atomic<size_t> next{from};
        const auto work = [&]() {
            for (size_t i = next++; i < to && !Stopped(); i = next++) {
                const TQBSearchSource &source = sources[i];
                if (source.Data.isEmpty())
                    continue;
                try {
                    prepared[i - from].Plain =
                        RtfToPlainText(QBBodyBytesFromUtf8(QBDecompressUtf8(source.Data, source.Length)));
                } catch (...) {
                    prepared[i - from].Failure = std::current_exception();
                }
            }
        };
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < helpers && to - from > 1; ++i)
            threads.emplace_back(work);
        work();
        for (std::thread &thread : threads)
            thread.join();
        for (size_t i = from; i < to; ++i) {
            if (Stopped())
                return;
            if (prepared[i - from].Failure)
                std::rethrow_exception(prepared[i - from].Failure);
            Report(sources[i], prepared[i - from].Plain);
        }
    }
}
