// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "CliTool.h"
#include "document/QBDom.h"

#include "export/QBExportCore.h"
#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfText.h"
#include "search/QBSearchCore.h"

#include <QTextDocument>
#include <exception>

void CliSearch(const QStringList &args, QTextStream &out)
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
            throw ECliUsage();
        else
            positional.append(arg);
    }
    if (positional.size() != 2)
        throw ECliUsage();
    const QString &fileName = positional.at(0);
    const QString &pattern = positional.at(1);
    if (pattern.isEmpty())
        throw ECliError(ceUsage, QStringLiteral("the pattern is empty."));
    const qint32 fromIID = hasFrom ? CliParseIID(from) : 0;

    const IQBDocumentPtr document = CliReadDocument(fileName);
    const IQBArticlePtr start = hasFrom ? CliFindArticle(document, fileName, fromIID) : nullptr;
    TQBSearch search(pattern, options, titles);
    search.SetSink([&out](const TQBSearchMatch &match) {
        out << match.ArticleID << '\t' << match.Position << '\t' << CliOneLine(match.Caption) << '\n';
    });
    CliAbout(fileName, [&] { search.Run(document, start); });
}

void CliText(const QStringList &args, QTextStream &out)
{
    if (args.size() != 2)
        throw ECliUsage();
    const qint32 iid = CliParseIID(args.at(1));
    const IQBDocumentPtr document = CliReadDocument(args.at(0));
    const IQBArticlePtr article = CliFindArticle(document, args.at(0), iid);
    // The text exactly as the editor holds it, so that search positions can be checked against it.
    // A body of hundreds of megabytes (a pasted picture) is taken as UTF-8, not through UTF-16 text.
    const auto *own = dynamic_cast<const TQBArticle *>(article.get());
    const QString text =
        RtfToPlainText(own ? QBBodyBytesFromUtf8(own->ContentUtf8()) : QBBodyBytes(article->Content()));
    out << text;
    if (!text.isEmpty())
        out << '\n';
}

QStringList CliAssemblyArguments(const QStringList &args, qsizetype count, TCliAssembly &assembly,
                                 const std::function<bool(const QStringList &args, qsizetype &i)> &option)
{
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--scope") && i + 1 < args.size())
            assembly.Scope = args.at(++i);
        else if (arg == QLatin1String("--no-titles"))
            assembly.Options.IncludeTitles = false;
        else if (arg == QLatin1String("--numbering"))
            assembly.Options.Numbering = true;
        else if (arg == QLatin1String("--keep-empty"))
            assembly.Options.SkipEmpty = false;
        else if (option(args, i))
            continue;
        else if (arg.startsWith(QLatin1String("--")))
            throw ECliUsage();
        else
            positional.append(arg);
    }
    if (positional.size() != count)
        throw ECliUsage();
    return positional;
}

namespace {

// The scope the assembly options name and the articles it takes, read from the file.
TExportScope CliAssemblySource(const QString &fileName, const TCliAssembly &assembly, TQBExportSource &source)
{
    TExportScope scope = esDocument;
    qint32 iid = 0;
    if (assembly.Scope.startsWith(QLatin1String("branch:")) || assembly.Scope.startsWith(QLatin1String("article:"))) {
        scope = assembly.Scope.startsWith(QLatin1Char('b')) ? esBranch : esCurrentArticle;
        iid = CliParseIID(assembly.Scope.mid(assembly.Scope.indexOf(QLatin1Char(':')) + 1));
    } else if (assembly.Scope != QLatin1String("document")) {
        throw ECliUsage();
    }
    source.Document = CliReadDocument(fileName);
    if (scope != esDocument)
        source.Current = CliFindArticle(source.Document, fileName, iid);
    return scope;
}

} // namespace

void CliAssemble(QTextDocument &text, const QString &fileName, const TCliAssembly &assembly)
{
    TQBExportSource source;
    const TExportScope scope = CliAssemblySource(fileName, assembly, source);
    CliAbout(fileName, [&] { QBBuildExport(text, scope, source, assembly.Options); });
}

void CliExport(const QStringList &args, QTextStream &)
{
    TCliAssembly assembly;
    QString formatText;
    const QStringList positional = CliAssemblyArguments(args, 2, assembly, [&](const QStringList &all, qsizetype &i) {
        if (all.at(i) != QLatin1String("--format") || i + 1 >= all.size())
            return false;
        formatText = all.at(++i);
        return true;
    });
    const QString &fileName = positional.at(0);
    const QString &outName = positional.at(1);

    TQBExportFormat format = QBExportFormatOf(outName);
    if (formatText == QLatin1String("rtf"))
        format = efRtf;
    else if (formatText == QLatin1String("txt"))
        format = efText;
    else if (!formatText.isEmpty())
        throw ECliUsage();

    TQBExportSource source;
    const TExportScope scope = CliAssemblySource(fileName, assembly, source);
    // The articles go out as the bodies are read, with no document of all of them in between. A body that
    // cannot be read is the document's fault; a file that cannot be written is reported as such.
    std::exception_ptr writeError;
    CliAbout(fileName, [&] {
        try {
            if (format == efText)
                QBStreamTextExport(scope, source, assembly.Options, outName);
            else
                QBStreamRtfExport(scope, source, assembly.Options, outName);
        } catch (const EQBExportError &) {
            writeError = std::current_exception();
        }
    });
    if (writeError)
        std::rethrow_exception(writeError);
}
