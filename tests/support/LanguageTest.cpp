// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/LanguageTest.h"

#include "framework/NVKInit.h"

#include <QDir>
#include <QTest>

void TLanguageTest::prepare()
{
    NVKFinalizeCore();
    NVKInitializeCore();
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FBase = FDir->path() + QStringLiteral("/Language");
    QVERIFY(QDir().mkpath(FBase));
    FReported.clear();
    NVKSetErrorReporter([this](const QString &message) { FReported.append(message); });
}

void TLanguageTest::release()
{
    FSet.reset();
    FService.reset();
    NVKSetErrorReporter(nullptr);
}

void TLanguageTest::start(const QString &defaultLanguage)
{
    FService = std::make_unique<TNVKLocalizationService>();
    FService->SetBasePath(FBase);
    FService->SetDefaultLanguage(defaultLanguage);
    FService->SetActive(true);
    FSet = std::make_unique<TNVKResourceSet>();
    FSet->SetNvkName(QStringLiteral("qb.exe"));
    FSet->SetActive(true);
}

void TLanguageTest::selectLanguage(const QString &name)
{
    const INVKLocalizationServicePtr service = LocalizationService();
    QVERIFY(service);
    const int index = service->IndexOfLanguage(name);
    QVERIFY(index >= 0);
    service->SetLanguageIndex(index);
}
