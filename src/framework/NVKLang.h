// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "NVKClasses.h"
#include "base/NVKIntf.h"

#include <QStringList>

// Codes the localization service publishes, both without argument object, in this order, after
// the current language changed: resource sets reload on the first, everybody else may follow the second.
enum : int {
    NVK_LANGUAGE_RELOAD = 1,
    NVK_LANGUAGE_CHANGED = 2,
};

// Knows the installed languages (one folder each under the base path) and the current one.
class INVKLocalizationService : public virtual INVKService
{
public:
    // The language current at start: the provider's DefaultLanguage, or "Default" when that is empty.
    virtual QString GetDefaultLanguage() const = 0;
    // The folder holding one sub-folder per language, ending with "/"; set when the service starts.
    virtual QString GetBasePath() const = 0;
    // Where languages are installed for this user, ending with "/": the user folder when the
    // provider names one, else the base path.
    virtual QString GetInstallPath() const = 0;
    // The folder that holds the language's own folder, ending with "/": the user folder when the
    // language is installed there, else the base path. Empty for an index outside the list.
    virtual QString GetLanguagePath(int index) const = 0;
    virtual int GetLanguageCount() const = 0;
    // The language's name; empty for an index outside 0 .. count - 1.
    virtual QString GetLanguage(int index) const = 0;
    // Makes the language current and publishes NVK_LANGUAGE_RELOAD then NVK_LANGUAGE_CHANGED;
    // the current index or one outside the list changes and publishes nothing.
    virtual void SetLanguageIndex(int index) = 0;
    // -1 before the service started.
    virtual int GetLanguageIndex() const = 0;
    // Letter case ignored; -1 when absent.
    virtual int IndexOfLanguage(const QString &name) const = 0;
};
using INVKLocalizationServicePtr = std::shared_ptr<INVKLocalizationService>;

// Provider of the "NVK:Localization" service.
class TNVKLocalizationService : public TNVKCustomServiceProvider
{
    Q_OBJECT

public:
    explicit TNVKLocalizationService(QObject *owner = nullptr);

    // Empty means the folder "Language" among the program's resources (QBResourceFolder).
    QString BasePath() const { return FBasePath; }
    void SetBasePath(const QString &value);
    // Empty means "Default".
    QString DefaultLanguage() const { return FDefaultLanguage; }
    void SetDefaultLanguage(const QString &value);
    // A second folder of languages, the user's own (the program's folder is often not writable):
    // its languages are listed too, and a language in both is read from here. Empty means none.
    QString UserPath() const { return FUserPath; }
    void SetUserPath(const QString &value);

protected:
    INVKServicePtr CreateService() override;

private:
    QString FBasePath;
    QString FDefaultLanguage;
    QString FUserPath;
};

class TNVKLocalizationServiceImpl : public TNVKServiceBase, public INVKLocalizationService, public INVKEventPublisher
{
public:
    TNVKLocalizationServiceImpl(TNVKCustomServiceProvider *provider, const QString &basePath,
                                const QString &defaultLanguage, const QString &userPath = QString());

    QString GetDefaultLanguage() const override;
    QString GetBasePath() const override { return FResolvedBasePath; }
    QString GetInstallPath() const override;
    QString GetLanguagePath(int index) const override;
    int GetLanguageCount() const override { return int(FLanguages.size()); }
    QString GetLanguage(int index) const override;
    void SetLanguageIndex(int index) override;
    int GetLanguageIndex() const override { return FLanguageIndex; }
    int IndexOfLanguage(const QString &name) const override;

    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }

protected:
    // Scans the base path for languages and makes the default language current.
    bool DoStart() override;

private:
    QString FBasePath;
    QString FDefaultLanguage;
    QString FResolvedBasePath;
    QString FUserPath;
    QString FResolvedUserPath;
    QStringList FLanguages;
    int FLanguageIndex = -1;
    TNVKEventPublisher FPublisher;
};

// The running localization service; empty when there is no core or no such service.
INVKLocalizationServicePtr LocalizationService();
