// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBProgram.h"
#include "app/AppFrame.h"
#include "app/QBApplication.h"
#include "app/QBCommandLine.h"
#include "app/QBInstance.h"
#include "dialogs/TipsDlg.h"
#include "framework/NVKInit.h"
#include "platform/QBClipboardQt.h"
#include "platform/QBImages.h"

#include <QSplashScreen>
#include <QTextStream>

namespace {

int runProgram(TQBApplication &app, const QStringList &arguments)
{
    QBInstallSystemClipboard();
    QSplashScreen splash(QBSplashPixmap());
    splash.show();
    splash.repaint();
    app.processEvents();

    TQBProgram program(arguments);
    TQBInstanceServer instance(program.Frame());
    // Hidden at once: finish() would wait for the window manager to report the frame exposed.
    splash.close();
    TFTipsDlg::ShowTips(false, program.Frame());

    // A service that failed under the terminate policy during start-up ends the program here.
    if (!program.CanRun())
        return 0;
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int result = 0;
    QTextStream out(stdout);
    if (QBAnswerInfoOption(arguments, out, result))
        return result;

    NVKInitializeCore();
    {
        TQBApplication app(argc, argv);
        app.setApplicationDisplayName(QStringLiteral("Quillbox"));
        app.setWindowIcon(QBApplicationIcon());
        // Lets Wayland desktops match the windows to the launcher and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral("example.brindlewood.Quillbox"));
        // A document that a running Quillbox already has open goes to that window instead.
        const QStringList documents = QCoreApplication::arguments().mid(1);
        if (documents.isEmpty() || !QBForwardToRunningInstance(documents.first()))
            result = runProgram(app, documents);
    }
    NVKFinalizeCore();
    return result;
}
