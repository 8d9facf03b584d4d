// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Picture decoding for the reader, with sizes checked before anything is allocated.
namespace QBRtfPictures {

// Pictures larger than this many pixels are not decoded.
constexpr qint64 MaxPixels = 40'000'000;

// Whether a compressed picture of this many bytes may unpack to this many pixels: small files may not
// ask for huge images, so memory stays in proportion to the input.
bool SizeAllowed(qint64 pixels, qint64 dataSize);

// Decodes a JPEG through libjpeg; a null image when the data are not a JPEG it can decode.
QImage DecodeJpeg(const QByteArray &data);
QImage DecodePng(const QByteArray &data);
// A device-independent bitmap as \dibitmap holds it: BITMAPINFOHEADER, colour table, bits.
QImage DecodeDib(const QByteArray &data);
// A device-dependent bitmap as \wbitmap holds it: rows of widthBytes bytes, bottom row last.
QImage DecodeWBitmap(const QByteArray &data, int width, int height, int bitsPerPixel, int widthBytes);

// A framed grey box of the given size in pixels that stands for something not drawn here.
QImage Placeholder(QSize size);

} // namespace QBRtfPictures
