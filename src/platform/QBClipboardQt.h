// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBClipbrd.h"

// Articles on the system clipboard, as MIME data of type application/x-quillbox-article (UTF-8),
// so that two running instances share them. Unusable (HasFormat false, Copy places nothing,
// Paste returns none) without a QGuiApplication. Use it on the GUI thread only.
class TQBClipboard final : public TQBArticleClipboard
{
protected:
    bool FormatAvailable() const override;
    bool OffersArticle() const override;
    // Replaces the clipboard's contents and reads them back to confirm they are there.
    bool PlaceData(const QByteArray &data) override;
    bool TakeData(QByteArray &data) const override;
};

// Makes the system clipboard the one every document uses (QBSetArticleClipboard).
void QBInstallSystemClipboard();
