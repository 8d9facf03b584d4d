// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBVersion.h"
#include "cli/CliSearchExport.h"
#include "framework/NVKErrors.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>
#include <memory>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// One entry per command; later commands add themselves here.
struct TCliCommand
{
    const char *name;
    const char *summary;
    int (*run)(const QStringList &args);
};

const TCliCommand Commands[] = {
    {"search",
     "FILE PATTERN [--match-case] [--whole-words] [--titles] [--from IID]: print one match per line in the "
     "order found: IID, position (-1 for a title) and caption, separated by tabs",
     [](const QStringList &args) { return CliSearch(args, out(), err()); }},
    {"export",
     "FILE OUT [--scope document|branch:IID|article:IID] [--format rtf|txt] [--no-titles] [--numbering] "
     "[--keep-empty]: export articles as RTF or plain text (by OUT's extension unless --format is given)",
     [](const QStringList &args) { return CliExport(args, out(), err()); }},
    {"text", "FILE IID: print the plain text of one body as the editor holds it",
     [](const QStringList &args) { return CliText(args, out(), err()); }},
    {nullptr, nullptr, nullptr},
};

const char Usage[] = "Usage: quillbox-cli [--version | --help] COMMAND [ARGS...]\n"
                     "\n"
                     "The headless Quillbox tool: the program's own document, search and export code.\n"
                     "\n"
                     "Options:\n"
                     "  --version   print the version and exit\n"
                     "  --help      print this text and exit\n";

} // namespace

int main(int argc, char *argv[])
{
    // Export lays out rich text and needs fonts, hence a GUI application; without a display it draws
    // off screen. The other commands start faster without one.
    const bool gui = argc > 1 && CliNeedsGui(QString::fromLocal8Bit(argv[1]));
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        gui ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QB_VERSION_STRING));

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        QTextStream &stream = args.isEmpty() ? err() : out();
        stream << Usage;
        bool header = false;
        for (const TCliCommand &command : Commands) {
            if (!command.name)
                continue;
            if (!header)
                stream << "\nCommands:\n";
            header = true;
            stream << "  " << command.name << "\n      " << command.summary << "\n";
        }
        stream.flush();
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        out() << "quillbox-cli " << QB_VERSION_STRING << Qt::endl;
        return 0;
    }
    for (const TCliCommand &command : Commands) {
        if (!command.name || args.first() != QLatin1String(command.name))
            continue;
        try {
            const int result = command.run(args.mid(1));
            out().flush();
            return result;
        } catch (...) {
            out().flush();
            err() << "quillbox-cli: " << NVKCurrentExceptionMessage() << Qt::endl;
            return 1;
        }
    }
    err() << "quillbox-cli: unknown command '" << args.first() << "'\n" << Usage;
    return 2;
}
