// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBCommandLine.h"

#include "QBVersion.h"

#include <QTextStream>

QString QBProgramHelpText()
{
    return QStringLiteral(
        "Usage: quillbox [--version | --help] [FILE]\n"
        "\n"
        "Quillbox, the notes organiser: a tree of articles with formatted text, markers, links, an index,\n"
        "a search that runs in the background, printing and export.\n"
        "\n"
        "FILE is a Quillbox document (.xqb) to open. When a running Quillbox already has FILE open, its\n"
        "window comes to the front instead. Without FILE the start-up action of the settings decides.\n"
        "\n"
        "Options:\n"
        "  --version   print the version and exit\n"
        "  --help      print this text and exit\n"
        "\n"
        "Files:\n"
        "  ~/.config/Brindlewood/Quillbox.reg\n"
        "      settings, history lists and window layouts ($XDG_CONFIG_HOME when set)\n"
        "  PREFIX/share/quillbox\n"
        "      the tips of the day (tips.txt), the help pages (help/) and the language files (Language/)\n"
        "\n"
        "See also: quillbox-cli(1), the same documents without a window.\n");
}

bool QBAnswerInfoOption(const QStringList &arguments, QTextStream &out, int &exitCode)
{
    if (arguments.isEmpty())
        return false;
    const QString &first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out << QBProgramHelpText();
    } else if (first == QLatin1String("--version")) {
        out << "quillbox " << QB_VERSION_STRING << '\n';
    } else {
        return false;
    }
    out.flush();
    exitCode = 0;
    return true;
}
