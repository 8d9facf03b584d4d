// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "rtf/QBRtfFormats.h"

#include <QBuffer>
#include <QFileIconProvider>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>

namespace {

constexpr int IconSize = 32;
constexpr int MaxLabelWidth = 200;
// Drawn at twice the size it is shown at, so the picture stays sharp on high-density screens and in print.
constexpr int Scale = 2;

QIcon FileIcon(const QString &fileName)
{
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileIconProvider::File);
    return icon;
}

// A sheet with a folded corner, for desktops without an icon theme.
void PaintSheet(QPainter &painter, const QRect &area)
{
    const int fold = area.width() / 4;
    const QPolygon sheet({area.topLeft(), QPoint(area.right() - fold, area.top()),
                          QPoint(area.right(), area.top() + fold), area.bottomRight(), area.bottomLeft()});
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(sheet);
    painter.drawPolyline(
        QPolygon({QPoint(area.right() - fold, area.top()), QPoint(area.right() - fold, area.top() + fold),
                  QPoint(area.right(), area.top() + fold)}));
}

// The object group an object character of the document was read from; empty for anything else.
QByteArray KeptRtfAt(const QTextDocument &document, int position)
{
    if (position < 0 || document.characterAt(position) != QChar::ObjectReplacementCharacter)
        return {};
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return fragment.charFormat().property(QBRtfFormat::KeptRtf).toByteArray();
    }
    return {};
}

} // namespace

QImage TVtlRichEdit::AttachmentPicture(const TQBAttachment &attachment)
{
    QFont font = QGuiApplication::font();
    const QFontMetrics metrics(font);
    const QString size = QLocale().formattedDataSize(attachment.Data.size());
    const QString name = metrics.elidedText(attachment.FileName, Qt::ElideMiddle, MaxLabelWidth);
    const int width = qMax(IconSize + 16, qMax(metrics.horizontalAdvance(name), metrics.horizontalAdvance(size)) + 8);
    const int height = IconSize + 4 + 2 * metrics.height() + 2;

    QImage image(width * Scale, height * Scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Scale, Scale);
    const QRect iconArea((width - IconSize) / 2, 0, IconSize, IconSize);
    const QIcon icon = FileIcon(attachment.FileName);
    const QPixmap pixmap = icon.isNull() ? QPixmap() : icon.pixmap(QSize(IconSize, IconSize), double(Scale));
    if (pixmap.isNull())
        PaintSheet(painter, iconArea.adjusted(6, 0, -6, -1));
    else
        painter.drawPixmap(iconArea, pixmap);
    // Text colours fixed, not the palette's: the picture goes into the file and onto paper.
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    const QRect nameArea(0, IconSize + 4, width, metrics.height());
    painter.drawText(nameArea, Qt::AlignHCenter | Qt::AlignTop, name);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawText(nameArea.translated(0, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, size);
    painter.end();
    return image;
}

void TVtlRichEdit::InsertAttachment(const TQBAttachment &attachment)
{
    const QImage picture = AttachmentPicture(attachment);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    const QByteArray group = QBRtfObjects::AttachmentRtf(attachment, png, picture.size(), picture.size() / Scale);
    InsertRtf("{\\rtf1\\ansi " + group + "}", true);
}

std::optional<TQBAttachment> TVtlRichEdit::AttachmentAt(int position) const
{
    const QByteArray kept = KeptRtfAt(*document(), position);
    if (kept.isEmpty())
        return std::nullopt;
    return QBRtfObjects::AttachmentFromRtf(kept);
}

bool TVtlRichEdit::HasAttachmentAt(int position) const
{
    return QBRtfObjects::IsAttachmentRtf(KeptRtfAt(*document(), position));
}

int TVtlRichEdit::SelectedObject() const
{
    const QTextCursor cursor = textCursor();
    if (cursor.selectionEnd() - cursor.selectionStart() == 1 &&
        document()->characterAt(cursor.selectionStart()) == QChar::ObjectReplacementCharacter)
        return cursor.selectionStart();
    return -1;
}

int TVtlRichEdit::ObjectAtPoint(const QPoint &point) const
{
    // The character under the point, or the one before it when the point is on its right half.
    const int position = cursorForPosition(point).position();
    for (const int candidate : {position, position - 1}) {
        if (candidate < 0 || document()->characterAt(candidate) != QChar::ObjectReplacementCharacter)
            continue;
        QTextCursor cursor(document());
        cursor.setPosition(candidate);
        const QRect start = cursorRect(cursor);
        cursor.setPosition(candidate + 1);
        const QRect end = cursorRect(cursor);
        const QRect area(QPoint(qMin(start.left(), end.left()), qMin(start.top(), end.top())),
                         QPoint(qMax(start.right(), end.left()), qMax(start.bottom(), end.bottom())));
        if (area.adjusted(-1, -1, 1, 1).contains(point))
            return candidate;
    }
    return -1;
}
