// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "panes/IndexModel.h"
#include "panes/IndexPane.h"
#include "services/QBDocSvc.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <iterator>

namespace {

// Captions that look like words, some with umlauts, so the collation has real work to do.
QString benchCaption(QRandomGenerator &random)
{
    static const char *const syllables[] = {"an", "Be", "cho", "dä", "el", "Fu", "gri", "hö", "is", "Ju", "ka",
                                            "lü", "mo", "Ne",  "or", "pa", "qu", "Ri",  "sa", "tö", "ul", "ve"};
    const int count = 2 + int(random.bounded(3));
    QString caption;
    for (int i = 0; i < count; ++i)
        caption += QString::fromUtf8(syllables[random.bounded(int(std::size(syllables)))]);
    return caption;
}

void indexBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    const TQBBenchServices services;
    QRandomGenerator random(2026);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("index.xqb"));
    {
        const IQBDocumentPtr doc = DataService()->GetDocument();
        // 100 chapters of 99 notes: 10,000 articles with the root.
        for (int c = 0; c < 100; ++c) {
            const IQBArticlePtr chapter = doc->AddChild(doc->Root());
            chapter->SetCaption(benchCaption(random));
            for (int n = 0; n < 99; ++n)
                doc->AddChild(chapter)->SetCaption(benchCaption(random));
        }
        DataService()->SaveDocument(fileName);
        DataService()->NewDocument();
    }

    TFIndexPane pane;
    pane.resize(250, 700);
    pane.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    DataService()->OpenDocument(fileName);
    const qint64 open = timer.nsecsElapsed();
    const IQBDocumentPtr doc = DataService()->GetDocument();
    const int count = pane.Model()->rowCount();

    timer.restart();
    pane.Model()->Reset({});
    QList<IQBArticlePtr> all;
    QList<IQBArticlePtr> pending{doc->Root()};
    while (!pending.isEmpty()) {
        const IQBArticlePtr next = pending.takeLast();
        all << next;
        for (int i = 0; i < next->Items()->Count(); ++i)
            pending << next->Items()->Get(i);
    }
    pane.Model()->Reset(all);
    const qint64 fill = timer.nsecsElapsed();
    out << "   open a document of " << count << " articles with the index live: " << QBBenchMs(open) << "\n";
    out << "   fill and sort the index of " << count << " articles: " << QBBenchMs(fill) << "\n";

    const int lookups = 1000;
    qint64 worst = 0;
    timer.restart();
    for (int i = 0; i < lookups; ++i) {
        QElapsedTimer one;
        one.start();
        pane.cbIndex->setEditText(benchCaption(random).left(1 + int(random.bounded(4))));
        worst = qMax(worst, one.nsecsElapsed());
    }
    out << "   typed-prefix lookup: " << QBBenchMs(timer.nsecsElapsed() / lookups) << " each, " << QBBenchMs(worst)
        << " at most\n";

    const int renames = 200;
    worst = 0;
    timer.restart();
    for (int i = 0; i < renames; ++i) {
        const IQBArticlePtr article = all[int(random.bounded(int(all.size())))];
        QElapsedTimer one;
        one.start();
        article->SetCaption(benchCaption(random));
        worst = qMax(worst, one.nsecsElapsed());
    }
    out << "   caption change reflected: " << QBBenchMs(timer.nsecsElapsed() / renames) << " each, " << QBBenchMs(worst)
        << " at most\n";
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("index"), QStringLiteral("index pane: filling, sorting, lookup and caption changes"), indexBench);

} // namespace
