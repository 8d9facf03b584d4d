// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDocSvc.h"

#include "base/NVKErrors.h"
#include "base/NVKSaveFile.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "framework/NVKInit.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <future>

namespace {

const char SCopyFailed[] = "Cannot keep a copy of '%s' as '%s': %s\nThe document was not converted.";

// Shows the busy cursor for a scope, so that an error still restores it.
class TBusyScope
{
public:
    explicit TBusyScope(TQBDataService *provider) : FProvider(provider)
    {
        if (FProvider)
            FProvider->SetBusy(true);
    }
    ~TBusyScope()
    {
        if (FProvider)
            FProvider->SetBusy(false);
    }

private:
    TQBDataService *FProvider;
};

const char SChangedOnDisk[] = "The file '%s' was changed by another program since Quillbox opened or saved it; "
                              "it was not overwritten.";

QByteArray hashOfFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

IQBDocumentControlPtr controlOf(const IQBDocumentPtr &document)
{
    return std::dynamic_pointer_cast<IQBDocumentControl>(document);
}

} // namespace

class TQBDataServiceImpl final : public TNVKServiceBase, public IQBDataService, public INVKEventPublisher
{
public:
    explicit TQBDataServiceImpl(TQBDataService *provider) : TNVKServiceBase(provider), FPublisher(this) {}
    ~TQBDataServiceImpl() override
    {
        if (FBackground.valid())
            FBackground.wait();
        DropDocument();
    }

    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }

    IQBDocumentPtr GetDocument() const override { return FDocument; }
    IQBHistoryListPtr GetRecentFiles() const override { return FRecentFiles; }
    bool NewDocument() override;
    bool OpenDocument(const QString &fileName) override;
    bool SaveDocument(const QString &fileName) override;
    bool SaveDocumentAs() override;
    bool CloseDocument() override;
    bool ChangedOnDisk() override;
    bool RestoreDocument(const QString &copyFileName, const QString &fileName) override;
    bool SaveInBackground() override;
    bool CollectBackgroundSave(bool wait) override;

    void UntitledNameChanged(const QString &name)
    {
        if (FDocument && FDocument->IsNew())
            controlOf(FDocument)->SetFileName(name);
    }

protected:
    bool DoStart() override;
    void DoStop() override;

private:
    TQBDataService *DataProvider() const { return static_cast<TQBDataService *>(Provider()); }
    void Publish(int code, const INVKUnknownPtr &param = {}) { FPublisher.Publish(code, param); }

    IQBDocumentPtr CreateNew();
    IQBDocumentPtr Load(const QString &fileName);
    void Write(const QString &fileName);
    void UpgradeOldVersion();
    void SetCurrent(const IQBDocumentPtr &document);
    void DropDocument();
    void RememberCurrent();
    void ForgetCurrent();
    // Notes what the file holds now, as this program read or wrote it.
    void TakeStamp(const QString &fileName);

    // What the document's file was when this program last read or wrote it.
    struct TFileStamp
    {
        QString FileName;
        qint64 Size = -1;
        QDateTime Modified;
        QByteArray Hash;
    };
    static TFileStamp StampOf(const QString &fileName);
    struct TBackgroundResult
    {
        QString Failure;
        TFileStamp Stamp;
    };

    TNVKEventPublisher FPublisher;
    IQBHistoryListPtr FRecentFiles;
    IQBDocumentPtr FDocument;
    // The document's one subscriber; cleared when the document goes, so a document someone still
    // holds can never call into this service.
    std::shared_ptr<TNVKEventListener> FDocumentListener;
    TFileStamp FStamp;
    // Changes to the document so far; a background save compares them with the count it began at.
    quint64 FChanges = 0;
    std::future<TBackgroundResult> FBackground;
    quint64 FBackgroundChanges = 0;
};

bool TQBDataServiceImpl::DoStart()
{
    const IQBSettingsServicePtr settings = SettingsService();
    FRecentFiles =
        settings ? settings->LoadHistoryList(QStringLiteral("RecentFiles")) : std::make_shared<TQBHistoryList>();
    return NewDocument();
}

void TQBDataServiceImpl::DoStop()
{
    CollectBackgroundSave(true);
    RememberCurrent();
    if (const IQBSettingsServicePtr settings = SettingsService())
        settings->SaveHistoryList(QStringLiteral("RecentFiles"), FRecentFiles);
    DropDocument();
}

void TQBDataServiceImpl::RememberCurrent()
{
    if (FDocument && !FDocument->IsNew() && FRecentFiles)
        FRecentFiles->Add(FDocument->FileName());
}

void TQBDataServiceImpl::ForgetCurrent()
{
    if (!FDocument || !FRecentFiles)
        return;
    for (int i = 0; i < FRecentFiles->GetCount(); ++i) {
        if (FRecentFiles->GetItem(i).compare(FDocument->FileName(), Qt::CaseInsensitive) == 0) {
            FRecentFiles->Extract(i);
            return;
        }
    }
}

void TQBDataServiceImpl::SetCurrent(const IQBDocumentPtr &document)
{
    DropDocument();
    FDocument = document;
    FDocumentListener = std::make_shared<TNVKEventListener>([this](int code, const INVKUnknownPtr &param) {
        if (code >= QB_DATA_HEADER_CHANGED)
            ++FChanges;
        Publish(code, param);
    });
    controlOf(FDocument)->SetOnChange(FDocumentListener);
}

void TQBDataServiceImpl::DropDocument()
{
    if (FDocumentListener)
        FDocumentListener->Clear();
    if (FDocument)
        controlOf(FDocument)->SetOnChange(nullptr);
    FDocumentListener.reset();
    FDocument.reset();
}

TQBDataServiceImpl::TFileStamp TQBDataServiceImpl::StampOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    return {info.absoluteFilePath(), info.size(), info.lastModified(), hashOfFile(fileName)};
}

void TQBDataServiceImpl::TakeStamp(const QString &fileName)
{
    FStamp = StampOf(fileName);
}

bool TQBDataServiceImpl::SaveInBackground()
{
    if (CollectBackgroundSave(false))
        return false;
    if (!FDocument || FDocument->IsNew() || !FDocument->Modified() || ChangedOnDisk())
        return false;
    const QString name = FDocument->FileName();
    Publish(QB_DATA_BEFORE_SAVE);
    const IQBDocumentPtr snapshot = QBSnapshotDocument(FDocument);
    FBackgroundChanges = FChanges;
    FBackground = std::async(std::launch::async, [snapshot, name]() {
        TBackgroundResult result;
        try {
            QBWriteDocument(snapshot, name);
            result.Stamp = StampOf(name);
        } catch (...) {
            result.Failure = NVKCurrentExceptionMessage();
        }
        return result;
    });
    return true;
}

bool TQBDataServiceImpl::CollectBackgroundSave(bool wait)
{
    if (!FBackground.valid())
        return false;
    if (!wait && FBackground.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return true;
    const TBackgroundResult result = FBackground.get();
    if (!result.Failure.isEmpty()) {
        NVKReportError(result.Failure);
        return false;
    }
    FStamp = result.Stamp;
    if (FChanges == FBackgroundChanges) {
        const IQBDocumentControlPtr control = controlOf(FDocument);
        const TQBOperationGuard operation(*control, opLoad);
        control->SetModified(false);
    }
    Publish(QB_DATA_AFTER_SAVE);
    return false;
}

bool TQBDataServiceImpl::ChangedOnDisk()
{
    if (!FDocument || FDocument->IsNew())
        return false;
    const QFileInfo info(FDocument->FileName());
    if (!info.exists() || info.absoluteFilePath() != FStamp.FileName)
        return false;
    if (info.size() == FStamp.Size && info.lastModified() == FStamp.Modified)
        return false;
    // A new time alone (a copy, a touch, a sync client rewriting the same bytes) is no change.
    if (info.size() == FStamp.Size && hashOfFile(info.filePath()) == FStamp.Hash) {
        FStamp.Modified = info.lastModified();
        return false;
    }
    return true;
}

IQBDocumentPtr TQBDataServiceImpl::CreateNew()
{
    const IQBDocumentPtr document = NewQBDocument();
    const IQBDocumentControlPtr control = controlOf(document);
    const TQBOperationGuard operation(*control, opLoad);
    control->SetFileName(DataProvider() ? DataProvider()->UntitledName() : QStringLiteral("Untitled"));
    control->SetIsNew(true);
    if (const IQBSettingsServicePtr settings = SettingsService()) {
        document->SetEncoding(settings->GetEncoding());
        document->SetAuthor(settings->GetAuthor());
        document->SetCopyright(settings->GetCopyright());
        document->SetAutoRevision(settings->GetAutoRevision());
    }
    control->SetModified(false);
    return document;
}

IQBDocumentPtr TQBDataServiceImpl::Load(const QString &fileName)
{
    const IQBDocumentPtr document = QBReadDocument(fileName);
    TakeStamp(fileName);
    const IQBDocumentControlPtr control = controlOf(document);
    const TQBOperationGuard operation(*control, opLoad);
    control->SetFileName(fileName);
    control->SetIsNew(false);
    control->SetModified(false);
    return document;
}

void TQBDataServiceImpl::Write(const QString &fileName)
{
    QBWriteDocument(FDocument, fileName);
    TakeStamp(fileName);
    const IQBDocumentControlPtr control = controlOf(FDocument);
    const TQBOperationGuard operation(*control, opLoad);
    control->SetFileName(fileName);
    control->SetIsNew(false);
    control->SetModified(false);
}

bool TQBDataServiceImpl::CloseDocument()
{
    CollectBackgroundSave(true);
    if (!FDocument || !FDocument->Modified())
        return true;
    switch (DataProvider() ? DataProvider()->CloseRequest() : crSave) {
    case crSave:
        return SaveDocument(QString());
    case crDiscard:
        return true;
    case crCancel:
        return false;
    }
    return false;
}

bool TQBDataServiceImpl::NewDocument()
{
    CollectBackgroundSave(true);
    if (!CloseDocument())
        return false;
    Publish(QB_DATA_BEFORE_CREATE);
    RememberCurrent();
    SetCurrent(CreateNew());
    Publish(QB_DATA_AFTER_CREATE);
    return true;
}

bool TQBDataServiceImpl::OpenDocument(const QString &fileName)
{
    CollectBackgroundSave(true);
    if (!CloseDocument())
        return false;
    QString name = fileName;
    if (name.isEmpty() && (!DataProvider() || !DataProvider()->OpenRequest(name)))
        return false;
    if (name.isEmpty())
        return false;

    TBusyScope busy(DataProvider());
    Publish(QB_DATA_BEFORE_OPEN);
    // Read before anything changes: a file that fails to load leaves the current document and
    // the recent files as they were.
    const IQBDocumentPtr loaded = Load(name);
    RememberCurrent();
    SetCurrent(loaded);
    ForgetCurrent();
    std::exception_ptr upgradeFailure;
    try {
        UpgradeOldVersion();
    } catch (...) {
        upgradeFailure = std::current_exception();
    }
    // The opened document is current either way, so its listeners must hear of it.
    Publish(QB_DATA_AFTER_OPEN);
    if (upgradeFailure)
        std::rethrow_exception(upgradeFailure);
    return true;
}

bool TQBDataServiceImpl::RestoreDocument(const QString &copyFileName, const QString &fileName)
{
    CollectBackgroundSave(true);
    if (!CloseDocument())
        return false;
    TBusyScope busy(DataProvider());
    Publish(QB_DATA_BEFORE_OPEN);
    const IQBDocumentPtr loaded = QBReadDocument(copyFileName);
    {
        const IQBDocumentControlPtr control = controlOf(loaded);
        const TQBOperationGuard operation(*control, opLoad);
        const bool untitled = fileName.isEmpty();
        control->SetFileName(untitled ? (DataProvider() ? DataProvider()->UntitledName() : QStringLiteral("Untitled"))
                                      : fileName);
        control->SetIsNew(untitled);
    }
    RememberCurrent();
    SetCurrent(loaded);
    // The file as it is now is what a save replaces: the user chose to bring these changes back.
    if (QFileInfo::exists(fileName))
        TakeStamp(fileName);
    else
        FStamp = {};
    Publish(QB_DATA_AFTER_OPEN);
    controlOf(FDocument)->SetModified(true);
    return true;
}

void TQBDataServiceImpl::UpgradeOldVersion()
{
    const QString version = FDocument->Version();
    if (version == QLatin1String("1.1"))
        return;
    const QString fileName = FDocument->FileName();
    const QString copyName = fileName + QLatin1Char('.') + QString(version).remove(QLatin1Char('.'));
    if (!DataProvider() || DataProvider()->PreserveRequest(copyName)) {
        // The user asked for the old file: without the copy, the old format is not given up.
        // An earlier copy of that name is replaced only by a complete one.
        QString reason;
        if (!NVKCopyFile(fileName, copyName, &reason))
            throw EQBDocumentError(NVKFormatS(QString::fromUtf8(SCopyFailed), {fileName, copyName, reason}));
    }
    Write(fileName);
    controlOf(FDocument)->SetVersion(QStringLiteral("1.1"));
}

bool TQBDataServiceImpl::SaveDocument(const QString &fileName)
{
    CollectBackgroundSave(true);
    QString name = fileName;
    if (name.isEmpty() && !FDocument->IsNew())
        name = FDocument->FileName();
    if (name.isEmpty())
        return SaveDocumentAs();
    if (QFileInfo(name).absoluteFilePath() == FStamp.FileName && ChangedOnDisk()) {
        switch (DataProvider() ? DataProvider()->ChangedOnDiskRequest(name) : cdCancel) {
        case cdOverwrite:
            break;
        case cdSaveAs:
            return SaveDocumentAs();
        case cdCancel:
            if (!DataProvider())
                throw EQBDocumentError(NVKFormatS(QString::fromUtf8(SChangedOnDisk), {name}));
            return false;
        }
    }
    TBusyScope busy(DataProvider());
    Publish(QB_DATA_BEFORE_SAVE);
    Write(name);
    Publish(QB_DATA_AFTER_SAVE);
    return true;
}

bool TQBDataServiceImpl::SaveDocumentAs()
{
    CollectBackgroundSave(true);
    QString name;
    if (FDocument->IsNew())
        name = FDocument->Root()->Caption();
    if (name.isEmpty())
        name = FDocument->FileName();
    if (DataProvider() && !DataProvider()->SaveRequest(name))
        return false;
    if (name.isEmpty())
        return false;
    TBusyScope busy(DataProvider());
    Publish(QB_DATA_BEFORE_SAVE);
    RememberCurrent();
    Write(name);
    ForgetCurrent();
    Publish(QB_DATA_AFTER_SAVE);
    return true;
}

// ---- provider ----

TQBDataService::TQBDataService(QObject *owner)
    : TNVKCustomServiceProvider(owner, QStringLiteral("Quillbox:Data")), FUntitledName(QStringLiteral("Untitled"))
{
    setObjectName(QStringLiteral("QBDataService"));
}

void TQBDataService::SetUntitledName(const QString &value)
{
    if (value == FUntitledName)
        return;
    FUntitledName = value;
    if (auto impl = std::dynamic_pointer_cast<TQBDataServiceImpl>(Service()))
        impl->UntitledNameChanged(value);
}

bool TQBDataService::OpenRequest(QString &fileName)
{
    bool cancel = false;
    if (FOnOpenRequest)
        FOnOpenRequest(this, fileName, cancel);
    return !cancel;
}

bool TQBDataService::SaveRequest(QString &fileName)
{
    bool cancel = false;
    if (FOnSaveRequest)
        FOnSaveRequest(this, fileName, cancel);
    return !cancel;
}

TCloseRequestResult TQBDataService::CloseRequest()
{
    TCloseRequestResult result = crSave;
    if (FOnCloseRequest)
        FOnCloseRequest(this, result);
    return result;
}

bool TQBDataService::PreserveRequest(const QString &proposedName)
{
    // The handler gets a copy: the copy is always made under the proposed name.
    QString name = proposedName;
    bool cancel = false;
    if (FOnRequestPreserve)
        FOnRequestPreserve(this, name, cancel);
    return !cancel;
}

TChangedOnDiskAnswer TQBDataService::ChangedOnDiskRequest(const QString &fileName)
{
    if (!FOnChangedOnDisk)
        throw EQBDocumentError(NVKFormatS(QString::fromUtf8(SChangedOnDisk), {fileName}));
    return FOnChangedOnDisk(fileName);
}

void TQBDataService::SetBusy(bool busy)
{
    if (FOnBusy)
        FOnBusy(busy);
}

INVKServicePtr TQBDataService::CreateService()
{
    return std::make_shared<TQBDataServiceImpl>(this);
}

IQBDataServicePtr DataService()
{
    const INVKCorePtr core = Core();
    return core ? core->QueryService<IQBDataService>() : nullptr;
}
