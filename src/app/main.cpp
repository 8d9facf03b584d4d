// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKInit.h"
#include "platform/QBApplication.h"
#include "platform/QBImages.h"

#include <QMainWindow>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    NVKInitializeCore();
    int result = 0;
    {
        TQBApplication app(argc, argv);
        app.setApplicationDisplayName(QStringLiteral("Quillbox"));
        app.setWindowIcon(QBApplicationIcon());
        QSplashScreen splash(QBSplashPixmap());
        splash.show();
        app.processEvents();

        QMainWindow frame;
        frame.setObjectName(QStringLiteral("FAppFrame"));
        frame.setWindowTitle(QStringLiteral("Quillbox"));
        frame.resize(800, 600);
        frame.show();
        splash.finish(&frame);

        // A service that failed under the terminate policy during start-up ends the program here.
        if (!Core()->GetTerminated())
            result = app.exec();
    }
    NVKFinalizeCore();
    return result;
}
