// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QSaveFile>
#include <QString>

// Where a planned write fault strikes: the temporary cannot be created, the disk fills after some
// bytes, or the finished temporary cannot replace the target.
enum class TNVKWriteFault { None, AtOpen, AfterBytes, AtCommit };

struct TNVKWriteFaultPlan
{
    TNVKWriteFault Fault = TNVKWriteFault::None;
    qint64 Bytes = 0; // AfterBytes: how many bytes reach the temporary before the failure
    QString FileName; // only writes to this file fail; empty for every file
};

// Test seam, off unless a test plans a fault: every file the program replaces goes through
// TNVKSaveFile, which consults the plan, so that a test can show a failed save keeps the old file
// and is reported, whatever rights the test runs with. Nothing outside the tests sets a plan.
void NVKSetWriteFault(const TNVKWriteFaultPlan &plan);
void NVKClearWriteFault();
// The planned fault for a write to fileName; None when no plan covers it.
TNVKWriteFaultPlan NVKWriteFaultFor(const QString &fileName);

// A QSaveFile that honours the planned write fault. Call commit() through this type: it hides
// QSaveFile::commit, which is not virtual.
class TNVKSaveFile : public QSaveFile
{
public:
    explicit TNVKSaveFile(const QString &fileName);

    bool open(OpenMode mode) override;
    bool commit();

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    TNVKWriteFaultPlan FFault;
    qint64 FWritten = 0;
    QString FWriteError; // why the first failed write failed
};

// Copies source onto target through a temporary beside it: target is replaced only by a complete
// copy, and stays as it was when anything fails. The copy gets the permissions of source.
bool NVKCopyFile(const QString &source, const QString &target, QString *error = nullptr);

// Removes what saves of fileName that were killed half-way left beside it: temporaries this
// program marked as its own and that no living process still writes. Anything else, a user's
// "notes.xqb.backup" too, stays. Every TNVKSaveFile does this when it opens.
void NVKRemoveStaleTemporaries(const QString &fileName);
