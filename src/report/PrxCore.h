// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

// Misuse of the report framework: "Only one preview allowed.", "No controller".
class EPrxError : public ENVKError
{
public:
    explicit EPrxError(const QString &message) : ENVKError(message) {}
};

// Where and how one page is drawn. Printing: the printer's painter in printer pixels with the origin
// at the paper's corner, PageRect the paper and ClipRect the printable area, both in thousandths of an
// inch. Preview: the page widget's painter, PageRect the whole widget and ClipRect the area inside
// the margins, in widget pixels.
struct TPrxRenderInfo
{
    QPainter *Canvas = nullptr;
    QRect PageRect;
    QRect ClipRect;
    bool IsPreview = false;
};

// The controller tells an attached preview that printer or margins are about to change and have changed.
class TPrxPreviewLinkBase
{
public:
    virtual ~TPrxPreviewLinkBase() = default;
    virtual void BeginChange() = 0;
    virtual void EndChange() = 0;
};

class TPrxController;

// What is printed: it paginates its content for the controller's geometry and draws one page on request.
class TPrxSource : public QObject
{
    Q_OBJECT

public:
    explicit TPrxSource(QObject *owner = nullptr);
    ~TPrxSource() override;

    TPrxController *Controller() const;
    void SetController(TPrxController *controller);
    bool Prepared() const { return FPrepared; }
    // The print job's name.
    QString Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }

    virtual int PageCount() const = 0;
    virtual bool UsesRenderInfo() const { return false; }
    // Paginates for the controller's geometry; false (nothing to show) without a controller.
    bool Prepare();
    // Drops the pagination.
    void Unprepare();
    virtual void RenderPage(int page, const TPrxRenderInfo &info) = 0;
    // Draws page in a mapping of thousandths of an inch of paper; for sources without render info.
    virtual void DrawPage(int page, QPainter *painter) = 0;

    // The controller's preview and print of this source; EPrxError "No controller" without one.
    void Preview(QWidget *owner = nullptr);
    void Print();

protected:
    virtual bool DoPrepare() = 0;
    virtual void DoUnprepare() = 0;

private:
    QPointer<TPrxController> FController;
    bool FPrepared = false;
    QString FTitle;
};

// The page geometry (paper, resolution, margins) and the one printer the program prints on. Units:
// paper, margins and printable area in thousandths of an inch, printer metrics in printer pixels.
// Margins are a rectangle of edges (PrxRect): left() Left, top() Top, right() Right, bottom() Bottom,
// each measured inward from its own paper edge.
class TPrxController : public QObject
{
    Q_OBJECT

public:
    explicit TPrxController(QObject *owner = nullptr);
    ~TPrxController() override;

    // The controller of the application's data module, which print commands use; null while none exists.
    static TPrxController *Application() { return FApplication; }
    static void SetApplication(TPrxController *controller) { FApplication = controller; }

    QRect Margins() const { return FMargins; }
    void SetMargins(const QRect &thousandthsOfAnInch) { FMargins = thousandthsOfAnInch; }
    // Margins as wide as the printer's unprintable edges (its page layout's margins).
    void DefaultMargins();

    int PhysicalWidth() const { return FPhysicalWidth; }
    int PhysicalHeight() const { return FPhysicalHeight; }
    int PixelsPerInchX() const { return FPixelsPerInchX; }
    int PixelsPerInchY() const { return FPixelsPerInchY; }

    // The current printer: the system's default one, or a PDF file printer when none is installed.
    QPrinter *Printer();
    // Replaces the printer (taken over), then reads its metrics and sets the default margins.
    void SetPrinter(QPrinter *printer);
    // The PDF file that Print writes when the printer prints to a file; empty asks for one when printing.
    void SetOutputFileName(const QString &fileName);

    QRect PaperRect() const;
    QRect PrintableRect() const;
    // Reads size and resolution of the printer; on a failure the previous values stay.
    void UpdatePrinterMetrics();

    // The page-setup dialog; true when confirmed, after which the source is paginated again.
    bool PageSetup(QWidget *owner);
    // The printer dialog (which also offers printing to a PDF file); true when confirmed.
    bool PrinterSetup(QWidget *owner);
    // Runs the preview dialog for source, modally.
    void Preview(TPrxSource *source, QWidget *owner = nullptr);
    // Prints every page of source on Printer() as it is set up. A PDF printer without an output file
    // asks for one (QBDialogs, so tests can answer). Raises EPrxError when the job cannot start.
    void Print(TPrxSource *source);

    // The preview link; a second one raises EPrxError "Only one preview allowed.".
    void AttachLink(TPrxPreviewLinkBase *link);
    void DetachLink(TPrxPreviewLinkBase *link);
    TPrxPreviewLinkBase *PreviewLink() const { return FPreviewLink; }
    // The source being printed or previewed; null outside those operations.
    TPrxSource *Source() const { return FSource; }

private:
    // Renders every page of a prepared source on the printer.
    void PrintPages(TPrxSource *source);
    // Runs change around a geometry change: the link's Begin/EndChange and the source re-paginated.
    template <typename Change> void ChangeGeometry(Change change);

    static TPrxController *FApplication;
    std::unique_ptr<QPrinter> FPrinter;
    QRect FMargins;
    int FPhysicalWidth = 8500;
    int FPhysicalHeight = 11000;
    int FPixelsPerInchX = 1000;
    int FPixelsPerInchY = 1000;
    TPrxSource *FSource = nullptr;
    TPrxPreviewLinkBase *FPreviewLink = nullptr;
};
