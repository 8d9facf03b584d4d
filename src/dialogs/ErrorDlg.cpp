// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ErrorDlg.h"

#include "base/NVKErrors.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBHelp.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFErrorDlg::TFErrorDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FErrorDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Quillbox"));

    imgError = new QLabel(this);
    imgError->setObjectName(QStringLiteral("imgError"));
    imgError->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    imgError->setAlignment(Qt::AlignTop);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMessage->setMinimumWidth(320);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnDetails = new QPushButton(this);
    btnDetails->setObjectName(QStringLiteral("btnDetails"));
    pnlDetails = new QWidget(this);
    pnlDetails->setObjectName(QStringLiteral("pnlDetails"));
    memDetails = new QPlainTextEdit(pnlDetails);
    memDetails->setObjectName(QStringLiteral("memDetails"));
    memDetails->setReadOnly(true);
    auto *detailsLayout = new QVBoxLayout(pnlDetails);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    detailsLayout->addWidget(memDetails);

    auto *top = new QHBoxLayout;
    top->addWidget(imgError);
    top->addWidget(lblMessage, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnDetails);
    buttons->addStretch();
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pnlDetails);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnDetails, &QPushButton::clicked, this, &TFErrorDlg::btnDetailsClick);
    xlError = QBNewLocalizer(this, "xlError");
    xlError->Loaded();
    ShowDetails(false);
}

void TFErrorDlg::ShowDetails(bool show)
{
    if (show == FDetailsShown)
        return;
    FDetailsShown = show;
    // The fixed-size layout grows and shrinks the dialog by the panel's height.
    pnlDetails->setVisible(show);
    btnDetails->setText(QBLoadStr(xlError, show ? QBStrings::SLessDetails : QBStrings::SMoreDetails));
}

void TFErrorDlg::SetError(const QString &message, const QString &details)
{
    lblMessage->setText(message.isEmpty() ? QBLoadStr(xlError, QBStrings::SErrorDefault) : message);
    memDetails->setPlainText(details);
    if (details.isEmpty())
        ShowDetails(false);
    btnDetails->setEnabled(!details.isEmpty());
}

void TFErrorDlg::SetException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ENVKError &e) {
        SetError(e.Message(), e.Extra());
    } catch (...) {
        SetError(QString(), NVKCurrentExceptionMessage());
    }
}

void TFErrorDlg::ShowError(const QString &message, const QString &details)
{
    SetError(message, details);
    exec();
}

void TFErrorDlg::ShowException(std::exception_ptr error)
{
    SetException(error);
    exec();
}
