// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/QBDocBackup.h"
#include "services/QBEditorIntf.h"
#include "support/ServiceFixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// An editor whose only text is a caption waiting to be stored.
class TFakeEditor final : public TNVKServiceBase, public IQBEditorService
{
public:
    explicit TFakeEditor(TNVKCustomServiceProvider *provider) : TNVKServiceBase(provider) {}
    void StoreChanges() override
    {
        ++FStored;
        if (!FPending.isEmpty())
            DataService()->GetDocument()->Root()->SetCaption(std::exchange(FPending, QString()));
    }
    int FStored = 0;
    QString FPending;

    // The window operations play no part in autosave.
    int OpenWindow(const IQBArticlePtr &) override { return -1; }
    void CloseWindow(int) override {}
    int IndexOfCaption(const QString &) const override { return -1; }
    int IndexOfArticle(const IQBArticlePtr &) const override { return -1; }
    bool CanGoForward() const override { return false; }
    bool CanGoBack() const override { return false; }
    void GoBack() override {}
    void GoForward() override {}
    QString BackCaption() const override { return {}; }
    QString ForwardCaption() const override { return {}; }
    QObject *EditorHandle() const override { return nullptr; }
    QByteArray SelectionRTF() const override { return {}; }
    int WindowCount() const override { return 0; }
    int ActiveWindowIndex() const override { return -1; }
    void ActivateWindow(int) override {}
    QString WindowCaption(int) const override { return {}; }
    IQBArticlePtr WindowArticle(int) const override { return {}; }
    IQBArticlePtr CurrentArticle() const override { return {}; }
    void NavigateTo(const IQBArticlePtr &) override {}
};

class TFakeEditorProvider : public TNVKCustomServiceProvider
{
public:
    TFakeEditorProvider() : TNVKCustomServiceProvider(nullptr, QStringLiteral("Quillbox:Editor")) {}
    std::shared_ptr<TFakeEditor> Editor() const { return std::dynamic_pointer_cast<TFakeEditor>(Service()); }

protected:
    INVKServicePtr CreateService() override { return std::make_shared<TFakeEditor>(this); }
};

} // namespace

class TestQBDocBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TServiceFixture> F;

private Q_SLOTS:
    void init() { F = std::make_unique<TServiceFixture>(); }
    void cleanup() { F.reset(); }

    void backupFileName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default") << "/docs/notes.xqb"
                                 << "*.~*"
                                 << "/docs/notes.~xqb";
        QTest::newRow("tilde first") << "/docs/notes.xqb"
                                     << "~*.*"
                                     << "/docs/~notes.xqb";
        QTest::newRow("backup") << "/docs/notes.xqb"
                                << "*.backup"
                                << "/docs/notes.backup";
        QTest::newRow("full backup") << "/docs/notes.xqb"
                                     << "*.*.backup"
                                     << "/docs/notes.xqb.backup";
        QTest::newRow("old") << "/docs/notes.xqb"
                             << "*.old"
                             << "/docs/notes.old";
        QTest::newRow("full old") << "/docs/notes.xqb"
                                  << "*.*.old"
                                  << "/docs/notes.xqb.old";
        QTest::newRow("no star") << "/docs/notes.xqb"
                                 << "backup.xqb"
                                 << "/docs/backup.xqb";
        QTest::newRow("no extension") << "/docs/notes"
                                      << "*.~*"
                                      << "/docs/notes.~";
        QTest::newRow("two points") << "/docs/my.notes.xqb"
                                    << "*.~*"
                                    << "/docs/my.notes.~xqb";
    }

    void backupFileName()
    {
        QFETCH(QString, file);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        QCOMPARE(TQBDataBackup::BackupFileName(file, mask), expected);
    }

    void backups_takeTheFileBeforeEachSave_orOnlyTheFirstAfterOpening()
    {
        F->start();
        TQBDataBackup backup;
        backup.SetActive(true);
        QVERIFY(backup.Active());
        backup.SetBackup(true);
        const IQBDataServicePtr data = DataService();
        const QString file = F->path(QStringLiteral("notes.xqb"));
        const QString copy = F->path(QStringLiteral("notes.~xqb"));

        // Nothing on disk yet: no backup, no complaint.
        data->GetDocument()->Root()->SetCaption(QStringLiteral("first"));
        QVERIFY(data->SaveDocument(file));
        QVERIFY(!QFile::exists(copy));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("second"));
        QVERIFY(data->SaveDocument(file));
        QVERIFY(fileBytes(copy).contains("first"));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("third"));
        QVERIFY(data->SaveDocument(file));
        QVERIFY(fileBytes(copy).contains("second"));

        backup.SetBackupFirstTime(true);
        QVERIFY(data->OpenDocument(file));
        QCOMPARE(backup.SaveCount(), 0);
        data->GetDocument()->Root()->SetCaption(QStringLiteral("fourth"));
        QVERIFY(data->SaveDocument(QString()));
        QVERIFY(fileBytes(copy).contains("third"));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("fifth"));
        QVERIFY(data->SaveDocument(QString()));
        QVERIFY(fileBytes(copy).contains("third")); // second save after opening: none

        QVERIFY(data->OpenDocument(file));
        QVERIFY(data->SaveDocument(QString()));
        QVERIFY(fileBytes(copy).contains("fifth"));

        // A mask naming the document itself must not destroy it.
        backup.SetBackupFirstTime(false);
        backup.SetBackupMask(QStringLiteral("notes.xqb"));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("sixth"));
        QVERIFY(data->SaveDocument(QString()));
        QVERIFY(fileBytes(file).contains("sixth"));
    }

    void autosave_savesOnlyModifiedTitledDocuments_afterStoringTheEditor()
    {
        F->start();
        TQBDataBackup backup;
        backup.SetActive(true);
        backup.SetAutosaveInterval(10);
        QCOMPARE(backup.Timer()->interval(), 600000);
        QCOMPARE(backup.AutosaveInterval(), 10);
        backup.SetAutosave(true);
        QVERIFY(backup.Timer()->isActive());

        const IQBDataServicePtr data = DataService();
        data->GetDocument()->Root()->SetCaption(QStringLiteral("untitled"));
        backup.DoAutosave();
        QVERIFY(data->GetDocument()->IsNew());
        QVERIFY(data->GetDocument()->Modified());

        const QString file = F->path(QStringLiteral("auto.xqb"));
        QVERIFY(data->SaveDocument(file));
        const QByteArray saved = fileBytes(file);
        backup.DoAutosave();
        QCOMPARE(backup.SaveCount(), 0);

        TFakeEditorProvider editorProvider;
        editorProvider.SetActive(true);
        editorProvider.Editor()->FPending = QStringLiteral("typed in the editor");
        backup.DoAutosave();
        QCOMPARE(editorProvider.Editor()->FStored, 1);
        QVERIFY(fileBytes(file).contains("typed in the editor"));
        QVERIFY(!data->GetDocument()->Modified());
        QCOMPARE(backup.SaveCount(), 1);

        backup.SetAutosave(false);
        QVERIFY(!backup.Timer()->isActive());

        // Another program changes the file: autosave leaves it alone and says so, every tick, until
        // a save by hand decides.
        const QByteArray theirs = "<?xml version=\"1.0\"?><Snippets Version=\"1.1\"/>";
        QVERIFY(writeFile(file, theirs));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("typed after the other program"));
        QSignalSpy skipped(&backup, &TQBDataBackup::autosaveSkipped);
        backup.DoAutosave();
        backup.DoAutosave();
        QCOMPARE(skipped.size(), 2);
        QCOMPARE(skipped.at(0).at(0).toString(), file);
        QCOMPARE(fileBytes(file), theirs);
        QVERIFY(data->GetDocument()->Modified());
        F->data->SetOnChangedOnDisk([](const QString &) { return cdOverwrite; });
        QVERIFY(data->SaveDocument(QString()));
        data->GetDocument()->Root()->SetCaption(QStringLiteral("and on"));
        backup.DoAutosave();
        QCOMPARE(skipped.size(), 2);
        QVERIFY(fileBytes(file).contains("and on"));
    }

    void autosaveTick_writesInTheBackground_andChangesMadeMeanwhileStayUnsaved()
    {
        F->start();
        TQBDataBackup backup;
        backup.SetActive(true);
        const IQBDataServicePtr data = DataService();
        const QString file = F->path(QStringLiteral("background.xqb"));
        QVERIFY(data->SaveDocument(file));
        const auto caption = [&](const char *text) {
            data->GetDocument()->Root()->SetCaption(QString::fromLatin1(text));
        };

        caption("first");
        backup.AutosaveTick();
        caption("typed while it was written");
        QVERIFY(!data->CollectBackgroundSave(true));
        QVERIFY(fileBytes(file).contains("first"));
        QVERIFY(data->GetDocument()->Modified());
        QVERIFY(!data->ChangedOnDisk()); // its own write

        // The next tick takes the rest; the program learns of the end by itself.
        backup.AutosaveTick();
        QTRY_VERIFY(!data->GetDocument()->Modified());
        QVERIFY(fileBytes(file).contains("typed while it was written"));
        QCOMPARE(backup.SaveCount(), 2);

        // A save by hand waits for a background one, so an older copy never lands over a newer one.
        caption("third");
        backup.AutosaveTick();
        caption("fourth");
        QVERIFY(data->SaveDocument(QString()));
        QVERIFY(fileBytes(file).contains("fourth"));
        QVERIFY(!data->GetDocument()->Modified());
        QVERIFY(!data->CollectBackgroundSave(true));
        QVERIFY(fileBytes(file).contains("fourth"));
    }
};

QTEST_GUILESS_MAIN(TestQBDocBackup)
#include "tst_QBDocBackup.moc"
