// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "RtfTestHelpers.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace QBRtfTest;

class TestQBRtfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_textAndBlocks()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1\\ansi abc\\par def\\line ghi\\tab j\\par}");
        QCOMPARE(doc.blockCount(), 2);
        QCOMPARE(doc.firstBlock().text(), QStringLiteral("abc"));
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("def\u2028ghi\tj"));

        TQBRtfReader::Load(doc, "{\\rtf1 one\\par\\par}");
        QCOMPARE(doc.blockCount(), 2);
        QCOMPARE(DocumentText(doc), QStringLiteral("one\n"));
    }

    void load_characterFormats()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc,
                           "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset204 "
                           "Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
                           "\\f0\\fs20 n{\\b b}{\\i i}{\\ul u}{\\uldb w}{\\strike s}{\\f1\\fs32 t}{\\cf1 r}"
                           "{\\highlight2 h}{\\cb2 c}{\\chcbpat1 p}{\\sub d}{\\super e}{\\up6 f}{\\dn6 g}"
                           "\\b\\i\\plain x}");
        const QList<TRun> runs = Runs(doc);
        auto at = [&](const QString &text) {
            for (const TRun &run : runs)
                if (run.Text == text)
                    return run.Format;
            qWarning() << "no run" << text;
            return QTextCharFormat();
        };
        QCOMPARE(at(QStringLiteral("n")).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
        QCOMPARE(at(QStringLiteral("n")).fontPointSize(), 10.0);
        QCOMPARE(at(QStringLiteral("n")).fontWeight(), int(QFont::Normal));
        QCOMPARE(at(QStringLiteral("b")).fontWeight(), int(QFont::Bold));
        QVERIFY(at(QStringLiteral("i")).fontItalic());
        // Every underline kind is an underline, so both runs are one fragment.
        QVERIFY(at(QStringLiteral("uw")).fontUnderline());
        QVERIFY(!at(QStringLiteral("n")).fontUnderline());
        QVERIFY(at(QStringLiteral("s")).fontStrikeOut());
        QCOMPARE(at(QStringLiteral("t")).fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
        QCOMPARE(at(QStringLiteral("t")).intProperty(QBRtfFormat::Charset), 204);
        QCOMPARE(at(QStringLiteral("t")).fontPointSize(), 16.0);
        QCOMPARE(at(QStringLiteral("r")).foreground().color(), QColor(255, 0, 0));
        QVERIFY(!at(QStringLiteral("n")).hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(at(QStringLiteral("hc")).background().color(), QColor(0, 128, 0));
        QCOMPARE(at(QStringLiteral("p")).background().color(), QColor(255, 0, 0));
        QCOMPARE(at(QStringLiteral("d")).verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(at(QStringLiteral("ef")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(at(QStringLiteral("g")).verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(at(QStringLiteral("x")).fontWeight(), int(QFont::Normal));
        QVERIFY(!at(QStringLiteral("x")).fontItalic());
        QCOMPARE(at(QStringLiteral("x")).fontPointSize(), 12.0);
    }

    void load_paragraphFormats()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1\\pard\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par"
                                "\\pard\\li720\\ri360\\fi-240\\sb120\\sa60 m\\par"
                                "\\pard\\tx720\\tqr\\tx2880\\tqc\\tx3600\\tqdec\\tx4320 t\\par"
                                "\\pard\\pagebb p\\par a\\page b}");
        QCOMPARE(doc.blockCount(), 8);
        QTextBlock block = doc.firstBlock();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        block = block.next();
        QCOMPARE(block.blockFormat().leftMargin(), 48.0);
        QCOMPARE(block.blockFormat().rightMargin(), 24.0);
        QCOMPARE(block.blockFormat().textIndent(), -16.0);
        QCOMPARE(block.blockFormat().topMargin(), 8.0);
        QCOMPARE(block.blockFormat().bottomMargin(), 4.0);
        block = block.next();
        const QList<QTextOption::Tab> tabs = block.blockFormat().tabPositions();
        QCOMPARE(tabs.size(), 4);
        QCOMPARE(tabs.at(0).position, 48.0);
        QCOMPARE(tabs.at(0).type, QTextOption::LeftTab);
        QCOMPARE(tabs.at(1).type, QTextOption::RightTab);
        QCOMPARE(tabs.at(2).type, QTextOption::CenterTab);
        QCOMPARE(tabs.at(3).type, QTextOption::DelimiterTab);
        block = block.next();
        QCOMPARE(block.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
        block = block.next();
        QCOMPARE(block.text(), QStringLiteral("a"));
        block = block.next();
        QCOMPARE(block.text(), QStringLiteral("b"));
        QCOMPARE(block.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    }

    void load_theSixLineSpacingRules()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1\\pard\\sl0 single\\par\\pard\\sl360\\slmult1 oneandhalf\\par"
                                "\\pard\\sl480\\slmult1 double\\par\\pard\\sl300\\slmult0 atleast\\par"
                                "\\pard\\sl-300\\slmult0 exactly\\par\\pard\\sl600\\slmult1 multiple\\par}");
        QTextBlock block = doc.firstBlock();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::SingleHeight));
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(block.blockFormat().lineHeight(), 150.0);
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeight(), 200.0);
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::MinimumHeight));
        QCOMPARE(block.blockFormat().lineHeight(), 20.0);
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(block.blockFormat().lineHeight(), 20.0);
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(block.blockFormat().lineHeight(), 250.0);
    }

    void load_richEditListsMapToListStyles()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, ReadSample("richedit-lists.rtf"));
        QCOMPARE(DocumentText(doc), RtfToPlainText(ReadSample("richedit-lists.rtf")));
        QTextBlock block = doc.firstBlock();
        const QList<QTextListFormat::Style> expected = {
            QTextListFormat::ListDisc,          QTextListFormat::ListDisc,       QTextListFormat::ListStyleUndefined,
            QTextListFormat::ListDecimal,       QTextListFormat::ListDecimal,    QTextListFormat::ListLowerAlpha,
            QTextListFormat::ListUpperAlpha,    QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperRoman,
            QTextListFormat::ListStyleUndefined};
        for (const QTextListFormat::Style style : expected) {
            QVERIFY(block.isValid());
            if (style == QTextListFormat::ListStyleUndefined)
                QVERIFY2(!block.textList(), qPrintable(block.text()));
            else
                QCOMPARE(block.textList() ? block.textList()->format().style() : QTextListFormat::ListStyleUndefined,
                         style);
            block = block.next();
        }
        // Consecutive items of one style form one list.
        QCOMPARE(doc.firstBlock().textList(), doc.firstBlock().next().textList());
        QCOMPARE(doc.firstBlock().textList()->count(), 2);
    }

    void load_wordProcessorListsMapToListStyles()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, ReadSample("word-lists.rtf"));
        QCOMPARE(DocumentText(doc), QStringLiteral("first\nsecond\nroman\nplain"));
        QTextBlock block = doc.firstBlock();
        QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(block.next().textList(), block.textList());
        QCOMPARE(block.next().next().textList()->format().style(), QTextListFormat::ListUpperRoman);
        QVERIFY(!doc.lastBlock().textList());
    }

    void load_hyperlinksKeepTheirTargetsExactly()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, LinkRtf(QStringLiteral("@_17"), QStringLiteral("Next")));
        QList<TRun> runs = Runs(doc);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.at(0).Text, QStringLiteral("Next"));
        QVERIFY(runs.at(0).Format.isAnchor());
        QCOMPARE(runs.at(0).Format.anchorHref(), QStringLiteral("@_17"));
        QCOMPARE(runs.at(0).Format.foreground().color(), QColor(0, 0, 255));
        QVERIFY(runs.at(0).Format.fontUnderline());

        // The template doubles backslashes; the link reads back with single ones.
        TQBRtfReader::Load(doc, LinkRtf(QStringLiteral("C:\\Notes\\a b.txt"), QStringLiteral("C:\\Notes")));
        runs = Runs(doc);
        QCOMPARE(runs.at(0).Text, QStringLiteral("C:\\Notes"));
        QCOMPARE(runs.at(0).Format.anchorHref(), QStringLiteral("C:\\Notes\\a b.txt"));

        // Word's form with switches, and other fields keep their result.
        TQBRtfReader::Load(doc, "{\\rtf1{\\field{\\*\\fldinst{HYPERLINK \\\\l \"bm\" \\\\o \"tip\"}}{\\fldrslt here}}"
                                "{\\field{\\*\\fldinst{ HYPERLINK \"http://x.org/\" \\\\o \"tip\"}}{\\fldrslt x}} "
                                "{\\field{\\*\\fldinst DATE}{\\fldrslt today}}}");
        runs = Runs(doc);
        QCOMPARE(runs.at(0).Format.anchorHref(), QStringLiteral("#bm"));
        QCOMPARE(runs.at(1).Format.anchorHref(), QStringLiteral("http://x.org/"));
        QCOMPARE(runs.at(2).Text, QStringLiteral(" today"));
        QVERIFY(!runs.at(2).Format.isAnchor());
    }

    void load_samplesInTheRichEditStyle()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, ReadSample("richedit-cyrillic.rtf"));
        QCOMPARE(DocumentText(doc), QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440!\n"
                                                   "\u0416\u0438\u0440\u043d\u044b\u0439"));
        QCOMPARE(Runs(doc).last().Format.fontWeight(), int(QFont::Bold));

        TQBRtfReader::Load(doc, ReadSample("richedit-japanese.rtf"));
        QCOMPARE(DocumentText(doc), QStringLiteral("\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8"));

        TQBRtfReader::Load(doc, ReadSample("richedit-unicode.rtf"));
        QCOMPARE(DocumentText(doc), QStringLiteral("\u03b1\u03b2\u03b3 \u2014 \u4e2d\u6587 \U0001F600 end"));
    }

    void insert_replacesTheSelectionAndKeepsTheTailsFormat()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(centred);
        cursor.insertText(QStringLiteral("Hello cruel world"));
        cursor.setPosition(6);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        TQBRtfReader::Insert(cursor, "{\\rtf1 {\\b big}\\par\\pard\\qr new}");
        QCOMPARE(DocumentText(doc), QStringLiteral("Hello big\nnew world"));
        QCOMPARE(cursor.position(), 13);
        QCOMPARE(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        // Insert keeps a final paragraph mark; it is one undo step.
        TQBRtfReader::Insert(cursor, "{\\rtf1 x\\par}");
        QCOMPARE(DocumentText(doc), QStringLiteral("Hello big\nnewx\n world"));
        doc.undo();
        QCOMPARE(DocumentText(doc), QStringLiteral("Hello big\nnew world"));
    }

    void insert_textWithoutFontTakesTheFontAtTheCursor()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat body;
        body.setFontFamilies({QStringLiteral("Tahoma")});
        body.setFontPointSize(9);
        cursor.insertText(QStringLiteral("see "), body);
        TQBRtfReader::Insert(cursor, LinkRtf(QStringLiteral("@_3"), QStringLiteral("three")));
        const QList<TRun> runs = Runs(doc);
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs.at(1).Text, QStringLiteral("three"));
        QCOMPARE(runs.at(1).Format.fontFamilies().toStringList(), QStringList{QStringLiteral("Tahoma")});
        QCOMPARE(runs.at(1).Format.fontPointSize(), 9.0);
        QCOMPARE(runs.at(1).Format.anchorHref(), QStringLiteral("@_3"));

        // A font and size of its own win.
        TQBRtfReader::Insert(cursor, "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 big}");
        QCOMPARE(Runs(doc).last().Format.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
        QCOMPARE(Runs(doc).last().Format.fontPointSize(), 20.0);
    }

    void load_textEqualsTheExtractorsText_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : SampleFiles())
            QTest::newRow(qPrintable(file)) << file;
    }

    void load_textEqualsTheExtractorsText()
    {
        QFETCH(QString, file);
        const QByteArray rtf = ReadSample(file);
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(DocumentText(doc), RtfToPlainText(rtf));
    }
};

QTEST_MAIN(TestQBRtfReader)
#include "tst_QBRtfReader.moc"
