// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "app/AppData.h"
#include "app/AppFrame.h"
#include "controls/ArticleRichEdit.h"
#include "document/QBXml.h"
#include "framework/NVKInit.h"
#include "services/QBDocBackup.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// How long the soak runs: QB_SOAK_SECONDS, or ten minutes.
int soakSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QB_SOAK_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 600;
}

void soakBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    const int seconds = soakSeconds();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("soak.xqb"));
    QBWriteDocument(QBBenchDocument(10000, QString(), 0), fileName);

    NVKFinalizeCore();
    NVKInitializeCore();
    TRegistry::SetStoreFolder(dir.path());
    {
        TDMAppData appData{QStringList()};
        TFAppFrame frame;
        appData.SetMainWindow(&frame);
        frame.resize(1200, 800);
        frame.show();
        QCoreApplication::processEvents();
        DataService()->OpenDocument(fileName);
        const IQBDocumentPtr document = DataService()->GetDocument();
        QList<IQBArticlePtr> articles;
        for (IQBArticlePtr article = document->Root()->Next(); article; article = article->Next())
            articles.append(article);
        out << "   " << articles.size() << " articles, " << seconds << " s of typing, switching every 2 s, autosave "
            << "every second\n";
        const IQBEditorServicePtr editor = EditorService();
        QRandomGenerator random(2026);
        editor->NavigateTo(articles.at(int(random.bounded(articles.size()))));
        appData.QBDataBackup->Timer()->setInterval(1000);
        appData.QBDataBackup->SetAutosave(true);

        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longestGap = 0;
        qint64 gapAt = 0;
        int longGaps = 0;
        int keys = 0;
        int switches = 0;
        double startMB = 0;
        // A 5 ms heartbeat: the longest time between two beats is the longest the loop was busy.
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(5);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            // The first seconds open windows and warm caches; the figures start after them.
            if (now > 3000 && now - last > 100)
                ++longGaps;
            if (now > 3000 && now - last > longestGap) {
                longestGap = now - last;
                gapAt = now;
            }
            last = now;
        });
        QTimer typing;
        typing.setInterval(40);
        QObject::connect(&typing, &QTimer::timeout, [&] {
            const QChar ch = keys % 9 == 8 ? QLatin1Char(' ') : QChar(u'a' + keys % 26);
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(frame.RichEdit, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(frame.RichEdit, &release);
            ++keys;
        });
        QTimer switching;
        switching.setInterval(2000);
        QObject::connect(&switching, &QTimer::timeout, [&] {
            editor->NavigateTo(articles.at(int(random.bounded(articles.size()))));
            frame.RichEdit->SetSelStart(frame.RichEdit->TextLength() / 2);
            ++switches;
        });
        QTimer::singleShot(3000, [&] { startMB = QBBenchMemoryMB(); });
        heartbeat.start();
        typing.start();
        switching.start();
        QEventLoop loop;
        QTimer::singleShot(std::chrono::seconds(seconds), &loop, &QEventLoop::quit);
        loop.exec();
        heartbeat.stop();
        typing.stop();
        switching.stop();
        appData.QBDataBackup->SetAutosave(false);
        const double endMB = QBBenchMemoryMB();
        out << "   resident memory: " << QString::number(startMB, 'f', 1) << " MB at the start, "
            << QString::number(endMB, 'f', 1) << " MB at the end (" << QString::number(endMB - startMB, 'f', 1)
            << " MB growth; target 10 MB)\n";
        out << "   longest event-loop gap: " << longestGap << " ms (at " << gapAt / 1000 << " s; target 100 ms), "
            << longGaps << " gaps over 100 ms\n";
        out << "   " << keys << " keys typed, " << switches << " switches, " << appData.QBDataBackup->SaveCount()
            << " autosaves\n";
        // Saved, so that nothing asks about changes when the window goes; an autosave is such a save.
        frame.RichEdit->SetSelText(QStringLiteral("x"));
        editor->StoreChanges();
        clock.restart();
        DataService()->SaveDocument(fileName);
        out << "   one save of the document on the main thread (a save by hand; autosave writes on another thread): "
            << clock.elapsed() << " ms\n";
    }
    NVKFinalizeCore();
    NVKInitializeCore();
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("soak"),
    QStringLiteral("the 10,000-article document in the main window: typing, switching articles and autosaving "
                   "every second for QB_SOAK_SECONDS (600); resident memory and the longest event-loop gap"),
    soakBench);

} // namespace
