// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A text the editor controls show, by its name and English default. The one place where the
// localizer is asked once it serves names.
inline QString EditorText([[maybe_unused]] const char *name, const char *defaultText)
{
    return QString::fromUtf8(defaultText);
}
