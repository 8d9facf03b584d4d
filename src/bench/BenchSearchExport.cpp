// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "document/QBXml.h"
#include "export/QBExportCore.h"
#include "search/QBSearchCore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

constexpr int Articles = 10000;
const QString Word = QStringLiteral("quillwort");

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString figure(double ms)
{
    return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
}

QString perSecond(double count, double ms)
{
    return QString::number(ms > 0 ? count * 1000.0 / ms : 0.0, 'f', 0);
}

// The generated document saved to a file, so that opening it is part of the figures.
QString writeBenchDocument(const QTemporaryDir &dir)
{
    const QString fileName = dir.filePath(QStringLiteral("bench.xqb"));
    QBWriteDocument(QBBenchDocument(Articles, Word, 10), fileName);
    return fileName;
}

int searchOnce(const IQBDocumentPtr &document, TQBSearchOptions options, bool titles)
{
    // All words: the rare word and two that every body holds, the last one near each body's end.
    TQBSearch search(options & soAllWords ? QStringLiteral("elit ") + Word + QStringLiteral(" adipiscing") : Word,
                     options, titles);
    int matches = 0;
    search.SetSink([&matches](const TQBSearchMatch &) { ++matches; });
    search.Run(document);
    return matches;
}

void searchBench(QTextStream &out)
{
    QTemporaryDir dir;
    const QString fileName = writeBenchDocument(dir);
    out << "   " << Articles << " articles, " << QString::number(double(QFileInfo(fileName).size()) / 1e6, 'f', 1)
        << " MB; \"" << Word << "\" in every tenth body\n";

    QElapsedTimer timer;
    timer.start();
    double cpu = QBBenchCpuMs();
    const IQBDocumentPtr document = QBReadDocument(fileName);
    const double open = msSince(timer);
    const double openCpu = QBBenchCpuMs() - cpu;
    int matches = searchOnce(document, {}, false);
    const double both = msSince(timer);
    const double bothCpu = QBBenchCpuMs() - cpu;
    out << "   open and search: " << figure(both) << " (open " << figure(open) << "), " << matches
        << " matches; CPU time " << figure(bothCpu) << " (open " << figure(openCpu) << ")\n";

    struct TCase
    {
        const char *name;
        TQBSearchOptions options;
        bool titles;
    };
    const TCase cases[] = {
        {"plain", {}, false},
        {"match case", soMatchCase, false},
        {"whole words", soWholeWord, false},
        {"whole words, match case, titles", soWholeWord | soMatchCase, true},
        {"all words: three, one of them rare", soAllWords, false},
    };
    for (const TCase &c : cases) {
        timer.restart();
        cpu = QBBenchCpuMs();
        matches = searchOnce(document, c.options, c.titles);
        const double ms = msSince(timer);
        out << "   search alone (" << c.name << "): " << figure(ms) << " (CPU " << figure(QBBenchCpuMs() - cpu) << "), "
            << matches << " matches, " << perSecond(matches, ms) << " matches/s, "
            << perSecond(document->ArticleCount(), ms) << " articles/s\n";
    }
}

void exportBench(QTextStream &out)
{
    QTemporaryDir dir;
    const IQBDocumentPtr document = QBReadDocument(writeBenchDocument(dir));
    TQBExportSource source;
    source.Document = document;
    TQBExportOptions options;
    options.Numbering = true;

    QElapsedTimer timer;
    timer.start();
    double cpu = QBBenchCpuMs();
    QTextDocument text;
    QBBuildExport(text, esDocument, source, options);
    const double build = msSince(timer);
    out << "   assemble " << document->ArticleCount() << " articles with numbered titles: " << figure(build) << " (CPU "
        << figure(QBBenchCpuMs() - cpu) << "; " << text.characterCount() << " characters, " << text.blockCount()
        << " paragraphs)\n";

    const QString txt = dir.filePath(QStringLiteral("out.txt"));
    timer.restart();
    cpu = QBBenchCpuMs();
    QBSaveExport(text, txt, efText);
    const double plain = msSince(timer);
    out << "   save as plain text: " << figure(plain) << " (CPU " << figure(QBBenchCpuMs() - cpu) << "; "
        << QString::number(double(QFileInfo(txt).size()) / 1e6, 'f', 1) << " MB)\n";

    const QString rtf = dir.filePath(QStringLiteral("out.rtf"));
    timer.restart();
    cpu = QBBenchCpuMs();
    QBSaveExport(text, rtf, efRtf);
    const double rich = msSince(timer);
    out << "   save as RTF: " << figure(rich) << " (CPU " << figure(QBBenchCpuMs() - cpu) << "; "
        << QString::number(double(QFileInfo(rtf).size()) / 1e6, 'f', 1) << " MB)\n";
    out << "   whole export: plain text " << figure(build + plain) << ", RTF " << figure(build + rich) << "\n";

    timer.restart();
    cpu = QBBenchCpuMs();
    QBStreamTextExport(esDocument, source, options, txt);
    const double streamed = msSince(timer);
    out << "   plain text streamed from the bodies: " << figure(streamed) << " (CPU " << figure(QBBenchCpuMs() - cpu)
        << "; " << QString::number(double(QFileInfo(txt).size()) / 1e6, 'f', 1) << " MB)\n";

    timer.restart();
    cpu = QBBenchCpuMs();
    QBStreamRtfExport(esDocument, source, options, rtf);
    const double streamedRtf = msSince(timer);
    out << "   RTF streamed from the bodies: " << figure(streamedRtf) << " (CPU " << figure(QBBenchCpuMs() - cpu)
        << "; " << QString::number(double(QFileInfo(rtf).size()) / 1e6, 'f', 1) << " MB)\n";
}

// The command-line tool is timed from outside, process start included; it needs the document as a file
// that outlives the benchmark.
void exportFileBench(QTextStream &out)
{
    const QString fileName = QDir(QDir::tempPath()).filePath(QStringLiteral("quillbox-bench-export.xqb"));
    QElapsedTimer timer;
    timer.start();
    QBWriteDocument(QBBenchDocument(Articles, Word, 10), fileName);
    out << "   " << Articles << " articles written to " << fileName << " in " << figure(msSince(timer)) << " ("
        << QString::number(double(QFileInfo(fileName).size()) / 1e6, 'f', 1) << " MB)\n";
}

const bool searchRegistered = QBRegisterBenchmark(
    QStringLiteral("search"),
    QStringLiteral("Search 10,000 articles for a word in every tenth body, with and without opening the file"),
    searchBench);
const bool exportRegistered =
    QBRegisterBenchmark(QStringLiteral("export"),
                        QStringLiteral("Export 10,000 articles: assemble, save as plain text and as RTF, and "
                                       "stream plain text and RTF from the bodies"),
                        exportBench);
const bool exportFileRegistered =
    QBRegisterBenchmark(QStringLiteral("export-file"),
                        QStringLiteral("Write the 10,000-article export document to the temporary folder, for timing "
                                       "'quillbox-cli export' on it"),
                        exportFileBench);

} // namespace
