// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "CliTool.h"

#include "QBVersion.h"
#include "document/QBXml.h"
#include "xml/MSXMLDoc.h"

namespace {

const char Usage[] = "Usage: quillbox-cli [--version | --help] COMMAND [ARGS...]\n"
                     "\n"
                     "The headless Quillbox tool: the program's own document, search and export code.\n"
                     "\n"
                     "Options:\n"
                     "  --version   print the version and exit\n"
                     "  --help      print this text and exit\n";

const TCliCommand Commands[] = {
    {"info", "FILE",
     "print the document's version, encoding, last-iid, articles, author, copyright, revision, auto-revision "
     "and remarks as 'key: value' lines",
     CliInfo},
    {"tree", "FILE",
     "print one line per article in pre-order: level, IID, marker, creation time, body length and caption, "
     "separated by tabs",
     CliTree},
    {"body", "FILE IID", "print the stored body (the RTF source) of the article with this IID", CliBody},
    {"convert", "IN OUT [--encoding NAME]", "read IN and write it to OUT as version 1.1 (in NAME when given)",
     CliConvert},
    {"search", "FILE PATTERN [--match-case] [--whole-words] [--titles] [--from IID]",
     "print one match per line in the order found: IID, position (-1 for a title) and caption, separated by tabs",
     CliSearch},
    {"export",
     "FILE OUT [--scope document|branch:IID|article:IID] [--format rtf|txt] [--no-titles] [--numbering] "
     "[--keep-empty]",
     "export articles as RTF or plain text (by OUT's extension unless --format is given)", CliExport},
    {"print",
     "FILE OUT.pdf [--scope document|branch:IID|article:IID] [--no-titles] [--numbering] [--keep-empty] "
     "[--paper A4|Letter] [--margins MM]",
     "print articles to a PDF file, paginated as the program prints them (paper by the locale and the printer's "
     "margins unless given; --margins sets all four in millimetres)",
     CliPrint},
    {"text", "FILE IID", "print the plain text of one body as the editor holds it", CliText},
};

void printHelp(QTextStream &stream)
{
    stream << Usage << "\nCommands:\n";
    for (const TCliCommand &command : Commands)
        stream << "  " << command.Name << ' ' << command.Arguments << "\n      " << command.Summary << "\n";
    stream << "\nExit status: " << ceOk << " on success, " << ceBadFile
           << " for a document that cannot be read or written, " << ceUsage << " for wrong usage.\n";
}

int runCommand(const TCliCommand &command, const QStringList &args, QTextStream &out, QTextStream &err)
{
    TCliExit code = ceOk;
    QString message;
    try {
        command.Run(args, out);
    } catch (const ECliUsage &) {
        out.flush();
        err << "Usage: quillbox-cli " << command.Name << ' ' << command.Arguments << '\n';
        return ceUsage;
    } catch (const ECliError &e) {
        code = e.Code();
        message = e.Message();
    } catch (...) {
        code = ceBadFile;
        message = NVKCurrentExceptionMessage();
    }
    out.flush();
    if (code != ceOk)
        err << "quillbox-cli: " << message << '\n';
    return code;
}

} // namespace

int CliRun(const QStringList &args, QTextStream &out, QTextStream &err)
{
    int code = ceUsage;
    if (args.isEmpty()) {
        printHelp(err);
    } else if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printHelp(out);
        code = ceOk;
    } else if (args.first() == QLatin1String("--version")) {
        out << "quillbox-cli " << QB_VERSION_STRING << '\n';
        code = ceOk;
    } else {
        const auto found = std::find_if(std::begin(Commands), std::end(Commands), [&](const TCliCommand &command) {
            return args.first() == QLatin1String(command.Name);
        });
        if (found != std::end(Commands))
            code = runCommand(*found, args.mid(1), out, err);
        else
            err << "quillbox-cli: unknown command '" << args.first() << "'\n" << Usage;
    }
    out.flush();
    err.flush();
    return code;
}

bool CliNeedsGui(const QString &command)
{
    return command == QLatin1String("export") || command == QLatin1String("print");
}

IQBDocumentPtr CliReadDocument(const QString &fileName)
{
    try {
        return QBReadDocument(fileName);
    } catch (const EMSXMLParseError &e) {
        QString where;
        if (e.Line() > 0 && e.LinePos() > 0)
            where = QStringLiteral(" (line %1, column %2)").arg(e.Line()).arg(e.LinePos());
        else if (e.Line() > 0)
            where = QStringLiteral(" (line %1)").arg(e.Line());
        throw ECliError(ceBadFile, fileName + QStringLiteral(": ") + e.Message() + where);
    } catch (const Exception &e) {
        throw ECliError(ceBadFile, fileName + QStringLiteral(": ") + e.Message());
    }
}

IQBArticlePtr CliFindArticle(const IQBDocumentPtr &document, const QString &fileName, qint32 iid)
{
    IQBArticlePtr article = document->FindArticle(iid);
    if (!article)
        throw ECliError(ceBadFile, QStringLiteral("%1: no article has the ID %2.").arg(fileName).arg(iid));
    return article;
}

qint32 CliParseIID(const QString &text)
{
    try {
        return StrToIID(text.startsWith(QLatin1Char('_')) ? text : QLatin1Char('_') + text);
    } catch (const EQBReaderError &) {
        throw ECliError(ceUsage, QStringLiteral("'%1' is not an article ID.").arg(text));
    }
}

void CliAbout(const QString &fileName, const std::function<void()> &work)
{
    try {
        work();
    } catch (const ECliError &) {
        throw;
    } catch (const Exception &e) {
        throw ECliError(ceBadFile, fileName + QStringLiteral(": ") + e.Message());
    }
}

QString CliOneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}
