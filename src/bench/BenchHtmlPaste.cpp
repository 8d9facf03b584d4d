// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "controls/VtlHtmlClipping.h"
#include "controls/VtlRichEdit.h"
#include "platform/QBDialogs.h"
#include "xml/QBHtmlReader.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QByteArray PngDataUrl(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.drawEllipse(QRect(4, 4, width - 8, height - 8));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + png.toBase64();
}

// A web page as a browser copies it: headings, paragraphs with styles and links, lists, a table, pictures.
QByteArray WebPage(qsizetype size)
{
    QRandomGenerator random(7);
    static const char *const words[] = {"clipping", "web",  "page",   "note", "quillbox", "caf\xc3\xa9",
                                        "the",      "of",   "and",    "text", "browser",  "\xd0\xbf\xd1\x80",
                                        "outline",  "list", "heading"};
    const auto sentence = [&](int count) {
        QByteArray out;
        for (int w = 0; w < count; ++w) {
            const char *word = words[random.bounded(int(std::size(words)))];
            switch (random.bounded(16)) {
            case 0:
                out += QByteArray("<b>") + word + "</b>";
                break;
            case 1:
                out += QByteArray("<em>") + word + "</em>";
                break;
            case 2:
                out += QByteArray("<a href=\"https://example.com/") + word + "\" onclick=\"track()\">" + word + "</a>";
                break;
            case 3:
                out += QByteArray("<span style=\"color: rgb(180, 30, 30)\">") + word + "</span>";
                break;
            default:
                out += word;
                break;
            }
            out += ' ';
        }
        return out;
    };
    QByteArray page = "<meta charset='utf-8'><div class=\"article\"><style>.a{color:red}</style>";
    int section = 0;
    while (page.size() < size) {
        ++section;
        page += "<h2>Section " + QByteArray::number(section) + "</h2>\n";
        for (int p = 0; p < 6; ++p)
            page += "<p class=\"text\">" + sentence(40 + int(random.bounded(40))) + "</p>\n";
        page += "<ul>";
        for (int i = 0; i < 4; ++i)
            page += "<li>" + sentence(8) + (i == 2 ? "<ol><li>" + sentence(5) + "</li></ol>" : QByteArray()) + "</li>";
        page += "</ul>\n<script>track(" + QByteArray::number(section) + ")</script>\n";
        if (section % 10 == 1) {
            page += "<table><tr><th>Name</th><th>Value</th><th>Note</th></tr>";
            for (int r = 0; r < 20; ++r)
                page += "<tr><td>row " + QByteArray::number(r) + "</td><td>" + QByteArray::number(r * 17) +
                        "</td><td>" + sentence(4) + "</td></tr>";
            page += "</table>\n";
        }
        if (section % 25 == 2)
            page += "<p><img src=\"" + PngDataUrl(320, 200, qRgb(40, 90 + section % 100, 160)) +
                    "\" width=\"160\" alt=\"figure\"></p>\n";
    }
    return page + "</div>";
}

QByteArray Repeated(const QByteArray &piece, qsizetype size)
{
    QByteArray out;
    out.reserve(size + piece.size());
    while (out.size() < size)
        out += piece;
    return out;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct TPasteResult
{
    qint64 Ns = 0;
    int Pictures = 0;
};

TPasteResult Paste(const QByteArray &html, const QString &text)
{
    TVtlRichEdit editor;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/html"), html);
    if (!text.isEmpty())
        data->setText(text);
    QApplication::clipboard()->setMimeData(data);
    // Whatever message the paste gives is answered at once.
    for (int i = 0; i < 4; ++i)
        QBDialogs::QueueAnswer(QMessageBox::Ok);
    QElapsedTimer timer;
    timer.start();
    editor.paste();
    TPasteResult result;
    result.Ns = timer.nsecsElapsed();
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            result.Pictures += it.fragment().charFormat().isImageFormat() ? 1 : 0;
    QBDialogs::ClearTestState();
    QApplication::clipboard()->clear();
    return result;
}

void HtmlPasteBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    const TQBBenchServices services;

    const QByteArray page = WebPage(1024 * 1024);
    Paste(page, {}); // first use loads the image plugins
    const TPasteResult web = Paste(page, {});
    out << "   paste a " << page.size() / 1024 << " KB web page (" << web.Pictures
        << " pictures): " << QBBenchMs(web.Ns) << " (target 1000 ms)\n";

    const QByteArray large = WebPage(VtlHtmlClipping::MaxBytes - 64 * 1024);
    const TPasteResult largest = Paste(large, {});
    out << "   paste a " << large.size() / 1024 / 1024
        << " MB web page, just under the limit: " << QBBenchMs(largest.Ns) << "\n";

    {
        QByteArray deep = Repeated("<div><b>", 8 * 100000);
        deep += "end";
        ResetPeak();
        const double before = QBBenchMemoryMB();
        const TPasteResult result = Paste(deep, QStringLiteral("plain"));
        out << "   paste 100,000 nested div/b pairs: " << QBBenchMs(result.Ns) << ", peak "
            << QString::number(QBBenchMemoryMB("VmHWM:"), 'f', 0) << " MB resident (" << QString::number(before, 'f', 0)
            << " MB before)\n";
    }
    {
        // The parser looks through the open elements for each misplaced end tag: the worst case is the
        // deepest nesting still read as structure, followed by nothing but such tags.
        QByteArray stray = Repeated("<b>", 3 * (QBHtml::MaxDepth - 3));
        stray += Repeated("</i>", VtlHtmlClipping::MaxBytes - stray.size() - 8);
        const TPasteResult result = Paste(stray, QStringLiteral("plain"));
        out << "   paste " << stray.size() / 1024 / 1024 << " MB of misplaced end tags inside " << QBHtml::MaxDepth - 3
            << " open elements: " << QBBenchMs(result.Ns) << "\n";
    }
    {
        QByteArray hostile = Repeated("<p><span class=\"c\">filler words</span><b><i>", 50 * 1024 * 1024);
        const QString text = QString::fromLatin1(Repeated("filler words ", 4 * 1024 * 1024));
        ResetPeak();
        const double before = QBBenchMemoryMB();
        const TPasteResult result = Paste(hostile, text);
        out << "   paste a " << hostile.size() / 1024 / 1024 << " MB web page (refused, " << text.size() / 1024 / 1024
            << " MB of plain text pasted instead): " << QBBenchMs(result.Ns) << ", peak "
            << QString::number(QBBenchMemoryMB("VmHWM:"), 'f', 0) << " MB resident (" << QString::number(before, 'f', 0)
            << " MB before)\n";
    }
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("htmlpaste"),
    QStringLiteral("editor: pasting a 1 MB web clipping, the largest page kept, and hostile HTML"), HtmlPasteBench);

} // namespace
