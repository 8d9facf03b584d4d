// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "VtlRichEdit.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The editor's find dialog: modeless, searching the editor it belongs to.
class TVtlFindDialog : public QDialog
{
    Q_OBJECT

public:
    TVtlFindDialog(TVtlRichEdit *editor, bool withReplace);

    void SetFindText(const QString &text);
    QString FindText() const;
    TVtlFindOptions Options() const;
    void SetOptions(TVtlFindOptions options);
    // The last search's outcome as shown in the dialog; empty after a match.
    QString Status() const;

    // Selects the next match in the chosen direction; false when there is none.
    bool FindNext();

protected:
    QLineEdit *edtFind = nullptr;
    QCheckBox *cbMatchCase = nullptr;
    QCheckBox *cbWholeWord = nullptr;
    QRadioButton *rbUp = nullptr;
    QRadioButton *rbDown = nullptr;
    QPushButton *btnFindNext = nullptr;
    QPushButton *btnCancel = nullptr;
    QLabel *lblStatus = nullptr;
    QPointer<TVtlRichEdit> FEditor;

    void ShowNotFound();
};

class TVtlReplaceDialog : public TVtlFindDialog
{
    Q_OBJECT

public:
    explicit TVtlReplaceDialog(TVtlRichEdit *editor);

    void SetReplaceText(const QString &text);
    QString ReplaceText() const;

    // Replaces the selection when it is a match, then finds the next one.
    bool Replace();
    int ReplaceAll();

private:
    QLineEdit *edtReplace = nullptr;
    QPushButton *btnReplace = nullptr;
    QPushButton *btnReplaceAll = nullptr;
};
