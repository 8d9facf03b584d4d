// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDocAccess.h"

#include <QMetaMethod>

namespace {

const char SInvalidCast[] = "Invalid class typecast";

IQBArticleChangeArgsPtr articleArgs(const INVKUnknownPtr &args)
{
    auto cast = std::dynamic_pointer_cast<IQBArticleChangeArgs>(args);
    if (!cast)
        throw Exception(QString::fromUtf8(SInvalidCast));
    return cast;
}

IQBStructureChangeArgsPtr structureArgs(const INVKUnknownPtr &args)
{
    auto cast = std::dynamic_pointer_cast<IQBStructureChangeArgs>(args);
    if (!cast)
        throw Exception(QString::fromUtf8(SInvalidCast));
    return cast;
}

} // namespace

TQBDataAccess::TQBDataAccess(QObject *owner) : TNVKCustomServiceAccess(owner, QStringLiteral("Quillbox:Data")) {}

void TQBDataAccess::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    const INVKUnknownPtr held = param;
    switch (code) {
    case QB_DATA_BEFORE_CREATE:
        DoBeforeCreate();
        break;
    case QB_DATA_AFTER_CREATE:
        DoAfterCreate();
        break;
    case QB_DATA_BEFORE_OPEN:
        DoBeforeOpen();
        break;
    case QB_DATA_AFTER_OPEN:
        DoAfterOpen();
        break;
    case QB_DATA_BEFORE_SAVE:
        DoBeforeSave();
        break;
    case QB_DATA_AFTER_SAVE:
        DoAfterSave();
        break;
    case QB_DATA_HEADER_CHANGED:
        DoHeaderChanged();
        break;
    case QB_DATA_CAPTION_CHANGED:
        DoCaptionChanged(held);
        break;
    case QB_DATA_CONTENT_CHANGED:
        DoContentChanged(held);
        break;
    case QB_DATA_MARKER_CHANGED:
        DoMarkerChanged(held);
        break;
    case QB_DATA_ARTICLE_ADDED:
        DoArticleAdded(held);
        break;
    case QB_DATA_ARTICLE_DELETED:
        DoArticleDeleted(held);
        break;
    case QB_DATA_ARTICLE_MOVED:
        DoArticleMoved(held);
        break;
    default:
        break;
    }
}

// Article notices are only unpacked for someone who listens.
void TQBDataAccess::DoCaptionChanged(const INVKUnknownPtr &args)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TQBDataAccess::captionChanged)))
        Q_EMIT captionChanged(articleArgs(args)->Article());
}

void TQBDataAccess::DoContentChanged(const INVKUnknownPtr &args)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TQBDataAccess::contentChanged)))
        Q_EMIT contentChanged(articleArgs(args)->Article());
}

void TQBDataAccess::DoMarkerChanged(const INVKUnknownPtr &args)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TQBDataAccess::markerChanged)))
        Q_EMIT markerChanged(articleArgs(args)->Article());
}

void TQBDataAccess::DoArticleAdded(const INVKUnknownPtr &args)
{
    const auto structure = structureArgs(args);
    Q_EMIT articleAdded(structure->Article(), structure->Parent());
}

void TQBDataAccess::DoArticleDeleted(const INVKUnknownPtr &args)
{
    const auto structure = structureArgs(args);
    Q_EMIT articleDeleted(structure->Article(), structure->Parent());
}

void TQBDataAccess::DoArticleMoved(const INVKUnknownPtr &args)
{
    const auto structure = structureArgs(args);
    Q_EMIT articleMoved(structure->Article(), structure->Parent());
}
