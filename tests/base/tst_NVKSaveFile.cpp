// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "base/NVKSaveFile.h"
#include "support/TestHelpers.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>
#include <sys/xattr.h>

class TestNVKSaveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { NVKClearWriteFault(); }

    void plannedFault_hitsOnlyTheNamedFile()
    {
        QTemporaryDir dir;
        const QString named = dir.filePath(QStringLiteral("named.txt"));
        const QString other = dir.filePath(QStringLiteral("other.txt"));
        const TWriteFaultScope scope(TNVKWriteFault::AtOpen, 0, named);
        TNVKSaveFile failing(named);
        QVERIFY(!failing.open(QIODevice::WriteOnly));
        QVERIFY(!failing.errorString().isEmpty());
        TNVKSaveFile writing(other);
        QVERIFY(writing.open(QIODevice::WriteOnly));
        QCOMPARE(writing.write("text"), 4);
        QVERIFY(writing.commit());
        QCOMPARE(fileBytes(other), QByteArray("text"));
    }

    void open_removesStaleMarkedTemporariesOnly_andTheSavedFileCarriesNoMark()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("notes.xqb"));
        QVERIFY(writeFile(target, "old"));
        const auto leftover = [&](const char *name, bool marked) {
            const QByteArray path = QFile::encodeName(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(writeFile(QFile::decodeName(path), "partial"));
            if (marked && ::setxattr(path.constData(), "user.quillbox.saving", "1", 1, 0) != 0)
                QSKIP("The file system keeps no user attributes.");
        };
        leftover("notes.xqb.Ab12Cd", true); // a save killed half-way
        leftover("notes.xqb.zzzzzz", true);
        leftover("notes.xqb.backup", false); // the user's own file
        leftover("other.xqb.Ab12Cd", true);  // another document's
        leftover("notes.xqb.Xy98Wv", true);  // being written by a process that lives
        QFile writer(dir.filePath(QStringLiteral("notes.xqb.Xy98Wv")));
        QVERIFY(writer.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(writer.handle(), LOCK_EX | LOCK_NB), 0);

        TNVKSaveFile save(target);
        QVERIFY(save.open(QIODevice::WriteOnly));
        QCOMPARE(save.write("new"), 3);
        QVERIFY(save.commit());
        QCOMPARE(fileBytes(target), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"notes.xqb", "notes.xqb.backup", "notes.xqb.Xy98Wv", "other.xqb.Ab12Cd"}));
        char mark = 0;
        QCOMPARE(::getxattr(QFile::encodeName(target).constData(), "user.quillbox.saving", &mark, 1), -1);
    }

    void copy_failing_keepsTheTargetAndSaysWhy_data()
    {
        QTest::addColumn<TNVKWriteFault>("fault");
        QTest::addColumn<qint64>("bytes");
        for (const TWriteFaultPoint &point : writeFaultPoints())
            QTest::newRow(point.Name) << point.Fault << point.Bytes;
    }

    void copy_failing_keepsTheTargetAndSaysWhy()
    {
        QFETCH(TNVKWriteFault, fault);
        QFETCH(qint64, bytes);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source"));
        const QString target = dir.filePath(QStringLiteral("target"));
        QVERIFY(writeFile(source, QByteArray(100000, 'n')));
        QVERIFY(writeFile(target, "old copy"));
        QString reason;
        {
            const TWriteFaultScope scope(fault, bytes, target);
            QVERIFY(!NVKCopyFile(source, target, &reason));
        }
        QVERIFY(!reason.isEmpty());
        QCOMPARE(fileBytes(target), QByteArray("old copy"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("source"), QStringLiteral("target")}));
    }

    void copy_replacesTheTargetWithTheSourcesBytesAndPermissions()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source"));
        const QString target = dir.filePath(QStringLiteral("target"));
        const QByteArray bytes = QByteArray(200000, 'x') + QByteArray("\0tail", 5);
        QVERIFY(writeFile(source, bytes));
        QVERIFY(writeFile(target, "old copy"));
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(source, permissions));
        QString reason;
        QVERIFY2(NVKCopyFile(source, target, &reason), qPrintable(reason));
        QCOMPARE(fileBytes(target), bytes);
        const QFile::Permissions classes = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                                           QFile::ExeOther;
        QCOMPARE(QFile::permissions(target) & classes, permissions);
        QVERIFY(!NVKCopyFile(dir.filePath(QStringLiteral("missing")), target, &reason));
        QCOMPARE(fileBytes(target), bytes);
    }
};

QTEST_GUILESS_MAIN(TestNVKSaveFile)
#include "tst_NVKSaveFile.moc"
