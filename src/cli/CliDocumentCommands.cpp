// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "CliTool.h"

#include "document/QBXml.h"

namespace {

// Characters, not UTF-16 units: a surrogate pair counts once.
qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ++count;
    return count;
}

} // namespace

void CliInfo(const QStringList &args, QTextStream &out)
{
    if (args.size() != 1)
        throw ECliUsage();
    const IQBDocumentPtr document = CliReadDocument(args.at(0));
    out << "version: " << document->Version() << '\n';
    out << "encoding: " << document->Encoding() << '\n';
    out << "last-iid: " << document->LastIID() << '\n';
    out << "articles: " << document->ArticleCount() << '\n';
    out << "author: " << CliOneLine(document->Author()) << '\n';
    out << "copyright: " << CliOneLine(document->Copyright()) << '\n';
    out << "revision: " << document->Revision() << '\n';
    out << "auto-revision: " << (document->AutoRevision() ? "yes" : "no") << '\n';
    out << "remarks: " << CliOneLine(document->Remarks()) << '\n';
}

void CliTree(const QStringList &args, QTextStream &out)
{
    if (args.size() != 1)
        throw ECliUsage();
    const IQBDocumentPtr document = CliReadDocument(args.at(0));
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    for (IQBArticlePtr article = document->Root(); article; article = article->Next()) {
        const QDateTime created = DateTimeToQDateTime(article->Created());
        out << article->Level() << '\t' << article->IID() << '\t' << article->Mark() << '\t'
            << (created.isValid() ? created.toString(format) : QString()) << '\t' << characterCount(article->Content())
            << '\t' << CliOneLine(article->Caption()) << '\n';
    }
}

void CliBody(const QStringList &args, QTextStream &out)
{
    if (args.size() != 2)
        throw ECliUsage();
    const qint32 iid = CliParseIID(args.at(1));
    const IQBDocumentPtr document = CliReadDocument(args.at(0));
    // The stored text exactly, without a line break added.
    out << CliFindArticle(document, args.at(0), iid)->Content();
}

void CliConvert(const QStringList &args, QTextStream &)
{
    QStringList files;
    QString encoding;
    bool hasEncoding = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--encoding")) {
            if (hasEncoding || i + 1 >= args.size())
                throw ECliUsage();
            hasEncoding = true;
            encoding = args.at(++i);
        } else if (args.at(i).startsWith(QLatin1String("--encoding="))) {
            if (hasEncoding)
                throw ECliUsage();
            hasEncoding = true;
            encoding = args.at(i).mid(11);
        } else {
            files.append(args.at(i));
        }
    }
    if (files.size() != 2 || (hasEncoding && encoding.isEmpty()))
        throw ECliUsage();
    const IQBDocumentPtr document = CliReadDocument(files.at(0));
    if (hasEncoding)
        document->SetEncoding(encoding);
    CliAbout(files.at(1), [&] { QBWriteDocument(document, files.at(1)); });
}
