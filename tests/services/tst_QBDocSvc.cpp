// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/QBDocAccess.h"
#include "support/ServiceFixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records the order of the data service's events as the access component reports them.
struct TEventLog
{
    TQBDataAccess access;
    QStringList events;

    TEventLog()
    {
        const auto log = [this](const char *name) {
            return [this, name] { events.append(QString::fromLatin1(name)); };
        };
        QObject::connect(&access, &TQBDataAccess::beforeCreate, &access, log("beforeCreate"));
        QObject::connect(&access, &TQBDataAccess::afterCreate, &access, log("afterCreate"));
        QObject::connect(&access, &TQBDataAccess::beforeOpen, &access, log("beforeOpen"));
        QObject::connect(&access, &TQBDataAccess::afterOpen, &access, log("afterOpen"));
        QObject::connect(&access, &TQBDataAccess::beforeSave, &access, log("beforeSave"));
        QObject::connect(&access, &TQBDataAccess::afterSave, &access, log("afterSave"));
        QObject::connect(&access, &TQBDataAccess::headerChanged, &access, log("headerChanged"));
        QObject::connect(&access, &TQBDataAccess::captionChanged, &access,
                         [this](const IQBArticlePtr &a) { events.append(QStringLiteral("caption ") + a->Caption()); });
        QObject::connect(&access, &TQBDataAccess::articleAdded, &access,
                         [this](const IQBArticlePtr &a, const IQBArticlePtr &p) {
                             events.append(QStringLiteral("added %1 under %2").arg(a->IID()).arg(p->IID()));
                         });
        access.SetActive(true);
    }
};

} // namespace

class TestQBDocSvc : public QObject
{
    Q_OBJECT

    std::unique_ptr<TServiceFixture> F;

private Q_SLOTS:
    void init() { F = std::make_unique<TServiceFixture>(); }
    void cleanup() { F.reset(); }

    void start_leavesAnUntitledDocumentWithTheSettingsDefaults()
    {
        {
            TRegistry reg;
            reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\Settings\\DocDefaults"), true);
            reg.WriteString(QStringLiteral("Encoding"), QStringLiteral("windows-1251"));
            reg.WriteString(QStringLiteral("Author"), QStringLiteral("Ann"));
            reg.WriteString(QStringLiteral("Copyright"), QStringLiteral("(c) Ann"));
            reg.WriteInteger(QStringLiteral("AutoRevision"), 1);
            reg.CloseKey();
        }
        F->start();
        const IQBDataServicePtr data = DataService();
        QVERIFY(data);
        const IQBDocumentPtr doc = data->GetDocument();
        QVERIFY(doc->IsNew());
        QVERIFY(!doc->Modified());
        QCOMPARE(doc->FileName(), QStringLiteral("Untitled"));
        QCOMPARE(doc->Encoding(), QStringLiteral("windows-1251"));
        QCOMPARE(doc->Author(), QStringLiteral("Ann"));
        QCOMPARE(doc->Copyright(), QStringLiteral("(c) Ann"));
        QVERIFY(doc->AutoRevision());

        F->data->SetUntitledName(QStringLiteral("Unbenannt"));
        QCOMPARE(doc->FileName(), QStringLiteral("Unbenannt"));
    }

    void saveUntitled_asksWithTheRootCaption_andPublishesAroundTheWrite()
    {
        F->start();
        TEventLog log;
        const IQBDataServicePtr data = DataService();
        const IQBDocumentPtr doc = data->GetDocument();
        doc->Root()->SetCaption(QStringLiteral("Field notes"));
        QStringList proposed;
        QString answer;
        F->data->SetOnSaveRequest([&](TQBDataService *, QString &name, bool &cancel) {
            proposed.append(name);
            cancel = answer.isEmpty();
            name = answer;
        });
        int busy = 0;
        F->data->SetOnBusy([&](bool on) { busy += on ? 1 : -1; });

        QVERIFY(!data->SaveDocument(QString()));
        QCOMPARE(proposed, QStringList{QStringLiteral("Field notes")});
        QVERIFY(doc->IsNew());
        QVERIFY(doc->Modified());
        QVERIFY(!log.events.contains(QStringLiteral("beforeSave")));

        answer = F->path(QStringLiteral("notes.xqb"));
        log.events.clear();
        QVERIFY(data->SaveDocument(QString()));
        QCOMPARE(log.events, (QStringList{QStringLiteral("beforeSave"), QStringLiteral("afterSave")}));
        QCOMPARE(doc->FileName(), answer);
        QVERIFY(!doc->IsNew());
        QVERIFY(!doc->Modified());
        QVERIFY(!doc->Root()->Modified());
        QVERIFY(fileBytes(answer).contains("Field notes"));
        QCOMPARE(busy, 0);

        // A titled document saves under its own name without asking.
        doc->Root()->SetCaption(QStringLiteral("Renamed"));
        QVERIFY(data->SaveDocument(QString()));
        QCOMPARE(proposed.size(), 2);
        QVERIFY(fileBytes(answer).contains("Renamed"));

        // Save as proposes the current name and moves the old one to the recent files.
        answer = F->path(QStringLiteral("copy.xqb"));
        QVERIFY(data->SaveDocumentAs());
        QCOMPARE(proposed.last(), F->path(QStringLiteral("notes.xqb")));
        QCOMPARE(doc->FileName(), answer);
        QCOMPARE(data->GetRecentFiles()->GetItem(0), F->path(QStringLiteral("notes.xqb")));
    }

    void closeRequest_answersDecideWhetherTheDocumentGoes()
    {
        F->start();
        const IQBDataServicePtr data = DataService();
        int asked = 0;
        TCloseRequestResult answer = crCancel;
        F->data->SetOnCloseRequest([&](TQBDataService *, TCloseRequestResult &r) {
            ++asked;
            r = answer;
        });
        F->data->SetOnSaveRequest([](TQBDataService *, QString &, bool &cancel) { cancel = true; });

        // Unmodified: abandoned without a question.
        const IQBDocumentPtr first = data->GetDocument();
        QVERIFY(data->NewDocument());
        QCOMPARE(asked, 0);
        QVERIFY(data->GetDocument() != first);

        const IQBDocumentPtr doc = data->GetDocument();
        doc->AddChild(doc->Root());
        QVERIFY(!data->NewDocument());
        QCOMPARE(data->GetDocument(), doc);

        answer = crSave; // and the save dialog is cancelled
        QVERIFY(!data->CloseDocument());
        QVERIFY(!data->OpenDocument(F->path(QStringLiteral("whatever.xqb"))));
        QCOMPARE(data->GetDocument(), doc);

        answer = crDiscard;
        QVERIFY(data->NewDocument());
        QVERIFY(data->GetDocument() != doc);
        QCOMPARE(asked, 4);
    }

    void documentNotices_arePublishedUntilTheDocumentIsReplaced()
    {
        F->start();
        TEventLog log;
        const IQBDataServicePtr data = DataService();
        const IQBDocumentPtr old = data->GetDocument();
        const IQBArticlePtr child = old->AddChild(old->Root());
        child->SetCaption(QStringLiteral("Ideas"));
        old->SetAuthor(QStringLiteral("Bo"));
        QCOMPARE(log.events, (QStringList{QStringLiteral("added 1 under 0"), QStringLiteral("caption Ideas"),
                                          QStringLiteral("headerChanged")}));

        F->data->SetOnCloseRequest([](TQBDataService *, TCloseRequestResult &r) { r = crDiscard; });
        QVERIFY(data->NewDocument());
        log.events.clear();
        child->SetCaption(QStringLiteral("From the old document"));
        QVERIFY(log.events.isEmpty());
    }

    void open_movesFilesThroughTheRecentList_andStopRemembersTheLast()
    {
        F->start();
        const IQBDataServicePtr data = DataService();
        TEventLog log;
        QStringList names;
        for (const char *name : {"a.xqb", "b.xqb"}) {
            data->GetDocument()->Root()->SetCaption(QString::fromLatin1(name));
            QVERIFY(data->SaveDocument(F->path(QString::fromLatin1(name))));
            names.append(F->path(QString::fromLatin1(name)));
        }
        // b is open, a on the list.
        QCOMPARE(data->GetRecentFiles()->GetCount(), 0); // SaveDocument with a name keeps the list
        QVERIFY(data->OpenDocument(names[0]));
        QCOMPARE(data->GetRecentFiles()->GetItem(0), names[1]);
        log.events.clear();
        QVERIFY(data->OpenDocument(names[1]));
        QCOMPARE(log.events, (QStringList{QStringLiteral("beforeOpen"), QStringLiteral("afterOpen")}));
        QCOMPARE(data->GetRecentFiles()->GetCount(), 1);
        QCOMPARE(data->GetRecentFiles()->GetItem(0), names[0]);
        QCOMPARE(data->GetDocument()->Root()->Caption(), QStringLiteral("b.xqb"));
        QVERIFY(!data->GetDocument()->IsNew());

        // An empty name asks; cancelling changes nothing.
        F->data->SetOnOpenRequest([](TQBDataService *, QString &, bool &cancel) { cancel = true; });
        QVERIFY(!data->OpenDocument(QString()));

        F->data->SetActive(false);
        auto settings = SettingsService();
        const auto recent = settings->LoadHistoryList(QStringLiteral("RecentFiles"));
        QCOMPARE(recent->GetItem(0), names[1]);
        QCOMPARE(recent->GetItem(1), names[0]);
    }

    void failingOpen_leavesDocumentAndRecentFilesAsTheyWere()
    {
        F->start();
        const IQBDataServicePtr data = DataService();
        QVERIFY(data->SaveDocument(F->path(QStringLiteral("current.xqb"))));
        const IQBDocumentPtr current = data->GetDocument();
        TEventLog log;
        int busy = 0;
        F->data->SetOnBusy([&](bool on) { busy += on ? 1 : -1; });
        QVERIFY(writeFile(F->path(QStringLiteral("broken.xqb")), "<Snippets Version=\"1.1\"><Article"));
        QVERIFY_THROWS_EXCEPTION(Exception, data->OpenDocument(F->path(QStringLiteral("broken.xqb"))));
        QVERIFY_THROWS_EXCEPTION(Exception, data->OpenDocument(F->path(QStringLiteral("missing.xqb"))));
        QCOMPARE(data->GetDocument(), current);
        QCOMPARE(data->GetRecentFiles()->GetCount(), 0);
        QVERIFY(!log.events.contains(QStringLiteral("afterOpen")));
        QCOMPARE(busy, 0);
    }

    void oldVersion_isRewritten_withOrWithoutTheKeptCopy()
    {
        F->start();
        const IQBDataServicePtr data = DataService();
        const QString file = F->path(QStringLiteral("notes.xqb"));
        bool keep = true;
        QStringList proposed;
        F->data->SetOnRequestPreserve([&](TQBDataService *, QString &name, bool &cancel) {
            proposed.append(name);
            cancel = !keep;
        });

        QVERIFY(writeFile(file, oldVersionFile()));
        QVERIFY(data->OpenDocument(file));
        QCOMPARE(proposed, QStringList{file + QStringLiteral(".10")});
        QCOMPARE(fileBytes(file + QStringLiteral(".10")), oldVersionFile());
        QVERIFY(fileBytes(file).contains("Version=\"1.1\""));
        QCOMPARE(data->GetDocument()->Version(), QStringLiteral("1.1"));
        QVERIFY(!data->GetDocument()->Modified());

        keep = false;
        QFile::remove(file + QStringLiteral(".10"));
        QVERIFY(writeFile(file, oldVersionFile()));
        QVERIFY(data->OpenDocument(file));
        QVERIFY(!QFile::exists(file + QStringLiteral(".10")));
        QVERIFY(fileBytes(file).contains("Version=\"1.1\""));

        // The copy cannot be made (a folder has its name): the file stays in the old format,
        // the error reaches the caller, and the document is open and announced.
        keep = true;
        QVERIFY(writeFile(file, oldVersionFile()));
        QVERIFY(QDir(F->dir.path()).mkpath(QStringLiteral("notes.xqb.10/inside")));
        TEventLog log;
        QVERIFY_THROWS_EXCEPTION(EQBDocumentError, data->OpenDocument(file));
        QCOMPARE(fileBytes(file), oldVersionFile());
        QCOMPARE(data->GetDocument()->Root()->Caption(), QStringLiteral("Old"));
        QCOMPARE(data->GetDocument()->Version(), QStringLiteral("1.0"));
        QVERIFY(log.events.contains(QStringLiteral("afterOpen")));
    }

    void changedOnDisk_asksBeforeASaveReplacesIt_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer"); // -1: no one to ask
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("fileHolds"); // "ours", "theirs"
        QTest::newRow("edited, overwrite") << "edit" << int(cdOverwrite) << true << "ours";
        QTest::newRow("edited, save as") << "edit" << int(cdSaveAs) << true << "theirs";
        QTest::newRow("edited, cancel") << "edit" << int(cdCancel) << true << "theirs";
        QTest::newRow("edited, no one to ask") << "edit" << -1 << false << "theirs";
        QTest::newRow("same bytes, new time") << "touch" << int(cdCancel) << false << "ours";
        QTest::newRow("deleted") << "delete" << int(cdCancel) << false << "ours";
    }

    void changedOnDisk_asksBeforeASaveReplacesIt()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(QString, fileHolds);
        F->start();
        const IQBDataServicePtr data = DataService();
        const QString file = F->path(QStringLiteral("shared.xqb"));
        const QString other = F->path(QStringLiteral("mine.xqb"));
        QVERIFY(data->SaveDocument(file));
        int questions = 0;
        if (answer >= 0)
            F->data->SetOnChangedOnDisk([&](const QString &name) {
                ++questions;
                [&] { QCOMPARE(name, file); }();
                return TChangedOnDiskAnswer(answer);
            });
        F->data->SetOnSaveRequest([&](TQBDataService *, QString &name, bool &) { name = other; });

        const QByteArray theirs = "<?xml version=\"1.0\"?><Snippets Version=\"1.1\"><Article Caption=\"theirs\"/>"
                                  "</Snippets>";
        if (change == QLatin1String("edit")) {
            QVERIFY(writeFile(file, theirs));
        } else if (change == QLatin1String("touch")) {
            QFile touched(file);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        } else {
            QVERIFY(QFile::remove(file));
        }
        QCOMPARE(data->ChangedOnDisk(), change == QLatin1String("edit"));

        data->GetDocument()->Root()->SetCaption(QStringLiteral("ours"));
        bool saved = false;
        const QString message = messageOf([&] { saved = data->SaveDocument(QString()); });
        QCOMPARE(questions, asked ? 1 : 0);
        QCOMPARE(fileBytes(file).contains("Caption=\"ours\""), fileHolds == QLatin1String("ours"));
        if (fileHolds == QLatin1String("theirs"))
            QCOMPARE(fileBytes(file), theirs);
        if (answer == cdSaveAs) {
            QVERIFY(saved);
            QVERIFY(fileBytes(other).contains("Caption=\"ours\""));
            QCOMPARE(data->GetDocument()->FileName(), other);
        } else if (fileHolds == QLatin1String("theirs")) {
            QVERIFY(!saved);
            QVERIFY(data->GetDocument()->Modified());
            // Without anyone to ask the save is refused and says why.
            QCOMPARE(message.contains(file), answer < 0);
        } else {
            QVERIFY(saved);
            // Once written, the file is ours again: the next save does not ask.
            QVERIFY(!data->ChangedOnDisk());
        }
    }
};

QTEST_GUILESS_MAIN(TestQBDocSvc)
#include "tst_QBDocSvc.moc"
