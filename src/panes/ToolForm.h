// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/QBGraphics.h"

#include <QMainWindow>

class TQBMarkerDictionary;

// The base of the navigation panes: a sizeable tool window that can be docked and is itself a
// dock site. Given a parent it is an ordinary child widget, so the main window can put it on a
// page of its navigation page control; without one it is a floating tool window.
class TFToolForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFToolForm(QWidget *parent = nullptr);

    // The help page that belongs to the pane.
    int HelpContext() const { return FHelpContext; }
    // F1 inside the pane opens the same page.
    void SetHelpContext(int value);

protected:
    // Paints the background of the pane's list in a stored colour (the settings' OutlineColor,
    // IndexColor …); a colour this desktop cannot show leaves it as it is.
    static void ApplyListColor(QWidget *list, TColor color);
    // The data module's markers; a pane without one (in a test, say) keeps the default markers.
    const TQBMarkerDictionary &Markers();

private:
    int FHelpContext = 0;
    TQBMarkerDictionary *FOwnMarkers = nullptr;
};
