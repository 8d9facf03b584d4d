// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "PrintDlg.h"

#include "ExportHelper.h"
#include "PrxCore.h"
#include "PrxRichEditSource.h"
#include "platform/QBDialogs.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>

namespace {

const TFReportDlg::TTexts PrintTexts{
    "FPrintDlg",     "Print and preview",  "Print", "tabPrint", " Text to print", "stPText", "Print options",
    "Do not print &empty articles", "Print article &titles", "Include article number in title", "xlPrint",
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
    if (!Helper()->Build())
        return;
    TPrxController *controller = PrxController();
    QPrinter *printer = controller->Printer();
    // Without a printer the pages go to a PDF file; ask for it each time rather than silently
    // overwrite the last one.
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        const QString proposed = QFileInfo(Helper()->Source()->Title()).completeBaseName();
        const QString fileName = QBDialogs::SaveFileName(this, QStringLiteral("PDF files|*.pdf"), QStringLiteral("pdf"),
                                                         proposed.isEmpty() ? QString() : proposed + QStringLiteral(".pdf"));
        if (fileName.isEmpty())
            return;
        printer->setOutputFileName(fileName);
    }
    Helper()->Source()->Print();
}

void TFPrintDlg::btnPrinterClick()
{
    PrxController()->PrinterSetup(this);
}

void TFPrintDlg::btnPageClick()
{
    PrxController()->PageSetup(this);
}
