// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;
class TNVKLocalizer;

// Offers the current date and time in many forms; the forms chosen last are offered first.
class TFDateTimeDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFDateTimeDlg(QWidget *owner = nullptr);

    // Fills the lists with the current moment and runs the dialog; true on OK.
    bool Execute();
    // Fills the lists with the current moment, each entry formatted by its pattern.
    void Prepare();
    // The chosen date, then the chosen time after one space; empty when neither is wanted.
    QString ResultText() const;

    // Remembers the choice and closes.
    void btnOKClick();
    void btnHelpClick();

    static constexpr int HelpContext = 370;

    QCheckBox *cbDate;
    QListWidget *lbDate;
    QCheckBox *cbTime;
    QListWidget *lbTime;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;

private:
    static QString RegistryKey();
    void LoadChoice();
    void SaveChoice() const;

    TNVKLocalizer *xlDateTime;
    // The lists' patterns as designed or translated; the entries show them applied.
    QStringList FDatePatterns;
    QStringList FTimePatterns;
    QString FDatePattern;
    QString FTimePattern;
};
