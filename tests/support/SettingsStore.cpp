// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/SettingsStore.h"

#include "framework/NVKInit.h"
#include "services/Registry.h"

TSettingsStore::TSettingsStore()
{
    TRegistry::SetStoreFolder(Dir.path());
}

TFreshCore::TFreshCore()
{
    NVKFinalizeCore();
    NVKInitializeCore();
}

QString TSettingsStore::FileName()
{
    return TRegistry::StoreFileName();
}

void setRegistryValue(const QString &key, const QString &name, const QVariant &value)
{
    TRegistry reg;
    reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\") + key, true);
    if (value.typeId() == QMetaType::QString)
        reg.WriteString(name, value.toString());
    else
        reg.WriteInteger(name, value.toInt());
    reg.CloseKey();
}
