// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ReportDlg.h"

// "Print and preview": choose what to print, preview it, print it, set up printer and page.
class TFPrintDlg : public TFReportDlg
{
    Q_OBJECT

public:
    explicit TFPrintDlg(QWidget *owner = nullptr);

    // Prints the chosen text; the dialog stays open. With no printer to print on, the pages go
    // to a PDF file the user names.
    void btnPrintClick();
    void btnPrinterClick();
    void btnPageClick();

    static constexpr int HelpContext = 380;

    QPushButton *btnPrint = nullptr;
    QPushButton *btnPrinter = nullptr;
    QPushButton *btnPage = nullptr;
    QPushButton *btnClose = nullptr;
};
