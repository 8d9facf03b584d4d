// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
class TNVKLocalizer;

// The tip of the day, read from "tips.txt" among the program's resources, one tip per line.
class TFTipsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFTipsDlg(QWidget *owner = nullptr);

    static constexpr int HelpContext = 410;

    // Shows the tip after the stored one unless tips are switched off (force shows them anyway);
    // afterwards the settings remember the switch and the tip shown.
    static void ShowTips(bool force, QWidget *owner = nullptr);

    // Where "tips.txt" is looked for: the program's resources unless set (tests set it).
    static void SetTipsFolder(const QString &folder);
    static QString TipsFileName();

    void ShowTip(int index);
    int TipIndex() const { return FTipIndex; }
    QString TipText() const;
    bool ShowAtStartup() const;
    void SetShowAtStartup(bool value);
    void btnNextClick() { ShowTip(FTipIndex + 1); }

private:
    void LoadTips();

    QLabel *lblCaption;
    QLabel *lblTip;
    QCheckBox *cbShowTips;
    QPushButton *btnNext;
    QPushButton *btnClose;
    TNVKLocalizer *xlTips = nullptr;
    QStringList FTips;
    int FTipIndex = 0;
};
