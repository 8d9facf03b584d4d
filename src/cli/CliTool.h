// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"
#include "document/QBDataIntf.h"
#include "export/QBExportCore.h"

#include <QStringList>
#include <QTextStream>
#include <functional>

// Exit codes of quillbox-cli.
enum TCliExit : int {
    ceOk = 0,
    ceBadFile = 1, // a document or file that cannot be read or written
    ceUsage = 2,   // wrong usage
};

// Runs the whole tool on its arguments (without the program name): --help, --version or one command.
// Results go to out, problems to err, each problem as one "quillbox-cli: ..." line; returns the exit code.
int CliRun(const QStringList &args, QTextStream &out, QTextStream &err);

// Export and print lay out rich text and need a GUI application; the other commands do not.
bool CliNeedsGui(const QString &command);

// ---- for the commands ----

// A failure a command reports: "quillbox-cli: " and the message on standard error, then exit with Code.
class ECliError : public Exception
{
public:
    ECliError(TCliExit code, const QString &message) : Exception(message), FCode(code) {}
    TCliExit Code() const { return FCode; }

private:
    TCliExit FCode;
};

// Wrong arguments: the tool prints the command's usage line and exits with ceUsage.
class ECliUsage : public ECliError
{
public:
    ECliUsage() : ECliError(ceUsage, QString()) {}
};

// One command: it prints results to out and raises ECliError (or any Exception, reported as ceBadFile).
struct TCliCommand
{
    const char *Name;
    const char *Arguments;
    const char *Summary;
    // One "  --option VALUE   what it does" line per option, for the command's own --help.
    const char *Options;
    void (*Run)(const QStringList &args, QTextStream &out);
};

// Reads a document; a failure names the file, and the line and column when the parser gives them.
IQBDocumentPtr CliReadDocument(const QString &fileName);
// The article with this IID, or an ECliError naming the file.
IQBArticlePtr CliFindArticle(const IQBDocumentPtr &document, const QString &fileName, qint32 iid);
// An article ID in either form, 17 or _17; an ECliError (ceUsage) for anything else.
qint32 CliParseIID(const QString &text);
// Runs work and reports any failure it raises as a ceBadFile error about fileName.
void CliAbout(const QString &fileName, const std::function<void()> &work);
// A value on one line of tab-separated output: line breaks become \n, tabs \t.
QString CliOneLine(QString text);

// What export and print assemble: the scope as given ("document", "branch:IID", "article:IID") and the options.
struct TCliAssembly
{
    QString Scope = QStringLiteral("document");
    TQBExportOptions Options;
};
// The arguments of export and print without their options: the assembly options (--scope with its
// value, --no-titles, --numbering, --keep-empty) go into assembly; option takes the command's own (it
// reads args[i], moves i past a value and returns true, or returns false). Any other "--" is a usage
// error, and so is a count of positional arguments other than count.
QStringList CliAssemblyArguments(const QStringList &args, qsizetype count, TCliAssembly &assembly,
                                 const std::function<bool(const QStringList &args, qsizetype &i)> &option);
// Reads the document and assembles its articles into text; a bad scope is a usage error.
void CliAssemble(QTextDocument &text, const QString &fileName, const TCliAssembly &assembly);

// The commands (CliDocumentCommands.cpp, CliSearchExport.cpp, CliPrint.cpp).
void CliInfo(const QStringList &args, QTextStream &out);
void CliTree(const QStringList &args, QTextStream &out);
void CliBody(const QStringList &args, QTextStream &out);
void CliConvert(const QStringList &args, QTextStream &out);
void CliSearch(const QStringList &args, QTextStream &out);
void CliText(const QStringList &args, QTextStream &out);
void CliExport(const QStringList &args, QTextStream &out);
void CliPrint(const QStringList &args, QTextStream &out);
