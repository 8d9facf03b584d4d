// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "cli/CliCommands.h"
#include "cli/CliSearchExport.h"
#include "document/QBXml.h"

#include <QFile>

namespace {

// A value on one line: line breaks become the two characters \n.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

// Characters, not UTF-16 units: a surrogate pair counts once.
qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ++count;
    return count;
}

int usage(QTextStream &err, const char *command, const char *arguments)
{
    err << "Usage: quillbox-cli " << command << ' ' << arguments << '\n';
    return CliUsage;
}

// Reads a document; the parser's position, when it has one, follows its reason.
IQBDocumentPtr readDocument(const QString &fileName)
{
    try {
        return QBReadDocument(fileName);
    } catch (const EMSXMLParseError &e) {
        QString where;
        if (e.Line() > 0 && e.LinePos() > 0)
            where = QStringLiteral(" (line %1, column %2)").arg(e.Line()).arg(e.LinePos());
        else if (e.Line() > 0)
            where = QStringLiteral(" (line %1)").arg(e.Line());
        throw EMSXMLParseError(fileName + QStringLiteral(": ") + e.Message() + where, e.ErrorCode(), e.Line(),
                               e.LinePos());
    } catch (const EQBReaderError &e) {
        throw EQBReaderError(fileName + QStringLiteral(": ") + e.Message());
    }
}

int info(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return usage(err, "info", "FILE");
    const IQBDocumentPtr document = readDocument(args.at(0));
    out << "version: " << document->Version() << '\n';
    out << "encoding: " << document->Encoding() << '\n';
    out << "last-iid: " << document->LastIID() << '\n';
    out << "articles: " << document->ArticleCount() << '\n';
    out << "author: " << oneLine(document->Author()) << '\n';
    out << "copyright: " << oneLine(document->Copyright()) << '\n';
    out << "revision: " << document->Revision() << '\n';
    out << "auto-revision: " << (document->AutoRevision() ? "yes" : "no") << '\n';
    out << "remarks: " << oneLine(document->Remarks()) << '\n';
    return CliOk;
}

int tree(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return usage(err, "tree", "FILE");
    const IQBDocumentPtr document = readDocument(args.at(0));
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    for (IQBArticlePtr article = document->Root(); article; article = article->Next()) {
        const QDateTime created = DateTimeToQDateTime(article->Created());
        out << article->Level() << '\t' << article->IID() << '\t' << article->Mark() << '\t'
            << (created.isValid() ? created.toString(format) : QString()) << '\t' << characterCount(article->Content())
            << '\t' << oneLine(article->Caption()) << '\n';
    }
    return CliOk;
}

int body(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2)
        return usage(err, "body", "FILE IID");
    // Both forms are accepted: 17 and _17.
    const QString iidText = args.at(1);
    qint32 iid = 0;
    try {
        iid = StrToIID(iidText.startsWith(QLatin1Char('_')) ? iidText : QLatin1Char('_') + iidText);
    } catch (const EQBReaderError &) {
        err << "quillbox-cli: '" << iidText << "' is not an article ID.\n";
        return CliUsage;
    }
    const IQBDocumentPtr document = readDocument(args.at(0));
    const IQBArticlePtr article = document->FindArticle(iid);
    if (!article) {
        err << "quillbox-cli: " << args.at(0) << ": no article has the ID " << iid << ".\n";
        return CliBadDocument;
    }
    // The stored text exactly, without a line break added.
    out << article->Content();
    return CliOk;
}

int convert(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Q_UNUSED(out);
    QStringList files;
    QString encoding;
    bool hasEncoding = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--encoding")) {
            if (hasEncoding || i + 1 >= args.size())
                return usage(err, "convert", "IN OUT [--encoding NAME]");
            hasEncoding = true;
            encoding = args.at(++i);
        } else if (args.at(i).startsWith(QLatin1String("--encoding="))) {
            if (hasEncoding)
                return usage(err, "convert", "IN OUT [--encoding NAME]");
            hasEncoding = true;
            encoding = args.at(i).mid(11);
        } else {
            files.append(args.at(i));
        }
    }
    if (files.size() != 2 || (hasEncoding && encoding.isEmpty()))
        return usage(err, "convert", "IN OUT [--encoding NAME]");
    const IQBDocumentPtr document = readDocument(files.at(0));
    if (hasEncoding)
        document->SetEncoding(encoding);
    try {
        QBWriteDocument(document, files.at(1));
    } catch (const Exception &e) {
        err << "quillbox-cli: " << files.at(1) << ": " << e.Message() << '\n';
        return CliBadDocument;
    }
    return CliOk;
}

} // namespace

const TCliCommand CliCommands[] = {
    {"info", "FILE",
     "print the document's version, encoding, last-iid, articles, author, copyright, revision, auto-revision "
     "and remarks as 'key: value' lines",
     info},
    {"tree", "FILE",
     "print one line per article in pre-order: level, IID, marker, creation time, body length and caption, "
     "separated by tabs",
     tree},
    {"body", "FILE IID", "print the stored body (the RTF source) of the article with this IID", body},
    {"convert", "IN OUT [--encoding NAME]", "read IN and write it to OUT as version 1.1 (in NAME when given)", convert},
    {"search", "FILE PATTERN [--match-case] [--whole-words] [--titles] [--from IID]",
     "print one match per line in the order found: IID, position (-1 for a title) and caption, separated by tabs",
     CliSearch},
    {"export",
     "FILE OUT [--scope document|branch:IID|article:IID] [--format rtf|txt] [--no-titles] [--numbering] "
     "[--keep-empty]",
     "export articles as RTF or plain text (by OUT's extension unless --format is given)", CliExport},
    {"text", "FILE IID", "print the plain text of one body as the editor holds it", CliText},
    {nullptr, nullptr, nullptr, nullptr},
};
