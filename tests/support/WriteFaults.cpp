// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/WriteFaults.h"

TFailDevice::TFailDevice(qint64 limit) : FLimit(limit)
{
    open(QIODevice::WriteOnly);
}

qint64 TFailDevice::readData(char *, qint64)
{
    return -1;
}

qint64 TFailDevice::writeData(const char *data, qint64 length)
{
    if (FWritten.size() + length > FLimit) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    FWritten.append(data, length);
    return length;
}

TWriteFaultScope::TWriteFaultScope(TNVKWriteFault fault, qint64 bytes, const QString &fileName)
{
    NVKSetWriteFault({fault, bytes, fileName});
}

TWriteFaultScope::~TWriteFaultScope()
{
    NVKClearWriteFault();
}

QList<TWriteFaultPoint> writeFaultPoints()
{
    return {
        {"at open", TNVKWriteFault::AtOpen, 0},
        {"mid-write", TNVKWriteFault::AfterBytes, 16},
        {"at rename", TNVKWriteFault::AtCommit, 0},
    };
}
