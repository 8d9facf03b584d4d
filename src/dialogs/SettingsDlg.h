// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/QBGraphics.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TFontEditor;
class TNVKLocalizer;

// Edits the settings of the settings service and installs language files. Opens with the stored
// values; OK and Apply write them all back as one change notice, Cancel writes nothing.
class TFSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFSettingsDlg(QWidget *owner = nullptr);

    static constexpr int HelpContext = 301;
    // The colour boxes, by their tag.
    enum { ctOutline, ctIndex, ctTitle, ctEditor, ColorBoxCount };

    // Loads the controls and runs the dialog; true when closed with OK.
    bool Execute();
    void LoadControls();
    // Checks, then writes every control's value; false (nothing written) when a check failed.
    // Does nothing and answers true while nothing changed.
    bool SaveControls();
    bool ValidateControls();
    // Installs a language file for this user; false when it was refused or could not be copied.
    bool AddLanguage(const QString &fileName);

    bool Modified() const { return FModified; }
    // The help page of the page shown: 302 to 307.
    int HelpContextOfPage() const;
    // The colour box with this tag shows and yields this colour; clWindow means "Use default".
    TColor SelectedColor(int tag) const;
    void SelectColor(int tag, TColor color);

    void btnOKClick();
    void btnApplyClick();
    void btnHelpClick();
    void btnBrowseClick();
    void btnAddClick();
    void lblDownloadClick();

    // Where a language file can come from: bigger files are refused before they are read.
    static constexpr qint64 MaxLanguageFileSize = 4 * 1024 * 1024;

    QTabWidget *pcSettings;
    // Preferences.
    QRadioButton *rbNewDocument;
    QRadioButton *rbRecentDocument;
    QRadioButton *rbThisDocument;
    QLineEdit *edStartupDocument;
    QPushButton *btnBrowse;
    QCheckBox *cbShowTips;
    // Document.
    QCheckBox *cbAutosave;
    QLabel *lblAutosaveInterval;
    QSpinBox *seAutosaveInterval;
    QCheckBox *cbCreateBackups;
    QCheckBox *cbBackupFirstTime;
    QLabel *lblBackupMask;
    QComboBox *cbBackupMask;
    QComboBox *cbEncoding;
    QLineEdit *edAuthor;
    QLineEdit *edCopyright;
    QCheckBox *cbAutoRevision;
    // Editor.
    QSpinBox *seUndoLimit;
    QCheckBox *cbWordWrap;
    QCheckBox *cbWordSelection;
    QCheckBox *cbInplaceActivation;
    QCheckBox *cbSelectionBar;
    QCheckBox *cbFindWordAtCursor;
    QCheckBox *cbReplaceWordAtCursor;
    // Fonts.
    TFontEditor *feEditor;
    TFontEditor *feTitle;
    QPushButton *btnEditorFont;
    QPushButton *btnTitleFont;
    // Appearance.
    QComboBox *clbColors[ColorBoxCount];
    QCheckBox *cbDefaultColors[ColorBoxCount];
    // Language.
    QListWidget *lbLanguages;
    QPushButton *btnAdd;
    QLabel *lblDownload;

    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnApply;
    QPushButton *btnHelp;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *NewPage(const char *name, const char *caption, int helpContext);
    void SetModified();
    void ClearModified();
    void UpdateEnabled();
    void ColorDefaultClick(int tag);
    // Adds the named colours and the custom colours to a colour box.
    void FillColorBox(QComboBox *box);
    void ShowError(QWidget *page, QWidget *control, const QString &text);

    TNVKLocalizer *xlSettings;
    bool FModified = false;
    bool FLoading = false;
};
