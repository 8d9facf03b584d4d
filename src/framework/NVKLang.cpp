// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKLang.h"

#include "NVKInit.h"
#include "base/QBPaths.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

void TNVKLocalizationService::SetUserPath(const QString &value)
{
    if (value == FUserPath)
        return;
    CheckInactive();
    FUserPath = value;
}

INVKServicePtr TNVKLocalizationService::CreateService()
{
    return std::make_shared<TNVKLocalizationServiceImpl>(this, FBasePath, FDefaultLanguage, FUserPath);
}

// ---- TNVKLocalizationServiceImpl ----

TNVKLocalizationServiceImpl::TNVKLocalizationServiceImpl(TNVKCustomServiceProvider *provider, const QString &basePath,
                                                         const QString &defaultLanguage, const QString &userPath)
    : TNVKServiceBase(provider), FBasePath(basePath), FDefaultLanguage(defaultLanguage), FUserPath(userPath),
      FPublisher(this)
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

QString TNVKLocalizationServiceImpl::GetInstallPath() const
{
    return FResolvedUserPath.isEmpty() ? FResolvedBasePath : FResolvedUserPath;
}

QString TNVKLocalizationServiceImpl::GetLanguagePath(int index) const
{
    const QString language = GetLanguage(index);
    if (language.isEmpty())
        return QString();
    if (!FResolvedUserPath.isEmpty() && QFileInfo(FResolvedUserPath + language).isDir())
        return FResolvedUserPath;
    return FResolvedBasePath;
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
    FResolvedUserPath = FUserPath.isEmpty() ? QString() : withTrailingSlash(FUserPath);
    if (!FResolvedUserPath.isEmpty() && FResolvedUserPath != FResolvedBasePath) {
        const QStringList own =
            QDir(FResolvedUserPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        // A language in both folders is read from the user's, under the user's spelling.
        for (const QString &language : own) {
            const int known = IndexOfLanguage(language);
            if (known < 0)
                FLanguages.append(language);
            else
                FLanguages[known] = language;
        }
        std::sort(FLanguages.begin(), FLanguages.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    }
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
