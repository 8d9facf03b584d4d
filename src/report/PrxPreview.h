// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "report/PrxCore.h"

#include <QPointer>
#include <QScrollArea>
#include <QSize>
#include <memory>

enum TPreviewSizing : int { psFitToWidth = 0, psFitToHeight = 1, psCustom = 2 };

// Where the page goes in the preview's client area, and the scale it is drawn at.
struct TPrxPreviewGeometry
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    // Page pixels per screen pixel of paper.
    double ZoomFactor = 1;
};

// The preview's layout arithmetic: client is the visible area, paper the paper in screen pixels,
// aspect the page's width over its height, zoomFactor the scale psCustom keeps. Halves round to even.
TPrxPreviewGeometry PrxPreviewLayout(TPreviewSizing sizing, QSize client, QSize paper, double aspect, double zoomFactor,
                                     int border);

class TPrxPreview;

// The page: paper background, the source's page and the margin lines.
class TPreviewPage : public QWidget
{
    Q_OBJECT

public:
    explicit TPreviewPage(TPrxPreview *preview);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPrxPreview *FPreview;
};

// Forwards the controller's geometry changes to the preview.
class TPrxPreviewLink : public TPrxPreviewLinkBase
{
public:
    explicit TPrxPreviewLink(TPrxPreview *preview) : FPreview(preview) {}
    void BeginChange() override;
    void EndChange() override;

private:
    TPrxPreview *FPreview;
};

// Shows one page of the controller's current source, fitted to the width, to the height or at a zoom.
class TPrxPreview : public QScrollArea
{
    Q_OBJECT

public:
    explicit TPrxPreview(QWidget *owner = nullptr);
    ~TPrxPreview() override;

    TPrxController *Controller() const { return FController; }
    // Attaches the preview to controller (EPrxError "Only one preview allowed." when another is) and
    // builds the page.
    void SetController(TPrxController *controller);
    TPreviewSizing Sizing() const { return FSizing; }
    void SetSizing(TPreviewSizing sizing);
    // Percent: the zoom factor × 100, halves to even.
    int Zoom() const;
    // Values below 1 are ignored.
    void SetZoom(int percent);
    bool ShowMargins() const { return FShowMargins; }
    void SetShowMargins(bool show);
    int PageIndex() const { return FPageIndex; }
    // Negative values are ignored.
    void SetPageIndex(int index);
    // The controller's source's pages; 0 without one.
    int PageCount() const;
    double AspectRatio() const { return FAspectRatio; }
    double ZoomFactor() const { return FZoomFactor; }
    int Border() const { return FBorder; }
    TPreviewPage *Page() const { return FPage; }

    void Layout();
    void BeginChange();
    void EndChange();
    // Draws the page on painter, which covers the page widget.
    void PaintPage(QPainter &painter);

signals:
    void zoomChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<TPrxController> FController;
    TPreviewSizing FSizing = psFitToHeight;
    bool FShowMargins = true;
    int FPageIndex = 0;
    double FAspectRatio = 1;
    double FZoomFactor = 1;
    int FBorder = 8;
    bool FChanging = true;
    bool FInLayout = false;
    QWidget *FCanvas;
    TPreviewPage *FPage = nullptr;
    std::unique_ptr<TPrxPreviewLink> FLink;
};
