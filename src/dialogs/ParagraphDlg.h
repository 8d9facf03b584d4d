// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "controls/VtlRichEdit.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TNVKLocalizer;

// Indents, spacing, line spacing, alignment, tab stops and numbering of the selected paragraphs.
// Lengths are shown in centimetres where the locale measures metric, else in inches. A field is
// blank where the paragraphs differ, and a field left blank or unchanged leaves their values alone.
class TFParagraphDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFParagraphDlg(QWidget *owner = nullptr);

    // Loads the paragraphs' shared values and runs the dialog; OK applies what was changed.
    bool Execute(TRxParaAttributes &attributes);
    // Loads the controls from the paragraphs the attributes stand for.
    void Load(TRxParaAttributes &attributes);
    // What the controls change against the loaded values; empty fields are left alone.
    TRxParaValues Changes() const;
    bool Modified() const { return FModified; }

    void btnOKClick();
    // Applies the changes as one undo step and keeps the dialog open.
    void btnApplyClick();
    void btnHelpClick();
    void btnTAddClick();
    void btnTUpdateClick();
    void btnTDeleteClick();
    void btnTClearClick();

    // The help page of the page shown: 341 to 343.
    int HelpContextOfPage() const;
    static constexpr int HelpContext = 340;

    // A length in twips as the fields show it, and a field's text read back; false for bad text.
    QString LengthText(int twips) const;
    bool ParseLength(const QString &text, int &twips) const;

    QTabWidget *nbPages;
    QComboBox *cbPAlignment;
    QLineEdit *sePLeftIndent;
    QLineEdit *sePRightIndent;
    QLineEdit *sePFirstLine;
    QLineEdit *sePBefore;
    QLineEdit *sePAfter;
    QComboBox *cbPRule;
    QLineEdit *sePValue;
    QLabel *lblPValueUnit;
    QListWidget *lbTTabList;
    QLineEdit *seTTabPos;
    QComboBox *cbTKind;
    QPushButton *btnTAdd;
    QPushButton *btnTUpdate;
    QPushButton *btnTDelete;
    QPushButton *btnTClear;
    QButtonGroup *gbNumbering;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnApply;
    QPushButton *btnHelp;

private:
    QLineEdit *NewLengthEdit(const QString &name, int minimum, int maximum);
    void SetModified();
    void UpdateButtons();
    void cbPRuleChange();
    void lbTTabListSelect();
    void FillTabList(int selectPosition);
    // Adds or replaces the stop at its position, keeping the list in order.
    void PutTab(const TRxTab &tab);
    // The stop the position and kind fields describe; false while the position is not a length.
    bool TypedTab(TRxTab &tab) const;
    void TabsChanged(int selectPosition);
    bool ValueNeedsLength() const;

    TNVKLocalizer *xlParagraph;
    TRxParaAttributes *FAttributes = nullptr;
    TRxParaValues FLoaded;
    QStringList FLoadedTexts;
    QList<TRxTab> FTabs;
    bool FTabsChanged = false;
    bool FModified = false;
    bool FLoading = false;
    bool FMetric = true;
    QString FUnit;
};
