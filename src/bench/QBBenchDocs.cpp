// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBenchDocs.h"

#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "editor/QBEditorSvc.h"
#include "framework/NVKInit.h"
#include "services/QBDocSvc.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <ctime>

#include "document/QBDom.h"

#include <QList>

QString QBBenchBody(const QString &word)
{
    QString body = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 ");
    if (!word.isEmpty())
        body += word + QLatin1Char(' ');
    while (body.size() < 3000)
        body += QStringLiteral("Lorem ipsum dolor sit amet, \\b consectetur\\b0  adipiscing elit.\\par ");
    body += QLatin1Char('}');
    return body;
}

IQBDocumentPtr QBBenchDocument(int articles, const QString &word, int every)
{
    const QString plain = QBBenchBody();
    const QString marked = QBBenchBody(word);
    IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Benchmark"));
    QList<IQBArticlePtr> parents{document->Root()};
    qsizetype next = 0;
    for (int i = 0; i < articles; ++i) {
        const IQBArticlePtr parent = parents.at(next);
        const IQBArticlePtr article = document->AddChild(parent);
        article->SetCaption(QStringLiteral("Article %1").arg(i));
        article->SetContent(every > 0 && i % every == 0 ? marked : plain);
        parents.append(article);
        if (parent->Items()->Count() == 10)
            ++next;
    }
    return document;
}

struct TQBBenchServices::TParts
{
    QTemporaryDir Dir;
    std::unique_ptr<TQBSettingsService> Settings;
    std::unique_ptr<TQBDataService> Data;
};

TQBBenchServices::TQBBenchServices() : FParts(std::make_unique<TParts>())
{
    TRegistry::SetStoreFolder(FParts->Dir.path());
    NVKFinalizeCore();
    NVKInitializeCore();
    FParts->Settings = std::make_unique<TQBSettingsService>();
    FParts->Data = std::make_unique<TQBDataService>();
    FParts->Settings->SetActive(true);
    FParts->Data->SetActive(true);
}

TQBBenchServices::~TQBBenchServices()
{
    FParts->Data.reset();
    FParts->Settings.reset();
    NVKFinalizeCore();
    NVKInitializeCore();
}

QString QBBenchMs(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 1) + QStringLiteral(" ms");
}

double QBBenchCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double QBBenchMemoryMB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix(key);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

struct TQBBenchEditorArea::TParts
{
    // The service goes first: it stores into the editor while it stops.
    QWidget Window;
    TArticleRichEdit *Editor = nullptr;
    TQBEditorService Provider;
};

TQBBenchEditorArea::TQBBenchEditorArea() : FParts(std::make_unique<TParts>())
{
    auto *layout = new QVBoxLayout(&FParts->Window);
    auto *tabs = new TArticleTabs(&FParts->Window);
    auto *title = new TArticleTitle(&FParts->Window);
    FParts->Editor = new TArticleRichEdit(&FParts->Window);
    layout->addWidget(tabs);
    layout->addWidget(title);
    layout->addWidget(FParts->Editor);
    FParts->Window.resize(900, 700);
    FParts->Window.show();
    QCoreApplication::processEvents();
    FParts->Provider.SetArticleTabs(tabs);
    FParts->Provider.SetArticleTitle(title);
    FParts->Provider.SetArticleEditor(FParts->Editor);
    FParts->Provider.SetActive(true);
}

TQBBenchEditorArea::~TQBBenchEditorArea()
{
    // Stopped while the services it uses still run.
    FParts->Provider.SetActive(false);
}

TArticleRichEdit *TQBBenchEditorArea::Editor() const
{
    return FParts->Editor;
}
