// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "cli/CliSearchExport.h"

#include "document/QBXml.h"
#include "rtf/QBRtfBody.h"
#include "search/QBSearchCore.h"
#include "export/QBExportCore.h"
#include "rtf/QBRtfText.h"

#include <QTextDocument>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitBadFile = 1;
constexpr int ExitUsage = 2;

const char SearchArgs[] = "FILE PATTERN [--match-case] [--whole-words] [--titles] [--from IID]";
const char ExportArgs[] = "FILE OUT [--scope document|branch:IID|article:IID] [--format rtf|txt] [--no-titles] "
                          "[--numbering] [--keep-empty]";
const char TextArgs[] = "FILE IID";

int usage(QTextStream &err, const char *command, const char *arguments)
{
    err << "Usage: quillbox-cli " << command << ' ' << arguments << '\n';
    return ExitUsage;
}

// A caption on one line of the output.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

// Both forms are accepted: 17 and _17.
bool parseIID(const QString &text, qint32 &iid)
{
    try {
        iid = StrToIID(text.startsWith(QLatin1Char('_')) ? text : QLatin1Char('_') + text);
        return true;
    } catch (const EQBReaderError &) {
        return false;
    }
}

// Null after reporting why the document cannot be read.
IQBDocumentPtr readDocument(const QString &fileName, QTextStream &err)
{
    try {
        return QBReadDocument(fileName);
    } catch (const Exception &e) {
        err << "quillbox-cli: " << fileName << ": " << e.Message() << '\n';
        return {};
    }
}

IQBArticlePtr findArticle(const IQBDocumentPtr &document, const QString &fileName, qint32 iid, QTextStream &err)
{
    const IQBArticlePtr article = document->FindArticle(iid);
    if (!article)
        err << "quillbox-cli: " << fileName << ": no article has the ID " << iid << ".\n";
    return article;
}

} // namespace

bool CliNeedsGui(const QString &command)
{
    return command == QLatin1String("export");
}

int CliSearch(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList positional;
    TQBSearchOptions options;
    bool titles = false;
    QString from;
    bool hasFrom = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--match-case"))
            options |= soMatchCase;
        else if (arg == QLatin1String("--whole-words"))
            options |= soWholeWord;
        else if (arg == QLatin1String("--titles"))
            titles = true;
        else if (arg == QLatin1String("--from") && i + 1 < args.size() && !hasFrom) {
            from = args.at(++i);
            hasFrom = true;
        } else if (arg.startsWith(QLatin1String("--")))
            return usage(err, "search", SearchArgs);
        else
            positional.append(arg);
    }
    if (positional.size() != 2)
        return usage(err, "search", SearchArgs);
    const QString pattern = positional.at(1);
    if (pattern.isEmpty()) {
        err << "quillbox-cli: the pattern is empty.\n";
        return ExitUsage;
    }
    qint32 fromIID = 0;
    if (hasFrom && !parseIID(from, fromIID)) {
        err << "quillbox-cli: '" << from << "' is not an article ID.\n";
        return ExitUsage;
    }

    const IQBDocumentPtr document = readDocument(positional.at(0), err);
    if (!document)
        return ExitBadFile;
    IQBArticlePtr start;
    if (hasFrom && !(start = findArticle(document, positional.at(0), fromIID, err)))
        return ExitBadFile;

    TQBSearch search(pattern, options, titles);
    search.SetSink([&out](const TQBSearchMatch &match) {
        out << match.ArticleID << '\t' << match.Position << '\t' << oneLine(match.Caption) << '\n';
    });
    try {
        search.Run(document, start);
    } catch (const Exception &e) {
        out.flush();
        err << "quillbox-cli: " << positional.at(0) << ": " << e.Message() << '\n';
        return ExitBadFile;
    }
    return ExitOk;
}

int CliText(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2)
        return usage(err, "text", TextArgs);
    qint32 iid = 0;
    if (!parseIID(args.at(1), iid)) {
        err << "quillbox-cli: '" << args.at(1) << "' is not an article ID.\n";
        return ExitUsage;
    }
    const IQBDocumentPtr document = readDocument(args.at(0), err);
    if (!document)
        return ExitBadFile;
    const IQBArticlePtr article = findArticle(document, args.at(0), iid, err);
    if (!article)
        return ExitBadFile;
    // The text exactly as the editor holds it, so that search positions can be checked against it.
    const QString text = RtfToPlainText(QBBodyBytes(article->Content()));
    out << text;
    if (!text.isEmpty())
        out << '\n';
    return ExitOk;
}

int CliExport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Q_UNUSED(out);
    QStringList positional;
    TQBExportOptions options;
    QString scopeText = QStringLiteral("document");
    QString formatText;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--scope") && i + 1 < args.size())
            scopeText = args.at(++i);
        else if (arg == QLatin1String("--format") && i + 1 < args.size())
            formatText = args.at(++i);
        else if (arg == QLatin1String("--no-titles"))
            options.IncludeTitles = false;
        else if (arg == QLatin1String("--numbering"))
            options.Numbering = true;
        else if (arg == QLatin1String("--keep-empty"))
            options.SkipEmpty = false;
        else if (arg.startsWith(QLatin1String("--")))
            return usage(err, "export", ExportArgs);
        else
            positional.append(arg);
    }
    if (positional.size() != 2)
        return usage(err, "export", ExportArgs);
    const QString &fileName = positional.at(0);
    const QString &outName = positional.at(1);

    TQBExportFormat format = QBExportFormatOf(outName);
    if (formatText == QLatin1String("rtf"))
        format = efRtf;
    else if (formatText == QLatin1String("txt"))
        format = efText;
    else if (!formatText.isEmpty())
        return usage(err, "export", ExportArgs);

    TExportScope scope = esDocument;
    qint32 iid = 0;
    if (scopeText.startsWith(QLatin1String("branch:")) || scopeText.startsWith(QLatin1String("article:"))) {
        scope = scopeText.startsWith(QLatin1Char('b')) ? esBranch : esCurrentArticle;
        const QString iidText = scopeText.mid(scopeText.indexOf(QLatin1Char(':')) + 1);
        if (!parseIID(iidText, iid)) {
            err << "quillbox-cli: '" << iidText << "' is not an article ID.\n";
            return ExitUsage;
        }
    } else if (scopeText != QLatin1String("document")) {
        return usage(err, "export", ExportArgs);
    }

    const IQBDocumentPtr document = readDocument(fileName, err);
    if (!document)
        return ExitBadFile;
    TQBExportSource source;
    source.Document = document;
    if (scope != esDocument && !(source.Current = findArticle(document, fileName, iid, err)))
        return ExitBadFile;

    QTextDocument text;
    try {
        QBBuildExport(text, scope, source, options);
    } catch (const Exception &e) {
        err << "quillbox-cli: " << fileName << ": " << e.Message() << '\n';
        return ExitBadFile;
    }
    try {
        QBSaveExport(text, outName, format);
    } catch (const Exception &e) {
        err << "quillbox-cli: " << e.Message() << '\n';
        return ExitBadFile;
    }
    return ExitOk;
}
