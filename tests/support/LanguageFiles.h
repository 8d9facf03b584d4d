// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

// Writes a language file (or any file) below root, creating the folders on the way.
inline bool writeLanguageFile(const QString &root, const QString &relativePath, const QByteArray &content)
{
    const QString path = root + QLatin1Char('/') + relativePath;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(content) == content.size();
}

// A language file with the given ResourceStrings and Container elements.
inline QByteArray languageXml(const QString &name, const QByteArray &body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language name=\"") + name.toUtf8() +
           QByteArrayLiteral("\">\n") + body + QByteArrayLiteral("\n</Language>\n");
}
