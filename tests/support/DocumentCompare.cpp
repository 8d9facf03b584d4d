// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/DocumentCompare.h"

#include <cmath>

QString rtf(const QString &text)
{
    return QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ") + text +
           QStringLiteral("\\par\n}");
}

IQBArticlePtr addArticle(const IQBDocumentPtr &document, const IQBArticlePtr &parent, const QString &caption,
                         const QString &body)
{
    const IQBArticlePtr article = document->AddChild(parent);
    article->SetCaption(caption);
    article->SetContent(body);
    return article;
}

qint64 secondsOf(TDateTime value)
{
    return qint64(std::llround(value * 86400.0));
}

IQBDocumentPtr sampleDocument()
{
    IQBDocumentPtr document = NewQBDocument();
    document->SetAuthor(QStringLiteral("Zoë \"Z\" <Øster> & 日本語 😀"));
    document->SetCopyright(QStringLiteral("© 2026\tBrindlewood"));
    document->SetAutoRevision(true);
    document->SetRevision(-7);
    document->SetRemarks(QStringLiteral("First line\r\nSecond line\nThird\rFourth  "));
    const IQBArticlePtr root = document->Root();
    root->SetCaption(QStringLiteral("Notebook 😀"));
    root->SetCreated(EncodeDateTime(2004, 2, 29, 23, 59, 58));
    const IQBArticlePtr a = document->AddChild(root);
    a->SetCaption(QStringLiteral("Tab\there, line\nbreak, CR\rand \"quotes\" & 'apostrophes' <tags>"));
    a->SetMark(5);
    a->SetCreated(EncodeDateTime(1999, 12, 31, 0, 0, 1));
    a->SetContent(rtf(QStringLiteral("ends ]]> and ]]]]>> and <![CDATA[ nested\n\\u8364?")));
    const IQBArticlePtr a1 = document->AddChild(a);
    a1->SetCaption(QStringLiteral("Привет, мир"));
    a1->SetMark(255);
    a1->SetCreated(EncodeDateTime(2026, 1, 2, 3, 4, 5));
    a1->SetContent(QStringLiteral("]]>"));
    const IQBArticlePtr a2 = document->AddChild(a);
    a2->SetCaption(QString());
    a2->SetIID(-42);
    a2->SetCreated(EncodeDateTime(1900, 1, 1, 12, 0, 0));
    a2->SetContent(QStringLiteral("Grüße 😀 \n\n plain text body"));
    const IQBArticlePtr b = document->AddChild(root);
    b->SetCaption(QStringLiteral("  spaces kept  "));
    b->SetCreated(EncodeDateTime(2010, 6, 7, 8, 9, 10));
    return document;
}

void compareDocuments(const IQBDocumentPtr &actual, const IQBDocumentPtr &expected, bool compareTimes,
                      bool compareMarks)
{
    QCOMPARE(actual->Author(), expected->Author());
    QCOMPARE(actual->Copyright(), expected->Copyright());
    QCOMPARE(actual->AutoRevision(), expected->AutoRevision());
    QCOMPARE(actual->Revision(), expected->Revision());
    QCOMPARE(actual->Remarks(), expected->Remarks());
    QCOMPARE(actual->LastIID(), expected->LastIID());
    QCOMPARE(actual->ArticleCount(), expected->ArticleCount());
    IQBArticlePtr a = actual->Root();
    IQBArticlePtr e = expected->Root();
    while (a && e) {
        QCOMPARE(a->Level(), e->Level());
        QCOMPARE(a->IID(), e->IID());
        QCOMPARE(a->Caption(), e->Caption());
        QCOMPARE(a->Content(), e->Content());
        QCOMPARE(a->Items()->Count(), e->Items()->Count());
        if (compareMarks)
            QCOMPARE(a->Mark(), e->Mark());
        if (compareTimes)
            QCOMPARE(secondsOf(a->Created()), secondsOf(e->Created()));
        a = a->Next();
        e = e->Next();
    }
    QVERIFY(!a && !e);
}
