// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"
#include "framework/NVKAccess.h"

// Follows the data service: one signal per event, with the article arguments unpacked.
class TQBDataAccess : public TNVKCustomServiceAccess
{
    Q_OBJECT

public:
    explicit TQBDataAccess(QObject *owner = nullptr);

Q_SIGNALS:
    void beforeCreate();
    void afterCreate();
    void beforeOpen();
    void afterOpen();
    void beforeSave();
    void afterSave();
    void headerChanged();
    void captionChanged(const IQBArticlePtr &article);
    void contentChanged(const IQBArticlePtr &article);
    void markerChanged(const IQBArticlePtr &article);
    void articleAdded(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void articleDeleted(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void articleMoved(const IQBArticlePtr &article, const IQBArticlePtr &parent);

protected:
    void ServiceNotify(int code, const INVKUnknownPtr &param) override;

    virtual void DoBeforeCreate() { Q_EMIT beforeCreate(); }
    virtual void DoAfterCreate() { Q_EMIT afterCreate(); }
    virtual void DoBeforeOpen() { Q_EMIT beforeOpen(); }
    virtual void DoAfterOpen() { Q_EMIT afterOpen(); }
    virtual void DoBeforeSave() { Q_EMIT beforeSave(); }
    virtual void DoAfterSave() { Q_EMIT afterSave(); }
    virtual void DoHeaderChanged() { Q_EMIT headerChanged(); }
    virtual void DoCaptionChanged(const INVKUnknownPtr &args);
    virtual void DoContentChanged(const INVKUnknownPtr &args);
    virtual void DoMarkerChanged(const INVKUnknownPtr &args);
    virtual void DoArticleAdded(const INVKUnknownPtr &args);
    virtual void DoArticleDeleted(const INVKUnknownPtr &args);
    virtual void DoArticleMoved(const INVKUnknownPtr &args);
};
