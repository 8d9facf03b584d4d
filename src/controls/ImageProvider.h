// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <functional>

// Images addressed by index (the marker images, the outline's folder and leaf images), supplied by
// whoever owns the pictures; an index it does not know gives a null icon.
using TQBImageProvider = std::function<QIcon(int index)>;
