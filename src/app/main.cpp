// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "dialogs/TipsDlg.h"
#include "editor/AppFrame.h"
#include "framework/NVKInit.h"
#include "platform/QBApplication.h"
#include "platform/QBClipboardQt.h"
#include "platform/QBImages.h"
#include "services/AppData.h"

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

        // Creating the data module starts the services and runs the start-up action.
        TDMAppData appData(QCoreApplication::arguments().mid(1));

        TFAppFrame frame;
        appData.SetMainWindow(&frame);
        frame.show();
        // Hidden at once: finish() would wait for the window manager to report the frame exposed.
        splash.close();
        TFTipsDlg::ShowTips(false, &frame);

        // A service that failed under the terminate policy during start-up ends the program here.
        if (!Core()->GetTerminated())
            result = app.exec();
    }
    NVKFinalizeCore();
    return result;
}
