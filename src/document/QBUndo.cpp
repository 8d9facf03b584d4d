// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBUndo.h"

#include "QBDom.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace {

TQBArticle *articleOf(const IQBArticlePtr &article)
{
    return static_cast<TQBArticle *>(article.get());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TQBUndoStep

TQBUndoStep::TQBUndoStep(TQBUndoKind kind, IQBArticlePtr subject)
    : FKind(kind), FArticle(std::move(subject)), FSubject(FArticle ? FArticle->Caption() : QString())
{
}

TQBUndoStep::~TQBUndoStep()
{
    // A step may hold the last reference to a deleted branch of any depth: such branches are
    // released without recursion. Articles still in a tree are only let go; releasing them the
    // same way would cut them out of their tree.
    std::vector<IQBArticlePtr> detached;
    const auto release = [&detached](IQBArticlePtr &article) {
        if (article && !article->Parent() && !article->Document())
            detached.push_back(std::move(article));
        article.reset();
    };
    release(FArticle);
    for (TRecord &record : FRecords) {
        release(record.Article);
        release(record.FromParent);
        release(record.ToParent);
    }
    TQBArticle::ReleaseArticles(std::move(detached));
}

bool TQBUndoStep::Has(TRecordKind kind, const IQBArticle *article) const
{
    return FValues.value(article) & (1u << kind);
}

IQBArticlePtr TQBUndoStep::Focus(bool undo) const
{
    // Detached articles have no document: whatever is still linked is in the tree.
    const auto inTree = [](const IQBArticlePtr &article) { return article && article->Document(); };
    if (FRecords.empty())
        return nullptr;
    const TRecord &first = FRecords.front();
    // An added or pasted article, once it is back.
    if (!undo && first.Kind == rkPlace && !first.FromParent && inTree(first.Article))
        return first.Article;
    if (inTree(FArticle))
        return FArticle;
    if (inTree(first.Article))
        return first.Article;
    for (const IQBArticlePtr &parent : {first.FromParent, first.ToParent}) {
        if (inTree(parent))
            return parent;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TQBUndoStack

void TQBUndoStack::Push(std::unique_ptr<TQBUndoStep> step)
{
    // A new step ends every step that was undone: they no longer fit the tree.
    while (int(FSteps.size()) > FIndex)
        FSteps.pop_back();
    FSteps.push_back(std::move(step));
    FIndex = int(FSteps.size());
    Trim();
}

void TQBUndoStack::Trim()
{
    if (FLimit <= 0 || int(FSteps.size()) <= FLimit)
        return;
    const int surplus = int(FSteps.size()) - FLimit;
    const int dropped = std::min(surplus, FIndex);
    FSteps.erase(FSteps.begin(), FSteps.begin() + dropped);
    FIndex -= dropped;
    // Steps undone beyond the limit go from the far end.
    while (FLimit > 0 && int(FSteps.size()) > FLimit)
        FSteps.pop_back();
}

void TQBUndoStack::SetLimit(int value)
{
    FLimit = std::max(0, value);
    Trim();
}

void TQBUndoStack::Clear()
{
    FSteps.clear();
    FIndex = 0;
}

IQBArticlePtr TQBUndoStack::Undo()
{
    if (!CanUndo())
        return nullptr;
    TQBUndoStep &step = *FSteps[size_t(FIndex - 1)];
    FDocument.ReplayStep(step, true);
    --FIndex;
    return step.Focus(true);
}

IQBArticlePtr TQBUndoStack::Redo()
{
    if (!CanRedo())
        return nullptr;
    TQBUndoStep &step = *FSteps[size_t(FIndex)];
    FDocument.ReplayStep(step, false);
    ++FIndex;
    return step.Focus(false);
}

// ---------------------------------------------------------------------------------------------
// TQBUndoScope

TQBUndoScope::TQBUndoScope(IQBDocument &document, TQBUndoKind kind, const IQBArticlePtr &subject) : FDocument(document)
{
    FDocument.BeginUndoStep(kind, subject);
}

TQBUndoScope::~TQBUndoScope()
{
    FDocument.EndUndoStep();
}

// ---------------------------------------------------------------------------------------------
// Recording and replaying in the document

void TQBDocument::BeginUndoStep(TQBUndoKind kind, const IQBArticlePtr &subject)
{
    if (FReplaying)
        throw EQBDocumentError(QStringLiteral("An undo step cannot begin while another is taken back."));
    if (FStepDepth++ == 0)
        FStep = std::make_unique<TQBUndoStep>(kind, subject);
}

void TQBDocument::EndUndoStep()
{
    if (FStepDepth == 0 || --FStepDepth > 0)
        return;
    std::unique_ptr<TQBUndoStep> step = std::move(FStep);
    // The values after the step are taken now, once, whatever happened in between.
    for (TQBUndoStep::TRecord &record : step->FRecords) {
        auto *article = articleOf(record.Article);
        switch (record.Kind) {
        case TQBUndoStep::rkPlace:
            break;
        case TQBUndoStep::rkCaption:
            record.NewText = article->Caption();
            break;
        case TQBUndoStep::rkMark:
            record.NewMark = article->Mark();
            break;
        case TQBUndoStep::rkContent:
            record.NewData = article->CompressedContent();
            record.NewLength = article->ContentLength();
            break;
        }
    }
    // Values that came back to where they were are no change.
    auto &records = step->FRecords;
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [](const TQBUndoStep::TRecord &r) {
                                     return (r.Kind == TQBUndoStep::rkPlace && r.FromParent == r.ToParent &&
                                             r.FromIndex == r.ToIndex) ||
                                            (r.Kind == TQBUndoStep::rkCaption && r.OldText == r.NewText) ||
                                            (r.Kind == TQBUndoStep::rkMark && r.OldMark == r.NewMark) ||
                                            (r.Kind == TQBUndoStep::rkContent && r.OldLength == r.NewLength &&
                                             r.OldData == r.NewData);
                                 }),
                  records.end());
    if (step->IsEmpty())
        return;
    if (step->FSubject.isEmpty())
        step->FSubject = step->FRecords.front().Article->Caption();
    FUndo.Push(std::move(step));
}

bool TQBDocument::InTree(const TQBArticle *article) const
{
    while (article && article->ParentArticle())
        article = article->ParentArticle();
    return article && article == FRoot.get();
}

TQBUndoStep *TQBDocument::Recording(const TQBArticle *article) const
{
    // Loads and pastes build articles outside the tree; only what reaches the tree counts.
    if (!FStep || FReplaying || FOperation == opLoad || FOperation == opPaste || !InTree(article))
        return nullptr;
    return FStep.get();
}

void TQBDocument::RecordInserted(TQBArticle *owner, int index, const IQBArticlePtr &article)
{
    TQBUndoStep *step = Recording(owner);
    if (!step)
        return;
    const IQBArticlePtr parent = owner->weak_from_this().lock();
    // Taken out and put back at once (a move to the left or right, a drop): one move.
    if (!step->FRecords.empty()) {
        TQBUndoStep::TRecord &last = step->FRecords.back();
        if (last.Kind == TQBUndoStep::rkPlace && last.Article == article && last.FromParent && !last.ToParent) {
            last.ToParent = parent;
            last.ToIndex = index;
            return;
        }
    }
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkPlace, article);
    record.ToParent = parent;
    record.ToIndex = index;
}

void TQBDocument::RecordRemoved(TQBArticle *owner, int index, const IQBArticlePtr &article)
{
    TQBUndoStep *step = Recording(owner);
    if (!step)
        return;
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkPlace, article);
    record.FromParent = owner->weak_from_this().lock();
    record.FromIndex = index;
}

void TQBDocument::RecordReordered(TQBArticle *owner, int from, int to, const IQBArticlePtr &article)
{
    TQBUndoStep *step = Recording(owner);
    if (!step)
        return;
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkPlace, article);
    record.FromParent = owner->weak_from_this().lock();
    record.FromIndex = from;
    record.ToParent = record.FromParent;
    record.ToIndex = to;
}

void TQBDocument::RecordCaption(TQBArticle *article, const QString &old)
{
    TQBUndoStep *step = Recording(article);
    if (!step || step->Has(TQBUndoStep::rkCaption, article))
        return;
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkCaption, article->weak_from_this().lock());
    record.OldText = old;
}

void TQBDocument::RecordMark(TQBArticle *article, quint8 old)
{
    TQBUndoStep *step = Recording(article);
    if (!step || step->Has(TQBUndoStep::rkMark, article))
        return;
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkMark, article->weak_from_this().lock());
    record.OldMark = old;
}

void TQBDocument::RecordContent(TQBArticle *article, const QByteArray &oldData, quint32 oldLength)
{
    TQBUndoStep *step = Recording(article);
    if (!step || step->Has(TQBUndoStep::rkContent, article))
        return;
    TQBUndoStep::TRecord &record = step->Add(TQBUndoStep::rkContent, article->weak_from_this().lock());
    record.OldData = oldData;
    record.OldLength = oldLength;
}

void TQBDocument::PlaceArticle(const IQBArticlePtr &article, const IQBArticlePtr &parent, int index)
{
    TQBArticle *moved = articleOf(article);
    TQBArticle *current = moved->ParentArticle();
    if (!parent) {
        if (current)
            current->ItemList().Remove(article);
        return;
    }
    TQBArticle *target = articleOf(parent);
    if (!InTree(target))
        throw EQBDocumentError(QStringLiteral("The place of this step is no longer in the document."));
    const int count = target->ItemList().Count() - (current == target ? 1 : 0);
    index = std::clamp(index, 0, std::max(count, 0));
    if (!current) {
        target->ItemList().Insert(index, article);
        return;
    }
    {
        const TQBOperationGuard operation(*this, opMove);
        current->ItemList().Remove(article);
        target->ItemList().Insert(index, article);
    }
    NotifyMoved(moved);
}

namespace {

const char SBodyEditedSince[] = "The text of '%s' was edited after this step, so the step cannot be taken back.";

} // namespace

void TQBDocument::ReplayStep(TQBUndoStep &step, bool undo)
{
    if (FStep)
        throw EQBDocumentError(QStringLiteral("A step cannot be taken back while another is being recorded."));
    // Bodies are the one thing changed outside the outline's steps: the editor stores typing into
    // them. A step that would overwrite such typing is refused before anything changes.
    for (const TQBUndoStep::TRecord &record : step.FRecords) {
        if (record.Kind != TQBUndoStep::rkContent)
            continue;
        const auto *article = articleOf(record.Article);
        const QByteArray &expected = undo ? record.NewData : record.OldData;
        if (article->CompressedContent() != expected)
            throw EQBUndoRefused(QString::fromLatin1(SBodyEditedSince).replace(QLatin1String("%s"), article->Caption()),
                                 article->Caption());
    }
    const QScopedValueRollback replaying(FReplaying, true);
    const auto apply = [this](const TQBUndoStep::TRecord &record, bool back) {
        TQBArticle *article = articleOf(record.Article);
        switch (record.Kind) {
        case TQBUndoStep::rkPlace:
            PlaceArticle(record.Article, back ? record.FromParent : record.ToParent,
                         back ? record.FromIndex : record.ToIndex);
            break;
        case TQBUndoStep::rkCaption:
            article->SetCaption(back ? record.OldText : record.NewText);
            break;
        case TQBUndoStep::rkMark:
            article->SetMark(back ? record.OldMark : record.NewMark);
            break;
        case TQBUndoStep::rkContent:
            article->SetCompressedContent(back ? record.OldData : record.NewData,
                                          back ? record.OldLength : record.NewLength);
            break;
        }
    };
    const int count = int(step.FRecords.size());
    int done = 0;
    try {
        for (; done < count; ++done)
            apply(step.FRecords[size_t(undo ? count - 1 - done : done)], undo);
    } catch (...) {
        while (done-- > 0)
            apply(step.FRecords[size_t(undo ? count - 1 - done : done)], !undo);
        throw;
    }
}
