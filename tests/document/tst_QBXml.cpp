// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBXml.h"
#include "support/DocumentCompare.h"
#include "support/DocumentRecorder.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime LoadTime(QDate(2026, 5, 4), QTime(3, 2, 1));

// The example notebook of the format, built through the model.
IQBDocumentPtr exampleDocument()
{
    IQBDocumentPtr document = NewQBDocument();
    document->SetAuthor(QStringLiteral("Research group"));
    document->SetAutoRevision(true);
    document->SetRevision(4);
    const IQBArticlePtr root = document->Root();
    root->SetCreated(EncodeDateTime(2003, 1, 15, 9, 30, 0));
    const IQBArticlePtr ideas = document->AddChild(root);
    ideas->SetCaption(QStringLiteral("Ideas"));
    ideas->SetMark(5);
    ideas->SetCreated(EncodeDateTime(2003, 1, 15, 9, 31, 12));
    ideas->SetContent(QStringLiteral("{\\rtf1\\ansi ... }"));
    const IQBArticlePtr empty = document->AddChild(root);
    empty->SetCaption(QStringLiteral("Empty note"));
    empty->SetCreated(EncodeDateTime(2003, 1, 16, 18, 2, 45));
    return document;
}

QByteArray written(const IQBDocumentPtr &document)
{
    return TQBXmlWriter(QString()).WriteToBytes(document);
}

IQBDocumentPtr readBack(const QByteArray &bytes)
{
    return TQBXmlReader(QString()).ReadFromBytes(bytes);
}

// A chain of articles levels deep below the root, built through the item lists as a reader
// builds trees: the document's own operations stop at the deepest level a file holds.
IQBDocumentPtr chainDocument(int levels)
{
    IQBDocumentPtr document = NewQBDocument();
    IQBArticlePtr article = document->Root();
    for (int i = 0; i < levels; ++i) {
        const IQBArticlePtr child = document->CreateArticle();
        article->Items()->Add(child);
        article = child;
    }
    article->SetContent(QStringLiteral("deepest"));
    return document;
}

} // namespace

class TestQBXml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        NVKSetClock([] { return LoadTime; });
    }
    void cleanup() { NVKSetClock(nullptr); }

    // --- identifiers -------------------------------------------------------------------------

    void iids_toTextAndBack_data()
    {
        QTest::addColumn<int>("iid");
        QTest::addColumn<QString>("text");
        QTest::newRow("root") << 0 << QStringLiteral("_0");
        QTest::newRow("seventeen") << 17 << QStringLiteral("_17");
        QTest::newRow("negative keeps its sign") << -3 << QStringLiteral("_-3");
        QTest::newRow("largest") << std::numeric_limits<qint32>::max() << QStringLiteral("_2147483647");
        QTest::newRow("smallest") << std::numeric_limits<qint32>::min() << QStringLiteral("_-2147483648");
    }
    void iids_toTextAndBack()
    {
        QFETCH(int, iid);
        QFETCH(QString, text);
        QCOMPARE(IIDToStr(iid), text);
        QCOMPARE(StrToIID(text), iid);
    }

    void iids_malformedTexts_failWithTheText_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text : {"", "17", "_", "_x", "_-", "_ 5", "_5 ", "_+5", "_$1F", "_0x10", "_1.0", "_2147483648",
                                 "_-2147483649", "__1", "-_1", "_٣"})
            QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
    }
    void iids_malformedTexts_failWithTheText()
    {
        QFETCH(QString, text);
        try {
            StrToIID(text);
            QFAIL("no error");
        } catch (const EQBReaderError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Invalid article ID: %1.").arg(text));
        }
    }

    void iids_hugeText_isShortenedInTheMessage()
    {
        const QString text = QLatin1Char('_') + QString(100000, QLatin1Char('9'));
        const QString message = messageOf([&] { StrToIID(text); });
        QVERIFY(message.startsWith(QStringLiteral("Invalid article ID: _999")));
        QVERIFY(message.size() < 100);
    }

    // --- writer ------------------------------------------------------------------------------

    void write_example_isByteForByteTheFormatsExample()
    {
        const QByteArray expected = fileBytes(testData(QStringLiteral("xqb/example-1.1.xqb")));
        QCOMPARE(written(exampleDocument()), expected);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("example.xqb"));
        QBWriteDocument(exampleDocument(), fileName);
        QCOMPARE(fileBytes(fileName), expected);
    }

    void write_emptyHeaderTexts_headerHoldsOnlyRevision()
    {
        IQBDocumentPtr document = NewQBDocument();
        document->Root()->SetCreated(EncodeDateTime(2020, 1, 2, 3, 4, 5));
        const QByteArray bytes = written(document);
        QVERIFY(bytes.contains("<Header><Revision Auto=\"no\" Value=\"0\"/></Header>"));
        QVERIFY(bytes.contains("<Article Caption=\"Root\" IID=\"_0\" Created=\"2020-01-02 03:04:05\"/>"));
        QVERIFY(!bytes.contains("Mark="));
        QVERIFY(!bytes.contains("<Content"));
        QVERIFY(!bytes.contains("<Items"));
    }

    void write_emptyEncoding_declarationWithoutEncodingInUtf8()
    {
        IQBDocumentPtr document = NewQBDocument();
        document->SetEncoding(QString());
        document->SetAuthor(QStringLiteral("Zoë"));
        const QByteArray bytes = written(document);
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>\n<Snippets"));
        QVERIFY(bytes.contains(QStringLiteral("<Author>Zoë</Author>").toUtf8()));
        QCOMPARE(readBack(bytes)->Encoding(), QString());
    }

    void write_changesNothingInTheDocument()
    {
        IQBDocumentPtr document = sampleDocument();
        controlOf(document)->SetFileName(QStringLiteral("old name"));
        controlOf(document)->SetVersion(QStringLiteral("1.0"));
        TDocumentRecorder recorder(document);
        QTemporaryDir dir;
        QBWriteDocument(document, dir.filePath(QStringLiteral("a.xqb")));
        QVERIFY(recorder.Notices.isEmpty());
        QVERIFY(document->Modified());
        QVERIFY(document->Root()->Next()->Modified());
        QVERIFY(document->IsNew());
        QCOMPARE(document->FileName(), QStringLiteral("old name"));
        QCOMPARE(document->Version(), QStringLiteral("1.0"));
        QCOMPARE(controlOf(document)->Operation(), opNone);
        QVERIFY(fileBytes(dir.filePath(QStringLiteral("a.xqb"))).contains("<Snippets Version=\"1.1\""));
    }

    // --- round trips -------------------------------------------------------------------------

    void roundTrip_everyFieldComesBack_data()
    {
        QTest::addColumn<QString>("encoding");
        for (const char *name : {"UTF-8", "UTF-16", "UTF-16LE", "ISO-8859-1", "ISO-8859-5", "windows-1251",
                                 "windows-1252", "KOI8-R", "US-ASCII", ""})
            QTest::newRow(name[0] ? name : "no encoding") << QString::fromLatin1(name);
    }
    void roundTrip_everyFieldComesBack()
    {
        QFETCH(QString, encoding);
        IQBDocumentPtr document = sampleDocument();
        document->SetEncoding(encoding);
        // Bodies are rich-text source: 7-bit in every encoding but the Unicode ones.
        const bool unicode = encoding.startsWith(QLatin1String("UTF")) || encoding.isEmpty();
        if (!unicode)
            for (IQBArticlePtr a = document->Root(); a; a = a->Next())
                if (!a->Content().isEmpty())
                    a->SetContent(rtf(QStringLiteral("\\u8364? ]]> \n") + IIDToStr(a->IID())));
        // A zero-width no-break space at the start of a text is a character, not a byte order mark.
        document->Root()->SetCaption(QChar(0xFEFF) + document->Root()->Caption());
        if (unicode)
            document->Root()->SetContent(QChar(0xFEFF) + document->Root()->Content());
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("round.xqb"));
        QBWriteDocument(document, fileName);
        const IQBDocumentPtr loaded = QBReadDocument(fileName);
        compareDocuments(loaded, document);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(loaded->Encoding(), encoding);
        QCOMPARE(loaded->Version(), QStringLiteral("1.1"));

        // The bytes really are in that encoding: the declaration names it and they decode.
        const QByteArray bytes = fileBytes(fileName);
        if (!encoding.startsWith(QLatin1String("UTF-16"))) {
            const QByteArray declaration = encoding.isEmpty() ? QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>")
                                                              : "<?xml version=\"1.0\" encoding=\"" +
                                                                    encoding.toLatin1() + "\" standalone=\"yes\"?>";
            QVERIFY(bytes.startsWith(declaration));
        }
        if (encoding == QLatin1String("KOI8-R") || encoding == QLatin1String("windows-1251")) {
            auto decoder = QStringDecoder(encoding.toLatin1().constData());
            QVERIFY(decoder.isValid());
            const QString text = decoder(bytes);
            QVERIFY(text.contains(QStringLiteral("Caption=\"Привет, мир\"")));
        }
        // Writing what was read gives the same bytes again.
        QCOMPARE(written(loaded), bytes);
    }

    void write_utf8_sameTextAsTheSerialiserWritesInOtherEncodings()
    {
        // UTF-8 files are written straight from the model, other encodings through the DOM; both
        // must say the same. A body of more than a million units tests where sections are cut.
        IQBDocumentPtr document = sampleDocument();
        const IQBArticlePtr big = document->AddChild(document->Root()->Next());
        big->SetCaption(QStringLiteral("big"));
        big->SetMark(3);
        big->SetContent(QString(999999, QLatin1Char('x')) + QStringLiteral("\U0001F600]]>tail ]]") +
                        QString(1000000, QChar(0x00E9)));
        document->Root()->Next()->Next()->SetContent(QString());
        const auto afterDeclaration = [](const QString &text) { return text.mid(text.indexOf(QLatin1Char('\n'))); };

        document->SetEncoding(QStringLiteral("UTF-8"));
        const QByteArray streamed = written(document);
        QVERIFY(streamed.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Snippets"));
        document->SetEncoding(QStringLiteral("UTF-16"));
        const QByteArray utf16 = written(document);
        auto decoder = QStringDecoder(QStringDecoder::Utf16);
        const QString serialised = decoder(utf16);
        QVERIFY(serialised.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"")));
        QCOMPARE(afterDeclaration(QString::fromUtf8(streamed)), afterDeclaration(serialised));
        QCOMPARE(readBack(streamed)->FindArticle(big->IID())->Content(), big->Content());

        // A character XML cannot hold fails the stream as it fails the DOM.
        document->SetEncoding(QStringLiteral("UTF-8"));
        big->SetContent(QStringLiteral("bell \a"));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, written(document));
        big->SetContent(QStringLiteral("ok"));
        big->SetCaption(QStringLiteral("lone ") + QChar(0xD800));
        QVERIFY_THROWS_EXCEPTION(EMSXMLError, written(document));
    }

    void roundTrip_loadedState_isUnmodifiedAndKeepsFileValues()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("state.xqb"));
        IQBDocumentPtr document = sampleDocument();
        // LastIID below an IID in the tree and a duplicate IID: both are taken as they are.
        document->Root()->Next()->SetIID(77);
        document->Root()->Next()->Next()->SetIID(77);
        QBWriteDocument(document, fileName);
        const IQBDocumentPtr loaded = QBReadDocument(fileName);
        QCOMPARE(loaded->LastIID(), document->LastIID());
        QCOMPARE(loaded->LastIID(), 4);
        QCOMPARE(loaded->FindArticle(77)->Caption(), document->Root()->Next()->Caption());
        QVERIFY(!loaded->Modified());
        for (IQBArticlePtr a = loaded->Root(); a; a = a->Next())
            QVERIFY(!a->Modified());
        QVERIFY(loaded->IsNew());
        QCOMPARE(loaded->FileName(), QString());
        QCOMPARE(controlOf(loaded)->Operation(), opNone);
        // New articles continue after the file's LastIID.
        QCOMPARE(loaded->AddChild(loaded->Root())->IID(), 5);
    }

    void roundTrip_cdataTerminators_splitOverSectionsAndJoined()
    {
        IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr a = document->AddChild(document->Root());
        const QString body = QStringLiteral("]]>start ]]]]>> middle]]>]]> end]]");
        a->SetContent(body);
        const QByteArray bytes = written(document);
        QVERIFY(bytes.contains("<Content><![CDATA[]]]]><![CDATA[>start ]]]]]]><![CDATA[>> middle]]]]><![CDATA[>]]]]>"
                               "<![CDATA[> end]]]]></Content>"));
        QCOMPARE(readBack(bytes)->FindArticle(1)->Content(), body);
    }

    void roundTrip_carriageReturnsInBodies_comeBackAsLineFeedsInOneSection()
    {
        // XML reads every line end inside CDATA as a line feed; rich text treats both alike. The
        // body stays one section, so readers that take only the first section read all of it.
        IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr a = document->AddChild(document->Root());
        a->SetContent(QStringLiteral("{\\rtf1\r\nline\\par\rline\r\n}"));
        const QByteArray bytes = written(document);
        QVERIFY(bytes.contains("<Content><![CDATA[{\\rtf1\r\nline\\par\rline\r\n}]]></Content>"));
        QCOMPARE(readBack(bytes)->FindArticle(1)->Content(), QStringLiteral("{\\rtf1\nline\\par\nline\n}"));
    }

    void roundTrip_largeBodyAndCaption_comeBack()
    {
        IQBDocumentPtr document = NewQBDocument();
        const IQBArticlePtr a = document->AddChild(document->Root());
        QString body;
        while (body.size() < 12000000)
            body += QStringLiteral("{\\b bold}]]>\\u8364?😀 ");
        a->SetContent(body);
        a->SetCaption(QString(3000000, QChar(0x00E9)));
        const IQBDocumentPtr loaded = readBack(written(document));
        QCOMPARE(loaded->FindArticle(1)->Content(), body);
        QCOMPARE(loaded->FindArticle(1)->Caption(), a->Caption());
    }

    // --- reader ------------------------------------------------------------------------------

    void read_bodyInOneSectionOverTenMegabytes_readsExactly()
    {
        // Other writers put each body in one section; the parser alone takes ten million bytes.
        QByteArray body = "{\\rtf1 caf\xC3\xA9 \xF0\x9F\x98\x80 {\\pict\\pngblip ";
        while (body.size() < 12 * 1000 * 1000)
            body += "0123456789abcdef]]0123456789abcdef\r\n";
        body += "}}";
        const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Snippets Version=\"1.1\"><Article "
                                 "IID=\"_0\"><Items><Article IID=\"_1\" Caption=\"big\"><Content><![CDATA[" +
                                 body + "]]></Content></Article></Items></Article></Snippets>";
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("big.xqb"));
        QVERIFY(writeFile(fileName, bytes));
        const QString expected = QString::fromUtf8(body).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const IQBDocumentPtr document = QBReadDocument(fileName);
        QCOMPARE(document->FindArticle(1)->Content(), expected);
        QCOMPARE(readBack(bytes)->FindArticle(1)->Content(), expected);
        QCOMPARE(readBack(written(document))->FindArticle(1)->Content(), expected);

        // A file in another encoding is read by the parser alone, which refuses the section clearly.
        QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        const QByteArray utf16 =
            toUtf16(QString::fromUtf8(bytes).replace(QStringLiteral("UTF-8"), QStringLiteral("UTF-16")));
        QCOMPARE(messageOf([&] { readBack(utf16); }),
                 QStringLiteral("A CDATA section is longer than 10,000,000 bytes."));
    }

    void read_brokenFiles_giveTheirError_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *file, const char *kind, const QString &message) {
            QTest::newRow(file) << QString::fromLatin1(file) << QString::fromLatin1(kind) << message;
        };
        const char *reader = "reader";
        const char *parser = "parser";
        row("root-element-not-snippets.xqb", reader, QStringLiteral("Not a valid Quillbox document."));
        row("root-element-lowercase.xqb", reader, QStringLiteral("Not a valid Quillbox document."));
        row("version-missing.xqb", reader, QStringLiteral("Unknown document version"));
        row("version-empty.xqb", reader, QStringLiteral("Unknown document version"));
        row("version-2.0.xqb", reader, QStringLiteral("Unknown document version"));
        row("no-root-article.xqb", reader, QStringLiteral("Document does not have a root article."));
        row("root-article-only-in-header.xqb", reader, QStringLiteral("Document does not have a root article."));
        row("iid-without-underscore.xqb", reader, QStringLiteral("Invalid article ID: 17."));
        row("iid-empty.xqb", reader, QStringLiteral("Invalid article ID: ."));
        row("iid-missing.xqb", reader, QStringLiteral("Invalid article ID: ."));
        row("iid-not-a-number.xqb", reader, QStringLiteral("Invalid article ID: _x."));
        row("iid-underscore-only.xqb", reader, QStringLiteral("Invalid article ID: _."));
        row("iid-hexadecimal.xqb", reader, QStringLiteral("Invalid article ID: _$1F."));
        row("iid-beyond-32-bits.xqb", reader, QStringLiteral("Invalid article ID: _2147483648."));
        row("iid-wrong-in-grandchild.xqb", reader, QStringLiteral("Invalid article ID: _2 ."));
        row("iid-of-10000-characters.xqb", reader,
            QStringLiteral("Invalid article ID: _") + QString(39, QLatin1Char('9')) + QChar(0x2026) + QLatin1Char('.'));
        row("empty-file.xqb", parser, QStringLiteral("Document is empty"));
        row("binary-garbage.xqb", parser, QStringLiteral("Start tag expected, '<' not found"));
        row("truncated-in-article.xqb", parser, QStringLiteral("AttValue: ' expected"));
        row("truncated-in-cdata.xqb", parser, QStringLiteral("CData section not finished\n{\\rtf1 a"));
        row("mismatched-end-tag.xqb", parser,
            QStringLiteral("Opening and ending tag mismatch: Article line 2 and Items"));
        row("entity-expansion-bomb.xqb", parser, QStringLiteral("Detected an entity reference loop"));
        row("entity-expansion-bomb-in-text.xqb", parser, QStringLiteral("Detected an entity reference loop"));
        row("external-entity-etc-passwd.xqb", parser,
            QStringLiteral("The entity reference '&passwd;' is not supported."));
        row("external-entity-in-caption.xqb", parser, QStringLiteral("Attribute references external entity 'passwd'"));
        row("unsupported-encoding.xqb", parser, QStringLiteral("Unsupported encoding x-no-such-charset"));
    }
    void read_brokenFiles_giveTheirError()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString fileName = testData(QStringLiteral("broken/") + file);
        QVERIFY(QFileInfo::exists(fileName));
        try {
            QBReadDocument(fileName);
            QFAIL("the file was read");
        } catch (const EQBReaderError &e) {
            QCOMPARE(QStringLiteral("reader"), kind);
            QCOMPARE(e.Message(), message);
        } catch (const EMSXMLParseError &e) {
            QCOMPARE(QStringLiteral("parser"), kind);
            QCOMPARE(e.Message(), message);
        }
    }

    void read_missingFile_isAParseErrorNamingIt()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("nothing.xqb"));
        try {
            QBReadDocument(fileName);
            QFAIL("read");
        } catch (const EMSXMLParseError &e) {
            QVERIFY(e.Message().contains(fileName));
        }
    }

    void read_valuesThatDoNotConvert_fallBackToDefaults()
    {
        const IQBDocumentPtr document = QBReadDocument(testData(QStringLiteral("xqb/defaults.xqb")));
        const TDateTime now = DateTimeFromQDateTime(LoadTime);
        QCOMPARE(document->LastIID(), 0);
        QCOMPARE(document->AutoRevision(), false); // "YES" is not "yes"
        QCOMPARE(document->Revision(), 0);
        QCOMPARE(document->Author(), QString());
        const IQBArticlePtr root = document->Root();
        QCOMPARE(root->Caption(), QString());
        QCOMPARE(root->Mark(), quint8(44));                   // 300 kept in 8 bits
        QCOMPARE(secondsOf(root->Created()), secondsOf(now)); // month 13
        const QList<IQBArticlePtr> items = root->Items()->LockList();
        root->Items()->UnlockList();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(0)->Mark(), quint8(255));
        QCOMPARE(secondsOf(items.at(0)->Created()), secondsOf(now)); // 30 February
        QCOMPARE(items.at(0)->Content(), QString());                 // text, not CDATA
        QCOMPARE(items.at(1)->Mark(), quint8(0));
        QCOMPARE(secondsOf(items.at(1)->Created()), secondsOf(now)); // one-digit month
        QCOMPARE(secondsOf(items.at(2)->Created()), secondsOf(now)); // other separators
        QCOMPARE(items.at(3)->IID(), -5);
        QCOMPARE(items.at(3)->Mark(), quint8(7));
        QCOMPARE(secondsOf(items.at(3)->Created()), secondsOf(now)); // empty
    }

    void read_noHeader_leavesHeaderDefaults()
    {
        const IQBDocumentPtr document = QBReadDocument(testData(QStringLiteral("xqb/no-header.xqb")));
        QCOMPARE(document->Author(), QString());
        QCOMPARE(document->Revision(), 0);
        QCOMPARE(document->AutoRevision(), false);
        QCOMPARE(document->Root()->Caption(), QStringLiteral("Alone"));
        QCOMPARE(document->ArticleCount(), 1);
    }

    void read_singleQuotedDeclarationInWindows1251_readsEncodingAndText()
    {
        const IQBDocumentPtr document = QBReadDocument(testData(QStringLiteral("xqb/single-quotes-windows-1251.xqb")));
        QCOMPARE(document->Encoding(), QStringLiteral("windows-1251"));
        QCOMPARE(document->Author(), QStringLiteral("Пётр"));
        QCOMPARE(document->AutoRevision(), true);
        QCOMPARE(document->Revision(), 3);
        QCOMPARE(document->Root()->Caption(), QStringLiteral("Корень"));
        QCOMPARE(document->FindArticle(1)->Caption(), QStringLiteral("Заметка"));
    }

    void read_contentStartingWithText_hasEmptyBodyAndOtherNodesAreSkipped()
    {
        const QByteArray bytes =
            "<Snippets Version=\"1.1\"><Article IID=\"_0\"><Content>text<![CDATA[cdata]]></Content><Items>"
            "<?Article IID=\"_9\"?><!-- Article --><Note IID=\"_8\"/>text<Article IID=\"_1\"><Content/></Article>"
            "<Article IID=\"_2\"><Content><![CDATA[one]]><![CDATA[two]]><!--x--><![CDATA[three]]></Content></Article>"
            "</Items><Items><Article IID=\"_3\"/></Items></Article></Snippets>";
        const IQBDocumentPtr document = readBack(bytes);
        QCOMPARE(document->Root()->Content(), QString());
        QCOMPARE(document->ArticleCount(), 3); // the second "Items" is not read
        QCOMPARE(document->FindArticle(1)->Content(), QString());
        QCOMPARE(document->FindArticle(2)->Content(), QStringLiteral("onetwo"));
        QVERIFY(!document->FindArticle(3));
    }

    void read_raisesNoNoticesAndFailedReadsReturnNothing()
    {
        // A read either returns a whole document or raises; nothing half-filled escapes.
        IQBDocumentPtr document;
        QVERIFY(!messageOf([&] {
                     document = QBReadDocument(testData(QStringLiteral("broken/iid-wrong-in-grandchild.xqb")));
                 }).isEmpty());
        QVERIFY(!document);
    }

    // --- hostile files -----------------------------------------------------------------------

    void hostile_hundredThousandNestedArticles_isRefusedClearly()
    {
        QByteArray bytes = "<?xml version=\"1.0\"?><Snippets Version=\"1.1\" LastIID=\"100000\">";
        for (int i = 0; i < 100000; ++i)
            bytes += "<Article IID=\"_" + QByteArray::number(i) + "\"><Items>";
        for (int i = 0; i < 100000; ++i)
            bytes += "</Items></Article>";
        bytes += "</Snippets>";
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("deep.xqb"));
        QVERIFY(writeFile(fileName, bytes));
        try {
            QBReadDocument(fileName);
            QFAIL("read");
        } catch (const EMSXMLParseError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Elements are nested more than 256 levels deep."));
            QCOMPARE(e.Line(), 1);
        }
    }

    void hostile_deepestReadableTree_readsAndWritesAgain()
    {
        // 126 levels below the root with a body at the bottom is the deepest tree a file holds.
        const IQBDocumentPtr document = chainDocument(126);
        const IQBDocumentPtr loaded = readBack(written(document));
        compareDocuments(loaded, document);
        IQBArticlePtr last = loaded->Root();
        while (last->Next())
            last = last->Next();
        QCOMPARE(last->Level(), 126);
        QCOMPARE(last->Content(), QStringLiteral("deepest"));
    }

    void hostile_treeTooDeepToReadBack_isNotSavedAndTheOldFileStays()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("keep.xqb"));
        QBWriteDocument(exampleDocument(), fileName);
        const QByteArray before = fileBytes(fileName);
        for (int levels : {127, 5000}) {
            const QString message = messageOf([&] { QBWriteDocument(chainDocument(levels), fileName); });
            QVERIFY2(message.startsWith(QStringLiteral("The articles are nested more than 126 levels deep")),
                     qPrintable(message));
            QCOMPARE(fileBytes(fileName), before);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.xqb")});
    }

    void hostile_tenMegabyteCaption_isAClearErrorEitherWay()
    {
        QByteArray bytes = "<Snippets Version=\"1.1\"><Article IID=\"_0\" Caption=\"";
        bytes += QByteArray(10 * 1024 * 1024, 'x');
        bytes += "\"/></Snippets>";
        const QString message = messageOf([&] { readBack(bytes); });
        QCOMPARE(message, QStringLiteral("An attribute value is longer than 10,000,000 bytes."));

        // A caption the parser would refuse is not written either.
        IQBDocumentPtr document = NewQBDocument();
        document->Root()->SetCaption(QString(10 * 1024 * 1024, QLatin1Char('x')));
        QCOMPARE(messageOf([&] { written(document); }),
                 QStringLiteral("The caption of article _0 is longer than 10,000,000 bytes; the file could not be "
                                "read back, so it is not saved."));
        document->Root()->SetCaption(QString());
        document->SetRemarks(QString(4 * 1024 * 1024, QChar(0x20AC)));
        QCOMPARE(messageOf([&] { written(document); }),
                 QStringLiteral("The header's Remarks is longer than 10,000,000 bytes; the file could not be read "
                                "back, so it is not saved."));
    }

    void hostile_externalEntity_showsNothingOfTheFile()
    {
        // Even with the reference in an attribute of a 1.0 file nothing of /etc/passwd appears.
        for (const char *name : {"broken/external-entity-etc-passwd.xqb", "broken/external-entity-in-caption.xqb"}) {
            const QString message = messageOf([&] { QBReadDocument(testData(QString::fromLatin1(name))); });
            QVERIFY(!message.contains(QLatin1String("root:")));
            QVERIFY(!message.isEmpty());
        }
    }

    // --- saving ------------------------------------------------------------------------------

    void save_unencodableBody_failsAndLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("latin.xqb"));
        IQBDocumentPtr document = exampleDocument();
        document->SetEncoding(QStringLiteral("ISO-8859-1"));
        QBWriteDocument(document, fileName);
        const QByteArray before = fileBytes(fileName);
        document->FindArticle(1)->SetContent(QStringLiteral("{\\rtf1 Привет}"));
        QCOMPARE(
            messageOf([&] { QBWriteDocument(document, fileName); }),
            QStringLiteral("The character U+041F in a CDATA section cannot be written in the encoding ISO-8859-1."));
        QCOMPARE(fileBytes(fileName), before);
        // The same characters in captions and header texts become references.
        document->FindArticle(1)->SetContent(QStringLiteral("{\\rtf1 ok}"));
        document->FindArticle(1)->SetCaption(QStringLiteral("Привет"));
        QBWriteDocument(document, fileName);
        QVERIFY(fileBytes(fileName).contains("Caption=\"&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;\""));
        QCOMPARE(QBReadDocument(fileName)->FindArticle(1)->Caption(), QStringLiteral("Привет"));
    }

    void save_unknownOrMalformedEncoding_failsBeforeWriting_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown") << QStringLiteral("x-no-such-charset")
                                 << QStringLiteral("The encoding x-no-such-charset is not supported.");
        QTest::newRow("not a name") << QStringLiteral("UTF 8\"?><x")
                                    << QStringLiteral("'UTF 8\"?><x' is not a valid encoding name.");
    }
    void save_unknownOrMalformedEncoding_failsBeforeWriting()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xqb"));
        QBWriteDocument(exampleDocument(), fileName);
        const QByteArray before = fileBytes(fileName);
        IQBDocumentPtr document = exampleDocument();
        document->SetEncoding(encoding);
        QCOMPARE(messageOf([&] { QBWriteDocument(document, fileName); }), message);
        QCOMPARE(fileBytes(fileName), before);
    }

    void save_missingFolder_raisesAndCreatesNothing()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("no/such/folder/doc.xqb"));
        QVERIFY(!messageOf([&] { QBWriteDocument(exampleDocument(), fileName); }).isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("no"))));
    }

    // UTF-8 documents are streamed into the file; other encodings are written through the DOM.
    void save_failedWrite_keepsTheOldFileAndRaises_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<TNVKWriteFault>("fault");
        QTest::addColumn<qint64>("bytes");
        for (const QString &encoding : {QStringLiteral("UTF-8"), QStringLiteral("ISO-8859-1")})
            for (const TWriteFaultPoint &point : writeFaultPoints())
                QTest::addRow("%s, %s", qPrintable(encoding), point.Name) << encoding << point.Fault << point.Bytes;
    }

    void save_failedWrite_keepsTheOldFileAndRaises()
    {
        QFETCH(QString, encoding);
        QFETCH(TNVKWriteFault, fault);
        QFETCH(qint64, bytes);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xqb"));
        QBWriteDocument(exampleDocument(), fileName);
        const QByteArray before = fileBytes(fileName);
        IQBDocumentPtr changed = exampleDocument();
        changed->SetEncoding(encoding);
        changed->Root()->SetCaption(QStringLiteral("Changed, and long enough to need more than one write"));
        QString message;
        {
            const TWriteFaultScope scope(fault, bytes, fileName);
            message = messageOf([&] { QBWriteDocument(changed, fileName); });
        }
        QVERIFY2(message.contains(fileName) || message.startsWith(QLatin1String("Cannot write")), qPrintable(message));
        QCOMPARE(fileBytes(fileName), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.xqb")});
        QBWriteDocument(changed, fileName);
        QVERIFY(fileBytes(fileName) != before);
    }

    void save_overAFolder_raisesAndLeavesTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.xqb")));
        const QString fileName = dir.filePath(QStringLiteral("folder.xqb"));
        QVERIFY(!messageOf([&] { QBWriteDocument(exampleDocument(), fileName); }).isEmpty());
        QVERIFY(QFileInfo(fileName).isDir());
    }

    void save_replacingAFile_keepsItsPermissions()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("doc.xqb"));
        QBWriteDocument(exampleDocument(), fileName);
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(fileName, permissions));
        QBWriteDocument(sampleDocument(), fileName);
        const QFile::Permissions classes = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                                           QFile::ExeOther;
        QCOMPARE(QFile::permissions(fileName) & classes, permissions);
        compareDocuments(QBReadDocument(fileName), sampleDocument());
    }
};

QTEST_GUILESS_MAIN(TestQBXml)
#include "tst_QBXml.moc"
