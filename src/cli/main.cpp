// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBVersion.h"
#include "cli/CliTool.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

int main(int argc, char *argv[])
{
    // Export and print lay out rich text and need fonts, hence a GUI application; without a display
    // they draw off screen. The other commands start faster without one.
    // A command's own --help needs no fonts either.
    const bool help = argc > 2 && (qstrcmp(argv[2], "--help") == 0 || qstrcmp(argv[2], "-h") == 0);
    const bool gui = argc > 1 && CliNeedsGui(QString::fromLocal8Bit(argv[1])) && !help;
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        gui ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QB_VERSION_STRING));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return CliRun(QCoreApplication::arguments().mid(1), out, err);
}
