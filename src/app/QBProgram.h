// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <memory>

class TDMAppData;
class TFAppFrame;

// The running program: the data module with its services, then the main window over it, shown.
// The desktop program and the tests that drive it as a user would both start it this way.
class TQBProgram
{
public:
    // arguments: the command line without the program; its first entry is a document to open.
    // The start-up action has run when this returns, and the main window is on screen.
    explicit TQBProgram(const QStringList &arguments);
    // The main window goes first, so its panes and services unbind before the data module stops.
    ~TQBProgram();
    TQBProgram(const TQBProgram &) = delete;
    TQBProgram &operator=(const TQBProgram &) = delete;

    TDMAppData *AppData() const { return FAppData.get(); }
    TFAppFrame *Frame() const { return FFrame.get(); }

    // False when a service ended the program while it started.
    bool CanRun() const;

private:
    std::unique_ptr<TDMAppData> FAppData;
    std::unique_ptr<TFAppFrame> FFrame;
};
