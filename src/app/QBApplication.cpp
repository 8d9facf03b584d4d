// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBApplication.h"

#include "base/NVKErrors.h"
#include "dialogs/ErrorDlg.h"

#include <QMessageBox>

TQBApplication::TQBApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillbox"));
    setOrganizationName(QStringLiteral("Brindlewood"));
    NVKSetErrorReporter(&TQBApplication::ShowError);
}

TQBApplication::~TQBApplication()
{
    NVKSetErrorReporter(nullptr);
}

bool TQBApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        TFErrorDlg dialog(activeWindow());
        dialog.ShowException(std::current_exception());
    }
    return false;
}

void TQBApplication::ShowError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, applicationName(), message, QMessageBox::Ok, activeWindow());
    box.exec();
}
