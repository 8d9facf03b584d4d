// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKAccess.h"
#include "framework/NVKResourceSet.h"

#include <QPointer>
#include <QTimer>

// The two safety nets of the open document: an autosave timer, and a backup copy of the file on
// disk taken just before it is overwritten. Follows the data service for create, open and save.
class TQBDataBackup : public TNVKCustomServiceAccess
{
    Q_OBJECT

public:
    explicit TQBDataBackup(QObject *owner = nullptr);

    // The timer runs while Autosave is on, also while the component is inactive.
    bool Autosave() const { return FTimer.isActive(); }
    void SetAutosave(bool value);
    int AutosaveInterval() const;
    void SetAutosaveInterval(int minutes);
    bool Backup() const { return FBackup; }
    void SetBackup(bool value) { FBackup = value; }
    bool BackupFirstTime() const { return FBackupFirstTime; }
    void SetBackupFirstTime(bool value) { FBackupFirstTime = value; }
    QString BackupMask() const { return FBackupMask; }
    void SetBackupMask(const QString &value) { FBackupMask = value; }
    int SaveCount() const { return FSaveCount; }
    // Where the message of a failed backup copy is translated; null gives the built-in English.
    void SetLocalizer(const TNVKCustomResourceManager *value) { FLocalizer = value; }

    // The backup file of fileName under mask: the first "*" becomes the base name, the next the
    // extension ("*.~*" turns /docs/notes.xqb into /docs/notes.~xqb).
    static QString BackupFileName(const QString &fileName, const QString &mask);

    // One tick of the timer: saves a modified, titled document under its own name, unless another
    // program changed the file since.
    void DoAutosave();
    // The timer's tick: the same, but the file is written on another thread (see
    // IQBDataService::SaveInBackground), so a large document does not stop the program.
    void AutosaveTick();
    QTimer *Timer() { return &FTimer; }

Q_SIGNALS:
    // A tick found the file changed by another program and left it alone.
    void autosaveSkipped(const QString &fileName);

protected:
    void ServiceNotify(int code, const INVKUnknownPtr &param) override;

private:
    void MakeBackup();
    void Autosave(bool inBackground);

    QTimer FTimer;
    QTimer FPoll; // looks for the end of a save running in the background
    bool FBackup = false;
    bool FBackupFirstTime = false;
    QString FBackupMask;
    int FSaveCount = 0;
    QPointer<const TNVKCustomResourceManager> FLocalizer;
};
