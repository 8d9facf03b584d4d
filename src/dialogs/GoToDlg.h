// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TNVKLocalizer;

// Asks for a line number of the edited article.
class TFGoToDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFGoToDlg(QWidget *owner = nullptr);

    int LineCount() const { return FLineCount; }
    // A smaller count pulls Line down to it.
    void SetLineCount(int value);
    int Line() const { return FLine; }
    // Taken only within 1 to LineCount, or any value while LineCount is 0.
    void SetLine(int value);
    // Shows Line and runs the dialog; true when closed with OK.
    bool Execute();

    // Takes the typed number, or explains the valid range and stays open.
    void btnOKClick();
    void btnHelpClick();

    static constexpr int HelpContext = 360;

    QLineEdit *edLine;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;

private:
    void edLineChange();

    TNVKLocalizer *xlGoTo;
    int FLine = 1;
    int FLineCount = 1;
};
