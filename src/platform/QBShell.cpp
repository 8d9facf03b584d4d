// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBShell.h"

#include <QDesktopServices>

namespace {

TQBUrlOpener &opener()
{
    static TQBUrlOpener current;
    return current;
}

} // namespace

bool QBOpenUrl(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void QBSetUrlOpener(TQBUrlOpener value)
{
    opener() = std::move(value);
}
