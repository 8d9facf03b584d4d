// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "export/QBExportCore.h"
#include "support/DocumentCompare.h"
#include "support/ListCorpus.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

// Bodies the assembly and the streamed text must agree on, beyond the files under tests/data/rtf.
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
    "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf\\'f0\\'e8\\par}",
    "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'82\\'a2\\par}",
    "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://example.com\"}{\\fldrslt shown}} after\\par}",
    "{\\rtf1 \\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row after\\par}",
    "plain text\r\nsecond line\r\n",
    "plain text without an end",
    "\n\n",
    "{\\rtf1 raw \xc3\xa9 characters \\par}",
};

struct TCorpus
{
    IQBDocumentPtr Document = NewQBDocument();
    QList<IQBArticlePtr> Articles;
};

// Every body under its own article, in a tree three levels deep, with empty articles that still have
// children and captions that break lines or hold characters the text document treats specially.
TCorpus corpus()
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

QByteArray assembled(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options)
{
    QTextDocument document;
    if (!QBBuildExport(document, scope, source, options))
        return "<cancelled>";
    return QBExportBytes(document, efText);
}

QByteArray streamed(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    if (!QBStreamTextExport(scope, source, options, fileName))
        return "<cancelled>";
    return fileBytes(fileName);
}

// Where two texts part, with some text on either side, so that a failure says what differs.
QByteArray firstDifference(const QByteArray &actual, const QByteArray &expected)
{
    qsizetype i = 0;
    while (i < actual.size() && i < expected.size() && actual.at(i) == expected.at(i))
        ++i;
    const qsizetype from = qMax<qsizetype>(0, i - 60);
    return "at byte " + QByteArray::number(i) + "\n streamed: " + actual.mid(from, 120).toPercentEncoding(" \t") +
           "\n assembled: " + expected.mid(from, 120).toPercentEncoding(" \t");
}

TQBExportSource sourceOf(const TCorpus &corpus, const IQBArticlePtr &current = {})
{
    TQBExportSource source;
    source.Document = corpus.Document;
    source.Current = current;
    return source;
}

} // namespace

class TestQBTextExport : public QObject
{
    Q_OBJECT

private slots:
    void streamed_isTheAssembledText_data();
    void streamed_isTheAssembledText();
    void cancel_writesNothingAndKeepsTheOldFile();
    void failedWrite_keepsTheOldFileAndRaises_data();
    void failedWrite_keepsTheOldFileAndRaises();
    void selection_isAssembled();
};

void TestQBTextExport::streamed_isTheAssembledText_data()
{
    QTest::addColumn<bool>("titles");
    QTest::addColumn<bool>("numbering");
    QTest::addColumn<bool>("skipEmpty");
    for (int bits = 0; bits < 8; ++bits) {
        const bool titles = bits & 1, numbering = bits & 2, skipEmpty = bits & 4;
        QTest::addRow("%s, %s, %s", titles ? "titles" : "no titles", numbering ? "numbered" : "not numbered",
                      skipEmpty ? "skip empty" : "keep empty")
            << titles << numbering << skipEmpty;
    }
}

void TestQBTextExport::streamed_isTheAssembledText()
{
    QFETCH(bool, titles);
    QFETCH(bool, numbering);
    QFETCH(bool, skipEmpty);
    TQBExportOptions options;
    options.IncludeTitles = titles;
    options.Numbering = numbering;
    options.SkipEmpty = skipEmpty;
    const TCorpus corpus = ::corpus();

    struct TRun
    {
        QString Name;
        TExportScope Scope;
        TQBExportSource Source;
    };
    QList<TRun> runs;
    runs.append({QStringLiteral("document"), esDocument, sourceOf(corpus)});
    runs.append({QStringLiteral("no document"), esDocument, {}});
    runs.append({QStringLiteral("no current article"), esCurrentArticle, sourceOf(corpus)});
    for (qsizetype i = 0; i < corpus.Articles.size(); ++i) {
        const IQBArticlePtr &article = corpus.Articles.at(i);
        runs.append({QStringLiteral("article %1").arg(i), esCurrentArticle, sourceOf(corpus, article)});
        if (article->Items()->Count() > 0)
            runs.append({QStringLiteral("branch %1").arg(i), esBranch, sourceOf(corpus, article)});
    }
    TQBExportSource open = sourceOf(corpus);
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

    for (const TRun &run : std::as_const(runs)) {
        const QByteArray expected = assembled(run.Scope, run.Source, options);
        const QByteArray actual = streamed(run.Scope, run.Source, options);
        QVERIFY2(actual == expected,
                 qPrintable(run.Name + QLatin1Char(' ') + QString::fromLatin1(firstDifference(actual, expected))));
    }
}

void TestQBTextExport::cancel_writesNothingAndKeepsTheOldFile()
{
    const TCorpus corpus = ::corpus();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(writeFile(fileName, "old"));
    int seen = 0;
    QVERIFY(!QBStreamTextExport(esDocument, sourceOf(corpus), {}, fileName,
                                [&seen](const QString &) { return ++seen < 3; }));
    QCOMPARE(seen, 3);
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.txt")});
}

void TestQBTextExport::failedWrite_keepsTheOldFileAndRaises_data()
{
    QTest::addColumn<TNVKWriteFault>("fault");
    QTest::addColumn<qint64>("bytes");
    for (const TWriteFaultPoint &point : writeFaultPoints())
        QTest::newRow(point.Name) << point.Fault << point.Bytes;
    // Past the first of several writes, for a text longer than one write.
    QTest::newRow("after the first write") << TNVKWriteFault::AfterBytes << qint64(1 << 17);
}

void TestQBTextExport::failedWrite_keepsTheOldFileAndRaises()
{
    QFETCH(TNVKWriteFault, fault);
    QFETCH(qint64, bytes);
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Long"));
    document->Root()->SetContent(rtf(QString(QStringLiteral("a long line\\par ")).repeated(40000)));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(writeFile(fileName, "old"));
    TQBExportSource source;
    source.Document = document;
    {
        const TWriteFaultScope faults(fault, bytes, fileName);
        QString message;
        try {
            QBStreamTextExport(esDocument, source, {}, fileName);
        } catch (const EQBExportError &e) {
            message = e.Message();
        }
        QVERIFY2(message.contains(fileName), qPrintable(message));
    }
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QVERIFY(QBStreamTextExport(esDocument, source, {}, fileName));
    QVERIFY(fileBytes(fileName).startsWith("Long"));
}

void TestQBTextExport::selection_isAssembled()
{
    TQBExportSource source;
    source.Selection = "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}chosen\\par}";
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(QBStreamTextExport(esSelection, source, {}, fileName));
    QCOMPARE(fileBytes(fileName), assembled(esSelection, source, {}));
    QVERIFY(fileBytes(fileName).contains("chosen"));
}

QTEST_MAIN(TestQBTextExport)
#include "tst_QBTextExport.moc"
