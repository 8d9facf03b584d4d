// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QTemporaryDir>
#include <QVariant>

// Points the registry at a store in a temporary folder of its own for as long as it lives, so that
// nothing is cached from another test and the user's settings are never touched.
struct TSettingsStore
{
    QTemporaryDir Dir;

    TSettingsStore();
    // The store file, which exists once something was written.
    static QString FileName();
};

// A service core without services over a store of its own: where each test of the services and
// windows starts.
struct TFreshCore : TSettingsStore
{
    TFreshCore();
};

// Writes one value (an int or a string) into the key "Software\Brindlewood\Quillbox\<key>".
void setRegistryValue(const QString &key, const QString &name, const QVariant &value);
