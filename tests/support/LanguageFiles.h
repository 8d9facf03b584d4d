// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "support/TestHelpers.h"

#include <QString>

// Writes a language file (or any file) below root, creating the folders on the way.
inline bool writeLanguageFile(const QString &root, const QString &relativePath, const QByteArray &content)
{
    return writeFile(root + QLatin1Char('/') + relativePath, content);
}

// A language file with the given ResourceStrings and Container elements.
inline QByteArray languageXml(const QString &name, const QByteArray &body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language name=\"") + name.toUtf8() +
           QByteArrayLiteral("\">\n") + body + QByteArrayLiteral("\n</Language>\n");
}
