// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "controls/ArticleRichEdit.h"
#include "document/QBXml.h"
#include "editor/QBEditorSvc.h"
#include "rtf/QBRtfBody.h"
#include "rtf/QBRtfText.h"
#include "services/QBDocSvc.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

// A body as word processors write a pasted screenshot: a few words, then the picture as hex in
// lines of 128 digits, all of it in one CDATA section of the file. The picture is noise, stored
// uncompressed, so its PNG is about as large as its pixels.
QByteArray oneSectionFile(qsizetype megabytes)
{
    const qsizetype pngBytes = megabytes * 1000 * 1000 / 2;
    const int side = int(std::sqrt(double(pngBytes) / 3.0));
    QImage image(side, side, QImage::Format_RGB888);
    QRandomGenerator random(20);
    for (int y = 0; y < side; ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.bytesPerLine() / 4);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    writer.setQuality(100); // no compression: noise would not shrink anyway
    writer.write(image);
    const QByteArray picture = png.data();

    QByteArray file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Snippets Version=\"1.1\" LastIID=\"2\"><Article "
        "IID=\"_0\" Caption=\"Root\"><Items><Article IID=\"_1\" Caption=\"Small\"><Content><![CDATA["
        "{\\rtf1\\ansi small}]]></Content></Article><Article IID=\"_2\" Caption=\"Screenshot\"><Content>"
        "<![CDATA[{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}"
        "\r\n\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 The meeting's whiteboard\\par\r\n"
        "{\\pict{\\*\\picprop}\\pngblip\\picw";
    file += QByteArray::number(side * 26) + "\\pich" + QByteArray::number(side * 26) + "\\picwgoal" +
            QByteArray::number(side * 15) + "\\pichgoal" + QByteArray::number(side * 15) + "\r\n";
    file.reserve(file.size() + picture.size() * 2 + picture.size() / 64 + 200);
    const QByteArray hex = picture.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128) {
        file.append(hex.constData() + at, std::min<qsizetype>(128, hex.size() - at));
        file += "\r\n";
    }
    file += "}\\par\r\nAfter the picture\\par\r\n}\r\n]]></Content></Article></Items></Article></Snippets>\r\n";
    return file;
}

// Starts the peak resident memory afresh, so it counts only what follows (not making the file).
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The peak resident memory of a running process as it stands now, in MB.
double processPeakMB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

QString mb(double value)
{
    return QString::number(value, 'f', 0) + QStringLiteral(" MB");
}

void bigBody(QTextStream &out, qsizetype megabytes)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("big.xqb"));
    {
        const QByteArray bytes = oneSectionFile(megabytes);
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            out << "   cannot write " << fileName << "\n";
            return;
        }
        out << "   file: " << QString::number(double(bytes.size()) / 1e6, 'f', 1)
            << " MB, the body in one CDATA section\n";
    }
    resetPeak();
    out << "   resident before: " << mb(QBBenchMemoryMB()) << "\n";
    out.flush();

    QElapsedTimer timer;
    timer.start();
    {
        const IQBDocumentPtr document = QBReadDocument(fileName);
        const qint64 open = timer.nsecsElapsed();
        out << "   open: " << QBBenchMs(open) << ", resident " << mb(QBBenchMemoryMB()) << " (peak "
            << mb(QBBenchMemoryMB("VmHWM:")) << ")\n";
        const QByteArray body = QBBodyBytes(document->FindArticle(2)->Content());
        timer.restart();
        const QString text = RtfToPlainText(body);
        out << "   plain text for search and export: " << QBBenchMs(timer.nsecsElapsed()) << ", " << text.size()
            << " characters\n";
    }
    out.flush();

    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/quillbox-cli");
    if (QFile::exists(cli)) {
        QProcess process;
        timer.restart();
        process.start(cli, {QStringLiteral("text"), fileName, QStringLiteral("2")});
        process.waitForStarted();
        // The peak only grows; the last reading before the end is the figure.
        double peak = 0;
        const qint64 pid = process.processId();
        while (!process.waitForFinished(5))
            peak = std::max(peak, processPeakMB(pid));
        out << "   quillbox-cli text: " << QBBenchMs(timer.nsecsElapsed()) << ", exit " << process.exitCode()
            << ", its peak resident " << mb(peak) << ", printed "
            << QString::fromUtf8(process.readAllStandardOutput()).simplified() << "\n";
    }
    out.flush();

    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    const TQBBenchServices services;
    const TQBBenchEditorArea area;
    TArticleRichEdit *editor = area.Editor();
    timer.restart();
    DataService()->OpenDocument(fileName);
    out << "   open through the data service: " << QBBenchMs(timer.nsecsElapsed()) << "\n";
    const IQBDocumentPtr document = DataService()->GetDocument();
    const IQBEditorServicePtr svc = EditorService();
    svc->NavigateTo(document->FindArticle(1));
    QCoreApplication::processEvents();
    const double before = QBBenchMemoryMB();
    resetPeak();
    timer.restart();
    svc->NavigateTo(document->FindArticle(2));
    const qint64 show = timer.nsecsElapsed();
    QCoreApplication::processEvents();
    out << "   switch to it in the editor: " << QBBenchMs(show) << " (shown after " << QBBenchMs(timer.nsecsElapsed())
        << "), resident " << mb(before) << " -> " << mb(QBBenchMemoryMB()) << " (peak " << mb(QBBenchMemoryMB("VmHWM:"))
        << "), " << editor->TextLength() << " characters\n";
    timer.restart();
    svc->NavigateTo(document->FindArticle(1));
    out << "   and away again (stores nothing unchanged): " << QBBenchMs(timer.nsecsElapsed()) << "\n";
}

const bool registered50 =
    QBRegisterBenchmark(QStringLiteral("bigbody50"),
                        QStringLiteral("a 50 MB body in one CDATA section (a pasted picture): open, plain text, "
                                       "quillbox-cli text, switching to it in the editor"),
                        [](QTextStream &out) { bigBody(out, 50); });
const bool registered200 =
    QBRegisterBenchmark(QStringLiteral("bigbody200"), QStringLiteral("the same with a 200 MB body"),
                        [](QTextStream &out) { bigBody(out, 200); });

} // namespace
