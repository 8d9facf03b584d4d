// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = RtfToPlainText(rtf);
    // The text can never hold more characters than the input has bytes, plus one per \u escape's
    // surrogate half; anything else means a runaway loop.
    if (text.size() > rtf.size() + 1)
        __builtin_trap();
    return 0;
}
