// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "RtfTestHelpers.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfWriter.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

using namespace QBRtfTest;

namespace {

QByteArray Png(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// A document built through the editor's own operations, with every attribute the writer knows.
void BuildRichDocument(QTextDocument &doc)
{
    QTextCursor cursor(&doc);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Arial")});
    plain.setFontPointSize(10);
    QTextCharFormat f = plain;
    cursor.insertText(QStringLiteral("Plain "), f);
    f.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("bold "), f);
    f = plain;
    f.setFontItalic(true);
    f.setFontUnderline(true);
    cursor.insertText(QStringLiteral("italic underlined "), f);
    f = plain;
    f.setFontStrikeOut(true);
    f.setForeground(QColor(200, 10, 20));
    f.setBackground(QColor(250, 250, 0));
    cursor.insertText(QStringLiteral("struck {red} on yellow\\"), f);
    f = plain;
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText(QStringLiteral("2"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(QStringLiteral("n"), f);
    f = plain;
    f.setFontFamilies({QStringLiteral("Times New Roman")});
    f.setProperty(QBRtfFormat::Charset, 204);
    f.setFontPointSize(14);
    cursor.insertText(
        QStringLiteral(" \u041f\u0440\u0438\u0432\u0435\u0442 \u00e9\u20ac \u65e5 \U0001F600\t\u00a0x\u2028y"), f);

    QTextBlockFormat para;
    para.setAlignment(Qt::AlignHCenter);
    para.setLeftMargin(48);
    para.setRightMargin(24);
    para.setTextIndent(-16);
    para.setTopMargin(8);
    para.setBottomMargin(4);
    para.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    para.setTabPositions({QTextOption::Tab(48, QTextOption::LeftTab), QTextOption::Tab(96, QTextOption::RightTab),
                          QTextOption::Tab(120, QTextOption::CenterTab),
                          QTextOption::Tab(144, QTextOption::DelimiterTab, QLatin1Char('.'))});
    cursor.insertBlock(para, plain);
    cursor.insertText(QStringLiteral("Centred paragraph"), plain);

    const QList<std::pair<QTextBlockFormat::LineHeightTypes, double>> spacings = {
        {QTextBlockFormat::SingleHeight, 0},
        {QTextBlockFormat::ProportionalHeight, 200},
        {QTextBlockFormat::MinimumHeight, 20},
        {QTextBlockFormat::FixedHeight, 16},
        {QTextBlockFormat::ProportionalHeight, 250}};
    for (const auto &[type, value] : spacings) {
        QTextBlockFormat spaced;
        spaced.setAlignment(Qt::AlignJustify);
        spaced.setLineHeight(value, type);
        cursor.insertBlock(spaced, plain);
        cursor.insertText(QStringLiteral("Spacing %1").arg(value), plain);
    }

    for (const QTextListFormat::Style style :
         {QTextListFormat::ListDisc, QTextListFormat::ListDecimal, QTextListFormat::ListLowerAlpha,
          QTextListFormat::ListUpperAlpha, QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperRoman}) {
        cursor.insertBlock(QTextBlockFormat(), plain);
        QTextListFormat list;
        list.setStyle(style);
        list.setIndent(1);
        cursor.createList(list);
        cursor.insertText(QStringLiteral("item one"), plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("item two"), plain);
        QTextBlockFormat after;
        after.setRightMargin(1); // ends the list
        cursor.insertBlock(after, plain);
        cursor.insertText(QStringLiteral("between"), plain);
    }

    QTextBlockFormat breakBefore;
    breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(breakBefore, plain);
    QTextCharFormat link = plain;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("@_17"));
    link.setForeground(QColor(0, 0, 255));
    link.setFontUnderline(true);
    cursor.insertText(QStringLiteral("internal link"), link);
    cursor.insertText(QStringLiteral(" and "), plain);
    link.setAnchorHref(QStringLiteral("C:\\Notes\\file.txt"));
    cursor.insertText(QStringLiteral("C:\\Notes"), link);

    cursor.insertBlock(QTextBlockFormat(), plain);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:red")),
                    QImage::fromData(Png(3, 2, Qt::red), "PNG"));
    QTextImageFormat image;
    image.merge(plain);
    image.setName(QStringLiteral("mem:red"));
    image.setWidth(30);
    image.setHeight(20);
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral("after the picture"), plain);
    cursor.insertBlock(QTextBlockFormat(), plain);
}

void CompareDocuments(const QTextDocument &a, const QTextDocument &b)
{
    QCOMPARE(DocumentText(a), DocumentText(b));
    QCOMPARE(a.blockCount(), b.blockCount());
    QTextBlock x = a.begin();
    QTextBlock y = b.begin();
    for (; x.isValid() && y.isValid(); x = x.next(), y = y.next()) {
        QTextBlockFormat fx = x.blockFormat();
        QTextBlockFormat fy = y.blockFormat();
        fx.clearProperty(QTextFormat::ObjectIndex);
        fy.clearProperty(QTextFormat::ObjectIndex);
        QVERIFY2(fx == fy, qPrintable(x.text()));
        QCOMPARE(bool(x.textList()), bool(y.textList()));
        if (x.textList()) {
            QCOMPARE(x.textList()->format().style(), y.textList()->format().style());
            QCOMPARE(x.textList()->format().indent(), y.textList()->format().indent());
            QCOMPARE(x.textList()->itemNumber(x), y.textList()->itemNumber(y));
        }
    }
    const QList<TRun> ra = Runs(a);
    const QList<TRun> rb = Runs(b);
    QCOMPARE(ra.size(), rb.size());
    for (int i = 0; i < ra.size(); ++i) {
        QCOMPARE(ra.at(i).Text, rb.at(i).Text);
        QVERIFY2(ra.at(i).Format == rb.at(i).Format, qPrintable(ra.at(i).Text));
        if (ra.at(i).Format.isImageFormat()) {
            const QString name = ra.at(i).Format.toImageFormat().name();
            const QImage ia = qvariant_cast<QImage>(a.resource(QTextDocument::ImageResource, QUrl(name)));
            const QImage ib = qvariant_cast<QImage>(b.resource(QTextDocument::ImageResource, QUrl(name)));
            QVERIFY(!ia.isNull());
            QCOMPARE(ia, ib);
        }
    }
}

} // namespace

class TestQBRtfWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void write_givesSevenBitRtfWithTablesAndEscapes()
    {
        QTextDocument doc;
        BuildRichDocument(doc);
        const QByteArray rtf = TQBRtfWriter::Write(doc);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        for (const char c : rtf)
            QVERIFY(static_cast<unsigned char>(c) < 0x80 && c != '\0');
        QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"));
        QVERIFY(rtf.contains("\\fcharset204 Times New Roman;"));
        QVERIFY(rtf.contains("{\\colortbl ;\\red200\\green10\\blue20;\\red250\\green250\\blue0;"));
        QVERIFY(rtf.contains("struck \\{red\\} on yellow\\\\"));
        // Cyrillic in a Cyrillic font goes as bytes of its code page, the rest as \u with a fallback.
        QVERIFY(rtf.contains("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"));
        QVERIFY(rtf.contains("\\u233?\\'88"));
        QVERIFY(rtf.contains("\\u26085?"));
        QVERIFY(rtf.contains("\\u-10179?\\u-8704?"));
        QVERIFY(rtf.contains("\\tab\\~x\\line y"));
        QVERIFY(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \"@_17\"}}{\\fldrslt{"));
        QVERIFY(rtf.contains("HYPERLINK \"C:\\\\Notes\\\\file.txt\""));
        // The bullet is the rich edit control's: character b7 of Symbol.
        QVERIFY(rtf.contains("\\fcharset2 Symbol;"));
        QVERIFY(rtf.contains("\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf"));
        QVERIFY(rtf.contains("{\\pntext ii.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pnlcrm"));
        QVERIFY(rtf.contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal450\\pichgoal300"));
        QVERIFY(rtf.contains("\\sl360\\slmult1"));
        QVERIFY(rtf.contains("\\sl-240\\slmult0"));
        QVERIFY(rtf.contains("\\tqdec\\tx2160"));
        QVERIFY(rtf.endsWith("\\par\n}\n"));
    }

    void roundTrip_readWriteReadGivesTheSameDocument_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        for (const QString &file : SampleFiles())
            QTest::newRow(qPrintable(file)) << ReadSample(file);
        QTextDocument built;
        BuildRichDocument(built);
        QTest::newRow("built document") << TQBRtfWriter::Write(built);
    }

    void roundTrip_readWriteReadGivesTheSameDocument()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument first;
        TQBRtfReader::Load(first, rtf);
        const QByteArray written = TQBRtfWriter::Write(first);
        QTextDocument second;
        TQBRtfReader::Load(second, written);
        CompareDocuments(first, second);
        if (QTest::currentTestFailed())
            qWarning().noquote() << written;
        // Writing is idempotent after one round.
        QCOMPARE(TQBRtfWriter::Write(second), written);
        QCOMPARE(RtfToPlainText(written), DocumentText(first));
    }

    void roundTrip_builtDocumentKeepsEveryAttribute()
    {
        QTextDocument doc;
        BuildRichDocument(doc);
        QTextDocument read;
        TQBRtfReader::Load(read, TQBRtfWriter::Write(doc));
        if (DocumentText(read) != DocumentText(doc))
            qWarning() << DocumentText(read).right(200) << DocumentText(doc).right(200);
        QCOMPARE(DocumentText(read), DocumentText(doc));
        QTextBlock a = doc.begin();
        QTextBlock b = read.begin();
        for (; a.isValid(); a = a.next(), b = b.next()) {
            QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                     a.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
            QCOMPARE(b.blockFormat().leftMargin(), a.blockFormat().leftMargin());
            QCOMPARE(b.blockFormat().textIndent(), a.blockFormat().textIndent());
            QCOMPARE(b.blockFormat().lineHeight(), a.blockFormat().lineHeight());
            QCOMPARE(b.blockFormat().tabPositions(), a.blockFormat().tabPositions());
            QCOMPARE(b.blockFormat().pageBreakPolicy(), a.blockFormat().pageBreakPolicy());
            QCOMPARE(bool(b.textList()), bool(a.textList()));
            if (a.textList())
                QCOMPARE(b.textList()->format().style(), a.textList()->format().style());
        }
        const QList<TRun> ra = Runs(doc);
        const QList<TRun> rb = Runs(read);
        QCOMPARE(rb.size(), ra.size());
        for (int i = 0; i < ra.size(); ++i) {
            const QTextCharFormat &x = ra.at(i).Format;
            const QTextCharFormat &y = rb.at(i).Format;
            QCOMPARE(rb.at(i).Text, ra.at(i).Text);
            QCOMPARE(y.fontFamilies(), x.fontFamilies());
            QCOMPARE(y.fontPointSize(), x.fontPointSize());
            QCOMPARE(y.fontWeight(), x.fontWeight());
            QCOMPARE(y.fontItalic(), x.fontItalic());
            QCOMPARE(y.fontUnderline(), x.fontUnderline());
            QCOMPARE(y.fontStrikeOut(), x.fontStrikeOut());
            QCOMPARE(y.foreground(), x.foreground());
            QCOMPARE(y.background(), x.background());
            QCOMPARE(y.verticalAlignment(), x.verticalAlignment());
            QCOMPARE(y.anchorHref(), x.anchorHref());
            QCOMPARE(y.isImageFormat(), x.isImageFormat());
            if (x.isImageFormat()) {
                QCOMPARE(y.toImageFormat().width(), 30.0);
                QCOMPARE(y.toImageFormat().height(), 20.0);
                const QImage image =
                    qvariant_cast<QImage>(read.resource(QTextDocument::ImageResource, QUrl(y.toImageFormat().name())));
                QCOMPARE(image.size(), QSize(3, 2));
                QCOMPARE(image.pixelColor(1, 1), QColor(Qt::red));
            }
        }
    }

    void writeSelection_insertsBackAsTheSelectedText()
    {
        QTextDocument doc;
        BuildRichDocument(doc);
        QTextCursor cursor(&doc);
        cursor.setPosition(6);
        cursor.setPosition(doc.findBlockByNumber(2).position() + 4, QTextCursor::KeepAnchor);
        const QString selected = cursor.selection().toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        const QByteArray rtf = TQBRtfWriter::WriteSelection(cursor);

        QTextDocument target;
        QTextCursor insert(&target);
        insert.insertText(QStringLiteral("[]"));
        insert.setPosition(1);
        TQBRtfReader::Insert(insert, rtf);
        QCOMPARE(DocumentText(target), QLatin1Char('[') + selected + QLatin1Char(']'));
        QCOMPARE(target.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        cursor.clearSelection();
        QCOMPARE(RtfToPlainText(TQBRtfWriter::WriteSelection(cursor)), QString());
        // A selection of whole paragraphs ends with their marks.
        cursor.setPosition(0);
        cursor.setPosition(doc.findBlockByNumber(1).position(), QTextCursor::KeepAnchor);
        QVERIFY(TQBRtfWriter::WriteSelection(cursor).endsWith("\\par\n}\n"));
    }

    void plainRtf_leavesOutObjectPresentationOnly()
    {
        const QByteArray object = "{\\object\\objemb\\objw1440\\objh720{\\*\\objclass Paint.Picture}"
                                  "{\\*\\objdata 01050000}{\\result{\\pict\\wmetafile8\\picw100\\pich100 0100}}}";
        const QByteArray metafile = "{\\pict\\wmetafile8\\picw2540\\pich2540\\picwgoal1440\\pichgoal1440 010009}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1 a" + object + "b" + metafile + "c}");
        QCOMPARE(DocumentText(doc), QStringLiteral("a\ufffcb\ufffcc"));

        const QByteArray full = TQBRtfWriter::Write(doc);
        QVERIFY(full.contains(object));
        QVERIFY(full.contains(metafile));
        TQBRtfWriteOptions options;
        options.PlainRtf = true;
        const QByteArray plain = TQBRtfWriter::Write(doc, options);
        QVERIFY(plain.contains("{\\object\\objemb\\objw1440\\objh720{\\*\\objclass Paint.Picture}"
                               "{\\*\\objdata 01050000}}"));
        QVERIFY(!plain.contains("\\result"));
        QVERIFY(plain.contains(metafile));
    }

    void linkTemplate_keepsSingleBackslashesThroughASave()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, LinkRtf(QStringLiteral("C:\\Notes\\a.txt"), QStringLiteral("x\\y")));
        QTextDocument again;
        TQBRtfReader::Load(again, TQBRtfWriter::Write(doc));
        const QList<TRun> runs = Runs(again);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.at(0).Text, QStringLiteral("x\\y"));
        QCOMPARE(runs.at(0).Format.anchorHref(), QStringLiteral("C:\\Notes\\a.txt"));
        QCOMPARE(runs.at(0).Format.foreground().color(), QColor(0, 0, 255));
        QVERIFY(runs.at(0).Format.fontUnderline());
    }

    void write_keepsThePlaceOfAPictureWhoseImageIsGone()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("a"));
        QTextImageFormat missing;
        missing.setName(QStringLiteral("qbrtf:nothing-here"));
        cursor.insertImage(missing);
        cursor.insertText(QStringLiteral("b\ufffcc"));
        QCOMPARE(RtfToPlainText(TQBRtfWriter::Write(doc)), QStringLiteral("a\ufffdb\ufffdc"));
    }

    void write_emptyDocumentIsValidRtf()
    {
        QTextDocument doc;
        const QByteArray rtf = TQBRtfWriter::Write(doc);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QTextDocument read;
        TQBRtfReader::Load(read, rtf);
        QCOMPARE(read.blockCount(), 1);
        QCOMPARE(DocumentText(read), QString());
    }
};

QTEST_MAIN(TestQBRtfWriter)
#include "tst_QBRtfWriter.moc"
