// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "platform/QBColors.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QRegularExpression &UrlPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:\\b(?:https?|ftp|file|mailto|news|nntp|telnet|gopher|wais|prospero|notes):|\\bwww\\.)"
                       "[^\\s<>\"{}]+"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// A detected address does not end in punctuation that usually closes the sentence around it.
int TrimUrlEnd(const QString &text, int start, int length)
{
    static const QString trailing = QStringLiteral(".,;:!?)]'");
    while (length > 0 && trailing.contains(text.at(start + length - 1)))
        --length;
    return length;
}

} // namespace

void TVtlRichEdit::SetAutoURLDetect(bool value)
{
    if (FAutoURLDetect == value)
        return;
    FAutoURLDetect = value;
    if (!value) {
        QTextDocument *doc = document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            block.setUserState(-1);
            if (QTextLayout *layout = block.layout(); layout && !layout->formats().isEmpty()) {
                layout->clearFormats();
                doc->markContentsDirty(block.position(), block.length());
            }
        }
    }
    viewport()->update();
}

void TVtlRichEdit::MarkVisibleUrls()
{
    // Addresses are marked only where the text is seen, so a long body loads without being scanned;
    // the marks live in the layout and never reach the body.
    QTextDocument *doc = document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    const QRegularExpression &pattern = UrlPattern();
    FMarkingUrls = true;
    for (QTextBlock block = cursorForPosition(QPoint(0, 0)).block(); block.isValid(); block = block.next()) {
        if (layout->blockBoundingRect(block).top() > bottom)
            break;
        if (block.userState() == 1)
            continue;
        block.setUserState(1);
        QList<QTextLayout::FormatRange> ranges;
        const QString text = block.text();
        if (text.contains(QLatin1Char(':')) || text.contains(QLatin1String("www."), Qt::CaseInsensitive)) {
            QTextCharFormat format;
            // Link blue, unless the editor's background is too dark for it (a dark desktop's window colour).
            format.setForeground(QBReadableOn(palette().color(QPalette::Base), QColor(0, 0, 255)));
            format.setFontUnderline(true);
            auto it = pattern.globalMatch(text);
            while (it.hasNext()) {
                const QRegularExpressionMatch match = it.next();
                const int start = int(match.capturedStart());
                ranges.append({start, TrimUrlEnd(text, start, int(match.capturedLength())), format});
            }
        }
        QTextLayout *blockLayout = block.layout();
        if (ranges.isEmpty() && blockLayout->formats().isEmpty())
            continue;
        blockLayout->setFormats(ranges);
        doc->markContentsDirty(block.position(), block.length());
    }
    FMarkingUrls = false;
}

QString TVtlRichEdit::UrlAt(int position) const
{
    if (position < 0 || position >= TextLength())
        return {};
    QTextCursor at(document());
    at.setPosition(position + 1);
    const QTextCharFormat format = at.charFormat();
    if (format.isAnchor() && !format.anchorHref().isEmpty())
        return format.anchorHref();
    if (!FAutoURLDetect)
        return {};
    const QTextBlock block = document()->findBlock(position);
    const QString text = block.text();
    const int offset = position - block.position();
    auto it = UrlPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int start = int(match.capturedStart());
        const int length = TrimUrlEnd(text, start, int(match.capturedLength()));
        if (offset >= start && offset < start + length)
            return text.mid(start, length);
        if (start > offset)
            break;
    }
    return {};
}
