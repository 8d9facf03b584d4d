// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlHtmlValues.h"

#include <QUrl>

#include <algorithm>
#include <cmath>

namespace VtlHtmlValues {

QString Attribute(const QList<TQBHtmlAttribute> &attributes, QLatin1String name)
{
    for (const TQBHtmlAttribute &attribute : attributes)
        if (attribute.Name == name)
            return attribute.Value;
    return {};
}

bool HasAttribute(const QList<TQBHtmlAttribute> &attributes, QLatin1String name)
{
    return std::any_of(attributes.begin(), attributes.end(),
                       [name](const TQBHtmlAttribute &attribute) { return attribute.Name == name; });
}

QHash<QString, QString> StyleOf(const QList<TQBHtmlAttribute> &attributes)
{
    QHash<QString, QString> style;
    const QString text = Attribute(attributes, QLatin1String("style"));
    if (text.isEmpty())
        return style;
    for (const QString &declaration : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            continue;
        QString value = declaration.mid(colon + 1).trimmed().toLower();
        value.remove(QLatin1String("!important"));
        style.insert(declaration.left(colon).trimmed().toLower(), value.trimmed());
    }
    return style;
}

QColor ColorOf(QString text)
{
    text = text.trimmed().toLower();
    QColor color;
    if (text.startsWith(QLatin1String("rgb"))) {
        const qsizetype open = text.indexOf(QLatin1Char('('));
        const qsizetype close = text.indexOf(QLatin1Char(')'));
        if (open < 0 || close < open)
            return {};
        QString inner = text.mid(open + 1, close - open - 1);
        inner.replace(QLatin1Char('/'), QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char(' '));
        const QStringList parts = inner.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return {};
        int rgb[3];
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            const double value = QString(parts.at(i)).remove(QLatin1Char('%')).toDouble(&ok);
            if (!ok || !std::isfinite(value))
                return {};
            rgb[i] = int(qBound(0.0, parts.at(i).endsWith(QLatin1Char('%')) ? value * 2.55 : value, 255.0));
        }
        if (parts.size() > 3 && !(parts.at(3).toDouble() > 0.0))
            return {};
        color = QColor(rgb[0], rgb[1], rgb[2]);
    } else {
        color = QColor::fromString(text);
    }
    if (!color.isValid() || color.alpha() == 0 || color.lightnessF() > 0.9)
        return {};
    return color;
}

int PixelsOf(QString text)
{
    text = text.trimmed().toLower();
    if (text.endsWith(QLatin1String("px")))
        text.chop(2);
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value >= 0 && value < 100000 ? int(value) : -1;
}

bool LinkAllowed(const QString &href)
{
    const QUrl url(href.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return url.path().contains(QLatin1Char('@'));
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")) &&
           !url.host().isEmpty();
}

QByteArray PictureOfDataUrl(const QString &src)
{
    const qsizetype comma = src.indexOf(QLatin1Char(','));
    if (comma < 0)
        return {};
    const QString header = src.left(comma).trimmed().toLower();
    static const char *const types[] = {"image/png", "image/jpeg",     "image/jpg", "image/gif",
                                        "image/bmp", "image/x-ms-bmp", "image/webp"};
    const QString type = header.mid(5).section(QLatin1Char(';'), 0, 0).trimmed();
    if (std::none_of(std::begin(types), std::end(types), [&type](const char *t) { return type == QLatin1String(t); }))
        return {};
    const QByteArray payload = QStringView(src).mid(comma + 1).toLatin1();
    if (header.endsWith(QLatin1String(";base64")))
        return QByteArray::fromBase64(payload);
    return QByteArray::fromPercentEncoding(payload);
}

} // namespace VtlHtmlValues
