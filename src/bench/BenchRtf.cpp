// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfWriter.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextDocument>

#include <algorithm>
#include <ctime>

namespace {

// A body as the rich edit control writes it: tables, formatted runs, accented and Cyrillic text,
// Unicode escapes, bullets and links, about the given size.
QByteArray MakeBody(QRandomGenerator &random, qsizetype size)
{
    static const char *const words[] = {"note",
                                        "clipping",
                                        "article",
                                        "quillbox",
                                        "outline",
                                        "marker",
                                        "search",
                                        "the",
                                        "of",
                                        "and",
                                        "archive",
                                        "reference",
                                        "caf\\'e9",
                                        "na\\'efve",
                                        "\\u1087?\\u1088?\\u1080\\u1084?",
                                        "\\u26085?\\u26412?"};
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
                     "{\\colortbl ;\\red0\\green0\\blue255;\\red192\\green0\\blue0;}\r\n"
                     "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    int paragraph = 0;
    while (rtf.size() < size) {
        ++paragraph;
        if (paragraph % 7 == 0)
            rtf += "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li360 ";
        else if (paragraph % 7 == 1)
            rtf += "\\pard ";
        const int length = 20 + int(random.bounded(60));
        for (int w = 0; w < length; ++w) {
            const int pick = int(random.bounded(int(std::size(words))));
            switch (random.bounded(24)) {
            case 0:
                rtf += "\\b ";
                rtf += words[pick];
                rtf += "\\b0 ";
                break;
            case 1:
                rtf += "{\\i ";
                rtf += words[pick];
                rtf += "}";
                break;
            case 2:
                rtf +=
                    "{\\field{\\*\\fldinst { HYPERLINK \"@_" + QByteArray::number(pick) + "\" }}{\\fldrslt{\\cf1\\ul ";
                rtf += words[pick];
                rtf += "}}}\\cf0\\ulnone";
                break;
            case 3:
                rtf += "\\cf2\\f1\\fs24 ";
                rtf += words[pick];
                rtf += "\\cf0\\f0\\fs20 ";
                break;
            default:
                rtf += words[pick];
                break;
            }
            rtf += ' ';
        }
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

// CPU time of this thread: on a busy machine wall time says more about the neighbours than about us.
double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void rtfBench(QTextStream &out)
{
    QRandomGenerator random(42);
    QList<QByteArray> bodies;
    qsizetype total = 0;
    while (total < 50 * 1024 * 1024) {
        bodies.append(MakeBody(random, 4096 + qsizetype(random.bounded(60000))));
        total += bodies.last().size();
    }
    const double mb = double(total) / (1024.0 * 1024.0);

    QElapsedTimer timer;
    timer.start();
    double cpu = CpuSeconds();
    qsizetype characters = 0;
    for (const QByteArray &body : std::as_const(bodies))
        characters += RtfToPlainText(body).size();
    double seconds = double(timer.nsecsElapsed()) / 1e9;
    cpu = CpuSeconds() - cpu;
    out << "   extractor: " << bodies.size() << " bodies, " << QString::number(mb, 'f', 1) << " MB -> " << characters
        << " characters in " << QString::number(seconds * 1000, 'f', 0)
        << " ms = " << QString::number(mb / seconds, 'f', 1) << " MB/s; by CPU time "
        << QString::number(mb / cpu, 'f', 1) << " MB/s (target >= 100)\n";
    out.flush();

    const QByteArray big = MakeBody(random, 1024 * 1024);
    QList<qint64> times;
    QList<double> cpuTimes;
    QTextDocument doc;
    for (int i = 0; i < 5; ++i) {
        timer.restart();
        cpu = CpuSeconds();
        TQBRtfReader::Load(doc, big);
        times.append(timer.elapsed());
        cpuTimes.append((CpuSeconds() - cpu) * 1000);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    out << "   reader: 1 MB body (" << doc.characterCount() << " characters, " << doc.blockCount()
        << " paragraphs) into a QTextDocument: median " << times.at(2) << " ms, best " << times.first()
        << " ms; by CPU time median " << QString::number(cpuTimes.at(2), 'f', 0) << " ms (target <= 150)\n";
    out.flush();

    qsizetype written = 0;
    timer.restart();
    cpu = CpuSeconds();
    for (int i = 0; i < 10; ++i)
        written += TQBRtfWriter::Write(doc).size();
    seconds = double(timer.nsecsElapsed()) / 1e9;
    cpu = CpuSeconds() - cpu;
    const double writtenMb = double(written) / (1024.0 * 1024.0);
    out << "   writer: " << QString::number(writtenMb, 'f', 1) << " MB of RTF in "
        << QString::number(seconds * 1000, 'f', 0) << " ms = " << QString::number(writtenMb / seconds, 'f', 1)
        << " MB/s; by CPU time " << QString::number(writtenMb / cpu, 'f', 1) << " MB/s (target >= 30)\n";
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("rtf"), QStringLiteral("RTF extractor throughput, reader time for a 1 MB body, writer throughput"),
    rtfBench);

} // namespace
