// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBClipbrd.h"
#include "support/DocumentCompare.h"
#include "support/DocumentRecorder.h"

#include <QTest>

namespace {

const QDateTime PasteTime(QDate(2026, 9, 10), QTime(11, 12, 13));

// A transport that is busy: it takes nothing, or (Unusable) is not there at all.
class TBusyClipboard final : public TQBArticleClipboard
{
public:
    bool Unusable = false;
    int Attempts = 0;

protected:
    bool FormatAvailable() const override { return !Unusable; }
    bool OffersArticle() const override { return false; }
    bool PlaceData(const QByteArray &) override
    {
        ++Attempts;
        return false;
    }
    bool TakeData(QByteArray &) const override { return false; }
};

// Root with "Ideas" (marker 5, a body) holding "First thought", "Second" (holding "Leaf"), and "Other".
struct TSample
{
    IQBDocumentPtr Document = NewQBDocument();
    IQBArticlePtr Ideas, First, Second, Leaf, Other;

    TSample()
    {
        Ideas = Document->AddChild(Document->Root());
        Ideas->SetCaption(QStringLiteral("Ideas"));
        Ideas->SetMark(5);
        Ideas->SetContent(QStringLiteral("{\\rtf1\\ansi ... }"));
        First = Document->AddChild(Ideas);
        First->SetCaption(QStringLiteral("First thought"));
        Second = Document->AddChild(Ideas);
        Second->SetCaption(QStringLiteral("Second"));
        Second->SetContent(QStringLiteral("body ]]> with\nbreaks 😀"));
        Leaf = Document->AddChild(Second);
        Other = Document->AddChild(Document->Root());
        Other->SetCaption(QStringLiteral("Other"));
    }
};

QStringList shape(const IQBArticlePtr &top)
{
    QStringList result;
    const int base = top->Level();
    for (IQBArticlePtr a = top; a; a = a->Next()) {
        if (a != top && a->Level() <= base)
            break;
        result
            << QStringLiteral("%1 %2 %3 %4").arg(a->Level() - base).arg(a->Caption()).arg(a->Mark()).arg(a->Content());
    }
    return result;
}

QString clipboardError(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EQBClipboardError &e) {
        return e.Message();
    }
    return QStringLiteral("<no clipboard error>");
}

} // namespace

class TestQBClipbrd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        NVKSetClock([] { return PasteTime; });
    }
    void cleanup()
    {
        NVKSetClock(nullptr);
        QBSetArticleClipboard(nullptr);
    }

    // --- encoding ----------------------------------------------------------------------------

    void encode_articleWithSubtree_isOneElementWithoutIIDsOrTimes()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.Ideas);
        QCOMPARE(clipboard.Data(),
                 QByteArray("<Article Caption=\"Ideas\" Mark=\"5\"><Content><![CDATA[{\\rtf1\\ansi ... }]]></Content>"
                            "<Items><Article Caption=\"First thought\"/><Article Caption=\"Second\"><Content><![CDATA["
                            "body ]]]]><![CDATA[> with\nbreaks \xF0\x9F\x98\x80]]></Content><Items>"
                            "<Article Caption=\"\"/></Items></Article></Items></Article>"));
        QVERIFY(clipboard.HasFormat());
    }

    void encode_emptyArticle_holdsOnlyCaptionAndMarker()
    {
        TSample sample;
        QCOMPARE(QBEncodeArticle(sample.First), QByteArray("<Article Caption=\"First thought\"/>"));
        sample.First->SetMark(200);
        QCOMPARE(QBEncodeArticle(sample.First), QByteArray("<Article Caption=\"First thought\" Mark=\"200\"/>"));
    }

    void encode_articleInNoDocument_isRefused()
    {
        TSample sample;
        const IQBArticlePtr detached = sample.Other;
        sample.Document->DeleteArticle(detached);
        TQBMemoryClipboard clipboard;
        const QString invalid = QStringLiteral("Invalid article for clipboard operation.");
        QCOMPARE(clipboardError([&] { clipboard.Copy(detached); }), invalid);
        QCOMPARE(clipboardError([&] { clipboard.Copy(nullptr); }), invalid);
        QCOMPARE(clipboardError([&] { clipboard.Cut(detached); }), invalid);
        QCOMPARE(clipboardError([&] { clipboard.Paste(detached); }), invalid);
        QCOMPARE(clipboardError([&] { clipboard.Paste(nullptr); }), invalid);
        QVERIFY(!clipboard.HasFormat());
    }

    // --- pasting -----------------------------------------------------------------------------

    void paste_copy_hasFreshIIDsInPreOrderAndTheSameContent()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.Ideas);
        const QStringList copied = shape(sample.Ideas);
        const qint32 lastIID = sample.Document->LastIID();
        controlOf(sample.Document)->SetModified(false);
        TDocumentRecorder recorder(sample.Document);

        const IQBArticlePtr pasted = clipboard.Paste(sample.Other);
        QVERIFY(pasted);
        QCOMPARE(recorder.Kinds(), QList<int>{QB_DATA_ARTICLE_ADDED});
        QCOMPARE(recorder.Notices.at(0).Article, pasted);
        QCOMPARE(recorder.Notices.at(0).Parent, sample.Other);
        QVERIFY(sample.Document->Modified());
        QCOMPARE(pasted->Parent(), sample.Other);
        QCOMPARE(shape(pasted), copied);
        QCOMPARE(shape(sample.Ideas), copied);

        QList<qint32> iids;
        for (IQBArticlePtr a = pasted; a; a = a->Next()) {
            iids << a->IID();
            QCOMPARE(DateTimeToQDateTime(a->Created()), PasteTime);
            QCOMPARE(a->Document(), sample.Document);
        }
        QCOMPARE(iids, (QList<qint32>{lastIID + 1, lastIID + 2, lastIID + 3, lastIID + 4}));
        QCOMPARE(sample.Document->LastIID(), lastIID + 4);
        // Caption, marker or body set: modified. The leaf has none of them.
        QVERIFY(pasted->Modified());
        QVERIFY(!sample.Document->FindArticle(lastIID + 4)->Modified());
    }

    void paste_twice_givesTwoIndependentSubtrees()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.Second);
        const IQBArticlePtr one = clipboard.Paste(sample.Other);
        const IQBArticlePtr two = clipboard.Paste(sample.Other);
        QVERIFY(one && two && one != two);
        QVERIFY(one->IID() != two->IID());
        QCOMPARE(sample.Other->Items()->Count(), 2);
        one->SetCaption(QStringLiteral("changed"));
        QCOMPARE(two->Caption(), QStringLiteral("Second"));
        QCOMPARE(shape(two), shape(sample.Second));
    }

    void paste_intoAnotherDocument_pastesTheSameWay()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.Ideas);
        IQBDocumentPtr other = NewQBDocument();
        const IQBArticlePtr pasted = clipboard.Paste(other->Root());
        QCOMPARE(pasted->Document(), other);
        QCOMPARE(pasted->IID(), 1);
        QCOMPARE(other->LastIID(), 4);
        QCOMPARE(shape(pasted), shape(sample.Ideas));
    }

    void paste_fullUnicodeTabsAndLineBreaks_comeBack()
    {
        TSample sample;
        const QString caption = QStringLiteral("Tab\there\nCR\r\"q\" & <x> 日本語 😀 Привет");
        sample.First->SetCaption(caption);
        sample.First->SetContent(QStringLiteral("{\\rtf1 ]]> Grüße 😀}\n"));
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.First);
        QVERIFY(!clipboard.Data().contains('\t'));
        QVERIFY(!clipboard.Data().contains('\r'));
        const IQBArticlePtr pasted = clipboard.Paste(sample.Other);
        QCOMPARE(pasted->Caption(), caption);
        QCOMPARE(pasted->Content(), sample.First->Content());
    }

    void paste_invalidContents_failAndLeaveTheDocument_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("not XML") << QByteArray("Just some text");
        QTest::newRow("other element") << QByteArray("<Snippets Version=\"1.1\"/>");
        QTest::newRow("lowercase") << QByteArray("<article Caption=\"x\"/>");
        QTest::newRow("truncated") << QByteArray("<Article Caption=\"x\"><Items><Article");
        QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe<\x80", 6);
        QTest::newRow("entity bomb") << QByteArray(
            "<!DOCTYPE Article [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
            "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
            "<Article Caption=\"&h;\"/>");
        QTest::newRow("external entity") << QByteArray(
            "<!DOCTYPE Article [<!ENTITY p SYSTEM \"file:///etc/passwd\">]><Article "
            "Caption=\"x\"><Content>&p;</Content>"
            "</Article>");
        QByteArray deep;
        for (int i = 0; i < 100000; ++i)
            deep += "<Article><Items>";
        QTest::newRow("100,000 levels") << deep;
    }
    void paste_invalidContents_failAndLeaveTheDocument()
    {
        QFETCH(QByteArray, data);
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.SetData(data);
        TDocumentRecorder recorder(sample.Document);
        const qint32 count = sample.Document->ArticleCount();
        QCOMPARE(clipboardError([&] { clipboard.Paste(sample.Other); }),
                 QStringLiteral("Clipboard contents is not a valid Quillbox article."));
        QCOMPARE(sample.Document->ArticleCount(), count);
        QVERIFY(recorder.Notices.isEmpty());
        QCOMPARE(controlOf(sample.Document)->Operation(), opNone);
    }

    void paste_textWithTerminatingZero_readsUpToIt()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.SetData(QByteArray("<Article Caption=\"Zero\"/>\0garbage after", 39));
        QCOMPARE(clipboard.Paste(sample.Other)->Caption(), QStringLiteral("Zero"));
    }

    void paste_markerKeptInEightBitsAndOtherNodesSkipped()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        clipboard.SetData(
            "<Article Caption=\"m\" Mark=\"261\" IID=\"_99\" Created=\"2000-01-01 00:00:00\"><Content>text"
            "</Content><Items><?Article x?><Note/><Article Mark=\"x\"/></Items></Article>");
        const IQBArticlePtr pasted = clipboard.Paste(sample.Other);
        QCOMPARE(pasted->Mark(), quint8(5));
        QCOMPARE(pasted->Content(), QString());
        QVERIFY(pasted->IID() != 99);
        QCOMPARE(DateTimeToQDateTime(pasted->Created()), PasteTime);
        QCOMPARE(pasted->Items()->Count(), 1);
        QCOMPARE(pasted->Items()->First()->Mark(), quint8(0));
    }

    void paste_emptyClipboard_returnsNone()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        QVERIFY(!clipboard.HasFormat());
        QVERIFY(!clipboard.Paste(sample.Other));
    }

    // --- cutting -----------------------------------------------------------------------------

    void cut_removesTheArticleAfterCopyingIt()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        const QStringList copied = shape(sample.Second);
        TDocumentRecorder recorder(sample.Document);
        clipboard.Cut(sample.Second);
        QCOMPARE(recorder.Kinds(), QList<int>{QB_DATA_ARTICLE_DELETED});
        QCOMPARE(recorder.Notices.at(0).Parent, sample.Ideas);
        QVERIFY(!sample.Second->Document());
        QCOMPARE(sample.Ideas->Items()->Count(), 1);
        QCOMPARE(shape(clipboard.Paste(sample.Other)), copied);
    }

    void cut_root_copiesButDoesNotRemove()
    {
        TSample sample;
        TQBMemoryClipboard clipboard;
        const qint32 count = sample.Document->ArticleCount();
        clipboard.Cut(sample.Document->Root());
        QCOMPARE(sample.Document->ArticleCount(), count);
        QVERIFY(clipboard.Data().startsWith("<Article Caption=\"Root\"><Items>"));
    }

    void cut_copyNotPlaced_removesNothing()
    {
        TSample sample;
        TBusyClipboard busy;
        TDocumentRecorder recorder(sample.Document);
        QCOMPARE(clipboardError([&] { busy.Cut(sample.Second); }),
                 QStringLiteral("The article could not be placed on the clipboard, so it was not removed."));
        QCOMPARE(busy.Attempts, 1);
        QCOMPARE(sample.Second->Parent(), sample.Ideas);
        QVERIFY(recorder.Notices.isEmpty());

        busy.Unusable = true;
        QVERIFY(clipboardError([&] { busy.Cut(sample.Second); }).startsWith(QStringLiteral("The article could not")));
        QCOMPARE(busy.Attempts, 1);
        QCOMPARE(sample.Second->Parent(), sample.Ideas);
        // Copy on an unusable clipboard places nothing and says nothing; paste gives none.
        busy.Copy(sample.Second);
        QVERIFY(!busy.HasFormat());
        QVERIFY(!busy.Paste(sample.Other));
    }

    void cut_subtreeTooDeepToPaste_isRefusedAndKept()
    {
        TSample sample;
        IQBArticlePtr article = sample.Other;
        // Through the item lists, as a reader builds trees: the document's own operations stop
        // at the deepest level a file holds.
        for (int i = 0; i < 200; ++i) {
            const IQBArticlePtr child = sample.Document->CreateArticle();
            article->Items()->Add(child);
            article = child;
        }
        TQBMemoryClipboard clipboard;
        clipboard.Copy(sample.First);
        const QByteArray before = clipboard.Data();
        const QString message = clipboardError([&] { clipboard.Cut(sample.Other); });
        QVERIFY2(message.startsWith(QStringLiteral("The article's sub-articles are nested more than 127 levels")),
                 qPrintable(message));
        QCOMPARE(sample.Other->Parent(), sample.Document->Root());
        QCOMPARE(clipboard.Data(), before);
        // Just within the deepest level a file holds: copied, pasted and cut.
        IQBDocumentPtr document = NewQBDocument();
        article = document->Root();
        for (int i = 0; i < QBMaxArticleLevel; ++i)
            article = document->AddChild(article);
        article->SetContent(QStringLiteral("bottom"));
        const IQBArticlePtr top = document->Root()->Items()->First();
        clipboard.Cut(top);
        const IQBArticlePtr pasted = clipboard.Paste(document->Root());
        QCOMPARE(document->ArticleCount(), QBMaxArticleLevel + 1);
        IQBArticlePtr bottom = pasted;
        while (bottom->Next())
            bottom = bottom->Next();
        QCOMPARE(bottom->Level(), QBMaxArticleLevel);
        QCOMPARE(bottom->Content(), QStringLiteral("bottom"));
    }

    void cut_captionTooLongToPaste_isRefusedAndKept()
    {
        TSample sample;
        sample.Other->SetCaption(QString(10 * 1024 * 1024, QLatin1Char('x')));
        TQBMemoryClipboard clipboard;
        QCOMPARE(clipboardError([&] { clipboard.Cut(sample.Other); }),
                 QStringLiteral("The article cannot be copied: An attribute value is longer than 10,000,000 bytes."));
        QCOMPARE(sample.Other->Parent(), sample.Document->Root());
        QVERIFY(!clipboard.HasFormat());
    }

    // --- through the document ----------------------------------------------------------------

    void document_clipboardOperations_goThroughItsClipboard()
    {
        TSample sample;
        QVERIFY(!sample.Document->CanPaste());
        QVERIFY(!sample.Document->PasteArticle(sample.Other));
        auto clipboard = std::make_shared<TQBMemoryClipboard>();
        QBSetArticleClipboard(clipboard);
        QVERIFY(!sample.Document->CanPaste());
        sample.Document->CopyArticle(sample.First);
        QVERIFY(sample.Document->CanPaste());
        const IQBArticlePtr pasted = sample.Document->PasteArticle(sample.Other);
        QCOMPARE(pasted->Caption(), QStringLiteral("First thought"));
        sample.Document->CutArticle(sample.First);
        QVERIFY(!sample.First->Document());

        // A document's own clipboard wins over the process's.
        auto own = std::make_shared<TQBMemoryClipboard>();
        controlOf(sample.Document)->SetClipboard(own);
        QVERIFY(!sample.Document->CanPaste());
        sample.Document->CopyArticle(sample.Other);
        QVERIFY(own->Data().startsWith("<Article Caption=\"Other\">"));
        QVERIFY(clipboard->Data().startsWith("<Article Caption=\"First thought\"/>"));
    }
};

QTEST_GUILESS_MAIN(TestQBClipbrd)
#include "tst_QBClipbrd.moc"
