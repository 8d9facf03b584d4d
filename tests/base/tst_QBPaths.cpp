// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "base/QBPaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestQBPaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resourceFolder_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        // The build tree: the resources sit beside the program.
        QTest::newRow("build tree") << QStringList{"build/bin/help"} << "build/bin"
                                    << "build/bin";
        // An installation under a prefix, such as /usr or a package unpacked anywhere.
        QTest::newRow("installed") << QStringList{"usr/bin", "usr/share/quillbox/help"} << "usr/bin"
                                   << "usr/share/quillbox";
        // Another program's share folder does not count.
        QTest::newRow("share without quillbox") << QStringList{"opt/bin", "opt/share/other"} << "opt/bin"
                                                << "opt/bin";
        // A program folder named with a trailing slash or dots still finds its installation.
        QTest::newRow("uncleaned program folder") << QStringList{"p/bin", "p/share/quillbox"} << "p/bin/./"
                                                  << "p/share/quillbox";
    }

    void resourceFolder()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString &folder : folders)
            QVERIFY(QDir(root.path()).mkpath(folder));
        QCOMPARE(QBResourceFolderFor(root.filePath(program)), QDir::cleanPath(root.filePath(expected)));
    }

    void resourceFolder_ofThisProgram_isBesideItInTheBuildTree()
    {
        QCOMPARE(QBResourceFolder(), QCoreApplication::applicationDirPath());
    }
};

QTEST_GUILESS_MAIN(TestQBPaths)
#include "tst_QBPaths.moc"
