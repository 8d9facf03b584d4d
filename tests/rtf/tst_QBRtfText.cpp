// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfCodePages.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfTokenizer.h"

#include <QTest>

namespace {

QString Text(const char *rtf)
{
    return RtfToPlainText(QByteArray(rtf));
}

} // namespace

class TestQBRtfText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tokenizer_splitsWordsSymbolsTextAndBinary()
    {
        const QByteArray rtf("{\\b-12 x\\'e9\\~\\bin3 {}\\par}");
        TQBRtfTokenizer tokenizer(rtf);
        TQBRtfToken t;
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::GroupStart);
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::ControlWord);
        QCOMPARE(t.Word, QByteArrayView("b"));
        QVERIFY(t.HasParam);
        QCOMPARE(t.Param, -12);
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::Text);
        QCOMPARE(t.Data, QByteArrayView("x"));
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::HexByte);
        QCOMPARE(t.Byte, 0xE9);
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::ControlSymbol);
        QCOMPARE(t.Symbol, '~');
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::Binary);
        QCOMPARE(t.Data, QByteArrayView("{}\\"));
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::Text);
        QCOMPARE(t.Data, QByteArrayView("par"));
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::GroupEnd);
        QVERIFY(!tokenizer.Next(t));
        QCOMPARE(t.Kind, TQBRtfTokenKind::End);
    }

    void tokenizer_hugeNumbersAreClampedAndLongWordsCut()
    {
        const QByteArray rtf = "\\fs99999999999999999999999 \\" + QByteArray(100, 'a') + "5";
        TQBRtfTokenizer tokenizer(rtf);
        TQBRtfToken t;
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Param, std::numeric_limits<int>::max());
        QVERIFY(tokenizer.Next(t));
        QCOMPARE(t.Word.size(), qsizetype(TQBRtfTokenizer::MaxWordLength));
        QCOMPARE(t.Param, 5);
        QCOMPARE(tokenizer.Position(), rtf.size());
    }

    void codePages_decodeEveryCharsetsCodePage_data()
    {
        QTest::addColumn<int>("charset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 ANSI") << 0 << QByteArray("\x80\xe9") << QStringLiteral("\u20ac\u00e9");
        QTest::newRow("77 Mac") << 77 << QByteArray("\x80\xa5") << QStringLiteral("\u00c4\u2022");
        QTest::newRow("128 Shift-JIS") << 128 << QByteArray("\x82\xa0\x83\x41") << QStringLiteral("\u3042\u30a2");
        QTest::newRow("129 Hangul") << 129 << QByteArray("\xb0\xa1") << QStringLiteral("\uac00");
        // Found by fuzzing: the backslash must stay a backslash in Johab as in every code page.
        QTest::newRow("130 Johab") << 130 << QByteArray("\\\x88\x61") << QStringLiteral("\\\uac00");
        QTest::newRow("134 GB2312") << 134 << QByteArray("\xc4\xe3") << QStringLiteral("\u4f60");
        QTest::newRow("136 Big5") << 136 << QByteArray("\xa4\x40") << QStringLiteral("\u4e00");
        QTest::newRow("161 Greek") << 161 << QByteArray("\xc1") << QStringLiteral("\u0391");
        QTest::newRow("162 Turkish") << 162 << QByteArray("\xd0") << QStringLiteral("\u011e");
        QTest::newRow("163 Vietnamese") << 163 << QByteArray("\xd2") << QStringLiteral("\u0309");
        QTest::newRow("177 Hebrew") << 177 << QByteArray("\xe0") << QStringLiteral("\u05d0");
        QTest::newRow("178 Arabic") << 178 << QByteArray("\xc7") << QStringLiteral("\u0627");
        QTest::newRow("186 Baltic") << 186 << QByteArray("\xc0") << QStringLiteral("\u0104");
        QTest::newRow("204 Cyrillic") << 204 << QByteArray("\xc0\xff") << QStringLiteral("\u0410\u044f");
        QTest::newRow("222 Thai") << 222 << QByteArray("\xa1") << QStringLiteral("\u0e01");
        QTest::newRow("238 Central European") << 238 << QByteArray("\x8a") << QStringLiteral("\u0160");
        QTest::newRow("255 OEM") << 255 << QByteArray("\x80\xdb") << QStringLiteral("\u00c7\u2588");
    }

    void codePages_decodeEveryCharsetsCodePage()
    {
        QFETCH(int, charset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QString decoded;
        QBRtfCodePage::Decode(QBRtfCodePage::OfCharset(charset, 1252), bytes, decoded);
        QCOMPARE(decoded, text);
        QCOMPARE(QBRtfCodePage::OfCharset(1, 1251), 1251);
        QCOMPARE(QBRtfCodePage::OfCharset(255, 1252), 437);
    }

    void codePages_encodeOnlyWhatTheCodePageHolds()
    {
        unsigned char byte = 0;
        QVERIFY(QBRtfCodePage::EncodeChar(1252, u'\u20ac', byte));
        QCOMPARE(byte, 0x80);
        QVERIFY(QBRtfCodePage::EncodeChar(1251, u'\u044f', byte));
        QCOMPARE(byte, 0xFF);
        QVERIFY(!QBRtfCodePage::EncodeChar(1252, u'\u044f', byte));
        QVERIFY(!QBRtfCodePage::EncodeChar(932, u'\u3042', byte));
    }

    void text_paragraphsLinesTabsAndTheFinalMark()
    {
        QCOMPARE(Text("{\\rtf1\\ansi abc\\par def\\par}"), QStringLiteral("abc\ndef"));
        QCOMPARE(Text("{\\rtf1 abc\\par\\par}"), QStringLiteral("abc\n"));
        QCOMPARE(Text("{\\rtf1 abc}"), QStringLiteral("abc"));
        QCOMPARE(Text("{\\rtf1 a\\line b\\tab c\r\nd\\\ne}"), QStringLiteral("a\u2028b\tcd\ne"));
        QCOMPARE(Text("{\\rtf1 a\\page b\\sect c}"), QStringLiteral("a\nb\nc"));
        QCOMPARE(Text("{\\rtf1 }"), QString());
    }

    void text_specialCharactersAndEscapes()
    {
        QCOMPARE(Text("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}"),
                 QStringLiteral("\u2014\u2013\u2018\u2019\u201c\u201d\u2022"));
        QCOMPARE(Text("{\\rtf1 a\\~b\\-c\\_d\\\\e\\{f\\}}"), QStringLiteral("a\u00a0b\u00adc\u2011d\\e{f}"));
        QCOMPARE(Text("{\\rtf1 \\unknownword a\\unknown12 b}"), QStringLiteral("ab"));
    }

    void text_decodesInTheCurrentFontsCodePage()
    {
        // Cyrillic as the rich edit control writes it.
        QCOMPARE(Text("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
                      "{\\f1\\fnil\\fcharset0 Tahoma;}}\\f0\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f1\\'e9}"),
                 QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442 \u00e9"));
        // Japanese: double-byte characters, also with the trail byte written as a plain character.
        QCOMPARE(Text("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}}"
                      "\\f0\\'82\\'b1\\'82\\'f1\\'83A x}"),
                 QStringLiteral("\u3053\u3093\u30a2 x"));
        // \ansicpg applies to fonts of the default charset.
        QCOMPARE(Text("{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0\\fcharset1 X;}}\\f0\\'c1}"), QStringLiteral("\u0391"));
        // \cpg in the font table wins over the charset.
        QCOMPARE(Text("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1250 X;}}\\f0\\'8a}"), QStringLiteral("\u0160"));
        // Mac Roman and OEM fonts.
        QCOMPARE(Text("{\\rtf1{\\fonttbl{\\f0\\fcharset77 X;}{\\f1\\fcharset255 Y;}}\\f0\\'a5\\f1\\'db}"),
                 QStringLiteral("\u2022\u2588"));
    }

    void text_unicodeWithItsSkipCounts()
    {
        QCOMPARE(Text("{\\rtf1\\uc1 \\u1055?\\u1088?}"), QStringLiteral("\u041f\u0440"));
        QCOMPARE(Text("{\\rtf1\\uc0 \\u1055 x}"), QStringLiteral("\u041fx"));
        QCOMPARE(Text("{\\rtf1\\uc2 \\u1055\\'3f\\'3fx}"), QStringLiteral("\u041fx"));
        QCOMPARE(Text("{\\rtf1\\uc1 \\u-3913?}"), QStringLiteral("\uf0b7"));
        QCOMPARE(Text("{\\rtf1\\uc1 \\u-10179?\\u-8704?}"), QStringLiteral("\U0001F600"));
        // The skip count is scoped to the group; a group end stops the skipping.
        QCOMPARE(Text("{\\rtf1\\uc1 {\\uc3 \\u1055 ab}cd}"), QStringLiteral("\u041fcd"));
        QCOMPARE(Text("{\\rtf1 {\\uc5 \\u1055}xyz}"), QStringLiteral("\u041fxyz"));
    }

    void text_skipsDestinationsThatAreNotText()
    {
        QCOMPARE(Text("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                      "{\\*\\generator Riched20;}{\\*\\unknown x}a{\\*\\bkmkstart b}b}"),
                 QStringLiteral("ab"));
        QCOMPARE(Text("{\\rtf1 a\\bin4 {{}}c}"), QStringLiteral("ac"));
        QCOMPARE(Text("{\\rtf1 a\\bin99 xy}"), QStringLiteral("a"));
        QCOMPARE(Text("{\\rtf1 {\\header h}{\\footnote f}x}"), QStringLiteral("x"));
    }

    void text_listNumbersAreNotText()
    {
        QCOMPARE(Text("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                      "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}one\\par"
                      "{\\pntext\\f1\\'b7\\tab}two\\par}"),
                 QStringLiteral("one\ntwo"));
        QCOMPARE(Text("{\\rtf1{\\listtext 1.\\tab}\\ls1 one\\par}"), QStringLiteral("one"));
    }

    void text_fieldsKeepTheirResult()
    {
        QCOMPARE(Text("{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}{\\field{\\*\\fldinst { HYPERLINK \"@_17\" }}"
                      "{\\fldrslt{\\cf1\\ul Next}}}\\cf0\\ulnone  page}"),
                 QStringLiteral("Next page"));
        QCOMPARE(Text("{\\rtf1 p{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}"), QStringLiteral("p3"));
    }

    void text_picturesAndObjectsAreOneCharacterEach()
    {
        QCOMPARE(Text("{\\rtf1 a{\\pict\\pngblip\\picw1\\pich1 89504e47}b"
                      "{\\object\\objemb\\objw100\\objh100{\\*\\objdata 0102}{\\result{\\pict\\wmetafile8 0102}}}c"
                      "{\\*\\shppict{\\pict\\jpegblip ffd8}}{\\nonshppict{\\pict\\wmetafile8 00}}d}"),
                 QStringLiteral("a\ufffcb\ufffcc\ufffcd"));
    }

    void text_tablesAsParagraphsWithCellsInOrder()
    {
        QCOMPARE(Text("{\\rtf1\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell\\cell\\row"
                      "\\trowd\\cellx1000\\pard\\intbl c\\cell\\row\\pard after}"),
                 QStringLiteral("a\tb\nc\nafter"));
    }

    void text_dataThatIsNotRtfIsPlainText()
    {
        QCOMPARE(RtfToPlainText("line one\r\nline two\n\u00e9"), QStringLiteral("line one\nline two\n\u00e9"));
        QCOMPARE(RtfToPlainText(QByteArray("caf\xe9")), QStringLiteral("caf\u00e9"));
        QCOMPARE(RtfToPlainText(QByteArray()), QString());
    }
};

QTEST_GUILESS_MAIN(TestQBRtfText)
#include "tst_QBRtfText.moc"
