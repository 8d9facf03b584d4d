// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBVersion.h"
#include "framework/NVKErrors.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

// One entry per command; later commands add themselves here.
struct TCliCommand {
    const char *name;
    const char *summary;
    int (*run)(const QStringList &args);
};

const TCliCommand Commands[] = {
    {nullptr, nullptr, nullptr},
};

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
    QCoreApplication app(argc, argv);
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
            return command.run(args.mid(1));
        } catch (...) {
            err() << "quillbox-cli: " << NVKCurrentExceptionMessage() << Qt::endl;
            return 1;
        }
    }
    err() << "quillbox-cli: unknown command '" << args.first() << "'\n" << Usage;
    return 2;
}
