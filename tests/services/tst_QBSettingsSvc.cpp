// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKInit.h"
#include "services/QBSettingsAccess.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"
#include "support/SettingsStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Base = QStringLiteral("Software\\Brindlewood\\Quillbox\\");

// Writes values into one key of the registry the service will read.
struct TKeyWriter
{
    TRegistry reg;
    explicit TKeyWriter(const QString &key) { reg.OpenKey(Base + key, true); }
    ~TKeyWriter() { reg.CloseKey(); }
};
} // namespace

class TestQBSettingsSvc : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFreshCore> FStore;
    std::unique_ptr<TQBSettingsService> FProvider;

    IQBSettingsServicePtr start()
    {
        FProvider = std::make_unique<TQBSettingsService>();
        FProvider->SetActive(true);
        return SettingsService();
    }

private Q_SLOTS:
    void init() { FStore = std::make_unique<TFreshCore>(); }

    void cleanup() { FProvider.reset(); }

    void emptyRegistry_givesEveryDefault()
    {
        const auto s = start();
        QVERIFY(s);
        QVERIFY(FProvider->Active());
        QCOMPARE(s->GetName(), QStringLiteral("Quillbox:Settings"));
        QCOMPARE(s->GetRegistryKey(), Base);
        QCOMPARE(s->GetStartupAction(), 0);
        QCOMPARE(s->GetStartupDocument(), QString());
        QVERIFY(s->GetShowTips());
        QCOMPARE(s->GetAutosaveInterval(), 10);
        QVERIFY(!s->GetAutosave());
        QCOMPARE(s->GetBackupMask(), QStringLiteral("*.~*"));
        QCOMPARE(s->GetEncoding(), QStringLiteral("UTF-8"));
        QVERIFY(s->GetWordWrap());
        QVERIFY(!s->GetFindWordAtCursor());
        QCOMPARE(s->GetUndoLimit(), 100);
        QCOMPARE(s->GetEditorFont(), QStringLiteral("Arial, 10, 1, 0, clWindowText"));
        QCOMPARE(s->GetTitleFont(), QStringLiteral("Arial, 14, 1, 0, clWindowText"));
        QCOMPARE(quint32(s->GetOutlineColor()), 0x80000005u);
        QCOMPARE(quint32(s->GetTitleColor()), 0x80000018u);
        QCOMPARE(s->GetLanguage(), QString());
    }

    void load_readsEveryType_andStopsAtTheFirstBadValue()
    {
        {
            TKeyWriter w(QStringLiteral("Settings\\Preferences"));
            w.reg.WriteInteger(QStringLiteral("StartupAction"), 2);
            w.reg.WriteString(QStringLiteral("StartupDocument"), QStringLiteral("/notes/a.xqb"));
            w.reg.WriteInteger(QStringLiteral("ShowTips"), 0);
            w.reg.WriteInteger(QStringLiteral("TipIndex"), 7);
        }
        {
            TKeyWriter w(QStringLiteral("Settings\\Backup"));
            w.reg.WriteInteger(QStringLiteral("Autosave"), 5);         // any non-zero is true
            w.reg.WriteInteger(QStringLiteral("AutosaveInterval"), 0); // refused: keeps 10
            w.reg.WriteInteger(QStringLiteral("CreateBackups"), 1);
            w.reg.WriteString(QStringLiteral("BackupFirstTime"), QStringLiteral("1")); // wrong type: stop
            w.reg.WriteString(QStringLiteral("BackupMask"), QStringLiteral("*.old"));
        }
        {
            TKeyWriter w(QStringLiteral("Settings\\Misc"));
            w.reg.WriteString(QStringLiteral("Language"), QStringLiteral("German"));
        }
        const auto s = start();
        QCOMPARE(s->GetStartupAction(), 2);
        QCOMPARE(s->GetStartupDocument(), QStringLiteral("/notes/a.xqb"));
        QVERIFY(!s->GetShowTips());
        QCOMPARE(s->GetTipIndex(), 7);
        QVERIFY(s->GetAutosave());
        QCOMPARE(s->GetAutosaveInterval(), 10);
        QVERIFY(s->GetCreateBackups());
        // Everything from the bad value on keeps its default.
        QCOMPARE(s->GetBackupMask(), QStringLiteral("*.~*"));
        QCOMPARE(s->GetLanguage(), QString());
    }

    void load_coloursByNameOrNumber_fontsAsText_andBadColourStops()
    {
        {
            TKeyWriter w(QStringLiteral("Settings\\Fonts"));
            w.reg.WriteString(QStringLiteral("EditorFont"), QStringLiteral("Courier New, 12, 204, 3, clMaroon"));
            // TitleFont missing: reads as empty text and replaces the default
        }
        {
            TKeyWriter w(QStringLiteral("Settings\\Appearance"));
            w.reg.WriteString(QStringLiteral("OutlineColor"), QStringLiteral("clRed"));
            w.reg.WriteString(QStringLiteral("IndexColor"), QStringLiteral("$00FF8000"));
            w.reg.WriteString(QStringLiteral("TitleColor"), QString());
            w.reg.WriteString(QStringLiteral("EditorColor"), QStringLiteral("clBlue"));
        }
        const auto s = start();
        QCOMPARE(s->GetEditorFont(), QStringLiteral("Courier New, 12, 204, 3, clMaroon"));
        QCOMPARE(s->GetTitleFont(), QString());
        QCOMPARE(s->GetOutlineColor(), 0x0000FF);
        QCOMPARE(s->GetIndexColor(), 0xFF8000);
        QCOMPARE(quint32(s->GetTitleColor()), 0x80000018u); // empty colour text stops the load
        QCOMPARE(quint32(s->GetEditorColor()), 0x80000005u);
    }

    void stop_writesEverySetting_andTheNextStartReadsThem()
    {
        auto s = start();
        s->SetAutosaveInterval(45);
        s->SetAuthor(QStringLiteral("Ann \"Quill\" O'Hara"));
        s->SetEditorColor(0x123456);
        s->SetIndexColor(TColor(0x8000000F));
        s->SetSelectionBar(false);
        s.reset();
        FProvider->SetActive(false);

        TRegistry reg;
        QVERIFY(reg.OpenKeyReadOnly(Base + QStringLiteral("Settings\\Appearance")));
        QCOMPARE(reg.ReadString(QStringLiteral("EditorColor")), QStringLiteral("$00123456"));
        QCOMPARE(reg.ReadString(QStringLiteral("IndexColor")), QStringLiteral("clBtnFace"));
        QVERIFY(reg.OpenKeyReadOnly(Base + QStringLiteral("Settings\\Fonts")));
        QCOMPARE(reg.ReadString(QStringLiteral("WindowFont")), QStringLiteral("Tahoma, 8, 1, 0, clWindowText"));
        reg.CloseKey();

        s = start();
        QCOMPARE(s->GetAutosaveInterval(), 45);
        QCOMPARE(s->GetAuthor(), QStringLiteral("Ann \"Quill\" O'Hara"));
        QCOMPARE(s->GetEditorColor(), 0x123456);
        QCOMPARE(quint32(s->GetIndexColor()), 0x8000000Fu);
        QVERIFY(!s->GetSelectionBar());
    }

    void setters_reportOnlyRealChangesInRange_andUpdatesCollectIntoOneNotice()
    {
        const auto s = start();
        TQBSettingsAccess access;
        QSignalSpy changed(&access, &TQBSettingsAccess::settingsChanged);
        access.SetActive(true);
        QVERIFY(access.Active());

        s->SetAutosaveInterval(0);
        s->SetAutosaveInterval(601);
        s->SetStartupAction(3);
        s->SetUndoLimit(-1);
        s->SetEncoding(QStringLiteral("UTF-8"));
        s->SetTipIndex(99); // stored, never reported
        QCOMPARE(changed.count(), 0);
        QCOMPARE(s->GetAutosaveInterval(), 10);
        QCOMPARE(s->GetTipIndex(), 99);

        s->SetAutosaveInterval(600);
        QCOMPARE(s->GetAutosaveInterval(), 600);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.takeFirst().at(0).toInt(), int(scBackup));
        s->SetEncoding(QStringLiteral("utf-8")); // texts compare with case
        QCOMPARE(changed.takeFirst().at(0).toInt(), int(scDocDefaults));

        s->BeginUpdate();
        s->BeginUpdate();
        s->SetWordWrap(false);
        s->SetTitleColor(0);
        s->SetLanguage(QStringLiteral("Deutsch"));
        s->EndUpdate();
        QCOMPARE(changed.count(), 0);
        s->EndUpdate();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.takeFirst().at(0).toInt(), int(scEditOptions | scColors | scLanguage));
        s->EndUpdate(); // unbalanced: harmless
        s->BeginUpdate();
        s->EndUpdate();
        QCOMPARE(changed.count(), 0);
    }

    void historyList_followsItsRules()
    {
        TQBHistoryList list;
        QCOMPARE(list.GetDepth(), 16);
        QCOMPARE(list.Pop(), QString());
        list.SetDepth(3);
        for (const char *text : {"c", "b", "a"})
            list.Add(QString::fromLatin1(text));
        list.Add(QStringLiteral("B")); // trims c first, then drops b as equal
        QCOMPARE(list.GetCount(), 2);
        QCOMPARE(list.GetItem(0), QStringLiteral("B"));
        QCOMPARE(list.GetItem(1), QStringLiteral("a"));
        list.Add(QStringLiteral("x"));
        list.SetDepth(1);
        QCOMPARE(list.GetCount(), 1);
        QCOMPARE(list.Extract(0), QStringLiteral("x"));
        list.SetDepth(0);
        list.Add(QStringLiteral("y"));
        QCOMPARE(list.GetCount(), 0);
    }

    void historyLists_storeAndLoad_evenFromHostileCounts()
    {
        const auto s = start();
        {
            TKeyWriter w(QStringLiteral("History\\SearchPatterns"));
            w.reg.WriteInteger(QStringLiteral("Count"), 3);
            w.reg.WriteString(QStringLiteral("0"), QStringLiteral("a"));
            w.reg.WriteString(QStringLiteral("1"), QStringLiteral("b"));
            w.reg.WriteString(QStringLiteral("2"), QStringLiteral("c"));
        }
        auto list = s->LoadHistoryList(QStringLiteral("SearchPatterns"));
        QCOMPARE(list->GetCount(), 3);
        QCOMPARE(list->GetItem(0), QStringLiteral("a"));
        QCOMPARE(list->GetItem(2), QStringLiteral("c"));
        QCOMPARE(list->GetDepth(), 16);

        list->SetDepth(5);
        list->Add(QStringLiteral("line\nbreak \u00e9"));
        s->SaveHistoryList(QStringLiteral("Index"), list);
        auto again = s->LoadHistoryList(QStringLiteral("Index"));
        QCOMPARE(again->GetDepth(), 5);
        QCOMPARE(again->GetCount(), 4);
        QCOMPARE(again->GetItem(0), QStringLiteral("line\nbreak \u00e9"));
        QCOMPARE(again->GetItem(3), QStringLiteral("c"));

        // Saving replaces the key: old entries beyond the new count are gone.
        again->Clear();
        again->Add(QStringLiteral("only"));
        s->SaveHistoryList(QStringLiteral("Index"), again);
        TRegistry reg;
        QVERIFY(reg.OpenKeyReadOnly(Base + QStringLiteral("History\\Index")));
        QVERIFY(!reg.ValueExists(QStringLiteral("1")));

        // A huge count with two entries, one of them an integer: loads at once, the integer skipped,
        // missing entries read as empty text.
        {
            TKeyWriter w(QStringLiteral("History\\RecentFiles"));
            w.reg.WriteInteger(QStringLiteral("Count"), 2147483647);
            w.reg.WriteInteger(QStringLiteral("Depth"), 4);
            w.reg.WriteString(QStringLiteral("0"), QStringLiteral("/top.xqb"));
            w.reg.WriteInteger(QStringLiteral("1"), 12);
            w.reg.WriteString(QStringLiteral("2000000000"), QStringLiteral("/old.xqb"));
        }
        auto recent = s->LoadHistoryList(QStringLiteral("RecentFiles"));
        QCOMPARE(recent->GetDepth(), 4);
        QCOMPARE(recent->GetItem(0), QStringLiteral("/top.xqb"));
        QCOMPARE(recent->GetItem(1), QString());
        QVERIFY(recent->GetCount() <= 4);
        QCOMPARE(s->LoadHistoryList(QStringLiteral("Missing"))->GetCount(), 0);
    }

    void fontDescriptors_formatAndParseWithTheirFallbacks()
    {
        TQBFontDescriptor font{QStringLiteral("Tahoma"), 8, 1, 0, TColor(0x80000008)};
        QCOMPARE(FontToDescriptor(font), QStringLiteral("Tahoma, 8, 1, 0, clWindowText"));
        font.Style = TQBFontDescriptor::fsBold | TQBFontDescriptor::fsItalic;
        font.Color = 0x00FF00;
        QCOMPARE(FontToDescriptor(font), QStringLiteral("Tahoma, 8, 1, 3, clLime"));
        font.Color = 0x010203;
        TQBFontDescriptor back;
        DescriptorToFont(FontToDescriptor(font), back);
        QCOMPARE(back, font);

        TQBFontDescriptor parsed{QStringLiteral("Keep"), 9, 0, 1, 0};
        DescriptorToFont(QStringLiteral("   Times New Roman,big,,x,clNoSuchColour"), parsed);
        QCOMPARE(parsed.Name, QStringLiteral("Times New Roman"));
        QCOMPARE(parsed.Size, 10);
        QCOMPARE(parsed.Charset, 0); // empty field: unchanged
        QCOMPARE(parsed.Style, 0);
        QCOMPARE(quint32(parsed.Color), 0x80000008u);

        const TQBFontDescriptor before = parsed;
        DescriptorToFont(QString(), parsed);
        QCOMPARE(parsed, before);
        DescriptorToFont(QStringLiteral("Arial"), parsed); // the other fields absent: unchanged
        QCOMPARE(parsed.Name, QStringLiteral("Arial"));
        QCOMPARE(parsed.Size, 10);
    }
};

QTEST_GUILESS_MAIN(TestQBSettingsSvc)
#include "tst_QBSettingsSvc.moc"
