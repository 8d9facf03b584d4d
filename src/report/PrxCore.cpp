// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PrxCore.h"

#include "framework/QBStrings.h"
#include "platform/QBAppShared.h"
#include "platform/QBDialogs.h"
#include "report/ExportHelper.h"
#include "report/PageSetupDlg.h"
#include "report/PreviewDlg.h"
#include "report/PrxUtils.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <filesystem>
#include <memory>

TPrxController *TPrxController::FApplication = nullptr;

// ---- TPrxSource ----

TPrxSource::TPrxSource(QObject *owner) : QObject(owner) {}

TPrxSource::~TPrxSource() = default;

TPrxController *TPrxSource::Controller() const
{
    return FController;
}

void TPrxSource::SetController(TPrxController *controller)
{
    FController = controller;
}

bool TPrxSource::Prepare()
{
    FPrepared = FController && DoPrepare();
    return FPrepared;
}

void TPrxSource::Unprepare()
{
    DoUnprepare();
    FPrepared = false;
}

void TPrxSource::Preview(QWidget *owner)
{
    if (!FController)
        throw EPrxError(QStringLiteral("No controller"));
    FController->Preview(this, owner);
}

void TPrxSource::Print()
{
    if (!FController)
        throw EPrxError(QStringLiteral("No controller"));
    FController->Print(this);
}

// ---- TPrxController ----

namespace {

// A fresh desktop without printers (and every test run) prints to PDF; its paper follows the locale.
QPrinter *createDefaultPrinter()
{
    auto *printer = new QPrinter(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty() || printer->printerName().isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(PrxLocaleUsesInches() ? QPageSize::Letter : QPageSize::A4));
        // A file has no unprintable edge to take the default margins from; text from edge to edge is
        // not what anyone wants on paper, so it starts with the 20 mm a page setup would suggest.
        printer->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    }
    return printer;
}

} // namespace

TPrxController::TPrxController(QObject *owner) : QObject(owner), FPrinter(createDefaultPrinter())
{
    UpdatePrinterMetrics();
    DefaultMargins();
}

TPrxController::~TPrxController()
{
    if (FApplication == this)
        FApplication = nullptr;
}

QPrinter *TPrxController::Printer()
{
    return FPrinter.get();
}

void TPrxController::SetPrinter(QPrinter *printer)
{
    if (!printer || printer == FPrinter.get())
        return;
    FPrinter.reset(printer);
    UpdatePrinterMetrics();
    DefaultMargins();
}

void TPrxController::SetOutputFileName(const QString &fileName)
{
    FPrinter->setOutputFileName(fileName);
}

void TPrxController::UpdatePrinterMetrics()
{
    const int dpi = FPrinter->resolution();
    const QRect paper = FPrinter->pageLayout().fullRectPixels(dpi);
    // A printer that reports nothing usable keeps the previous geometry.
    if (dpi <= 0 || paper.width() <= 0 || paper.height() <= 0)
        return;
    FPhysicalWidth = paper.width();
    FPhysicalHeight = paper.height();
    FPixelsPerInchX = dpi;
    FPixelsPerInchY = dpi;
}

void TPrxController::DefaultMargins()
{
    const QMargins offset = FPrinter->pageLayout().marginsPixels(FPrinter->resolution());
    if (FPixelsPerInchX <= 0 || FPixelsPerInchY <= 0)
        return;
    const int left = PrxMulDiv(offset.left(), 1000, FPixelsPerInchX);
    const int top = PrxMulDiv(offset.top(), 1000, FPixelsPerInchY);
    FMargins = PrxRect(left, top, left, top);
}

QRect TPrxController::PaperRect() const
{
    return PrxRect(0, 0, PrxMulDiv(FPhysicalWidth, 1000, FPixelsPerInchX),
                   PrxMulDiv(FPhysicalHeight, 1000, FPixelsPerInchY));
}

QRect TPrxController::PrintableRect() const
{
    const QRect paper = PaperRect();
    return PrxRect(FMargins.left(), FMargins.top(), paper.right() - FMargins.right(),
                   paper.bottom() - FMargins.bottom());
}

template <typename Change> void TPrxController::ChangeGeometry(Change change)
{
    if (FPreviewLink)
        FPreviewLink->BeginChange();
    if (FSource)
        FSource->Unprepare();
    UpdatePrinterMetrics();
    change();
    if (FSource)
        FSource->Prepare();
    if (FPreviewLink)
        FPreviewLink->EndChange();
}

bool TPrxController::PageSetup(QWidget *owner)
{
    TPageSetupDialog dialog(FPrinter.get(), owner);
    dialog.SetInches(true);
    dialog.SetMargins(FMargins);
    dialog.SetInches(PrxLocaleUsesInches());
    const bool confirmed = dialog.Execute();
    if (confirmed)
        ChangeGeometry([&] {
            dialog.SetInches(true);
            FMargins = dialog.Margins();
        });
    return confirmed;
}

bool TPrxController::PrinterSetup(QWidget *owner)
{
    QPrintDialog dialog(FPrinter.get(), owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed)
        ChangeGeometry([] {});
    return confirmed;
}

void TPrxController::Preview(TPrxSource *source, QWidget *owner)
{
    FSource = source;
    try {
        if (source->Prepare()) {
            TFPreviewDlg dialog(owner);
            dialog.Execute(this);
        }
    } catch (...) {
        source->Unprepare();
        FSource = nullptr;
        throw;
    }
    source->Unprepare();
    FSource = nullptr;
}

void TPrxController::PrintPages(TPrxSource *source)
{
    QPrinter *printer = FPrinter.get();
    printer->setDocName(source->Title());
    // The painter's origin is the paper's corner, so margins count from the paper's edges.
    printer->setFullPage(true);
    // A PDF is written beside its target and replaces it only when complete, so a cancelled or
    // failed job leaves the file that was there.
    const QString target = printer->outputFormat() == QPrinter::PdfFormat ? printer->outputFileName() : QString();
    std::unique_ptr<QTemporaryFile> part;
    if (!target.isEmpty()) {
        part = std::make_unique<QTemporaryFile>(
            QFileInfo(target).absoluteDir().filePath(QStringLiteral("quillbox-print-XXXXXX.pdf")));
        if (!part->open())
            throw EPrxError(QBFormatStr(QBAppLocalizer(), QBStrings::SPrintFailed, {target}));
        part->close();
        printer->setOutputFileName(part->fileName());
    }
    const auto restoreName = qScopeGuard([&] {
        if (!target.isEmpty())
            printer->setOutputFileName(target);
    });
    QPainter painter;
    if (!painter.begin(printer))
        throw EPrxError(QBFormatStr(QBAppLocalizer(), QBStrings::SPrintFailed,
                                    {target.isEmpty() ? printer->printerName() : target}));
    TPrxRenderInfo info;
    info.Canvas = &painter;
    info.PageRect = PaperRect();
    info.ClipRect = PrintableRect();
    info.IsPreview = false;
    const int count = source->PageCount();
    // In the window a long job shows which page it is on and can be cancelled.
    std::unique_ptr<TFReportProgress> progress;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) && count > 1) {
        progress = std::make_unique<TFReportProgress>(QApplication::activeModalWidget());
        progress->show();
    }
    QElapsedTimer sinceEvents;
    bool cancelled = false;
    for (int i = 0; i < count && !cancelled; ++i) {
        if (progress && (!sinceEvents.isValid() || sinceEvents.elapsed() >= 40)) {
            progress->SetProgress(QBFormatStr(QBAppLocalizer(), QBStrings::SPreviewStatus, {i + 1, count}).trimmed());
            QApplication::processEvents();
            sinceEvents.restart();
            cancelled = progress->Cancelled();
            if (cancelled)
                break;
        }
        painter.save();
        source->RenderPage(i, info);
        painter.restore();
        if (i < count - 1)
            printer->newPage();
    }
    if (cancelled)
        printer->abort();
    painter.end();
    if (cancelled || target.isEmpty())
        return;
    std::error_code error;
    std::filesystem::rename(part->fileName().toStdString(), target.toStdString(), error);
    if (error)
        throw EPrxError(QBFormatStr(QBAppLocalizer(), QBStrings::SPrintFailed, {target}));
    part->setAutoRemove(false);
}

void TPrxController::Print(TPrxSource *source)
{
    FSource = source;
    // A file name asked for this job is not silently overwritten by the next one.
    bool asked = false;
    const auto finish = [&] {
        if (asked)
            FPrinter->setOutputFileName(QString());
        source->Unprepare();
        FSource = nullptr;
    };
    try {
        // An empty source starts no job: a printer would eject a blank sheet, a PDF would hold one.
        if (source->Prepare() && source->PageCount() > 0) {
            QPrinter *printer = FPrinter.get();
            bool go = true;
            if (printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty()) {
                const QString proposed = (source->Title().isEmpty() ? QStringLiteral("Quillbox") : source->Title());
                const QString name =
                    QBDialogs::SaveFileName(nullptr, QStringLiteral("PDF (*.pdf)|*.pdf"), QStringLiteral("pdf"),
                                            QFileInfo(proposed).completeBaseName() + QStringLiteral(".pdf"));
                go = !name.isEmpty();
                asked = go;
                if (go)
                    printer->setOutputFileName(name);
            }
            if (go)
                PrintPages(source);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TPrxController::AttachLink(TPrxPreviewLinkBase *link)
{
    if (FPreviewLink && FPreviewLink != link)
        throw EPrxError(QStringLiteral("Only one preview allowed."));
    FPreviewLink = link;
}

void TPrxController::DetachLink(TPrxPreviewLinkBase *link)
{
    if (FPreviewLink == link)
        FPreviewLink = nullptr;
}
