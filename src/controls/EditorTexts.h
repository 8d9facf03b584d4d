// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/QBStrings.h"
#include "platform/QBAppShared.h"

#include <QString>

// A text the editor controls show, by its name and English default, in the program's language
// (the language file's ResourceStrings) when it has one. Asked each time the text is shown.
inline QString EditorText(const char *name, const char *defaultText)
{
    return QBLoadStr(QBAppLocalizer(), TQBNamedText{name, defaultText});
}
