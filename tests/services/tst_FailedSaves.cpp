// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/QBDocBackup.h"
#include "support/ServiceFixture.h"
#include "support/SettingsStore.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

// Every way the services replace a file on disk.
enum class TSavePath { DocumentSave, BackupCopy, Autosave, BackgroundAutosave, UpgradeCopy, SettingsStore };

const char *pathName(TSavePath path)
{
    switch (path) {
    case TSavePath::DocumentSave:
        return "document save";
    case TSavePath::BackupCopy:
        return "backup copy";
    case TSavePath::Autosave:
        return "autosave";
    case TSavePath::BackgroundAutosave:
        return "autosave in the background";
    case TSavePath::UpgradeCopy:
        return "upgrade copy";
    case TSavePath::SettingsStore:
        return "settings store";
    }
    return "?";
}

// All files below folder, so that a temporary left behind shows.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

} // namespace

Q_DECLARE_METATYPE(TSavePath)

class TestFailedSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        NVKClearWriteFault();
        NVKSetErrorReporter({});
    }

    void failedWrite_keepsTheOldFile_andIsReported_data()
    {
        QTest::addColumn<TSavePath>("path");
        QTest::addColumn<TNVKWriteFault>("fault");
        QTest::addColumn<qint64>("bytes");
        for (TSavePath path : {TSavePath::DocumentSave, TSavePath::BackupCopy, TSavePath::Autosave,
                               TSavePath::BackgroundAutosave, TSavePath::UpgradeCopy, TSavePath::SettingsStore})
            for (const TWriteFaultPoint &point : writeFaultPoints())
                QTest::addRow("%s, %s", pathName(path), point.Name) << path << point.Fault << point.Bytes;
    }

    void failedWrite_keepsTheOldFile_andIsReported()
    {
        QFETCH(TSavePath, path);
        QFETCH(TNVKWriteFault, fault);
        QFETCH(qint64, bytes);
        TServiceFixture f;
        f.start();
        TQBDataBackup backup;
        backup.SetActive(true);
        QStringList reported;
        NVKSetErrorReporter([&reported](const QString &message) { reported.append(message); });
        const IQBDataServicePtr data = DataService();
        const QString file = f.path(QStringLiteral("notes.xqb"));
        const auto saveAs = [&](const QString &caption) {
            data->GetDocument()->Root()->SetCaption(caption);
            QVERIFY(data->SaveDocument(file));
        };

        // Each path: a target holding an old file, and the action that fails to replace it,
        // giving what it reported.
        QString target;
        std::function<QString()> action;
        switch (path) {
        case TSavePath::DocumentSave:
            saveAs(QStringLiteral("old"));
            target = file;
            action = [&] {
                data->GetDocument()->Root()->SetCaption(QStringLiteral("new"));
                return messageOf([&] { data->SaveDocument(QString()); });
            };
            break;
        case TSavePath::BackupCopy:
            backup.SetBackup(true);
            saveAs(QStringLiteral("first"));
            saveAs(QStringLiteral("second")); // the backup now holds "first"
            target = f.path(QStringLiteral("notes.~xqb"));
            action = [&] {
                // A backup that cannot be made must not stop the save.
                saveAs(QStringLiteral("third"));
                return reported.join(QLatin1Char('\n'));
            };
            break;
        case TSavePath::Autosave:
            saveAs(QStringLiteral("old"));
            target = file;
            action = [&] {
                data->GetDocument()->Root()->SetCaption(QStringLiteral("typed since"));
                return messageOf([&] { backup.DoAutosave(); });
            };
            break;
        case TSavePath::BackgroundAutosave:
            saveAs(QStringLiteral("old"));
            target = file;
            action = [&] {
                data->GetDocument()->Root()->SetCaption(QStringLiteral("typed since"));
                backup.AutosaveTick();
                data->CollectBackgroundSave(true);
                return reported.join(QLatin1Char('\n'));
            };
            break;
        case TSavePath::UpgradeCopy:
            target = file + QStringLiteral(".10");
            QVERIFY(writeFile(target, "an earlier copy"));
            QVERIFY(writeFile(file, oldVersionFile()));
            action = [&] { return messageOf([&] { data->OpenDocument(file); }); };
            break;
        case TSavePath::SettingsStore:
            setRegistryValue(QStringLiteral("Settings\\Preferences"), QStringLiteral("StartupAction"), 1);
            target = TSettingsStore::FileName();
            action = [&] {
                return messageOf([&] {
                    TRegistry reg;
                    reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\Settings\\Preferences"), true);
                    reg.WriteString(QStringLiteral("StartupDocument"), QStringLiteral("a value long enough to fill"));
                    reg.CloseKey();
                });
            };
            break;
        }
        const QByteArray old = fileBytes(target);
        const QByteArray oldDocument = fileBytes(file);
        const QStringList files = filesBelow(f.dir.path());

        QString report;
        {
            const TWriteFaultScope scope(fault, bytes, target);
            report = action();
        }
        QVERIFY2(!report.isEmpty(), "the failure was not reported");
        QCOMPARE(fileBytes(target), old);
        QCOMPARE(filesBelow(f.dir.path()), files);

        switch (path) {
        case TSavePath::BackupCopy:
            QVERIFY(fileBytes(file).contains("third"));
            break;
        case TSavePath::Autosave:
            QVERIFY(data->GetDocument()->Modified());
            QCOMPARE(backup.SaveCount(), 0);
            break;
        case TSavePath::BackgroundAutosave:
            QVERIFY(data->GetDocument()->Modified());
            break;
        case TSavePath::UpgradeCopy:
            // Without the copy the old format is not given up.
            QCOMPARE(fileBytes(file), oldDocument);
            QCOMPARE(data->GetDocument()->Version(), QStringLiteral("1.0"));
            break;
        default:
            break;
        }
    }

    void systemRefusal_isToldInTheSystemsWords()
    {
        TServiceFixture f;
        f.start();
        const IQBDataServicePtr data = DataService();
        const QString file = f.path(QStringLiteral("notes.xqb"));
        QVERIFY(data->SaveDocument(file));
        const QByteArray old = fileBytes(file);
        const QStringList files = filesBelow(f.dir.path());
        data->GetDocument()->Root()->SetContent(QString(300000, QLatin1Char('x')));

        // A real refusal of the system, as a full disk would give, whatever rights the test has: a
        // limit on the size of files this process writes.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{100000, limit.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = messageOf([&] { data->SaveDocument(QString()); });
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);

        QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(message));
        QVERIFY2(message.contains(file), qPrintable(message));
        QCOMPARE(fileBytes(file), old);
        QCOMPARE(filesBelow(f.dir.path()), files);
        QVERIFY(data->GetDocument()->Modified());
    }
};

QTEST_GUILESS_MAIN(TestFailedSaves)
#include "tst_FailedSaves.moc"
