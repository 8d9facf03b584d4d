// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "EditorTexts.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfPictures.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>

void TVtlRichEdit::InsertImage(const QImage &image, const QByteArray &fileData, int kind)
{
    if (image.isNull())
        return;
    QByteArray data = fileData;
    if (data.isEmpty() || (kind != QBRtfFormat::Png && kind != QBRtfFormat::Jpeg)) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = QBRtfFormat::Png;
    }
    const QByteArray hash = QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
    const QUrl name(QString::fromLatin1(QBRtfFormat::ImageScheme) + QLatin1Char(':') + QString::fromLatin1(hash));
    document()->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(image.width());
    format.setHeight(image.height());
    format.setProperty(QBRtfFormat::PictureData, data);
    format.setProperty(QBRtfFormat::PictureKind, kind);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertImage(format);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void TVtlRichEdit::ReadPicture(const QString &fileName, QImage &image, QByteArray &data, int &kind)
{
    const auto fail = [&fileName](const QString &reason) {
        return EVtlPictureError(
            NVKFormatS(EditorText("SPictureError", "Cannot load the picture '%s': %s"), {fileName, reason}));
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw fail(file.errorString());
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw fail(file.errorString());
    if (data.startsWith("\xFF\xD8\xFF")) {
        image = QBRtfPictures::DecodeJpeg(data);
        if (image.isNull())
            throw fail(EditorText("SJpegError", "The JPEG data are damaged or too large."));
        kind = QBRtfFormat::Jpeg;
        return;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        throw fail(EditorText("SUnknownPicture", "The file is not a picture in a known format."));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > QBRtfPictures::MaxPixels)
        throw fail(EditorText("SPictureTooLarge", "The picture is too large."));
    image = reader.read();
    if (image.isNull())
        throw fail(reader.errorString());
    kind = format == "png" ? QBRtfFormat::Png : 0;
}
