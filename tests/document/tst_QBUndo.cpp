// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBClipbrd.h"
#include "document/QBXml.h"
#include "support/DocumentCompare.h"
#include "support/TestHelpers.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

Q_DECLARE_METATYPE(std::function<void(const IQBDocumentPtr &)>)

namespace {

using TOperation = std::function<void(const IQBDocumentPtr &)>;

// The whole document as one text: per article in pre-order its level, IID, caption, marker,
// creation time and a hash of its body.
QString fingerprint(const IQBDocumentPtr &document, bool withTimes = true)
{
    QStringList lines;
    QBWalkArticles(document->Root(), [&](const IQBArticlePtr &article) {
        const QByteArray body = QCryptographicHash::hash(article->Content().toUtf8(), QCryptographicHash::Sha1);
        lines.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                         .arg(QString(article->Level(), QLatin1Char('.')))
                         .arg(article->IID())
                         .arg(article->Caption())
                         .arg(article->Mark())
                         .arg(withTimes ? secondsOf(article->Created()) : 0)
                         .arg(QString::fromLatin1(body.toHex().left(12))));
        return true;
    });
    return lines.join(QLatin1Char('\n'));
}

// Root with Garden (Roses (Pruning), Beans), Kitchen, Travel (Rome); every article with a body,
// a marker and its own creation time.
IQBDocumentPtr sample()
{
    const IQBDocumentPtr document = NewQBDocument();
    int n = 0;
    const auto add = [&](const IQBArticlePtr &parent, const QString &caption) {
        const IQBArticlePtr article = addArticle(document, parent, caption, rtf(caption + QStringLiteral(" notes")));
        article->SetMark(quint8(++n % 7));
        article->SetCreated(EncodeDateTime(2020, 1, n, 10, n, n));
        return article;
    };
    const IQBArticlePtr garden = add(document->Root(), QStringLiteral("Garden notebook"));
    const IQBArticlePtr roses = add(garden, QStringLiteral("Roses"));
    add(roses, QStringLiteral("Pruning"));
    add(garden, QStringLiteral("Beans"));
    add(document->Root(), QStringLiteral("Kitchen"));
    const IQBArticlePtr travel = add(document->Root(), QStringLiteral("Travel"));
    add(travel, QStringLiteral("Rome"));
    return document;
}

IQBArticlePtr find(const IQBDocumentPtr &document, const QString &caption)
{
    IQBArticlePtr found;
    QBWalkArticles(document->Root(), [&](const IQBArticlePtr &article) {
        if (article->Caption() == caption)
            found = article;
        return !found;
    });
    if (!found)
        qFatal("no article %s", qPrintable(caption));
    return found;
}

// Every operation the outline offers, as the window runs it: inside one step.
template <typename F> TOperation step(TQBUndoKind kind, const QString &subject, F body)
{
    return [kind, subject, body](const IQBDocumentPtr &document) {
        const TQBUndoScope scope(*document, kind, subject.isEmpty() ? nullptr : find(document, subject));
        body(document);
    };
}

void splitInto(const IQBDocumentPtr &document, const QString &caption)
{
    const IQBArticlePtr article = find(document, caption);
    const IQBArticlePtr tail = document->AddSibling(article, true);
    tail->SetCaption(QStringLiteral("New article"));
    article->SetContent(rtf(QStringLiteral("first half")));
    tail->SetContent(rtf(QStringLiteral("second half")));
}

} // namespace

class tst_QBUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        FClipboard = std::make_shared<TQBMemoryClipboard>();
        QBSetArticleClipboard(FClipboard);
    }
    void cleanup() { QBSetArticleClipboard(nullptr); }

    void eachOperation_undoesAndRedoesExactly_data()
    {
        QTest::addColumn<TOperation>("operation");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("subject");
        const auto g = QStringLiteral("Garden notebook");
        QTest::newRow("add child") << step(ukAddChild, g, [](const IQBDocumentPtr &d) {
            d->AddChild(find(d, QStringLiteral("Garden notebook")))->SetCaption(QStringLiteral("New article"));
        }) << int(ukAddChild) << g;
        QTest::newRow("add sibling above") << step(ukAddSibling, g, [](const IQBDocumentPtr &d) {
            d->AddSibling(find(d, QStringLiteral("Roses")), false)->SetCaption(QStringLiteral("New article"));
        }) << int(ukAddSibling) << g;
        QTest::newRow("add sibling below last") << step(ukAddSibling, g, [](const IQBDocumentPtr &d) {
            d->AddSibling(find(d, QStringLiteral("Travel")), true)->SetCaption(QStringLiteral("New article"));
        }) << int(ukAddSibling) << g;
        QTest::newRow("delete leaf") << step(ukDelete, g, [](const IQBDocumentPtr &d) {
            d->DeleteArticle(find(d, QStringLiteral("Beans")));
        }) << int(ukDelete) << g;
        QTest::newRow("delete branch") << step(ukDelete, g, [](const IQBDocumentPtr &d) {
            d->DeleteArticle(find(d, QStringLiteral("Garden notebook")));
        }) << int(ukDelete) << g;
        QTest::newRow("rename") << step(ukRename, g, [](const IQBDocumentPtr &d) {
            find(d, QStringLiteral("Garden notebook"))->SetCaption(QStringLiteral("Allotment 🌱"));
        }) << int(ukRename) << g;
        QTest::newRow("rename root") << step(ukRename, g, [](const IQBDocumentPtr &d) {
            d->Root()->SetCaption(QStringLiteral("All my notes"));
        }) << int(ukRename) << g;
        QTest::newRow("marker of a branch") << step(ukMarker, g, [](const IQBDocumentPtr &d) {
            QBWalkArticles(find(d, QStringLiteral("Garden notebook")), [](const IQBArticlePtr &a) {
                a->SetMark(9);
                return true;
            });
        }) << int(ukMarker) << g;
        QTest::newRow("move up") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveUp(find(d, QStringLiteral("Travel")));
        }) << int(ukMove) << g;
        QTest::newRow("move down") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveDown(find(d, QStringLiteral("Garden notebook")));
        }) << int(ukMove) << g;
        QTest::newRow("move left") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveLeft(find(d, QStringLiteral("Roses")));
        }) << int(ukMove) << g;
        QTest::newRow("move right") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveRight(find(d, QStringLiteral("Travel")));
        }) << int(ukMove) << g;
        QTest::newRow("drop on another parent") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveArticle(find(d, QStringLiteral("Roses")), find(d, QStringLiteral("Rome")));
        }) << int(ukMove) << g;
        QTest::newRow("drop on own parent") << step(ukMove, g, [](const IQBDocumentPtr &d) {
            d->MoveArticle(find(d, QStringLiteral("Garden notebook")), d->Root());
        }) << int(ukMove) << g;
        QTest::newRow("cut") << step(ukCut, g, [](const IQBDocumentPtr &d) {
            d->CutArticle(find(d, QStringLiteral("Roses")));
        }) << int(ukCut) << g;
        QTest::newRow("paste a branch") << step(ukPaste, g, [](const IQBDocumentPtr &d) {
            d->CopyArticle(find(d, QStringLiteral("Garden notebook")));
            d->PasteArticle(find(d, QStringLiteral("Kitchen")));
        }) << int(ukPaste) << g;
        QTest::newRow("split") << step(ukSplit, g, [](const IQBDocumentPtr &d) {
            splitInto(d, QStringLiteral("Kitchen"));
        }) << int(ukSplit) << g;
    }

    // Undo gives back the document exactly as before, redo exactly as after, any number of times,
    // and both are one step each. An undone delete brings back the same articles, so a link to an
    // IID finds them again.
    void eachOperation_undoesAndRedoesExactly()
    {
        QFETCH(TOperation, operation);
        QFETCH(int, kind);
        QFETCH(QString, subject);
        const IQBDocumentPtr document = sample();
        const QString before = fingerprint(document);
        QList<qint32> iids;
        QBWalkArticles(document->Root(), [&](const IQBArticlePtr &a) {
            iids.append(a->IID());
            return true;
        });
        operation(document);
        const QString after = fingerprint(document);
        QVERIFY(after != before);
        TQBUndoStack &stack = document->UndoStack();
        QCOMPARE(stack.Count(), 1);
        QCOMPARE(int(stack.UndoStep()->Kind()), kind);
        QCOMPARE(stack.UndoStep()->Subject(), subject);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(stack.Undo());
            QCOMPARE(fingerprint(document), before);
            QVERIFY(!stack.CanUndo());
            for (const qint32 iid : std::as_const(iids))
                QVERIFY2(document->FindArticle(iid), qPrintable(QString::number(iid)));
            QVERIFY(stack.Redo());
            QCOMPARE(fingerprint(document), after);
            QVERIFY(!stack.CanRedo());
        }
        QVERIFY(document->Modified());
    }

    // A long run of mixed operations on a random tree, saved to a file half-way, then taken back
    // step by step to the first state and forward again to the last; every state in between comes
    // back exactly.
    void mixedSequence_walksBackAndForthThroughEveryState()
    {
        QTemporaryDir dir;
        const IQBDocumentPtr document = sample();
        QRandomGenerator random(20261207);
        QStringList states{fingerprint(document)};
        document->UndoStack().SetLimit(0);
        const auto anyArticle = [&](bool rootToo) {
            QList<IQBArticlePtr> all;
            QBWalkArticles(document->Root(), [&](const IQBArticlePtr &a) {
                if (rootToo || a != document->Root())
                    all.append(a);
                return true;
            });
            return all.isEmpty() ? nullptr : all.at(random.bounded(int(all.size())));
        };
        for (int i = 0; i < 300; ++i) {
            if (i == 150)
                QBWriteDocument(document, dir.filePath(QStringLiteral("half.xqb")));
            const IQBArticlePtr a = anyArticle(false);
            const IQBArticlePtr any = anyArticle(true);
            const int pick = a ? int(random.bounded(11)) : 0;
            {
                const TQBUndoScope scope(*document, TQBUndoKind(pick % 9), any);
                switch (pick) {
                case 0:
                    document->AddChild(any)->SetCaption(QStringLiteral("n%1").arg(i));
                    break;
                case 1:
                    document->AddSibling(a, random.bounded(2))->SetCaption(QStringLiteral("s%1").arg(i));
                    break;
                case 2:
                    document->DeleteArticle(a);
                    break;
                case 3:
                    any->SetCaption(QStringLiteral("r%1").arg(i));
                    break;
                case 4:
                    any->SetMark(quint8(random.bounded(20)));
                    break;
                case 5: {
                    const TArticleMoves moves = document->GetMoves(a);
                    if (moves.testFlag(amUp))
                        document->MoveUp(a);
                    if (moves.testFlag(amLeft))
                        document->MoveLeft(a);
                    break;
                }
                case 6:
                    if (document->GetMoves(a).testFlag(amRight))
                        document->MoveRight(a);
                    else
                        document->MoveDown(a);
                    break;
                case 7:
                    document->MoveArticle(a, any);
                    break;
                case 8:
                    document->CopyArticle(a);
                    document->PasteArticle(any);
                    break;
                case 9:
                    document->CutArticle(a);
                    break;
                default:
                    a->SetContent(rtf(QStringLiteral("body %1").arg(i)));
                    document->AddSibling(a, true)->SetContent(rtf(QStringLiteral("tail %1").arg(i)));
                    break;
                }
            }
            if (fingerprint(document) != states.last())
                states.append(fingerprint(document));
        }
        TQBUndoStack &stack = document->UndoStack();
        QCOMPARE(stack.Count(), int(states.size()) - 1);
        for (qsizetype i = states.size() - 2; i >= 0; --i) {
            stack.Undo();
            QCOMPARE(fingerprint(document), states.at(i));
        }
        QVERIFY(!stack.CanUndo());
        for (qsizetype i = 1; i < states.size(); ++i) {
            stack.Redo();
            QCOMPARE(fingerprint(document), states.at(i));
        }
        // What was written half-way reads back as that state (the file rounds new articles' times).
        const IQBDocumentPtr saved = QBReadDocument(dir.filePath(QStringLiteral("half.xqb")));
        QStringList untimed;
        for (int i = 0; i < states.size(); ++i) {
            while (stack.CanUndo() && i == 0)
                stack.Undo();
            if (i > 0)
                stack.Redo();
            untimed.append(fingerprint(document, false));
        }
        QVERIFY(untimed.contains(fingerprint(saved, false)));
    }

    // Only changes inside a step are kept: loading, the editor's stores and lone calls are not
    // steps. Nested steps are one. A step that changes nothing is no step. A new step drops what
    // was undone, and the limit drops the oldest.
    void steps_areWhatTheUserDid()
    {
        const IQBDocumentPtr document = sample();
        TQBUndoStack &stack = document->UndoStack();
        QCOMPARE(stack.Count(), 0);
        find(document, QStringLiteral("Kitchen"))->SetContent(rtf(QStringLiteral("typed")));
        find(document, QStringLiteral("Kitchen"))->SetCaption(QStringLiteral("Cooking"));
        QCOMPARE(stack.Count(), 0);
        {
            const TQBUndoScope outer(*document, ukMarker, find(document, QStringLiteral("Cooking")));
            const TQBUndoScope inner(*document, ukRename, nullptr);
            find(document, QStringLiteral("Cooking"))->SetMark(3);
            find(document, QStringLiteral("Cooking"))->SetMark(4);
        }
        QCOMPARE(stack.Count(), 1);
        QCOMPARE(int(stack.UndoStep()->Kind()), int(ukMarker));
        {
            const TQBUndoScope nothing(*document, ukRename, nullptr);
            find(document, QStringLiteral("Cooking"))->SetCaption(QStringLiteral("Other"));
            find(document, QStringLiteral("Other"))->SetCaption(QStringLiteral("Cooking"));
            document->MoveUp(document->Root()->Items()->First());
        }
        QCOMPARE(stack.Count(), 1);
        stack.Undo();
        {
            const TQBUndoScope scope(*document, ukRename, find(document, QStringLiteral("Cooking")));
            find(document, QStringLiteral("Cooking"))->SetCaption(QStringLiteral("Food"));
        }
        QCOMPARE(stack.Count(), 1);
        QVERIFY(!stack.CanRedo());
        stack.SetLimit(3);
        for (int i = 0; i < 5; ++i) {
            const TQBUndoScope scope(*document, ukRename, document->Root());
            document->Root()->SetCaption(QString::number(i));
        }
        QCOMPARE(stack.Count(), 3);
        stack.Undo();
        stack.Undo();
        stack.Undo();
        QVERIFY(!stack.CanUndo());
        QCOMPARE(document->Root()->Caption(), QStringLiteral("1"));

        // A read document starts with an empty history.
        QTemporaryDir dir;
        QBWriteDocument(document, dir.filePath(QStringLiteral("d.xqb")));
        QCOMPARE(QBReadDocument(dir.filePath(QStringLiteral("d.xqb")))->UndoStack().Count(), 0);
    }

    // Typing stored into a body after a split would be lost by taking the split back: refused with
    // a message, and nothing changes.
    void bodyEditedSince_isNotOverwritten()
    {
        const IQBDocumentPtr document = sample();
        step(ukSplit, QStringLiteral("Kitchen"),
             [](const IQBDocumentPtr &d) { splitInto(d, QStringLiteral("Kitchen")); })(document);
        find(document, QStringLiteral("Kitchen"))->SetContent(rtf(QStringLiteral("first half, and more")));
        const QString before = fingerprint(document);
        const QString message = messageOf([&] { document->UndoStack().Undo(); });
        QVERIFY2(message.contains(QStringLiteral("'Kitchen'")), qPrintable(message));
        QCOMPARE(fingerprint(document), before);
        QVERIFY(document->UndoStack().CanUndo());
    }

    // Cut in one document and pasted into another: each document takes back its own half.
    void cutAndPasteBetweenDocuments()
    {
        const IQBDocumentPtr first = sample();
        const IQBDocumentPtr second = sample();
        const QString firstBefore = fingerprint(first);
        const QString secondBefore = fingerprint(second);
        step(ukCut, QString(), [](const IQBDocumentPtr &d) { d->CutArticle(find(d, QStringLiteral("Roses"))); })(first);
        step(ukPaste, QString(),
             [](const IQBDocumentPtr &d) { d->PasteArticle(find(d, QStringLiteral("Rome"))); })(second);
        QCOMPARE(find(second, QStringLiteral("Rome"))->Items()->First()->Items()->First()->Caption(),
                 QStringLiteral("Pruning"));
        second->UndoStack().Undo();
        QCOMPARE(fingerprint(second), secondBefore);
        first->UndoStack().Undo();
        QCOMPARE(fingerprint(first), firstBefore);
    }

private:
    std::shared_ptr<TQBMemoryClipboard> FClipboard;
};

QTEST_GUILESS_MAIN(tst_QBUndo)
#include "tst_QBUndo.moc"
