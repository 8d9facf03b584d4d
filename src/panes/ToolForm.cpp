// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ToolForm.h"

TFToolForm::TFToolForm(QWidget *parent) : QMainWindow(parent)
{
    // A main window is always made a window of its own; a docked pane must be a plain child.
    setWindowFlags(parent ? Qt::Widget : Qt::Tool);
    setObjectName(QStringLiteral("FToolForm"));
    setDockNestingEnabled(true);
    setDockOptions(dockOptions() | QMainWindow::AllowTabbedDocks);
}
