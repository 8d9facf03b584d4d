// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKAccess.h"
#include "framework/NVKClasses.h"
#include "framework/QBGraphics.h"

#include <QStringList>

// The categories a settings notice reports, OR-ed together.
enum : int {
    scPreferences = 1,
    scBackup = 2,
    scDocDefaults = 4,
    scEditOptions = 8,
    scFonts = 64,
    scColors = 128,
    scLanguage = 256,
    scAll = 65535,
};

// The event code of a settings change; the parameter is an IQBSettingsChangeArgs.
enum : int { QB_SETTINGS_CHANGED = 0 };

class IQBSettingsChangeArgs : public virtual INVKUnknown
{
public:
    virtual int GetCategories() const = 0;
};

class TQBSettingsChangeArgs final : public IQBSettingsChangeArgs
{
public:
    explicit TQBSettingsChangeArgs(int categories) : FCategories(categories) {}
    int GetCategories() const override { return FCategories; }

private:
    int FCategories;
};

// Most recent first, at most Depth entries, no two equal without regard to case.
class IQBHistoryList : public virtual INVKUnknown
{
public:
    virtual QString GetItem(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual int GetDepth() const = 0;
    // Drops entries from the end until at most value remain.
    virtual void SetDepth(int value) = 0;
    // Puts text on top; a full list first drops its oldest entry, then an equal entry goes.
    virtual void Add(const QString &text) = 0;
    // Removes and returns the top entry; empty text when the list is empty.
    virtual QString Pop() = 0;
    virtual QString Extract(int index) = 0;
    virtual void Clear() = 0;
};
using IQBHistoryListPtr = std::shared_ptr<IQBHistoryList>;

class TQBHistoryList final : public IQBHistoryList
{
public:
    QString GetItem(int index) const override { return FItems.at(index); }
    int GetCount() const override { return int(FItems.size()); }
    int GetDepth() const override { return FDepth; }
    void SetDepth(int value) override;
    void Add(const QString &text) override;
    QString Pop() override;
    QString Extract(int index) override { return FItems.takeAt(index); }
    void Clear() override { FItems.clear(); }

private:
    QStringList FItems;
    int FDepth = 16;
};

class IQBSettingsService : public virtual INVKService
{
public:
    virtual void BeginUpdate() = 0;
    // Publishes the changes collected since the outermost BeginUpdate, as one notice.
    virtual void EndUpdate() = 0;
    virtual IQBHistoryListPtr CreateHistoryList() = 0;
    virtual IQBHistoryListPtr LoadHistoryList(const QString &name) = 0;
    virtual void SaveHistoryList(const QString &name, const IQBHistoryListPtr &list) = 0;
    // "Software\Brindlewood\Quillbox\"; other keys are built on it.
    virtual QString GetRegistryKey() const = 0;

    virtual bool GetShowTips() const = 0;
    virtual void SetShowTips(bool value) = 0;
    virtual int GetTipIndex() const = 0;
    virtual void SetTipIndex(int value) = 0;
    // The search pane's last scope and options: bits of TQBSearchOption, 8 titles, 16 current article.
    virtual int GetSearchOptions() const = 0;
    virtual void SetSearchOptions(int value) = 0;
    virtual int GetStartupAction() const = 0;
    virtual void SetStartupAction(int value) = 0;
    virtual QString GetStartupDocument() const = 0;
    virtual void SetStartupDocument(const QString &value) = 0;
    virtual QString GetEncoding() const = 0;
    virtual void SetEncoding(const QString &value) = 0;
    virtual QString GetAuthor() const = 0;
    virtual void SetAuthor(const QString &value) = 0;
    virtual QString GetCopyright() const = 0;
    virtual void SetCopyright(const QString &value) = 0;
    virtual bool GetAutoRevision() const = 0;
    virtual void SetAutoRevision(bool value) = 0;
    virtual bool GetAutosave() const = 0;
    virtual void SetAutosave(bool value) = 0;
    virtual int GetAutosaveInterval() const = 0;
    virtual void SetAutosaveInterval(int value) = 0;
    virtual bool GetCreateBackups() const = 0;
    virtual void SetCreateBackups(bool value) = 0;
    virtual bool GetBackupFirstTime() const = 0;
    virtual void SetBackupFirstTime(bool value) = 0;
    virtual QString GetBackupMask() const = 0;
    virtual void SetBackupMask(const QString &value) = 0;
    virtual bool GetWordWrap() const = 0;
    virtual void SetWordWrap(bool value) = 0;
    virtual bool GetWordSelection() const = 0;
    virtual void SetWordSelection(bool value) = 0;
    virtual bool GetFindWordAtCursor() const = 0;
    virtual void SetFindWordAtCursor(bool value) = 0;
    virtual bool GetReplaceWordAtCursor() const = 0;
    virtual void SetReplaceWordAtCursor(bool value) = 0;
    virtual bool GetInplaceActivation() const = 0;
    virtual void SetInplaceActivation(bool value) = 0;
    virtual int GetUndoLimit() const = 0;
    virtual void SetUndoLimit(int value) = 0;
    virtual bool GetSelectionBar() const = 0;
    virtual void SetSelectionBar(bool value) = 0;
    virtual QString GetEditorFont() const = 0;
    virtual void SetEditorFont(const QString &value) = 0;
    virtual QString GetTitleFont() const = 0;
    virtual void SetTitleFont(const QString &value) = 0;
    virtual TColor GetOutlineColor() const = 0;
    virtual void SetOutlineColor(TColor value) = 0;
    virtual TColor GetIndexColor() const = 0;
    virtual void SetIndexColor(TColor value) = 0;
    virtual TColor GetTitleColor() const = 0;
    virtual void SetTitleColor(TColor value) = 0;
    virtual TColor GetEditorColor() const = 0;
    virtual void SetEditorColor(TColor value) = 0;
    virtual QString GetLanguage() const = 0;
    virtual void SetLanguage(const QString &value) = 0;
};
using IQBSettingsServicePtr = std::shared_ptr<IQBSettingsService>;

// The registered settings service; empty when none runs.
IQBSettingsServicePtr SettingsService();

// The provider of "Quillbox:Settings".
class TQBSettingsService : public TNVKCustomServiceProvider
{
    Q_OBJECT

public:
    explicit TQBSettingsService(QObject *owner = nullptr);

protected:
    INVKServicePtr CreateService() override;
};
