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

// Nodes, iteration, selection, typed attributes and the identifier map.
class TestMSXMLNodes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestMSXMLNodes)
#include "tst_MSXMLNodes.moc"
