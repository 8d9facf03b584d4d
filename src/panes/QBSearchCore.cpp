// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBSearchCore.h"

#include "rtf/QBRtfCodePages.h"
#include "rtf/QBRtfText.h"

#include <QLocale>
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

QByteArray QBBodyBytes(const QString &body)
{
    bool ascii = true;
    for (QChar c : body) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return body.toLatin1();
    if (!body.startsWith(QLatin1String("{\\rtf")))
        return body.toUtf8();
    // RTF that carries raw characters: those of the default code page go back to their bytes, the others
    // become Unicode escapes, so that no character is lost on the way to the parser.
    QByteArray bytes;
    bytes.reserve(body.size() + 16);
    for (QChar c : body) {
        unsigned char byte = 0;
        if (c.unicode() < 0x80)
            bytes += char(c.unicode());
        else if (QBRtfCodePage::EncodeChar(QBRtfCodePage::Ansi, c.unicode(), byte))
            bytes += char(byte);
        else
            bytes += "\\uc1\\u" + QByteArray::number(qint16(c.unicode())) + '?';
    }
    return bytes;
}

TQBSearch::TQBSearch(const QString &pattern, TQBSearchOptions options, bool searchTitles)
    : FPattern(pattern), FOptions(options), FSearchTitles(searchTitles)
{
}

TQBSearchArticleText TQBSearch::ReadArticle(const IQBArticlePtr &article)
{
    return {article->Caption(), article->Content()};
}

void TQBSearch::Deliver(const TQBSearchMatch &match)
{
    ++FMatches;
    if (FSink)
        FSink(match);
}

void TQBSearch::VisitArticle(const IQBArticlePtr &article)
{
    FCurrent = article;
    ++FVisited;
    const TQBSearchArticleText text = FReader ? FReader(article) : ReadArticle(article);
    const qint32 iid = article->IID();
    if (FSearchTitles && QBTitleMatches(text.Caption, FPattern, FOptions))
        Deliver({iid, text.Caption, -1});
    if (text.Body.isEmpty())
        return;
    const QString plain = RtfToPlainText(QBBodyBytes(text.Body));
    int p = QBFindText(plain, FPattern, 0, FOptions);
    while (p >= 0) {
        Deliver({iid, text.Caption, p});
        p = QBFindText(plain, FPattern, p + int(FPattern.size()), FOptions);
    }
}

void TQBSearch::Run(const IQBDocumentPtr &document, const IQBArticlePtr &start)
{
    if (!document || FPattern.isEmpty())
        return;
    const IQBArticlePtr first = start ? start : document->Root();
    if (!first)
        return;

    if (Stopped())
        return;
    QBWalkArticles(first, [this](const IQBArticlePtr &article) {
        VisitArticle(article);
        return !Stopped();
    });
}
