// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "BenchData.h"
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "document/QBDom.h"
#include "document/QBXml.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>
#include <zlib.h>

namespace {

constexpr int Groups = 100;
constexpr int PerGroup = 99;
constexpr int BodySize = 3900;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString ms(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" ms");
}

QString mb(double bytes)
{
    return QString::number(bytes / 1048576.0, 'f', 1) + QStringLiteral(" MB");
}

QString bodyOf(int index)
{
    return QBBenchRtfBody(index, BodySize);
}

// Root, 100 groups under it, 99 articles in each: 10,000 articles with bodies.
IQBDocumentPtr generate()
{
    IQBDocumentPtr document = NewQBDocument();
    int index = 0;
    for (int g = 0; g < Groups; ++g) {
        const IQBArticlePtr group = document->AddChild(document->Root());
        group->SetCaption(QStringLiteral("Group %1").arg(g));
        group->SetContent(bodyOf(index++));
        for (int i = 0; i < PerGroup; ++i) {
            const IQBArticlePtr article = document->AddChild(group);
            article->SetCaption(QStringLiteral("Article %1 \u2013 notes").arg(index));
            article->SetMark(quint8(index % 8));
            article->SetContent(bodyOf(index++));
        }
    }
    return document;
}

void xmlBench(QTextStream &out)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("bench.xqb"));
    const QByteArray floorFile = dir.filePath(QStringLiteral("floor.xqb")).toLocal8Bit();
    QElapsedTimer timer;

    double write = 0;
    double writeCpu = 0;
    {
        const IQBDocumentPtr document = generate();
        timer.start();
        const double cpu = QBBenchCpuMs();
        QBWriteDocument(document, fileName);
        write = msSince(timer);
        writeCpu = QBBenchCpuMs() - cpu;
    }
    const double fileSize = double(QFileInfo(fileName).size());
    // Give back what generating took, so the figure below is the loaded document's.
    malloc_trim(0);
    const double residentBefore = QBBenchMemoryMB() * 1024 * 1024;

    timer.restart();
    double cpu = QBBenchCpuMs();
    IQBDocumentPtr loaded = QBReadDocument(fileName);
    const double read = msSince(timer);
    const double readCpu = QBBenchCpuMs() - cpu;
    const double residentAfter = QBBenchMemoryMB() * 1024 * 1024;
    malloc_trim(0);
    const double residentTrimmed = QBBenchMemoryMB() * 1024 * 1024;
    const int articles = loaded->ArticleCount();
    loaded.reset();
    malloc_trim(0);

    // The floors: libxml2 and zlib alone on the same data, zlib at the level the model uses.
    timer.restart();
    cpu = QBBenchCpuMs();
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    xmlDocPtr dom = xmlReadFd(int(file.handle()), nullptr, nullptr, XML_PARSE_NONET);
    file.close();
    const double parse = msSince(timer);
    const double parseCpu = QBBenchCpuMs() - cpu;
    timer.restart();
    cpu = QBBenchCpuMs();
    if (dom == nullptr || xmlSaveFileEnc(floorFile.constData(), dom, "UTF-8") < 0)
        out << "   (libxml2 alone failed on the file)\n";
    const double serialise = msSince(timer);
    const double serialiseCpu = QBBenchCpuMs() - cpu;
    xmlFreeDoc(dom);

    std::vector<QByteArray> bodies;
    for (int i = 0; i < Groups * (PerGroup + 1); ++i)
        bodies.push_back(bodyOf(i).toUtf8());
    std::vector<QByteArray> packed;
    timer.restart();
    cpu = QBBenchCpuMs();
    // One stream reset for every body, as the model compresses.
    z_stream stream{};
    deflateInit2(&stream, QBContentCompressionLevel, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    for (const QByteArray &body : bodies) {
        deflateReset(&stream);
        const uLong size = deflateBound(&stream, uLong(body.size()));
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
        stream.avail_in = uInt(body.size());
        stream.next_out = reinterpret_cast<Bytef *>(data.data());
        stream.avail_out = uInt(size);
        deflate(&stream, Z_FINISH);
        data.resize(qsizetype(stream.total_out));
        packed.push_back(std::move(data));
    }
    deflateEnd(&stream);
    const double compress = msSince(timer);
    const double compressCpu = QBBenchCpuMs() - cpu;
    timer.restart();
    cpu = QBBenchCpuMs();
    for (size_t i = 0; i < packed.size(); ++i) {
        uLongf size = uLongf(bodies[i].size());
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        uncompress(reinterpret_cast<Bytef *>(data.data()), &size,
                   reinterpret_cast<const Bytef *>(packed[i].constData()), uLong(packed[i].size()));
    }
    const double decompress = msSince(timer);
    const double decompressCpu = QBBenchCpuMs() - cpu;

    const double readFloor = parse + compress;
    const double writeFloor = serialise + decompress;
    const double limit = fileSize / 3 + 40.0 * 1048576.0;
    out << "   " << articles << " articles, bodies of " << BodySize << " characters, file " << mb(fileSize) << "\n";
    const auto ratio = [](double value, double floor) { return QString::number(value / floor, 'f', 2); };
    out << "   read:  " << ms(read) << "  floor " << ms(readFloor) << " (parse " << ms(parse) << " + compress "
        << ms(compress) << "), ratio " << ratio(read, readFloor) << " (target 1.5)\n";
    out << "          CPU " << ms(readCpu) << "  floor " << ms(parseCpu + compressCpu) << ", ratio "
        << ratio(readCpu, parseCpu + compressCpu) << " (bodies are compressed on every core)\n";
    out << "   write: " << ms(write) << "  floor " << ms(writeFloor) << " (serialise " << ms(serialise)
        << " + decompress " << ms(decompress) << "), ratio " << ratio(write, writeFloor) << " (target 1.5)\n";
    out << "          CPU " << ms(writeCpu) << "  floor " << ms(serialiseCpu + decompressCpu) << ", ratio "
        << ratio(writeCpu, serialiseCpu + decompressCpu)
        << " (the write also syncs the new file to disk before it replaces the old one)\n";
    out << "   resident after loading: " << mb(residentAfter) << " (before " << mb(residentBefore) << ", trimmed "
        << mb(residentTrimmed) << ", target at most " << mb(limit) << ")\n";
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("xml"),
    QStringLiteral("Document files: read and write 10,000 articles (about 40 MB) against libxml2 and zlib alone"),
    xmlBench);

} // namespace
