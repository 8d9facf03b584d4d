// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "report/PrxRichEditSource.h"

#include "report/PrxUtils.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

struct TLine
{
    qreal Top;
    qreal Bottom;
    int Start;      // first character
    int End;        // one past the last character, the paragraph break included
    int Block;      // block number
    int Index;      // line index in the block
    qreal BlockTop; // the block's extent in the document
    qreal BlockBottom;
};

QRect toTwips(const QRect &thou)
{
    return PrxRect(PrxThouToTwips(thou.left()), PrxThouToTwips(thou.top()), PrxThouToTwips(thou.right()),
                   PrxThouToTwips(thou.bottom()));
}

// The resolution pagination measures against: the screen's, as the preview shows it.
qreal screenDpi()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const qreal dpi = screen->logicalDotsPerInchY();
        if (dpi > 0)
            return dpi;
    }
    return 96;
}

// A paint device that only lends its resolution to the layout.
QImage &measuringDevice(qreal dpi)
{
    static QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    return device;
}

// Lines of a block are placed relative to this point of the document.
QPointF blockOrigin(QAbstractTextDocumentLayout *layout, const QTextBlock &block)
{
    return layout->blockBoundingRect(block).topLeft() - block.layout()->boundingRect().topLeft();
}

// Less than any distance a layout produces between two lines.
constexpr qreal Epsilon = 0.05;

} // namespace

TPrxRichEditSource::TPrxRichEditSource(QObject *owner) : TPrxSource(owner) {}

TPrxRichEditSource::~TPrxRichEditSource() = default;

void TPrxRichEditSource::SetDocument(const QTextDocument *document)
{
    if (Prepared())
        Unprepare();
    if (FDocument)
        disconnect(FDocument, nullptr, this, nullptr);
    FDocument = document;
    FLayout.reset();
    // The laid-out copy serves every Prepare until the text changes.
    if (document)
        connect(document, &QTextDocument::contentsChanged, this, [this] { FLayout.reset(); });
}

void TPrxRichEditSource::UpdateRects()
{
    FPrintRect = toTwips(Controller()->PrintableRect());
    FPageRect = toTwips(Controller()->PaperRect());
}

bool TPrxRichEditSource::DoPrepare()
{
    if (Prepared())
        Unprepare();
    UpdateRects();
    const qreal dpi = screenDpi();
    const qreal width = PrxWidth(FPrintRect) * dpi / 1440.0;
    const qreal height = PrxHeight(FPrintRect) * dpi / 1440.0;
    // Margins that meet or cross leave nothing to print on.
    if (width < 1 || height < 1)
        return false;
    if (!FDocument) {
        FLayout.reset();
        return true;
    }
    const int length = FDocument->characterCount() - 1;
    if (length <= 0)
        return true;

    // Copying the text costs as much as laying it out again: a copy at the same resolution is kept,
    // and laid out again only when the width changes.
    if (!FLayout || FLayoutDpi != dpi) {
        FLayoutDpi = dpi;
        FLayout.reset(FDocument->clone());
        FLayout->setUndoRedoEnabled(false);
        FLayout->documentLayout()->setPaintDevice(&measuringDevice(FLayoutDpi));
        FLayout->setDocumentMargin(0);
    }
    if (FLayout->textWidth() != width)
        FLayout->setTextWidth(width);

    QAbstractTextDocumentLayout *layout = FLayout->documentLayout();
    QList<TLine> lines;
    for (QTextBlock block = FLayout->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *text = block.layout();
        if (!text || !block.isVisible())
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const qreal origin = blockOrigin(layout, block).y();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            const int start = block.position() + line.textStart();
            int end = start + line.textLength();
            if (i == text->lineCount() - 1)
                end = block.position() + block.length();
            lines.append({origin + line.y(), origin + line.y() + line.height(), start, end, block.blockNumber(), i,
                          rect.top(), rect.bottom()});
        }
    }
    // Lines of table cells side by side come in document order, not from top to bottom.
    std::stable_sort(lines.begin(), lines.end(), [](const TLine &a, const TLine &b) { return a.Top < b.Top; });

    qsizetype i = 0;
    while (i < lines.size()) {
        const qreal pageTop = lines.at(i).Top;
        const qreal limit = pageTop + height;
        // The first line that would end below the page starts the next one, so no line is cut in two;
        // a line taller than a page gets a page of its own, so every page takes at least one line.
        qsizetype next = i + 1;
        while (next < lines.size() && lines.at(next).Bottom <= limit)
            ++next;
        int start = lines.at(i).Start;
        int end = lines.at(i).End;
        for (qsizetype k = i + 1; k < next; ++k) {
            start = qMin(start, lines.at(k).Start);
            end = qMax(end, lines.at(k).End);
        }
        // The page shows everything down to where the next page starts, so descenders, underlines and
        // the rest of a line's slot stay with their line.
        const qreal bottom = next < lines.size() ? qMin(lines.at(next).Top, limit) : limit;
        FPages.append({start, qMin(end, length) - 1});
        // Paragraphs begun on an earlier page are drawn line by line: the layout, asked for the lines
        // below a point, also draws the one line above it, which a PDF would keep as invisible text.
        TBand band{pageTop, bottom, pageTop, {}};
        for (qsizetype k = i; k < next; ++k) {
            if (lines.at(k).BlockTop < pageTop - Epsilon)
                band.LayoutTop = qMax(band.LayoutTop, lines.at(k).BlockBottom);
        }
        for (qsizetype k = i; k < next && lines.at(k).Top < band.LayoutTop; ++k)
            band.Lines.append({lines.at(k).Block, lines.at(k).Index});
        FBands.append(band);
        i = next;
    }
    return true;
}

void TPrxRichEditSource::DoUnprepare()
{
    FPages.clear();
    FBands.clear();
}

void TPrxRichEditSource::RenderPage(int page, const TPrxRenderInfo &info)
{
    if (!Prepared() || page < 0 || page >= PageCount() || !info.Canvas || !FLayout || !Controller())
        return;
    QPainter *painter = info.Canvas;
    painter->save();

    // Paper twips onto the target: printer pixels when printing, the page widget when previewing.
    QPointF origin;
    qreal sx = 0;
    qreal sy = 0;
    QRectF clip;
    if (info.IsPreview) {
        if (PrxWidth(FPageRect) <= 0 || PrxHeight(FPageRect) <= 0) {
            painter->restore();
            return;
        }
        origin = info.PageRect.topLeft();
        sx = qreal(PrxWidth(info.PageRect)) / PrxWidth(FPageRect);
        sy = qreal(PrxHeight(info.PageRect)) / PrxHeight(FPageRect);
        clip = QRectF(info.ClipRect.left(), info.ClipRect.top(), PrxWidth(info.ClipRect), PrxHeight(info.ClipRect));
    } else {
        sx = Controller()->PixelsPerInchX() / 1440.0;
        sy = Controller()->PixelsPerInchY() / 1440.0;
        clip = QRectF(FPrintRect.left() * sx, FPrintRect.top() * sy, PrxWidth(FPrintRect) * sx,
                      PrxHeight(FPrintRect) * sy);
    }
    painter->setClipRect(clip, Qt::IntersectClip);
    painter->translate(origin);
    painter->scale(sx, sy);
    painter->translate(FPrintRect.left(), FPrintRect.top());
    const qreal k = 1440.0 / FLayoutDpi;
    painter->scale(k, k);
    const TBand &band = FBands.at(page);
    painter->translate(0, -band.Top);
    const qreal width = FLayout->textWidth();
    const QRectF shown(-width, band.Top, 3 * width, band.Bottom - band.Top);
    painter->setClipRect(shown, Qt::IntersectClip);

    QAbstractTextDocumentLayout *layout = FLayout->documentLayout();
    // Paper is white whatever the desktop's colours.
    painter->setPen(Qt::black);
    for (const QPair<int, int> &at : band.Lines) {
        const QTextBlock block = FLayout->findBlockByNumber(at.first);
        if (block.isValid() && block.layout() && at.second < block.layout()->lineCount())
            block.layout()->lineAt(at.second).draw(painter, blockOrigin(layout, block));
    }
    if (band.Bottom - band.LayoutTop > 2 * Epsilon) {
        QAbstractTextDocumentLayout::PaintContext context;
        // A hair inside the band, so that lines which only touch its edges are left to their own pages.
        context.clip = QRectF(-width, band.LayoutTop + Epsilon, 3 * width, band.Bottom - band.LayoutTop - 2 * Epsilon);
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(painter, context);
    }
    painter->restore();
}

void TPrxRichEditSource::DrawPage(int, QPainter *) {}
