// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/DocumentRecorder.h"
#include "support/TestHelpers.h"

#include <QTest>
#include <QThread>
#include <atomic>

namespace {

struct TList
{
    IQBDocumentPtr Document = NewQBDocument();
    IQBArticlePtr Owner = Document->AddChild(Document->Root());
    IQBArticleListPtr Items = Owner->Items();

    IQBArticlePtr add(const QString &caption)
    {
        IQBArticlePtr article = Document->CreateArticle();
        article->SetCaption(caption);
        Items->Add(article);
        return article;
    }
    QStringList captions() const
    {
        QStringList result;
        for (int i = 0; i < Items->Count(); ++i)
            result.append(Items->Get(i)->Caption());
        return result;
    }
};

} // namespace

class TestQBArticleList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indexOutsideTheList_raisesTheListErrorWithTheIndex_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("message");
        QTest::newRow("Get -1") << 2 << "Get -1"
                                << "List index out of bounds: -1.";
        QTest::newRow("Get Count") << 2 << "Get 2"
                                   << "List index out of bounds: 2.";
        QTest::newRow("First on empty") << 0 << "First"
                                        << "List index out of bounds: 0.";
        QTest::newRow("Last on empty") << 0 << "Last"
                                       << "List index out of bounds: -1.";
        QTest::newRow("Delete past end") << 1 << "Delete 1"
                                         << "List index out of bounds: 1.";
        QTest::newRow("Insert past end") << 1 << "Insert 2"
                                         << "List index out of bounds: 2.";
        QTest::newRow("Move from past end") << 2 << "Move 5 0"
                                            << "List index out of bounds: 5.";
        QTest::newRow("Move to -1") << 2 << "Move 0 -1"
                                    << "List index out of bounds: -1.";
        QTest::newRow("Move in place past end") << 2 << "Move 4 4"
                                                << "List index out of bounds: 4.";
        QTest::newRow("Capacity below count") << 2 << "Capacity 1"
                                              << "List capacity out of bounds: 1.";
        QTest::newRow("Count above count") << 2 << "Count 3"
                                           << "List count out of bounds: 3.";
        QTest::newRow("Count negative") << 2 << "Count -1"
                                        << "List count out of bounds: -1.";
    }

    void indexOutsideTheList_raisesTheListErrorWithTheIndex()
    {
        QFETCH(int, items);
        QFETCH(QString, operation);
        QFETCH(QString, message);
        TList t;
        for (int i = 0; i < items; ++i)
            t.add(QString::number(i));
        const QStringList words = operation.split(QLatin1Char(' '));
        const int a = words.size() > 1 ? words.at(1).toInt() : 0;
        const int b = words.size() > 2 ? words.at(2).toInt() : 0;
        TDocumentRecorder recorder(t.Document);
        try {
            if (words.first() == QLatin1String("Get"))
                t.Items->Get(a);
            else if (words.first() == QLatin1String("First"))
                t.Items->First();
            else if (words.first() == QLatin1String("Last"))
                t.Items->Last();
            else if (words.first() == QLatin1String("Delete"))
                t.Items->Delete(a);
            else if (words.first() == QLatin1String("Insert"))
                t.Items->Insert(a, t.Document->CreateArticle());
            else if (words.first() == QLatin1String("Move"))
                t.Items->Move(a, b);
            else if (words.first() == QLatin1String("Capacity"))
                t.Items->SetCapacity(a);
            else if (words.first() == QLatin1String("Count"))
                t.Items->SetCount(a);
            QFAIL("no error");
        } catch (const EListError &e) {
            QCOMPARE(e.Message(), message);
        }
        QCOMPARE(t.Items->Count(), items);
        QVERIFY(recorder.Notices.isEmpty());
    }

    void insertAndAdd_attachAndNotify_removeAndDelete_detachAndNotify()
    {
        TList t;
        const IQBArticlePtr b = t.add(QStringLiteral("b"));
        TDocumentRecorder recorder(t.Document);
        const IQBArticlePtr a = t.Document->CreateArticle();
        a->SetCaption(QStringLiteral("a"));
        t.Items->Insert(0, a);
        const IQBArticlePtr c = t.Document->CreateArticle();
        QCOMPARE(t.Items->Add(c), 2);
        QCOMPARE(a->Parent(), t.Owner);
        QCOMPARE(t.Items->IndexOf(a), 0);
        QCOMPARE(t.Items->IndexOf(c), 2);
        QCOMPARE(recorder.Notices.size(), 3); // a's caption before it was added, then two adds
        QCOMPARE(recorder.Notices.at(1).Kind, QB_DATA_ARTICLE_ADDED);
        QCOMPARE(recorder.Notices.at(1).Parent, t.Owner);
        recorder.Reset();

        QCOMPARE(t.Items->Remove(b), 1);
        QCOMPARE(t.Items->Remove(b), -1);
        t.Items->Delete(0);
        QCOMPARE(recorder.Kinds(), (QList<int>{QB_DATA_ARTICLE_DELETED, QB_DATA_ARTICLE_DELETED}));
        QCOMPARE(recorder.Notices.at(0).Article, b);
        QCOMPARE(recorder.Notices.at(0).Parent, t.Owner); // Args name the old parent
        QCOMPARE(recorder.Notices.at(1).Article, a);
        for (const IQBArticlePtr &gone : {a, b}) {
            QVERIFY(!gone->Parent());
            QVERIFY(!gone->Document());
            QCOMPARE(gone->Index(), -1);
        }
        QCOMPARE(t.Items->First(), c);
        QCOMPARE(t.Items->Last(), c);
        QCOMPARE(t.Items->IndexOf(a), -1);
    }

    void addedBranch_takesTheDocumentOfItsNewOwner()
    {
        TList t;
        const IQBDocumentPtr other = NewQBDocument();
        // A branch built detached: IIDs of the other document, no document on the way in.
        const IQBArticlePtr top = t.Document->CreateArticle();
        t.Document->AddChild(top);
        t.Items->Add(top);
        t.Items->Remove(top);
        QVERIFY(!top->Items()->First()->Document());
        other->Root()->Items()->Add(top);
        QCOMPARE(top->Document(), other);
        QCOMPARE(top->Items()->First()->Document(), other);
        QCOMPARE(other->ArticleCount(), 3);
    }

    void add_refusesArticlesThatWouldBreakTheTree()
    {
        TList t;
        const IQBArticlePtr child = t.add(QStringLiteral("child"));
        const IQBArticlePtr grandChild = t.Document->AddChild(child);
        const IQBDocumentPtr other = NewQBDocument();
        TDocumentRecorder recorder(t.Document);
        QCOMPARE(messageOf([&] { t.Items->Add(nullptr); }),
                 QStringLiteral("An empty article cannot be added to a list."));
        QCOMPARE(messageOf([&] { t.Items->Add(grandChild); }), QStringLiteral("Article is already part of a tree."));
        QCOMPARE(messageOf([&] { t.Items->Add(other->Root()); }), QStringLiteral("Article is already part of a tree."));
        QCOMPARE(messageOf([&] { t.Items->Add(t.Document->Root()); }),
                 QStringLiteral("Article is already part of a tree."));
        QCOMPARE(messageOf([&] { t.Items->Insert(0, t.Owner); }), QStringLiteral("Article is already part of a tree."));

        // A detached branch cannot be hung below its own descendants.
        t.Document->DeleteArticle(t.Owner);
        QCOMPARE(messageOf([&] { grandChild->Items()->Add(t.Owner); }),
                 QStringLiteral("An article cannot be added below itself."));
        QCOMPARE(messageOf([&] { t.Items->Add(t.Owner); }), QStringLiteral("An article cannot be added below itself."));
        QVERIFY(!t.Owner->Parent());
        QCOMPARE(grandChild->Items()->Count(), 0);
        QCOMPARE(recorder.Kinds(), QList<int>{QB_DATA_ARTICLE_DELETED});
    }

    void heldList_keepsItsArticleAlive()
    {
        TList t;
        t.add(QStringLiteral("child"));
        const std::weak_ptr<IQBArticle> owner = t.Owner;
        const IQBArticleListPtr items = t.Items;
        t.Document->DeleteArticle(t.Owner);
        t.Owner.reset();
        t.Items.reset();
        QVERIFY(!owner.expired());
        QCOMPARE(items->First()->Caption(), QStringLiteral("child"));
        QCOMPARE(items->First()->Parent(), owner.lock());
    }

    void move_reordersWithoutNotices()
    {
        TList t;
        for (const char *c : {"a", "b", "c", "d"})
            t.add(QString::fromLatin1(c));
        TDocumentRecorder recorder(t.Document);
        t.Items->Move(0, 3);
        t.Items->Move(2, 0);
        QCOMPARE(t.captions(), (QStringList{"d", "b", "c", "a"}));
        QVERIFY(recorder.Notices.isEmpty());
        QCOMPARE(t.Items->Get(0)->Parent(), t.Owner);
    }

    void clearAndSetCount_releaseWithoutNotices_andDetachWhatOthersHold()
    {
        TList t;
        const IQBArticlePtr kept = t.add(QStringLiteral("kept"));
        t.Document->AddChild(kept);
        std::weak_ptr<IQBArticle> dropped = t.add(QStringLiteral("dropped"));
        t.add(QStringLiteral("third"));
        TDocumentRecorder recorder(t.Document);
        t.Items->SetCount(1);
        QCOMPARE(t.captions(), QStringList{"kept"});
        QVERIFY(dropped.expired());
        t.Items->Clear();
        QCOMPARE(t.Items->Count(), 0);
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(!kept->Parent());
        QVERIFY(!kept->Document());
        QVERIFY(!kept->Items()->First()->Document());
        QCOMPARE(t.Document->ArticleCount(), 2);
    }

    void capacity_growsAndShrinksDownToTheCount()
    {
        TList t;
        t.add(QStringLiteral("a"));
        t.Items->SetCapacity(64);
        QVERIFY(t.Items->Capacity() >= 64);
        t.Items->SetCapacity(1);
        QCOMPARE(t.Items->Count(), 1);
        QVERIFY(t.Items->Capacity() >= 1);
    }

    void subscriber_mayReadTheListDuringANoticeRaisedUnderItsLock()
    {
        TList t;
        t.add(QStringLiteral("a"));
        QList<int> seen;
        auto listener = std::make_shared<TNVKEventListener>([&](int kind, const INVKUnknownPtr &param) {
            const auto args = std::dynamic_pointer_cast<IQBStructureChangeArgs>(param);
            const IQBArticleListPtr items = args->Parent()->Items();
            const TQBArticleListLocker locker(*items);
            seen << kind << items->Count() << args->Article()->Index() << int(locker.Items().size());
            QCOMPARE(args->Article()->Parent(), args->Parent()); // attached, or not yet detached
        });
        std::dynamic_pointer_cast<IQBDocumentControl>(t.Document)->SetOnChange(listener);
        const IQBArticlePtr b = t.Document->AddChild(t.Owner);
        t.Items->Remove(t.Items->First());
        QCOMPARE(seen, (QList<int>{QB_DATA_ARTICLE_ADDED, 2, 1, 2, QB_DATA_ARTICLE_DELETED, 2, 0, 2}));
        listener->Clear();
    }

    void lockList_isReentrantAndHoldsOtherThreadsOff()
    {
        TList t;
        t.add(QStringLiteral("a"));
        const QList<IQBArticlePtr> &items = t.Items->LockList();
        QCOMPARE(items.size(), 1);
        QCOMPARE(t.Items->Count(), 1); // the same thread gets in again
        std::atomic<int> countSeen{-1};
        std::unique_ptr<QThread> reader(QThread::create([&] { countSeen = t.Items->Count(); }));
        reader->start();
        // The reader cannot finish while the lock is held; wait() with a timeout only bounds the test.
        QVERIFY(!reader->wait(50));
        QCOMPARE(countSeen.load(), -1);
        t.Items->UnlockList();
        QVERIFY(reader->wait());
        QCOMPARE(countSeen.load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestQBArticleList)
#include "tst_QBArticleList.moc"
