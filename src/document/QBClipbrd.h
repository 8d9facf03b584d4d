// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QByteArray>

class EQBClipboardError : public ENVKError
{
public:
    explicit EQBClipboardError(const QString &message) : ENVKError(message) {}
};

// The MIME type under which articles travel; the data is the UTF-8 text of QBEncodeArticle.
inline constexpr char QBArticleMimeType[] = "application/x-quillbox-article";

// The clipboard text of an article with its subtree: one "Article" element (caption, marker,
// body, sub-articles; no IIDs, no creation times), UTF-8, no declaration, no whitespace between
// elements. Raises EQBClipboardError "Invalid article for clipboard operation." for none or an
// article in no document, and EQBClipboardError for a subtree too deep to be pasted again.
QByteArray QBEncodeArticle(const IQBArticlePtr &article);

// Builds new articles of target's document from clipboard text (read up to a terminating zero,
// if any) and appends their root as target's last child. The new articles get fresh IIDs in
// pre-order and the time of pasting; the document raises exactly one article-added notice.
// Raises EQBClipboardError "Invalid article for clipboard operation." for a target in no
// document and "Clipboard contents is not a valid Quillbox article." for text that is not XML
// or whose element is not "Article"; then the document is unchanged but for LastIID. A branch
// that would sit deeper than a file holds (QBMaxArticleLevel) raises EQBDocumentError and
// changes nothing at all.
IQBArticlePtr QBDecodeArticle(const QByteArray &data, const IQBArticlePtr &target);

// Cut, copy and paste of articles over a transport that a descendant provides (the system
// clipboard in the desktop program, memory elsewhere).
class TQBArticleClipboard : public IQBArticleClipboard
{
public:
    // The transport is usable and currently holds an article.
    bool HasFormat() override;
    // Places the article; does nothing when the transport is unusable.
    void Copy(const IQBArticlePtr &article) override;
    // Removes the article from its parent only once the transport verifiably holds its copy;
    // otherwise raises EQBClipboardError and removes nothing. The root is copied, never removed.
    void Cut(const IQBArticlePtr &article) override;
    // None when the transport is unusable or holds no article.
    IQBArticlePtr Paste(const IQBArticlePtr &target) override;

protected:
    virtual bool FormatAvailable() const = 0;
    virtual bool OffersArticle() const = 0;
    // True only when the transport holds exactly these bytes afterwards.
    virtual bool PlaceData(const QByteArray &data) = 0;
    // False when the transport holds no article.
    virtual bool TakeData(QByteArray &data) const = 0;

private:
    bool Place(const IQBArticlePtr &article);
};

// A clipboard inside the process, for headless programs and tests.
class TQBMemoryClipboard : public TQBArticleClipboard
{
public:
    QByteArray Data() const { return FData; }
    // Sets what a paste reads (an empty array: nothing).
    void SetData(const QByteArray &data) { FData = data; }

protected:
    bool FormatAvailable() const override { return true; }
    bool OffersArticle() const override { return !FData.isEmpty(); }
    bool PlaceData(const QByteArray &data) override;
    bool TakeData(QByteArray &data) const override;

private:
    QByteArray FData;
};
