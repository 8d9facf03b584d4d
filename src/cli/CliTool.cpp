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
                     "  --version          print the version and exit\n"
                     "  --help [COMMAND]   print this text, or the command's own help, and exit\n";

// The options export and print share: what they assemble and how.
#define QB_CLI_ASSEMBLY_OPTIONS                                                                                        \
    "  --scope document|branch:IID|article:IID\n"                                                                      \
    "      what to take: the whole document (the default), the article with this IID and everything below it, or\n"    \
    "      that article alone\n"                                                                                       \
    "  --no-titles   leave out the articles' captions\n"                                                               \
    "  --numbering   put each caption's number in the outline before it\n"                                             \
    "  --keep-empty  keep the articles whose body is empty (they are left out otherwise)\n"

const TCliCommand Commands[] = {
    {"info", "FILE",
     "print the document's version, encoding, last-iid, articles, author, copyright, revision, auto-revision "
     "and remarks as 'key: value' lines",
     "", CliInfo},
    {"tree", "FILE",
     "print one line per article in pre-order: level, IID, marker, creation time, body length and caption, "
     "separated by tabs",
     "", CliTree},
    {"body", "FILE IID", "print the stored body (the RTF source) of the article with this IID", "", CliBody},
    {"convert", "IN OUT [--encoding NAME]", "read IN and write it to OUT as version 1.1 (in NAME when given)",
     "  --encoding NAME   the character encoding OUT is written in, as an XML declaration names it (UTF-8,\n"
     "      UTF-16, windows-1252 ...); without it, the encoding IN was read in\n",
     CliConvert},
    {"search", "FILE PATTERN [--match-case] [--whole-words] [--titles] [--from IID]",
     "print one match per line in the order found: IID, position (-1 for a title) and caption, separated by tabs",
     "  --match-case    match upper and lower case exactly as PATTERN has them\n"
     "  --whole-words   match PATTERN only as a whole word\n"
     "  --titles        search the captions as well as the bodies\n"
     "  --from IID      search only the article with this IID and everything below it\n",
     CliSearch},
    {"export",
     "FILE OUT [--scope document|branch:IID|article:IID] [--format rtf|txt] [--no-titles] [--numbering] "
     "[--keep-empty]",
     "export articles as RTF or plain text (by OUT's extension unless --format is given)",
     QB_CLI_ASSEMBLY_OPTIONS
     "  --format rtf|txt   write RTF or plain text; without it, plain text when OUT ends in .txt and RTF\n"
     "      otherwise\n",
     CliExport},
    {"print",
     "FILE OUT.pdf [--scope document|branch:IID|article:IID] [--no-titles] [--numbering] [--keep-empty] "
     "[--paper A4|Letter] [--margins MM]",
     "print articles to a PDF file, paginated as the program prints them (paper by the locale and the printer's "
     "margins unless given; --margins sets all four in millimetres)",
     QB_CLI_ASSEMBLY_OPTIONS
     "  --paper A4|Letter   the paper; without it, Letter where the locale measures in inches and A4\n"
     "      elsewhere\n"
     "  --margins MM   all four margins in millimetres; without it, the margins of a fresh program\n",
     CliPrint},
    {"text", "FILE IID", "print the plain text of one body as the editor holds it", "", CliText},
};

#undef QB_CLI_ASSEMBLY_OPTIONS

void printHelp(QTextStream &stream)
{
    stream << Usage << "\nCommands:\n";
    for (const TCliCommand &command : Commands)
        stream << "  " << command.Name << ' ' << command.Arguments << "\n      " << command.Summary << "\n";
    stream << "\nquillbox-cli --help COMMAND (or quillbox-cli COMMAND --help) prints a command's options.\n";
    stream << "\nExit status: " << ceOk << " on success, " << ceBadFile
           << " for a document that cannot be read or written, " << ceUsage << " for wrong usage.\n";
}

void printCommandHelp(const TCliCommand &command, QTextStream &stream)
{
    QString summary = QString::fromUtf8(command.Summary);
    if (!summary.isEmpty())
        summary[0] = summary.at(0).toUpper();
    stream << "Usage: quillbox-cli " << command.Name << ' ' << command.Arguments << "\n\n" << summary << ".\n";
    if (*command.Options)
        stream << "\nOptions:\n" << command.Options;
}

const TCliCommand *findCommand(const QString &name)
{
    const auto found = std::find_if(std::begin(Commands), std::end(Commands),
                                    [&](const TCliCommand &command) { return name == QLatin1String(command.Name); });
    return found != std::end(Commands) ? &*found : nullptr;
}

bool isHelpOption(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
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
    } else if (args.first() == QLatin1String("--version")) {
        out << "quillbox-cli " << QB_VERSION_STRING << '\n';
        code = ceOk;
    } else if (isHelpOption(args.first()) && args.size() == 1) {
        printHelp(out);
        code = ceOk;
    } else {
        // "--help COMMAND" and "COMMAND --help" both print the command's own help.
        const bool help = isHelpOption(args.first()) || (args.size() == 2 && isHelpOption(args.at(1)));
        const QString name = isHelpOption(args.first()) ? args.at(1) : args.first();
        const TCliCommand *command = findCommand(name);
        if (!command) {
            err << "quillbox-cli: unknown command '" << name << "'\n" << Usage;
        } else if (help) {
            printCommandHelp(*command, out);
            code = ceOk;
        } else {
            code = runCommand(*command, args.mid(1), out, err);
        }
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
