// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKAccess.h"

// Follows the settings service and reports each change with its categories.
class TQBSettingsAccess : public TNVKCustomServiceAccess
{
    Q_OBJECT

public:
    explicit TQBSettingsAccess(QObject *owner = nullptr);

Q_SIGNALS:
    void settingsChanged(int categories);

protected:
    void ServiceNotify(int code, const INVKUnknownPtr &param) override;
    virtual void DoSettingsChanged(int categories) { Q_EMIT settingsChanged(categories); }
};
