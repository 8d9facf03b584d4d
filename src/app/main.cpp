// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBProgram.h"
#include "app/AppFrame.h"
#include "app/QBApplication.h"
#include "dialogs/TipsDlg.h"
#include "framework/NVKInit.h"
#include "platform/QBClipboardQt.h"
#include "platform/QBImages.h"

#include <QSplashScreen>

int main(int argc, char *argv[])
{
    NVKInitializeCore();
    int result = 0;
    {
        TQBApplication app(argc, argv);
        app.setApplicationDisplayName(QStringLiteral("Quillbox"));
        app.setWindowIcon(QBApplicationIcon());
        QBInstallSystemClipboard();
        QSplashScreen splash(QBSplashPixmap());
        splash.show();
        splash.repaint();
        app.processEvents();

        TQBProgram program(QCoreApplication::arguments().mid(1));
        // Hidden at once: finish() would wait for the window manager to report the frame exposed.
        splash.close();
        TFTipsDlg::ShowTips(false, program.Frame());

        // A service that failed under the terminate policy during start-up ends the program here.
        if (program.CanRun())
            result = app.exec();
    }
    NVKFinalizeCore();
    return result;
}
