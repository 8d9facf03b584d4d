// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKLang.h"
#include "framework/NVKResourceSet.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Base of the tests of language files: a fresh core, an empty "Language" folder of the test's
// own, and the localization service with the resource set of "qb.exe" over it. Failures that the
// error reporter receives are collected in FReported.
class TLanguageTest : public QObject
{
protected:
    // Call from init(): a fresh core and folder, the reporter collecting.
    void prepare();
    // Call from cleanup().
    void release();
    // Starts the service over the folder, then the resource set.
    void start(const QString &defaultLanguage = QStringLiteral("Default (English)"));
    void selectLanguage(const QString &name);

    std::unique_ptr<QTemporaryDir> FDir;
    QString FBase;
    std::unique_ptr<TNVKLocalizationService> FService;
    std::unique_ptr<TNVKResourceSet> FSet;
    QStringList FReported;
};
