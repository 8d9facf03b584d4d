// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "RtfTestHelpers.h"
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfParser.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfWriter.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace QBRtfTest;

namespace {

template <size_t N> QByteArray Bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// Reads the input both ways; the two texts must agree, and the document must write and read back.
QString ReadBothWays(const QByteArray &rtf)
{
    QTextDocument doc;
    TQBRtfReader::Load(doc, rtf);
    const QString text = RtfToPlainText(rtf);
    if (DocumentText(doc) != text)
        qWarning() << "extractor and reader differ for" << rtf.left(200);
    QTextDocument again;
    TQBRtfReader::Load(again, TQBRtfWriter::Write(doc));
    if (DocumentText(again) != text)
        qWarning() << "written document differs for" << rtf.left(200);
    return DocumentText(again) == text && DocumentText(doc) == text ? text : QStringLiteral("<mismatch>");
}

} // namespace

class TestQBRtfHostile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedInput_givesBestEffortText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("groups never closed") << QByteArray("{\\rtf1 {{{\\b abc") << QStringLiteral("abc");
        QTest::newRow("too many closing braces") << QByteArray("{\\rtf1 abc}}}} def") << QStringLiteral("abc");
        QTest::newRow("closing brace inside") << QByteArray("{\\rtf1 a}b") << QStringLiteral("a");
        QTest::newRow("cut in a control word") << QByteArray("{\\rtf1 abc\\pa") << QStringLiteral("abc");
        QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 abc\\") << QStringLiteral("abc");
        QTest::newRow("cut in a hex escape") << QByteArray("{\\rtf1 abc\\'e") << QStringLiteral("abc");
        QTest::newRow("cut after the quote") << QByteArray("{\\rtf1 abc\\'") << QStringLiteral("abc");
        QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zzb}") << QStringLiteral("azzb");
        QTest::newRow("cut in a number") << QByteArray("{\\rtf1 a\\u-") << QStringLiteral("a");
        QTest::newRow("cut after unicode") << QByteArray("{\\rtf1 a\\u1055") << QStringLiteral("a\u041f");
        QTest::newRow("bin beyond the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << QStringLiteral("a");
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << QStringLiteral("axyz");
        QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999999\\sl99999999999"
                                                    "{\\uc99999999999 a\\u99999999999999 bcd}\\cf99999999 e}")
                                      << QStringLiteral("a\ufffde");
        QTest::newRow("huge font and colour numbers")
            << QByteArray("{\\rtf1{\\fonttbl{\\f2147483647 X;}}{\\colortbl\\red999999;}\\f2147483647\\cf1 a}")
            << QStringLiteral("a");
        QTest::newRow("NUL bytes") << Bytes("{\\rtf1 a\0b\\'00c\\u0?d}") << QStringLiteral("abcd");
        QTest::newRow("control characters") << QByteArray("{\\rtf1 a\x01\x1f\x7f\tb}") << QStringLiteral("a\x7f\tb");
        // Found by fuzzing: an escaped U+FFFC was taken for a picture and lost on writing.
        QTest::newRow("structure characters")
            << QByteArray("{\\rtf1 a\\u8233?b\\u-548?c\\u-4?d}") << QStringLiteral("a\u2028b\ufffdc\ufffdd");
        QTest::newRow("picture never closed")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e") << QStringLiteral("a\ufffc");
        QTest::newRow("object never closed")
            << QByteArray("{\\rtf1 a{\\object{\\result{\\pict\\wmetafile8 01") << QStringLiteral("a\ufffc");
        // Found by fuzzing: text before \\pict in the same group came back when the group was written.
        QTest::newRow("picture word after text in its group")
            << QByteArray("{\\rtf1 a{b\\f7 c\\pict\\wmetafile8 01}d}") << QStringLiteral("abc\ufffcd");
        QTest::newRow("font table inside a picture")
            << QByteArray(
                   "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}}\\f0{\\pict\\wmetafile8{\\fonttbl{\\f0\\fcharset128 B;}}"
                   "{\\colortbl;\\red1;} 01}\\'e9\\'e9}")
            << QStringLiteral("\ufffc\u00e9\u00e9");
        QTest::newRow("font entry without a number")
            << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset0 A;}{\\fcharset128 B;}}\\f1\\'e9\\'e9}")
            << QStringLiteral("\u00e9\u00e9");
        // Found by fuzzing: the delimiter after a control word at the end of a link became a space.
        QTest::newRow("link ending in a tab")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\\tab y\"}{\\fldrslt a\\tab}}b}")
            << QStringLiteral("a\tb");
        QTest::newRow("picture cut inside bin")
            << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\bin10 xx") << QStringLiteral("a\ufffc");
        QTest::newRow("picture cut after a backslash")
            << QByteArray("{\\rtf1 a{\\pict\\wmetafile8 01\\") << QStringLiteral("a\ufffc");
        QTest::newRow("object cut in a nested group")
            << QByteArray("{\\rtf1 a{\\object{\\*\\objdata 01{\\x") << QStringLiteral("a\ufffc");
        QTest::newRow("picture in a picture")
            << QByteArray("{\\rtf1{\\pict\\wmetafile8{\\pict\\pngblip 00}01}}") << QStringLiteral("\ufffc");
        QTest::newRow("field never closed")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link") << QStringLiteral("link");
        QTest::newRow("hyperlink without quotes")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"}{\\fldrslt l}}}") << QStringLiteral("l");
        QTest::newRow("double-byte lead at the end")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 a\\'82}") << QStringLiteral("a");
        QTest::newRow("not rtf at all") << Bytes("\xff\xfe\x00garbage\r\nline")
                                        << QStringLiteral("\u00ff\u00fegarbage\nline");
        QTest::newRow("only the magic") << QByteArray("{\\rtf") << QString();
    }

    void damagedInput_givesBestEffortText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(ReadBothWays(rtf), text);
    }

    void deepNesting_isReadWithoutRecursion()
    {
        const int depth = 100000;
        QByteArray rtf = "{\\rtf1 ";
        rtf += QByteArray(depth, '{');
        rtf += "\\b x";
        rtf += QByteArray(depth, '}');
        rtf += "y}";
        QCOMPARE(ReadBothWays(rtf), QStringLiteral("xy"));

        QByteArray formats = "{\\rtf1 ";
        for (int i = 0; i < depth; ++i)
            formats += "{\\i\\fs20\\pn\\*\\field a";
        QCOMPARE(RtfToPlainText(formats).size(), qsizetype(0));
        QByteArray unclosed = "{\\rtf1 " + QByteArray(depth, '{') + "end";
        QCOMPARE(ReadBothWays(unclosed), QStringLiteral("end"));
    }

    void hostileLists_giveBoundedLabels_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        const QByteArray item = "{\\pntext 1.\\tab}";
        QTest::newRow("huge start") << QByteArray(
            "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnstart99999999999\\pnucrm}a\\par b\\par}");
        QTest::newRow("negative start") << QByteArray(
            "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnstart-7\\pnlcltr}a\\par b\\par}");
        QTest::newRow("deep pn level") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvl99999\\pndec}a\\par}");
        QTest::newRow("deep ilvl") << QByteArray("{\\rtf1\\pard\\ls1\\ilvl2000000000 a\\par\\ilvl-5 b\\par}");
        QTest::newRow("ls pointing nowhere")
            << QByteArray("{\\rtf1{\\*\\listoverridetable{\\listoverride\\listid9\\ls1}}"
                          "\\pard\\ls77 a\\par\\ls-3 b\\par}");
        QTest::newRow("absurd leveltext") << QByteArray(
            "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelstartat2147483647{\\leveltext\\'ff\\'00\\'00"
            "\\'07;}{\\levelnumbers\\'ff\\'00\\'09\\'02;}}\\listid1}}{\\*\\listoverridetable{\\listoverride"
            "\\listid1{\\lfolevel\\listoverridestartat\\levelstartat-9}\\ls1}}\\pard\\ls1 a\\par}");
        QTest::newRow("long texts") << "{\\rtf1\\pard{\\pntext " + QByteArray(100000, 'x') +
                                           "}{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb " + QByteArray(100000, '(') +
                                           "}{\\pntxta " + QByteArray(100000, ')') + "}}a\\par}";
        QTest::newRow("many levels in a list")
            << "{\\rtf1{\\*\\listtable{\\list" + QByteArray(5000, 'x').replace("x", "{\\listlevel\\levelnfc4}") +
                   "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1\\ilvl8 a\\par}";
        QByteArray many = "{\\rtf1";
        for (int i = 0; i < 5000; ++i)
            many += "\\pard" + item + "{\\*\\pn\\pnlvl" + QByteArray::number(i % 12) + "\\pnstart" +
                    QByteArray::number(i * 997) + "\\pnlcrm}x\\par";
        QTest::newRow("many restarts") << many + "}";
    }

    void hostileLists_giveBoundedLabels()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            QVERIFY(QBListLabel(block).size() <= 2 * TQBRtfParser::MaxListText + 16);
            if (block.textList())
                QVERIFY(block.textList()->format().indent() <= 9);
        }
        QCOMPARE(ReadBothWays(rtf), DocumentText(doc));
    }

    void manyTabStopsAndFields_stayBounded()
    {
        QByteArray rtf = "{\\rtf1\\pard";
        for (int i = 0; i < 100000; ++i)
            rtf += "\\tx" + QByteArray::number(i);
        rtf += " a\\par}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(doc.firstBlock().blockFormat().tabPositions().size(), 32);

        QByteArray fields = "{\\rtf1 ";
        for (int i = 0; i < 20000; ++i)
            fields += "{\\field{\\*\\fldinst HYPERLINK \"@_" + QByteArray::number(i) + "\"}{\\fldrslt L}}";
        fields += "}";
        QCOMPARE(ReadBothWays(fields), QString(20000, QLatin1Char('L')));
    }

    void randomBytes_neverBreakTheReader()
    {
        // Garbage after the magic, and the samples with bytes flipped, cut and shuffled.
        QRandomGenerator random(20261206);
        QList<QByteArray> samples;
        for (const QString &file : SampleFiles())
            samples.append(ReadSample(file));
        for (int round = 0; round < 300; ++round) {
            QByteArray rtf;
            if (round % 3 == 0) {
                rtf = "{\\rtf1 ";
                const int size = int(random.bounded(4096));
                for (int i = 0; i < size; ++i) {
                    static const char alphabet[] = "{}\\\\\\'*abcdefuxbinpardpict0123456789- ;\"\0\xff\x82";
                    rtf +=
                        random.bounded(4) ? alphabet[random.bounded(int(sizeof(alphabet)))] : char(random.bounded(256));
                }
            } else {
                rtf = samples.at(int(random.bounded(int(samples.size()))));
                const int edits = 1 + int(random.bounded(20));
                for (int i = 0; i < edits && !rtf.isEmpty(); ++i) {
                    const int at = int(random.bounded(int(rtf.size())));
                    switch (random.bounded(3)) {
                    case 0:
                        rtf[at] = char(random.bounded(256));
                        break;
                    case 1:
                        rtf.truncate(qMax(at, 6));
                        break;
                    default:
                        rtf.insert(at, rtf.mid(int(random.bounded(int(rtf.size()))), 40));
                        break;
                    }
                }
            }
            QVERIFY2(ReadBothWays(rtf) != QStringLiteral("<mismatch>"), rtf.toHex().left(400).constData());
        }
    }
};

QTEST_MAIN(TestQBRtfHostile)
#include "tst_QBRtfHostile.moc"
