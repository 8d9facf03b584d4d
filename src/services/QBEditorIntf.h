// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKIntf.h"

// The editor as the services see it: the one way to reach the text being edited.
class IQBEditorService : public virtual INVKService
{
public:
    // Streams the text being edited back into its article; must run before anything reads bodies.
    virtual void StoreChanges() = 0;
};
using IQBEditorServicePtr = std::shared_ptr<IQBEditorService>;

// The registered editor service; empty when none runs.
IQBEditorServicePtr EditorService();
