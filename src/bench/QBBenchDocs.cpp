// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBenchDocs.h"

#include "document/QBDom.h"

#include <QList>

QString QBBenchBody(const QString &word)
{
    QString body = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 ");
    if (!word.isEmpty())
        body += word + QLatin1Char(' ');
    while (body.size() < 3000)
        body += QStringLiteral("Lorem ipsum dolor sit amet, \\b consectetur\\b0  adipiscing elit.\\par ");
    body += QLatin1Char('}');
    return body;
}

IQBDocumentPtr QBBenchDocument(int articles, const QString &word, int every)
{
    const QString plain = QBBenchBody();
    const QString marked = QBBenchBody(word);
    IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Benchmark"));
    QList<IQBArticlePtr> parents{document->Root()};
    qsizetype next = 0;
    for (int i = 0; i < articles; ++i) {
        const IQBArticlePtr parent = parents.at(next);
        const IQBArticlePtr article = document->AddChild(parent);
        article->SetCaption(QStringLiteral("Article %1").arg(i));
        article->SetContent(every > 0 && i % every == 0 ? marked : plain);
        parents.append(article);
        if (parent->Items()->Count() == 10)
            ++next;
    }
    return document;
}
