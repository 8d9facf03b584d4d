// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDocBackup.h"

#include "base/NVKSaveFile.h"
#include "document/QBDataIntf.h"
#include "framework/QBStrings.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

TQBDataBackup::TQBDataBackup(QObject *owner)
    : TNVKCustomServiceAccess(owner, QStringLiteral("Quillbox:Data")), FBackupMask(QStringLiteral("*.~*"))
{
    FTimer.setParent(this);
    SetAutosaveInterval(10);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        // The tick comes from the event loop, where no exception may pass: the error is shown
        // by the application and the timer keeps running.
        try {
            AutosaveTick();
        } catch (...) {
            NVKReportError(NVKCurrentExceptionMessage());
        }
    });
    FPoll.setParent(this);
    FPoll.setInterval(100);
    connect(&FPoll, &QTimer::timeout, this, [this] {
        const IQBDataServicePtr data = DataService();
        if (!data || !data->CollectBackgroundSave(false))
            FPoll.stop();
    });
}

void TQBDataBackup::SetAutosave(bool value)
{
    if (value)
        FTimer.start();
    else
        FTimer.stop();
}

int TQBDataBackup::AutosaveInterval() const
{
    return int(std::lround(FTimer.interval() / 60000.0));
}

void TQBDataBackup::SetAutosaveInterval(int minutes)
{
    FTimer.setInterval(std::chrono::minutes(minutes));
}

QString TQBDataBackup::BackupFileName(const QString &fileName, const QString &mask)
{
    const QFileInfo info(fileName);
    const QString extension = info.suffix();
    QString base = info.fileName();
    if (!extension.isEmpty())
        base.chop(extension.size() + 1);
    else if (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    QString pattern = mask;
    const qsizetype first = pattern.indexOf(QLatin1Char('*'));
    if (first >= 0) {
        pattern.replace(first, 1, base);
        const qsizetype second = pattern.indexOf(QLatin1Char('*'), first + base.size());
        if (second >= 0)
            pattern.replace(second, 1, extension);
    }
    return info.dir().filePath(pattern);
}

void TQBDataBackup::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    Q_UNUSED(param);
    switch (code) {
    case QB_DATA_AFTER_CREATE:
    case QB_DATA_AFTER_OPEN:
        FSaveCount = 0;
        break;
    case QB_DATA_BEFORE_SAVE:
        MakeBackup();
        break;
    default:
        break;
    }
}

void TQBDataBackup::MakeBackup()
{
    if (!FBackup || (FBackupFirstTime && FSaveCount != 0))
        return;
    const IQBDataServicePtr data = DataService();
    if (!data || !data->GetDocument())
        return;
    const QString fileName = data->GetDocument()->FileName();
    const QString backupName = BackupFileName(fileName, FBackupMask);
    // A mask without stars could name the document itself; copying it onto itself would destroy it.
    if (QFileInfo(backupName).absoluteFilePath() != QFileInfo(fileName).absoluteFilePath() &&
        QFileInfo::exists(fileName)) {
        // The previous backup is replaced only by a complete copy. A failure is reported but must
        // never stop the save.
        QString reason;
        if (!NVKCopyFile(fileName, backupName, &reason))
            NVKReportError(QBFormatStr(FLocalizer, QBStrings::SBackupFailed, {fileName, backupName, reason}));
    }
    ++FSaveCount;
}

void TQBDataBackup::AutosaveTick()
{
    Autosave(true);
}

void TQBDataBackup::DoAutosave()
{
    Autosave(false);
}

void TQBDataBackup::Autosave(bool inBackground)
{
    const IQBDataServicePtr data = DataService();
    if (!data)
        return;
    const IQBDocumentPtr document = data->GetDocument();
    // A save still running in the background takes this tick's changes at the next one.
    if (!document || document->IsNew() || (inBackground && data->CollectBackgroundSave(false)))
        return;
    if (const IQBEditorServicePtr editor = EditorService())
        editor->StoreChanges();
    if (!document->Modified())
        return;
    // Never over another program's changes without asking; the next save by hand asks.
    if (data->ChangedOnDisk()) {
        Q_EMIT autosaveSkipped(document->FileName());
        return;
    }
    if (!inBackground) {
        data->SaveDocument(document->FileName());
        ++FSaveCount;
    } else if (data->SaveInBackground()) {
        ++FSaveCount;
        FPoll.start();
    }
}
