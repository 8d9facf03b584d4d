// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ToolForm.h"

#include "document/QBMarkers.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBHelp.h"

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

const TQBMarkerDictionary &TFToolForm::Markers()
{
    if (const TQBMarkerDictionary *markers = QBAppShared().Markers)
        return *markers;
    if (!FOwnMarkers) {
        FOwnMarkers = new TQBMarkerDictionary(this);
        FOwnMarkers->LoadDefaultMarkers();
    }
    return *FOwnMarkers;
}

void TFToolForm::SetHelpContext(int value)
{
    FHelpContext = value;
    QBSetHelpContext(this, value);
}
