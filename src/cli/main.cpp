// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBVersion.h"
#include "cli/CliCommands.h"
#include "cli/CliSearchExport.h"
#include "base/NVKErrors.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>
#include <memory>

namespace {

const char Usage[] = "Usage: quillbox-cli [--version | --help] COMMAND [ARGS...]\n"
                     "\n"
                     "The headless Quillbox tool: the program's own document, search and export code.\n"
                     "\n"
                     "Options:\n"
                     "  --version   print the version and exit\n"
                     "  --help      print this text and exit\n";

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
        for (const TCliCommand *command = CliCommands; command->name; ++command) {
            if (!header)
                stream << "\nCommands:\n";
            header = true;
            stream << "  " << command->name << ' ' << command->arguments << "\n      " << command->summary << "\n";
        }
        stream << "\nExit status: 0 on success, 1 for a document that cannot be read or written, 2 for wrong usage.\n";
        stream.flush();
        return args.isEmpty() ? CliUsage : CliOk;
    }
    if (args.first() == QLatin1String("--version")) {
        out() << "quillbox-cli " << QB_VERSION_STRING << Qt::endl;
        return 0;
    }
    for (const TCliCommand *command = CliCommands; command->name; ++command) {
        if (args.first() != QLatin1String(command->name))
            continue;
        int result = CliBadDocument;
        try {
            result = command->run(args.mid(1), out(), err());
        } catch (...) {
            out().flush();
            err() << "quillbox-cli: " << NVKCurrentExceptionMessage() << Qt::endl;
            return CliBadDocument;
        }
        out().flush();
        err().flush();
        return result;
    }
    err() << "quillbox-cli: unknown command '" << args.first() << "'\n" << Usage;
    return CliUsage;
}
