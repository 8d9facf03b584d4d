// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The one way from a stored body to the bytes the RTF engine reads; every reader of bodies (editor,
// search, export, command-line tool) goes through it, so all of them see the same text.
// Bodies are 7-bit RTF as a rule; raw characters in RTF go back to code page 1252 bytes (Unicode
// escapes where it has none), other text to UTF-8.
QByteArray QBBodyBytes(const QString &body);
// The same for a body held as UTF-8; 7-bit bodies pass without a copy into UTF-16.
QByteArray QBBodyBytesFromUtf8(const QByteArray &utf8);
