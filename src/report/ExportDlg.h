// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ReportDlg.h"

// "Export": choose what to export and write it as an RTF or a plain-text file.
class TFExportDlg : public TFReportDlg
{
    Q_OBJECT

public:
    explicit TFExportDlg(QWidget *owner = nullptr);

    // Asks for the file, assembles and writes it, says so and closes; a cancelled assembly writes
    // nothing and leaves the dialog open.
    void btnOkClick();

    static constexpr int HelpContext = 390;

    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
};
