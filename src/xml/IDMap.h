// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Identifier names of a few integer types, as language files write them ("clWindowText",
// "crHandPoint", "mrOk"). Types are named by their type names: "TColor", "TCursor", "TModalResult".

// The type's position in the map, or -1 when the map does not know it.
int IndexOfType(const QString &typeName);
// The value of a name of the type (letter case ignored); any other text is read as a hexadecimal
// number, with or without a leading "$" (0 when it is not one). -1 for a type the map does not know.
int IdentToInt(const QString &typeName, const QString &text);
// The name of a value of the type; false when the value has no name (or the type is unknown).
bool IntToIdent(const QString &typeName, int value, QString &text);
// Every name of the type in table order (for "TColor" the 16 plain colours come first); empty for
// a type the map does not know.
QStringList IdentNames(const QString &typeName);
