// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class IQBArticle;
class IQBDocument;
class TQBDocument;
using IQBArticlePtr = std::shared_ptr<IQBArticle>;

// What an outline step did, for the name the window gives it.
enum TQBUndoKind : quint8 {
    ukAddChild = 0,
    ukAddSibling = 1,
    ukDelete = 2,
    ukRename = 3,
    ukMarker = 4,
    ukMove = 5,
    ukCut = 6,
    ukPaste = 7,
    ukSplit = 8,
};

// One undoable change of the outline: the changes the document recorded while the step was open,
// each kept as before and after. Articles are held, not copied, so an undone delete brings back the
// very articles with their IIDs, bodies, markers and times, and a rename costs only its captions.
class TQBUndoStep
{
public:
    TQBUndoStep(TQBUndoKind kind, IQBArticlePtr subject);
    ~TQBUndoStep();
    TQBUndoStep(const TQBUndoStep &) = delete;
    TQBUndoStep &operator=(const TQBUndoStep &) = delete;

    TQBUndoKind Kind() const { return FKind; }
    // The caption of the article the step is about, as it was when the step began; without one,
    // of the first article the step changed.
    QString Subject() const { return FSubject; }
    bool IsEmpty() const { return FRecords.empty(); }

private:
    friend class TQBDocument;
    friend class TQBUndoStack;

    enum TRecordKind : quint8 { rkPlace, rkCaption, rkMark, rkContent };
    // Place: the article went from (FromParent, FromIndex) to (ToParent, ToIndex); a missing parent
    // means out of the tree. The other kinds keep the value before and after.
    struct TRecord
    {
        TRecord(TRecordKind kind, IQBArticlePtr article) : Kind(kind), Article(std::move(article)) {}
        TRecordKind Kind;
        IQBArticlePtr Article;
        IQBArticlePtr FromParent;
        IQBArticlePtr ToParent;
        int FromIndex = -1;
        int ToIndex = -1;
        QString OldText;
        QString NewText;
        QByteArray OldData;
        QByteArray NewData;
        quint32 OldLength = 0;
        quint32 NewLength = 0;
        quint8 OldMark = 0;
        quint8 NewMark = 0;
    };

    TRecord &Add(TRecordKind kind, IQBArticlePtr article)
    {
        FValues[article.get()] |= quint8(1u << kind);
        return FRecords.emplace_back(kind, std::move(article));
    }
    // The first change of a value in a step keeps the value before; later ones add nothing, since
    // the value after is taken when the step ends.
    bool Has(TRecordKind kind, const IQBArticle *article) const;
    // The article to select once the step is undone (undo true) or redone.
    IQBArticlePtr Focus(bool undo) const;

    TQBUndoKind FKind;
    IQBArticlePtr FArticle;
    QString FSubject;
    std::vector<TRecord> FRecords;
    // The kinds of record each article has, so a branch of any size is marked in linear time.
    QHash<const IQBArticle *, quint8> FValues;
};

// The outline's undo history of one document. It lives and dies with the document, so closing a
// document clears it and saving leaves it as it is.
class TQBUndoStack
{
public:
    explicit TQBUndoStack(TQBDocument &document) : FDocument(document) {}
    TQBUndoStack(const TQBUndoStack &) = delete;
    TQBUndoStack &operator=(const TQBUndoStack &) = delete;

    bool CanUndo() const { return FIndex > 0; }
    bool CanRedo() const { return FIndex < int(FSteps.size()); }
    // The step Undo or Redo would take; none when there is none.
    const TQBUndoStep *UndoStep() const { return CanUndo() ? FSteps[size_t(FIndex - 1)].get() : nullptr; }
    const TQBUndoStep *RedoStep() const { return CanRedo() ? FSteps[size_t(FIndex)].get() : nullptr; }
    int Count() const { return int(FSteps.size()); }
    // Takes back the last step and returns the article to select now. Raises EQBDocumentError,
    // changing nothing, when a body the step changed was edited since.
    IQBArticlePtr Undo();
    IQBArticlePtr Redo();
    void Clear();
    // Most steps kept; the oldest go first. 0 keeps every step.
    int Limit() const { return FLimit; }
    void SetLimit(int value);

private:
    friend class TQBDocument;

    void Push(std::unique_ptr<TQBUndoStep> step);
    void Trim();

    TQBDocument &FDocument;
    std::vector<std::unique_ptr<TQBUndoStep>> FSteps;
    int FIndex = 0;
    int FLimit = 100;
};

// Opens an undo step of the document for a scope: every change of the tree, of captions, markers
// and bodies made meanwhile becomes part of it. Scopes inside an open one join it.
class TQBUndoScope
{
public:
    // subject: the article the user chose for the command; none when only the result tells (a paste).
    TQBUndoScope(IQBDocument &document, TQBUndoKind kind, const IQBArticlePtr &subject);
    ~TQBUndoScope();
    TQBUndoScope(const TQBUndoScope &) = delete;
    TQBUndoScope &operator=(const TQBUndoScope &) = delete;

private:
    IQBDocument &FDocument;
};
