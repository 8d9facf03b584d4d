// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
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

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(QB_TEST_DATA_DIR "/xml/") + name;
}

QByteArray readBytes(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::shared_ptr<TMSXMLDocument> parsed(const QByteArray &bytes)
{
    auto doc = std::make_shared<TMSXMLDocument>();
    doc->LoadFromBytes(bytes);
    return doc;
}

// The parse error a load raises; an error with reason "no error" when it loads.
EMSXMLParseError loadError(const std::function<void()> &load)
{
    try {
        load();
    } catch (const EMSXMLParseError &e) {
        return e;
    }
    return EMSXMLParseError(QStringLiteral("no error"), 0, 0, 0);
}

const QString Mixed = QStringLiteral("Grüße, Привет, 日本");

} // namespace

class TestMSXML : public QObject
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
        doc.LoadFromFile(dataFile(QStringLiteral("declaration-single-quotes.xml")));
        QVERIFY(doc.HasDeclaration());
        QCOMPARE(doc.GetVersion(), QStringLiteral("1.0"));
        QCOMPARE(doc.GetEncoding(), QStringLiteral("windows-1251"));
        QVERIFY(doc.GetStandalone());
        QCOMPARE(doc.GetFileName(), dataFile(QStringLiteral("declaration-single-quotes.xml")));
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
        doc.LoadFromFile(dataFile(file));
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
        const QByteArray bytes = readBytes(fileName);
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
        writeBytes(fileName, old);
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
        QCOMPARE(readBytes(fileName), old);
        QVERIFY(doc.GetFileName().isEmpty());
    }

    void encodings_unsupportedName_failsOnSaveAndOnLoad()
    {
        TMSXMLDocument doc;
        doc.SetEncoding(QStringLiteral("no-such-charset"));
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToBytes());

        const EMSXMLParseError error =
            loadError([&] { doc.LoadFromFile(dataFile(QStringLiteral("unknown-encoding-name.xml"))); });
        QVERIFY2(error.Message().contains(QLatin1String("no-such-charset")), qPrintable(error.Message()));

        // Text that is characters already: the declared name must still be a known encoding.
        TMSXMLDocument text;
        QVERIFY_THROWS_EXCEPTION(EMSXMLParseError,
                                 text.LoadXML(QStringLiteral("<?xml version=\"1.0\" encoding=\"bogus\"?><a></a>")));
        text.LoadXML(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>Привет</a>"));
        QCOMPARE(text.GetEncoding(), QStringLiteral("windows-1251"));
        QCOMPARE(text.GetDocument().DocumentElement().Text(), QStringLiteral("Привет"));
    }

    // --- parse errors and hostile input -------------------------------------------------------

    void parseErrors_malformedFiles_reportReasonLineAndColumn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reasonPart");
        QTest::addColumn<int>("line");
        QTest::newRow("mismatched end tag") << "mismatched-end-tag.xml"
                                            << "mismatch" << 4;
        QTest::newRow("truncated in element") << "truncated-in-element.xml"
                                              << "" << 3;
        QTest::newRow("empty file") << "empty-file.xml"
                                    << "empty" << 1;
        QTest::newRow("binary garbage") << "binary-garbage.bin"
                                        << "" << 1;
        QTest::newRow("undefined entity") << "undefined-entity.xml"
                                          << "nothing" << 2;
        QTest::newRow("two root elements") << "two-root-elements.xml"
                                           << "Extra content" << 2;
    }

    void parseErrors_malformedFiles_reportReasonLineAndColumn()
    {
        QFETCH(QString, file);
        QFETCH(QString, reasonPart);
        QFETCH(int, line);
        TMSXMLDocument doc;
        const EMSXMLParseError error = loadError([&] { doc.LoadFromFile(dataFile(file)); });
        QVERIFY(error.Message() != QLatin1String("no error"));
        QVERIFY2(error.Message().contains(reasonPart, Qt::CaseInsensitive), qPrintable(error.Message()));
        QVERIFY(error.ErrorCode() != 0);
        QCOMPARE(error.Line(), line);
        QVERIFY(error.LinePos() >= 1);
        QVERIFY(doc.GetFileName().isEmpty());
    }

    void parseErrors_failedLoad_keepsThePreviousDocument()
    {
        TMSXMLDocument doc;
        doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"KOI8-R\"?><kept/>");
        const TMSXMLNode held = doc.GetDocument().DocumentElement();
        QVERIFY_THROWS_EXCEPTION(EMSXMLParseError, doc.LoadFromBytes("<broken>"));
        QVERIFY_THROWS_EXCEPTION(EMSXMLParseError, doc.LoadFromFile(QStringLiteral("/no/such/folder/x.xml")));
        QCOMPARE(doc.GetDocument().DocumentElement().NodeName(), QStringLiteral("kept"));
        QCOMPARE(doc.GetEncoding(), QStringLiteral("KOI8-R"));
        QVERIFY(held == doc.GetDocument().DocumentElement());
    }

    void parseErrors_missingFile_namesTheFile()
    {
        TMSXMLDocument doc;
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("absent.xml"));
        const EMSXMLParseError error = loadError([&] { doc.LoadFromFile(fileName); });
        QVERIFY2(error.Message().contains(fileName), qPrintable(error.Message()));
        QCOMPARE(error.Line(), 0);
    }

    void hostile_entityBombs_areRefusedWithoutExpanding_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("billion laughs") << "billion-laughs.xml"
                                        << "entity reference loop";
        QTest::newRow("small quadratic blow-up") << "quadratic-blowup-small.xml"
                                                 << "'&a;' is not supported";
        QTest::newRow("entity in an attribute only") << "entity-reference-in-attribute.xml"
                                                     << "'&name;' is not supported";
    }

    void hostile_entityBombs_areRefusedWithoutExpanding()
    {
        // Entities are never expanded; the parser stops a bomb, and a document that merely uses
        // declared entities is refused, since its references would otherwise read as nothing.
        QFETCH(QString, file);
        QFETCH(QString, reason);
        TMSXMLDocument doc;
        const EMSXMLParseError error = loadError([&] { doc.LoadFromFile(dataFile(file)); });
        QVERIFY2(error.Message().contains(reason), qPrintable(error.Message()));
        QVERIFY(error.Line() > 0);
        QVERIFY(doc.GetDocument().DocumentElement().IsNull());
    }

    void hostile_externalEntities_areNeverRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("loads");
        QTest::newRow("general entity naming /etc/passwd") << "external-entity-etc-passwd.xml" << false;
        QTest::newRow("parameter entity naming /etc/passwd") << "external-parameter-entity.xml" << true;
        QTest::newRow("external DTD over the network") << "external-dtd-over-network.xml" << true;
    }

    void hostile_externalEntities_areNeverRead()
    {
        QFETCH(QString, file);
        QFETCH(bool, loads);
        TMSXMLDocument doc;
        try {
            doc.LoadFromFile(dataFile(file));
            QVERIFY(loads);
        } catch (const EMSXMLParseError &e) {
            QVERIFY(!loads);
            QVERIFY(!e.Message().contains(QLatin1String("root:")));
            return;
        }
        const TMSXMLNode root = doc.GetDocument().DocumentElement();
        QVERIFY(!root.Text().contains(QLatin1String("root:")));
        QVERIFY(!root.Xml().contains(QLatin1String("root:")));
        QVERIFY(!doc.SaveToBytes().contains("root:"));
    }

    void hostile_externalEntityToATestFile_isNotRead()
    {
        QTemporaryDir dir;
        const QString secret = dir.filePath(QStringLiteral("secret.txt"));
        writeBytes(secret, "TOPSECRET");
        const QByteArray xml = "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + QUrl::fromLocalFile(secret).toEncoded() +
                               "\">]><r a=\"x\">&s;<c>&s;</c></r>";
        TMSXMLDocument doc;
        try {
            doc.LoadFromBytes(xml);
        } catch (const EMSXMLParseError &) {
            return;
        }
        QVERIFY(!doc.GetDocument().DocumentElement().Text().contains(QLatin1String("TOPSECRET")));
        QVERIFY(!doc.SaveToBytes().contains("TOPSECRET"));
    }

    void hostile_hundredThousandNestedElements_isRefusedClearly()
    {
        const int depth = 100000;
        QByteArray xml;
        xml.reserve(depth * 20);
        for (int i = 0; i < depth; ++i)
            xml += "<Article Caption=\"x\">";
        for (int i = 0; i < depth; ++i)
            xml += "</Article>";
        TMSXMLDocument doc;
        const EMSXMLParseError error = loadError([&] { doc.LoadFromBytes(xml); });
        QCOMPARE(error.Message(), QStringLiteral("Elements are nested more than 256 levels deep."));
        QCOMPARE(error.Line(), 1);
    }

    void hostile_deepTreeBuiltInMemory_isWalkedWithoutRecursionAndNotSaved()
    {
        // Building is not bounded by the parser's limit; walking, selecting and freeing must cope,
        // and saving refuses what could not be loaded again.
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("deep.xml"));
        writeBytes(fileName, "<old/>");
        TMSXMLDocument doc;
        TMSXMLNode node = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        const TMSXMLNode root = node;
        for (int i = 0; i < 100000; ++i)
            node = node.AppendChild(node.CreateElement(QStringLiteral("a")));
        node.SetText(QStringLiteral("leaf"));
        QCOMPARE(root.Text(), QStringLiteral("leaf"));
        QCOMPARE(SelectNodeByAttr(root, QStringLiteral("a"), QStringLiteral("id"), QStringLiteral("none")),
                 TMSXMLNode());
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToFile(fileName));
        QCOMPARE(readBytes(fileName), QByteArray("<old/>"));
    }

    void hostile_depthLimit_savedDocumentsAlwaysLoadAgain()
    {
        for (const int depth : {256, 257}) {
            TMSXMLDocument doc;
            TMSXMLNode node = doc.GetDocument();
            for (int i = 0; i < depth; ++i)
                node = node.AppendChild(node.CreateElement(QStringLiteral("Article")));
            if (depth <= 256) {
                auto back = parsed(doc.SaveToBytes());
                QCOMPARE(back->GetDocument().DocumentElement().NodeName(), QStringLiteral("Article"));
            } else {
                QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToBytes());
            }
        }
    }

    void hostile_tenMegabyteAttribute_isAClearErrorOrAReadValue()
    {
        const QByteArray value(10 * 1024 * 1024, 'c');
        const QByteArray xml = "<Article Caption=\"" + value + "\"/>";
        TMSXMLDocument doc;
        try {
            doc.LoadFromBytes(xml);
            QCOMPARE(GetAttr(doc.GetDocument().DocumentElement(), QStringLiteral("Caption")).size(), value.size());
        } catch (const EMSXMLParseError &e) {
            QCOMPARE(e.Message(), QStringLiteral("An attribute value is longer than 10,000,000 bytes."));
            QCOMPARE(e.Line(), 1);
        }
    }

    void hostile_nullStreams_areRefused()
    {
        TMSXMLDocument doc;
        try {
            doc.LoadFromStream(nullptr);
            QFAIL("no error");
        } catch (const EMSXMLError &e) {
            QCOMPARE(e.Message(), QStringLiteral("NULL object reference."));
        }
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToStream(nullptr));
    }

    void hostile_errorsOnTwoThreads_stayWithTheirOwnLoad()
    {
        QString other;
        std::thread worker([&] {
            for (int i = 0; i < 50; ++i) {
                TMSXMLDocument doc;
                other = loadError([&] { doc.LoadFromBytes("<a>\n\n<b></a>"); }).Message();
            }
        });
        QString mine;
        for (int i = 0; i < 50; ++i) {
            TMSXMLDocument doc;
            mine = loadError([&] { doc.LoadFromBytes(""); }).Message();
        }
        worker.join();
        QVERIFY2(mine.contains(QLatin1String("empty")), qPrintable(mine));
        QVERIFY2(other.contains(QLatin1String("mismatch")), qPrintable(other));
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

    void save_readOnlyFolder_raisesAndLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xml"));
        const QByteArray old("<old/>\n");
        writeBytes(fileName, old);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(fileName, QFileDevice::ReadOwner);
        QFile probe(dir.filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("running with rights that ignore file permissions");
        }
        TMSXMLDocument doc;
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("new")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToFile(fileName));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(readBytes(fileName), old);
    }

    void save_overAFolder_raisesAndLeavesTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.xml")));
        writeBytes(dir.filePath(QStringLiteral("folder.xml/inside")), "x");
        TMSXMLDocument doc;
        doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, doc.SaveToFile(dir.filePath(QStringLiteral("folder.xml"))));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("folder.xml/inside"))), QByteArray("x"));
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
        // Takes the first 5,000 bytes, then refuses.
        class TFullDevice : public QIODevice
        {
        protected:
            qint64 readData(char *, qint64) override { return -1; }
            qint64 writeData(const char *, qint64 length) override
            {
                if (FWritten + length > 5000) {
                    setErrorString(QStringLiteral("No space left on device"));
                    return -1;
                }
                FWritten += length;
                return length;
            }

        private:
            qint64 FWritten = 0;
        };
        TMSXMLDocument doc;
        const TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("r")));
        for (int i = 0; i < 1000; ++i)
            root.AppendChild(root.CreateElement(QStringLiteral("item"))).SetText(QStringLiteral("some text"));
        TFullDevice device;
        QVERIFY(device.open(QIODevice::WriteOnly));
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

    // --- nodes --------------------------------------------------------------------------------

    void nodes_attributes_keepOrderAndLineBreaks()
    {
        TMSXMLDocument doc;
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Article")));
        SetAttr(root, QStringLiteral("Caption"), QStringLiteral("one\ttwo\nthree\r\nfour <&>\"'"));
        SetAttr(root, QStringLiteral("IID"), QStringLiteral("_1"));
        SetIntAttr(root, QStringLiteral("Mark"), 5);
        SetAttr(root, QStringLiteral("Created"), QStringLiteral("x"));
        SetIntAttr(root, QStringLiteral("Mark"), 0, true);
        SetIntAttr(root, QStringLiteral("IID"), 7);
        QCOMPARE(root.AttributeNames(), QStringList({"Caption", "IID", "Created"}));
        const QByteArray bytes = doc.SaveToBytes();
        QVERIFY(bytes.contains("Caption=\"one&#9;two&#10;three&#13;&#10;four &lt;&amp;&gt;&quot;'\" IID=\"7\" "
                               "Created=\"x\""));
        auto back = parsed(bytes);
        QCOMPARE(GetAttr(back->GetDocument().DocumentElement(), QStringLiteral("Caption")),
                 QStringLiteral("one\ttwo\nthree\r\nfour <&>\"'"));
    }

    void nodes_charactersXmlCannotHold_areRefused()
    {
        TMSXMLDocument doc;
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.SetAttribute(QStringLiteral("b"), QStringLiteral("x\x01y")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.SetText(QString(QChar(0xD800))));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.CreateCDATASection(QStringLiteral("a]]>b")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.CreateElement(QStringLiteral("two words")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.SetAttribute(QStringLiteral("1x"), QStringLiteral("v")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.CreateProcessingInstruction(QStringLiteral("xml"), QString()));
        QCOMPARE(doc.SaveToBytes(), QByteArray("<a/>\n"));
    }

    void nodes_treeChanges_keepEveryHeldNodeValid()
    {
        TMSXMLDocument doc;
        const TMSXMLNode document = doc.GetDocument();
        TMSXMLNode root = document.AppendChild(document.CreateElement(QStringLiteral("r")));
        // Adjacent text nodes stay separate nodes: none is merged away under a held value.
        const TMSXMLNode first = root.AppendChild(root.CreateTextNode(QStringLiteral("a")));
        const TMSXMLNode second = root.AppendChild(root.CreateTextNode(QStringLiteral("b")));
        const TMSXMLNode middle = root.InsertBefore(root.CreateElement(QStringLiteral("m")), second);
        QCOMPARE(root.ChildCount(), 3);
        QCOMPARE(root.Xml(), QStringLiteral("<r>a<m/>b</r>"));
        root.RemoveChild(first);
        QCOMPARE(first.NodeValue(), QStringLiteral("a"));
        root.ReplaceChild(first, middle);
        QCOMPARE(root.Xml(), QStringLiteral("<r>ab</r>"));
        QVERIFY(middle.ParentNode().IsNull());
        root.SetText(QStringLiteral("new"));
        QCOMPARE(second.NodeValue(), QStringLiteral("b"));
        QCOMPARE(root.Text(), QStringLiteral("new"));
        QCOMPARE(root.OwnerDocument(), document);
        QCOMPARE(middle.OwnerDocument(), document);

        const TMSXMLNode inner = root.AppendChild(root.CreateElement(QStringLiteral("i")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, inner.AppendChild(root));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.AppendChild(root));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, document.AppendChild(document.CreateElement(QStringLiteral("x"))));
        TMSXMLDocument other;
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.AppendChild(other.GetDocument().CreateElement(QStringLiteral("y"))));

        // Attribute nodes handed out by a selection survive changes to the attribute.
        TMSXMLNode holder = root.AppendChild(root.CreateElement(QStringLiteral("h")));
        holder.SetAttribute(QStringLiteral("a"), QStringLiteral("one"));
        const TMSXMLNode attribute = root.SelectSingleNode(QStringLiteral("//h/@a"));
        QCOMPARE(attribute.NodeType(), int(ntAttribute));
        const TMSXMLNode value = attribute.FirstChild();
        holder.SetAttribute(QStringLiteral("a"), QStringLiteral("two"));
        QCOMPARE(value.NodeValue(), QStringLiteral("one"));
        QCOMPARE(attribute.Text(), QStringLiteral("two"));
        holder.RemoveAttribute(QStringLiteral("a"));
        QCOMPARE(attribute.Text(), QStringLiteral("two"));
        QVERIFY(!holder.HasAttribute(QStringLiteral("a")));

        // Nodes outlive the wrapper that made them.
        TMSXMLNode survivor;
        {
            TMSXMLDocument gone;
            gone.LoadFromBytes("<a><b>kept</b></a>");
            survivor = gone.GetDocument().DocumentElement().FirstChild();
            gone.LoadFromBytes("<c/>");
        }
        QCOMPARE(survivor.Text(), QStringLiteral("kept"));
        QCOMPARE(survivor.ParentNode().NodeName(), QStringLiteral("a"));
    }

    void nodes_loadedTypes_andWhitespaceBetweenElementsDropped()
    {
        auto doc = parsed("<?xml version=\"1.0\"?>\n<!-- c -->\n<r>\n  <a>text</a>\n  <b><![CDATA[x]]><![CDATA[y]]></b>"
                          "\n  <?pi data?>\n</r>\n");
        const TMSXMLNode root = doc->GetDocument().DocumentElement();
        QCOMPARE(doc->GetDocument().FirstChild().NodeType(), int(ntComment));
        QCOMPARE(root.ChildCount(), 3);
        QCOMPARE(root.FirstChild().NodeType(), int(ntElement));
        QCOMPARE(root.FirstChild().FirstChild().NodeName(), QStringLiteral("#text"));
        const TMSXMLNode b = root.FirstChild().NextSibling();
        QCOMPARE(b.FirstChild().NodeType(), int(ntCDATASection));
        QCOMPARE(b.FirstChild().NodeName(), QStringLiteral("#cdata-section"));
        QCOMPARE(GetCDATAText(b), QStringLiteral("xy"));
        QCOMPARE(root.LastChild().NodeType(), int(ntProcessingInstruction));
        QCOMPARE(root.LastChild().NodeName(), QStringLiteral("pi"));
        QCOMPARE(root.LastChild().NodeValue(), QStringLiteral("data"));
        QCOMPARE(b.Xml(), QStringLiteral("<b><![CDATA[x]]><![CDATA[y]]></b>"));

        // Whitespace that is an element's whole text is text, not layout.
        auto blanks = parsed("<r>\n <Author> </Author>\n <Remarks>\n\t</Remarks> <Content><![CDATA[ ]]></Content></r>");
        const TMSXMLNode r = blanks->GetDocument().DocumentElement();
        QCOMPARE(r.ChildCount(), 3);
        QCOMPARE(FindChild(r, QStringLiteral("Author")).Text(), QStringLiteral(" "));
        QCOMPARE(FindChild(r, QStringLiteral("Remarks")).Text(), QStringLiteral("\n\t"));
        QCOMPARE(GetCDATAText(FindChild(r, QStringLiteral("Content"))), QStringLiteral(" "));
    }

    void nodes_cdataText_splitsTerminatorsAndLargeBodiesAndComesBackExactly()
    {
        QString body = QStringLiteral("{\\rtf1 a]]>b]]]]>>c]]>}") + QString(12000000, QLatin1Char('r')) +
                       QString::fromUtf8("\xf0\x9f\x98\x80") + QStringLiteral("]]>");
        TMSXMLDocument doc;
        TMSXMLNode root = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("Content")));
        AppendCDATAText(root, body);
        QVERIFY(root.ChildCount() >= 5);
        for (TMSXMLNode n = root.FirstChild(); n; n = n.NextSibling())
            QVERIFY(!n.NodeValue().contains(QLatin1String("]]>")));
        auto back = parsed(doc.SaveToBytes());
        QCOMPARE(GetCDATAText(back->GetDocument().DocumentElement()), body);

        TMSXMLNode empty = doc.GetDocument().DocumentElement().AppendChild(root.CreateElement(QStringLiteral("e")));
        AppendCDATAText(empty, QString());
        QVERIFY(!empty.HasChildNodes());
        QCOMPARE(GetCDATAText(parsed("<c>text<![CDATA[x]]></c>")->GetDocument().DocumentElement()), QString());
    }

    void load_cdataKeptApart_readsSavesAndChangesAsUsual()
    {
        // Sections beyond one storage block, several in a row, and CDATA outside bodies.
        const QByteArray big(5 * 1024 * 1024, 'b');
        const QByteArray source =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><c><![CDATA[one]]><![CDATA[ \xc3\xa9 ]]>"
            "</c><h>text <![CDATA[<kept>]]> more</h><d><![CDATA[" +
            big + "]]></d><e><![CDATA[]]></e></r>";
        TMSXMLDocument doc;
        doc.SetKeepCDATAApart(true);
        doc.LoadFromBytes(source);
        const TMSXMLNode root = doc.GetDocument().DocumentElement();
        const TMSXMLNode c = FindChild(root, QStringLiteral("c"));
        QCOMPARE(GetCDATAText(c), QStringLiteral("one é "));
        QCOMPARE(c.FirstChild().NodeValue(), QStringLiteral("one"));
        QCOMPARE(FindChild(root, QStringLiteral("h")).Text(), QStringLiteral("text <kept> more"));
        QCOMPARE(FindChild(root, QStringLiteral("d")).Text().size(), big.size());
        QCOMPARE(GetCDATAText(FindChild(root, QStringLiteral("e"))), QString());

        // A changed section holds its new text; saving writes every section's text.
        c.FirstChild().SetText(QStringLiteral("two"));
        QCOMPARE(GetCDATAText(c), QStringLiteral("two é "));
        auto back = parsed(doc.SaveToBytes());
        const TMSXMLNode again = back->GetDocument().DocumentElement();
        QCOMPARE(GetCDATAText(FindChild(again, QStringLiteral("c"))), QStringLiteral("two é "));
        QCOMPARE(FindChild(again, QStringLiteral("h")).Text(), QStringLiteral("text <kept> more"));
        QCOMPARE(FindChild(again, QStringLiteral("d")).Text(), QString::fromLatin1(big));
    }

    void load_cdataKeptApart_sameDocumentAndErrorsAsAPlainLoad_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("markup that only looks like sections")
            << QByteArray("\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><!-- <![CDATA[ not one ]]> -->"
                          "<?pi <![CDATA[ nor this ]]>?><r a=\"x > y\" b='&quot;]]'><c><![CDATA[<![CDATA[ <!-- "
                          "text ]]]]><![CDATA[>]]></c>\n  <c>\n<![CDATA[after blanks]]>\n</c>"
                          "<c><![CDATA[]]><![CDATA[second]]> text <![CDATA[third]]></c></r>");
        QTest::newRow("line ends and wide characters")
            << QByteArray("<r><c><![CDATA[a\r\nb\rc\n\rd \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80]]></c></r>");
        QTest::newRow("another encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                                                        "<r><c><![CDATA[caf\xE9]]></c></r>");
        QTest::newRow("document type") << QByteArray("<!DOCTYPE r [<!ENTITY e \"x\">]><r><![CDATA[d]]></r>");
        QTest::newRow("broken UTF-8 in a section") << QByteArray("<r>\n<c><![CDATA[ab\xC3(]]></c></r>");
        QTest::newRow("overlong UTF-8 in a section") << QByteArray("<r><c><![CDATA[\xC0\xAF]]></c></r>");
        QTest::newRow("surrogate in a section") << QByteArray("<r><c><![CDATA[\xED\xA0\x80]]></c></r>");
        QTest::newRow("control character in a section") << QByteArray("<r><c><![CDATA[bell\x07]]></c></r>");
        QTest::newRow("unclosed section") << QByteArray("<r><c><![CDATA[open</c></r>");
        QTest::newRow("section before the root") << QByteArray("<![CDATA[x]]><r/>");
        QTest::newRow("terminator in text") << QByteArray("<r><c><![CDATA[x]]></c> ]]> </r>");
        QTest::newRow("broken tag after a section") << QByteArray("<r><c><![CDATA[x]]></c><d a='1></r>");
    }

    void load_cdataKeptApart_sameDocumentAndErrorsAsAPlainLoad()
    {
        QFETCH(QByteArray, source);
        const auto outcome = [&source](bool apart) -> QByteArray {
            TMSXMLDocument doc;
            doc.SetKeepCDATAApart(apart);
            try {
                doc.LoadFromBytes(source);
            } catch (const EMSXMLParseError &e) {
                return QStringLiteral("error %1 at %2:%3: %4")
                    .arg(e.ErrorCode())
                    .arg(e.Line())
                    .arg(e.LinePos())
                    .arg(e.Message())
                    .toUtf8();
            }
            QByteArray texts;
            for (TMSXMLNode c = doc.GetDocument().DocumentElement().FirstChild(); c; c = c.NextSibling())
                texts += c.Text().toUtf8() + '|' + GetCDATAText(c).toUtf8() + '\n';
            return texts + doc.SaveToBytes();
        };
        const QByteArray plain = outcome(false);
        QCOMPARE(outcome(true), plain);
    }

    // --- iterator -----------------------------------------------------------------------------

    void iterator_visitsOnlyChildrenOfTheName()
    {
        auto doc = parsed("<Items><Article n=\"1\"/><Other/><Article n=\"2\"><Article n=\"inner\"/></Article>"
                          "<!-- x --><Article n=\"3\"/></Items>");
        TMSXMLIterator it(doc->GetDocument().DocumentElement(), QStringLiteral("Article"));
        QVERIFY(it.Current().IsNull());
        QStringList seen;
        while (it.Next())
            seen << GetAttr(it.Current(), QStringLiteral("n"));
        QCOMPARE(seen, QStringList({"1", "2", "3"}));
        QVERIFY(it.Current().IsNull());
        QVERIFY(!it.Next());
        it.Reset();
        QVERIFY(it.Next());
        QCOMPARE(GetAttr(it.Current(), QStringLiteral("n")), QStringLiteral("1"));
    }

    void iterator_noChildren_returnsFalseAtFirstNext()
    {
        auto doc = parsed("<Items/>");
        TMSXMLIterator it(doc->GetDocument().DocumentElement(), QStringLiteral("Article"));
        QVERIFY(!it.Next());
        QVERIFY(it.Current().IsNull());
        try {
            TMSXMLIterator none{TMSXMLNode(), QStringLiteral("Article")};
            QFAIL("no error");
        } catch (const EMSXMLError &e) {
            QCOMPARE(e.Message(), QStringLiteral("NULL interface reference."));
        }
    }

    // --- selection ----------------------------------------------------------------------------

    void select_valuesWithQuotes_matchExactlyAndCannotChangeTheQuery_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "TFAppFrame";
        QTest::newRow("double quote") << "say \"hi\"";
        QTest::newRow("single quote") << "it's";
        QTest::newRow("both quotes") << "it's \"quoted\"";
        QTest::newRow("only quotes") << "\"'\"\"''";
        QTest::newRow("injection") << "x\"] | //Secret | //a[@b=\"";
        QTest::newRow("brackets and slashes") << "a]/b[@c='d'";
        QTest::newRow("empty") << "";
    }

    void select_valuesWithQuotes_matchExactlyAndCannotChangeTheQuery()
    {
        QFETCH(QString, value);
        TMSXMLDocument doc;
        const TMSXMLNode document = doc.GetDocument();
        TMSXMLNode root = document.AppendChild(document.CreateElement(QStringLiteral("Language")));
        TMSXMLNode decoy = root.AppendChild(root.CreateElement(QStringLiteral("Container")));
        SetAttr(decoy, QStringLiteral("class"), value + QStringLiteral("x"));
        root.AppendChild(root.CreateElement(QStringLiteral("Secret")));
        TMSXMLNode target = root.AppendChild(root.CreateElement(QStringLiteral("Container")));
        target.SetAttribute(QStringLiteral("class"), value);

        QCOMPARE(SelectNodeByAttr(decoy, QStringLiteral("Container"), QStringLiteral("class"), value), target);
        QCOMPARE(FindChildByAttr(root, QStringLiteral("Container"), QStringLiteral("class"), value), target);
        QVERIFY(FindChildByAttr(root, QStringLiteral("Container"), QStringLiteral("class"), value + QStringLiteral("!"))
                    .IsNull());
        // Round trip through a file keeps the match.
        auto back = parsed(doc.SaveToBytes());
        const TMSXMLNode found =
            SelectNodeByAttr(back->GetDocument(), QStringLiteral("Container"), QStringLiteral("class"), value);
        QCOMPARE(found.GetAttribute(QStringLiteral("class")), value);
    }

    void select_nodesAndChildren()
    {
        auto doc = parsed("<r><a><b id=\"1\"/></a><b id=\"2\"/></r>");
        const TMSXMLNode root = doc->GetDocument().DocumentElement();
        const TMSXMLNode a = FindChild(root, QStringLiteral("a"));
        // "//" searches the whole document, whatever node it starts from; "./" only children.
        QCOMPARE(GetAttr(SelectNode(root.LastChild(), QStringLiteral("b")), QStringLiteral("id")), QStringLiteral("1"));
        QCOMPARE(GetAttr(FindChild(root, QStringLiteral("b")), QStringLiteral("id")), QStringLiteral("2"));
        QVERIFY(FindChild(a, QStringLiteral("c")).IsNull());
        const TMSXMLNode created = FindChild(a, QStringLiteral("c"), true);
        QCOMPARE(created.ParentNode(), a);
        QCOMPARE(FindChild(a, QStringLiteral("c"), true), created);
        QVERIFY(SelectNode(TMSXMLNode(), QStringLiteral("b")).IsNull());
        QVERIFY(FindChild(TMSXMLNode(), QStringLiteral("b"), true).IsNull());
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, root.SelectSingleNode(QStringLiteral("//[")));
    }

    // --- typed attributes ---------------------------------------------------------------------

    void attributes_textAndIntegers_fallBackToDefaults()
    {
        auto doc =
            parsed("<a empty=\"\" text=\"t\" n=\"12\" spaced=\" 7 \" neg=\"-3\" word=\"x12\" big=\"99999999999\" "
                   "hex=\"0x10\" dollar=\"$10\" real=\"1.5\"/>");
        const TMSXMLNode a = doc->GetDocument().DocumentElement();
        QCOMPARE(GetAttr(a, QStringLiteral("empty"), QStringLiteral("def")), QStringLiteral("def"));
        QCOMPARE(GetAttr(a, QStringLiteral("missing"), QStringLiteral("def")), QStringLiteral("def"));
        QCOMPARE(GetAttr(a, QStringLiteral("text"), QStringLiteral("def")), QStringLiteral("t"));
        QCOMPARE(GetAttr(TMSXMLNode(), QStringLiteral("text"), QStringLiteral("def")), QStringLiteral("def"));
        QCOMPARE(GetIntAttr(a, QStringLiteral("n"), -1), 12);
        QCOMPARE(GetIntAttr(a, QStringLiteral("spaced"), -1), 7);
        QCOMPARE(GetIntAttr(a, QStringLiteral("neg"), -1), -3);
        for (const char *name : {"missing", "empty", "word", "big", "hex", "dollar", "real"})
            QCOMPARE(GetIntAttr(a, QString::fromLatin1(name), 42), 42);
        QCOMPARE(GetIntAttr(TMSXMLNode(), QStringLiteral("n"), 42), 42);
    }

    void attributes_dates_readOnlyTheNineteenCharacterForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << "2003-01-15 09:31:12" << true;
        QTest::newRow("end of day") << "1999-12-31 23:59:59" << true;
        QTest::newRow("leap day") << "2004-02-29 00:00:00" << true;
        QTest::newRow("one-digit month") << "2003-1-15 09:31:12" << false;
        QTest::newRow("one-digit hour") << "2003-01-15 9:31:12" << false;
        QTest::newRow("30 February") << "2003-02-30 10:00:00" << false;
        QTest::newRow("month 13") << "2003-13-01 10:00:00" << false;
        QTest::newRow("hour 24") << "2003-01-01 24:00:00" << false;
        QTest::newRow("T separator") << "2003-01-15T09:31:12" << false;
        QTest::newRow("slashes") << "2003/01/15 09:31:12" << false;
        QTest::newRow("fractions") << "2003-01-15 09:31:12.5" << false;
        QTest::newRow("sign in digits") << "2003-01-15 09:31:+2" << false;
        QTest::newRow("year zero") << "0000-01-01 00:00:00" << false;
        QTest::newRow("empty") << "" << false;
    }

    void attributes_dates_readOnlyTheNineteenCharacterForm()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        TMSXMLDocument doc;
        TMSXMLNode a = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        SetAttr(a, QStringLiteral("Created"), text);
        const TDateTime fallback = EncodeDateTime(2020, 5, 6, 7, 8, 9);
        const TDateTime value = GetDateAttr(a, QStringLiteral("Created"), fallback);
        if (!valid) {
            QCOMPARE(value, fallback);
            return;
        }
        QVERIFY(value != fallback);
        QCOMPARE(DateTimeToQDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), text);
        SetDateAttr(a, QStringLiteral("Again"), value);
        QCOMPARE(a.GetAttribute(QStringLiteral("Again")), text);
    }

    void attributes_dates_writeWholeSecondsAndRemove()
    {
        TMSXMLDocument doc;
        TMSXMLNode a = doc.GetDocument().AppendChild(doc.GetDocument().CreateElement(QStringLiteral("a")));
        SetDateAttr(a, QStringLiteral("Created"), EncodeDateTime(2003, 1, 15, 9, 31, 12, 700));
        QCOMPARE(a.GetAttribute(QStringLiteral("Created")), QStringLiteral("2003-01-15 09:31:12"));
        QCOMPARE(GetDateAttr(a, QStringLiteral("Missing"), 1.5), 1.5);
        SetDateAttr(a, QStringLiteral("Created"), 0, true);
        QVERIFY(!a.HasAttribute(QStringLiteral("Created")));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, SetDateAttr(a, QStringLiteral("Created"), 1e300));
    }

    // --- identifier map -----------------------------------------------------------------------

    void identMap_namesAndHexadecimalTexts_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("clRed") << "TColor"
                               << "clRed" << 0x0000FF;
        QTest::newRow("clBlue") << "TColor"
                                << "clBlue" << 0xFF0000;
        QTest::newRow("case ignored") << "TColor"
                                      << "CLRED" << 0x0000FF;
        QTest::newRow("clScrollBar") << "TColor"
                                     << "clScrollBar" << int(0x80000000u);
        QTest::newRow("clWindowText") << "TColor"
                                      << "clWindowText" << int(0x80000008u);
        QTest::newRow("clInfoBk") << "TColor"
                                  << "clInfoBk" << int(0x80000018u);
        QTest::newRow("clNone") << "TColor"
                                << "clNone" << 0x1FFFFFFF;
        QTest::newRow("hex without $") << "TColor"
                                       << "FF0000" << 0xFF0000;
        QTest::newRow("hex with $") << "TColor"
                                    << "$FF0000" << 0xFF0000;
        QTest::newRow("12 is hex") << "TColor"
                                   << "12" << 18;
        QTest::newRow("32-bit pattern") << "TColor"
                                        << "$80000005" << int(0x80000005u);
        QTest::newRow("not hex") << "TColor"
                                 << "clNoSuch" << 0;
        QTest::newRow("too long") << "TColor"
                                  << "123456789" << 0;
        QTest::newRow("empty") << "TColor"
                               << "" << 0;
        QTest::newRow("crDefault") << "TCursor"
                                   << "crDefault" << 0;
        QTest::newRow("crHandPoint") << "TCursor"
                                     << "crhandpoint" << -21;
        QTest::newRow("crSize") << "TCursor"
                                << "crSize" << -22;
        QTest::newRow("mrOk") << "TModalResult"
                              << "mrOk" << 1;
        QTest::newRow("mrYesToAll") << "TModalResult"
                                    << "mrYesToAll" << 10;
        QTest::newRow("unknown type") << "TAlign"
                                      << "alClient" << -1;
    }

    void identMap_namesAndHexadecimalTexts()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(IdentToInt(type, text), value);
    }

    void identMap_typesAndReverseLookup()
    {
        QCOMPARE(IndexOfType(QStringLiteral("TColor")), 0);
        QCOMPARE(IndexOfType(QStringLiteral("TCursor")), 1);
        QCOMPARE(IndexOfType(QStringLiteral("TModalResult")), 2);
        QCOMPARE(IndexOfType(QStringLiteral("TFont")), -1);
        QString name;
        QVERIFY(IntToIdent(QStringLiteral("TColor"), int(0x80000008u), name));
        QCOMPARE(name, QStringLiteral("clWindowText"));
        QVERIFY(!IntToIdent(QStringLiteral("TColor"), 0x123456, name));
        QVERIFY(IntToIdent(QStringLiteral("TCursor"), -21, name));
        QCOMPARE(name, QStringLiteral("crHandPoint"));
    }
};

QTEST_GUILESS_MAIN(TestMSXML)
#include "tst_MSXML.moc"
