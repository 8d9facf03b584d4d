// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBStrings.h"

#include "NVKFormat.h"
#include "NVKResourceSet.h"

const QList<TQBNamedText> &QBNamedTexts()
{
    using namespace QBStrings;
    static const QList<TQBNamedText> texts = {
        SDocumentFilter,
        SConfirmSave,
        SSaveOldVersion,
        SConfirmDelete,
        SConfirmDeleteChildren,
        SNoFilter,
        SArticleNotFound,
        SBack,
        SForward,
        SEmpty,
        SLevel,
        SSubarticles,
        SInvalidFontSize,
        SCannotOpenLocation,
        SNoAssociation,
        SLineLimit,
        SExportSuccess,
        SPrintProgress,
        SErrorDefault,
        STipsError,
        SNoFileName,
        SInvalidEncoding,
        SInvalidLanguageFile,
        SConfirmReplaceLang,
        SErrorCreateDir,
        SErrorCopyFile,
        SLangAdded,
        SSaved,
        SOutlinePage,
        SCannotReadFile,
        SNoCharMap,
        SNoCalculator,
        SCannotStartProgram,
        SBackupFailed,
        SMatchArticleDeleted,
        SSearchFailed,
        SNoMatches,
        SMatchCount,
        SPrintFailed,
        SPreviewStatus,
        SCentimetres,
        SInches,
        SLines,
        SAttachmentTooLarge,
        SConfirmOpenProgram,
        SCannotWriteAttachment,
        SDamagedAttachment,
        SChangedOnDisk,
        SAutosaveSkipped,
        SRecoveryOffer,
        SRecoveryDamaged,
        SRecoveryCopyFailed,
        SMoreDetails,
        SLessDetails,
        SInvalidRevision,
        SUndoStep,
        SRedoStep,
        SStepAddChild,
        SStepAddSibling,
        SStepDelete,
        SStepRename,
        SStepMarker,
        SStepMove,
        SStepCut,
        SStepPaste,
        SStepSplit,
        SUndoBodyEdited,
    };
    return texts;
}

const TQBNamedText *QBFindNamedText(const QString &name)
{
    for (const TQBNamedText &text : QBNamedTexts()) {
        if (name == QLatin1String(text.Name))
            return &text;
    }
    return nullptr;
}

QString QBLoadStr(const TNVKCustomResourceManager *localizer, const TQBNamedText &text)
{
    const QString defaultText = QString::fromUtf8(text.Default);
    return localizer ? localizer->GetString(QString::fromLatin1(text.Name), defaultText) : defaultText;
}

QString QBFormatStr(const TNVKCustomResourceManager *localizer, const TQBNamedText &text, const QVariantList &args)
{
    return Format(QBLoadStr(localizer, text), args);
}
