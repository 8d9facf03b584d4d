// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDocRecovery.h"

#include "base/NVKSaveFile.h"
#include "document/QBDataIntf.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace {

QString folderOverride;

constexpr char CopySuffix[] = ".xqb";
constexpr char InfoSuffix[] = ".info";
constexpr char LockSuffix[] = ".lock";
constexpr char AsideSuffix[] = ".damaged";

QString pathOf(const QString &id, const char *suffix)
{
    return QDir(TQBDataRecovery::Folder()).filePath(id + QLatin1String(suffix));
}

// "key=value" lines, values percent-encoded so that any file name fits on one line.
QByteArray infoText(const QString &fileName, const QString &caption, const QDateTime &written)
{
    return "file=" + QUrl::toPercentEncoding(fileName) + "\ncaption=" + QUrl::toPercentEncoding(caption) +
           "\nwritten=" + written.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\n";
}

bool readInfo(const QString &infoFile, TQBRecoveryCopy &copy)
{
    QFile file(infoFile);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024)
        return false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QUrl::fromPercentEncoding(line.mid(eq + 1));
        if (key == "file")
            copy.FileName = value;
        else if (key == "caption")
            copy.Caption = value;
        else if (key == "written")
            copy.Written = QDateTime::fromString(value, Qt::ISODateWithMs);
    }
    return copy.Written.isValid();
}

void removeSet(const QString &copyFileName)
{
    QString base = copyFileName;
    base.chop(int(qstrlen(CopySuffix)));
    QFile::remove(copyFileName);
    QFile::remove(base + QLatin1String(InfoSuffix));
}

} // namespace

TQBDataRecovery::TQBDataRecovery(QObject *owner) : TNVKCustomServiceAccess(owner, QStringLiteral("Quillbox:Data"))
{
    FTimer.setParent(this);
    FTimer.setInterval(std::chrono::seconds(30));
    connect(&FTimer, &QTimer::timeout, this, &TQBDataRecovery::WriteCopy);
    FTimer.start();
    FPoll.setParent(this);
    FPoll.setInterval(100);
    connect(&FPoll, &QTimer::timeout, this, [this] { Collect(false); });
    FId = QStringLiteral("recovery-%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

TQBDataRecovery::~TQBDataRecovery()
{
    // A normal end: the changes were saved, or the user chose not to keep them.
    Collect(true);
    RemoveCopy();
    DropAdopted();
    if (FLock)
        FLock->unlock();
}

QString TQBDataRecovery::Folder()
{
    if (!folderOverride.isEmpty())
        return folderOverride;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/Recovery");
}

void TQBDataRecovery::SetFolder(const QString &folder)
{
    folderOverride = folder;
}

QString TQBDataRecovery::CopyFileName() const
{
    return FHaveCopy ? pathOf(FId, CopySuffix) : QString();
}

bool TQBDataRecovery::EnsureLock()
{
    if (FLock && FLock->isLocked())
        return true;
    if (!QDir().mkpath(Folder()))
        return false;
    FLock = std::make_unique<QLockFile>(pathOf(FId, LockSuffix));
    // Held for the program's life: only a dead owner's lock counts as stale.
    FLock->setStaleLockTime(0);
    return FLock->tryLock(0);
}

void TQBDataRecovery::WriteCopy()
{
    Collect(false);
    if (FWrite.valid())
        return;
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : nullptr;
    if (!document)
        return;
    try {
        if (const IQBEditorServicePtr editor = EditorService())
            editor->StoreChanges();
        if (!document->Modified()) {
            RemoveCopy();
            return;
        }
        // The copy on disk already holds every change.
        if (FHaveCopy && !FChanged)
            return;
        if (!EnsureLock()) {
            Q_EMIT copyFailed(QStringLiteral("Cannot use the folder '%1'.").arg(QDir::toNativeSeparators(Folder())));
            return;
        }
        const IQBDocumentPtr snapshot = QBSnapshotDocument(document);
        const QString copyName = pathOf(FId, CopySuffix);
        const QString infoName = pathOf(FId, InfoSuffix);
        const QByteArray info = infoText(document->IsNew() ? QString() : document->FileName(), document->FileName(),
                                         QDateTime::currentDateTime());
        FWriteGeneration = FGeneration;
        FChanged = false;
        FWrite = std::async(std::launch::async, [snapshot, copyName, infoName, info]() -> QString {
            try {
                // The copy first, then the note that names it: a note always points at a complete copy.
                QBWriteDocument(snapshot, copyName);
                TNVKSaveFile file(infoName);
                if (!file.open(QIODevice::WriteOnly) || file.write(info) != info.size() || !file.commit())
                    return file.errorString();
                return {};
            } catch (...) {
                return NVKCurrentExceptionMessage();
            }
        });
        FPoll.start();
    } catch (...) {
        // A copy that cannot be written must never disturb the work it protects.
        Q_EMIT copyFailed(NVKCurrentExceptionMessage());
    }
}

void TQBDataRecovery::Collect(bool wait)
{
    if (!FWrite.valid())
        return;
    if (!wait && FWrite.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    const QString failure = FWrite.get();
    FPoll.stop();
    if (FWriteGeneration != FGeneration) {
        // The changes were saved while the copy was being written: it is out of date.
        removeSet(pathOf(FId, CopySuffix));
        return;
    }
    if (!failure.isEmpty()) {
        FChanged = true; // try again at the next tick
        Q_EMIT copyFailed(failure);
        return;
    }
    FHaveCopy = true;
}

void TQBDataRecovery::Finish()
{
    Collect(true);
}

void TQBDataRecovery::WriteCopyNow()
{
    Finish();
    WriteCopy();
    Finish();
}

void TQBDataRecovery::RemoveCopy()
{
    ++FGeneration;
    if (FHaveCopy)
        removeSet(pathOf(FId, CopySuffix));
    FHaveCopy = false;
}

void TQBDataRecovery::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    Q_UNUSED(param);
    switch (code) {
    case QB_DATA_AFTER_SAVE:
        // A save in the background leaves the changes made while it ran unsaved: the copy stays
        // and takes them at the next tick.
        if (const IQBDataServicePtr data = DataService();
            data && data->GetDocument() && data->GetDocument()->Modified()) {
            FChanged = true;
            break;
        }
        [[fallthrough]];
    case QB_DATA_AFTER_CREATE:
    case QB_DATA_AFTER_OPEN:
        // The changes are safe in a file, or the document they belonged to is gone by choice.
        RemoveCopy();
        DropAdopted();
        break;
    case QB_DATA_HEADER_CHANGED:
    case QB_DATA_CAPTION_CHANGED:
    case QB_DATA_CONTENT_CHANGED:
    case QB_DATA_MARKER_CHANGED:
    case QB_DATA_ARTICLE_ADDED:
    case QB_DATA_ARTICLE_DELETED:
    case QB_DATA_ARTICLE_MOVED:
        FChanged = true;
        break;
    default:
        break;
    }
}

void TQBDataRecovery::DropAdopted()
{
    if (!FAdopted.isEmpty())
        removeSet(FAdopted);
    FAdopted.clear();
    FAdoptedLock.reset();
}

QList<TQBRecoveryCopy> TQBDataRecovery::Orphans()
{
    QList<TQBRecoveryCopy> copies;
    const QDir folder(Folder());
    for (const QString &info : folder.entryList({QStringLiteral("*") + QLatin1String(InfoSuffix)}, QDir::Files)) {
        const QString id = info.chopped(int(qstrlen(InfoSuffix)));
        QLockFile lock(folder.filePath(id + QLatin1String(LockSuffix)));
        lock.setStaleLockTime(0);
        // A running program holds its lock; a dead one's lock is stale and taken over here.
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        TQBRecoveryCopy copy;
        copy.CopyFileName = folder.filePath(id + QLatin1String(CopySuffix));
        if (!QFile::exists(copy.CopyFileName))
            continue;
        if (!readInfo(folder.filePath(info), copy)) {
            copy.Caption = copy.CopyFileName;
            copy.Written = QFileInfo(copy.CopyFileName).lastModified();
        }
        copies.append(copy);
    }
    std::sort(copies.begin(), copies.end(),
              [](const TQBRecoveryCopy &a, const TQBRecoveryCopy &b) { return a.Written < b.Written; });
    return copies;
}

bool TQBDataRecovery::Restore(const TQBRecoveryCopy &copy)
{
    const IQBDataServicePtr data = DataService();
    QString lockName = copy.CopyFileName;
    lockName.chop(int(qstrlen(CopySuffix)));
    auto lock = std::make_unique<QLockFile>(lockName + QLatin1String(LockSuffix));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false; // another program took it meanwhile
    if (!data || !data->RestoreDocument(copy.CopyFileName, copy.FileName))
        return false;
    FAdopted = copy.CopyFileName;
    FAdoptedLock = std::move(lock);
    return true;
}

QString TQBDataRecovery::SetAside(const TQBRecoveryCopy &copy)
{
    QString target = copy.CopyFileName + QLatin1String(AsideSuffix);
    for (int n = 2; QFile::exists(target); ++n)
        target = copy.CopyFileName + QLatin1String(AsideSuffix) + QString::number(n);
    if (!QFile::rename(copy.CopyFileName, target))
        return copy.CopyFileName;
    QString info = copy.CopyFileName;
    info.chop(int(qstrlen(CopySuffix)));
    QFile::rename(info + QLatin1String(InfoSuffix), target + QLatin1String(InfoSuffix));
    return target;
}

void TQBDataRecovery::Discard(const TQBRecoveryCopy &copy)
{
    removeSet(copy.CopyFileName);
}
