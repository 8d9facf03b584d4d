// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

// The desktop program's application object. Its notify is the one place where an exception that
// reaches the event loop is caught and shown, because an exception must never cross Qt's loop.
class TQBApplication : public QApplication
{
    Q_OBJECT

public:
    TQBApplication(int &argc, char **argv);
    ~TQBApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error to the user in a modal message box.
    static void ShowError(const QString &message);
};
