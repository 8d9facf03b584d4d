// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBSettingsSvc.h"

#include "framework/NVKInit.h"
#include "services/Registry.h"

#include <QMap>
#include <QVariant>
#include <array>

namespace {

const QString RegistryKey = QStringLiteral("Software\\Brindlewood\\Quillbox\\");
const TColor clWindowText = TColor(0x80000008);
const TColor clWindow = TColor(0x80000005);
const TColor clInfoBk = TColor(0x80000018);

enum TSettingKind { skBool, skInt, skText, skColor, skFont };

// One row per setting, in the order in which the registry is read and written.
enum TSettingId {
    siStartupAction,
    siStartupDocument,
    siShowTips,
    siTipIndex,
    siAutosave,
    siAutosaveInterval,
    siCreateBackups,
    siBackupFirstTime,
    siBackupMask,
    siEncoding,
    siAuthor,
    siCopyright,
    siAutoRevision,
    siWordWrap,
    siWordSelection,
    siFindWordAtCursor,
    siReplaceWordAtCursor,
    siInplaceActivation,
    siSelectionBar,
    siUndoLimit,
    siWindowFont,
    siEditorFont,
    siTitleFont,
    siOutlineColor,
    siIndexColor,
    siTitleColor,
    siEditorColor,
    siLanguage,
    siSearchOptions,
    siCount
};

struct TSettingDef
{
    const char *section;
    const char *name;
    TSettingKind kind;
    QVariant initial;
    int category; // 0: changes are not reported
    int min = INT_MIN;
    int max = INT_MAX;
};

const std::array<TSettingDef, siCount> &settingDefs()
{
    static const std::array<TSettingDef, siCount> defs = {{
        {"Preferences", "StartupAction", skInt, 0, scPreferences, 0, 2},
        {"Preferences", "StartupDocument", skText, QString(), scPreferences},
        {"Preferences", "ShowTips", skBool, true, scPreferences},
        {"Preferences", "TipIndex", skInt, 0, 0},
        {"Backup", "Autosave", skBool, false, scBackup},
        {"Backup", "AutosaveInterval", skInt, 10, scBackup, 1, 600},
        {"Backup", "CreateBackups", skBool, false, scBackup},
        {"Backup", "BackupFirstTime", skBool, false, scBackup},
        {"Backup", "BackupMask", skText, QStringLiteral("*.~*"), scBackup},
        {"DocDefaults", "Encoding", skText, QStringLiteral("UTF-8"), scDocDefaults},
        {"DocDefaults", "Author", skText, QString(), scDocDefaults},
        {"DocDefaults", "Copyright", skText, QString(), scDocDefaults},
        {"DocDefaults", "AutoRevision", skBool, false, scDocDefaults},
        {"EditOptions", "WordWrap", skBool, true, scEditOptions},
        {"EditOptions", "WordSelection", skBool, true, scEditOptions},
        {"EditOptions", "FindWordAtCursor", skBool, false, scEditOptions},
        {"EditOptions", "ReplaceWordAtCursor", skBool, false, scEditOptions},
        {"EditOptions", "InplaceActivation", skBool, true, scEditOptions},
        {"EditOptions", "SelectionBar", skBool, true, scEditOptions},
        {"EditOptions", "UndoLimit", skInt, 100, scEditOptions, 0, 1000},
        {"Fonts", "WindowFont", skFont, QStringLiteral("Tahoma, 8, 1, 0, clWindowText"), 0},
        {"Fonts", "EditorFont", skFont, QStringLiteral("Arial, 10, 1, 0, clWindowText"), scFonts},
        {"Fonts", "TitleFont", skFont, QString::fromLatin1(QBDefaultTitleFont), scFonts},
        {"Appearance", "OutlineColor", skColor, clWindow, scColors},
        {"Appearance", "IndexColor", skColor, clWindow, scColors},
        {"Appearance", "TitleColor", skColor, clInfoBk, scColors},
        {"Appearance", "EditorColor", skColor, clWindow, scColors},
        {"Misc", "Language", skText, QString(), scLanguage},
        {"Search", "Options", skInt, 0, 0, 0, 31},
    }};
    return defs;
}

class TQBSettingsServiceImpl final : public TNVKServiceBase, public IQBSettingsService, public INVKEventPublisher
{
public:
    explicit TQBSettingsServiceImpl(TNVKCustomServiceProvider *provider) : TNVKServiceBase(provider), FPublisher(this)
    {
        SetDefaults();
    }

    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }

    void BeginUpdate() override { ++FUpdateCount; }
    void EndUpdate() override
    {
        if (FUpdateCount > 0)
            --FUpdateCount;
        if (FUpdateCount == 0 && FPending != 0) {
            const int categories = std::exchange(FPending, 0);
            Publish(categories);
        }
    }

    IQBHistoryListPtr CreateHistoryList() override { return std::make_shared<TQBHistoryList>(); }
    IQBHistoryListPtr LoadHistoryList(const QString &name) override;
    void SaveHistoryList(const QString &name, const IQBHistoryListPtr &list) override;
    QString GetRegistryKey() const override { return RegistryKey; }

    bool GetShowTips() const override { return Bool(siShowTips); }
    void SetShowTips(bool value) override { Set(siShowTips, value); }
    int GetTipIndex() const override { return Int(siTipIndex); }
    void SetTipIndex(int value) override { Set(siTipIndex, value); }
    int GetSearchOptions() const override { return Int(siSearchOptions); }
    void SetSearchOptions(int value) override { Set(siSearchOptions, value); }
    int GetStartupAction() const override { return Int(siStartupAction); }
    void SetStartupAction(int value) override { Set(siStartupAction, value); }
    QString GetStartupDocument() const override { return Text(siStartupDocument); }
    void SetStartupDocument(const QString &value) override { Set(siStartupDocument, value); }
    QString GetEncoding() const override { return Text(siEncoding); }
    void SetEncoding(const QString &value) override { Set(siEncoding, value); }
    QString GetAuthor() const override { return Text(siAuthor); }
    void SetAuthor(const QString &value) override { Set(siAuthor, value); }
    QString GetCopyright() const override { return Text(siCopyright); }
    void SetCopyright(const QString &value) override { Set(siCopyright, value); }
    bool GetAutoRevision() const override { return Bool(siAutoRevision); }
    void SetAutoRevision(bool value) override { Set(siAutoRevision, value); }
    bool GetAutosave() const override { return Bool(siAutosave); }
    void SetAutosave(bool value) override { Set(siAutosave, value); }
    int GetAutosaveInterval() const override { return Int(siAutosaveInterval); }
    void SetAutosaveInterval(int value) override { Set(siAutosaveInterval, value); }
    bool GetCreateBackups() const override { return Bool(siCreateBackups); }
    void SetCreateBackups(bool value) override { Set(siCreateBackups, value); }
    bool GetBackupFirstTime() const override { return Bool(siBackupFirstTime); }
    void SetBackupFirstTime(bool value) override { Set(siBackupFirstTime, value); }
    QString GetBackupMask() const override { return Text(siBackupMask); }
    void SetBackupMask(const QString &value) override { Set(siBackupMask, value); }
    bool GetWordWrap() const override { return Bool(siWordWrap); }
    void SetWordWrap(bool value) override { Set(siWordWrap, value); }
    bool GetWordSelection() const override { return Bool(siWordSelection); }
    void SetWordSelection(bool value) override { Set(siWordSelection, value); }
    bool GetFindWordAtCursor() const override { return Bool(siFindWordAtCursor); }
    void SetFindWordAtCursor(bool value) override { Set(siFindWordAtCursor, value); }
    bool GetReplaceWordAtCursor() const override { return Bool(siReplaceWordAtCursor); }
    void SetReplaceWordAtCursor(bool value) override { Set(siReplaceWordAtCursor, value); }
    bool GetInplaceActivation() const override { return Bool(siInplaceActivation); }
    void SetInplaceActivation(bool value) override { Set(siInplaceActivation, value); }
    int GetUndoLimit() const override { return Int(siUndoLimit); }
    void SetUndoLimit(int value) override { Set(siUndoLimit, value); }
    bool GetSelectionBar() const override { return Bool(siSelectionBar); }
    void SetSelectionBar(bool value) override { Set(siSelectionBar, value); }
    QString GetEditorFont() const override { return Text(siEditorFont); }
    void SetEditorFont(const QString &value) override { Set(siEditorFont, value); }
    QString GetTitleFont() const override { return Text(siTitleFont); }
    void SetTitleFont(const QString &value) override { Set(siTitleFont, value); }
    TColor GetOutlineColor() const override { return Int(siOutlineColor); }
    void SetOutlineColor(TColor value) override { Set(siOutlineColor, value); }
    TColor GetIndexColor() const override { return Int(siIndexColor); }
    void SetIndexColor(TColor value) override { Set(siIndexColor, value); }
    TColor GetTitleColor() const override { return Int(siTitleColor); }
    void SetTitleColor(TColor value) override { Set(siTitleColor, value); }
    TColor GetEditorColor() const override { return Int(siEditorColor); }
    void SetEditorColor(TColor value) override { Set(siEditorColor, value); }
    QString GetLanguage() const override { return Text(siLanguage); }
    void SetLanguage(const QString &value) override { Set(siLanguage, value); }

protected:
    bool DoStart() override
    {
        // Settings never keep the program from starting: whatever fails, defaults remain.
        try {
            SetDefaults();
            Load();
        } catch (...) {
        }
        return true;
    }

    void DoStop() override { Save(); }

private:
    bool Bool(TSettingId id) const { return FValues[id].toBool(); }
    int Int(TSettingId id) const { return FValues[id].toInt(); }
    QString Text(TSettingId id) const { return FValues[id].toString(); }

    void Set(TSettingId id, const QVariant &value)
    {
        const TSettingDef &def = settingDefs()[id];
        if (def.kind == skInt && (value.toInt() < def.min || value.toInt() > def.max))
            return;
        // Compared by type: texts exactly, case-sensitive.
        if (FValues[id] == value)
            return;
        FValues[id] = value;
        if (def.category != 0)
            Changed(def.category);
    }

    void Changed(int category)
    {
        if (FUpdateCount > 0)
            FPending |= category;
        else
            Publish(category);
    }

    void Publish(int categories)
    {
        FPublisher.Publish(QB_SETTINGS_CHANGED, std::make_shared<TQBSettingsChangeArgs>(categories));
    }

    void SetDefaults()
    {
        for (int id = 0; id < siCount; ++id)
            FValues[id] = settingDefs()[id].initial;
    }

    void Load();
    void Save();

    TNVKEventPublisher FPublisher;
    int FUpdateCount = 0;
    int FPending = 0;
    std::array<QVariant, siCount> FValues;
};

void TQBSettingsServiceImpl::Load()
{
    BeginUpdate();
    FPending = scAll;
    try {
        TRegistry reg;
        QString openSection;
        bool sectionPresent = false;
        for (int id = 0; id < siCount; ++id) {
            const TSettingDef &def = settingDefs()[id];
            const QString section = QString::fromLatin1(def.section);
            if (section != openSection) {
                reg.CloseKey();
                openSection = section;
                sectionPresent = reg.OpenKeyReadOnly(RegistryKey + QStringLiteral("Settings\\") + section);
            }
            if (!sectionPresent)
                continue;
            const QString name = QString::fromLatin1(def.name);
            // A missing or mistyped number raises and ends the loading here; what was read stays.
            switch (def.kind) {
            case skBool:
                FValues[id] = reg.ReadBool(name);
                break;
            case skInt: {
                const int value = reg.ReadInteger(name);
                // A value the setter would refuse keeps its default: an interval of 0 minutes,
                // for one, would autosave without pause.
                if (value >= def.min && value <= def.max)
                    FValues[id] = value;
                break;
            }
            case skText:
            case skFont:
                FValues[id] = reg.ReadString(name);
                break;
            case skColor: {
                TColor color = 0;
                const QString text = reg.ReadString(name);
                if (!StringToColor(text, color))
                    throw ERegistryException(QStringLiteral("'%1' is not a valid colour value").arg(text));
                FValues[id] = color;
                break;
            }
            }
        }
        reg.CloseKey();
    } catch (...) {
        // Loading never fails visibly; the notice below still reports all categories.
    }
    EndUpdate();
}

void TQBSettingsServiceImpl::Save()
{
    TRegistry reg;
    QString openSection;
    for (int id = 0; id < siCount; ++id) {
        const TSettingDef &def = settingDefs()[id];
        const QString section = QString::fromLatin1(def.section);
        if (section != openSection) {
            reg.CloseKey();
            openSection = section;
            reg.OpenKey(RegistryKey + QStringLiteral("Settings\\") + section, true);
        }
        const QString name = QString::fromLatin1(def.name);
        switch (def.kind) {
        case skBool:
            reg.WriteBool(name, FValues[id].toBool());
            break;
        case skInt:
            reg.WriteInteger(name, FValues[id].toInt());
            break;
        case skText:
        case skFont:
            reg.WriteString(name, FValues[id].toString());
            break;
        case skColor:
            reg.WriteString(name, ColorToString(FValues[id].toInt()));
            break;
        }
    }
    reg.CloseKey();
}

IQBHistoryListPtr TQBSettingsServiceImpl::LoadHistoryList(const QString &name)
{
    auto list = std::make_shared<TQBHistoryList>();
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(RegistryKey + QStringLiteral("History\\") + name) ||
        !reg.ValueExists(QStringLiteral("Count")))
        return list;
    try {
        const int count = reg.ReadInteger(QStringLiteral("Count"));
        if (reg.ValueExists(QStringLiteral("Depth")))
            list->SetDepth(reg.ReadInteger(QStringLiteral("Depth")));
        // Entries are added from the oldest; a missing one adds empty text. The stored count may
        // be anything, so runs of missing entries are cut short once adding more changes nothing
        // (an empty entry on top of a list that no longer trims).
        QList<int> present;
        for (const QString &valueName : reg.GetValueNames()) {
            bool ok = false;
            const int index = valueName.toInt(&ok);
            if (ok && index >= 0 && index < count && valueName == QString::number(index))
                present.append(index);
        }
        std::sort(present.begin(), present.end(), std::greater<int>());
        int next = count - 1;
        auto addMissing = [&](int down_to) {
            const qint64 gap = qint64(next) - down_to;
            for (qint64 i = 0; i < std::min<qint64>(gap, list->GetCount() + 2); ++i)
                list->Add(QString());
        };
        for (const int index : std::as_const(present)) {
            addMissing(index);
            if (reg.GetDataType(QString::number(index)) == rdString)
                list->Add(reg.ReadString(QString::number(index)));
            next = index - 1;
        }
        addMissing(-1);
    } catch (const ERegistryException &) {
        // A mistyped Count or Depth: the list stays as far as it was read.
    }
    return list;
}

void TQBSettingsServiceImpl::SaveHistoryList(const QString &name, const IQBHistoryListPtr &list)
{
    const QString key = RegistryKey + QStringLiteral("History\\") + name;
    TRegistry reg;
    reg.DeleteKey(key);
    reg.OpenKey(key, true);
    reg.WriteInteger(QStringLiteral("Count"), list->GetCount());
    reg.WriteInteger(QStringLiteral("Depth"), list->GetDepth());
    for (int i = 0; i < list->GetCount(); ++i)
        reg.WriteString(QString::number(i), list->GetItem(i));
    reg.CloseKey();
}

} // namespace

// ---- TQBHistoryList ----

void TQBHistoryList::SetDepth(int value)
{
    if (value == FDepth)
        return;
    while (!FItems.isEmpty() && FItems.size() > value)
        FItems.removeLast();
    FDepth = value;
}

void TQBHistoryList::Add(const QString &text)
{
    // A list of no depth keeps nothing.
    if (FDepth <= 0)
        return;
    // Trimming comes first, so a text already present still costs a full list its oldest entry.
    while (FItems.size() >= FDepth)
        FItems.removeLast();
    for (qsizetype i = 0; i < FItems.size(); ++i) {
        if (FItems[i].compare(text, Qt::CaseInsensitive) == 0) {
            FItems.removeAt(i);
            break;
        }
    }
    FItems.prepend(text);
}

QString TQBHistoryList::Pop()
{
    return FItems.isEmpty() ? QString() : FItems.takeFirst();
}

// ---- provider and accessor ----

TQBSettingsService::TQBSettingsService(QObject *owner)
    : TNVKCustomServiceProvider(owner, QStringLiteral("Quillbox:Settings"))
{
    setObjectName(QStringLiteral("QBSettingsService"));
}

INVKServicePtr TQBSettingsService::CreateService()
{
    return std::make_shared<TQBSettingsServiceImpl>(this);
}

IQBSettingsServicePtr SettingsService()
{
    const INVKCorePtr core = Core();
    return core ? core->QueryService<IQBSettingsService>() : nullptr;
}
