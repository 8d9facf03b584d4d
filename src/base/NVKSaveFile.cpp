// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKSaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QMutex faultLock;
TNVKWriteFaultPlan plannedFault;

const char SFaultOpen[] = "Cannot create a temporary file (planned write fault)";
const char SFaultWrite[] = "No space left on device (planned write fault)";
const char SFaultCommit[] = "Cannot replace the file (planned write fault)";

// The mark on a temporary while it is written. The temporary becomes the target itself, so the mark
// is taken off the target once it has replaced it. Taking it off before would leave the whole time
// the data reach the disk (a second for a large file) in which a kill leaves an unmarked temporary
// that no cleanup would ever remove; a kill after the replacement leaves only an inert mark on the
// document, whose name no cleanup looks at.
const char SSavingMark[] = "user.quillbox.saving";

void markTemporary(int handle)
{
    if (handle < 0)
        return;
    // The lock lives as long as the writing process: a marked temporary nobody holds is stale.
    ::flock(handle, LOCK_EX | LOCK_NB);
    // A file system without user attributes just leaves nothing to clean up.
    ::fsetxattr(handle, SSavingMark, "1", 1, 0);
}

void unmarkTarget(const QString &fileName)
{
    ::removexattr(QFile::encodeName(fileName).constData(), SSavingMark);
}

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
    FWriteError.clear();
    if (FFault.Fault == TNVKWriteFault::AtOpen) {
        setErrorString(QString::fromUtf8(SFaultOpen));
        return false;
    }
    // Buffered bytes reach the file on flush without passing writeData, where the fault is counted.
    if (FFault.Fault == TNVKWriteFault::AfterBytes)
        mode |= QIODevice::Unbuffered;
    NVKRemoveStaleTemporaries(fileName());
    if (!QSaveFile::open(mode))
        return false;
    markTemporary(handle());
    return true;
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
    if (QSaveFile::commit()) {
        unmarkTarget(fileName());
        return true;
    }
    // Closing forgets why a write failed ("Unknown error"); the first reason is the one to tell.
    if (!FWriteError.isEmpty())
        setErrorString(FWriteError);
    return false;
}

qint64 TNVKSaveFile::writeData(const char *data, qint64 length)
{
    if (FFault.Fault != TNVKWriteFault::AfterBytes || FWritten + length <= FFault.Bytes) {
        // The system may take part of a block and give the reason (a full disk, a size limit) only
        // on the next write: write on until all is taken or a write fails with its reason.
        qint64 total = 0;
        while (total < length) {
            const qint64 written = QSaveFile::writeData(data + total, length - total);
            if (written <= 0) {
                if (FWriteError.isEmpty() && error() != QFileDevice::NoError)
                    FWriteError = errorString();
                return total > 0 ? total : -1;
            }
            total += written;
            FWritten += written;
        }
        return total;
    }
    // As a full disk: what fits is written, then the write fails and the save can no longer commit.
    const qint64 room = qMax<qint64>(0, FFault.Bytes - FWritten);
    if (room > 0 && QSaveFile::writeData(data, room) > 0)
        FWritten += room;
    cancelWriting();
    FWriteError = QString::fromUtf8(SFaultWrite);
    setErrorString(FWriteError);
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

void NVKRemoveStaleTemporaries(const QString &fileName)
{
    const QFileInfo target(fileName);
    QDir folder = target.absoluteDir();
    // The names QSaveFile gives its temporaries: the target's name and six random letters or digits.
    const QRegularExpression temporaryName(QStringLiteral("^") + QRegularExpression::escape(target.fileName()) +
                                           QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QStringList candidates =
        folder.entryList({target.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates) {
        if (!temporaryName.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int handle = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (handle < 0)
            continue;
        char mark = 0;
        const bool marked = ::fgetxattr(handle, SSavingMark, &mark, 1) == 1;
        // Still locked: another process is writing it now.
        if (marked && ::flock(handle, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(handle);
    }
}
