// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "TipsDlg.h"

#include "base/QBPaths.h"
#include "framework/NVKFormat.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBHelp.h"
#include "services/QBSettingsSvc.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString &tipsFolder()
{
    static QString folder;
    return folder;
}
} // namespace

TFTipsDlg::TFTipsDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FTipsDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Tip of the day"));

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlTop"));
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);

    lblCaption = new QLabel(QStringLiteral("Did you know..."), panel);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    QFont heading(QStringLiteral("Times New Roman"));
    heading.setPixelSize(19);
    heading.setBold(true);
    lblCaption->setFont(heading);
    lblTip = new QLabel(QStringLiteral("There's no tips at this time. "), panel);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(13);
    lblTip->setFont(body);
    lblTip->setWordWrap(true);
    lblTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTip->setMinimumSize(320, 90);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(lblCaption);
    panelLayout->addWidget(lblTip, 1);

    cbShowTips = new QCheckBox(QStringLiteral("&Show tips at startup"), this);
    cbShowTips->setObjectName(QStringLiteral("cbShowTips"));
    cbShowTips->setChecked(true);
    btnNext = new QPushButton(QStringLiteral("&Next Tip"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cbShowTips);
    bottom->addStretch();
    bottom->addWidget(btnNext);
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnNext, &QPushButton::clicked, this, &TFTipsDlg::btnNextClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    xlTips = QBNewLocalizer(this, "xlTips");
    xlTips->Loaded();
    LoadTips();
}

void TFTipsDlg::SetTipsFolder(const QString &folder)
{
    tipsFolder() = folder;
}

QString TFTipsDlg::TipsFileName()
{
    const QString folder = tipsFolder().isEmpty() ? QBResourceFolder() : tipsFolder();
    return QDir(folder).filePath(QStringLiteral("tips.txt"));
}

void TFTipsDlg::LoadTips()
{
    const QString fileName = TipsFileName();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        FTips = {QBFormatStr(xlTips, QBStrings::STipsError, {QDir::toNativeSeparators(fileName), file.errorString()})};
        btnNext->setEnabled(false);
        return;
    }
    // A tips file is a few kilobytes; more than a megabyte is not one.
    const QString text = QString::fromUtf8(file.read(1 << 20));
    FTips = text.split(QLatin1Char('\n'));
    for (QString &tip : FTips)
        tip = tip.trimmed();
    while (!FTips.isEmpty() && FTips.last().isEmpty())
        FTips.removeLast();
    if (FTips.isEmpty())
        btnNext->setEnabled(false);
}

void TFTipsDlg::ShowTip(int index)
{
    if (FTips.isEmpty())
        return;
    FTipIndex = (index < 0 || index >= FTips.size()) ? 0 : index;
    lblTip->setText(FTips[FTipIndex]);
}

QString TFTipsDlg::TipText() const
{
    return lblTip->text();
}

bool TFTipsDlg::ShowAtStartup() const
{
    return cbShowTips->isChecked();
}

void TFTipsDlg::SetShowAtStartup(bool value)
{
    cbShowTips->setChecked(value);
}

void TFTipsDlg::ShowTips(bool force, QWidget *owner)
{
    const IQBSettingsServicePtr settings = SettingsService();
    const bool show = settings ? settings->GetShowTips() : true;
    const int index = settings ? settings->GetTipIndex() : 0;
    if (!force && !show)
        return;
    TFTipsDlg dialog(owner);
    dialog.SetShowAtStartup(show);
    dialog.ShowTip(index < INT_MAX ? index + 1 : 0);
    dialog.exec();
    if (const IQBSettingsServicePtr after = SettingsService()) {
        after->SetShowTips(dialog.ShowAtStartup());
        after->SetTipIndex(dialog.TipIndex());
    }
}
