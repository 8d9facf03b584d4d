// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QTextStream>

// The search and export commands of quillbox-cli. Each prints results to out and problems to err and
// returns the exit code: 0 success (also a search without matches), 1 a document or file that cannot
// be read or written, 2 wrong usage.
int CliSearch(const QStringList &args, QTextStream &out, QTextStream &err);
int CliExport(const QStringList &args, QTextStream &out, QTextStream &err);
int CliText(const QStringList &args, QTextStream &out, QTextStream &err);

// Export lays out rich text and needs a GUI application; the other commands do not.
bool CliNeedsGui(const QString &command);
