// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QRect>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class TNVKLocalizer;

// Paper, orientation and margins of the printer. Margins are a rectangle of edges (PrxRect) in the
// dialog's unit: thousandths of an inch when Inches, hundredths of a millimetre otherwise.
class TPageSetupDialog : public QDialog
{
    Q_OBJECT

public:
    // printer receives paper and orientation when the dialog is confirmed; owner parents the window.
    explicit TPageSetupDialog(QPrinter *printer, QWidget *owner = nullptr);

    bool Inches() const { return FInches; }
    // Converts Margins to the new unit.
    void SetInches(bool inches);
    QRect Margins() const { return FMargins; }
    void SetMargins(const QRect &margins) { FMargins = margins; }

    // Shows the dialog; on confirmation the printer takes paper and orientation and Margins the values
    // shown. Cancel changes nothing.
    bool Execute();

    void btnOKClick();
    void btnHelpClick();

    static constexpr int HelpContext = 384;

private:
    void LoadControls();
    void UpdateLimits();

    QPrinter *FPrinter;
    bool FInches;
    QRect FMargins;
    QComboBox *cbPaper;
    QRadioButton *rbPortrait;
    QRadioButton *rbLandscape;
    QLabel *lblPaper;
    QLabel *lblLeft;
    QLabel *lblTop;
    QLabel *lblRight;
    QLabel *lblBottom;
    QDoubleSpinBox *edLeft;
    QDoubleSpinBox *edTop;
    QDoubleSpinBox *edRight;
    QDoubleSpinBox *edBottom;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;
    TNVKLocalizer *xlPageSetup;
};
