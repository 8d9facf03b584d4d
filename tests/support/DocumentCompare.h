// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDom.h"
#include "support/TestHelpers.h"

#include <QTest>

// Shared by the document tests: building articles, a sample tree with every kind of field, and a
// field-by-field comparison of two documents.

inline IQBDocumentControlPtr controlOf(const IQBDocumentPtr &document)
{
    return std::dynamic_pointer_cast<IQBDocumentControl>(document);
}

// A one-paragraph RTF body holding text.
QString rtf(const QString &text);

// Appends an article with caption and body under parent.
IQBArticlePtr addArticle(const IQBDocumentPtr &document, const IQBArticlePtr &parent, const QString &caption,
                         const QString &body = QString());

// Creation times compare to the second, as files keep them.
qint64 secondsOf(TDateTime value);

// A document with full Unicode in captions and header texts, tabs and line breaks in
// attributes, bodies with CDATA terminators, markers, a negative IID, and creation times with
// seconds.
IQBDocumentPtr sampleDocument();

// Compares two documents field by field, in pre-order. Times compare to the second.
void compareDocuments(const IQBDocumentPtr &actual, const IQBDocumentPtr &expected, bool compareTimes = true,
                      bool compareMarks = true);
