// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppData.h"
#include "app/AppFrame.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTree.h"
#include "document/QBClipbrd.h"
#include "framework/NVKInit.h"
#include "panes/OutlinePane.h"
#include "platform/QBDialogs.h"
#include "services/QBDocRecovery.h"
#include "services/QBDocSvc.h"
#include "services/Registry.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The program as main() builds it: the data module with its services, then the main window,
// over a settings store and a clipboard of the test's own.
struct TAppFrameFixture
{
    QTemporaryDir dir;
    std::shared_ptr<TQBMemoryClipboard> clipboard = std::make_shared<TQBMemoryClipboard>();
    std::unique_ptr<TDMAppData> appData;
    std::unique_ptr<TFAppFrame> frame;

    TAppFrameFixture()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        TRegistry::SetStoreFolder(dir.path());
        TQBDataRecovery::SetFolder(dir.filePath(QStringLiteral("Recovery")));
        // Languages the user installs go to a folder of the test's own, never the user's.
        TDMAppData::SetUserLanguageFolder(dir.filePath(QStringLiteral("UserLanguage")));
        QBDialogs::ClearTestState();
        QBSetArticleClipboard(clipboard);
        appData = std::make_unique<TDMAppData>(QStringList());
        frame = std::make_unique<TFAppFrame>();
        appData->SetMainWindow(frame.get());
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }

    ~TAppFrameFixture()
    {
        frame.reset();
        appData.reset();
        TDMAppData::SetUserLanguageFolder(QString());
        QBSetArticleClipboard(nullptr);
        QBDialogs::ClearTestState();
    }

    TAppFrameFixture(const TAppFrameFixture &) = delete;
    TAppFrameFixture &operator=(const TAppFrameFixture &) = delete;

    QString path(const QString &name) const { return dir.filePath(name); }
    IQBDocumentPtr doc() const { return DataService()->GetDocument(); }

    IQBArticlePtr add(const QString &caption, const IQBArticlePtr &parent = {}) const
    {
        IQBArticlePtr article = doc()->AddChild(parent ? parent : doc()->Root());
        article->SetCaption(caption);
        return article;
    }

    // Loads an RTF body into the editor as the editor service does.
    void setBody(const QByteArray &rtf) const
    {
        QByteArray bytes = rtf;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        frame->RichEdit->LoadFromStream(buffer);
    }

    // Selects an article in the outline as a click would, and updates the commands.
    void select(const IQBArticlePtr &article) const
    {
        TArticleTreeView *tree = frame->OutlinePane->atvOutline;
        tree->setCurrentItem(tree->FindNode(article));
        frame->alStandardUpdate();
    }

    // Runs a command as the user would: only an enabled one does anything.
    static void run(QAction *action)
    {
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        action->trigger();
    }
};

#ifdef QB_RESOURCES_DIR
// The language files the program ships, in a language folder of the test's own while it lives.
struct TShippedLanguages
{
    QTemporaryDir languages;

    TShippedLanguages()
    {
        TDMAppData::SetLanguageFolder(languages.path());
        QVERIFY(QDir().mkpath(languages.filePath(QStringLiteral("Deutsch"))));
        QVERIFY(QFile::copy(QStringLiteral(QB_RESOURCES_DIR "/Language/Deutsch/qb.exe.xlg"),
                            languages.filePath(QStringLiteral("Deutsch/qb.exe.xlg"))));
    }
    ~TShippedLanguages() { TDMAppData::SetLanguageFolder(QString()); }

    TShippedLanguages(const TShippedLanguages &) = delete;
    TShippedLanguages &operator=(const TShippedLanguages &) = delete;
};
#endif

// A menu's entries as the user reads them, "-" for a separator.
inline QStringList entryTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *entry : menu->actions())
        texts << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    return texts;
}
