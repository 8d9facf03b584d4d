// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "app/AppData.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "framework/NVKLang.h"
#include "platform/QBDialogs.h"
#include "services/QBDocBackup.h"
#include "support/ServiceFixture.h"
#include "support/SettingsStore.h"

#include <QColorDialog>
#include <QTest>

namespace {

// A document file with the given root caption.
QString makeDocument(const QTemporaryDir &dir, const QString &name, const QString &caption)
{
    const IQBDocumentPtr doc = NewQBDocument();
    doc->Root()->SetCaption(caption);
    const QString fileName = dir.filePath(name);
    QBWriteDocument(doc, fileName);
    return fileName;
}

QString currentCaption()
{
    return DataService()->GetDocument()->Root()->Caption();
}

} // namespace

class TestAppData : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFreshCore> FStore;

private Q_SLOTS:
    void init()
    {
        FStore = std::make_unique<TFreshCore>();
        QBDialogs::ClearTestState();
    }

    void startup_commandLineFileWinsOverTheStartupAction()
    {
        const QString argument =
            makeDocument(FStore->Dir, QStringLiteral("arg.xqb"), QStringLiteral("From the command line"));
        const QString startup =
            makeDocument(FStore->Dir, QStringLiteral("startup.xqb"), QStringLiteral("Start-up document"));
        setRegistryValue(QStringLiteral("Settings\\Preferences"), QStringLiteral("StartupAction"), 2);
        setRegistryValue(QStringLiteral("Settings\\Preferences"), QStringLiteral("StartupDocument"), startup);
        {
            TDMAppData data({argument});
            QCOMPARE(currentCaption(), QStringLiteral("From the command line"));
        }
        TDMAppData data({});
        QCOMPARE(currentCaption(), QStringLiteral("Start-up document"));
    }

    void startup_mostRecentFile_leavesTheListWhileOpen_andMissingFilesGiveANewDocument()
    {
        const QString recent = makeDocument(FStore->Dir, QStringLiteral("recent.xqb"), QStringLiteral("Recent"));
        setRegistryValue(QStringLiteral("Settings\\Preferences"), QStringLiteral("StartupAction"), 1);
        {
            TDMAppData data({});
            QVERIFY(DataService()->GetDocument()->IsNew()); // empty recent list
            QCOMPARE(DataService()->GetDocument()->FileName(), QStringLiteral("Untitled"));
            DataService()->GetRecentFiles()->Add(FStore->Dir.filePath(QStringLiteral("gone.xqb")));
            DataService()->GetRecentFiles()->Add(recent);
        }
        {
            TDMAppData data({});
            QCOMPARE(currentCaption(), QStringLiteral("Recent"));
            QCOMPARE(DataService()->GetRecentFiles()->GetCount(), 1);
            QCOMPARE(DataService()->GetRecentFiles()->GetItem(0), FStore->Dir.filePath(QStringLiteral("gone.xqb")));
        }
        {
            // Recent is on top again (it was open at exit); drop it so the missing file comes first.
            TDMAppData data({FStore->Dir.filePath(QStringLiteral("gone.xqb"))});
            QVERIFY(DataService()->GetDocument()->IsNew());
            QVERIFY(QBDialogs::ShownTexts().isEmpty());
        }
    }

    void closeRequest_answersSaveDiscardOrKeep()
    {
        TDMAppData data({});
        const IQBDataServicePtr service = DataService();
        service->GetDocument()->Root()->SetCaption(QStringLiteral("Draft"));

        QBDialogs::QueueAnswer(QMessageBox::Cancel);
        QVERIFY(!service->NewDocument());
        QCOMPARE(currentCaption(), QStringLiteral("Draft"));
        QCOMPARE(QBDialogs::ShownTexts().last(),
                 QStringLiteral("Document 'Untitled' has been changed. Do you wish to save changes?"));

        const QString target = FStore->Dir.filePath(QStringLiteral("draft.xqb"));
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        QBDialogs::QueueFileName(target);
        QVERIFY(service->NewDocument());
        QVERIFY(fileBytes(target).contains("Draft"));

        service->GetDocument()->Root()->SetCaption(QStringLiteral("Thrown away"));
        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(service->NewDocument());
        QVERIFY(currentCaption() != QStringLiteral("Thrown away"));
        QVERIFY(DataService()->GetDocument()->IsNew());
    }

    void preserveRequest_noKeepsNoCopy()
    {
        const QString file = FStore->Dir.filePath(QStringLiteral("old.xqb"));
        QVERIFY(writeFile(file, oldVersionFile()));
        TDMAppData data({});
        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(DataService()->OpenDocument(file));
        QVERIFY(QBDialogs::ShownTexts().last().contains(file + QStringLiteral(".10")));
        QVERIFY(!QFile::exists(file + QStringLiteral(".10")));
        QVERIFY(fileBytes(file).contains("Version=\"1.1\""));
    }

    void settings_reachTheBackup_andCustomColoursSurviveARestart()
    {
        setRegistryValue(QStringLiteral("Settings\\Backup"), QStringLiteral("Autosave"), 1);
        setRegistryValue(QStringLiteral("Settings\\Backup"), QStringLiteral("AutosaveInterval"), 3);
        setRegistryValue(QStringLiteral("Settings\\Backup"), QStringLiteral("CreateBackups"), 1);
        setRegistryValue(QStringLiteral("Settings\\Backup"), QStringLiteral("BackupFirstTime"), 1);
        setRegistryValue(QStringLiteral("Settings\\Backup"), QStringLiteral("BackupMask"), QStringLiteral("*.old"));
        {
            TDMAppData data({});
            QVERIFY(data.QBDataBackup->Autosave());
            QCOMPARE(data.QBDataBackup->AutosaveInterval(), 3);
            QVERIFY(data.QBDataBackup->Backup());
            QVERIFY(data.QBDataBackup->BackupFirstTime());
            QCOMPARE(data.QBDataBackup->BackupMask(), QStringLiteral("*.old"));

            SettingsService()->SetAutosave(false);
            QVERIFY(!data.QBDataBackup->Autosave());
            QColorDialog::setCustomColor(0, QColor(0x12, 0x34, 0x56));
            QColorDialog::setCustomColor(15, QColor(Qt::red));
        }
        QColorDialog::setCustomColor(0, Qt::white);
        QColorDialog::setCustomColor(15, Qt::white);
        TDMAppData data({});
        QCOMPARE(QColorDialog::customColor(0), QColor(0x12, 0x34, 0x56));
        QCOMPARE(QColorDialog::customColor(15), QColor(Qt::red));
        QVERIFY(!data.QBDataBackup->Autosave());
    }

    void languageSetting_unknownNameChangesNothing()
    {
        TDMAppData data({});
        const auto localization = LocalizationService();
        QVERIFY(localization);
        SettingsService()->SetLanguage(QStringLiteral("Klingon"));
        QCOMPARE(localization->GetLanguageIndex(), 0);
    }
};

QTEST_MAIN(TestAppData)
#include "tst_AppData.moc"
