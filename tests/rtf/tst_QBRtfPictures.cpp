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
#include <QTextDocument>
#include <QtEndian>

using namespace QBRtfTest;

namespace {

QByteArray Encode(const QImage &image, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

QImage TwoColours()
{
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    for (int x = 0; x < 4; ++x)
        image.setPixelColor(x, 1, QColor(0, 0, 255));
    return image;
}

// The one picture of a document read from the RTF, with its format.
QImage PictureOf(const QTextDocument &doc, QTextImageFormat *format = nullptr)
{
    for (const TRun &run : Runs(doc)) {
        if (run.Format.isImageFormat()) {
            if (format)
                *format = run.Format.toImageFormat();
            return qvariant_cast<QImage>(
                doc.resource(QTextDocument::ImageResource, QUrl(run.Format.toImageFormat().name())));
        }
    }
    return {};
}

QByteArray Dib24(const QImage &image)
{
    // BITMAPINFOHEADER followed by bottom-up BGR rows padded to four bytes.
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(image.width(), dib.data() + 4);
    qToLittleEndian<qint32>(image.height(), dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(24, dib.data() + 14);
    const int stride = (image.width() * 3 + 3) & ~3;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            row[x * 3] = char(c.blue());
            row[x * 3 + 1] = char(c.green());
            row[x * 3 + 2] = char(c.red());
        }
        dib += row;
    }
    return dib;
}

} // namespace

class TestQBRtfPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void png_isDecodedSizedAndWrittenBackUnchanged()
    {
        const QByteArray png = Encode(TwoColours(), "PNG");
        const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich2\\picwgoal600\\pichgoal300\\picscalex50"
                               "\\picscaley200 " +
                               png.toHex() + "}b}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(DocumentText(doc), QStringLiteral("a\ufffcb"));
        QTextImageFormat format;
        const QImage image = PictureOf(doc, &format);
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(3, 1), QColor(0, 0, 255));
        QCOMPARE(format.width(), 20.0);  // 600 twips at 50 %
        QCOMPARE(format.height(), 40.0); // 300 twips at 200 %
        QCOMPARE(format.property(QBRtfFormat::PictureData).toByteArray(), png);

        const QByteArray written = TQBRtfWriter::Write(doc);
        QVERIFY(written.contains("{\\pict\\pngblip\\picw4\\pich2\\picwgoal300\\pichgoal600"));
        QVERIFY(QByteArray(written).replace('\n', "").contains(png.toHex()));
    }

    void png_inBinaryForm()
    {
        const QByteArray png = Encode(TwoColours(), "PNG");
        const QByteArray rtf = "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + ' ' + png + "}}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(PictureOf(doc).size(), QSize(4, 2));
        QCOMPARE(RtfToPlainText(rtf), QStringLiteral("\ufffc"));
    }

    void jpeg_isDecodedThroughLibjpegAndWrittenAsJpeg()
    {
        QImage source(16, 8, QImage::Format_RGB32);
        source.fill(QColor(0, 160, 0));
        const QByteArray jpeg = Encode(source, "JPEG");
        QVERIFY(jpeg.startsWith("\xff\xd8"));
        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1{\\*\\shppict{\\pict\\jpegblip\\picw16\\pich8 " + jpeg.toHex() +
                                    "}}{\\nonshppict{\\pict\\wmetafile8 0100}}}");
        QCOMPARE(DocumentText(doc), QStringLiteral("\ufffc"));
        QTextImageFormat format;
        const QImage image = PictureOf(doc, &format);
        QCOMPARE(image.size(), QSize(16, 8));
        const QColor middle = image.pixelColor(8, 4);
        QVERIFY(qAbs(middle.green() - 160) < 8 && middle.red() < 8 && middle.blue() < 8);
        QCOMPARE(format.width(), 16.0);
        const QByteArray written = TQBRtfWriter::Write(doc);
        QVERIFY(written.contains("{\\pict\\jpegblip\\picw16\\pich8\\picwgoal240\\pichgoal120"));
        QVERIFY(QByteArray(written).replace('\n', "").contains(jpeg.toHex()));
    }

    void dib_isDecodedAndWrittenAsPng()
    {
        const QByteArray rtf = "{\\rtf1{\\pict\\dibitmap0\\picw4\\pich2 " + Dib24(TwoColours()).toHex() + "}}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        const QImage image = PictureOf(doc);
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 1), QColor(0, 0, 255));
        QVERIFY(TQBRtfWriter::Write(doc).contains("\\pngblip"));
    }

    void wbitmap_monochromeIsDecoded()
    {
        // Two rows of eight pixels: alternating, then all white; rows padded to two bytes.
        const QByteArray rtf = "{\\rtf1{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
                               "aa00ff00}}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        const QImage image = PictureOf(doc);
        QCOMPARE(image.size(), QSize(8, 2));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 255, 255));
        QCOMPARE(image.pixelColor(1, 0), QColor(0, 0, 0));
        QCOMPARE(image.pixelColor(5, 1), QColor(255, 255, 255));
    }

    void metafilesAndObjects_becomePlaceholdersThatKeepTheirRtf_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QSize>("size");
        QTest::newRow("wmf") << QByteArray("{\\pict\\wmetafile8\\picw2540\\pich1270 0100090000}") << QSize(96, 48);
        QTest::newRow("wmf goal") << QByteArray("{\\pict\\wmetafile8\\picw1\\pich1\\picwgoal300\\pichgoal150 01}")
                                  << QSize(20, 10);
        QTest::newRow("emf") << QByteArray("{\\pict\\emfblip\\picwgoal1500\\pichgoal750\n0100\n0000}")
                             << QSize(100, 50);
        QTest::newRow("object") << QByteArray("{\\object\\objemb\\objw3000\\objh1500{\\*\\objclass Excel.Sheet.8}"
                                              "{\\*\\objdata 0105}{\\result{\\pict\\wmetafile8\\picw10\\pich10 01}}}")
                                << QSize(200, 100);
        QTest::newRow("object sized by its result")
            << QByteArray(
                   "{\\object\\objemb{\\*\\objdata 0105}{\\result{\\pict\\emfblip\\picwgoal600\\pichgoal300 01}}}")
            << QSize(40, 20);
        QTest::newRow("damaged png") << QByteArray("{\\pict\\pngblip\\picwgoal150\\pichgoal150 89504e470d0a1a0aff}")
                                     << QSize(10, 10);
        QTest::newRow("png of a billion pixels")
            << QByteArray("{\\pict\\pngblip\\picwgoal150\\pichgoal150 89504e470d0a1a0a0000000d49484452"
                          "000100000001000008020000000000}")
            << QSize(10, 10);
        QTest::newRow("unknown kind") << QByteArray("{\\pict\\macpict\\picwgoal300\\pichgoal300 00}") << QSize(20, 20);
    }

    void metafilesAndObjects_becomePlaceholdersThatKeepTheirRtf()
    {
        QFETCH(QByteArray, group);
        QFETCH(QSize, size);
        const QByteArray rtf = "{\\rtf1\\ansi x" + group + "y\\par}";
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(DocumentText(doc), QStringLiteral("x\ufffcy"));
        QCOMPARE(RtfToPlainText(rtf), QStringLiteral("x\ufffcy"));
        QTextImageFormat format;
        const QImage placeholder = PictureOf(doc, &format);
        QCOMPARE(format.property(QBRtfFormat::KeptRtf).toByteArray(), group);
        QCOMPARE(QSizeF(format.width(), format.height()), QSizeF(size));
        QCOMPARE(placeholder.size(), size);
        QCOMPARE(placeholder.pixelColor(0, 0), QColor(0x80, 0x80, 0x80)); // the frame

        // Saving writes the group back unchanged, also after another round.
        const QByteArray written = TQBRtfWriter::Write(doc);
        QVERIFY(written.contains(group));
        QTextDocument again;
        TQBRtfReader::Load(again, written);
        QVERIFY(TQBRtfWriter::Write(again).contains(group));
    }
};

QTEST_MAIN(TestQBRtfPictures)
#include "tst_QBRtfPictures.moc"
