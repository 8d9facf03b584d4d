// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QTextStream>

// Exit codes of every command.
enum : int {
    CliOk = 0,
    CliBadDocument = 1,
    CliUsage = 2,
};

// One command of quillbox-cli: it prints results to out and problems to err and returns an
// exit code; exceptions that escape it are reported by main with exit code 1.
struct TCliCommand
{
    const char *name;
    const char *arguments;
    const char *summary;
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

// The commands, ended by an entry whose name is null.
extern const TCliCommand CliCommands[];
