// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKSaveFile.h"

#include <QIODevice>
#include <QList>
#include <QMetaType>

Q_DECLARE_METATYPE(TNVKWriteFault)

// A device that takes Limit bytes, then fails every write as a full disk does.
class TFailDevice : public QIODevice
{
public:
    explicit TFailDevice(qint64 limit);
    const QByteArray &Written() const { return FWritten; }

protected:
    qint64 readData(char *data, qint64 maxLength) override;
    qint64 writeData(const char *data, qint64 length) override;

private:
    qint64 FLimit;
    QByteArray FWritten;
};

// Plans a write fault for every file the program replaces (or only fileName) while it lives.
class TWriteFaultScope
{
public:
    explicit TWriteFaultScope(TNVKWriteFault fault, qint64 bytes = 0, const QString &fileName = QString());
    ~TWriteFaultScope();
    TWriteFaultScope(const TWriteFaultScope &) = delete;
    TWriteFaultScope &operator=(const TWriteFaultScope &) = delete;
};

// The failure points every save is tried at: the temporary cannot be made, the disk fills
// mid-write (after a few bytes, fewer than any file the tests save), the final rename fails.
struct TWriteFaultPoint
{
    const char *Name;
    TNVKWriteFault Fault;
    qint64 Bytes;
};
QList<TWriteFaultPoint> writeFaultPoints();
