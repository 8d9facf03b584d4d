// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBEditorSvc.h"

#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "rtf/QBRtfBody.h"
#include "services/QBDocSvc.h"

#include <QApplication>
#include <QBuffer>
#include <QScopedValueRollback>

namespace {

const char SEditorServiceName[] = "Quillbox:Editor";
const char SPropertyNotAssigned[] = "Cannot activate service. Required property not assigned.";
const char SListIndexError[] = "List index out of bounds: %d.";

// The hourglass for a scope, so that an error still restores the cursor.
class TBusyCursor
{
public:
    TBusyCursor()
    {
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            FSet = false;
    }
    ~TBusyCursor()
    {
        if (FSet)
            QApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;

private:
    bool FSet = true;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// TQBWindowHistory

void TQBWindowHistory::Add(const IQBArticlePtr &article)
{
    if (!article)
        return;
    FItems.removeOne(article);
    FItems.prepend(article);
    while (FItems.size() > MaxDepth)
        FItems.removeLast();
}

IQBArticlePtr TQBWindowHistory::Pop()
{
    if (FItems.isEmpty())
        return {};
    return FItems.takeFirst();
}

void TQBWindowHistory::Remove(const IQBArticlePtr &article)
{
    FItems.removeOne(article);
}

// ---------------------------------------------------------------------------------------------
// TQBEditorService

TQBEditorService::TQBEditorService(QObject *owner)
    : TNVKCustomServiceProvider(owner, QString::fromLatin1(SEditorServiceName))
{
    setObjectName(QStringLiteral("qbeEditor"));
}

TQBEditorService::~TQBEditorService()
{
    DeactivateForDestruction();
}

void TQBEditorService::SetArticleTabs(TArticleTabs *value)
{
    CheckInactive();
    if (FArticleTabs == value)
        return;
    FArticleTabs = value;
    if (FArticleTabs) {
        while (FArticleTabs->count() > 0)
            FArticleTabs->removeTab(FArticleTabs->count() - 1);
    }
}

void TQBEditorService::SetArticleTitle(TArticleTitle *value)
{
    CheckInactive();
    FArticleTitle = value;
}

void TQBEditorService::SetArticleEditor(TArticleRichEdit *value)
{
    CheckInactive();
    FArticleEditor = value;
}

void TQBEditorService::CheckActivation()
{
    if (!FArticleTabs || !FArticleEditor || !FArticleTitle)
        throw ENVKServiceError(QString::fromLatin1(SPropertyNotAssigned));
}

INVKServicePtr TQBEditorService::CreateService()
{
    return std::make_shared<TQBEditorServiceImpl>(this);
}

// ---------------------------------------------------------------------------------------------
// TQBEditorServiceImpl

TQBEditorServiceImpl::TQBEditorServiceImpl(TQBEditorService *provider) : TNVKServiceBase(provider), FOwner(provider) {}

TQBEditorServiceImpl::~TQBEditorServiceImpl()
{
    if (FListener)
        FListener->Clear();
}

TArticleRichEdit *TQBEditorServiceImpl::Editor() const
{
    return FOwner ? FOwner->ArticleEditor() : nullptr;
}

TArticleTabs *TQBEditorServiceImpl::Tabs() const
{
    return FOwner ? FOwner->ArticleTabs() : nullptr;
}

TArticleTitle *TQBEditorServiceImpl::Title() const
{
    return FOwner ? FOwner->ArticleTitle() : nullptr;
}

void TQBEditorServiceImpl::CheckIndex(int index) const
{
    if (index < 0 || index >= WindowCount())
        throw EListError(QString::fromLatin1(SListIndexError).replace(QLatin1String("%d"), QString::number(index)));
}

bool TQBEditorServiceImpl::DoStart()
{
    if (!FListener)
        FListener = std::make_shared<TNVKEventListener>(
            [this](int code, const INVKUnknownPtr &param) { DataNotify(code, param); });
    const IQBDataServicePtr data = DataService();
    if (!data)
        return true;
    FPublisher = std::dynamic_pointer_cast<INVKEventPublisher>(data);
    if (FPublisher)
        FPublisher->Subscribe(FListener);
    ResetDocument(data->GetDocument());
    return true;
}

void TQBEditorServiceImpl::DoStop()
{
    if (FPublisher && FListener)
        FPublisher->Unsubscribe(FListener);
    FPublisher.reset();
    if (FListener)
        FListener->Clear();
    FListener.reset();
}

void TQBEditorServiceImpl::LoadArticle(const IQBArticlePtr &article)
{
    TArticleRichEdit *editor = Editor();
    if (!article || !editor)
        return;
    // The same bytes search and export read, so raw code-page characters arrive as they do there.
    QByteArray body = QBBodyBytes(article->Content());
    TBusyCursor busy;
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    editor->LoadFromStream(buffer);
    if (TArticleTitle *title = Title())
        title->ShowArticle(article);
    // Typing into an empty article starts in the editor's default font.
    if (editor->TextLength() < 1) {
        editor->SelAttributes().Assign(editor->DefAttributes());
        editor->WordAttributes().Assign(editor->DefAttributes());
    }
    const TQBViewState state = *article->ViewState();
    editor->SetSelStart(state.SelStart);
    editor->SetSelLength(state.SelLength);
    editor->SetFirstVisibleLine(state.FirstVisibleLine);
    editor->ClearUndo();
    editor->SetModified(false);
}

void TQBEditorServiceImpl::StoreArticle(const IQBArticlePtr &article)
{
    TArticleRichEdit *editor = Editor();
    if (!article || !editor)
        return;
    if (editor->Modified()) {
        const QScopedValueRollback storing(FStoring, true);
        if (editor->TextLength() < 1) {
            article->SetContent(QString());
        } else {
            TBusyCursor busy;
            QByteArray body;
            QBuffer buffer(&body);
            buffer.open(QIODevice::WriteOnly);
            editor->SaveToStream(buffer);
            article->SetContent(QString::fromLatin1(body));
        }
        // The body now matches the article; without this a later store would write it again and
        // mark a just-saved document as changed.
        editor->SetModified(false);
    }
    TQBViewState *state = article->ViewState();
    state->SelStart = editor->SelStart();
    state->SelLength = editor->SelLength();
    state->FirstVisibleLine = editor->FirstVisibleLine();
}

void TQBEditorServiceImpl::ShowInActive(const IQBArticlePtr &article)
{
    if (!FActive)
        return;
    StoreArticle(FActive->Article);
    LoadArticle(article);
    FActive->Article = article;
    if (TArticleTabs *tabs = Tabs())
        tabs->setTabText(ActiveWindowIndex(), FActive->Caption());
}

int TQBEditorServiceImpl::OpenWindow(const IQBArticlePtr &article)
{
    FWindows.push_back(std::make_unique<TQBArticleWindow>(article));
    TQBArticleWindow *window = FWindows.back().get();
    const int index = WindowCount() - 1;
    const bool becomesActive = FActive == nullptr;
    // Adding the first tab selects it, and the main window may activate the window from that signal.
    if (TArticleTabs *tabs = Tabs())
        tabs->addTab(window->Caption());
    if (becomesActive && FActive != window) {
        LoadArticle(article);
        FActive = window;
        if (TArticleTabs *tabs = Tabs())
            tabs->setCurrentIndex(index);
    }
    return index;
}

void TQBEditorServiceImpl::CloseWindow(int index)
{
    if (WindowCount() < 2)
        return;
    CheckIndex(index);
    if (FWindows[size_t(index)].get() == FActive)
        ActivateWindow(index == 0 ? 1 : index - 1);
    // The window goes before its tab: removing the tab may select another one, and the window list
    // must already match the tabs when that selection comes back as an activation.
    std::unique_ptr<TQBArticleWindow> closing = std::move(FWindows[size_t(index)]);
    FWindows.erase(FWindows.begin() + index);
    if (TArticleTabs *tabs = Tabs()) {
        if (index < tabs->count())
            tabs->removeTab(index);
        const int active = ActiveWindowIndex();
        if (active >= 0 && tabs->currentIndex() != active)
            tabs->setCurrentIndex(active);
    }
}

int TQBEditorServiceImpl::IndexOfCaption(const QString &caption) const
{
    for (int i = 0; i < WindowCount(); ++i) {
        if (FWindows[size_t(i)]->Caption() == caption)
            return i;
    }
    return -1;
}

int TQBEditorServiceImpl::IndexOfArticle(const IQBArticlePtr &article) const
{
    for (int i = 0; i < WindowCount(); ++i) {
        if (FWindows[size_t(i)]->Article == article)
            return i;
    }
    return -1;
}

bool TQBEditorServiceImpl::CanGoForward() const
{
    return FActive && FActive->Forward.Count() > 0;
}

bool TQBEditorServiceImpl::CanGoBack() const
{
    return FActive && FActive->Back.Count() > 0;
}

void TQBEditorServiceImpl::GoBack()
{
    if (!CanGoBack())
        return;
    const IQBArticlePtr previous = FActive->Article;
    const IQBArticlePtr article = FActive->Back.Pop();
    if (!article)
        return;
    ShowInActive(article);
    FActive->Forward.Add(previous);
}

void TQBEditorServiceImpl::GoForward()
{
    if (!CanGoForward())
        return;
    const IQBArticlePtr previous = FActive->Article;
    const IQBArticlePtr article = FActive->Forward.Pop();
    if (!article)
        return;
    ShowInActive(article);
    FActive->Back.Add(previous);
}

QString TQBEditorServiceImpl::BackCaption() const
{
    return CanGoBack() ? FActive->Back.Item(0)->Caption() : QString();
}

QString TQBEditorServiceImpl::ForwardCaption() const
{
    return CanGoForward() ? FActive->Forward.Item(0)->Caption() : QString();
}

QObject *TQBEditorServiceImpl::EditorHandle() const
{
    return Editor();
}

QByteArray TQBEditorServiceImpl::SelectionRTF() const
{
    TArticleRichEdit *editor = Editor();
    if (!editor)
        return {};
    return editor->StreamOutBytes(sfRichText, TVtlStreamModes(smSelection) | smPlainRtf);
}

void TQBEditorServiceImpl::StoreChanges()
{
    TArticleRichEdit *editor = Editor();
    if (editor && editor->Modified() && FActive)
        StoreArticle(FActive->Article);
}

int TQBEditorServiceImpl::ActiveWindowIndex() const
{
    for (int i = 0; i < WindowCount(); ++i) {
        if (FWindows[size_t(i)].get() == FActive)
            return i;
    }
    return -1;
}

void TQBEditorServiceImpl::ActivateWindow(int index)
{
    CheckIndex(index);
    TQBArticleWindow *window = FWindows[size_t(index)].get();
    if (window != FActive) {
        if (FActive)
            StoreArticle(FActive->Article);
        LoadArticle(window->Article);
        FActive = window;
    }
    if (TArticleTabs *tabs = Tabs(); tabs && index < tabs->count())
        tabs->setCurrentIndex(index);
}

QString TQBEditorServiceImpl::WindowCaption(int index) const
{
    CheckIndex(index);
    return FWindows[size_t(index)]->Caption();
}

IQBArticlePtr TQBEditorServiceImpl::WindowArticle(int index) const
{
    CheckIndex(index);
    return FWindows[size_t(index)]->Article;
}

const TQBArticleWindow *TQBEditorServiceImpl::Window(int index) const
{
    CheckIndex(index);
    return FWindows[size_t(index)].get();
}

IQBArticlePtr TQBEditorServiceImpl::CurrentArticle() const
{
    return FActive ? FActive->Article : IQBArticlePtr();
}

void TQBEditorServiceImpl::NavigateTo(const IQBArticlePtr &article)
{
    if (!article || !FActive || article == FActive->Article)
        return;
    if (FActive->Article) {
        FActive->Forward.Clear();
        FActive->Back.Add(FActive->Article);
    }
    ShowInActive(article);
}

void TQBEditorServiceImpl::ResetDocument(const IQBDocumentPtr &document)
{
    for (int i = WindowCount() - 1; i >= 0; --i)
        CloseWindow(i);
    if (FActive) {
        FActive->Back.Clear();
        FActive->Forward.Clear();
        // Dropped first, so nothing of the old document is stored into it.
        FActive->Article.reset();
    }
    if (!document)
        return;
    if (WindowCount() > 0)
        NavigateTo(document->Root());
    else
        OpenWindow(document->Root());
}

void TQBEditorServiceImpl::DataNotify(int code, const INVKUnknownPtr &param)
{
    switch (code) {
    case QB_DATA_AFTER_CREATE:
    case QB_DATA_AFTER_OPEN:
        if (const IQBDataServicePtr data = DataService())
            ResetDocument(data->GetDocument());
        break;
    case QB_DATA_CAPTION_CHANGED:
    case QB_DATA_MARKER_CHANGED:
        if (const auto args = std::dynamic_pointer_cast<IQBArticleChangeArgs>(param))
            ArticleChanged(args->Article());
        break;
    case QB_DATA_ARTICLE_DELETED:
        if (const auto args = std::dynamic_pointer_cast<IQBArticleChangeArgs>(param))
            ArticleDeleted(args->Article());
        break;
    case QB_DATA_CONTENT_CHANGED:
        // A body given back by Edit > Undo shows at once; the editor stored its own text before.
        if (const auto args = std::dynamic_pointer_cast<IQBArticleChangeArgs>(param);
            args && !FStoring && FActive && FActive->Article == args->Article())
            LoadArticle(args->Article());
        break;
    default:
        break;
    }
}

void TQBEditorServiceImpl::ArticleChanged(const IQBArticlePtr &article)
{
    if (!article)
        return;
    TArticleTabs *tabs = Tabs();
    for (int i = 0; i < WindowCount(); ++i) {
        if (FWindows[size_t(i)]->Article == article && tabs && i < tabs->count())
            tabs->setTabText(i, article->Caption());
    }
    if (FActive && FActive->Article == article) {
        if (TArticleTitle *title = Title())
            title->ShowArticle(article);
    }
}

void TQBEditorServiceImpl::ArticleDeleted(const IQBArticlePtr &article)
{
    if (!article)
        return;
    // Children before their parent, walked without recursion: the reverse of a pre-order that
    // visits children last to first.
    QList<IQBArticlePtr> order;
    QList<IQBArticlePtr> stack{article};
    while (!stack.isEmpty()) {
        const IQBArticlePtr current = stack.takeLast();
        order.append(current);
        const IQBArticleListPtr items = current->Items();
        for (int i = 0; i < items->Count(); ++i)
            stack.append(items->Get(i));
    }
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        const IQBArticlePtr &gone = *it;
        for (int i = WindowCount() - 1; i >= 0; --i) {
            if (i < WindowCount() && FWindows[size_t(i)]->Article == gone)
                CloseWindow(i);
        }
        for (const auto &window : FWindows) {
            window->Back.Remove(gone);
            window->Forward.Remove(gone);
        }
    }
}
