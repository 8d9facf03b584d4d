// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

class TNVKCustomResourceManager;
class TNVKLocalizer;
class TNVKResourceSet;
class TQBMarkerDictionary;

// What the application's data module shares with every window: its language resources, its
// localizer for named texts and its marker dictionary. Windows below the application layer reach
// them here rather than through the data module itself. All null while no data module exists.
struct TQBAppShared
{
    TNVKResourceSet *ResourceSet = nullptr;
    TNVKLocalizer *Localizer = nullptr;
    TQBMarkerDictionary *Markers = nullptr;
};

const TQBAppShared &QBAppShared();
void QBSetAppShared(const TQBAppShared &shared);

// The localizer that named texts come from; null (the built-in English texts) when there is none.
const TNVKCustomResourceManager *QBAppLocalizer();
