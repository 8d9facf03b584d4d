// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PageSetupDlg.h"

#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBHelp.h"
#include "report/PrxUtils.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QPageSize::PageSizeId PaperSizes[] = {QPageSize::A3,     QPageSize::A4,    QPageSize::A5,       QPageSize::B5,
                                            QPageSize::Letter, QPageSize::Legal, QPageSize::Executive};

QDoubleSpinBox *marginBox(const QString &name, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setMinimum(0);
    return box;
}

} // namespace

TPageSetupDialog::TPageSetupDialog(QPrinter *printer, QWidget *owner)
    : QDialog(owner), FPrinter(printer), FInches(PrxLocaleUsesInches())
{
    setObjectName(QStringLiteral("PageSetupDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Page setup"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    paperBox->setObjectName(QStringLiteral("gbPaper"));
    lblPaper = new QLabel(QStringLiteral("&Size:"), paperBox);
    lblPaper->setObjectName(QStringLiteral("lblPaper"));
    cbPaper = new QComboBox(paperBox);
    cbPaper->setObjectName(QStringLiteral("cbPaper"));
    for (const QPageSize::PageSizeId id : PaperSizes)
        cbPaper->addItem(QPageSize::name(id), int(id));
    lblPaper->setBuddy(cbPaper);
    rbPortrait = new QRadioButton(QStringLiteral("&Portrait"), paperBox);
    rbPortrait->setObjectName(QStringLiteral("rbPortrait"));
    rbLandscape = new QRadioButton(QStringLiteral("&Landscape"), paperBox);
    rbLandscape->setObjectName(QStringLiteral("rbLandscape"));
    auto *paperLayout = new QFormLayout(paperBox);
    paperLayout->addRow(lblPaper, cbPaper);
    auto *orientation = new QHBoxLayout;
    orientation->addWidget(rbPortrait);
    orientation->addWidget(rbLandscape);
    paperLayout->addRow(orientation);

    auto *marginsBox = new QGroupBox(QStringLiteral("Margins"), this);
    marginsBox->setObjectName(QStringLiteral("gbMargins"));
    edLeft = marginBox(QStringLiteral("edLeft"), marginsBox);
    edTop = marginBox(QStringLiteral("edTop"), marginsBox);
    edRight = marginBox(QStringLiteral("edRight"), marginsBox);
    edBottom = marginBox(QStringLiteral("edBottom"), marginsBox);
    const auto label = [&](const char *name, const char *caption, QWidget *buddy) {
        auto *result = new QLabel(QString::fromLatin1(caption), marginsBox);
        result->setObjectName(QString::fromLatin1(name));
        result->setBuddy(buddy);
        return result;
    };
    lblLeft = label("lblLeft", "L&eft:", edLeft);
    lblTop = label("lblTop", "&Top:", edTop);
    lblRight = label("lblRight", "&Right:", edRight);
    lblBottom = label("lblBottom", "&Bottom:", edBottom);
    // The unit follows Inches; both captions are there for the language files.
    auto *lblMillimetres = new QLabel(QStringLiteral("Millimetres"), marginsBox);
    lblMillimetres->setObjectName(QStringLiteral("lblMillimetres"));
    auto *lblInches = new QLabel(QStringLiteral("Inches"), marginsBox);
    lblInches->setObjectName(QStringLiteral("lblInches"));
    auto *grid = new QGridLayout(marginsBox);
    grid->addWidget(lblLeft, 0, 0);
    grid->addWidget(edLeft, 0, 1);
    grid->addWidget(lblRight, 0, 2);
    grid->addWidget(edRight, 0, 3);
    grid->addWidget(lblTop, 1, 0);
    grid->addWidget(edTop, 1, 1);
    grid->addWidget(lblBottom, 1, 2);
    grid->addWidget(edBottom, 1, 3);
    grid->addWidget(lblMillimetres, 2, 0, 1, 4);
    grid->addWidget(lblInches, 2, 0, 1, 4);

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnHelp = QBNewButton(this, "btnHelp", "Help");
    QHBoxLayout *buttons = QBButtonRow({btnOK, btnCancel, btnHelp});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(paperBox);
    layout->addWidget(marginsBox);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TPageSetupDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TPageSetupDialog::btnHelpClick);
    connect(cbPaper, &QComboBox::currentIndexChanged, this, &TPageSetupDialog::UpdateLimits);
    connect(rbLandscape, &QRadioButton::toggled, this, &TPageSetupDialog::UpdateLimits);

    xlPageSetup = QBNewLocalizer(this, "xlPageSetup");
    xlPageSetup->Loaded();
}

void TPageSetupDialog::SetInches(bool inches)
{
    if (inches == FInches)
        return;
    FMargins = inches ? PrxMM100ToThou(FMargins) : PrxThouToMM100(FMargins);
    FInches = inches;
}

void TPageSetupDialog::LoadControls()
{
    findChild<QLabel *>(QStringLiteral("lblMillimetres"))->setVisible(!FInches);
    findChild<QLabel *>(QStringLiteral("lblInches"))->setVisible(FInches);
    const QPageLayout layout = FPrinter ? FPrinter->pageLayout() : QPageLayout();
    const int paper = cbPaper->findData(int(layout.pageSize().id()));
    if (paper >= 0) {
        cbPaper->setCurrentIndex(paper);
    } else {
        // A paper of the printer's own that the list lacks is kept and shown by its name.
        cbPaper->addItem(layout.pageSize().name(), int(layout.pageSize().id()));
        cbPaper->setCurrentIndex(cbPaper->count() - 1);
    }
    rbPortrait->setChecked(layout.orientation() == QPageLayout::Portrait);
    rbLandscape->setChecked(layout.orientation() == QPageLayout::Landscape);
    // Hundredths of a millimetre are shown as millimetres, thousandths of an inch as inches.
    const int decimals = FInches ? 3 : 2;
    const double scale = FInches ? 1000.0 : 100.0;
    for (QDoubleSpinBox *box : {edLeft, edTop, edRight, edBottom}) {
        box->setDecimals(decimals);
        box->setSingleStep(FInches ? 0.05 : 1.0);
    }
    UpdateLimits();
    edLeft->setValue(FMargins.left() / scale);
    edTop->setValue(FMargins.top() / scale);
    edRight->setValue(FMargins.right() / scale);
    edBottom->setValue(FMargins.bottom() / scale);
}

void TPageSetupDialog::UpdateLimits()
{
    const QPageSize size(QPageSize::PageSizeId(cbPaper->currentData().toInt()));
    QSizeF paper = size.size(FInches ? QPageSize::Inch : QPageSize::Millimeter);
    if (rbLandscape->isChecked())
        paper.transpose();
    // Opposite margins can never meet, so there is always room to print.
    edLeft->setMaximum(paper.width() * 0.4);
    edRight->setMaximum(paper.width() * 0.4);
    edTop->setMaximum(paper.height() * 0.4);
    edBottom->setMaximum(paper.height() * 0.4);
}

bool TPageSetupDialog::Execute()
{
    LoadControls();
    if (exec() != QDialog::Accepted)
        return false;
    const double scale = FInches ? 1000.0 : 100.0;
    FMargins = PrxRect(qRound(edLeft->value() * scale), qRound(edTop->value() * scale),
                       qRound(edRight->value() * scale), qRound(edBottom->value() * scale));
    if (FPrinter) {
        FPrinter->setPageSize(QPageSize(QPageSize::PageSizeId(cbPaper->currentData().toInt())));
        FPrinter->setPageOrientation(rbLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    return true;
}

void TPageSetupDialog::btnOKClick()
{
    accept();
}

void TPageSetupDialog::btnHelpClick()
{
    QBShowHelpContext(HelpContext, this);
}
