// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDom.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

IQBArticleClipboardPtr &processClipboard()
{
    static IQBArticleClipboardPtr clipboard;
    return clipboard;
}

// Every item of a list is a TQBArticle (Add and Insert refuse anything else).
TQBArticle *articleOf(const IQBArticlePtr &item)
{
    return static_cast<TQBArticle *>(item.get());
}

} // namespace

int QBSubtreeHeight(const IQBArticlePtr &article)
{
    int height = 0;
    std::vector<std::pair<TQBArticle *, int>> pending;
    if (auto *top = dynamic_cast<TQBArticle *>(article.get()))
        pending.emplace_back(top, 0);
    while (!pending.empty()) {
        auto [current, level] = pending.back();
        pending.pop_back();
        height = std::max(height, level);
        const TQBArticleListLocker locker(current->ItemList());
        for (const IQBArticlePtr &child : locker.Items())
            pending.emplace_back(articleOf(child), level + 1);
    }
    return height;
}

void QBCheckArticleLevel(int level, int height)
{
    if (level + height > QBMaxArticleLevel)
        throw EQBDocumentError(QString::fromLatin1(SArticlesTooDeep));
}

std::shared_ptr<TQBDocument> TQBDocument::Create()
{
    auto document = std::make_shared<TQBDocument>(TPrivate{});
    auto root = std::make_shared<TQBArticle>(document);
    root->FCaption = QStringLiteral("Root");
    root->FCreated = Now();
    document->FRoot = std::move(root);
    return document;
}

IQBDocumentPtr NewQBDocument()
{
    return TQBDocument::Create();
}

IQBDocumentPtr QBSnapshotDocument(const IQBDocumentPtr &source)
{
    const IQBDocumentPtr copy = NewQBDocument();
    const auto control = std::dynamic_pointer_cast<IQBDocumentControl>(copy);
    const TQBOperationGuard operation(*control, opLoad);
    copy->SetEncoding(source->Encoding());
    copy->SetAuthor(source->Author());
    copy->SetCopyright(source->Copyright());
    copy->SetAutoRevision(source->AutoRevision());
    copy->SetRevision(source->Revision());
    copy->SetRemarks(source->Remarks());
    control->SetVersion(source->Version());
    // Pre-order without recursion; each copy enters its parent's list before its own children.
    std::vector<std::pair<IQBArticlePtr, IQBArticlePtr>> pending{{source->Root(), nullptr}};
    while (!pending.empty()) {
        const auto [original, parent] = std::move(pending.back());
        pending.pop_back();
        const IQBArticlePtr article = copy->CreateArticle();
        article->SetIID(original->IID());
        article->SetCaption(original->Caption());
        article->SetMark(original->Mark());
        article->SetCreated(original->Created());
        const auto *stored = dynamic_cast<const TQBArticle *>(original.get());
        auto *target = dynamic_cast<TQBArticle *>(article.get());
        if (stored && target)
            target->SetCompressedContent(stored->CompressedContent(), stored->ContentLength());
        else
            article->SetContent(original->Content());
        if (parent)
            parent->Items()->Add(article);
        else
            control->SetRoot(article);
        const TQBArticleListLocker lock(*original->Items());
        for (auto it = lock.Items().crbegin(); it != lock.Items().crend(); ++it)
            pending.emplace_back(*it, article);
    }
    control->SetLastIID(source->LastIID());
    control->SetModified(false);
    return copy;
}

TQBDocument::TQBDocument(TPrivate) : FVersion(QStringLiteral("1.1")), FEncoding(QStringLiteral("UTF-8")) {}

TQBDocument::~TQBDocument()
{
    std::vector<IQBArticlePtr> pending;
    pending.push_back(std::move(FRoot));
    TQBArticle::ReleaseArticles(std::move(pending));
}

void TQBDocument::SetEncoding(const QString &value)
{
    FEncoding = value;
    HeaderChanged();
}

void TQBDocument::SetAuthor(const QString &value)
{
    if (value == FAuthor)
        return;
    FAuthor = value;
    HeaderChanged();
}

void TQBDocument::SetCopyright(const QString &value)
{
    if (value == FCopyright)
        return;
    FCopyright = value;
    HeaderChanged();
}

void TQBDocument::SetAutoRevision(bool value)
{
    if (value == FAutoRevision)
        return;
    FAutoRevision = value;
    HeaderChanged();
}

void TQBDocument::SetRevision(qint32 value)
{
    if (value == FRevision)
        return;
    FRevision = value;
    HeaderChanged();
}

void TQBDocument::SetRemarks(const QString &value)
{
    if (value == FRemarks)
        return;
    FRemarks = value;
    HeaderChanged();
}

void TQBDocument::Notify(int kind, TQBArticle *article)
{
    if (FOperation != opNone)
        return;
    // Held for the call, so a subscriber that replaces itself is not destroyed mid-call.
    const INVKNotifierPtr handler = FOnChange;
    INVKUnknownPtr args;
    if (handler && article) {
        IQBArticlePtr subject = article->weak_from_this().lock();
        if (kind >= QB_DATA_CAPTION_CHANGED && kind <= QB_DATA_MARKER_CHANGED)
            args = std::make_shared<TQBArticleChangeArgs>(std::move(subject));
        else if (kind >= QB_DATA_ARTICLE_ADDED && kind <= QB_DATA_ARTICLE_MOVED)
            args = std::make_shared<TQBStructureChangeArgs>(std::move(subject), article->Parent());
    }
    FModified = true;
    if (handler)
        handler->Notify(static_cast<IQBDocument *>(this), kind, args);
}

void TQBDocument::NotifyMoved(TQBArticle *article)
{
    Notify(QB_DATA_ARTICLE_MOVED, article);
}

TQBArticle *TQBDocument::Verify(const IQBArticlePtr &article) const
{
    auto *result = dynamic_cast<TQBArticle *>(article.get());
    if (!result || !result->BelongsTo(this))
        throw EQBDocumentError(QString::fromLatin1(SArticleNotInDocument));
    return result;
}

IQBArticlePtr TQBDocument::CreateArticle()
{
    auto article = std::make_shared<TQBArticle>(shared_from_this());
    if (FOperation != opLoad) {
        if (FLastIID == std::numeric_limits<qint32>::max())
            throw EQBDocumentError(QStringLiteral("No more article identifiers are available in this document."));
        article->SetIID(++FLastIID);
        article->SetCreated(Now());
    }
    return article;
}

IQBArticlePtr TQBDocument::AddChild(const IQBArticlePtr &parent)
{
    TQBArticle *owner = Verify(parent);
    QBCheckArticleLevel(owner->Level() + 1, 0);
    IQBArticlePtr article = CreateArticle();
    owner->ItemList().Add(article);
    return article;
}

IQBArticlePtr TQBDocument::AddSibling(const IQBArticlePtr &article, bool after)
{
    TQBArticle *sibling = Verify(article);
    TQBArticle *parent = sibling->ParentArticle();
    if (!parent)
        return nullptr;
    QBCheckArticleLevel(sibling->Level(), 0);
    TQBArticleList &items = parent->ItemList();
    const int index = items.IndexOf(article);
    const int count = items.Count();
    IQBArticlePtr created = CreateArticle();
    if (!after)
        items.Insert(index, created);
    else if (index == count - 1)
        items.Add(created);
    else
        items.Insert(index + 1, created);
    return created;
}

void TQBDocument::DeleteArticle(const IQBArticlePtr &article)
{
    TQBArticle *a = Verify(article);
    if (TQBArticle *parent = a->ParentArticle())
        parent->ItemList().Remove(article);
}

TArticleMoves TQBDocument::GetMoves(const IQBArticlePtr &article)
{
    TQBArticle *a = Verify(article);
    TArticleMoves moves;
    TQBArticle *parent = a->ParentArticle();
    if (!parent)
        return moves;
    TQBArticleList &items = parent->ItemList();
    const TQBArticleListLocker locker(items);
    const int index = items.IndexOf(article);
    const int count = int(locker.Items().size());
    if (index > 0)
        moves |= TArticleMoves(amUp) | amRight;
    if (index < count - 1)
        moves |= amDown;
    if (parent->ParentArticle())
        moves |= amLeft;
    return moves;
}

void TQBDocument::MoveUp(const IQBArticlePtr &article)
{
    if (!GetMoves(article).testFlag(amUp))
        return;
    TQBArticleList &items = articleOf(article)->ParentArticle()->ItemList();
    {
        const TQBOperationGuard operation(*this, opMove);
        const int index = items.IndexOf(article);
        items.Move(index, index - 1);
    }
    NotifyMoved(articleOf(article));
}

void TQBDocument::MoveDown(const IQBArticlePtr &article)
{
    if (!GetMoves(article).testFlag(amDown))
        return;
    TQBArticleList &items = articleOf(article)->ParentArticle()->ItemList();
    {
        const TQBOperationGuard operation(*this, opMove);
        const int index = items.IndexOf(article);
        items.Move(index, index + 1);
    }
    NotifyMoved(articleOf(article));
}

void TQBDocument::MoveLeft(const IQBArticlePtr &article)
{
    if (!GetMoves(article).testFlag(amLeft))
        return;
    TQBArticle *parent = articleOf(article)->ParentArticle();
    TQBArticle *grandParent = parent->ParentArticle();
    {
        const TQBOperationGuard operation(*this, opMove);
        const int index = parent->Index();
        parent->ItemList().Remove(article);
        grandParent->ItemList().Insert(index + 1, article);
    }
    NotifyMoved(articleOf(article));
}

void TQBDocument::MoveRight(const IQBArticlePtr &article)
{
    if (!GetMoves(article).testFlag(amRight))
        return;
    QBCheckArticleLevel(articleOf(article)->Level() + 1, QBSubtreeHeight(article));
    TQBArticleList &items = articleOf(article)->ParentArticle()->ItemList();
    {
        const TQBOperationGuard operation(*this, opMove);
        const IQBArticlePtr sibling = items.Get(items.IndexOf(article) - 1);
        items.Remove(article);
        articleOf(sibling)->ItemList().Add(article);
    }
    NotifyMoved(articleOf(article));
}

void TQBDocument::MoveArticle(const IQBArticlePtr &article, const IQBArticlePtr &newParent)
{
    auto *a = dynamic_cast<TQBArticle *>(article.get());
    auto *target = dynamic_cast<TQBArticle *>(newParent.get());
    if (!a || !target || !a->BelongsTo(this) || !target->BelongsTo(this) || !a->ParentArticle())
        return;
    // The article must be in this tree, and the target in this tree but outside the article's
    // own subtree: moving a branch below itself would cut it out of the tree.
    const TQBArticle *top = a;
    while (top->ParentArticle())
        top = top->ParentArticle();
    if (top != FRoot.get())
        return;
    for (top = target; top->ParentArticle(); top = top->ParentArticle()) {
        if (top == a)
            return;
    }
    if (top != FRoot.get())
        return;
    QBCheckArticleLevel(target->Level() + 1, QBSubtreeHeight(article));
    {
        const TQBOperationGuard operation(*this, opMove);
        a->ParentArticle()->ItemList().Remove(article);
        target->ItemList().Add(article);
    }
    NotifyMoved(a);
}

IQBArticlePtr TQBDocument::FindArticle(qint32 iid) const
{
    std::vector<TQBArticle *> pending{FRoot.get()};
    while (!pending.empty()) {
        TQBArticle *article = pending.back();
        pending.pop_back();
        if (article->IID() == iid)
            return article->weak_from_this().lock();
        const TQBArticleListLocker locker(article->ItemList());
        const QList<IQBArticlePtr> &items = locker.Items();
        for (qsizetype i = items.size() - 1; i >= 0; --i)
            pending.push_back(articleOf(items.at(i)));
    }
    return nullptr;
}

qint32 TQBDocument::ArticleCount() const
{
    qint32 count = 0;
    std::vector<TQBArticle *> pending{FRoot.get()};
    while (!pending.empty()) {
        TQBArticle *article = pending.back();
        pending.pop_back();
        ++count;
        const TQBArticleListLocker locker(article->ItemList());
        for (const IQBArticlePtr &child : locker.Items())
            pending.push_back(articleOf(child));
    }
    return count;
}

IQBArticleClipboardPtr TQBDocument::Clipboard() const
{
    return FClipboard ? FClipboard : QBArticleClipboard();
}

void TQBDocument::CutArticle(const IQBArticlePtr &article)
{
    const IQBArticleClipboardPtr clipboard = Clipboard();
    if (!clipboard)
        throw EQBDocumentError(QStringLiteral("No clipboard is available for articles."));
    clipboard->Cut(article);
}

void TQBDocument::CopyArticle(const IQBArticlePtr &article)
{
    const IQBArticleClipboardPtr clipboard = Clipboard();
    if (!clipboard)
        throw EQBDocumentError(QStringLiteral("No clipboard is available for articles."));
    clipboard->Copy(article);
}

IQBArticlePtr TQBDocument::PasteArticle(const IQBArticlePtr &target)
{
    const IQBArticleClipboardPtr clipboard = Clipboard();
    if (!clipboard || !clipboard->HasFormat())
        return nullptr;
    return clipboard->Paste(target);
}

bool TQBDocument::CanPaste()
{
    const IQBArticleClipboardPtr clipboard = Clipboard();
    return clipboard && clipboard->HasFormat();
}

void TQBDocument::BeginOperation(TQBOperation kind)
{
    if (FOperation != opNone)
        throw EQBDocumentError(QStringLiteral("Another operation is already in progress."));
    if (kind != opLoad && kind != opMove && kind != opPaste)
        throw EQBDocumentError(QStringLiteral("Unknown document operation."));
    FOperation = kind;
}

void TQBDocument::EndOperation()
{
    if (FOperation == opNone)
        return;
    if (FOperation == opLoad)
        SetModified(false);
    FOperation = opNone;
}

void TQBDocument::SetLastIID(qint32 value)
{
    if (FOperation == opLoad)
        FLastIID = value;
}

void TQBDocument::SetRoot(const IQBArticlePtr &article)
{
    if (FOperation != opLoad)
        return;
    auto root = std::dynamic_pointer_cast<TQBArticle>(article);
    if (!root)
        throw EQBDocumentError(QStringLiteral("A document needs a root article."));
    if (root == FRoot)
        return;
    if (root->ParentArticle())
        throw EQBDocumentError(QStringLiteral("Article is already part of a tree."));
    std::vector<IQBArticlePtr> old;
    old.push_back(std::move(FRoot));
    FRoot = std::move(root);
    FRoot->SetDocumentObject(weak_from_this());
    TQBArticle::ReleaseArticles(std::move(old));
}

void TQBDocument::SetModified(bool value)
{
    FModified = value;
    if (!value)
        FRoot->ClearModified();
}

void QBSetArticleClipboard(const IQBArticleClipboardPtr &clipboard)
{
    processClipboard() = clipboard;
}

IQBArticleClipboardPtr QBArticleClipboard()
{
    return processClipboard();
}
