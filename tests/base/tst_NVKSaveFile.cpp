// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "base/NVKSaveFile.h"
#include "support/TestHelpers.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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
