// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "GoToDlg.h"
#include "platform/DialogParts.h"

#include "framework/QBStrings.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TFGoToDlg::TFGoToDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FGoToDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Go to line"));

    auto *lblLine = new QLabel(QStringLiteral("&Enter new line number:"), this);
    lblLine->setObjectName(QStringLiteral("lblLine"));
    edLine = new QLineEdit(this);
    edLine->setObjectName(QStringLiteral("edLine"));
    edLine->setMaxLength(5);
    // Digits only: whatever else is typed or pasted is refused.
    edLine->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edLine));
    lblLine->setBuddy(edLine);
    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnHelp = QBNewButton(this, "btnHelp", "Help");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblLine);
    layout->addWidget(edLine);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnHelp}));

    connect(edLine, &QLineEdit::textChanged, this, &TFGoToDlg::edLineChange);
    connect(btnOK, &QPushButton::clicked, this, &TFGoToDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFGoToDlg::btnHelpClick);

    xlGoTo = QBNewLocalizer(this, "xlGoTo");
    xlGoTo->Loaded();
    edLineChange();
}

void TFGoToDlg::SetLineCount(int value)
{
    if (value == FLineCount)
        return;
    FLineCount = value;
    if (FLine > FLineCount && FLineCount >= 1)
        FLine = FLineCount;
}

void TFGoToDlg::SetLine(int value)
{
    if (value != FLine && FLineCount != 0 && value <= FLineCount)
        FLine = value;
}

bool TFGoToDlg::Execute()
{
    edLine->setText(QString::number(FLine));
    edLine->selectAll();
    return exec() == QDialog::Accepted;
}

void TFGoToDlg::edLineChange()
{
    btnOK->setEnabled(!edLine->text().isEmpty());
}

void TFGoToDlg::btnOKClick()
{
    bool ok = false;
    const int line = edLine->text().toInt(&ok);
    if (!ok)
        return;
    if (FLineCount != 0 && (line < 1 || line > FLineCount)) {
        QBDialogs::Information(this, QBFormatStr(xlGoTo, QBStrings::SLineLimit, {FLineCount, FLineCount}));
        edLine->setFocus();
        edLine->selectAll();
        return;
    }
    SetLine(line);
    accept();
}

void TFGoToDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContext, this);
}
