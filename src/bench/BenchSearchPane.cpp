// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "document/QBXml.h"
#include "panes/SearchPane.h"
#include "panes/SearchResults.h"
#include "services/QBDocSvc.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString RareWord = QStringLiteral("quillwort");
const QString CommonWord = QStringLiteral("fenland");

// 10,000 articles of about 3 KB each: the rare word in every tenth body, the common one in 68 of
// every 100.
QString writeDocument(const QTemporaryDir &dir)
{
    const IQBDocumentPtr document = QBBenchDocument(10000, RareWord, 10);
    const QString both = QBBenchBody(RareWord + QLatin1Char(' ') + CommonWord);
    const QString common = QBBenchBody(CommonWord);
    int i = 0;
    QBWalkArticles(document->Root(), [&](const IQBArticlePtr &article) {
        if (article != document->Root() && i % 100 < 68)
            article->SetContent(i % 10 == 0 ? both : common);
        if (article != document->Root())
            ++i;
        return true;
    });
    const QString fileName = dir.filePath(QStringLiteral("search.xqb"));
    QBWriteDocument(document, fileName);
    return fileName;
}

struct TSearchFigures
{
    int Matches = 0;
    qint64 FirstNs = -1;
    qint64 AllNs = 0;
    qint64 LongestGapNs = 0;
    qint64 StopNs = -1;
};

// Runs one search from the pane as a click on Start would, turning the event loop until it ends;
// with stopAfterFirst, clicks Stop as soon as the first match is listed.
TSearchFigures runSearch(TFSearchPane &pane, const QString &pattern, bool stopAfterFirst)
{
    TSearchFigures figures;
    pane.cbPattern->setEditText(pattern);
    QEventLoop loop;
    QElapsedTimer timer;
    QElapsedTimer stopTimer;
    QElapsedTimer lastTurn;
    bool done = false;
    const QMetaObject::Connection onRows =
        QObject::connect(pane.Model(), &QAbstractItemModel::rowsInserted, &loop, [&] {
            if (figures.FirstNs < 0) {
                figures.FirstNs = timer.nsecsElapsed();
                if (stopAfterFirst) {
                    stopTimer.start();
                    pane.btnStopClick();
                }
            }
        });
    const QMetaObject::Connection onDone = QObject::connect(&pane, &TFSearchPane::searchDone, &loop, [&] {
        done = true;
        loop.quit();
    });
    // A zero timer runs once per turn of the event loop: the longest time between two runs is the
    // longest the window would not have answered.
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, &loop, [&] {
        figures.LongestGapNs = qMax(figures.LongestGapNs, lastTurn.nsecsElapsed());
        lastTurn.restart();
    });
    timer.start();
    lastTurn.start();
    turns.start();
    pane.StartSearch();
    if (!done)
        loop.exec();
    figures.AllNs = timer.nsecsElapsed();
    if (stopAfterFirst)
        figures.StopNs = stopTimer.nsecsElapsed();
    QObject::disconnect(onRows);
    QObject::disconnect(onDone);
    figures.Matches = pane.Model()->rowCount();
    return figures;
}

void searchPaneBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    const TQBBenchServices services;
    QTemporaryDir dir;
    const QString fileName = writeDocument(dir);
    TFSearchPane pane;
    pane.resize(250, 700);
    pane.show();
    DataService()->OpenDocument(fileName);
    QCoreApplication::processEvents();
    out << "   " << DataService()->GetDocument()->ArticleCount() << " articles, "
        << QString::number(double(QFileInfo(fileName).size()) / 1e6, 'f', 1) << " MB\n";

    const double before = QBBenchMemoryMB();
    for (const QString &word : {CommonWord, RareWord}) {
        const TSearchFigures f = runSearch(pane, word, false);
        out << "   \"" << word << "\": " << f.Matches << " matches listed in " << QBBenchMs(f.AllNs)
            << ", the first after " << QBBenchMs(f.FirstNs) << "; longest event-loop gap " << QBBenchMs(f.LongestGapNs)
            << "\n";
        if (word == CommonWord)
            out << "   resident memory: " << QString::number(before, 'f', 1) << " MB before the search, "
                << QString::number(QBBenchMemoryMB(), 'f', 1) << " MB after it with the matches listed ("
                << QString::number(QBBenchMemoryMB() - before, 'f', 1) << " MB more)\n";
    }
    const TSearchFigures stopped = runSearch(pane, CommonWord, true);
    out << "   Stop after the first match: ended " << QBBenchMs(stopped.StopNs) << " after the click, "
        << stopped.Matches << " matches kept; longest event-loop gap " << QBBenchMs(stopped.LongestGapNs) << "\n";
}

const bool registered =
    QBRegisterBenchmark(QStringLiteral("searchpane"),
                        QStringLiteral("Search pane on 10,000 articles: first match, all matches, Stop, event-loop "
                                       "gaps and memory"),
                        searchPaneBench);

} // namespace
