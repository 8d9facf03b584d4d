// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ToolForm.h"

#include "platform/NVKLocalizer.h"

TFToolForm::TFToolForm(QWidget *parent) : QMainWindow(parent)
{
    // A main window is always made a window of its own; a docked pane must be a plain child.
    setWindowFlags(parent ? Qt::Widget : Qt::Tool);
    setObjectName(QStringLiteral("FToolForm"));
    setDockNestingEnabled(true);
    setDockOptions(dockOptions() | QMainWindow::AllowTabbedDocks);
}

void TFToolForm::ApplyListColor(QWidget *list, TColor color)
{
    const QColor shown = NVKColorToQColor(color, list->palette());
    if (!shown.isValid())
        return;
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, shown);
    list->setPalette(palette);
}
