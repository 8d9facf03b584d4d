// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/Registry.h"
#include "support/SettingsStore.h"
#include "support/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString SettingsKey = QStringLiteral("Software\\Brindlewood\\Quillbox\\Settings\\Preferences");
} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

    // Each test gets its own store file, so nothing is cached from another test.
    std::unique_ptr<TSettingsStore> FStore;

private Q_SLOTS:
    void init() { FStore = std::make_unique<TSettingsStore>(); }

    void openKey_createsOnlyWhenAsked_andEmptyKeysExist()
    {
        TRegistry reg;
        QVERIFY(!reg.OpenKey(SettingsKey, false));
        QVERIFY(!reg.HasCurrentKey());
        QVERIFY(!reg.KeyExists(SettingsKey));

        QVERIFY(reg.OpenKey(QStringLiteral("\\") + SettingsKey, true));
        reg.CloseKey();
        QVERIFY(reg.KeyExists(SettingsKey));
        QVERIFY(reg.KeyExists(QStringLiteral("Software\\Brindlewood")));
        QVERIFY(TRegistry().OpenKeyReadOnly(SettingsKey));
        QVERIFY(TRegistry::StoreFileName().startsWith(FStore->Dir.path()));

        QFile file(TRegistry::StoreFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[Software\\Brindlewood\\Quillbox\\Settings\\Preferences]"));
    }

    void values_keepTheirTypes_andWrongTypesRaise()
    {
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey(SettingsKey, true));
            reg.WriteInteger(QStringLiteral("StartupAction"), 2);
            reg.WriteInteger(QStringLiteral("Negative"), -5);
            reg.WriteBool(QStringLiteral("ShowTips"), true);
            reg.WriteString(QStringLiteral("StartupDocument"),
                            QStringLiteral("C:\\Docs\\\"quoted\" \u00e9\u4e2d\n\ttab"));
            reg.WriteString(QStringLiteral("Number"), QStringLiteral("12"));
            reg.CloseKey();
        }
        TRegistry reg;
        QVERIFY(reg.OpenKey(SettingsKey, false));
        QCOMPARE(reg.ReadInteger(QStringLiteral("StartupAction")), 2);
        QCOMPARE(reg.ReadInteger(QStringLiteral("Negative")), -5);
        QVERIFY(reg.ReadBool(QStringLiteral("ShowTips")));
        QCOMPARE(reg.ReadString(QStringLiteral("StartupDocument")),
                 QStringLiteral("C:\\Docs\\\"quoted\" \u00e9\u4e2d\n\ttab"));
        QCOMPARE(reg.GetDataType(QStringLiteral("Number")), rdString);
        QCOMPARE(reg.GetDataType(QStringLiteral("StartupAction")), rdInteger);
        QCOMPARE(reg.GetDataType(QStringLiteral("Missing")), rdUnknown);
        QCOMPARE(reg.ReadString(QStringLiteral("Missing")), QString());

        const auto expectInvalid = [&](auto read, const QString &name) {
            try {
                read(name);
                QFAIL("reading a value of the wrong type must raise");
            } catch (const ERegistryException &e) {
                QCOMPARE(e.Message(), QStringLiteral("Invalid data type for '%1'").arg(name));
            }
        };
        expectInvalid([&](const QString &n) { return reg.ReadInteger(n); }, QStringLiteral("Number"));
        expectInvalid([&](const QString &n) { return reg.ReadInteger(n); }, QStringLiteral("Missing"));
        expectInvalid([&](const QString &n) { return reg.ReadString(n); }, QStringLiteral("StartupAction"));

        QStringList names = reg.GetValueNames();
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Negative"), QStringLiteral("Number"), QStringLiteral("ShowTips"),
                                     QStringLiteral("StartupAction"), QStringLiteral("StartupDocument")}));
        QVERIFY(reg.DeleteValue(QStringLiteral("Number")));
        QVERIFY(!reg.DeleteValue(QStringLiteral("Number")));
        QVERIFY(!reg.ValueExists(QStringLiteral("Number")));
    }

    void storeFile_isReadWithItsTypes_andDamagedLinesAreDropped()
    {
        QVERIFY(writeFile(TSettingsStore::FileName(), "; Quillbox registry\n"
                                                      "\"Orphan\"=dword:00000001\n"
                                                      "[Software\\Brindlewood\\Quillbox\\History\\RecentFiles]\n"
                                                      "\"Count\"=dword:00000002\n"
                                                      "\"Depth\"=dword:fffffffe\n"
                                                      "\"0\"=\"/home/a b.xqb\"\n"
                                                      "\"1\"=\"line\\nbreak \\\"q\\\" \\u00e9\"\n"
                                                      "\"2\"=\"unterminated\n"
                                                      "\"3\"=dword:zz\n"
                                                      "garbage \x01\x02\xff\n"
                                                      "[]\n"
                                                      "[Software\\Brindlewood\\Quillbox\\Forms\\TFAppFrame]\n"));
        TRegistry reg;
        QVERIFY(reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\RecentFiles"), false));
        QCOMPARE(reg.ReadInteger(QStringLiteral("Count")), 2);
        QCOMPARE(reg.ReadInteger(QStringLiteral("Depth")), -2);
        QCOMPARE(reg.ReadString(QStringLiteral("0")), QStringLiteral("/home/a b.xqb"));
        QCOMPARE(reg.ReadString(QStringLiteral("1")), QStringLiteral("line\nbreak \"q\" \u00e9"));
        QVERIFY(!reg.ValueExists(QStringLiteral("2")));
        QVERIFY(!reg.ValueExists(QStringLiteral("3")));
        QVERIFY(reg.KeyExists(QStringLiteral("Software\\Brindlewood\\Quillbox\\Forms\\TFAppFrame")));
        QCOMPARE(reg.GetKeyNames(QStringLiteral("Software\\Brindlewood\\Quillbox")),
                 (QStringList{QStringLiteral("Forms"), QStringLiteral("History")}));
    }

    void deleteKey_removesValuesAndSubkeys()
    {
        TRegistry reg;
        QVERIFY(reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\Index"), true));
        reg.WriteInteger(QStringLiteral("Count"), 0);
        QVERIFY(reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\Index\\Deeper"), true));
        reg.CloseKey();
        QVERIFY(reg.DeleteKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\Index")));
        QVERIFY(!reg.KeyExists(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\Index\\Deeper")));
        QVERIFY(!reg.DeleteKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\History\\Index")));
        try {
            reg.WriteInteger(QStringLiteral("Count"), 1);
            QFAIL("writing without a current key must raise");
        } catch (const ERegistryException &) {
        }
    }

    void closeKey_reportsAStoreThatCannotBeWritten()
    {
        // A file where the store's folder should be: no permission check can make this writable.
        QFile blocker(FStore->Dir.filePath(QStringLiteral("Brindlewood")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TRegistry reg;
        QVERIFY(reg.OpenKey(SettingsKey, true));
        reg.WriteInteger(QStringLiteral("StartupAction"), 1);
        QVERIFY_THROWS_EXCEPTION(ERegistryException, reg.CloseKey());
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_Registry.moc"
