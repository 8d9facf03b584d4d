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

// Parse errors and hostile input.
class TestMSXMLHostile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        const EMSXMLParseError error = loadError([&] { doc.LoadFromFile(testData(QStringLiteral("xml/") + file)); });
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
        const EMSXMLParseError error = loadError([&] { doc.LoadFromFile(testData(QStringLiteral("xml/") + file)); });
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
            doc.LoadFromFile(testData(QStringLiteral("xml/") + file));
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
        QVERIFY(writeFile(secret, "TOPSECRET"));
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
        QVERIFY(writeFile(fileName, "<old/>"));
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
        QCOMPARE(fileBytes(fileName), QByteArray("<old/>"));
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
};

QTEST_GUILESS_MAIN(TestMSXMLHostile)
#include "tst_MSXMLHostile.moc"
