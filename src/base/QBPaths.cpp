// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString QBResourceFolderFor(const QString &programFolder)
{
    // Relative to the program rather than a prefix compiled in, so an installation can be moved
    // (a package unpacked elsewhere, a prefix copied) and still find its files.
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/quillbox"));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(programFolder);
}

QString QBResourceFolder()
{
    if (!QCoreApplication::instance())
        return QBResourceFolderFor(QDir::currentPath());
    return QBResourceFolderFor(QCoreApplication::applicationDirPath());
}
