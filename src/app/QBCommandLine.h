// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

class QTextStream;

// What `quillbox --help` prints; the manual page quillbox(1) is made from this same text at build time.
QString QBProgramHelpText();

// Answers --help and --version, which must work without a display, so before any window exists.
// arguments: the command line without the program. True when one of them was answered; exitCode
// is then what the program returns.
bool QBAnswerInfoOption(const QStringList &arguments, QTextStream &out, int &exitCode);
