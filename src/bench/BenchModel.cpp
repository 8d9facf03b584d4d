// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "document/QBDom.h"

#include <QElapsedTimer>
#include <malloc.h>

namespace {

constexpr int Articles = 100000;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// Ten children under each article, filled breadth first.
void buildBalanced(const IQBDocumentPtr &document, int count)
{
    QList<IQBArticlePtr> parents{document->Root()};
    qsizetype next = 0;
    for (int i = 0; i < count; ++i) {
        const IQBArticlePtr parent = parents.at(next);
        parents.append(document->AddChild(parent));
        if (parent->Items()->Count() == 10)
            ++next;
    }
}

void buildChain(const IQBDocumentPtr &document, int count)
{
    // Through the item lists, as a reader builds trees: the document's own operations stop at the
    // deepest level a file holds.
    IQBArticlePtr article = document->Root();
    for (int i = 0; i < count; ++i) {
        const IQBArticlePtr child = document->CreateArticle();
        article->Items()->Add(child);
        article = child;
    }
}

void treeFigures(QTextStream &out, const QString &shape, const std::function<void(const IQBDocumentPtr &)> &build)
{
    IQBDocumentPtr document = NewQBDocument();
    QElapsedTimer timer;
    timer.start();
    build(document);
    out << "   " << shape << ": add " << Articles << " articles " << ms(msSince(timer));
    timer.restart();
    const IQBArticlePtr last = document->FindArticle(Articles);
    out << ", FindArticle(last) " << ms(msSince(timer));
    timer.restart();
    const qint32 count = document->ArticleCount();
    out << ", ArticleCount " << ms(msSince(timer)) << " (" << count << ")";
    timer.restart();
    document.reset();
    out << ", release " << ms(msSince(timer)) << (last && !last->Document() ? "" : " [unexpected]") << "\n";
}

void memoryFigures(QTextStream &out)
{
    const size_t before = heapInUse();
    IQBDocumentPtr document = NewQBDocument();
    buildBalanced(document, Articles);
    const size_t balanced = heapInUse() - before;
    document.reset();
    const size_t beforeChain = heapInUse();
    document = NewQBDocument();
    buildChain(document, Articles);
    const size_t chain = heapInUse() - beforeChain;
    document.reset();
    out << "   bytes per empty article: " << QString::number(double(balanced) / Articles, 'f', 1)
        << " (balanced tree), " << QString::number(double(chain) / Articles, 'f', 1) << " (chain)\n";
}

// A body shaped like the editor's output: header, font and colour tables, then paragraphs.
QString rtfBody(int size)
{
    QString body = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                                  "Tahoma;}{\\f1\\fmodern Courier New;}}{\\colortbl ;\\red0\\green0\\blue128;}"
                                  "\\viewkind4\\uc1\\pard\\f0\\fs16 ");
    const QStringList words{"note",  "meeting", "\\b idea\\b0", "garden", "letter", "\\cf1 link\\cf0",
                            "draft", "quill",   "paper",        "table",  "river",  "\\i soft\\i0"};
    int n = 0;
    while (body.size() < size - 8) {
        body += words.at((n * 7 + n / 5) % words.size());
        body += (++n % 13 == 0) ? QStringLiteral("\\par\r\n") : QStringLiteral(" ");
    }
    body += QStringLiteral("\\par\r\n}");
    return body;
}

void bodyFigures(QTextStream &out)
{
    IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr article = document->AddChild(document->Root());
    QList<QString> bodies;
    for (int i = 0; i < 16; ++i)
        bodies.append(rtfBody(4096 + i));
    constexpr int rounds = 20000;
    qint64 bytes = 0;
    qint64 stored = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        const QString &body = bodies.at(i % bodies.size());
        article->SetContent(body);
        stored += article->ContentSize();
        if (article->Content().size() != body.size())
            out << "   [body came back different]\n";
        bytes += body.size();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    out << "   SetContent + Content of 4 KB RTF bodies: " << QString::number(double(bytes) / seconds / 1e6, 'f', 1)
        << " MB/s (" << rounds << " bodies, " << QString::number(double(stored) / rounds, 'f', 0)
        << " bytes stored each)\n";
}

void modelBench(QTextStream &out)
{
    treeFigures(out, QStringLiteral("balanced tree"), [](const IQBDocumentPtr &d) { buildBalanced(d, Articles); });
    treeFigures(out, QStringLiteral("100,000-deep chain"), [](const IQBDocumentPtr &d) { buildChain(d, Articles); });
    memoryFigures(out);
    bodyFigures(out);
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("model"),
    QStringLiteral("document model: adding, finding, counting and releasing 100,000 articles; memory; bodies"),
    modelBench);

} // namespace
