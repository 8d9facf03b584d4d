// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "framework/NVKClasses.h"
#include "services/QBEditorIntf.h"

#include <QPointer>
#include <memory>
#include <vector>

// Articles visited in one window, most recent first, each at most once.
class TQBWindowHistory
{
public:
    int MaxDepth = 10;

    // Puts article on top, moving it there when present; the oldest entry goes beyond MaxDepth.
    void Add(const IQBArticlePtr &article);
    // Takes the top entry off; none when empty.
    IQBArticlePtr Pop();
    void Remove(const IQBArticlePtr &article);
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    IQBArticlePtr Item(int index) const { return FItems.at(index); }

private:
    QList<IQBArticlePtr> FItems;
};

// One tab of the editing area: the article it shows and where the user came from.
class TQBArticleWindow
{
public:
    explicit TQBArticleWindow(const IQBArticlePtr &article) : Article(article) {}

    IQBArticlePtr Article;
    TQBWindowHistory Forward;
    TQBWindowHistory Back;

    QString Caption() const { return Article ? Article->Caption() : QString(); }
};

// The provider of "Quillbox:Editor", placed on the main window with its three controls.
class TQBEditorService : public TNVKCustomServiceProvider
{
    Q_OBJECT

public:
    explicit TQBEditorService(QObject *owner = nullptr);
    ~TQBEditorService() override;

    TArticleTabs *ArticleTabs() const { return FArticleTabs; }
    // Refused while active; the new control loses all its tabs.
    void SetArticleTabs(TArticleTabs *value);
    TArticleTitle *ArticleTitle() const { return FArticleTitle; }
    void SetArticleTitle(TArticleTitle *value);
    TArticleRichEdit *ArticleEditor() const { return FArticleEditor; }
    void SetArticleEditor(TArticleRichEdit *value);

protected:
    INVKServicePtr CreateService() override;
    void CheckActivation() override;

private:
    QPointer<TArticleTabs> FArticleTabs;
    QPointer<TArticleTitle> FArticleTitle;
    QPointer<TArticleRichEdit> FArticleEditor;
};

class TQBEditorServiceImpl final : public TNVKServiceBase, public IQBEditorService
{
public:
    explicit TQBEditorServiceImpl(TQBEditorService *provider);
    ~TQBEditorServiceImpl() override;

    int OpenWindow(const IQBArticlePtr &article) override;
    void CloseWindow(int index) override;
    int IndexOfCaption(const QString &caption) const override;
    int IndexOfArticle(const IQBArticlePtr &article) const override;
    bool CanGoForward() const override;
    bool CanGoBack() const override;
    void GoBack() override;
    void GoForward() override;
    QString BackCaption() const override;
    QString ForwardCaption() const override;
    QObject *EditorHandle() const override;
    QByteArray SelectionRTF() const override;
    void StoreChanges() override;
    int WindowCount() const override { return int(FWindows.size()); }
    int ActiveWindowIndex() const override;
    void ActivateWindow(int index) override;
    QString WindowCaption(int index) const override;
    IQBArticlePtr WindowArticle(int index) const override;
    IQBArticlePtr CurrentArticle() const override;
    void NavigateTo(const IQBArticlePtr &article) override;

    // The histories of a window, for those who show them.
    const TQBArticleWindow *Window(int index) const;

protected:
    bool DoStart() override;
    void DoStop() override;

private:
    TArticleRichEdit *Editor() const;
    TArticleTabs *Tabs() const;
    TArticleTitle *Title() const;
    void CheckIndex(int index) const;
    void LoadArticle(const IQBArticlePtr &article);
    void StoreArticle(const IQBArticlePtr &article);
    void ShowInActive(const IQBArticlePtr &article);
    void ResetDocument(const IQBDocumentPtr &document);
    void DataNotify(int code, const INVKUnknownPtr &param);
    void ArticleChanged(const IQBArticlePtr &article);
    void ArticleDeleted(const IQBArticlePtr &article);

    QPointer<TQBEditorService> FOwner;
    std::shared_ptr<TNVKEventListener> FListener;
    INVKEventPublisherPtr FPublisher;
    std::vector<std::unique_ptr<TQBArticleWindow>> FWindows;
    TQBArticleWindow *FActive = nullptr;
    // Set while the editor writes a body, so only bodies changed elsewhere are loaded again.
    bool FStoring = false;
};
