// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"
#include "framework/NVKClasses.h"
#include "services/QBSettingsSvc.h"

#include <functional>

// Owns the one open document and everything that replaces it. It never asks the user: when it
// needs a file name or a decision it raises a request on its provider. Publishes codes 0 to 5
// around create, open and save, and re-publishes the document's notices 6 to 12.
class IQBDataService : public virtual INVKService
{
public:
    virtual IQBDocumentPtr GetDocument() const = 0;
    virtual IQBHistoryListPtr GetRecentFiles() const = 0;
    // Replaces the document by a new untitled one, once the current one may be abandoned.
    virtual bool NewDocument() = 0;
    // Opens a file (an empty name asks for one). A file that fails to load raises and leaves the
    // current document and the recent files as they were.
    virtual bool OpenDocument(const QString &fileName) = 0;
    // Saves under fileName, or under the document's own name when empty (asking for an untitled one).
    virtual bool SaveDocument(const QString &fileName) = 0;
    virtual bool SaveDocumentAs() = 0;
    // Whether the current document may be abandoned; may ask to save it.
    virtual bool CloseDocument() = 0;
    // True when the document's file on disk is no longer what this program last read or wrote:
    // another program or copy of Quillbox changed or replaced it. False for untitled documents and
    // for a file that is gone.
    virtual bool ChangedOnDisk() = 0;
    // Opens a copy of a document as the current document, marked modified, named fileName (or
    // untitled when that is empty): a save writes to fileName, never the copy. False when the
    // current document was not closed.
    virtual bool RestoreDocument(const QString &copyFileName, const QString &fileName) = 0;
    // Autosave's way: saves a modified, titled document under its own name from a copy taken now and
    // written on another thread, so the program does not stop for it. False when there is nothing to
    // save, the file changed on disk, or a save is still running. The document counts as saved once
    // the write is complete and nothing changed meanwhile. Every other operation waits for it first.
    virtual bool SaveInBackground() = 0;
    // Takes the result of a finished background save (waiting for it when wait is true); true while
    // one is still running. A failure is reported as errors are, the old file kept.
    virtual bool CollectBackgroundSave(bool wait) = 0;
};
using IQBDataServicePtr = std::shared_ptr<IQBDataService>;

// The registered data service; empty when none runs.
IQBDataServicePtr DataService();

enum TCloseRequestResult { crSave = 0, crDiscard = 1, crCancel = 2 };
// What to do when a save would overwrite a file another program changed.
enum TChangedOnDiskAnswer { cdOverwrite, cdSaveAs, cdCancel };

class TQBDataService : public TNVKCustomServiceProvider
{
    Q_OBJECT

public:
    using TFileNameRequestEvent = std::function<void(TQBDataService *sender, QString &fileName, bool &cancel)>;
    using TCloseRequestEvent = std::function<void(TQBDataService *sender, TCloseRequestResult &result)>;
    using TBusyEvent = std::function<void(bool busy)>;
    using TChangedOnDiskEvent = std::function<TChangedOnDiskAnswer(const QString &fileName)>;

    explicit TQBDataService(QObject *owner = nullptr);

    QString UntitledName() const { return FUntitledName; }
    // Also renames the current document while it is untitled.
    void SetUntitledName(const QString &value);

    void SetOnOpenRequest(TFileNameRequestEvent handler) { FOnOpenRequest = std::move(handler); }
    void SetOnSaveRequest(TFileNameRequestEvent handler) { FOnSaveRequest = std::move(handler); }
    void SetOnCloseRequest(TCloseRequestEvent handler) { FOnCloseRequest = std::move(handler); }
    void SetOnRequestPreserve(TFileNameRequestEvent handler) { FOnRequestPreserve = std::move(handler); }
    // Asked before a save replaces a file that changed on disk; without a handler the save is refused.
    void SetOnChangedOnDisk(TChangedOnDiskEvent handler) { FOnChangedOnDisk = std::move(handler); }
    // Shows and hides the busy cursor; the desktop program sets it, the core has no cursor.
    void SetOnBusy(TBusyEvent handler) { FOnBusy = std::move(handler); }

    // The requests: true means "go on", with the file name as the handler left it.
    bool OpenRequest(QString &fileName);
    bool SaveRequest(QString &fileName);
    TCloseRequestResult CloseRequest();
    bool PreserveRequest(const QString &proposedName);
    TChangedOnDiskAnswer ChangedOnDiskRequest(const QString &fileName);
    void SetBusy(bool busy);

protected:
    INVKServicePtr CreateService() override;

private:
    QString FUntitledName;
    TFileNameRequestEvent FOnOpenRequest;
    TFileNameRequestEvent FOnSaveRequest;
    TCloseRequestEvent FOnCloseRequest;
    TFileNameRequestEvent FOnRequestPreserve;
    TBusyEvent FOnBusy;
    TChangedOnDiskEvent FOnChangedOnDisk;
};
