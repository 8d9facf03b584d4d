// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/ExportCorpus.h"

#include "document/QBXml.h"
#include "support/DocumentCompare.h"
#include "support/ListCorpus.h"

#include <QDir>
#include <QTest>

namespace QBExportCorpus {

namespace {

// Bodies beyond the files under tests/data: edge cases of paragraph marks and lists, and hostile RTF.
const char *const OddBodies[] = {
    "{\\rtf1 }",
    "{\\rtf1 \\par}",
    "{\\rtf1 \\par\\par}",
    "{\\rtf1 one\\par\\par two\\par}",
    "{\\rtf1 no mark at the end}",
    "{\\rtf1 a\\line b\\line}",
    "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}first\\par{\\pntext 2.\\tab}last item}",
    "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}only\\par}",
    "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}\\par\\pard\\par}",
    "{\\rtf1 {\\pict\\pngblip 89504e}\\par}",
    "{\\rtf1 text{\\pict\\wmetafile8 01}}",
    "{\\rtf1 {\\object{\\result{\\pict\\wmetafile8 01}}}}",
    "{\\rtf1 a\\u8233?b\\u-548?c\\u-4?d\\u55357?\\u56832?e\\u55357?}",
    "{\\rtf1 a\\'e9\\'00\\u1055?\\~\\-\\_\\emdash\\bullet}",
    "{\\rtf1 {{{\\b abc",
    "{\\rtf1 abc}}}} def",
    "{\\rtf1 a\\bin999999999 xyz}",
    "{\\rtf1 a{\\*\\shppict\\bin4 {}\\}}b\\bin-5 c\\par}",
    "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf\\'f0\\'e8\\par}",
    "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'82\\'a2\\par}",
    "{\\rtf1{\\fonttbl{\\f2147483647\\fcharset0 Huge;}{\\f99999999999 Huger;}}\\f2147483647 a\\f99999999999 b"
    "\\f-7 c\\fs99999999 d\\cf2147483647 e\\highlight-1 f\\par}",
    "{\\rtf1 \\f3\\fs30 no font table\\cf4\\cb2\\highlight5 nor colours\\b\\i\\ul styled\\par}",
    "{\\rtf1{\\fonttbl{\\f0 Courier New;}{\\f1\\fcharset2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;"
    "\\red0\\green0\\blue255;}\\f1 x\\f0\\cf1 red\\cf2\\highlight1 blue on red\\plain plain\\par}",
    "{\\rtf1 \\qc centred\\par\\qr\\li720\\ri360\\fi-360 indented\\par\\qj justified}",
    "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://example.com\"}{\\fldrslt shown}} after\\par}",
    "{\\rtf1 \\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row after\\par}",
    "{\\rtf1 {\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}}after\\par}",
    "plain text\r\nsecond line\r\n",
    "plain text without an end",
    "\n\n",
    "{\\rtf1 raw \xc3\xa9 characters \\par}",
};

} // namespace

TCorpus Corpus()
{
    QList<QString> bodies;
    const QDir rtfDir(QStringLiteral(QB_TEST_DATA_DIR "/rtf"));
    for (const QString &name : rtfDir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        bodies.append(QString::fromLatin1(fileBytes(rtfDir.filePath(name))));
    const QDir listDir(QBListCorpus::Dir());
    for (const QString &name : listDir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        bodies.append(QString::fromLatin1(QBListCorpus::Read(name)));
    for (const char *body : OddBodies)
        bodies.append(QString::fromUtf8(body));
    const QDir xqbDir(QStringLiteral(QB_TEST_DATA_DIR "/xqb"));
    for (const QString &name : xqbDir.entryList({QStringLiteral("*.xqb")}, QDir::Files, QDir::Name))
        QBWalkArticles(QBReadDocument(xqbDir.filePath(name))->Root(), [&bodies](const IQBArticlePtr &article) {
            bodies.append(article->Content());
            return true;
        });
    bodies.append(QString::fromUtf8("{\\rtf1 Gr\u00fc\u00dfe \u4e2d \U0001F600\\par}"));

    const QString captions[] = {
        QStringLiteral("Plain"),
        QStringLiteral("Two\nlines"),
        QStringLiteral("CR\r\nLF"),
        QString::fromUtf8("Sep\u2029ar\u2028ated"),
        QString::fromUtf8("Frame\uFDD0mark\uFFFC"),
        QString(),
        QString::fromUtf8("\U0001F600 ") + QChar(0xD800),
    };
    TCorpus result;
    IQBArticlePtr root = result.Document->Root();
    root->SetCaption(QStringLiteral("Root"));
    root->SetContent(bodies.takeFirst());
    result.Articles.append(root);
    IQBArticlePtr top, middle;
    for (qsizetype i = 0; i < bodies.size(); ++i) {
        const QString caption = captions[i % std::size(captions)];
        const IQBArticlePtr parent = i % 5 == 0 || !top ? root : i % 5 < 3 || !middle ? top : middle;
        // Every fourth article has no body, so empty ones sit between, above and below full ones.
        const IQBArticlePtr empty = i % 4 == 0 ? addArticle(result.Document, parent, QStringLiteral("Empty")) : parent;
        if (empty != parent)
            result.Articles.append(empty);
        const IQBArticlePtr article = addArticle(result.Document, empty, caption, bodies.at(i));
        result.Articles.append(article);
        if (parent == root)
            top = article;
        else if (parent == top)
            middle = article;
    }
    addArticle(result.Document, root, QStringLiteral("Empty last"));
    return result;
}

TQBExportSource SourceOf(const TCorpus &corpus, const IQBArticlePtr &current)
{
    TQBExportSource source;
    source.Document = corpus.Document;
    source.Current = current;
    return source;
}

QList<TRun> Runs(const TCorpus &corpus)
{
    QList<TRun> runs;
    runs.append({QStringLiteral("document"), esDocument, SourceOf(corpus)});
    runs.append({QStringLiteral("no document"), esDocument, {}});
    runs.append({QStringLiteral("no current article"), esCurrentArticle, SourceOf(corpus)});
    for (qsizetype i = 0; i < corpus.Articles.size(); ++i) {
        const IQBArticlePtr &article = corpus.Articles.at(i);
        runs.append({QStringLiteral("article %1").arg(i), esCurrentArticle, SourceOf(corpus, article)});
        if (article->Items()->Count() > 0)
            runs.append({QStringLiteral("branch %1").arg(i), esBranch, SourceOf(corpus, article)});
    }
    TQBExportSource open = SourceOf(corpus);
    open.OpenArticles = corpus.Articles;
    runs.append({QStringLiteral("all open"), esOpenArticles, open});
    std::reverse(open.OpenArticles.begin(), open.OpenArticles.end());
    open.OpenArticles.append(nullptr);
    runs.append({QStringLiteral("all open, backwards"), esOpenArticles, open});
    for (qsizetype i = 0; i + 1 < corpus.Articles.size(); ++i) {
        open.OpenArticles = {corpus.Articles.at(i), corpus.Articles.at(i + 1)};
        runs.append({QStringLiteral("open pair %1").arg(i), esOpenArticles, open});
    }
    open.OpenArticles.clear();
    runs.append({QStringLiteral("none open"), esOpenArticles, open});
    return runs;
}

void AddOptionRows()
{
    QTest::addColumn<TQBExportOptions>("options");
    for (int bits = 0; bits < 8; ++bits) {
        TQBExportOptions options;
        options.IncludeTitles = bits & 1;
        options.Numbering = bits & 2;
        options.SkipEmpty = bits & 4;
        QTest::addRow("%s, %s, %s", options.IncludeTitles ? "titles" : "no titles",
                      options.Numbering ? "numbered" : "not numbered", options.SkipEmpty ? "skip empty" : "keep empty")
            << options;
    }
}

QByteArray FirstDifference(const QByteArray &actual, const QByteArray &expected)
{
    qsizetype i = 0;
    while (i < actual.size() && i < expected.size() && actual.at(i) == expected.at(i))
        ++i;
    const qsizetype from = qMax<qsizetype>(0, i - 60);
    return "at byte " + QByteArray::number(i) + "\n streamed: " + actual.mid(from, 120).toPercentEncoding(" \t") +
           "\n assembled: " + expected.mid(from, 120).toPercentEncoding(" \t");
}

} // namespace QBExportCorpus
