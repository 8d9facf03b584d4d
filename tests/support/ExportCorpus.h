// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDom.h"
#include "export/QBExportCore.h"

#include <QList>

// A document holding every kind of body the tests have, and every scope of articles over it, for the
// exports that must give what the assembled document gives.
namespace QBExportCorpus {

struct TCorpus
{
    IQBDocumentPtr Document = NewQBDocument();
    QList<IQBArticlePtr> Articles;
};

// Every body of the test data and of a table of edge cases and hostile RTF under its own article, in a
// tree three levels deep, with empty articles that still have children and captions that break lines
// or hold characters the text document treats specially.
TCorpus Corpus();

TQBExportSource SourceOf(const TCorpus &corpus, const IQBArticlePtr &current = {});

struct TRun
{
    QString Name;
    TExportScope Scope;
    TQBExportSource Source;
};

// The whole document, each article and branch, open articles in both orders and in pairs, and the
// scopes with nothing to export.
QList<TRun> Runs(const TCorpus &corpus);

// One test row per combination of titles, numbering and leaving out empty articles, in column "options".
void AddOptionRows();

// Where two texts part, with some text on either side, so that a failure says what differs.
QByteArray FirstDifference(const QByteArray &actual, const QByteArray &expected);

} // namespace QBExportCorpus

Q_DECLARE_METATYPE(TQBExportOptions)
