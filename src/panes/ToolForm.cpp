// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ToolForm.h"

TFToolForm::TFToolForm(QWidget *parent) : QMainWindow(parent, parent ? Qt::Widget : Qt::Tool)
{
    setObjectName(QStringLiteral("FToolForm"));
    setDockNestingEnabled(true);
    setDockOptions(dockOptions() | QMainWindow::AllowTabbedDocks);
}
