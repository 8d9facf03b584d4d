// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBXml.h"
#include "support/DocumentCompare.h"

#include <QTemporaryDir>
#include <QTest>

// Checks that hold for every file version the reader accepts, run once over a frozen "1.0" file
// and once over a frozen "1.1" file holding the same notebook.
class TestQBXmlVersionBase : public QObject
{
    Q_OBJECT

protected:
    virtual QString FileName() const = 0;
    virtual QString Version() const = 0;
    // Version "1.0" files carry neither markers nor creation times.
    virtual bool HasMarksAndTimes() const = 0;

    IQBDocumentPtr Read() const { return QBReadDocument(testData(FileName())); }

    static const QDateTime &LoadTime()
    {
        static const QDateTime time(QDate(2026, 7, 8), QTime(9, 10, 11));
        return time;
    }

private Q_SLOTS:
    void init()
    {
        NVKSetClock([] { return LoadTime(); });
    }
    void cleanup() { NVKSetClock(nullptr); }

    void read_versionAndEncoding()
    {
        const IQBDocumentPtr document = Read();
        QCOMPARE(document->Version(), Version());
        QCOMPARE(document->Encoding(), QStringLiteral("UTF-8"));
        QVERIFY(!document->Modified());
        QVERIFY(document->IsNew());
        QCOMPARE(document->FileName(), QString());
    }

    void read_header()
    {
        const IQBDocumentPtr document = Read();
        QCOMPARE(document->LastIID(), 9);
        QCOMPARE(document->Author(), QStringLiteral("Ada & Grace"));
        QCOMPARE(document->Copyright(), QStringLiteral("(c) 2004 Brindlewood"));
        QCOMPARE(document->AutoRevision(), false);
        QCOMPARE(document->Revision(), 12);
        QCOMPARE(document->Remarks(), QStringLiteral("Line one\r\nLine two"));
    }

    void read_treeWithIIDsAndCaptions()
    {
        const IQBDocumentPtr document = Read();
        QStringList shape;
        for (IQBArticlePtr a = document->Root(); a; a = a->Next())
            shape << QStringLiteral("%1 %2 %3").arg(a->Level()).arg(IIDToStr(a->IID()), a->Caption());
        QCOMPARE(shape, (QStringList{QStringLiteral("0 _0 Notebook"), QStringLiteral("1 _3 Grüße & \"quotes\""),
                                     QStringLiteral("2 _7 Deep"), QStringLiteral("1 _9 Second")}));
    }

    void read_bodies()
    {
        const IQBDocumentPtr document = Read();
        QCOMPARE(document->Root()->Content(), QString());
        QCOMPARE(document->FindArticle(3)->Content(),
                 QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 Gr\\u252?\\'fc\\u223?e & "
                                "<tags>\\par }"));
        QCOMPARE(document->FindArticle(7)->Content(), QString());
        QCOMPARE(document->FindArticle(9)->Content(), QStringLiteral("{\\rtf1\\ansi Plain \\b bold\\b0\\par }"));
    }

    void read_marksAndCreationTimes()
    {
        const IQBDocumentPtr document = Read();
        const IQBArticlePtr deep = document->FindArticle(7);
        if (HasMarksAndTimes()) {
            QCOMPARE(deep->Mark(), quint8(11));
            QCOMPARE(document->FindArticle(3)->Mark(), quint8(2));
            QCOMPARE(DateTimeToQDateTime(deep->Created()), QDateTime(QDate(2004, 3, 2), QTime(12, 30, 0)));
            QCOMPARE(DateTimeToQDateTime(document->Root()->Created()),
                     QDateTime(QDate(2004, 2, 29), QTime(23, 59, 58)));
        } else {
            for (IQBArticlePtr a = document->Root(); a; a = a->Next()) {
                QCOMPARE(a->Mark(), quint8(0));
                QCOMPARE(DateTimeToQDateTime(a->Created()), LoadTime());
            }
        }
    }

    void writeThenRead_keepsEverythingAsVersion11()
    {
        const IQBDocumentPtr document = Read();
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("upgraded.xqb"));
        QBWriteDocument(document, fileName);
        QVERIFY(fileBytes(fileName).startsWith(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Snippets Version=\"1.1\" "
            "Generator=\"Quillbox\" LastIID=\"9\"><Header>"));
        const IQBDocumentPtr again = QBReadDocument(fileName);
        QCOMPARE(again->Version(), QStringLiteral("1.1"));
        compareDocuments(again, document);
    }
};

class TestQBXmlVersion10 final : public TestQBXmlVersionBase
{
    Q_OBJECT

protected:
    QString FileName() const override { return QStringLiteral("xqb/notebook-1.0.xqb"); }
    QString Version() const override { return QStringLiteral("1.0"); }
    bool HasMarksAndTimes() const override { return false; }
};

class TestQBXmlVersion11 final : public TestQBXmlVersionBase
{
    Q_OBJECT

protected:
    QString FileName() const override { return QStringLiteral("xqb/notebook-1.1.xqb"); }
    QString Version() const override { return QStringLiteral("1.1"); }
    bool HasMarksAndTimes() const override { return true; }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    TestQBXmlVersion10 version10;
    failures += QTest::qExec(&version10, argc, argv);
    TestQBXmlVersion11 version11;
    failures += QTest::qExec(&version11, argc, argv);
    return failures == 0 ? 0 : 1;
}

#include "tst_QBXmlVersions.moc"
