// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "PrintDlg.h"

#include "ExportHelper.h"
#include "PrxCore.h"
#include "PrxRichEditSource.h"
#include <QPushButton>

namespace {

const TFReportDlg::TTexts PrintTexts{"FPrintDlg",
                                     "Print and preview",
                                     "Print",
                                     "tabPrint",
                                     " Text to print",
                                     "stPText",
                                     "Print options",
                                     "Do not print &empty articles",
                                     "Print article &titles",
                                     "Include article number in title",
                                     "xlPrint",
                                     TFPrintDlg::HelpContext};

} // namespace

TFPrintDlg::TFPrintDlg(QWidget *owner) : TFReportDlg(PrintTexts, owner)
{
    btnPreview = AddButton("btnPreview", "Pre&view...");
    btnPrint = AddButton("btnPrint", "&Print");
    btnPrinter = AddButton("btnPrinter", "P&rinter..");
    btnPage = AddButton("btnPage", "Pa&ge...");
    btnHelp = AddButton("btnHelp", "Help");
    btnClose = AddButton("btnClose", "Close");
    btnPreview->setDefault(true);
    connect(btnPrint, &QPushButton::clicked, this, &TFPrintDlg::btnPrintClick);
    connect(btnPrinter, &QPushButton::clicked, this, &TFPrintDlg::btnPrinterClick);
    connect(btnPage, &QPushButton::clicked, this, &TFPrintDlg::btnPageClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    Complete();
}

void TFPrintDlg::btnPrintClick()
{
    ApplyChoices();
    // Without a printer the controller asks for the PDF file to print into.
    if (Helper()->Build())
        Helper()->Source()->Print();
}

void TFPrintDlg::btnPrinterClick()
{
    TPrxController::Application()->PrinterSetup(this);
}

void TFPrintDlg::btnPageClick()
{
    TPrxController::Application()->PageSetup(this);
}
