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
    int Start; // first character
    int End;   // one past the last character, the paragraph break included
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

} // namespace

TPrxRichEditSource::TPrxRichEditSource(QObject *owner) : TPrxSource(owner) {}

TPrxRichEditSource::~TPrxRichEditSource() = default;

void TPrxRichEditSource::SetDocument(const QTextDocument *document)
{
    if (Prepared())
        Unprepare();
    FDocument = document;
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
    FLayoutDpi = screenDpi();
    const qreal width = PrxWidth(FPrintRect) * FLayoutDpi / 1440.0;
    const qreal height = PrxHeight(FPrintRect) * FLayoutDpi / 1440.0;
    // Margins that meet or cross leave nothing to print on.
    if (width < 1 || height < 1)
        return false;
    if (!FDocument)
        return true;
    const int length = FDocument->characterCount() - 1;
    if (length <= 0)
        return true;

    FLayout.reset(FDocument->clone());
    FLayout->setUndoRedoEnabled(false);
    FLayout->documentLayout()->setPaintDevice(&measuringDevice(FLayoutDpi));
    FLayout->setDocumentMargin(0);
    FLayout->setTextWidth(width);

    QAbstractTextDocumentLayout *layout = FLayout->documentLayout();
    QList<TLine> lines;
    for (QTextBlock block = FLayout->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *text = block.layout();
        if (!text || !block.isVisible())
            continue;
        const qreal top = layout->blockBoundingRect(block).top();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            const int start = block.position() + line.textStart();
            int end = start + line.textLength();
            if (i == text->lineCount() - 1)
                end = block.position() + block.length();
            lines.append({top + line.y(), top + line.y() + line.height(), start, end});
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
        FBands.append({pageTop, bottom});
        i = next;
    }
    return true;
}

void TPrxRichEditSource::DoUnprepare()
{
    FPages.clear();
    FBands.clear();
    FLayout.reset();
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
    const QPair<qreal, qreal> band = FBands.at(page);
    painter->translate(0, -band.first);
    const qreal width = FLayout->textWidth();
    const QRectF shown(-width, band.first, 3 * width, band.second - band.first);
    painter->setClipRect(shown, Qt::IntersectClip);

    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = shown;
    // Paper is white whatever the desktop's colours.
    context.palette.setColor(QPalette::Text, Qt::black);
    FLayout->documentLayout()->draw(painter, context);
    painter->restore();
}

void TPrxRichEditSource::DrawPage(int, QPainter *) {}
