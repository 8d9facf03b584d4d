// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "report/PrxCore.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QTextDocument>
#include <memory>

// Paginates a rich text for the controller's geometry and draws its pages. Pagination lays out a copy
// of the text at the printable width, on a device with the screen's resolution, and keeps only where
// each page starts and ends; pages are drawn from that one layout, scaled, so the preview and the
// printer break lines alike. The copy lives until the text changes or another one is set, so printing
// after a preview does not copy the text again.
class TPrxRichEditSource : public TPrxSource
{
    Q_OBJECT

public:
    explicit TPrxRichEditSource(QObject *owner = nullptr);
    ~TPrxRichEditSource() override;

    // The assembled text; not owned. Setting it drops the pagination.
    void SetDocument(const QTextDocument *document);
    const QTextDocument *Document() const { return FDocument; }

    // A page: its first and last character position in the text.
    struct TPage
    {
        int StartPos;
        int EndPos;
    };
    const QList<TPage> &Pages() const { return FPages; }
    // The controller's paper and printable area in twips, as of the last Prepare.
    QRect PageRect() const { return FPageRect; }
    QRect PrintRect() const { return FPrintRect; }

    int PageCount() const override { return int(FPages.size()); }
    bool UsesRenderInfo() const override { return true; }
    void RenderPage(int page, const TPrxRenderInfo &info) override;
    void DrawPage(int page, QPainter *painter) override;

protected:
    // False when the margins leave no room to print.
    bool DoPrepare() override;
    void DoUnprepare() override;

private:
    void UpdateRects();

    QPointer<const QTextDocument> FDocument;
    QList<TPage> FPages;
    // How each page is drawn from the laid-out copy (layout pixels): the band it shows, the lines drawn
    // one by one at its top (those of paragraphs begun on an earlier page, given as block number and
    // line index), and where drawing by the layout takes over.
    struct TBand
    {
        qreal Top;
        qreal Bottom;
        qreal LayoutTop;
        QList<QPair<int, int>> Lines;
    };
    QList<TBand> FBands;
    std::unique_ptr<QTextDocument> FLayout;
    qreal FLayoutDpi = 96;
    QRect FPageRect;
    QRect FPrintRect;
};
