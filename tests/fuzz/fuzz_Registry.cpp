// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/Registry.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

QMap<QString, QVariant> read(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QMap<QString, QVariant> map;
    RegistryReadStore(buffer, map);
    return map;
}

QByteArray write(const QMap<QString, QVariant> &map)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!RegistryWriteStore(buffer, map))
        __builtin_trap();
    return buffer.data();
}

} // namespace

// Whatever a damaged store holds, what was read is written and read back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QMap<QString, QVariant> first = read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray written = write(first);
    const QMap<QString, QVariant> second = read(written);
    if (second != first || write(second) != written)
        __builtin_trap();
    return 0;
}
