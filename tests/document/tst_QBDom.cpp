// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBClipbrd.h"
#include "document/QBXml.h"
#include "support/DocumentRecorder.h"
#include "support/TestHelpers.h"

#include <QTest>
#include <functional>
#include <limits>
#include <map>

namespace {

const QDateTime FixedTime(QDate(2026, 3, 14), QTime(15, 9, 26));

IQBDocumentControlPtr control(const IQBDocumentPtr &document)
{
    return std::dynamic_pointer_cast<IQBDocumentControl>(document);
}

// Root with children A (A1, A2), B, C (C1 (C1a)).
struct TSampleTree
{
    IQBDocumentPtr Document = NewQBDocument();
    IQBArticlePtr Root = Document->Root();
    IQBArticlePtr A, A1, A2, B, C, C1, C1a;

    TSampleTree()
    {
        A = add(Root, QStringLiteral("A"));
        A1 = add(A, QStringLiteral("A1"));
        A2 = add(A, QStringLiteral("A2"));
        B = add(Root, QStringLiteral("B"));
        C = add(Root, QStringLiteral("C"));
        C1 = add(C, QStringLiteral("C1"));
        C1a = add(C1, QStringLiteral("C1a"));
    }
    IQBArticlePtr add(const IQBArticlePtr &parent, const QString &caption)
    {
        IQBArticlePtr article = Document->AddChild(parent);
        article->SetCaption(caption);
        return article;
    }
};

QStringList captions(const IQBArticlePtr &parent)
{
    QStringList result;
    const TQBArticleListLocker locker(*parent->Items());
    for (const IQBArticlePtr &item : locker.Items())
        result.append(item->Caption());
    return result;
}

// A clipboard that records what the document hands it.
class TFakeClipboard final : public IQBArticleClipboard
{
public:
    bool HasFormat() override { return Offers; }
    void Copy(const IQBArticlePtr &article) override { Calls.append(QStringLiteral("Copy ") + article->Caption()); }
    void Cut(const IQBArticlePtr &article) override { Calls.append(QStringLiteral("Cut ") + article->Caption()); }
    IQBArticlePtr Paste(const IQBArticlePtr &target) override
    {
        Calls.append(QStringLiteral("Paste ") + target->Caption());
        return target->Document()->AddChild(target);
    }

    bool Offers = false;
    QStringList Calls;
};

// A document that reaches the deepest level a file holds: a chain C1 .. C126 below the root, with
// beside it, among others, a branch ten levels tall and a leaf one level too deep (as a file
// written elsewhere may hold: a leaf without a body may sit there).
struct TDeepTree
{
    IQBDocumentPtr Document = NewQBDocument();
    std::vector<IQBArticlePtr> Chain{Document->Root()};
    IQBArticlePtr Leaf, Right, Branch, TooDeep, Beside126, Tall;

    TDeepTree()
    {
        for (int level = 1; level <= QBMaxArticleLevel; ++level)
            Chain.push_back(Document->AddChild(Chain.back()));
        Leaf = Document->AddChild(Document->Root());
        Right = Document->AddChild(Document->Root());
        Branch = Document->AddChild(Document->Root());
        IQBArticlePtr bottom = Branch;
        for (int level = 0; level < 10; ++level)
            bottom = Document->AddChild(bottom);
        Beside126 = Document->AddChild(Chain[125]);
        // Beside C116's chain child: a branch of ten levels that moving right takes to 127.
        Document->AddChild(Chain[115]);
        Tall = Document->AddChild(Chain[115]);
        bottom = Tall;
        for (int level = 0; level < 10; ++level)
            bottom = Document->AddChild(bottom);
        TooDeep = Document->CreateArticle();
        Chain[126]->Items()->Add(TooDeep);
        Document->Root()->SetCaption(QStringLiteral("deep"));
        for (const IQBArticlePtr &article : Chain)
            article->SetContent(QStringLiteral("{\\rtf1 level}"));
        control(Document)->SetModified(false);
    }
    IQBArticlePtr C(int level) const { return Chain.at(size_t(level)); }
};

// A clipboard text holding a branch levels tall.
QByteArray tallBranch(int levels)
{
    QByteArray data;
    for (int i = 0; i < levels; ++i)
        data += "<Article Caption=\"" + QByteArray::number(i) + "\"><Items>";
    data += "<Article Caption=\"bottom\"/>";
    for (int i = 0; i < levels; ++i)
        data += "</Items></Article>";
    return data;
}

} // namespace

class TestQBDom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        NVKSetClock([] { return FixedTime; });
    }
    void cleanup()
    {
        NVKSetClock(nullptr);
        QBSetArticleClipboard(nullptr);
    }

    void newDocument_holdsOnlyTheRootWithDefaults()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr root = document->Root();
        QVERIFY(root);
        QCOMPARE(document->ArticleCount(), 1);
        QCOMPARE(root->IID(), 0);
        QCOMPARE(root->Caption(), QStringLiteral("Root"));
        QCOMPARE(root->Created(), DateTimeFromQDateTime(FixedTime));
        QCOMPARE(root->Document(), document);
        QVERIFY(!root->Parent());
        QCOMPARE(root->Index(), -1);
        QCOMPARE(root->Level(), 0);
        QCOMPARE(root->Path(), QString());
        QVERIFY(!root->Modified());
        QCOMPARE(document->LastIID(), 0);
        QVERIFY(document->IsNew());
        QVERIFY(!document->Modified());
        QCOMPARE(document->Version(), QStringLiteral("1.1"));
        QCOMPARE(document->Encoding(), QStringLiteral("UTF-8"));
        QCOMPARE(document->Revision(), 0);
        QVERIFY(!document->AutoRevision());
        QVERIFY(document->Author().isEmpty() && document->Copyright().isEmpty() && document->Remarks().isEmpty());
        QCOMPARE(control(document)->Operation(), opNone);
    }

    void createArticle_issuesIIDsInOrderAndNeverReusesThem()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr first = document->CreateArticle();
        QCOMPARE(first->IID(), 1);
        QCOMPARE(first->Created(), DateTimeFromQDateTime(FixedTime));
        QCOMPARE(first->Document(), document);
        QVERIFY(!first->Parent());
        QCOMPARE(first->Mark(), quint8(0));
        QVERIFY(!first->Modified());
        QCOMPARE(first->ViewState()->SelStart, 0);
        QCOMPARE(document->ArticleCount(), 1); // not in the tree yet
        const IQBArticlePtr second = document->AddChild(document->Root());
        QCOMPARE(second->IID(), 2);
        document->DeleteArticle(second);
        QCOMPARE(document->LastIID(), 2);
        QCOMPARE(document->AddChild(document->Root())->IID(), 3);
        QCOMPARE(document->LastIID(), 3);
    }

    void createArticle_duringLoad_issuesNoIIDAndNoTime()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBDocumentControlPtr ctl = control(document);
        ctl->SetLastIID(40); // ignored outside a load
        QCOMPARE(document->LastIID(), 0);
        ctl->BeginOperation(opLoad);
        const IQBArticlePtr article = document->CreateArticle();
        QCOMPARE(article->IID(), 0);
        QCOMPARE(article->Created(), TDateTime(0));
        ctl->SetLastIID(40);
        ctl->EndOperation();
        QCOMPARE(document->LastIID(), 40);
        QCOMPARE(document->CreateArticle()->IID(), 41);
    }

    void setRoot_onlyDuringLoad_replacesTheTree()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBDocumentControlPtr ctl = control(document);
        const IQBArticlePtr oldRoot = document->Root();
        const IQBArticlePtr other = document->CreateArticle();
        ctl->SetRoot(other);
        QCOMPARE(document->Root(), oldRoot);

        ctl->BeginOperation(opLoad);
        const IQBArticlePtr root = document->CreateArticle();
        root->SetCaption(QStringLiteral("Loaded"));
        document->AddChild(root)->SetCaption(QStringLiteral("Child"));
        ctl->SetRoot(root);
        ctl->EndOperation();
        QCOMPARE(document->Root(), root);
        QCOMPARE(document->ArticleCount(), 2);
        QVERIFY(!oldRoot->Document()); // the replaced root lives on, detached
        QVERIFY(!root->Modified());
        QVERIFY(!root->Items()->First()->Modified());
    }

    void createArticle_atTheLastIID_refusesInsteadOfOverflowing()
    {
        const IQBDocumentPtr document = NewQBDocument();
        control(document)->BeginOperation(opLoad);
        control(document)->SetLastIID(std::numeric_limits<qint32>::max());
        control(document)->EndOperation();
        QVERIFY(!messageOf([&] { document->CreateArticle(); }).isEmpty());
        QCOMPARE(document->LastIID(), std::numeric_limits<qint32>::max());
    }

    void headerWrites_raiseKindSixOnlyOnChange_exceptEncodingAlways()
    {
        const IQBDocumentPtr document = NewQBDocument();
        TDocumentRecorder recorder(document);
        document->SetAuthor(QString());
        document->SetCopyright(QString());
        document->SetRemarks(QString());
        document->SetRevision(0);
        document->SetAutoRevision(false);
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!document->Modified());

        document->SetEncoding(QStringLiteral("UTF-8"));
        QCOMPARE(recorder.Kinds(), QList<int>{QB_DATA_HEADER_CHANGED});
        QVERIFY(!recorder.Notices.first().HasArgs);
        QVERIFY(document->Modified());

        document->SetAuthor(QStringLiteral("Ann"));
        document->SetCopyright(QStringLiteral("(c) Ann"));
        document->SetRemarks(QStringLiteral("Ünïcode ✓"));
        document->SetRevision(3);
        document->SetAutoRevision(true);
        QCOMPARE(recorder.Notices.size(), 6);
        QCOMPARE(document->Remarks(), QStringLiteral("Ünïcode ✓"));
        QCOMPARE(document->Revision(), 3);
        QVERIFY(document->AutoRevision());
    }

    void articleChanges_raiseTheirKindAndSetBothModifiedFlags()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr article = document->AddChild(document->Root());
        control(document)->SetModified(false);
        TDocumentRecorder recorder(document);

        article->SetCaption(QString());
        article->SetMark(0);
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!article->Modified());
        QVERIFY(!document->Modified());

        article->SetCaption(QStringLiteral("Ideas"));
        article->SetMark(5);
        article->SetContent(QString());
        QCOMPARE(recorder.Kinds(),
                 (QList<int>{QB_DATA_CAPTION_CHANGED, QB_DATA_MARKER_CHANGED, QB_DATA_CONTENT_CHANGED}));
        for (const TNotice &notice : recorder.Notices) {
            QCOMPARE(notice.Article, article);
            QVERIFY(!notice.Parent);
        }
        QVERIFY(article->Modified());
        QVERIFY(document->Modified());
        QVERIFY(!document->Root()->Modified());

        control(document)->SetModified(false);
        recorder.Reset();
        article->SetContent(QString()); // the same body again still counts as a change
        QCOMPARE(recorder.Kinds(), QList<int>{QB_DATA_CONTENT_CHANGED});
        QVERIFY(article->Modified());
        QVERIFY(document->Modified());

        article->SetIID(77);
        article->SetCreated(1.5);
        QCOMPARE(recorder.Notices.size(), 1);
        QCOMPARE(article->IID(), 77);
        QCOMPARE(article->Created(), 1.5);
    }

    void articleFlag_isSetOnlyAfterTheSubscriberRan()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr article = document->AddChild(document->Root());
        control(document)->SetModified(false);
        bool flagDuringNotice = true;
        auto listener = std::make_shared<TNVKEventListener>(
            [&](int, const INVKUnknownPtr &) { flagDuringNotice = article->Modified(); });
        control(document)->SetOnChange(listener);
        article->SetCaption(QStringLiteral("x"));
        QVERIFY(!flagDuringNotice);
        QVERIFY(article->Modified());
    }

    void operations_dropNotices_butArticleFlagsStillSet()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBDocumentControlPtr ctl = control(document);
        TDocumentRecorder recorder(document);
        ctl->BeginOperation(opPaste);
        const IQBArticlePtr article = document->AddChild(document->Root());
        article->SetCaption(QStringLiteral("Pasted"));
        ctl->EndOperation();
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!document->Modified());
        QVERIFY(article->Modified());
        QCOMPARE(article->IID(), 1); // a paste issues IIDs as usual

        ctl->BeginOperation(opLoad);
        article->SetMark(3);
        QVERIFY(article->Modified());
        ctl->EndOperation(); // ending a load clears every flag
        QVERIFY(!article->Modified());
        QVERIFY(!document->Modified());
        QVERIFY(recorder.Notices.isEmpty());
        ctl->EndOperation(); // nothing to end
        QCOMPARE(ctl->Operation(), opNone);
    }

    void beginOperation_whileOneRuns_raisesAndKeepsTheFirst()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBDocumentControlPtr ctl = control(document);
        ctl->BeginOperation(opPaste);
        QCOMPARE(messageOf([&] { ctl->BeginOperation(opLoad); }),
                 QStringLiteral("Another operation is already in progress."));
        QCOMPARE(ctl->Operation(), opPaste);
        // A move is refused the same way and leaves the tree alone.
        const IQBArticlePtr a = document->AddChild(document->Root());
        const IQBArticlePtr b = document->AddChild(document->Root());
        QCOMPARE(messageOf([&] { document->MoveUp(b); }), QStringLiteral("Another operation is already in progress."));
        QCOMPARE(document->Root()->Items()->First(), a);
        ctl->EndOperation();
        QCOMPARE(ctl->Operation(), opNone);
    }

    void setModifiedFalse_clearsEveryArticleFlag()
    {
        TSampleTree t;
        QVERIFY(t.C1a->Modified() && t.A->Modified());
        QVERIFY(t.Document->Modified());
        control(t.Document)->SetModified(true);
        QVERIFY(t.C1a->Modified());
        control(t.Document)->SetModified(false);
        for (const IQBArticlePtr &a : {t.A, t.A1, t.A2, t.B, t.C, t.C1, t.C1a})
            QVERIFY(!a->Modified());
        QVERIFY(!t.Document->Modified());
        control(t.Document)->SetFileName(QStringLiteral("notes.xqb"));
        control(t.Document)->SetVersion(QStringLiteral("1.0"));
        control(t.Document)->SetIsNew(false);
        QCOMPARE(t.Document->FileName(), QStringLiteral("notes.xqb"));
        QCOMPARE(t.Document->Version(), QStringLiteral("1.0"));
        QVERIFY(!t.Document->IsNew());
        QVERIFY(!t.Document->Modified());
    }

    void addChild_appendsWithOneAddedNoticeNamingTheParent()
    {
        TSampleTree t;
        TDocumentRecorder recorder(t.Document);
        const IQBArticlePtr created = t.Document->AddChild(t.A);
        QCOMPARE(t.A->Items()->Last(), created);
        QCOMPARE(created->Parent(), t.A);
        QCOMPARE(recorder.Notices.size(), 1);
        QCOMPARE(recorder.Notices.first().Kind, QB_DATA_ARTICLE_ADDED);
        QCOMPARE(recorder.Notices.first().Article, created);
        QCOMPARE(recorder.Notices.first().Parent, t.A);
        QVERIFY(!created->Modified());
    }

    void addSibling_insertsBeforeOrAfter_andRootGetsNone()
    {
        TSampleTree t;
        TDocumentRecorder recorder(t.Document);
        t.Document->AddSibling(t.B, false)->SetCaption(QStringLiteral("beforeB"));
        t.Document->AddSibling(t.B, true)->SetCaption(QStringLiteral("afterB"));
        t.Document->AddSibling(t.C, true)->SetCaption(QStringLiteral("afterC"));
        t.Document->AddSibling(t.A, false)->SetCaption(QStringLiteral("first"));
        QCOMPARE(captions(t.Root), (QStringList{"first", "A", "beforeB", "B", "afterB", "C", "afterC"}));
        QCOMPARE(recorder.Kinds().count(QB_DATA_ARTICLE_ADDED), 4);
        recorder.Reset();
        const int last = t.Document->LastIID();
        QVERIFY(!t.Document->AddSibling(t.Root, true));
        QVERIFY(recorder.Notices.isEmpty());
        QCOMPARE(t.Document->LastIID(), last);
    }

    void deleteArticle_removesTheSubtreeWithOneNotice()
    {
        TSampleTree t;
        TDocumentRecorder recorder(t.Document);
        t.Document->DeleteArticle(t.C);
        QCOMPARE(recorder.Notices.size(), 1);
        QCOMPARE(recorder.Notices.first().Kind, QB_DATA_ARTICLE_DELETED);
        QCOMPARE(recorder.Notices.first().Article, t.C);
        QCOMPARE(recorder.Notices.first().Parent, t.Root);
        QCOMPARE(t.Document->ArticleCount(), 5);
        for (const IQBArticlePtr &a : {t.C, t.C1, t.C1a})
            QVERIFY(!a->Document());
        QVERIFY(!t.C->Parent());
        QCOMPARE(t.C1a->Parent(), t.C1); // the branch keeps its shape
        QVERIFY(!t.Document->FindArticle(t.C1a->IID()));

        recorder.Reset();
        t.Document->DeleteArticle(t.Root);
        QCOMPARE(t.Document->ArticleCount(), 5);
        QVERIFY(recorder.Notices.isEmpty());
    }

    void verifyingOperations_refuseArticlesOutsideTheDocument()
    {
        TSampleTree t;
        const IQBDocumentPtr other = NewQBDocument();
        const IQBArticlePtr foreign = other->AddChild(other->Root());
        t.Document->DeleteArticle(t.B);
        const QString expected = QStringLiteral("Article does not belong to this document.");
        for (const IQBArticlePtr &bad : {IQBArticlePtr(), foreign, t.B}) {
            QCOMPARE(messageOf([&] { t.Document->AddChild(bad); }), expected);
            QCOMPARE(messageOf([&] { t.Document->AddSibling(bad, true); }), expected);
            QCOMPARE(messageOf([&] { t.Document->DeleteArticle(bad); }), expected);
            QCOMPARE(messageOf([&] { t.Document->GetMoves(bad); }), expected);
            QCOMPARE(messageOf([&] { t.Document->MoveUp(bad); }), expected);
        }
        try {
            t.Document->AddChild(foreign);
            QFAIL("no error");
        } catch (const EQBDocumentError &) {
        }
        QCOMPARE(other->ArticleCount(), 2);
    }

    void getMoves_followsPositionAndDepth_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("moves");
        QTest::newRow("root") << "Root" << 0;
        QTest::newRow("first child of root") << "A" << int(amDown);
        QTest::newRow("middle child of root") << "B" << int(amUp | amDown | amRight);
        QTest::newRow("last child of root") << "C" << int(amUp | amRight);
        QTest::newRow("first grandchild") << "A1" << int(amDown | amLeft);
        QTest::newRow("last grandchild") << "A2" << int(amUp | amRight | amLeft);
        QTest::newRow("only child") << "C1a" << int(amLeft);
    }

    void getMoves_followsPositionAndDepth()
    {
        QFETCH(QString, caption);
        QFETCH(int, moves);
        TSampleTree t;
        IQBArticlePtr article = t.Root;
        while (article && article->Caption() != caption)
            article = article->Next();
        QVERIFY(article);
        QCOMPARE(int(t.Document->GetMoves(article)), moves);
    }

    void oneStepMoves_raiseOneMovedNoticeNamingTheNewParent()
    {
        TSampleTree t;
        TDocumentRecorder recorder(t.Document);
        auto expectOneMove = [&](const IQBArticlePtr &article, const IQBArticlePtr &parent) {
            QCOMPARE(recorder.Notices.size(), 1);
            QCOMPARE(recorder.Notices.first().Kind, QB_DATA_ARTICLE_MOVED);
            QCOMPARE(recorder.Notices.first().Article, article);
            QCOMPARE(recorder.Notices.first().Parent, parent);
            recorder.Reset();
        };
        t.Document->MoveUp(t.C);
        QCOMPARE(captions(t.Root), (QStringList{"A", "C", "B"}));
        expectOneMove(t.C, t.Root);
        t.Document->MoveDown(t.A);
        QCOMPARE(captions(t.Root), (QStringList{"C", "A", "B"}));
        expectOneMove(t.A, t.Root);
        t.Document->MoveRight(t.B); // becomes A's last child
        QCOMPARE(captions(t.Root), (QStringList{"C", "A"}));
        QCOMPARE(captions(t.A), (QStringList{"A1", "A2", "B"}));
        expectOneMove(t.B, t.A);
        t.Document->MoveLeft(t.A1); // becomes the sibling right after A
        QCOMPARE(captions(t.Root), (QStringList{"C", "A", "A1"}));
        QCOMPARE(captions(t.A), (QStringList{"A2", "B"}));
        expectOneMove(t.A1, t.Root);
        QCOMPARE(t.A1->Document(), t.Document);
        QCOMPARE(t.Document->ArticleCount(), 8);
    }

    void oneStepMoves_thatAreNotAllowed_doNothing()
    {
        TSampleTree t;
        control(t.Document)->SetModified(false);
        TDocumentRecorder recorder(t.Document);
        t.Document->MoveUp(t.A);     // first child
        t.Document->MoveDown(t.C);   // last child
        t.Document->MoveLeft(t.B);   // child of the root
        t.Document->MoveRight(t.A1); // first child
        t.Document->MoveUp(t.Root);
        t.Document->MoveLeft(t.Root);
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!t.Document->Modified());
        QCOMPARE(captions(t.Root), (QStringList{"A", "B", "C"}));
        QCOMPARE(captions(t.A), (QStringList{"A1", "A2"}));
    }

    void moveArticle_makesTheArticleTheLastChild()
    {
        TSampleTree t;
        TDocumentRecorder recorder(t.Document);
        t.Document->MoveArticle(t.A, t.C1a);
        QCOMPARE(captions(t.Root), (QStringList{"B", "C"}));
        QCOMPARE(t.A->Parent(), t.C1a);
        QCOMPARE(t.A2->Level(), 5);
        QCOMPARE(recorder.Notices.size(), 1);
        QCOMPARE(recorder.Notices.first().Kind, QB_DATA_ARTICLE_MOVED);
        QCOMPARE(recorder.Notices.first().Parent, t.C1a);
        QCOMPARE(t.Document->ArticleCount(), 8);
    }

    void moveArticle_intoItselfItsSubtreeOrAnotherDocument_isRefused()
    {
        TSampleTree t;
        const IQBDocumentPtr other = NewQBDocument();
        const IQBArticlePtr foreign = other->AddChild(other->Root());
        const IQBArticlePtr floating = t.Document->CreateArticle();
        control(t.Document)->SetModified(false);
        TDocumentRecorder recorder(t.Document);
        t.Document->MoveArticle(t.C, t.C);
        t.Document->MoveArticle(t.C, t.C1);
        t.Document->MoveArticle(t.C, t.C1a);
        t.Document->MoveArticle(t.Root, t.A);
        t.Document->MoveArticle(t.A, foreign);
        t.Document->MoveArticle(foreign, t.A);
        t.Document->MoveArticle(t.A, floating);
        t.Document->MoveArticle(floating, t.A);
        t.Document->MoveArticle(t.A, nullptr);
        t.Document->MoveArticle(nullptr, t.A);
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!t.Document->Modified());
        QCOMPARE(t.Document->ArticleCount(), 8);
        QCOMPARE(captions(t.Root), (QStringList{"A", "B", "C"}));
        QCOMPARE(t.C1a->Parent(), t.C1);
        QCOMPARE(other->ArticleCount(), 2);
        QCOMPARE(foreign->Document(), other);
    }

    void navigation_walksThePreOrderBothWays()
    {
        TSampleTree t;
        const QStringList order{"Root", "A", "A1", "A2", "B", "C", "C1", "C1a"};
        QStringList forward;
        IQBArticlePtr last;
        for (IQBArticlePtr a = t.Root; a; a = a->Next()) {
            forward.append(a->Caption());
            last = a;
        }
        QCOMPARE(forward, order);
        QStringList backward;
        for (IQBArticlePtr a = last; a; a = a->Previous())
            backward.prepend(a->Caption());
        QCOMPARE(backward, order);

        QCOMPARE(t.A2->NextSibling(), IQBArticlePtr());
        QCOMPARE(t.A1->NextSibling(), t.A2);
        QCOMPARE(t.A1->PrevSibling(), IQBArticlePtr());
        QCOMPARE(t.C->PrevSibling(), t.B);
        QVERIFY(!t.Root->NextSibling() && !t.Root->PrevSibling());
        QCOMPARE(t.B->Index(), 1);
        QCOMPARE(t.C1a->Level(), 3);
        QCOMPARE(t.C1a->Path(), QStringLiteral("Root\\C\\C1\\"));
        QCOMPARE(t.A->Path(), QStringLiteral("Root\\"));
    }

    void findArticle_returnsTheFirstInPreOrder()
    {
        TSampleTree t;
        QCOMPARE(t.Document->FindArticle(t.C1a->IID()), t.C1a);
        QCOMPARE(t.Document->FindArticle(0), t.Root);
        QVERIFY(!t.Document->FindArticle(999));
        t.A2->SetIID(50);
        t.C1->SetIID(50);
        QCOMPARE(t.Document->FindArticle(50), t.A2);
        QCOMPARE(t.Document->ArticleCount(), 8);
    }

    void content_isStoredCompressedAndReadBack()
    {
        const IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr article = document->AddChild(document->Root());
        QCOMPARE(article->ContentSize(), 0);
        QCOMPARE(article->Content(), QString());

        QString body = QStringLiteral("{\\rtf1\\ansi Ünïcödé ✓ 𝄞 ");
        for (int i = 0; i < 200; ++i)
            body += QStringLiteral("\\par line %1 ").arg(i % 7);
        body += QLatin1Char('}');
        article->SetContent(body);
        QCOMPARE(article->Content(), body);
        QVERIFY(article->ContentSize() > 0);
        QVERIFY(article->ContentSize() < body.toUtf8().size() / 4);

        article->SetContent(QString());
        QCOMPARE(article->ContentSize(), 0);
        QCOMPARE(article->Content(), QString());
    }

    void damagedBody_raisesAClearErrorInsteadOfCrashing_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("lengthDelta");
        quint32 length = 0;
        const QByteArray good = QBCompressContent(QStringLiteral("{\\rtf1 hello hello hello}"), length);
        QByteArray flipped = good;
        flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x5a);
        QTest::newRow("not a zlib stream") << QByteArray("garbage bytes here") << 0;
        QTest::newRow("truncated") << good.left(good.size() - 3) << 0;
        QTest::newRow("bits flipped") << flipped << 0;
        QTest::newRow("longer than recorded") << good << -4;
        QTest::newRow("shorter than recorded") << good << 4;
    }

    void damagedBody_raisesAClearErrorInsteadOfCrashing()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, lengthDelta);
        const QString text = QStringLiteral("{\\rtf1 hello hello hello}");
        const quint32 length = quint32(text.toUtf8().size() + lengthDelta);
        try {
            QBDecompressContent(data, length);
            QFAIL("no error");
        } catch (const EZDecompressionError &e) {
            QCOMPARE(e.Message(), QStringLiteral("The stored article body is damaged and cannot be read."));
        }
        quint32 goodLength = 0;
        const QByteArray good = QBCompressContent(text, goodLength);
        QCOMPARE(QBDecompressContent(good, goodLength), text);
    }

    void detachedArticle_livesOnAfterItsDocumentIsReleased()
    {
        IQBArticlePtr kept;
        IQBArticlePtr keptChild;
        {
            TSampleTree t;
            kept = t.C1;
            keptChild = t.C1a;
            t.C1->SetContent(QStringLiteral("body"));
        }
        QVERIFY(!kept->Document());
        QVERIFY(!kept->Parent());
        QCOMPARE(kept->Caption(), QStringLiteral("C1"));
        QCOMPARE(kept->Content(), QStringLiteral("body"));
        QCOMPARE(kept->Items()->Count(), 1);
        QCOMPARE(keptChild->Parent(), kept);
        QVERIFY(!keptChild->Document());
        kept->SetCaption(QStringLiteral("still editable")); // no document to tell
        QVERIFY(kept->Modified());
    }

    void deletedArticle_goesWhenReleased_whileHeldChildrenLiveOnDetached()
    {
        TSampleTree t;
        t.Document->DeleteArticle(t.A);
        QCOMPARE(t.A1->Parent(), t.A); // the branch keeps its shape while A is held
        const std::weak_ptr<IQBArticle> watch = t.A;
        t.A.reset();
        QVERIFY(watch.expired());
        QVERIFY(!t.A1->Parent());
        QVERIFY(!t.A1->Document());
        QCOMPARE(t.A1->Caption(), QStringLiteral("A1"));
    }

    void deepChain_isBuiltSearchedCountedAndReleasedWithoutRecursion()
    {
        constexpr int depth = 100000;
        IQBDocumentPtr document = NewQBDocument();
        IQBArticlePtr top;
        IQBArticlePtr bottom = document->Root();
        // Through the item lists: the document's own operations stop at the deepest level a file holds.
        for (int i = 0; i < depth; ++i) {
            const IQBArticlePtr child = document->CreateArticle();
            bottom->Items()->Add(child);
            bottom = child;
            if (!top)
                top = bottom;
        }
        QCOMPARE(document->ArticleCount(), depth + 1);
        QCOMPARE(document->FindArticle(depth), bottom);
        QCOMPARE(bottom->Level(), depth);
        QCOMPARE(bottom->Path().size(), depth * 1 + 4); // "Root\" then an empty caption and "\" each
        QVERIFY(!bottom->Next());
        QCOMPARE(document->Root()->Next(), top);

        TDocumentRecorder recorder(document);
        document->MoveArticle(top, bottom); // into its own subtree: refused after a long walk
        QVERIFY(recorder.Notices.isEmpty());
        control(document)->SetModified(false);
        QVERIFY(!bottom->Modified());

        // Releasing the chain as a deleted branch and with the document.
        document->DeleteArticle(top);
        QVERIFY(!bottom->Document());
        QCOMPARE(document->ArticleCount(), 1);
        recorder.Reset(); // the deletion notice holds the branch too
        top.reset();
        QVERIFY(!bottom->Parent()); // the rest of the chain went, the held end lives on
        document.reset();

        document = NewQBDocument();
        IQBArticlePtr article = document->Root();
        for (int i = 0; i < depth; ++i) {
            const IQBArticlePtr child = document->CreateArticle();
            article->Items()->Add(child);
            article = child;
        }
        article.reset();
        document.reset(); // the whole chain goes with its document
        QVERIFY(true);
    }

    void depth_operationsPastTheDeepestSavableLevel_areRefusedBeforeAnythingChanges_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("refused");
        const auto row = [](const char *name, bool refused) {
            QTest::newRow(name) << QString::fromLatin1(name) << refused;
        };
        row("add child below the deepest", true);
        row("add child below the one above it", false);
        row("add sibling beside a leaf too deep", true);
        row("add sibling beside the deepest", false);
        row("move right to below the deepest", true);
        row("move right a branch past the limit", true);
        row("move right near the root", false);
        row("move article below the deepest", true);
        row("move a branch past the limit", true);
        row("move a branch down to the limit", false);
        row("paste below the deepest", true);
        row("paste a branch past the limit", true);
        row("paste a branch down to the limit", false);
        row("paste a branch that is itself too deep", true);
        row("paste a tall branch that fits", false);
    }

    void depth_operationsPastTheDeepestSavableLevel_areRefusedBeforeAnythingChanges()
    {
        QFETCH(QString, operation);
        QFETCH(bool, refused);
        TDeepTree t;
        const auto clipboard = std::make_shared<TQBMemoryClipboard>();
        control(t.Document)->SetClipboard(clipboard);
        const std::map<QString, std::function<void()>> operations{
            {"add child below the deepest", [&] { t.Document->AddChild(t.C(126)); }},
            {"add child below the one above it", [&] { t.Document->AddChild(t.C(125)); }},
            {"add sibling beside a leaf too deep", [&] { t.Document->AddSibling(t.TooDeep, true); }},
            {"add sibling beside the deepest", [&] { t.Document->AddSibling(t.C(126), false); }},
            {"move right to below the deepest", [&] { t.Document->MoveRight(t.Beside126); }},
            {"move right a branch past the limit", [&] { t.Document->MoveRight(t.Tall); }},
            {"move right near the root", [&] { t.Document->MoveRight(t.Right); }},
            {"move article below the deepest", [&] { t.Document->MoveArticle(t.Leaf, t.C(126)); }},
            {"move a branch past the limit", [&] { t.Document->MoveArticle(t.Branch, t.C(116)); }},
            {"move a branch down to the limit", [&] { t.Document->MoveArticle(t.Branch, t.C(115)); }},
            {"paste below the deepest",
             [&] {
                 clipboard->SetData(QBEncodeArticle(t.Leaf));
                 t.Document->PasteArticle(t.C(126));
             }},
            {"paste a branch past the limit",
             [&] {
                 clipboard->SetData(QBEncodeArticle(t.Branch));
                 t.Document->PasteArticle(t.C(116));
             }},
            {"paste a branch down to the limit",
             [&] {
                 clipboard->SetData(QBEncodeArticle(t.Branch));
                 t.Document->PasteArticle(t.C(115));
             }},
            {"paste a branch that is itself too deep",
             [&] {
                 clipboard->SetData(tallBranch(QBMaxArticleLevel));
                 t.Document->PasteArticle(t.Document->Root());
             }},
            {"paste a tall branch that fits",
             [&] {
                 clipboard->SetData(tallBranch(QBMaxArticleLevel - 1));
                 t.Document->PasteArticle(t.Document->Root());
             }},
        };
        const QByteArray before = TQBXmlWriter(QString()).WriteToBytes(t.Document);
        const qint32 lastIID = t.Document->LastIID();
        TDocumentRecorder recorder(t.Document);
        const QString message = messageOf(operations.at(operation));
        if (!refused) {
            QCOMPARE(message, QString());
            QVERIFY(!recorder.Notices.isEmpty());
            // What the model allows, a file holds.
            const QByteArray after = TQBXmlWriter(QString()).WriteToBytes(t.Document);
            QCOMPARE(TQBXmlReader(QString()).ReadFromBytes(after)->ArticleCount(), t.Document->ArticleCount());
            return;
        }
        QCOMPARE(message, QString::fromLatin1(SArticlesTooDeep));
        QVERIFY(recorder.Notices.isEmpty());
        QCOMPARE(t.Document->LastIID(), lastIID);
        QVERIFY(!t.Document->Modified());
        QCOMPARE(TQBXmlWriter(QString()).WriteToBytes(t.Document), before);
    }

    void clipboard_withNoneInstalled_failsClearlyOrSaysNo()
    {
        TSampleTree t;
        QCOMPARE(messageOf([&] { t.Document->CopyArticle(t.A); }),
                 QStringLiteral("No clipboard is available for articles."));
        QCOMPARE(messageOf([&] { t.Document->CutArticle(t.A); }),
                 QStringLiteral("No clipboard is available for articles."));
        QVERIFY(!t.Document->CanPaste());
        QVERIFY(!t.Document->PasteArticle(t.A));
        QCOMPARE(t.Document->ArticleCount(), 8);
    }

    void clipboard_operationsGoToTheDocumentsOrTheProcessClipboard()
    {
        TSampleTree t;
        auto global = std::make_shared<TFakeClipboard>();
        QBSetArticleClipboard(global);
        t.Document->CopyArticle(t.A);
        t.Document->CutArticle(t.B);
        QVERIFY(!t.Document->CanPaste());
        QVERIFY(!t.Document->PasteArticle(t.C)); // nothing offered: Paste is not even asked
        QCOMPARE(global->Calls, (QStringList{"Copy A", "Cut B"}));

        auto own = std::make_shared<TFakeClipboard>();
        own->Offers = true;
        control(t.Document)->SetClipboard(own);
        QVERIFY(t.Document->CanPaste());
        const IQBArticlePtr pasted = t.Document->PasteArticle(t.C);
        QVERIFY(pasted);
        QCOMPARE(pasted->Parent(), t.C);
        QCOMPARE(own->Calls, QStringList{"Paste C"});
        QCOMPARE(global->Calls.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestQBDom)
#include "tst_QBDom.moc"
