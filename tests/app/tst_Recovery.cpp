// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "support/TestHelpers.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <csignal>

namespace {

constexpr char ChildFolder[] = "QB_RECOVERY_CHILD";
constexpr char ChildEnd[] = "QB_RECOVERY_END"; // "kill" or "term"

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The program in a child process: it opens the document of the folder, types into it, writes its
// recovery copy as its timer would, and is killed before it can save or clean up.
int crashingChild(const QString &folder)
{
    NVKInitializeCore();
    // A settings store of its own: the test's program holds the lock on its store.
    TRegistry::SetStoreFolder(folder + QStringLiteral("/child"));
    TQBDataRecovery::SetFolder(folder + QStringLiteral("/Recovery"));
    TDMAppData appData(QStringList{});
    TFAppFrame frame;
    appData.SetMainWindow(&frame);
    if (!DataService()->OpenDocument(folder + QStringLiteral("/notes.xqb")))
        return 2;
    const IQBDocumentPtr document = DataService()->GetDocument();
    document->Root()->SetCaption(QStringLiteral("typed before the crash"));
    document->AddChild(document->Root())->SetCaption(QStringLiteral("a new article"));
    if (qEnvironmentVariable(ChildEnd) == QLatin1String("term")) {
        // The session ends: nothing was written yet, the signal alone must save the changes.
        appData.WatchTerminationSignals();
        std::raise(SIGTERM);
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return 3;
    }
    appData.QBDataRecovery->WriteCopyNow();
    std::raise(SIGKILL);
    return 1;
}

struct TRecoveryFixture : TAppFrameFixture
{
    QString recovery() const { return path(QStringLiteral("Recovery")); }

    // Saves a small document, then lets a child program crash with unsaved changes to it: killed
    // after its last recovery copy, or ended by the session before any.
    void crashWithChanges(const QString &end = QStringLiteral("kill"))
    {
        doc()->Root()->SetCaption(QStringLiteral("as saved"));
        QVERIFY(DataService()->SaveDocument(path(QStringLiteral("notes.xqb"))));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildFolder), dir.path());
        env.insert(QString::fromLatin1(ChildEnd), end);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        if (end == QLatin1String("kill"))
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        else
            QCOMPARE(child.exitCode(), 128 + SIGTERM);
        QVERIFY2(filesIn(recovery()).join(QLatin1Char(' ')).contains(QStringLiteral(".xqb")),
                 qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
    }
};

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crashedProgramsCopy_isOffered_andRestoredAsModified_underItsOwnName_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("killed") << "kill";
        QTest::newRow("ended by the session") << "term";
    }

    void crashedProgramsCopy_isOffered_andRestoredAsModified_underItsOwnName()
    {
        QFETCH(QString, end);
        TRecoveryFixture f;
        f.crashWithChanges(end);
        const QByteArray saved = fileBytes(f.path(QStringLiteral("notes.xqb")));

        QBDialogs::QueueAnswer(QMessageBox::Yes);
        f.appData->OfferRecoveryCopies();
        QVERIFY(QBDialogs::ShownTexts().last().contains(QStringLiteral("notes.xqb")));
        const IQBDocumentPtr restored = f.doc();
        QCOMPARE(restored->Root()->Caption(), QStringLiteral("typed before the crash"));
        QCOMPARE(restored->Root()->Items()->Count(), 1);
        QVERIFY(restored->Modified());
        QVERIFY(!restored->IsNew());
        QCOMPARE(restored->FileName(), f.path(QStringLiteral("notes.xqb")));
        // The document's own file is untouched until the user saves.
        QCOMPARE(fileBytes(f.path(QStringLiteral("notes.xqb"))), saved);

        // Offered once: a second start does not ask again while the copy is in use.
        QBDialogs::ClearTestState();
        f.appData->OfferRecoveryCopies();
        QVERIFY(QBDialogs::ShownTexts().isEmpty());

        QVERIFY(DataService()->SaveDocument(QString()));
        QVERIFY(fileBytes(f.path(QStringLiteral("notes.xqb"))).contains("typed before the crash"));
        QCOMPARE(filesIn(f.recovery()), QStringList());
    }

    void answers_deleteOrKeepTheCopy()
    {
        TRecoveryFixture f;
        f.crashWithChanges();
        QBDialogs::QueueAnswer(QMessageBox::Cancel);
        f.appData->OfferRecoveryCopies();
        QCOMPARE(f.doc()->Root()->Caption(), QStringLiteral("as saved"));
        QBDialogs::QueueAnswer(QMessageBox::No);
        f.appData->OfferRecoveryCopies();
        QCOMPARE(QBDialogs::ShownTexts().size(), 2);
        QCOMPARE(filesIn(f.recovery()), QStringList());
        QCOMPARE(f.doc()->Root()->Caption(), QStringLiteral("as saved"));
    }

    void copy_followsUnsavedChanges_andIsNeverOfferedWhileItsProgramRuns()
    {
        TRecoveryFixture f;
        TQBDataRecovery *recovery = f.appData->QBDataRecovery;
        recovery->WriteCopyNow();
        QVERIFY(recovery->CopyFileName().isEmpty()); // nothing unsaved

        f.doc()->Root()->SetCaption(QStringLiteral("never saved"));
        // Written in the background: the program goes on, and the copy is there once it is done.
        recovery->WriteCopy();
        recovery->Finish();
        const QString copy = recovery->CopyFileName();
        QVERIFY(QFileInfo::exists(copy));
        // Ticks without further changes leave the copy as it is; a change is written at the next.
        const QDateTime written = QFileInfo(copy).lastModified();
        QVERIFY(QFile::remove(copy));
        recovery->WriteCopyNow();
        QVERIFY(!QFileInfo::exists(copy));
        f.doc()->Root()->SetCaption(QStringLiteral("never saved, changed"));
        recovery->WriteCopyNow();
        QVERIFY(fileBytes(copy).contains("never saved, changed"));
        QVERIFY(QFileInfo(copy).lastModified() >= written);
        QVERIFY(TQBDataRecovery::Orphans().isEmpty());
        QVERIFY(DataService()->SaveDocument(f.path(QStringLiteral("kept.xqb"))));
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(recovery->CopyFileName().isEmpty());

        // The copy of an untitled document comes back untitled: a save asks for a name.
        QVERIFY(DataService()->NewDocument());
        f.doc()->Root()->SetCaption(QStringLiteral("untitled notes"));
        recovery->WriteCopyNow();
        QVERIFY(writeFile(f.path(QStringLiteral("copy.xqb")), fileBytes(recovery->CopyFileName())));
        QBDialogs::QueueAnswer(QMessageBox::No); // the current document's changes are dropped
        QVERIFY(DataService()->RestoreDocument(f.path(QStringLiteral("copy.xqb")), QString()));
        QVERIFY(f.doc()->IsNew());
        QVERIFY(f.doc()->Modified());
        QCOMPARE(f.doc()->Root()->Caption(), QStringLiteral("untitled notes"));
    }

    void damagedCopy_isReported_andKeptAside()
    {
        TRecoveryFixture f;
        QVERIFY(QDir().mkpath(f.recovery()));
        const QString copy = f.recovery() + QStringLiteral("/recovery-1-000000.xqb");
        QVERIFY(writeFile(copy, "<?xml version=\"1.0\"?><Snippets><Article"));
        QVERIFY(writeFile(f.recovery() + QStringLiteral("/recovery-1-000000.info"),
                          "file=%2Fhome%2Fme%2Fplans.xqb\ncaption=plans.xqb\nwritten=2026-12-01T10:00:00.000Z\n"));
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.appData->OfferRecoveryCopies();
        const QStringList shown = QBDialogs::ShownTexts();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.first().contains(QStringLiteral("plans.xqb")));
        QVERIFY(shown.last().contains(QStringLiteral(".damaged")));
        QCOMPARE(fileBytes(copy + QStringLiteral(".damaged")), QByteArray("<?xml version=\"1.0\"?><Snippets><Article"));
        QVERIFY(TQBDataRecovery::Orphans().isEmpty());
        QCOMPARE(f.doc()->FileName(), QStringLiteral("Untitled"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString child = qEnvironmentVariable(ChildFolder);
    if (!child.isEmpty())
        return crashingChild(child);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Recovery.moc"
