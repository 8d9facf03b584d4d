// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QString>
#include <memory>

// An RTF body of about 3 KB of formatted prose, as the document benchmarks store in every article.
// A non-empty word is placed once at the start of the text.
QString QBBenchBody(const QString &word = {});

// A document of `articles` articles below the root, ten children under each article (filled breadth
// first), captioned "Article N", each with QBBenchBody; every `every`-th article's body (counting from
// the first) carries `word`.
IQBDocumentPtr QBBenchDocument(int articles, const QString &word, int every);

// A fresh core with the settings and data services running over a registry in a temporary folder,
// for benchmarks that need the program's services; the core is fresh again afterwards.
class TQBBenchServices
{
public:
    TQBBenchServices();
    ~TQBBenchServices();
    TQBBenchServices(const TQBBenchServices &) = delete;
    TQBBenchServices &operator=(const TQBBenchServices &) = delete;

private:
    struct TParts;
    std::unique_ptr<TParts> FParts;
};

class TArticleRichEdit;

// The main window's editing area in small (tabs, title bar, editor) shown in a window, with the editor
// service bound to it, for benchmarks that open articles as the program does.
class TQBBenchEditorArea
{
public:
    TQBBenchEditorArea();
    ~TQBBenchEditorArea();
    TQBBenchEditorArea(const TQBBenchEditorArea &) = delete;
    TQBBenchEditorArea &operator=(const TQBBenchEditorArea &) = delete;
    TArticleRichEdit *Editor() const;

private:
    struct TParts;
    std::unique_ptr<TParts> FParts;
};

// Nanoseconds as "12.3 ms".
QString QBBenchMs(qint64 ns);

// CPU time of this process so far, in milliseconds: on a shared machine it shows what the work
// itself costs, where wall time also counts waiting for a core.
double QBBenchCpuMs();

// A figure of this process's memory from /proc/self/status in MB: "VmRSS:" resident now, "VmHWM:" its peak.
double QBBenchMemoryMB(const char *key = "VmRSS:");
