// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "BenchData.h"
#include "QBBench.h"
#include "xml/MSXMLDoc.h"
#include "xml/MSXMLUtils.h"

#include <QElapsedTimer>

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString figure(double ms)
{
    return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
}

// Builds, saves, loads and walks a document of 10,000 articles with 3 KB bodies through the
// layer, beside libxml2 doing the bare parse and serialisation of the same bytes.
void msxmlBench(QTextStream &out)
{
    const int articles = 10000;
    const QString body = QBBenchRtfBody(0, 3000);

    QElapsedTimer timer;
    timer.start();
    TMSXMLDocument doc;
    doc.SetStandalone(true);
    doc.SetEncoding(QStringLiteral("UTF-8"));
    const TMSXMLNode document = doc.GetDocument();
    TMSXMLNode items = document.AppendChild(document.CreateElement(QStringLiteral("Snippets")));
    for (int i = 0; i < articles; ++i) {
        TMSXMLNode article = items.AppendChild(items.CreateElement(QStringLiteral("Article")));
        SetAttr(article, QStringLiteral("Caption"), QStringLiteral("Article %1").arg(i));
        SetAttr(article, QStringLiteral("IID"), QStringLiteral("_%1").arg(i));
        SetDateAttr(article, QStringLiteral("Created"), 37636.5 + i);
        AppendCDATAText(article.AppendChild(article.CreateElement(QStringLiteral("Content"))), body);
    }
    const double build = msSince(timer);

    timer.restart();
    const QByteArray bytes = doc.SaveToBytes();
    const double save = msSince(timer);

    timer.restart();
    xmlChar *dumped = nullptr;
    int dumpedSize = 0;
    xmlDocDumpMemoryEnc(reinterpret_cast<xmlDocPtr>(document.Handle()), &dumped, &dumpedSize, "UTF-8");
    const double saveFloor = msSince(timer);
    xmlFree(dumped);

    timer.restart();
    TMSXMLDocument loaded;
    loaded.LoadFromBytes(bytes);
    const double load = msSince(timer);

    timer.restart();
    xmlDocPtr raw = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
    const double loadFloor = msSince(timer);
    xmlFreeDoc(raw);

    timer.restart();
    qint64 characters = 0;
    TMSXMLIterator it(loaded.GetDocument().DocumentElement(), QStringLiteral("Article"));
    while (it.Next()) {
        characters += GetAttr(it.Current(), QStringLiteral("Caption")).size();
        characters += GetIntAttr(it.Current(), QStringLiteral("Mark"), 0);
        GetDateAttr(it.Current(), QStringLiteral("Created"), 0);
        characters += GetCDATAText(FindChild(it.Current(), QStringLiteral("Content"))).size();
    }
    const double walk = msSince(timer);

    out << "   " << articles << " articles, " << QString::number(double(bytes.size()) / 1e6, 'f', 1) << " MB, "
        << characters << " characters read back\n";
    out << "   build through the layer: " << figure(build) << "\n";
    out << "   save to bytes: " << figure(save) << " (libxml2 alone " << figure(saveFloor) << ", ratio "
        << QString::number(save / saveFloor, 'f', 2) << ")\n";
    out << "   load from bytes: " << figure(load) << " (libxml2 alone " << figure(loadFloor) << ", ratio "
        << QString::number(load / loadFloor, 'f', 2) << ")\n";
    out << "   walk every article (iterator, attributes, CDATA): " << figure(walk) << "\n";
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("msxml"), QStringLiteral("XML layer: build, save, load and walk 10,000 articles"), msxmlBench);

} // namespace
