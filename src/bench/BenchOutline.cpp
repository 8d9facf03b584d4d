// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "dialogs/MarkerDlg.h"
#include "framework/NVKInit.h"
#include "panes/IndexPane.h"
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

// Undo of outline steps with the outline and index panes following every change.
void outlineUndoBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    const TQBBenchServices services;
    const IQBDocumentPtr doc = DataService()->GetDocument();
    // A branch of 100 chapters of 99 notes with bodies: 10,000 articles, beside a small one.
    const IQBArticlePtr branch = doc->AddChild(doc->Root());
    branch->SetCaption(QStringLiteral("Archive"));
    for (int c = 0; c < 100; ++c) {
        const IQBArticlePtr chapter = doc->AddChild(branch);
        chapter->SetCaption(QStringLiteral("Chapter %1").arg(c));
        for (int n = 0; n < 99; ++n) {
            const IQBArticlePtr note = doc->AddChild(chapter);
            note->SetCaption(QStringLiteral("Note %1.%2").arg(c).arg(n));
            note->SetContent(QStringLiteral("{\\rtf1\\ansi Note %1 of chapter %2.\\par}").arg(n).arg(c));
        }
    }
    const IQBArticlePtr other = doc->AddChild(doc->Root());
    other->SetCaption(QStringLiteral("Inbox"));
    TFOutlinePane outline;
    TFIndexPane index;
    outline.show();
    index.show();
    QCoreApplication::processEvents();
    const int count = doc->ArticleCount();

    QElapsedTimer timer;
    timer.start();
    {
        const TQBUndoScope step(*doc, ukDelete, branch);
        doc->DeleteArticle(branch);
    }
    out << "   delete a branch of " << count - doc->ArticleCount() << " articles: " << QBBenchMs(timer.nsecsElapsed())
        << "\n";
    timer.restart();
    outline.UndoExecute();
    out << "   undo the delete (" << doc->ArticleCount() << " articles again): " << QBBenchMs(timer.nsecsElapsed())
        << "\n";
    timer.restart();
    outline.RedoExecute();
    out << "   redo the delete: " << QBBenchMs(timer.nsecsElapsed()) << "\n";
    timer.restart();
    outline.UndoExecute();
    out << "   undo it again: " << QBBenchMs(timer.nsecsElapsed()) << "\n";

    // A rename step holds the two captions, whatever the size of the document.
    doc->UndoStack().SetLimit(0);
    const int renames = 20000;
    QCoreApplication::processEvents();
    const double before = QBBenchMemoryMB();
    timer.restart();
    for (int i = 0; i < renames; ++i) {
        const TQBUndoScope step(*doc, ukRename, other);
        other->SetCaption(QStringLiteral("Inbox %1").arg(i));
    }
    const qint64 renameTime = timer.nsecsElapsed();
    const double grown = QBBenchMemoryMB() - before;
    out << "   " << renames << " rename steps: " << QBBenchMs(renameTime / renames) << " each, memory +"
        << QString::number(grown, 'f', 1) << " MB (" << QString::number(grown * 1048576.0 / renames, 'f', 0)
        << " bytes a step) for a document of " << count << " articles\n";
}

const bool registeredUndo =
    QBRegisterBenchmark(QStringLiteral("outlineundo"),
                        QStringLiteral("outline undo: a 10,000-article branch, rename steps"), outlineUndoBench);

const bool registered = QBRegisterBenchmark(
    QStringLiteral("outline"), QStringLiteral("outline pane: building, marking, adding and moving"), outlineBench);

} // namespace
