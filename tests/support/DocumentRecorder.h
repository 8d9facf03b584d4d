// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDom.h"
#include "framework/NVKClasses.h"

#include <QList>

// Subscribes to a document's change notices and keeps what arrived.
struct TNotice
{
    int Kind = -1;
    IQBArticlePtr Article;
    IQBArticlePtr Parent;
    bool HasArgs = false;
};

class TDocumentRecorder
{
public:
    explicit TDocumentRecorder(const IQBDocumentPtr &document) : FDocument(document)
    {
        FListener = std::make_shared<TNVKEventListener>([this](int code, const INVKUnknownPtr &param) {
            TNotice notice;
            notice.Kind = code;
            notice.HasArgs = param != nullptr;
            if (auto args = std::dynamic_pointer_cast<IQBArticleChangeArgs>(param))
                notice.Article = args->Article();
            if (auto args = std::dynamic_pointer_cast<IQBStructureChangeArgs>(param))
                notice.Parent = args->Parent();
            Notices.append(notice);
        });
        Control()->SetOnChange(FListener);
    }
    ~TDocumentRecorder() { FListener->Clear(); }

    IQBDocumentControlPtr Control() const { return std::dynamic_pointer_cast<IQBDocumentControl>(FDocument); }
    QList<int> Kinds() const
    {
        QList<int> kinds;
        for (const TNotice &n : Notices)
            kinds.append(n.Kind);
        return kinds;
    }
    void Reset() { Notices.clear(); }

    QList<TNotice> Notices;

private:
    IQBDocumentPtr FDocument;
    std::shared_ptr<TNVKEventListener> FListener;
};
