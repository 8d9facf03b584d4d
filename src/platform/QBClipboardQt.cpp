// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "platform/QBClipboardQt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard *systemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

QString mimeType()
{
    return QString::fromLatin1(QBArticleMimeType);
}

} // namespace

bool TQBClipboard::FormatAvailable() const
{
    return systemClipboard() != nullptr;
}

bool TQBClipboard::OffersArticle() const
{
    QClipboard *clipboard = systemClipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasFormat(mimeType());
}

bool TQBClipboard::PlaceData(const QByteArray &data)
{
    QClipboard *clipboard = systemClipboard();
    if (!clipboard)
        return false;
    auto *mime = new QMimeData;
    mime->setData(mimeType(), data);
    // The clipboard owns the data from here on, also when it cannot take it.
    clipboard->setMimeData(mime);
    const QMimeData *placed = clipboard->mimeData();
    return placed && placed->hasFormat(mimeType()) && placed->data(mimeType()) == data;
}

bool TQBClipboard::TakeData(QByteArray &data) const
{
    QClipboard *clipboard = systemClipboard();
    const QMimeData *mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime || !mime->hasFormat(mimeType()))
        return false;
    data = mime->data(mimeType());
    return !data.isEmpty();
}

void QBInstallSystemClipboard()
{
    QBSetArticleClipboard(std::make_shared<TQBClipboard>());
}
