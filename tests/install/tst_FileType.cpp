// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include <QFile>
#include <QMimeDatabase>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char DocumentType[] = "application/x-quillbox-document";

QByteArray sampleBytes()
{
    QFile file(QStringLiteral(QB_SAMPLE_DOCUMENT));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// Runs over the system's MIME database with the installed package merged in (XDG_DATA_DIRS points there).
class TestFileType : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentType_isInstalled()
    {
        const QMimeType type = QMimeDatabase().mimeTypeForName(QLatin1String(DocumentType));
        QVERIFY2(type.isValid(), "the installed MIME package is not in the database");
        QCOMPARE(type.comment(), QStringLiteral("Quillbox document"));
        QCOMPARE(type.iconName(), QStringLiteral("application-x-quillbox-document"));
        QCOMPARE(type.suffixes(), QStringList{QStringLiteral("xqb")});
        QVERIFY(type.inherits(QStringLiteral("application/xml")));
    }

    void fileType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray sample = sampleBytes();
        QVERIFY(sample.contains("<Snippets"));
        QTest::newRow("document") << "notes.xqb" << sample << DocumentType;
        // The file manager knows a document by its root element when the name does not tell.
        QTest::newRow("document without extension") << "notes" << sample << DocumentType;
        QTest::newRow("bare root") << "bare" << QByteArray("<?xml version=\"1.0\"?>\n<Snippets Version=\"1.1\"/>")
                                   << DocumentType;
        // Other XML stays XML.
        QTest::newRow("other XML") << "other.xml" << QByteArray("<?xml version=\"1.0\"?>\n<Notes/>")
                                   << "application/xml";
        QTest::newRow("other XML without extension")
            << "other" << QByteArray("<?xml version=\"1.0\"?>\n<Notes>Snippets</Notes>") << "application/xml";
    }

    void fileType()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(QMimeDatabase().mimeTypeForFile(file.fileName()).name(), expected);
    }
};

QTEST_GUILESS_MAIN(TestFileType)
#include "tst_FileType.moc"
