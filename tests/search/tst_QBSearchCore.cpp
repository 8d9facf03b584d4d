// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "search/QBSearchCore.h"
#include "support/DocumentCompare.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <atomic>
#include <memory>

namespace {

QList<TQBSearchMatch> runSearch(TQBSearch &search, const IQBDocumentPtr &document, const IQBArticlePtr &start = {})
{
    QList<TQBSearchMatch> matches;
    search.SetSink([&matches](const TQBSearchMatch &match) { matches.append(match); });
    search.Run(document, start);
    return matches;
}

QStringList captions(const QList<TQBSearchMatch> &matches)
{
    QStringList result;
    for (const TQBSearchMatch &match : matches)
        result.append(match.Text());
    return result;
}

} // namespace

class TestQBSearchCore : public QObject
{
    Q_OBJECT

private slots:
    void titleMatches_followsTheDelimiterRules_data();
    void titleMatches_followsTheDelimiterRules();
    void delimiters_areTheThirtyOneCharacters();

    void findText_followsTheEditorsFind_data();
    void findText_followsTheEditorsFind();
    void findAll_threeOccurrences_giveThreeIncreasingPositions();
    void findAll_overlappingOccurrences_doNotOverlap();
    void bodyPositions_selectExactlyTheFoundTextInTheEditorDocument();
    void bodyBytes_keepEveryCharacterOfTheBody();

    void run_visitsInPreOrderWithTitleBeforeBody();
    void run_fromAnArticle_searchesOnlyItsSubtree();
    void run_withoutStart_searchesFromTheRoot();
    void run_stopBetweenArticles_endsTheWalk();
    void run_stopBeforeRun_searchesNothing();
    void sources_areASnapshotTheDocumentCanChangeUnder();
    void run_emptyPatternOrNoDocument_findsNothing();
    void run_deepChain_needsNoDeepRecursion();
    void run_corruptBody_raisesAfterEarlierMatches();
    void run_manyArticles_sameMatchesInOrderAsOneAtATimeAndStopsWhereAsked();
    void run_onAWorkerThread_whileTheDocumentChangesAndStopsFromIt();
    void allWords_findEveryArticleHoldingEachWord_asABruteForceOracleDoes();
};

void TestQBSearchCore::titleMatches_followsTheDelimiterRules_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("matches");

    const int whole = soWholeWord;
    const int wholeCase = soWholeWord | soMatchCase;
    QTest::newRow("hyphen after the word") << "Word-list"
                                           << "word" << whole << true;
    QTest::newRow("letter after the word") << "Wordlist"
                                           << "word" << whole << false;
    QTest::newRow("letter before the word") << "Buzzword"
                                            << "word" << whole << false;
    QTest::newRow("only the first occurrence is tried") << "Swordfish and word"
                                                        << "word" << whole << false;
    QTest::newRow("standing alone") << "A word here"
                                    << "word" << whole << true;
    QTest::newRow("whole caption") << "word"
                                   << "word" << whole << true;
    QTest::newRow("between delimiters") << "(word)"
                                        << "word" << whole << true;
    QTest::newRow("backslash and equals") << "a\\word=b"
                                          << "word" << whole << true;
    QTest::newRow("digit is no delimiter") << "word2"
                                           << "word" << whole << false;
    QTest::newRow("underscore is no delimiter") << "my_word"
                                                << "word" << whole << false;
    QTest::newRow("tab is no delimiter") << "a\tword"
                                         << "word" << whole << false;
    QTest::newRow("inside a word without whole words") << "Swordfish"
                                                       << "word" << 0 << true;
    QTest::newRow("case ignored") << "BIG Word"
                                  << "word" << 0 << true;
    QTest::newRow("locale upper-casing") << QString::fromUtf8("Crème brûlée") << QString::fromUtf8("BRÛLÉE") << 0
                                         << true;
    QTest::newRow("match case refuses other case") << "BIG Word"
                                                   << "word" << int(soMatchCase) << false;
    QTest::newRow("match case finds same case") << "big word"
                                                << "word" << int(soMatchCase) << true;
    QTest::newRow("match case first occurrence only") << "Word-word"
                                                      << "word" << wholeCase << true;
    QTest::newRow("case-folded first occurrence decides") << "swordWord word"
                                                          << "word" << whole << false;
    QTest::newRow("no occurrence") << "Nothing"
                                   << "word" << 0 << false;
    QTest::newRow("empty pattern") << "Anything"
                                   << "" << 0 << false;
    QTest::newRow("empty caption") << ""
                                   << "word" << 0 << false;
}

void TestQBSearchCore::titleMatches_followsTheDelimiterRules()
{
    QFETCH(QString, caption);
    QFETCH(QString, pattern);
    QFETCH(int, options);
    QFETCH(bool, matches);
    QCOMPARE(QBTitleMatches(caption, pattern, TQBSearchOptions(options)), matches);
}

void TestQBSearchCore::delimiters_areTheThirtyOneCharacters()
{
    QCOMPARE(QBTitleDelimiters.size(), 31);
    for (const char c : QByteArray(".()\"',$#@!%^&*{}[]?/|;:<>\\=+- ")) {
        const QString caption = QStringLiteral("x") + QLatin1Char(c) + QStringLiteral("word");
        QVERIFY2(QBTitleMatches(caption, QStringLiteral("word"), soWholeWord), qPrintable(caption));
    }
}

void TestQBSearchCore::findText_followsTheEditorsFind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("position");

    QTest::newRow("plain") << "one two three"
                           << "two" << 0 << 0 << 4;
    QTest::newRow("case ignored") << "One TWO three"
                                  << "two" << 0 << 0 << 4;
    QTest::newRow("case kept") << "One TWO two"
                               << "two" << 0 << int(soMatchCase) << 8;
    QTest::newRow("from after the first") << "ab ab"
                                          << "ab" << 1 << 0 << 3;
    QTest::newRow("inside a word") << "concatenate"
                                   << "cat" << 0 << 0 << 3;
    QTest::newRow("whole words skip to the next") << "concatenate cat"
                                                  << "cat" << 0 << int(soWholeWord) << 12;
    QTest::newRow("whole words: apostrophe ends a word") << "the cat's toy"
                                                         << "cat" << 0 << int(soWholeWord) << 4;
    QTest::newRow("whole words: digit continues a word") << "cat9 cat"
                                                         << "cat" << 0 << int(soWholeWord) << 5;
    QTest::newRow("whole words: paragraph ends a word") << "x\ncat\ny"
                                                        << "cat" << 0 << int(soWholeWord) << 2;
    QTest::newRow("whole words: accented letter continues")
        << QString::fromUtf8("écat cat") << "cat" << 0 << int(soWholeWord) << 5;
    QTest::newRow("whole words: pattern edge that is no word character") << "a-cat"
                                                                         << "-cat" << 0 << int(soWholeWord) << 1;
    QTest::newRow("whole words with case") << "Cat cat"
                                           << "cat" << 0 << int(soWholeWord | soMatchCase) << 4;
    QTest::newRow("none") << "nothing here"
                          << "cat" << 0 << 0 << -1;
    QTest::newRow("empty pattern") << "text"
                                   << "" << 0 << 0 << -1;
    QTest::newRow("from beyond the end") << "cat"
                                         << "cat" << 5 << 0 << -1;
}

void TestQBSearchCore::findText_followsTheEditorsFind()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, from);
    QFETCH(int, options);
    QFETCH(int, position);
    QCOMPARE(QBFindText(text, pattern, from, TQBSearchOptions(options)), position);
}

void TestQBSearchCore::findAll_threeOccurrences_giveThreeIncreasingPositions()
{
    const QList<int> positions = QBFindAll(QStringLiteral("Fox one, fox two, FOX three."), QStringLiteral("fox"), {});
    QCOMPARE(positions, (QList<int>{0, 9, 18}));
}

void TestQBSearchCore::findAll_overlappingOccurrences_doNotOverlap()
{
    QCOMPARE(QBFindAll(QStringLiteral("aaaaa"), QStringLiteral("aa"), {}), (QList<int>{0, 2}));
}

void TestQBSearchCore::bodyPositions_selectExactlyTheFoundTextInTheEditorDocument()
{
    // Paragraphs, a line break, a tab, a link field, a picture placeholder and characters outside
    // the code page all shift positions; each match must still select the pattern in the editor.
    const QByteArray body =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}\\f0\\fs20 "
        "First Needle\\par\\tab needle after a tab\\line needle after a break\\par "
        "{\\field{\\*\\fldinst { HYPERLINK \"@_7\" }}{\\fldrslt{\\cf1\\ul link to Needle}}}\\cf0\\ulnone  then "
        "\\u8364?\\u8364? needle{\\object\\objemb{\\*\\objdata 0102}{\\result x}} NEEDLE\\par}";
    QTextDocument editor;
    TQBRtfReader::Load(editor, body);
    const QString pattern = QStringLiteral("needle");
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetContent(QString::fromLatin1(body));
    TQBSearch search(pattern, {}, false);
    const QList<TQBSearchMatch> matches = runSearch(search, document);
    QCOMPARE(matches.size(), 6);
    int previous = -1;
    for (const TQBSearchMatch &match : matches) {
        QVERIFY(match.Position > previous);
        previous = match.Position;
        QTextCursor cursor(&editor);
        cursor.setPosition(match.Position);
        cursor.setPosition(match.Position + int(pattern.size()), QTextCursor::KeepAnchor);
        QCOMPARE(cursor.selectedText().toLower(), pattern);
    }
}

void TestQBSearchCore::bodyBytes_keepEveryCharacterOfTheBody()
{
    QCOMPARE(RtfToPlainText(QBBodyBytes(QString::fromUtf8("Grüße € \u4e2d"))), QString::fromUtf8("Grüße € \u4e2d"));
    QCOMPARE(RtfToPlainText(QBBodyBytes(QString::fromUtf8("{\\rtf1\\ansi Grüße € \u4e2d}"))),
             QString::fromUtf8("Grüße € \u4e2d"));
    QCOMPARE(QBBodyBytes(QStringLiteral("{\\rtf1 plain}")), QByteArray("{\\rtf1 plain}"));
}

void TestQBSearchCore::run_visitsInPreOrderWithTitleBeforeBody()
{
    const IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr root = document->Root();
    root->SetCaption(QStringLiteral("Root"));
    const IQBArticlePtr a = addArticle(document, root, QStringLiteral("Apple tree"), rtf(QStringLiteral("an apple")));
    addArticle(document, a, QStringLiteral("Leaf"), rtf(QStringLiteral("apple, apple")));
    addArticle(document, root, QStringLiteral("Apple pie"), rtf(QStringLiteral("no fruit")));
    addArticle(document, root, QStringLiteral("Empty"));

    TQBSearch search(QStringLiteral("apple"), {}, true);
    const QList<TQBSearchMatch> matches = runSearch(search, document);
    QCOMPARE(captions(matches),
             (QStringList{QStringLiteral("Apple tree *"), QStringLiteral("Apple tree"), QStringLiteral("Leaf"),
                          QStringLiteral("Leaf"), QStringLiteral("Apple pie *")}));
    QCOMPARE(matches.at(0).Position, -1);
    QCOMPARE(matches.at(1).Position, 3);
    QCOMPARE(matches.at(2).Position, 0);
    QCOMPARE(matches.at(3).Position, 7);
    QCOMPARE(matches.at(0).ArticleID, a->IID());
    QCOMPARE(search.ArticlesVisited(), 5);
    QCOMPARE(search.MatchCount(), 5);

    TQBSearch bodiesOnly(QStringLiteral("apple"), {}, false);
    QCOMPARE(runSearch(bodiesOnly, document).size(), 3);
}

void TestQBSearchCore::run_fromAnArticle_searchesOnlyItsSubtree()
{
    const IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr root = document->Root();
    root->SetContent(rtf(QStringLiteral("key in the root")));
    const IQBArticlePtr a = addArticle(document, root, QStringLiteral("A"), rtf(QStringLiteral("key")));
    const IQBArticlePtr a1 = addArticle(document, a, QStringLiteral("A1"), rtf(QStringLiteral("key")));
    addArticle(document, a1, QStringLiteral("A1a"), rtf(QStringLiteral("key")));
    addArticle(document, root, QStringLiteral("B"), rtf(QStringLiteral("key")));

    TQBSearch search(QStringLiteral("key"), {}, false);
    const QList<TQBSearchMatch> matches = runSearch(search, document, a);
    QCOMPARE(captions(matches), (QStringList{QStringLiteral("A"), QStringLiteral("A1"), QStringLiteral("A1a")}));
    QCOMPARE(search.ArticlesVisited(), 3);
}

void TestQBSearchCore::run_withoutStart_searchesFromTheRoot()
{
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Root"));
    document->Root()->SetContent(rtf(QStringLiteral("key")));
    addArticle(document, document->Root(), QStringLiteral("A"), rtf(QStringLiteral("key")));
    TQBSearch search(QStringLiteral("key"), {}, false);
    QCOMPARE(captions(runSearch(search, document, nullptr)),
             (QStringList{QStringLiteral("Root"), QStringLiteral("A")}));
}

void TestQBSearchCore::run_stopBetweenArticles_endsTheWalk()
{
    const IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr a = addArticle(document, document->Root(), QStringLiteral("A"), rtf(QStringLiteral("x x x")));
    addArticle(document, a, QStringLiteral("A1"), rtf(QStringLiteral("x")));
    addArticle(document, document->Root(), QStringLiteral("B"), rtf(QStringLiteral("x")));

    TQBSearch search(QStringLiteral("x"), {}, false);
    QList<TQBSearchMatch> matches;
    search.SetSink([&](const TQBSearchMatch &match) {
        matches.append(match);
        search.Stop();
    });
    search.Run(document);
    // The article being searched finishes; no further article is visited.
    QCOMPARE(captions(matches), (QStringList{QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A")}));
    QCOMPARE(search.ArticlesVisited(), 2);
    QVERIFY(search.Stopped());
    QCOMPARE(search.CurrentID(), a->IID());
}

void TestQBSearchCore::run_stopBeforeRun_searchesNothing()
{
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetContent(rtf(QStringLiteral("x")));
    TQBSearch search(QStringLiteral("x"), {}, false);
    search.Stop();
    QVERIFY(runSearch(search, document).isEmpty());
    QCOMPARE(search.ArticlesVisited(), 0);
}

void TestQBSearchCore::sources_areASnapshotTheDocumentCanChangeUnder()
{
    const IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr a =
        addArticle(document, document->Root(), QStringLiteral("seen caption"), rtf(QStringLiteral("what was seen")));
    const IQBArticlePtr gone = addArticle(document, a, QStringLiteral("Gone"), rtf(QStringLiteral("seen too")));
    const TQBSearchSources sources = QBSearchSources(document->Root());
    QCOMPARE(sources.size(), size_t(3));
    QCOMPARE(sources.at(1).IID, a->IID());

    // Changes after the snapshot do not reach the search of it.
    a->SetCaption(QStringLiteral("Renamed"));
    a->SetContent(rtf(QStringLiteral("nothing")));
    a->Items()->Remove(gone);
    TQBSearch search(QStringLiteral("seen"), {}, true);
    QList<TQBSearchMatch> matches;
    search.SetSink([&matches](const TQBSearchMatch &match) { matches.append(match); });
    search.Run(sources);
    QCOMPARE(matches, (QList<TQBSearchMatch>{{a->IID(), QStringLiteral("seen caption"), -1},
                                             {a->IID(), QStringLiteral("seen caption"), 9},
                                             {gone->IID(), QStringLiteral("Gone"), 0}}));
    QVERIFY(QBSearchSources(nullptr).empty());
}

void TestQBSearchCore::run_emptyPatternOrNoDocument_findsNothing()
{
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetContent(rtf(QStringLiteral("text")));
    TQBSearch empty(QString(), {}, true);
    QVERIFY(runSearch(empty, document).isEmpty());
    QCOMPARE(empty.ArticlesVisited(), 0);
    TQBSearch noDocument(QStringLiteral("text"), {}, true);
    QVERIFY(runSearch(noDocument, nullptr).isEmpty());
}

void TestQBSearchCore::run_deepChain_needsNoDeepRecursion()
{
    const IQBDocumentPtr document = NewQBDocument();
    IQBArticlePtr article = document->Root();
    // Through the item lists: the document's own operations stop at the deepest level a file holds.
    for (int i = 0; i < 20000; ++i) {
        const IQBArticlePtr child = document->CreateArticle();
        child->SetCaption(QStringLiteral("Level"));
        article->Items()->Add(child);
        article = child;
    }
    article->SetContent(rtf(QStringLiteral("bottom")));
    TQBSearch search(QStringLiteral("bottom"), {}, false);
    const QList<TQBSearchMatch> matches = runSearch(search, document);
    QCOMPARE(matches.size(), 1);
    QCOMPARE(matches.at(0).ArticleID, article->IID());
    QCOMPARE(search.ArticlesVisited(), 20001);
}

void TestQBSearchCore::run_corruptBody_raisesAfterEarlierMatches()
{
    const IQBDocumentPtr document = NewQBDocument();
    addArticle(document, document->Root(), QStringLiteral("Good"), rtf(QStringLiteral("key")));
    const IQBArticlePtr bad = addArticle(document, document->Root(), QStringLiteral("Bad"), rtf(QStringLiteral("key")));
    addArticle(document, document->Root(), QStringLiteral("After"), rtf(QStringLiteral("key")));
    std::static_pointer_cast<TQBArticle>(bad)->SetCompressedContent(QByteArray("not a deflated body"), 200);
    TQBSearch search(QStringLiteral("key"), {}, false);
    QList<TQBSearchMatch> matches;
    search.SetSink([&matches](const TQBSearchMatch &match) { matches.append(match); });
    QVERIFY_THROWS_EXCEPTION(EZDecompressionError, search.Run(document));
    QCOMPARE(captions(matches), QStringList{QStringLiteral("Good")});
}

void TestQBSearchCore::run_manyArticles_sameMatchesInOrderAsOneAtATimeAndStopsWhereAsked()
{
    // Enough articles for several batches read in parallel, with 7-bit, raw and escaped accents.
    const IQBDocumentPtr document = NewQBDocument();
    IQBArticlePtr parent = document->Root();
    for (int i = 0; i < 700; ++i) {
        const QString body = i % 3 == 0   ? rtf(QStringLiteral("caf\\'e9 %1 caf\\'e9").arg(i))
                             : i % 3 == 1 ? rtf(QStringLiteral("café %1").arg(i))
                                          : (i % 7 == 0 ? QString() : QStringLiteral("plain café text"));
        const IQBArticlePtr article = addArticle(document, parent, QStringLiteral("Café %1").arg(i), body);
        if (i % 50 == 0)
            parent = article;
    }
    // The rules applied to one article at a time, read the way the editor reads a body.
    QList<TQBSearchMatch> expected;
    QBWalkArticles(document->Root(), [&expected](const IQBArticlePtr &article) {
        const QString pattern = QStringLiteral("CAFÉ");
        if (QBTitleMatches(article->Caption(), pattern, {}))
            expected.append({article->IID(), article->Caption(), -1});
        const QString body = article->Content();
        if (!body.isEmpty()) {
            for (const int p : QBFindAll(RtfToPlainText(QBBodyBytes(body)), pattern, {}))
                expected.append({article->IID(), article->Caption(), p});
        }
        return true;
    });
    QVERIFY(expected.size() > 1400);

    TQBSearch parallel(QStringLiteral("CAFÉ"), {}, true);
    QCOMPARE(runSearch(parallel, document), expected);
    QCOMPARE(parallel.ArticlesVisited(), 701);

    // Stopped from the sink inside the second batch: the article being reported is the last.
    TQBSearch stopped(QStringLiteral("CAFÉ"), {}, true);
    QList<TQBSearchMatch> matches;
    stopped.SetSink([&](const TQBSearchMatch &match) {
        matches.append(match);
        if (match.Caption == QStringLiteral("Café 300"))
            stopped.Stop();
    });
    stopped.Run(document);
    QCOMPARE(matches.last().Caption, QStringLiteral("Café 300"));
    QCOMPARE(stopped.CurrentID(), matches.last().ArticleID);
    QCOMPARE(matches, expected.mid(0, matches.size()));
}

void TestQBSearchCore::run_onAWorkerThread_whileTheDocumentChangesAndStopsFromIt()
{
    // As the search pane runs it: the snapshot is taken here, the search runs on a worker while
    // this thread renames, rewrites and deletes the articles, and matches are queued back.
    const IQBDocumentPtr document = NewQBDocument();
    for (int i = 0; i < 2000; ++i)
        addArticle(document, document->Root(), QStringLiteral("Article %1").arg(i), rtf(QStringLiteral("one key")));
    QObject mainSide;
    QList<TQBSearchMatch> matches;
    TQBSearch search(QStringLiteral("key"), {}, true);
    search.SetSink([&](const TQBSearchMatch &match) {
        QMetaObject::invokeMethod(
            &mainSide, [&, match] { matches.append(match); }, Qt::QueuedConnection);
    });
    const TQBSearchSources sources = QBSearchSources(document->Root());
    std::unique_ptr<QThread> thread(QThread::create([&] { search.Run(sources); }));
    thread->start();
    const IQBArticleListPtr items = document->Root()->Items();
    while (items->Count() > 0) {
        const IQBArticlePtr article = items->Get(0);
        article->SetCaption(QStringLiteral("key"));
        article->SetContent(rtf(QStringLiteral("changed")));
        items->Delete(0);
    }
    QTRY_VERIFY(thread->isFinished());
    QTRY_COMPARE(matches.size(), 2000);
    QCOMPARE(matches.last().Caption, QStringLiteral("Article 1999"));

    TQBSearch stopped(QStringLiteral("key"), {}, false);
    matches.clear();
    // The first match waits for this thread, which stops the search while taking it.
    stopped.SetSink([&](const TQBSearchMatch &match) {
        QMetaObject::invokeMethod(
            &mainSide,
            [&, match] {
                matches.append(match);
                stopped.Stop();
            },
            Qt::BlockingQueuedConnection);
    });
    thread.reset(QThread::create([&] { stopped.Run(sources); }));
    thread->start();
    QTRY_VERIFY(thread->isFinished());
    QCOMPARE(matches.size(), 1);
    // The root without a body, then the first article.
    QCOMPARE(stopped.ArticlesVisited(), 2);
}

void TestQBSearchCore::allWords_findEveryArticleHoldingEachWord_asABruteForceOracleDoes()
{
    static const QStringList vocabulary = {QStringLiteral("apple"),  QStringLiteral("Pear"),     QStringLiteral("plum"),
                                           QStringLiteral("cherry"), QStringLiteral("APPLE"),    QStringLiteral("fig"),
                                           QStringLiteral("pears"),  QStringLiteral("Plum-tree")};
    QRandomGenerator random(20261207);
    const auto someWords = [&](int most) {
        QStringList words;
        const int count = int(random.bounded(most + 1));
        for (int i = 0; i < count; ++i)
            words << vocabulary.at(int(random.bounded(int(vocabulary.size()))));
        return words.join(QLatin1Char(' '));
    };
    const IQBDocumentPtr document = NewQBDocument();
    struct TArticle
    {
        qint32 IID;
        QString Caption;
        QString Body;
    };
    QList<TArticle> articles{{document->Root()->IID(), document->Root()->Caption(), QString()}};
    QList<IQBArticlePtr> parents{document->Root()};
    for (int i = 0; i < 300; ++i) {
        const QString caption = someWords(2);
        const QString body = someWords(6);
        const IQBArticlePtr parent = parents.at(int(random.bounded(int(parents.size()))));
        const IQBArticlePtr article = addArticle(document, parent, caption, body.isEmpty() ? QString() : rtf(body));
        parents << article;
    }
    // The oracle's own walk: pre-order, as the search goes.
    articles.clear();
    QBWalkArticles(document->Root(), [&](const IQBArticlePtr &article) {
        articles.append({article->IID(), article->Caption(), RtfToPlainText(article->Content().toUtf8())});
        return true;
    });

    for (int round = 0; round < 60; ++round) {
        const QString pattern = QStringLiteral("  ") + someWords(3) + QStringLiteral(" ");
        const bool matchCase = round % 2 == 1;
        const bool titles = round % 4 >= 2;
        const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QStringList words = pattern.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        words.removeDuplicates();
        QList<TQBSearchMatch> expected;
        if (!words.isEmpty()) {
            for (const TArticle &article : std::as_const(articles)) {
                int first = -1;
                int length = 0;
                bool all = true;
                for (const QString &word : std::as_const(words)) {
                    const int at = int(article.Body.indexOf(word, 0, sensitivity));
                    if (at >= 0 && (first < 0 || at < first)) {
                        first = at;
                        length = int(word.size());
                    }
                    all = all && (at >= 0 || (titles && article.Caption.contains(word, sensitivity)));
                }
                if (all)
                    expected.append({article.IID, article.Caption, first, first >= 0 ? length : 0});
            }
        }
        TQBSearch search(pattern, soAllWords | (matchCase ? soMatchCase : TQBSearchOption(0)), titles);
        const QList<TQBSearchMatch> found = runSearch(search, document);
        QVERIFY2(found == expected, qPrintable(QStringLiteral("pattern '%1', case %2, titles %3: %4 found, %5 expected")
                                                   .arg(pattern)
                                                   .arg(matchCase)
                                                   .arg(titles)
                                                   .arg(found.size())
                                                   .arg(expected.size())));
    }
}

QTEST_MAIN(TestQBSearchCore)
#include "tst_QBSearchCore.moc"
