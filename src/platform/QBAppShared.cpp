// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBAppShared.h"

#include "NVKLocalizer.h"

namespace {

TQBAppShared Shared;

} // namespace

const TQBAppShared &QBAppShared()
{
    return Shared;
}

void QBSetAppShared(const TQBAppShared &shared)
{
    Shared = shared;
}

const TNVKCustomResourceManager *QBAppLocalizer()
{
    return Shared.Localizer;
}
