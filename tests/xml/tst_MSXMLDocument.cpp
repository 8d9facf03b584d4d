// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "MSXMLTestHelpers.h"
#include "support/TestHelpers.h"
#include "support/WriteFaults.h"
#include "xml/IDMap.h"
#include "xml/MSXMLDoc.h"
#include "xml/MSXMLUtils.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <thread>

// The declaration, encodings, and saving to files and streams.
class TestMSXMLDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- declaration ------------------------------------------------------------------------

    void declaration_standaloneThenEncoding_writesVersionEncodingStandaloneInOrder()
    {
        TMSXMLDocument doc;
        QVERIFY(!doc.HasDeclaration());
        QCOMPARE(doc.GetVersion(), QString());
        doc.SetStandalone(true);
        doc.SetEncoding(QStringLiteral("UTF-8"));
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Snippets")));
        QCOMPARE(doc.SaveToBytes(),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Snippets/>\n"));
    }

    void declaration_encodingOnly_writesVersionAndEncodingAndNothingElse()
    {
        TMSXMLDocument doc;
        doc.SetEncoding(QStringLiteral("UTF-8"));
        QCOMPARE(doc.GetVersion(), QStringLiteral("1.0"));
        QVERIFY(!doc.GetStandalone());
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QCOMPARE(doc.SaveToBytes(), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a/>\n"));
    }

    void declaration_emptyEncoding_removesItAndWritesUtf8()
    {
        TMSXMLDocument doc;
        doc.SetStandalone(true);
        doc.SetEncoding(QStringLiteral("windows-1251"));
        doc.SetEncoding(QString());
        QCOMPARE(doc.GetEncoding(), QString());
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        root.SetText(QStringLiteral("ä"));
        QCOMPARE(doc.SaveToBytes(), QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>\n<a>\xc3\xa4</a>\n"));
    }

    void declaration_standaloneTwice_changesOnce()
    {
        TMSXMLDocument doc;
        // Reading "no declaration" gives false already, so writing false changes nothing.
        doc.SetStandalone(false);
        QVERIFY(!doc.HasDeclaration());
        doc.SetStandalone(true);
        doc.SetStandalone(true);
        QVERIFY(doc.GetStandalone());
        doc.SetStandalone(false);
        QVERIFY(!doc.GetStandalone());
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QCOMPARE(doc.SaveToBytes(), QByteArray("<?xml version=\"1.0\" standalone=\"no\"?>\n<a/>\n"));
    }

    void declaration_singleQuotes_readCorrectly()
    {
        TMSXMLDocument doc;
        doc.LoadFromFile(testData(QStringLiteral("xml/declaration-single-quotes.xml")));
        QVERIFY(doc.HasDeclaration());
        QCOMPARE(doc.GetVersion(), QStringLiteral("1.0"));
        QCOMPARE(doc.GetEncoding(), QStringLiteral("windows-1251"));
        QVERIFY(doc.GetStandalone());
        QCOMPARE(doc.GetFileName(), testData(QStringLiteral("xml/declaration-single-quotes.xml")));
        // Written back with double quotes, in the same encoding.
        QVERIFY(doc.SaveToBytes().startsWith(
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n<Root Caption=\"x\"/>"));
    }

    void declaration_missing_readsEmptyAndIsNotWritten()
    {
        auto doc = parsed("<a>x</a>");
        QVERIFY(!doc->HasDeclaration());
        QCOMPARE(doc->GetVersion(), QString());
        QCOMPARE(doc->GetEncoding(), QString());
        QCOMPARE(doc->SaveToBytes(), QByteArray("<a>x</a>\n"));
    }

    void declaration_invalidNames_areRefused()
    {
        TMSXMLDocument doc;
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SetEncoding(QStringLiteral("UTF-8\" standalone=\"no")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SetVersion(QStringLiteral("2'")));
        QVERIFY(!doc.HasDeclaration());
    }

    // --- encodings --------------------------------------------------------------------------

    void encodings_fixtures_readAsCharacters_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8") << "text-in-utf-8.xml"
                               << "UTF-8" << Mixed;
        QTest::newRow("UTF-16") << "text-in-utf-16.xml"
                                << "UTF-16" << Mixed;
        QTest::newRow("ISO-8859-1") << "text-in-iso-8859-1.xml"
                                    << "ISO-8859-1" << QStringLiteral("Grüße, café");
        QTest::newRow("windows-1251") << "text-in-windows-1251.xml"
                                      << "windows-1251" << QStringLiteral("Привет, мир");
        QTest::newRow("KOI8-R") << "text-in-koi8-r.xml"
                                << "KOI8-R" << QStringLiteral("Привет, мир");
    }

    void encodings_fixtures_readAsCharacters()
    {
        QFETCH(QString, file);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        TMSXMLDocument doc;
        doc.LoadFromFile(testData(QStringLiteral("xml/") + file));
        QCOMPARE(doc.GetEncoding(), encoding);
        const TMSXMLNode root = doc.GetDocument().DocumentElement();
        QCOMPARE(GetAttr(root, QStringLiteral("Caption")), text);
        QCOMPARE(GetCDATAText(FindChild(root, QStringLiteral("Body"))), text);
    }

    void encodings_saveAndLoad_keepEveryCharacter_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expectedBytes");
        QTest::newRow("UTF-8") << "UTF-8" << Mixed << Mixed.toUtf8();
        QTest::newRow("UTF-16") << "UTF-16" << Mixed << QByteArray();
        QTest::newRow("ISO-8859-1") << "ISO-8859-1" << QStringLiteral("Grüße")
                                    << QByteArray("Gr\xfc\xdf"
                                                  "e");
        QTest::newRow("windows-1251") << "windows-1251" << QStringLiteral("Привет")
                                      << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2");
        QTest::newRow("KOI8-R") << "KOI8-R" << QStringLiteral("Привет") << QByteArray("\xf0\xd2\xc9\xd7\xc5\xd4");
    }

    void encodings_saveAndLoad_keepEveryCharacter()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QFETCH(QByteArray, expectedBytes);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xml"));
        {
            TMSXMLDocument doc;
            doc.SetStandalone(true);
            doc.SetEncoding(encoding);
            TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Root")));
            SetAttr(root, QStringLiteral("Caption"), text);
            AppendCDATAText(FindChild(root, QStringLiteral("Content"), true), text);
            FindChild(root, QStringLiteral("Author"), true).SetText(text);
            doc.SaveToFile(fileName);
            QCOMPARE(doc.GetFileName(), fileName);
        }
        const QByteArray bytes = fileBytes(fileName);
        if (!expectedBytes.isEmpty()) {
            QVERIFY(bytes.contains(QByteArray("<![CDATA[" + expectedBytes + "]]>")));
            QVERIFY(bytes.contains(QByteArray("Caption=\"" + expectedBytes + "\"")));
        } else
            QVERIFY(bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff"));
        TMSXMLDocument doc;
        doc.LoadFromFile(fileName);
        QCOMPARE(doc.GetEncoding(), encoding);
        QVERIFY(doc.GetStandalone());
        const TMSXMLNode root = doc.GetDocument().DocumentElement();
        QCOMPARE(GetAttr(root, QStringLiteral("Caption")), text);
        QCOMPARE(GetCDATAText(FindChild(root, QStringLiteral("Content"))), text);
        QCOMPARE(FindChild(root, QStringLiteral("Author")).Text(), text);
    }

    void encodings_unencodableTextAndAttributes_becomeCharacterReferences_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("windows-1251") << "windows-1251";
        QTest::newRow("ISO-8859-1") << "ISO-8859-1";
        QTest::newRow("KOI8-R") << "KOI8-R";
        QTest::newRow("US-ASCII") << "US-ASCII";
    }

    void encodings_unencodableTextAndAttributes_becomeCharacterReferences()
    {
        QFETCH(QString, encoding);
        TMSXMLDocument doc;
        doc.SetEncoding(encoding);
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Root")));
        SetAttr(root, QStringLiteral("Caption"), Mixed);
        root.AppendChild(root.CreateTextNode(Mixed));
        AppendCDATAText(root, QStringLiteral("plain"));
        const QByteArray bytes = doc.SaveToBytes();
        QVERIFY(bytes.contains("&#26085;") || bytes.contains("&#x65E5;"));
        auto back = parsed(bytes);
        const TMSXMLNode backRoot = back->GetDocument().DocumentElement();
        QCOMPARE(GetAttr(backRoot, QStringLiteral("Caption")), Mixed);
        QCOMPARE(backRoot.FirstChild().NodeValue(), Mixed);
        QCOMPARE(backRoot.LastChild().NodeValue(), QStringLiteral("plain"));
        QCOMPARE(back->GetEncoding(), encoding);
    }

    void encodings_unencodableCData_failsAndLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("body");
        QTest::newRow("windows-1251, Japanese") << "windows-1251" << QStringLiteral("Привет 日本");
        QTest::newRow("ISO-8859-1, Cyrillic") << "ISO-8859-1" << QStringLiteral("café Привет");
        QTest::newRow("KOI8-R, emoji") << "KOI8-R" << QString::fromUtf8("\xf0\x9f\x98\x80");
        QTest::newRow("US-ASCII, umlaut") << "US-ASCII" << QStringLiteral("ä");
    }

    void encodings_unencodableCData_failsAndLeavesTheOldFile()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, body);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xml"));
        const QByteArray old("<old>content</old>\n");
        QVERIFY(writeFile(fileName, old));
        TMSXMLDocument doc;
        doc.SetEncoding(encoding);
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Root")));
        AppendCDATAText(root, body);
        try {
            doc.SaveToFile(fileName);
            QFAIL("saving did not fail");
        } catch (const EMSXMLError &e) {
            QVERIFY2(e.Message().contains(encoding), qPrintable(e.Message()));
            QVERIFY2(e.Message().contains(QLatin1String("CDATA")), qPrintable(e.Message()));
        }
        QCOMPARE(fileBytes(fileName), old);
        QVERIFY(doc.GetFileName().isEmpty());
    }

    void encodings_unsupportedName_failsOnSaveAndOnLoad()
    {
        TMSXMLDocument doc;
        doc.SetEncoding(QStringLiteral("no-such-charset"));
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToBytes());

        const EMSXMLParseError error =
            loadError([&] { doc.LoadFromFile(testData(QStringLiteral("xml/unknown-encoding-name.xml"))); });
        QVERIFY2(error.Message().contains(QLatin1String("no-such-charset")), qPrintable(error.Message()));

        // Text that is characters already: the declared name must still be a known encoding.
        TMSXMLDocument text;
        QVERIFY_THROWS_EXCEPTION(EMSXMLParseError,
                                 text.LoadXML(QStringLiteral("<?xml version=\"1.0\" encoding=\"bogus\"?><a></a>")));
        text.LoadXML(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>Привет</a>"));
        QCOMPARE(text.GetEncoding(), QStringLiteral("windows-1251"));
        QCOMPARE(text.GetDocument().DocumentElement().Text(), QStringLiteral("Привет"));
    }

    // --- saving -------------------------------------------------------------------------------

    void save_missingFolder_raisesAndCreatesNothing()
    {
        QTemporaryDir dir;
        TMSXMLDocument doc;
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        const QString fileName = dir.filePath(QStringLiteral("missing/doc.xml"));
        try {
            doc.SaveToFile(fileName);
            QFAIL("no error");
        } catch (const EMSXMLError &e) {
            QVERIFY2(e.Message().contains(fileName), qPrintable(e.Message()));
        }
        QVERIFY(!QFile::exists(fileName));
        QVERIFY(doc.GetFileName().isEmpty());
    }

    void save_failedWrite_keepsTheOldFileAndRaises_data()
    {
        QTest::addColumn<TNVKWriteFault>("fault");
        QTest::addColumn<qint64>("bytes");
        for (const TWriteFaultPoint &point : writeFaultPoints())
            QTest::newRow(point.Name) << point.Fault << point.Bytes;
    }

    void save_failedWrite_keepsTheOldFileAndRaises()
    {
        QFETCH(TNVKWriteFault, fault);
        QFETCH(qint64, bytes);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xml"));
        const QByteArray old("<old/>\n");
        QVERIFY(writeFile(fileName, old));
        TMSXMLDocument doc;
        doc.GetDocument()
            .AppendChild(doc.GetDocument().CreateElement(QStringLiteral("new")))
            .SetText(QStringLiteral("more than the bytes a mid-write fault lets through"));
        {
            const TWriteFaultScope scope(fault, bytes, fileName);
            QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToFile(fileName));
        }
        QCOMPARE(fileBytes(fileName), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.xml")});
        QVERIFY(doc.GetFileName().isEmpty());
        // Nothing is left over that would spoil the next save.
        doc.SaveToFile(fileName);
        QVERIFY(fileBytes(fileName).startsWith("<new>more than"));
    }

    void save_overAFolder_raisesAndLeavesTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.xml")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("folder.xml/inside")), "x"));
        TMSXMLDocument doc;
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToFile(dir.filePath(QStringLiteral("folder.xml"))));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("folder.xml/inside"))), QByteArray("x"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void save_elementXml_keepsUnicodeAndReadsBack()
    {
        TMSXMLDocument doc;
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Article")));
        SetAttr(root, QStringLiteral("Caption"), Mixed + QStringLiteral("\t\"<&"));
        AppendCDATAText(FindChild(root, QStringLiteral("Content"), true), Mixed + QStringLiteral("]]>"));
        const QString xml = root.Xml();
        QVERIFY(
            xml.startsWith(QStringLiteral("<Article Caption=\"") + Mixed + QStringLiteral("&#9;&quot;&lt;&amp;\">")));
        QVERIFY(!xml.contains(QLatin1String("<?xml")));
        TMSXMLDocument back;
        back.LoadXML(xml);
        const TMSXMLNode article = back.GetDocument().DocumentElement();
        QCOMPARE(GetAttr(article, QStringLiteral("Caption")), Mixed + QStringLiteral("\t\"<&"));
        QCOMPARE(GetCDATAText(FindChild(article, QStringLiteral("Content"))), Mixed + QStringLiteral("]]>"));
        QVERIFY(!back.HasDeclaration());
    }

    void save_deviceFailingMidway_raisesWithItsReason()
    {
        TMSXMLDocument doc;
        const TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("r")));
        for (int i = 0; i < 1000; ++i)
            root.AppendChild(root.CreateElement(QStringLiteral("item"))).SetText(QStringLiteral("some text"));
        TFailDevice device(5000);
        try {
            doc.SaveToStream(&device);
            QFAIL("saved");
        } catch (const EMSXMLError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot write the XML document: No space left on device"));
        }
    }

    void save_toStream_writesTheSameBytes()
    {
        auto doc = parsed("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a b=\"\xe4\"/>");
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        doc->SaveToStream(&buffer);
        QCOMPARE(buffer.data(), doc->SaveToBytes());
        QVERIFY(buffer.data().contains("b=\"\xe4\""));
        QBuffer input(&buffer.buffer());
        input.open(QIODevice::ReadOnly);
        TMSXMLDocument back;
        back.LoadFromStream(&input);
        QCOMPARE(GetAttr(back.GetDocument().DocumentElement(), QStringLiteral("b")), QStringLiteral("ä"));
    }
};

QTEST_GUILESS_MAIN(TestMSXMLDocument)
#include "tst_MSXMLDocument.moc"
