// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/VtlHtmlClipping.h"
#include "controls/VtlRichEdit.h"
#include "platform/QBDialogs.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfLists.h"
#include "support/TextInspect.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QTimer>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(QB_TEST_DATA_DIR "/html/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// Puts the data on the clipboard and pastes it as Ctrl+V would.
void paste(TVtlRichEdit &editor, const QByteArray &html, const QString &text = {}, const QImage &image = {})
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/html"), html);
    if (!text.isEmpty())
        data->setText(text);
    if (!image.isNull())
        data->setImageData(image);
    QApplication::clipboard()->setMimeData(data);
    editor.paste();
}

QByteArray save(TVtlRichEdit &editor)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    editor.SaveToStream(buffer);
    return bytes;
}

void load(TVtlRichEdit &editor, const QByteArray &rtf)
{
    QByteArray bytes = rtf;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    editor.LoadFromStream(buffer);
}

QStringList linkTargets(const QTextDocument &document)
{
    QStringList targets;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                targets.append(it.fragment().charFormat().anchorHref());
    targets.removeDuplicates();
    return targets;
}

QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    const QTextBlock block = blockWith(document, text);
    if (!block.isValid())
        return {};
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + int(block.text().indexOf(text)) + 1);
    return cursor.charFormat();
}

int listIndent(const QTextDocument &document, const QString &text)
{
    const QTextBlock block = blockWith(document, text);
    return block.isValid() && block.textList() ? block.textList()->format().indent() : 0;
}

// The checks every browser's copy of the same page must pass, after pasting and after a save and a load.
void checkClipping(const QTextDocument &document)
{
    const QString text = document.toPlainText();
    // Headings: larger and bold, in the page's colour.
    const QTextCharFormat heading = formatOf(document, QStringLiteral("Quillbox clipping"));
    QVERIFY(heading.fontWeight() >= QFont::Bold);
    QVERIFY(heading.fontPointSize() > formatOf(document, QStringLiteral("A paragraph")).fontPointSize() * 1.5);
    QCOMPARE(heading.foreground().color(), QColor(20, 60, 120));
    QVERIFY(formatOf(document, QStringLiteral("Second heading")).fontWeight() >= QFont::Bold);
    // Character styles, and text in the right encoding.
    QVERIFY(formatOf(document, QStringLiteral("bold")).fontWeight() >= QFont::Bold);
    QVERIFY(formatOf(document, QStringLiteral("italic")).fontItalic());
    QVERIFY(formatOf(document, QStringLiteral("underlined")).fontUnderline());
    QVERIFY(formatOf(document, QStringLiteral("struck")).fontStrikeOut());
    QVERIFY2(text.contains(QStringLiteral("Caf\u00e9 M\u00fcller \u2013 na\u00efve.")), qPrintable(text));
    // Lists, nested and numbered from where the page starts them.
    QCOMPARE(listIndent(document, QStringLiteral("First item")), 1);
    QCOMPARE(listIndent(document, QStringLiteral("Nested item")), 2);
    QCOMPARE(listIndent(document, QStringLiteral("Third item")), 1);
    QCOMPARE(QBListLabel(blockWith(document, QStringLiteral("Three"))), QStringLiteral("3."));
    QCOMPARE(QBListLabel(blockWith(document, QStringLiteral("Four"))), QStringLiteral("4."));
    // The table: a row a paragraph, cells at tab stops, header cells bold.
    const QTextBlock row = blockWith(document, QStringLiteral("Cell A1"));
    QCOMPARE(row.text(), QStringLiteral("Cell A1\tCell B1"));
    QVERIFY(!row.blockFormat().tabPositions().isEmpty());
    QCOMPARE(blockWith(document, QStringLiteral("Name")).text(), QStringLiteral("Name\tValue"));
    QVERIFY(formatOf(document, QStringLiteral("Value")).fontWeight() >= QFont::Bold);
    // Links to the web and to mail; the script link is text only.
    QCOMPARE(linkTargets(document),
             (QStringList{QStringLiteral("https://example.com/page"), QStringLiteral("mailto:editor@example.com")}));
    QVERIFY(text.contains(QStringLiteral("script link")));
    // One picture from its data: URL, shrunk to the page's size; the remote one is its alternative text;
    // the tracking pixels are gone, their text too.
    const QList<QTextImageFormat> found = picturesIn(document);
    QCOMPARE(found.size(), 1);
    QVERIFY(found.first().property(QBRtfFormat::PictureData).toByteArray().startsWith("\x89PNG"));
    QCOMPARE(found.first().intProperty(QBRtfFormat::PictureKind), int(QBRtfFormat::Png));
    QCOMPARE(found.first().width(), 8.0);
    QCOMPARE(found.first().height(), 6.0);
    QVERIFY(text.contains(QStringLiteral("Remote: remote photo")));
    QVERIFY(!text.contains(QStringLiteral("tracker")));
    // What a page runs or asks for is not text of the note.
    for (const char *dropped : {"injected", "color: red", "secret-style", "noscript words", "form field words",
                                "button words", "alert", "steal"})
        QVERIFY2(!text.contains(QLatin1String(dropped)), dropped);
    QVERIFY(text.contains(QStringLiteral("Clickable text")));
    QVERIFY(blockWith(document, QStringLiteral("Quoted words")).blockFormat().leftMargin() > 0);
    QVERIFY(text.contains(QStringLiteral("line one\n  line two")));
    QVERIFY(formatOf(document, QStringLiteral("line one"))
                .fontFamilies()
                .toStringList()
                .value(0)
                .contains(QStringLiteral("Courier")));
}

// A PNG of the given size in one bit per pixel, all black, which compresses to almost nothing.
QByteArray hugePng(int width, int height)
{
    const auto crc = [](const QByteArray &bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (const char b : bytes) {
            c ^= quint8(b);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    const auto be32 = [](quint32 v) -> QByteArray {
        QByteArray out(4, '\0');
        for (int i = 0; i < 4; ++i)
            out[i] = char((v >> (24 - 8 * i)) & 0xFF);
        return out;
    };
    const auto chunk = [&](const QByteArray &type, const QByteArray &payload) -> QByteArray {
        return be32(quint32(payload.size())) + type + payload + be32(crc(QByteArray(type + payload)));
    };
    const QByteArray header =
        QByteArray(be32(quint32(width)) + be32(quint32(height)) + QByteArray("\x01\x00\x00\x00\x00", 5));
    QByteArray rows(qsizetype(height) * (1 + (width + 7) / 8), '\0');
    QByteArray compressed = qCompress(rows, 9).mid(4); // a zlib stream without Qt's length prefix
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", compressed) + chunk("IEND", {});
}

QByteArray utf16le(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

class TestVtlRichEditHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QBDialogs::ClearTestState(); }
    void cleanup() { QBDialogs::ClearTestState(); }

    void pasteWebClipping_keepsThePageAndDropsTheRest_data();
    void pasteWebClipping_keepsThePageAndDropsTheRest();
    void pasteWebClipping_inTheMiddleOfALine_staysInTheLine();
    void pasteSmallPage_givesTheTextABrowserShows_data();
    void pasteSmallPage_givesTheTextABrowserShows();
    void pasteHtmlInACharset_readsItsText_data();
    void pasteHtmlInACharset_readsItsText();
    void pasteCopiedImage_takesTheClipboardsPixelsNeverTheAddress();
    void pasteLocalPictures_neverReadsTheFiles();
    void pastePicture_withoutHtml_isMeasuredBeforeItIsDecoded();
    void pasteHostileHtml_givesAMessageOrPlainText_data();
    void pasteHostileHtml_givesAMessageOrPlainText();
    void pasteSpecial_offersHtml_andPastesThroughIt();
};

void TestVtlRichEditHtml::pasteWebClipping_keepsThePageAndDropsTheRest_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("chromium, meta charset prefix") << QStringLiteral("chromium-meta-charset.html");
    QTest::newRow("firefox, UTF-8") << QStringLiteral("firefox-utf8.html");
    QTest::newRow("firefox, UTF-16 with byte order mark") << QStringLiteral("firefox-utf16-bom.html");
    QTest::newRow("windows CF_HTML, meta naming another charset") << QStringLiteral("cf-html-windows.html");
}

void TestVtlRichEditHtml::pasteWebClipping_keepsThePageAndDropsTheRest()
{
    QFETCH(QString, file);
    TVtlRichEdit editor;
    paste(editor, fixture(file), QStringLiteral("plain text that must not be used"));
    QVERIFY(QBDialogs::ShownTexts().isEmpty());
    QVERIFY(!editor.toPlainText().contains(QStringLiteral("must not be used")));
    checkClipping(*editor.document());
    if (QTest::currentTestFailed())
        return;

    // Stored as RTF like any body, pictures included, and the same when read back.
    const QByteArray rtf = save(editor);
    QVERIFY(rtf.contains("\\pngblip"));
    QVERIFY(!rtf.contains("alert"));
    TVtlRichEdit reopened;
    load(reopened, rtf);
    checkClipping(*reopened.document());
    QCOMPARE(reopened.toPlainText(), editor.toPlainText());
    QVERIFY(!reopened.document()
                 ->resource(QTextDocument::ImageResource, QUrl(picturesIn(*reopened.document()).value(0).name()))
                 .value<QImage>()
                 .isNull());
}

void TestVtlRichEditHtml::pasteWebClipping_inTheMiddleOfALine_staysInTheLine()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 before after\\par}");
    editor.SetSelStart(7);
    paste(editor, "<meta charset='utf-8'><span>a <b>bold</b>   word </span>");
    QCOMPARE(editor.toPlainText(), QStringLiteral("before a bold word after"));
    QCOMPARE(editor.document()->blockCount(), 1);
    QVERIFY(formatOf(*editor.document(), QStringLiteral("bold")).fontWeight() >= QFont::Bold);
    QVERIFY(formatOf(*editor.document(), QStringLiteral("word")).fontWeight() < QFont::Bold);
    QVERIFY(formatOf(*editor.document(), QStringLiteral(" ")).fontWeight() < QFont::Bold);

    // A space between elements looks as it did where it was written, not like the element after it.
    TVtlRichEdit spaced;
    paste(spaced, "<p>x <u>under</u> y <a href='https://example.org/'>link</a> <s>struck</s> z</p>");
    QCOMPARE(spaced.toPlainText(), QStringLiteral("x under y link struck z"));
    const QString text = spaced.toPlainText();
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char(' '))
            continue;
        QTextCursor cursor(spaced.document());
        cursor.setPosition(i + 1);
        const QTextCharFormat format = cursor.charFormat();
        QVERIFY2(!format.fontUnderline() && !format.isAnchor() && !format.fontStrikeOut(),
                 qPrintable(QString::number(i)));
    }
}

void TestVtlRichEditHtml::pasteSmallPage_givesTheTextABrowserShows_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("text");
    // Whole paragraphs come with their paragraph end; a piece of one does not.
    QTest::newRow("white space collapses") << QByteArray("<p>  a \n\t b  </p>") << "a b";
    QTest::newRow("line break") << QByteArray("<p>one<br>two</p><p>three</p>") << "one\ntwo\nthree\n";
    QTest::newRow("break ending a paragraph") << QByteArray("<p>one<br></p><p>two</p>") << "one\ntwo\n";
    QTest::newRow("empty line") << QByteArray("<p>one</p><p><br></p><p>two</p>") << "one\n\ntwo\n";
    QTest::newRow("character references")
        << QByteArray("<p>a &amp; b &lt;c&gt; &eacute; &#x1F600;</p>") << QStringLiteral("a & b <c> \u00e9 \U0001F600");
    QTest::newRow("items without a list") << QByteArray("<li>x</li><li>y</li>") << "x\ny\n";
    QTest::newRow("definition list") << QByteArray("<dl><dt>term</dt><dd>meaning</dd></dl>") << "term\nmeaning\n";
    QTest::newRow("comments and instructions") << QByteArray("a<!-- c -->b<?php echo 1; ?>c") << "abc";
    QTest::newRow("hidden parts") << QByteArray("<p>shown<span hidden>secret</span><span style='display: none'>"
                                                "secret</span><span style='visibility:hidden'>secret</span></p>")
                                  << "shown";
    QTest::newRow("text around a table") << QByteArray("before<table><tr><td>a</td><td>b</td></tr></table>after")
                                         << "before\na\tb\nafter";
    QTest::newRow("table in a cell") << QByteArray("<table><tr><td>x<table><tr><td>y</td><td>z</td></tr></table>"
                                                   "</td><td>w</td></tr></table>")
                                     << "x y z\tw";
    QTest::newRow("list in a cell") << QByteArray("<table><tr><td><ul><li>a</li><li>b</li></ul></td></tr></table>")
                                    << "a b";
    QTest::newRow("link schemes") << QByteArray("<a href='vbscript:x'>v</a> <a href='data:text/html,x'>d</a> "
                                                "<a href='/relative'>r</a> <a href='#top'>t</a>")
                                  << "v d r t";
}

void TestVtlRichEditHtml::pasteSmallPage_givesTheTextABrowserShows()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, text);
    TVtlRichEdit editor;
    paste(editor, html, QStringLiteral("plain"));
    QCOMPARE(editor.toPlainText(), text);
    QVERIFY(linkTargets(*editor.document()).isEmpty());
}

void TestVtlRichEditHtml::pasteHtmlInACharset_readsItsText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("windows-1252") << QByteArray("<meta charset=\"windows-1252\"><b>\x93"
                                                "Caf\xe9\x94</b>")
                                  << QStringLiteral("\u201cCaf\u00e9\u201d");
    QTest::newRow("iso-8859-15 by http-equiv")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-15\"><b>\xa4 5</b>")
        << QStringLiteral("\u20ac 5");
    QTest::newRow("koi8-r") << QByteArray("<meta charset='koi8-r'><b>\xf0\xd2\xc9\xd7\xc5\xd4</b>")
                            << QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442");
    QTest::newRow("UTF-8 with byte order mark")
        << QByteArray("\xef\xbb\xbf<b>na\xc3\xafve</b>") << QStringLiteral("na\u00efve");
    QTest::newRow("UTF-8 without a charset") << QByteArray("<b>na\xc3\xafve</b>") << QStringLiteral("na\u00efve");
    QTest::newRow("UTF-16 named by a page in bytes")
        << QByteArray("<meta charset='utf-16'><b>na\xc3\xafve</b>") << QStringLiteral("na\u00efve");
    QTest::newRow("UTF-16 little endian without a mark")
        << utf16le(QStringLiteral("<b>na\u00efve</b>")) << QStringLiteral("na\u00efve");
    QTest::newRow("unknown charset") << QByteArray("<meta charset='no-such-charset'><b>na\xc3\xafve</b>")
                                     << QStringLiteral("na\u00efve");
}

void TestVtlRichEditHtml::pasteHtmlInACharset_readsItsText()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, text);
    TVtlRichEdit editor;
    paste(editor, html, QStringLiteral("plain"));
    QCOMPARE(editor.toPlainText(), text);
    QVERIFY(formatOf(*editor.document(), text.left(2)).fontWeight() >= QFont::Bold);
}

void TestVtlRichEditHtml::pasteCopiedImage_takesTheClipboardsPixelsNeverTheAddress()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    TVtlRichEdit editor;
    paste(editor, fixture(QStringLiteral("copy-image.html")), {}, image);
    const QList<QTextImageFormat> found = picturesIn(*editor.document());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().width(), 20.0);
    const QImage stored = QImage::fromData(found.first().property(QBRtfFormat::PictureData).toByteArray());
    QCOMPARE(stored.size(), QSize(20, 10));
    QCOMPARE(stored.pixelColor(5, 5), QColor(Qt::darkGreen));

    // Without the pixels, the address is never fetched: the picture's text stands in.
    TVtlRichEdit other;
    paste(other, fixture(QStringLiteral("copy-image.html")));
    QVERIFY(picturesIn(*other.document()).isEmpty());
    QCOMPARE(other.toPlainText(), QStringLiteral("copied photo"));

    // Another program's picture file is measured before it is decoded: a huge one is left out.
    TVtlRichEdit third;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/html"), fixture(QStringLiteral("copy-image.html")));
    data->setData(QStringLiteral("image/png"), hugePng(10000, 10000));
    QApplication::clipboard()->setMimeData(data);
    QBDialogs::QueueAnswer(QMessageBox::Ok);
    third.paste();
    QVERIFY(picturesIn(*third.document()).isEmpty());
    QCOMPARE(third.toPlainText(), QStringLiteral("copied photo"));
    QCOMPARE(QBDialogs::ShownTexts().size(), 1);
    QVERIFY(QBDialogs::ShownTexts().first().startsWith(QStringLiteral("Some pictures of the web page")));

    // A picture file of a bearable size is taken as the browser gave it.
    TVtlRichEdit fourth;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    data = new QMimeData;
    data->setData(QStringLiteral("text/html"), fixture(QStringLiteral("copy-image.html")));
    data->setData(QStringLiteral("image/png"), png);
    QApplication::clipboard()->setMimeData(data);
    fourth.paste();
    QCOMPARE(picturesIn(*fourth.document()).size(), 1);
    QCOMPARE(picturesIn(*fourth.document()).first().property(QBRtfFormat::PictureData).toByteArray(), png);
}

// A picture file another program put on the clipboard alone: a huge one is refused with a message
// before a pixel is decoded, by Paste and by Paste Special alike; a fair one arrives.
void TestVtlRichEditHtml::pastePicture_withoutHtml_isMeasuredBeforeItIsDecoded()
{
    const auto offer = [](const QByteArray &png) {
        auto *data = new QMimeData;
        data->setData(QStringLiteral("image/png"), png);
        QApplication::clipboard()->setMimeData(data);
    };
    TVtlRichEdit editor;
    offer(hugePng(10000, 10000));
    QBDialogs::QueueAnswer(QMessageBox::Ok);
    editor.paste();
    QCOMPARE(QBDialogs::ShownTexts(), QStringList{QStringLiteral("The picture is too large.")});
    QVERIFY(picturesIn(*editor.document()).isEmpty());
    QBDialogs::QueueAnswer(QMessageBox::Ok);
    editor.PasteSpecial(pfBitmap);
    QCOMPARE(QBDialogs::ShownTexts().size(), 2);
    QVERIFY(picturesIn(*editor.document()).isEmpty());

    QImage fair(20, 10, QImage::Format_RGB32);
    fair.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    fair.save(&buffer, "PNG");
    offer(png);
    editor.paste();
    QCOMPARE(picturesIn(*editor.document()).size(), 1);
    QCOMPARE(picturesIn(*editor.document()).first().width(), 20.0);

    // Already decoded by a Qt program: measured as it is.
    auto *decoded = new QMimeData;
    decoded->setImageData(fair);
    QApplication::clipboard()->setMimeData(decoded);
    editor.paste();
    QCOMPARE(picturesIn(*editor.document()).size(), 2);
    QCOMPARE(QBDialogs::ShownTexts().size(), 2);
}

void TestVtlRichEditHtml::pasteLocalPictures_neverReadsTheFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString secret = dir.filePath(QStringLiteral("secret.png"));
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QVERIFY(image.save(secret, "PNG"));
    QFile file(secret);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray secretBytes = file.readAll();

    QByteArray html = fixture(QStringLiteral("local-files.html"));
    html.replace("@LOCALFILE@", secret.toUtf8());
    TVtlRichEdit editor;
    // Relative addresses would be looked up beside the working folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    paste(editor, html);
    QDir::setCurrent(before);
    QVERIFY(picturesIn(*editor.document()).isEmpty());
    QVERIFY(linkTargets(*editor.document()).isEmpty());
    QCOMPARE(editor.toPlainText(), QStringLiteral("Before the pictures\nAfter the pictures\nlocal link"));
    const QByteArray rtf = save(editor);
    QVERIFY(!rtf.contains("\\pict"));
    QVERIFY(!rtf.contains(secretBytes.toHex().left(64)));
}

void TestVtlRichEditHtml::pasteHostileHtml_givesAMessageOrPlainText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("message"); // the start of the message shown; empty: none
    QTest::addColumn<QString>("text");    // what the editor must then hold

    const QString deep = QStringLiteral("Part of the web page was nested too deeply");
    QTest::newRow("100,000 nested divs") << repeated("<div>", 100000) + "deep end" + repeated("</div>", 100000) << deep
                                         << "deep end";
    QTest::newRow("100,000 nested bold") << repeated("<b>x", 100000) + " deep end" << deep << " deep end";
    QTest::newRow("100,000 nested lists") << repeated("<ul><li>", 100000) + "deep end" << deep << "deep end";
    QTest::newRow("nested bold closed by wrong tags")
        << repeated("<b>", 100000) + "words" + repeated("</i>", 100000) + "tail" << deep << "wordstail";
    QTest::newRow("50 MB of markup") << repeated("<p><span class=\"c\">filler words</span></p>\n", 1200000)
                                     << "The web page on the clipboard is too large"
                                     << "plain fallback text";
    QTest::newRow("broken markup") << QByteArray("<table><tr><td>cell<p><b>bold<i>both</b>after</i><ul><li>item"
                                                 "</td></table><a href='https://x.example/'>link<!-- unterminated")
                                   << QString() << "cell boldbothafter item link";
    QTest::newRow("unterminated script") << QByteArray("<p>shown</p><script>var hidden = '<p>not shown</p>';")
                                         << QString() << "shown";
    QTest::newRow("10,000 x 10,000 picture")
        << "<p>big <img alt='too big' src='data:image/png;base64," + hugePng(10000, 10000).toBase64() + "'> end</p>"
        << "Some pictures of the web page were too large"
        << "big too big end";
    QTest::newRow("picture that is not one")
        << QByteArray("<p>x<img alt='broken' src='data:image/png;base64,AAAAAAAAAAAA'>y</p>") << QString()
        << "xbrokeny";
    QTest::newRow("empty page") << QByteArray("<html><head><title>t</title></head><body></body></html>") << QString()
                                << "plain fallback text";
}

void TestVtlRichEditHtml::pasteHostileHtml_givesAMessageOrPlainText()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, message);
    QFETCH(QString, text);
    TVtlRichEdit editor;
    if (!message.isEmpty())
        QBDialogs::QueueAnswer(QMessageBox::Ok);
    paste(editor, html, QStringLiteral("plain fallback text"));
    html.clear();
    const QStringList shown = QBDialogs::ShownTexts();
    if (message.isEmpty()) {
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('|'))));
    } else {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith(message), qPrintable(shown.first()));
    }
    QString plain = editor.toPlainText().trimmed();
    plain.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QVERIFY2(plain.endsWith(text), qPrintable(plain.right(200)));
    QVERIFY2(!plain.contains(QLatin1Char('>')), qPrintable(plain.left(200)));
    QVERIFY(picturesIn(*editor.document()).isEmpty());

    // The editor goes on working.
    editor.moveCursor(QTextCursor::End);
    QTest::keyClicks(&editor, QStringLiteral("typed"));
    QVERIFY(editor.toPlainText().endsWith(QStringLiteral("typed")));
    editor.Undo();
    QVERIFY(!editor.toPlainText().endsWith(QStringLiteral("typed")));
}

void TestVtlRichEditHtml::pasteSpecial_offersHtml_andPastesThroughIt()
{
    TVtlRichEdit editor;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/html"), "<meta charset='utf-8'><b>web</b> page <script>x()</script>");
    data->setText(QStringLiteral("web page"));
    QApplication::clipboard()->setMimeData(data);
    QVERIFY(editor.CanPasteFormat(pfHtml));
    QStringList offered;
    QString result;
    QTimer::singleShot(0, &editor, [&] {
        auto *dialog = editor.findChild<QDialog *>(QStringLiteral("PasteSpecialDialog"));
        QVERIFY(dialog);
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lbFormats"));
        for (int i = 0; i < list->count(); ++i)
            offered.append(list->item(i)->text());
        list->setCurrentRow(0);
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->text().contains(QStringLiteral("web page")))
                result = label->text();
        dialog->accept();
    });
    QVERIFY(editor.PasteSpecialDialog());
    QCOMPARE(offered, (QStringList{QStringLiteral("HTML"), QStringLiteral("Unformatted text")}));
    QCOMPARE(result, QStringLiteral("Inserts the contents of the clipboard into your document as formatted text "
                                    "from a web page."));
    QCOMPARE(editor.toPlainText(), QStringLiteral("web page"));
    QVERIFY(formatOf(*editor.document(), QStringLiteral("web")).fontWeight() >= QFont::Bold);

    editor.clear();
    editor.PasteSpecial(pfText);
    QCOMPARE(editor.toPlainText(), QStringLiteral("web page"));
    QVERIFY(formatOf(*editor.document(), QStringLiteral("web")).fontWeight() < QFont::Bold);

    QApplication::clipboard()->setText(QStringLiteral("only text"));
    QVERIFY(!editor.CanPasteFormat(pfHtml));
    editor.SetPlainText(true);
    QApplication::clipboard()->setMimeData(new QMimeData);
    QVERIFY(!editor.CanPasteFormat(pfHtml));
}

QTEST_MAIN(TestVtlRichEditHtml)
#include "tst_VtlRichEditHtml.moc"
