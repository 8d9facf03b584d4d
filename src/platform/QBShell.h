// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

#include <functional>

// Where links, mail addresses and files leave the program: the desktop's handler for the URL.
// Returns false when nothing on the desktop takes it.
bool QBOpenUrl(const QUrl &url);

// Tests put an opener of their own in place of the desktop; an empty one restores the desktop.
using TQBUrlOpener = std::function<bool(const QUrl &url)>;
void QBSetUrlOpener(TQBUrlOpener opener);
