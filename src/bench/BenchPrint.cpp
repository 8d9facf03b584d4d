// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "export/QBExportCore.h"
#include "report/PrxCore.h"
#include "report/PrxRichEditSource.h"
#include "report/PrxUtils.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

constexpr int Articles = 1000;

QString figure(double ms)
{
    return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
}

// Targets: the first preview page within 2 s, the whole PDF within 10 s, at most 300 MB resident.
void printBench(QTextStream &out)
{
    QTemporaryDir dir;
    const IQBDocumentPtr document = QBBenchDocument(Articles, QString(), 0);
    out << "   " << Articles << " articles of about 3 KB, titles on, A4 with 20 mm margins\n";

    TPrxController controller;
    auto *printer = new QPrinter(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::A4));
    controller.SetPrinter(printer);
    const int margin = PrxMulDiv(2000, 100, 254);
    controller.SetMargins(PrxRect(margin, margin, margin, margin));

    QElapsedTimer timer;
    timer.start();
    double cpu = QBBenchCpuMs();
    QTextDocument text;
    TQBExportSource from;
    from.Document = document;
    QBBuildExport(text, esDocument, from, TQBExportOptions());
    const double assembled = double(timer.nsecsElapsed()) / 1e6;

    TPrxRichEditSource source;
    source.SetController(&controller);
    source.SetDocument(&text);
    source.Prepare();
    const double paginated = double(timer.nsecsElapsed()) / 1e6;
    // The first page as the preview draws it in a window about 1,100 pixels high.
    QImage page(760, 1075, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TPrxRenderInfo info;
        info.Canvas = &painter;
        info.IsPreview = true;
        info.PageRect = PrxRect(0, 0, page.width(), page.height());
        info.ClipRect = info.PageRect;
        source.RenderPage(0, info);
    }
    const double firstPage = double(timer.nsecsElapsed()) / 1e6;
    out << "   first preview page: " << figure(firstPage) << " (assembly " << figure(assembled) << ", pagination "
        << figure(paginated - assembled) << ", drawing " << figure(firstPage - paginated) << "; CPU "
        << figure(QBBenchCpuMs() - cpu) << "); " << source.PageCount() << " pages\n";
    source.Unprepare();

    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    controller.SetOutputFileName(pdf);
    timer.restart();
    cpu = QBBenchCpuMs();
    controller.Print(&source);
    out << "   print to PDF: " << figure(double(timer.nsecsElapsed()) / 1e6) << " (CPU " << figure(QBBenchCpuMs() - cpu)
        << "; " << QString::number(double(QFileInfo(pdf).size()) / 1e6, 'f', 1) << " MB)\n";
    out << "   memory: resident " << QString::number(QBBenchMemoryMB("VmRSS:"), 'f', 0) << " MB, peak "
        << QString::number(QBBenchMemoryMB("VmHWM:"), 'f', 0) << " MB\n";
}

const bool printRegistered = QBRegisterBenchmark(
    QStringLiteral("print"),
    QStringLiteral("Print 1,000 articles: time to the first preview page, to a PDF, and memory"), printBench);

} // namespace
