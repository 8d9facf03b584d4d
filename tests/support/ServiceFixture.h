// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKInit.h"
#include "services/QBDocSvc.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"
#include "support/TestHelpers.h"

#include <QTemporaryDir>

// A fresh core with the settings and data services running over a registry and files in a
// temporary folder, as the data module starts them.
struct TServiceFixture
{
    QTemporaryDir dir;
    std::unique_ptr<TQBSettingsService> settings;
    std::unique_ptr<TQBDataService> data;

    TServiceFixture()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        TRegistry::SetStoreFolder(dir.path());
        settings = std::make_unique<TQBSettingsService>();
        data = std::make_unique<TQBDataService>();
    }

    ~TServiceFixture()
    {
        data.reset();
        settings.reset();
    }

    void start()
    {
        settings->SetActive(true);
        data->SetActive(true);
    }

    QString path(const QString &name) const { return dir.filePath(name); }
};

// A small version "1.0" file as old versions of the program wrote it.
inline QByteArray oldVersionFile()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Snippets Version=\"1.0\" LastIID=\"1\"><Header/>"
           "<Article Caption=\"Old\" IID=\"_0\"><Items><Article Caption=\"Child\" IID=\"_1\">"
           "<Content>plain body</Content></Article></Items></Article></Snippets>";
}
