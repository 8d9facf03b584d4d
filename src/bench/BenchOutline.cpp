// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "dialogs/MarkerDlg.h"
#include "framework/NVKInit.h"
#include "panes/OutlinePane.h"
#include "services/QBDocSvc.h"
#include "services/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

void outlineBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    {
        const TQBBenchServices services;
        const IQBDocumentPtr doc = DataService()->GetDocument();
        // 20 chapters of 25 sections of 10 notes: 5,521 articles.
        for (int c = 0; c < 20; ++c) {
            const IQBArticlePtr chapter = doc->AddChild(doc->Root());
            chapter->SetCaption(QStringLiteral("Chapter %1").arg(c));
            for (int s = 0; s < 25; ++s) {
                const IQBArticlePtr section = doc->AddChild(chapter);
                section->SetCaption(QStringLiteral("Section %1").arg(s));
                for (int n = 0; n < 10; ++n)
                    doc->AddChild(section)->SetCaption(QStringLiteral("Note %1").arg(n));
            }
        }
        const int count = doc->ArticleCount();

        QElapsedTimer timer;
        timer.start();
        TFOutlinePane pane;
        const qint64 build = timer.nsecsElapsed();
        pane.resize(300, 700);
        pane.show();
        QCoreApplication::processEvents();
        out << "   build the tree of " << count << " articles: " << QBBenchMs(build) << "\n";

        timer.restart();
        TFMarkerDlg::ApplyMarker(doc->Root(), 3, true);
        out << "   mark all " << count << " articles (one event each): " << QBBenchMs(timer.nsecsElapsed()) << "\n";

        const IQBArticlePtr last = doc->Root()->Items()->Last();
        const int adds = 100;
        timer.restart();
        for (int i = 0; i < adds; ++i)
            doc->AddChild(last);
        out << "   add an article at the end of the tree: " << QBBenchMs(timer.nsecsElapsed() / adds) << " each\n";

        const IQBArticlePtr first = doc->Root()->Items()->First();
        timer.restart();
        doc->MoveArticle(first, last);
        out << "   move a subtree of " << 1 + 25 * 11 << " articles: " << QBBenchMs(timer.nsecsElapsed()) << "\n";
    }
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("outline"), QStringLiteral("outline pane: building, marking, adding and moving"), outlineBench);

} // namespace
