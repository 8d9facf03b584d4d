// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "RtfTestHelpers.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfObjects.h"
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

QByteArray RedPng(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The object group that holds the document's one object, and the picture it shows.
QByteArray KeptGroup(const QTextDocument &doc, QImage *shown = nullptr)
{
    for (const TRun &run : Runs(doc)) {
        if (!run.Format.isImageFormat())
            continue;
        if (shown)
            *shown = qvariant_cast<QImage>(
                doc.resource(QTextDocument::ImageResource, QUrl(run.Format.toImageFormat().name())));
        return run.Format.property(QBRtfFormat::KeptRtf).toByteArray();
    }
    return {};
}

void PutU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// Object data as an older packager writes it: ANSI names only, nothing after the file's bytes.
QByteArray AnsiOnlyPackage(const QByteArray &label, const QByteArray &data)
{
    QByteArray native("\x02\x00", 2);
    native += label + '\0' + "C:\\Docs\\" + label + '\0';
    native += QByteArray("\x00\x00\x03\x00", 4);
    const QByteArray temp = "C:\\Temp\\" + label;
    PutU32(native, quint32(temp.size() + 1));
    native += temp + '\0';
    PutU32(native, quint32(data.size()));
    native += data;
    QByteArray out;
    PutU32(out, 0x0501);
    PutU32(out, 2);
    PutU32(out, 8);
    out += QByteArray("Package\0", 8);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, quint32(native.size()));
    return out + native;
}

} // namespace

class TestQBRtfObjects : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void attachment_survivesReadAndWrite_shownAsItsPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("storedName");
        QByteArray everyByte;
        for (int i = 0; i < 256 * 3; ++i)
            everyByte += char(i);
        QTest::newRow("plain") << "notes.txt" << QByteArray("some text\n") << "notes.txt";
        QTest::newRow("spaces and umlauts") << "Bericht März 2026.pdf" << everyByte << "Bericht März 2026.pdf";
        QTest::newRow("beyond the ANSI code page") << "会议记录 ☃.odt" << QByteArray("x") << "会议记录 ☃.odt";
        QTest::newRow("empty file") << "empty.bin" << QByteArray() << "empty.bin";
        QTest::newRow("folders are dropped") << "../../etc/passwd" << QByteArray("root") << "passwd";
        QTest::newRow("windows folders too") << "C:\\Users\\x\\report.doc" << QByteArray("d") << "report.doc";
        QTest::newRow("no hidden names") << ".bashrc" << QByteArray("alias") << "bashrc";
        QTest::newRow("control characters") << QString::fromUtf8("a\nb\tc.txt") << QByteArray("t") << "a_b_c.txt";
        QTest::newRow("no name at all") << ".." << QByteArray("t") << "attachment";
    }

    void attachment_survivesReadAndWrite_shownAsItsPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, storedName);
        const QByteArray group =
            QBRtfObjects::AttachmentRtf({name, data}, RedPng(QSize(80, 60)), QSize(80, 60), QSize(40, 30));
        QVERIFY(QBRtfObjects::IsAttachmentRtf(group));

        QTextDocument doc;
        TQBRtfReader::Load(doc, "{\\rtf1\\ansi before " + group + " after}");
        QCOMPARE(DocumentText(doc), QStringLiteral("before \ufffc after"));
        QImage shown;
        QCOMPARE(KeptGroup(doc, &shown), group);
        // Drawn as the picture that travels with it, at the size it is shown at, not as a grey box.
        QCOMPARE(shown.size(), QSize(80, 60));
        QCOMPARE(shown.pixelColor(10, 10), QColor(Qt::red));

        // Writing gives the group back as it was, so the file inside stays byte for byte.
        const QByteArray written = TQBRtfWriter::Write(doc);
        QVERIFY(written.contains(group));
        QTextDocument again;
        TQBRtfReader::Load(again, written);
        const std::optional<TQBAttachment> attachment = QBRtfObjects::AttachmentFromRtf(KeptGroup(again));
        QVERIFY(attachment);
        QCOMPARE(attachment->FileName, storedName);
        QCOMPARE(attachment->Data, data);
        // Text search sees an object character and nothing of the file.
        QCOMPARE(RtfToPlainText(written), QStringLiteral("before \ufffc after"));
    }

    void otherObjectsAndPictures_holdNoAttachment()
    {
        const QList<QByteArray> groups = {
            "{\\object\\objemb{\\*\\objclass Excel.Sheet.8}{\\*\\objdata 0105}{\\result{\\pict\\wmetafile8 01}}}",
            "{\\object\\objemb{\\*\\objclass Packager Shell Object}{\\*\\objdata 00}}",
            "{\\pict\\pngblip 89504e47}",
            "{\\object\\objemb{\\*\\objclass Package}{\\*\\objdata 0105000002}}",
            "",
        };
        for (const QByteArray &group : groups) {
            QVERIFY2(!QBRtfObjects::AttachmentFromRtf(group), group.constData());
            if (!group.contains("Package}"))
                QVERIFY2(!QBRtfObjects::IsAttachmentRtf(group), group.constData());
        }
    }

    void olderPackages_withAnsiNamesOnly_areRead()
    {
        const QByteArray objdata = AnsiOnlyPackage("M\xe4rz.txt", "content");
        const std::optional<TQBAttachment> attachment = QBRtfObjects::ReadPackage(objdata);
        QVERIFY(attachment);
        QCOMPARE(attachment->FileName, QStringLiteral("März.txt"));
        QCOMPARE(attachment->Data, QByteArray("content"));

        // The same in an object group with its data in binary rather than hex.
        const QByteArray group = "{\\object\\objemb{\\*\\objclass Package}{\\*\\objdata\\bin" +
                                 QByteArray::number(objdata.size()) + " " + objdata + "}}";
        const std::optional<TQBAttachment> fromBinary = QBRtfObjects::AttachmentFromRtf(group);
        QVERIFY(fromBinary);
        QCOMPARE(fromBinary->Data, QByteArray("content"));
    }

    void damagedPackages_giveNothing_neverReadPastTheirEnd()
    {
        const QByteArray whole = QBRtfObjects::PackageData(QStringLiteral("name.txt"), QByteArray(300, 'z'));
        QVERIFY(QBRtfObjects::ReadPackage(whole));
        // Cut anywhere before the file's last byte: nothing, and no read beyond the data (the sanitizers watch).
        const qsizetype dataEnd = whole.indexOf(QByteArray(300, 'z')) + 300;
        for (qsizetype length = 0; length < dataEnd; ++length)
            QVERIFY2(!QBRtfObjects::ReadPackage(QByteArrayView(whole).first(length)),
                     qPrintable(QString::number(length)));

        // Sizes that claim more than there is, in every length field.
        for (qsizetype at = 0; at + 4 <= whole.size(); ++at) {
            QByteArray damaged = whole;
            qToLittleEndian<quint32>(0xFFFFFFF0u, damaged.data() + at);
            const std::optional<TQBAttachment> result = QBRtfObjects::ReadPackage(damaged);
            if (result)
                QVERIFY(result->Data.size() <= 300);
        }
    }
};

QTEST_MAIN(TestQBRtfObjects)
#include "tst_QBRtfObjects.moc"
