// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The folder that holds what the program reads at run time: "tips.txt", "help/" and "Language/".
// An installed program in <prefix>/bin finds them in <prefix>/share/quillbox; in the build tree they
// sit beside the program. Without an application object the working folder stands in for the
// program's folder.
QString QBResourceFolder();

// The same choice for a given program folder.
QString QBResourceFolderFor(const QString &programFolder);
