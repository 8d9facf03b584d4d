// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <exception>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TNVKLocalizer;
class QWidget;

// Reports an error with its message and, under "More >>", the details.
class TFErrorDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFErrorDlg(QWidget *owner = nullptr);

    static constexpr int HelpContext = 430;

    // Fills the dialog without showing it; an empty message shows the default text.
    void SetError(const QString &message, const QString &details);
    // A framework error shows its message and its details; anything else the default text with
    // its own message as the details.
    void SetException(std::exception_ptr error);

    void ShowError(const QString &message, const QString &details);
    void ShowException(std::exception_ptr error);

    bool DetailsShown() const { return FDetailsShown; }
    void ShowDetails(bool show);

private:
    void btnDetailsClick() { ShowDetails(!FDetailsShown); }

    QLabel *imgError;
    QLabel *lblMessage;
    QPushButton *btnOk;
    QPushButton *btnDetails;
    QWidget *pnlDetails;
    QPlainTextEdit *memDetails;
    TNVKLocalizer *xlError = nullptr;
    bool FDetailsShown = true;
};
