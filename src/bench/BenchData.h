// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A RichEdit-style RTF body of at least `size` characters: font and colour tables, paragraphs
// with bold, italic and coloured runs, \u escapes and hex escapes, varied by `seed` so that
// bodies differ from one another as real ones do.
QString QBBenchRtfBody(int seed, int size);
