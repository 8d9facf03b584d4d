// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBEditorIntf.h"

#include "framework/NVKInit.h"

IQBEditorServicePtr EditorService()
{
    const INVKCorePtr core = Core();
    return core ? core->QueryService<IQBEditorService>() : nullptr;
}
