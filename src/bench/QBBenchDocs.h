// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QString>

// An RTF body of about 3 KB of formatted prose, as the document benchmarks store in every article.
// A non-empty word is placed once at the start of the text.
QString QBBenchBody(const QString &word = {});

// A document of `articles` articles below the root, ten children under each article (filled breadth
// first), captioned "Article N", each with QBBenchBody; every `every`-th article's body (counting from
// the first) carries `word`.
IQBDocumentPtr QBBenchDocument(int articles, const QString &word, int every);
