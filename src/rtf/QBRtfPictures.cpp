// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfPictures.h"

#include <QPainter>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace QBRtfPictures {

namespace {

struct TJpegError
{
    jpeg_error_mgr Manager;
    jmp_buf Jump;
};

void JpegErrorExit(j_common_ptr info)
{
    longjmp(reinterpret_cast<TJpegError *>(info->err)->Jump, 1);
}

void JpegNoMessage(j_common_ptr, int) {}

// libjpeg reports errors by a long jump, so nothing with a destructor lives across it: the pixels go
// into a malloc'd buffer that is copied into a QImage afterwards.
bool JpegToBuffer(const unsigned char *data, unsigned long size, unsigned char **pixels, int *width, int *height,
                  int *components, bool *cmyk)
{
    jpeg_decompress_struct info;
    TJpegError error;
    unsigned char *volatile buffer = nullptr;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegErrorExit;
    error.Manager.emit_message = JpegNoMessage;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        free(buffer);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool isCmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = isCmyk ? JCS_CMYK : JCS_RGB;
    if (!SizeAllowed(qint64(info.image_width) * qint64(info.image_height), qint64(size))) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * size_t(info.output_components);
    buffer = static_cast<unsigned char *>(malloc(stride * info.output_height));
    if (!buffer) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = buffer + stride * info.output_scanline;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
    }
    jpeg_finish_decompress(&info);
    *width = int(info.output_width);
    *height = int(info.output_height);
    *components = info.output_components;
    *cmyk = isCmyk;
    *pixels = buffer;
    jpeg_destroy_decompress(&info);
    return true;
}

quint32 Le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 Le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

} // namespace

bool SizeAllowed(qint64 pixels, qint64 dataSize)
{
    return pixels > 0 && pixels <= MaxPixels && pixels <= qMax<qint64>(4'000'000, dataSize * 2048);
}

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.size() < 4)
        return {};
    unsigned char *pixels = nullptr;
    int width = 0, height = 0, components = 0;
    bool cmyk = false;
    if (!JpegToBuffer(reinterpret_cast<const unsigned char *>(data.constData()),
                      static_cast<unsigned long>(data.size()), &pixels, &width, &height, &components, &cmyk))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull()) {
        for (int y = 0; y < height; ++y) {
            const unsigned char *src = pixels + size_t(y) * size_t(width) * size_t(components);
            auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x, src += components) {
                if (cmyk) {
                    // Adobe writes CMYK inverted.
                    const int k = src[3];
                    dst[x] = qRgb(src[0] * k / 255, src[1] * k / 255, src[2] * k / 255);
                } else if (components == 1) {
                    dst[x] = qRgb(src[0], src[0], src[0]);
                } else {
                    dst[x] = qRgb(src[0], src[1], src[2]);
                }
            }
        }
    }
    free(pixels);
    return image;
}

QImage DecodePng(const QByteArray &data)
{
    // Check the declared size first so a tiny file cannot ask for a huge image.
    if (data.size() < 24 || !data.startsWith("\x89PNG\r\n\x1a\n"))
        return {};
    const qint64 width = qFromBigEndian<quint32>(data.constData() + 16);
    const qint64 height = qFromBigEndian<quint32>(data.constData() + 20);
    // Each side alone may be up to 2^32 - 1; their product would not fit.
    if (width <= 0 || height <= 0 || width > MaxPixels || height > MaxPixels ||
        !SizeAllowed(width * height, data.size()))
        return {};
    return QImage::fromData(data, "PNG");
}

QImage DecodeDib(const QByteArray &data)
{
    if (data.size() < 12)
        return {};
    const char *p = data.constData();
    const quint32 headerSize = Le32(p);
    qint64 width = 0, height = 0;
    int bits = 0;
    quint32 compression = 0, colorsUsed = 0;
    int paletteEntry = 4;
    if (headerSize == 12) {
        width = Le16(p + 4);
        height = qint16(Le16(p + 6));
        bits = Le16(p + 10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && data.size() >= 40 && headerSize <= quint32(data.size())) {
        width = qint32(Le32(p + 4));
        height = qint32(Le32(p + 8));
        bits = Le16(p + 14);
        compression = Le32(p + 16);
        colorsUsed = Le32(p + 32);
    } else {
        return {};
    }
    if (width <= 0 || height == 0 || !SizeAllowed(width * qAbs(height), data.size()))
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return {};
    qint64 paletteCount = colorsUsed ? qint64(colorsUsed) : (bits <= 8 ? (1LL << bits) : 0);
    if (paletteCount > 256)
        return {};
    qint64 offset = 14 + qint64(headerSize) + paletteCount * paletteEntry;
    if (headerSize == 40 && compression == 3)
        offset += 12; // the three colour masks follow the header
    if (offset - 14 > data.size())
        return {};

    // Qt reads bitmap files, so give the bits the file header they lack.
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + data.size()), file.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), file.data() + 10);
    file += data;
    return QImage::fromData(file, "BMP");
}

QImage DecodeWBitmap(const QByteArray &data, int width, int height, int bitsPerPixel, int widthBytes)
{
    if (width <= 0 || height <= 0 || qint64(width) * height > MaxPixels)
        return {};
    if (bitsPerPixel != 1 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return {};
    const qint64 minimum = (qint64(width) * bitsPerPixel + 7) / 8;
    if (widthBytes < minimum)
        widthBytes = int(((qint64(width) * bitsPerPixel + 15) / 16) * 2);
    if (qint64(widthBytes) * height > data.size())
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const unsigned char *>(data.constData()) + qint64(y) * widthBytes;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bitsPerPixel) {
            case 1:
                dst[x] = (row[x / 8] & (0x80 >> (x % 8))) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
                break;
            case 16: {
                const int v = row[x * 2] | (row[x * 2 + 1] << 8);
                dst[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
                break;
            }
            case 24:
                dst[x] = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
                break;
            default:
                dst[x] = qRgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
                break;
            }
        }
    }
    return image;
}

QImage Placeholder(QSize size)
{
    const QSize bounded(qBound(4, size.width() > 0 ? size.width() : 32, 2000),
                        qBound(4, size.height() > 0 ? size.height() : 32, 2000));
    QImage image(bounded, QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, bounded.width() - 1, bounded.height() - 1);
    painter.drawLine(0, 0, bounded.width() - 1, bounded.height() - 1);
    painter.drawLine(0, bounded.height() - 1, bounded.width() - 1, 0);
    return image;
}

} // namespace QBRtfPictures
