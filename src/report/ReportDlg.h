// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "export/QBExportCore.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;
class TQBExportHelper;
class TNVKLocalizer;

// What the print and the export dialog share: a page of scopes, a page of options, the buttons
// beside them, and an export helper that assembles the chosen text once for all its uses.
class TFReportDlg : public QDialog
{
    Q_OBJECT

public:
    // The texts and names that tell the two dialogs apart.
    struct TTexts
    {
        const char *Name;
        const char *Caption;
        const char *ScopeTab;
        const char *ScopeTabName;
        const char *ScopeHeader;
        const char *ScopeHeaderName;
        const char *OptionsHeader;
        const char *EmptyCaption;
        const char *TitlesCaption;
        const char *NumbersCaption;
        const char *LocalizerName;
        int HelpContext;
    };

    // Shows the scope page, offers the selection only when the editor has one, and runs the dialog.
    int Execute();
    // Copies the choices into the helper; a choice that did not change keeps what it assembled.
    void ApplyChoices();
    // Shows the assembled text in the print preview.
    void btnPreviewClick();
    // Opens the help page of the page in front.
    void btnHelpClick();
    void cbTitlesClick();

    TQBExportHelper *Helper() const { return FHelper; }

    QTabWidget *pcPages = nullptr;
    QWidget *tabScope = nullptr;
    QWidget *tabOptions = nullptr;
    QLabel *stScope = nullptr;
    QLabel *stOptions = nullptr;
    QRadioButton *rbSelection = nullptr;
    QRadioButton *rbCurrent = nullptr;
    QRadioButton *rbOpen = nullptr;
    QRadioButton *rbBranch = nullptr;
    QRadioButton *rbDocument = nullptr;
    QCheckBox *cbEmpty = nullptr;
    QCheckBox *cbTitles = nullptr;
    QCheckBox *cbNumbers = nullptr;
    QPushButton *btnPreview = nullptr;
    QPushButton *btnHelp = nullptr;
    TNVKLocalizer *Localizer = nullptr;

protected:
    TFReportDlg(const TTexts &texts, QWidget *owner);

    // The column of buttons beside the pages; subclasses add theirs in order.
    QVBoxLayout *Buttons() const { return FButtons; }
    QPushButton *AddButton(const char *name, const char *caption);
    // Finishes the layout once the buttons are in and loads the translation.
    void Complete();

private:
    TExportScope ChosenScope() const;

    TQBExportHelper *FHelper = nullptr;
    QVBoxLayout *FButtons = nullptr;
    int FHelpContext = 0;
};
