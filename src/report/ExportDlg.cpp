// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ExportDlg.h"

#include "ExportHelper.h"
#include "PrxRichEditSource.h"
#include "framework/QBStrings.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>

namespace {

const TFReportDlg::TTexts ExportTexts{"FExportDlg",
                                      "Export",
                                      "Export",
                                      "tabExport",
                                      " Text to export",
                                      "stEText",
                                      "Export options",
                                      "Do not export &empty articles",
                                      "Export article &titles",
                                      "Include article &number in title",
                                      "xlExport",
                                      TFExportDlg::HelpContext};

const char ExportFilter[] = "RTF files (*.rtf)|*.rtf|Text files (*.txt)|*.txt";

} // namespace

TFExportDlg::TFExportDlg(QWidget *owner) : TFReportDlg(ExportTexts, owner)
{
    btnOk = AddButton("btnOk", "Export...");
    btnPreview = AddButton("btnPreview", "Pre&view...");
    btnHelp = AddButton("btnHelp", "Help");
    btnCancel = AddButton("btnCancel", "Close");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TFExportDlg::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    Complete();
}

void TFExportDlg::btnOkClick()
{
    const QString title = QFileInfo(Helper()->Source()->Title()).completeBaseName();
    const QString fileName = QBDialogs::SaveFileName(this, QString::fromLatin1(ExportFilter), QStringLiteral("rtf"),
                                                     title.isEmpty() ? QString() : title + QStringLiteral(".rtf"));
    if (fileName.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool saved = false;
    try {
        ApplyChoices();
        saved = Helper()->Save(fileName, QBExportFormatOf(fileName));
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    if (!saved)
        return;
    QBDialogs::Information(this, QBFormatStr(Localizer, QBStrings::SExportSuccess, {fileName}));
    accept();
}
