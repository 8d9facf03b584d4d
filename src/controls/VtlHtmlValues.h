// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "xml/QBHtmlReader.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>

// The values of a web page's attributes and inline styles, as far as a web clipping keeps them.
namespace VtlHtmlValues {

// An attribute's value; empty when the element has none.
QString Attribute(const QList<TQBHtmlAttribute> &attributes, QLatin1String name);
bool HasAttribute(const QList<TQBHtmlAttribute> &attributes, QLatin1String name);
// The declarations of a style attribute, names and values lower case.
QHash<QString, QString> StyleOf(const QList<TQBHtmlAttribute> &attributes);
// A colour as pages write it; invalid for what is not simple, transparent or too light to read on paper.
QColor ColorOf(QString text);
// A length in pixels as an attribute or a style gives it ("120", "120px"); -1 for anything else.
int PixelsOf(QString text);
// Links a note may follow: the web, file transfer and mail. Others (scripts, local files, relative
// addresses that have no page to be relative to) leave their text without a link.
bool LinkAllowed(const QString &href);
// The bytes of a data: URL holding a picture; empty for anything else.
QByteArray PictureOfDataUrl(const QString &src);

} // namespace VtlHtmlValues
