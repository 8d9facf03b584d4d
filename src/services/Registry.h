// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"

#include <QMap>
#include <QStringList>
#include <QVariant>
#include <memory>

class QIODevice;
class QSettings;

// A failed registry read or write: a missing value where a number was asked for, a value of the
// wrong type, a write to a store that cannot be written.
class ERegistryException : public Exception
{
public:
    using Exception::Exception;
};

enum TRegDataType { rdUnknown, rdString, rdInteger };

// The per-user registry: keys with backslash paths ("Software\Brindlewood\Quillbox\Settings\Backup")
// holding typed values, 32-bit integers or strings. Kept in one file of the user's configuration
// folder ("Brindlewood/Quillbox.reg"), written through QSettings so that a store is replaced whole.
// Keys are absolute paths; a leading backslash is allowed. Main thread only.
class TRegistry
{
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    // Makes Key the current key. Without canCreate a missing key gives false and no current key.
    bool OpenKey(const QString &key, bool canCreate);
    // Like OpenKey without creating; the key is read, never written.
    bool OpenKeyReadOnly(const QString &key);
    // Ends work on the current key and writes what changed to the store.
    void CloseKey();
    QString CurrentPath() const { return FCurrentPath; }
    bool HasCurrentKey() const { return FHasKey; }

    bool KeyExists(const QString &key) const;
    // Deletes the key with its values and sub-keys; false when it did not exist.
    bool DeleteKey(const QString &key);
    // The sub-keys of Key, or of the current key when Key is empty.
    QStringList GetKeyNames(const QString &key = QString()) const;

    // Values of the current key.
    bool ValueExists(const QString &name) const;
    TRegDataType GetDataType(const QString &name) const;
    QStringList GetValueNames() const;
    bool DeleteValue(const QString &name);

    // A missing value or one of the other type raises ERegistryException, as the registry does.
    qint32 ReadInteger(const QString &name) const;
    bool ReadBool(const QString &name) const { return ReadInteger(name) != 0; }
    // A missing value reads as empty text; an integer value raises ERegistryException.
    QString ReadString(const QString &name) const;
    void WriteInteger(const QString &name, qint32 value);
    void WriteBool(const QString &name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteString(const QString &name, const QString &value);

    // Where the store file lives: the user's configuration folder unless a test points elsewhere.
    static void SetStoreFolder(const QString &folder);
    static QString StoreFileName();

private:
    QString ValueKey(const QString &name) const;
    void RequireKey() const;

    std::unique_ptr<QSettings> FSettings;
    QString FCurrentPath; // QSettings form: segments joined by '/'
    bool FHasKey = false;
};

// The store file's text format, as QSettings reads and writes it; keys are "Key/Path/Name" and a
// key's own entry is "Key/Path/.". Lines that do not parse are dropped.
bool RegistryReadStore(QIODevice &device, QMap<QString, QVariant> &map);
bool RegistryWriteStore(QIODevice &device, const QMap<QString, QVariant> &map);
