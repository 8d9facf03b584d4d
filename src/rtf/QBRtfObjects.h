// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>

#include <optional>

// A file carried in the text. It travels in the RTF as an embedded object of class "Package", the form
// word processors use for files they have no program for, so that other writers keep it too. QtCore only.
struct TQBAttachment
{
    QString FileName; // the name without any folder
    QByteArray Data;
};

namespace QBRtfObjects {

// Files above this size are linked rather than attached: the body holds them twice over as hex.
constexpr qint64 MaxAttachmentBytes = 20 * 1024 * 1024;

// The object data of a package holding the file: the OLE 1 header, the packager's native data with the
// file's name in the ANSI code page and again in UTF-16.
QByteArray PackageData(const QString &fileName, QByteArrayView data);

// The file in object data of class "Package"; empty when the data are of another kind or damaged.
std::optional<TQBAttachment> ReadPackage(QByteArrayView objectData);

// The whole object group for a file, drawn as a PNG picture of the given pixels, shown at the given size
// in pixels of the screen (smaller for a picture drawn for high-density screens).
QByteArray AttachmentRtf(const TQBAttachment &attachment, QByteArrayView png, QSize pixels, QSize shown);

// The attachment an object group holds; empty for objects of other classes or damaged ones.
std::optional<TQBAttachment> AttachmentFromRtf(QByteArrayView group);

// Whether an object group says it is a package, without reading its data.
bool IsAttachmentRtf(QByteArrayView group);

// A name safe to create a file of in a folder of one's own: no folders, no control characters, not
// hidden, not empty.
QString SafeFileName(const QString &name);

} // namespace QBRtfObjects
