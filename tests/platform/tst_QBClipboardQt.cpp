// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "platform/QBClipboardQt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

class TestQBClipboardQt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }
    void cleanup() { QBSetArticleClipboard(nullptr); }

    void copy_placesUtf8UnderTheArticleMimeType()
    {
        IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr article = document->AddChild(document->Root());
        article->SetCaption(QStringLiteral("Grüße 😀"));
        TQBClipboard clipboard;
        QVERIFY(!clipboard.HasFormat());
        clipboard.Copy(article);
        QVERIFY(clipboard.HasFormat());
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->data(QStringLiteral("application/x-quillbox-article")),
                 QStringLiteral("<Article Caption=\"Grüße 😀\"/>").toUtf8());
    }

    void paste_dataPlacedByAnotherInstance_buildsArticles()
    {
        auto *mime = new QMimeData;
        mime->setData(
            QStringLiteral("application/x-quillbox-article"),
            QStringLiteral("<Article Caption=\"Привет\" Mark=\"3\"><Items><Article Caption=\"Child\"/></Items>"
                           "</Article>")
                .toUtf8());
        QGuiApplication::clipboard()->setMimeData(mime);
        IQBDocumentPtr document = NewQBDocument();
        QBInstallSystemClipboard();
        QVERIFY(document->CanPaste());
        const IQBArticlePtr pasted = document->PasteArticle(document->Root());
        QVERIFY(pasted);
        QCOMPARE(pasted->Caption(), QStringLiteral("Привет"));
        QCOMPARE(pasted->Mark(), quint8(3));
        QCOMPARE(pasted->Items()->First()->Caption(), QStringLiteral("Child"));
        QCOMPARE(document->ArticleCount(), 3);
    }

    void cut_thenPaste_movesTheSubtreeWithNewIIDs()
    {
        IQBDocumentPtr document = NewQBDocument();
        QBInstallSystemClipboard();
        const IQBArticlePtr a = document->AddChild(document->Root());
        a->SetCaption(QStringLiteral("A"));
        a->SetContent(QStringLiteral("{\\rtf1 ]]>\n}"));
        document->AddChild(a)->SetCaption(QStringLiteral("A1"));
        const IQBArticlePtr b = document->AddChild(document->Root());
        document->CutArticle(a);
        QCOMPARE(document->ArticleCount(), 2);
        const IQBArticlePtr pasted = document->PasteArticle(b);
        QCOMPARE(pasted->Caption(), QStringLiteral("A"));
        QCOMPARE(pasted->Content(), QStringLiteral("{\\rtf1 ]]>\n}"));
        QCOMPARE(pasted->IID(), 4);
        QCOMPARE(pasted->Items()->First()->IID(), 5);
        QCOMPARE(document->ArticleCount(), 4);
    }

    void otherClipboardContents_offerNoArticle()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("<Article Caption=\"plain text\"/>"));
        TQBClipboard clipboard;
        QVERIFY(!clipboard.HasFormat());
        IQBDocumentPtr document = NewQBDocument();
        QVERIFY(!clipboard.Paste(document->Root()));
        QCOMPARE(document->ArticleCount(), 1);
    }
};

QTEST_MAIN(TestQBClipboardQt)
#include "tst_QBClipboardQt.moc"
