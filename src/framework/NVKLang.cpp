// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKLang.h"

#include "NVKInit.h"
#include "base/QBPaths.h"

#include <QDir>

namespace {
const char SLocalizationServiceName[] = "NVK:Localization";
const char SDefaultLanguage[] = "Default";
const char SLanguageFolder[] = "Language";

QString withTrailingSlash(const QString &path)
{
    QString result = QDir::fromNativeSeparators(path);
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

} // namespace

// ---- TNVKLocalizationService ----

TNVKLocalizationService::TNVKLocalizationService(QObject *owner)
    : TNVKCustomServiceProvider(owner, QString::fromLatin1(SLocalizationServiceName))
{
}

void TNVKLocalizationService::SetBasePath(const QString &value)
{
    if (value == FBasePath)
        return;
    CheckInactive();
    FBasePath = value;
}

void TNVKLocalizationService::SetDefaultLanguage(const QString &value)
{
    if (value == FDefaultLanguage)
        return;
    CheckInactive();
    FDefaultLanguage = value;
}

INVKServicePtr TNVKLocalizationService::CreateService()
{
    return std::make_shared<TNVKLocalizationServiceImpl>(this, FBasePath, FDefaultLanguage);
}

// ---- TNVKLocalizationServiceImpl ----

TNVKLocalizationServiceImpl::TNVKLocalizationServiceImpl(TNVKCustomServiceProvider *provider, const QString &basePath,
                                                         const QString &defaultLanguage)
    : TNVKServiceBase(provider), FBasePath(basePath), FDefaultLanguage(defaultLanguage), FPublisher(this)
{
}

QString TNVKLocalizationServiceImpl::GetDefaultLanguage() const
{
    return FDefaultLanguage.isEmpty() ? QString::fromLatin1(SDefaultLanguage) : FDefaultLanguage;
}

QString TNVKLocalizationServiceImpl::GetLanguage(int index) const
{
    if (index < 0 || index >= FLanguages.size())
        return QString();
    return FLanguages.at(index);
}

void TNVKLocalizationServiceImpl::SetLanguageIndex(int index)
{
    if (index == FLanguageIndex || index < 0 || index >= FLanguages.size())
        return;
    FLanguageIndex = index;
    FPublisher.Publish(NVK_LANGUAGE_RELOAD, nullptr);
    FPublisher.Publish(NVK_LANGUAGE_CHANGED, nullptr);
}

int TNVKLocalizationServiceImpl::IndexOfLanguage(const QString &name) const
{
    for (qsizetype i = 0; i < FLanguages.size(); ++i) {
        if (FLanguages.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool TNVKLocalizationServiceImpl::DoStart()
{
    FLanguages.clear();
    FResolvedBasePath = FBasePath.isEmpty() ? withTrailingSlash(QBResourceFolder()) +
                                                  QString::fromLatin1(SLanguageFolder) + QLatin1Char('/')
                                            : withTrailingSlash(FBasePath);
    // Sorted by name so the list reads the same on every file system (some list folders unordered).
    const QDir base(FResolvedBasePath);
    FLanguages = base.entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    const QString defaultLanguage = GetDefaultLanguage();
    if (IndexOfLanguage(defaultLanguage) < 0)
        FLanguages.insert(0, defaultLanguage);
    FLanguageIndex = IndexOfLanguage(defaultLanguage);
    return true;
}

INVKLocalizationServicePtr LocalizationService()
{
    const INVKCorePtr core = Core();
    if (!core)
        return {};
    return core->QueryService<INVKLocalizationService>();
}
