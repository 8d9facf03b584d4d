// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

enum TQBLockKey { lkCapsLock = 0, lkNumLock = 1, lkScrollLock = 2 };

// Whether a lock key is toggled on, as the window system reports it right now; nothing where it
// cannot be asked (no X11 connection, as under Wayland or the offscreen platform).
std::optional<bool> QBReadLockState(TQBLockKey key);
