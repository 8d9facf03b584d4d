// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// File access and error capture shared by the tests. Each test program gets QB_TEST_DATA_DIR from its build.

#ifdef QB_TEST_DATA_DIR
inline QString testData(const QString &name)
{
    return QStringLiteral(QB_TEST_DATA_DIR "/") + name;
}
#endif

// The whole file, or "<unreadable>" so that a missing file never compares equal to an empty one.
QByteArray fileBytes(const QString &fileName);

// Writes bytes as the whole file, creating the folders on the way; false when anything fails.
bool writeFile(const QString &fileName, const QByteArray &bytes);

// The message of the Exception the action raises; empty when it raises none.
QString messageOf(const std::function<void()> &action);
