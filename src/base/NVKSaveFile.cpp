// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKSaveFile.h"

#include <QFileInfo>
#include <QMutex>

namespace {

QMutex faultLock;
TNVKWriteFaultPlan plannedFault;

const char SFaultOpen[] = "Cannot create a temporary file (planned write fault)";
const char SFaultWrite[] = "No space left on device (planned write fault)";
const char SFaultCommit[] = "Cannot replace the file (planned write fault)";

} // namespace

void NVKSetWriteFault(const TNVKWriteFaultPlan &plan)
{
    const QMutexLocker lock(&faultLock);
    plannedFault = plan;
}

void NVKClearWriteFault()
{
    NVKSetWriteFault({});
}

TNVKWriteFaultPlan NVKWriteFaultFor(const QString &fileName)
{
    const QMutexLocker lock(&faultLock);
    if (plannedFault.Fault == TNVKWriteFault::None || plannedFault.FileName.isEmpty())
        return plannedFault;
    if (QFileInfo(plannedFault.FileName).absoluteFilePath() == QFileInfo(fileName).absoluteFilePath())
        return plannedFault;
    return {};
}

TNVKSaveFile::TNVKSaveFile(const QString &fileName) : QSaveFile(fileName) {}

bool TNVKSaveFile::open(OpenMode mode)
{
    FFault = NVKWriteFaultFor(fileName());
    FWritten = 0;
    if (FFault.Fault == TNVKWriteFault::AtOpen) {
        setErrorString(QString::fromUtf8(SFaultOpen));
        return false;
    }
    // Buffered bytes reach the file on flush without passing writeData, where the fault is counted.
    if (FFault.Fault == TNVKWriteFault::AfterBytes)
        mode |= QIODevice::Unbuffered;
    return QSaveFile::open(mode);
}

bool TNVKSaveFile::commit()
{
    if (FFault.Fault == TNVKWriteFault::AtCommit && isOpen()) {
        // The temporary is complete; the rename fails. QSaveFile then drops the temporary.
        cancelWriting();
        QSaveFile::commit();
        setErrorString(QString::fromUtf8(SFaultCommit));
        return false;
    }
    return QSaveFile::commit();
}

qint64 TNVKSaveFile::writeData(const char *data, qint64 length)
{
    if (FFault.Fault != TNVKWriteFault::AfterBytes || FWritten + length <= FFault.Bytes) {
        const qint64 written = QSaveFile::writeData(data, length);
        if (written > 0)
            FWritten += written;
        return written;
    }
    // As a full disk: what fits is written, then the write fails and the save can no longer commit.
    const qint64 room = qMax<qint64>(0, FFault.Bytes - FWritten);
    if (room > 0 && QSaveFile::writeData(data, room) > 0)
        FWritten += room;
    cancelWriting();
    setErrorString(QString::fromUtf8(SFaultWrite));
    return -1;
}

bool NVKCopyFile(const QString &source, const QString &target, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return fail(input.errorString());
    TNVKSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly))
        return fail(output.errorString());
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = input.read(buffer, sizeof buffer);
        if (got < 0) {
            output.cancelWriting();
            output.commit();
            return fail(input.errorString());
        }
        if (got == 0)
            break;
        if (output.write(buffer, got) != got) {
            const QString reason = output.errorString();
            output.commit();
            return fail(reason);
        }
    }
    if (!output.commit())
        return fail(output.errorString());
    QFile::setPermissions(target, input.permissions());
    return true;
}
