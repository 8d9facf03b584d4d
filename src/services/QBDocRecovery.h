// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKAccess.h"

#include <QDateTime>
#include <QLockFile>
#include <QTimer>

#include <future>
#include <memory>

// A copy of a document with unsaved changes that a program left behind when it ended without
// saving: a crash, a kill, a power cut.
struct TQBRecoveryCopy
{
    QString CopyFileName; // the copy itself
    QString FileName;     // the document's own file; empty when it was never saved
    QString Caption;      // how the document was called: its file name or its untitled name
    QDateTime Written;
};

// While the document has unsaved changes, a copy of it is written every interval (and when the
// session ends) to a folder of the user's own, through the same safe save as documents. A save,
// a close or a normal end removes it; after a crash the next start offers it. Each running program
// holds a lock on its own copy, so that no other copy of the program offers it while it runs.
class TQBDataRecovery : public TNVKCustomServiceAccess
{
    Q_OBJECT

public:
    explicit TQBDataRecovery(QObject *owner = nullptr);
    // A normal end: the copy is not needed any more.
    ~TQBDataRecovery() override;

    // Where copies live; tests put it in a folder of their own.
    static QString Folder();
    static void SetFolder(const QString &folder);

    QTimer *Timer() { return &FTimer; }
    // Starts writing the copy when the document has unsaved changes, else removes it. The document is
    // copied at once (sharing its bodies) and written on another thread, so typing goes on; a write
    // still running makes this tick wait for the next. Failures are reported, never raised.
    void WriteCopy();
    // Waits for a write in progress and takes its result.
    void Finish();
    // Writes the copy and waits: for the end of the session, when the program may be killed next.
    void WriteCopyNow();
    // This program's copy; empty while it has none.
    QString CopyFileName() const;

    // Copies of programs that ended without removing theirs, oldest first.
    static QList<TQBRecoveryCopy> Orphans();
    // Opens a copy as the current document, marked modified, under the name it had; the copy goes
    // once the document is saved or replaced. False when the current document was not closed.
    bool Restore(const TQBRecoveryCopy &copy);
    // Puts a copy that cannot be read aside, neither offered again nor lost; returns where.
    static QString SetAside(const TQBRecoveryCopy &copy);
    // Removes a copy the user does not want.
    static void Discard(const TQBRecoveryCopy &copy);

Q_SIGNALS:
    // The copy could not be written; why, in the system's words.
    void copyFailed(const QString &reason);

protected:
    void ServiceNotify(int code, const INVKUnknownPtr &param) override;

private:
    void RemoveCopy();
    void DropAdopted();
    bool EnsureLock();
    // Takes the result of a finished write; waits for it when wait is true.
    void Collect(bool wait);

    QTimer FTimer;
    QTimer FPoll; // looks for the end of a write in progress
    std::future<QString> FWrite;
    // Counts removals: a write that began before the last one is out of date when it ends.
    int FGeneration = 0;
    int FWriteGeneration = 0;
    bool FChanged = false; // the document changed since the last copy began
    QString FId;
    std::unique_ptr<QLockFile> FLock;
    bool FHaveCopy = false;
    // A restored copy, removed when its document is saved or replaced; locked meanwhile, so that no
    // other program offers it again.
    QString FAdopted;
    std::unique_ptr<QLockFile> FAdoptedLock;
};
