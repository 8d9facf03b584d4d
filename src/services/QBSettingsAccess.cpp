// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBSettingsAccess.h"

#include "QBSettingsSvc.h"

TQBSettingsAccess::TQBSettingsAccess(QObject *owner)
    : TNVKCustomServiceAccess(owner, QStringLiteral("Quillbox:Settings"))
{
}

void TQBSettingsAccess::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    if (code != QB_SETTINGS_CHANGED)
        return;
    if (const auto args = std::dynamic_pointer_cast<IQBSettingsChangeArgs>(param))
        DoSettingsChanged(args->GetCategories());
}
