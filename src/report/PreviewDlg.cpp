// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PreviewDlg.h"

#include "framework/NVKFormat.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"
#include "report/PrxCore.h"
#include "report/PrxPreview.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFPreviewDlg::TFPreviewDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("PreviewDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Print preview"));
    // Only the system menu: no help button in the title.
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const auto action = [this](const char *name, const char *caption, const char *hint, int image) {
        auto *result = new QAction(QString::fromLatin1(caption), this);
        result->setObjectName(QString::fromLatin1(name));
        if (*hint)
            result->setToolTip(QString::fromLatin1(hint));
        if (image >= 0)
            result->setIcon(QBPreviewImage(image));
        addAction(result);
        return result;
    };
    ZoomToWidth = action("ZoomToWidth", "Zoom to &width", "", 1);
    ZoomToHeight = action("ZoomToHeight", "Zoom to &height", "", 2);
    ZoomActualSize = action("ZoomActualSize", "Actual size", "", 0);
    ViewFirst = action("ViewFirst", "&First", "First page", 3);
    ViewPrevious = action("ViewPrevious", "Pre&vious", "Previous page", 4);
    ViewNext = action("ViewNext", "&Next", "Next page", 5);
    ViewLast = action("ViewLast", "&Last", "Last page", 6);
    PreviewPrintSetup = action("PreviewPrintSetup", "Printer setup", "Print setup", 7);
    PreviewPageSetup = action("PreviewPageSetup", "Page setup", "Page setup", 8);
    PreviewClose = action("PreviewClose", "&Close", "", -1);

    tbPreview = new QToolBar(this);
    tbPreview->setObjectName(QStringLiteral("tbPreview"));
    tbPreview->addAction(PreviewPrintSetup);
    tbPreview->addAction(PreviewPageSetup);
    tbPreview->addSeparator();
    tbPreview->addAction(ZoomActualSize);
    tbPreview->addAction(ZoomToWidth);
    tbPreview->addAction(ZoomToHeight);
    cbZoom = new QComboBox(tbPreview);
    cbZoom->setObjectName(QStringLiteral("cbZoom"));
    cbZoom->setEditable(true);
    cbZoom->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is what applies: "5" must not complete to "50%".
    cbZoom->setCompleter(nullptr);
    cbZoom->addItems({QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
                      QStringLiteral("100%"), QStringLiteral("125%"), QStringLiteral("150%"), QStringLiteral("175%"),
                      QStringLiteral("200%")});
    // Typing keeps digits, "%" and blanks; other characters are dropped as they are typed.
    cbZoom->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9% ]*")), cbZoom));
    cbZoom->installEventFilter(this);
    cbZoom->lineEdit()->installEventFilter(this);
    tbPreview->addWidget(cbZoom);
    tbPreview->addSeparator();
    tbPreview->addAction(ViewFirst);
    tbPreview->addAction(ViewPrevious);
    lblStatus = new QLabel(tbPreview);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAlignment(Qt::AlignCenter);
    tbPreview->addWidget(lblStatus);
    tbPreview->addAction(ViewNext);
    tbPreview->addAction(ViewLast);
    tbPreview->addSeparator();
    btnClose = new QToolButton(tbPreview);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefaultAction(PreviewClose);
    btnClose->setAutoRaise(true);
    btnClose->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tbPreview->addWidget(btnClose);

    Preview = new TPrxPreview(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbPreview);
    layout->addWidget(Preview, 1);

    connect(ZoomToWidth, &QAction::triggered, this, [this] { Preview->SetSizing(psFitToWidth); });
    connect(ZoomToHeight, &QAction::triggered, this, [this] { Preview->SetSizing(psFitToHeight); });
    connect(ZoomActualSize, &QAction::triggered, this, [this] {
        Preview->SetSizing(psCustom);
        Preview->SetZoom(100);
    });
    connect(ViewFirst, &QAction::triggered, this, [this] { ShowPage(0); });
    connect(ViewPrevious, &QAction::triggered, this, [this] { ShowPage(Preview->PageIndex() - 1); });
    connect(ViewNext, &QAction::triggered, this, [this] { ShowPage(Preview->PageIndex() + 1); });
    connect(ViewLast, &QAction::triggered, this, [this] { ShowPage(Preview->PageCount() - 1); });
    connect(PreviewPrintSetup, &QAction::triggered, this, [this] {
        if (Preview->Controller() && Preview->Controller()->PrinterSetup(this))
            UpdateStatus();
    });
    connect(PreviewPageSetup, &QAction::triggered, this, [this] {
        if (Preview->Controller() && Preview->Controller()->PageSetup(this))
            UpdateStatus();
    });
    connect(PreviewClose, &QAction::triggered, this, &QDialog::reject);
    connect(Preview, &TPrxPreview::zoomChanged, this, &TFPreviewDlg::PreviewZoomChanged);
    connect(cbZoom, &QComboBox::activated, this, &TFPreviewDlg::ApplyZoomText);

    xlPreview = QBNewLocalizer(this, "xlPreview");
    xlPreview->Loaded();
}

TFPreviewDlg::~TFPreviewDlg()
{
    Preview->SetController(nullptr);
}

void TFPreviewDlg::Attach(TPrxController *controller)
{
    Preview->SetController(controller);
    UpdateStatus();
}

void TFPreviewDlg::Execute(TPrxController *controller)
{
    // The main window's bounds, also when the owner is a dialog over it.
    QWidget *main = parentWidget();
    while (main && main->parentWidget())
        main = main->parentWidget();
    if (main)
        setGeometry(main->geometry());
    else
        resize(800, 900);
    Attach(controller);
    exec();
    Preview->SetController(nullptr);
}

void TFPreviewDlg::ShowPage(int index)
{
    Preview->SetPageIndex(index);
    UpdateStatus();
}

void TFPreviewDlg::UpdateStatus()
{
    lblStatus->setText(
        QBFormatStr(xlPreview, QBStrings::SPreviewStatus, {Preview->PageIndex() + 1, Preview->PageCount()}));
    alPreviewUpdate();
}

void TFPreviewDlg::alPreviewUpdate()
{
    const int index = Preview->PageIndex();
    const int count = Preview->PageCount();
    ViewFirst->setEnabled(index >= 1);
    ViewPrevious->setEnabled(index >= 1);
    ViewNext->setEnabled(index < count - 1);
    ViewLast->setEnabled(index < count - 1);
}

void TFPreviewDlg::PreviewZoomChanged()
{
    cbZoom->setEditText(Format(QStringLiteral("%d%%"), {Preview->Zoom()}));
}

void TFPreviewDlg::ApplyZoomText()
{
    QString text = cbZoom->currentText();
    text.remove(QLatin1Char('%'));
    text = text.trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= 10 && value <= 1000) {
        Preview->SetSizing(psCustom);
        Preview->SetZoom(value);
    } else {
        QApplication::beep();
    }
    PreviewZoomChanged();
}

bool TFPreviewDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cbZoom->lineEdit() || watched == cbZoom) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                ApplyZoomText();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && watched == cbZoom->lineEdit()) {
            const auto *focus = static_cast<QFocusEvent *>(event);
            // The list popping up is not leaving the box.
            if (focus->reason() != Qt::PopupFocusReason)
                ApplyZoomText();
        }
    }
    return QDialog::eventFilter(watched, event);
}
