// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PrxPreview.h"

#include "report/PrxUtils.h"

#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {

int nearest(double x)
{
    return int(std::nearbyint(x));
}

} // namespace

TPrxPreviewGeometry PrxPreviewLayout(TPreviewSizing sizing, QSize client, QSize paper, double aspect, double zoomFactor,
                                     int border)
{
    TPrxPreviewGeometry g;
    g.ZoomFactor = zoomFactor;
    if (aspect <= 0)
        aspect = 1;
    switch (sizing) {
    case psFitToWidth:
        g.Width = client.width() - 2 * border;
        g.Height = nearest(g.Width / aspect);
        if (paper.width() > 0)
            g.ZoomFactor = double(g.Width) / paper.width();
        break;
    case psFitToHeight:
        g.Height = client.height() - 2 * border;
        g.Width = nearest(g.Height * aspect);
        if (paper.width() > 0)
            g.ZoomFactor = double(g.Width) / paper.width();
        break;
    case psCustom:
        g.Width = nearest(paper.width() * zoomFactor);
        g.Height = nearest(paper.height() * zoomFactor);
        break;
    }
    // A window too small for the border still shows a page of one pixel, never a negative one.
    if (g.Width < 1 || g.Height < 1) {
        g.Width = qMax(g.Width, 1);
        g.Height = qMax(g.Height, 1);
        if (sizing != psCustom && paper.width() > 0)
            g.ZoomFactor = double(g.Width) / paper.width();
    }
    g.Left = client.width() - 2 * border > g.Width ? (client.width() - g.Width) / 2 : border;
    g.Top = client.height() > g.Height ? (client.height() - g.Height) / 2 : border;
    return g;
}

// ---- TPreviewPage ----

TPreviewPage::TPreviewPage(TPrxPreview *preview) : QWidget(preview->widget()), FPreview(preview)
{
    setObjectName(QStringLiteral("PreviewPage"));
    setAutoFillBackground(false);
}

void TPreviewPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FPreview->PaintPage(painter);
}

// ---- TPrxPreviewLink ----

void TPrxPreviewLink::BeginChange()
{
    FPreview->BeginChange();
}

void TPrxPreviewLink::EndChange()
{
    FPreview->EndChange();
}

// ---- TPrxPreview ----

TPrxPreview::TPrxPreview(QWidget *owner)
    : QScrollArea(owner), FCanvas(new QWidget), FLink(std::make_unique<TPrxPreviewLink>(this))
{
    setObjectName(QStringLiteral("Preview"));
    setBackgroundRole(QPalette::Dark);
    setWidgetResizable(false);
    FCanvas->setObjectName(QStringLiteral("PreviewCanvas"));
    FCanvas->setBackgroundRole(QPalette::Dark);
    setWidget(FCanvas);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
}

TPrxPreview::~TPrxPreview()
{
    if (FController)
        FController->DetachLink(FLink.get());
}

void TPrxPreview::SetController(TPrxController *controller)
{
    if (controller == FController)
        return;
    // A refused attachment leaves the preview on its old controller.
    if (controller)
        controller->AttachLink(FLink.get());
    BeginChange();
    if (FController)
        FController->DetachLink(FLink.get());
    FController = controller;
    EndChange();
}

void TPrxPreview::BeginChange()
{
    FChanging = true;
    delete FPage;
    FPage = nullptr;
    FPageIndex = 0;
}

void TPrxPreview::EndChange()
{
    FChanging = false;
    if (!FPage && FController) {
        FPage = new TPreviewPage(this);
        FPage->show();
        FBorder = 8;
        Layout();
    }
}

int TPrxPreview::PageCount() const
{
    if (FController && FController->Source())
        return FController->Source()->PageCount();
    return 0;
}

void TPrxPreview::SetSizing(TPreviewSizing sizing)
{
    if (sizing == FSizing)
        return;
    FSizing = sizing;
    Layout();
}

int TPrxPreview::Zoom() const
{
    return nearest(FZoomFactor * 100);
}

void TPrxPreview::SetZoom(int percent)
{
    if (percent < 1 || percent == Zoom())
        return;
    FZoomFactor = percent / 100.0;
    if (FSizing == psCustom)
        Layout();
}

void TPrxPreview::SetShowMargins(bool show)
{
    FShowMargins = show;
    if (FPage)
        FPage->update();
}

void TPrxPreview::SetPageIndex(int index)
{
    if (index < 0)
        return;
    FPageIndex = index;
    if (FPage)
        FPage->update();
}

void TPrxPreview::Layout()
{
    if (!FPage || !FController || FInLayout)
        return;
    FInLayout = true;
    const QRect paper = FController->PaperRect();
    const QSize paperPixels(PrxMulDiv(paper.right(), logicalDpiX(), 1000),
                            PrxMulDiv(paper.bottom(), logicalDpiY(), 1000));
    // The page widget stands for the whole paper, so it keeps the paper's proportions.
    FAspectRatio =
        FController->PhysicalHeight() > 0 ? double(FController->PhysicalWidth()) / FController->PhysicalHeight() : 1.0;
    const QSize client = viewport()->size();
    const TPrxPreviewGeometry g = PrxPreviewLayout(FSizing, client, paperPixels, FAspectRatio, FZoomFactor, FBorder);
    FZoomFactor = g.ZoomFactor;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    FCanvas->resize(qMax(client.width(), g.Left + g.Width + FBorder),
                    qMax(client.height(), g.Top + g.Height + FBorder));
    FPage->setGeometry(g.Left, g.Top, g.Width, g.Height);
    FPage->update();
    FInLayout = false;
    emit zoomChanged();
}

void TPrxPreview::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    Layout();
}

void TPrxPreview::PaintPage(QPainter &painter)
{
    const int width = FPage->width();
    const int height = FPage->height();
    painter.fillRect(0, 0, width, height, palette().color(QPalette::Base));
    if (!FController)
        return;
    TPrxSource *source = FController->Source();
    const QRect margins = FController->Margins();
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const auto m = [&](int thou, int dpi) { return nearest(PrxMulDiv(thou, dpi, 1000) * FZoomFactor); };
    if (source && source->UsesRenderInfo()) {
        TPrxRenderInfo info;
        info.Canvas = &painter;
        info.IsPreview = true;
        info.PageRect = PrxRect(0, 0, width, height);
        info.ClipRect = PrxRect(m(margins.left(), dpiX), m(margins.top(), dpiY), width - m(margins.right(), dpiX),
                                height - m(margins.bottom(), dpiY));
        painter.save();
        source->RenderPage(FPageIndex, info);
        painter.restore();
    }
    // One logical unit is a thousandth of an inch of paper.
    const QRect paper = FController->PaperRect();
    painter.save();
    painter.setWindow(0, 0, qMax(1, paper.right()), qMax(1, paper.bottom()));
    painter.setViewport(0, 0, width, height);
    if (FShowMargins) {
        QPen pen(QColor(0x00, 0x80, 0x80), 0, Qt::DotLine);
        painter.setPen(pen);
        const int right = paper.right() - margins.right();
        const int bottom = paper.bottom() - margins.bottom();
        painter.drawLine(margins.left(), 0, margins.left(), paper.bottom());
        painter.drawLine(right, 0, right, paper.bottom());
        painter.drawLine(0, margins.top(), paper.right(), margins.top());
        painter.drawLine(0, bottom, paper.right(), bottom);
    }
    if (source && !source->UsesRenderInfo())
        source->DrawPage(FPageIndex, &painter);
    painter.restore();
}
