// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;
class TNVKLocalizer;
class TQBMarkerDictionary;

// Sets the marker of an article and, when asked, of its whole subtree.
class TFMarkerDlg : public QDialog
{
    Q_OBJECT

public:
    TFMarkerDlg(const TQBMarkerDictionary &markers, QWidget *owner = nullptr);

    // Fills the list and runs the dialog for article; nothing for none. True when a marker was set.
    bool Execute(const IQBArticlePtr &article);
    // Loads the list for article without running the dialog.
    void Prepare(const IQBArticlePtr &article);
    // Gives article marker m, and every article below it when children is set.
    static void ApplyMarker(const IQBArticlePtr &article, int marker, bool children);

    void btnOKClick();
    // Shows the dialog's page in the help window.
    void btnHelpClick();

    static constexpr int HelpContext = 400;

private:
    void lvMarkersSelectItem();

    const TQBMarkerDictionary &FMarkers;
    QListWidget *lvMarkers;
    QCheckBox *cbChildren;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;
    TNVKLocalizer *xlMarker = nullptr;
    IQBArticlePtr FArticle;
};
