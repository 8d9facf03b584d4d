// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "QBUndo.h"
#include "base/NVKDateTime.h"
#include "base/NVKErrors.h"
#include "base/NVKIntf.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class IQBArticle;
class IQBArticleList;
class IQBDocument;
class IQBArticleClipboard;
using IQBArticlePtr = std::shared_ptr<IQBArticle>;
using IQBArticleListPtr = std::shared_ptr<IQBArticleList>;
using IQBDocumentPtr = std::shared_ptr<IQBDocument>;
using IQBArticleClipboardPtr = std::shared_ptr<IQBArticleClipboard>;

// Errors of the document model.
class EQBDocumentError : public ENVKError
{
public:
    explicit EQBDocumentError(const QString &message) : ENVKError(message) {}
};

// An undo step would overwrite a body that was edited after the step; nothing was changed.
class EQBUndoRefused : public EQBDocumentError
{
public:
    EQBUndoRefused(const QString &message, const QString &caption) : EQBDocumentError(message), FCaption(caption) {}
    // The caption of the article whose body was edited.
    QString Caption() const { return FCaption; }

private:
    QString FCaption;
};

// A body could not be compressed or a stored body could not be decompressed.
class EZCompressionError : public EQBDocumentError
{
public:
    using EQBDocumentError::EQBDocumentError;
};

class EZDecompressionError : public EQBDocumentError
{
public:
    using EQBDocumentError::EQBDocumentError;
};

// Index or count outside a list's bounds.
class EListError : public Exception
{
public:
    using Exception::Exception;
};

// The one-step moves an article allows.
enum TArticleMove : quint8 {
    amUp = 1,
    amDown = 2,
    amLeft = 4,
    amRight = 8,
};
Q_DECLARE_FLAGS(TArticleMoves, TArticleMove)
Q_DECLARE_OPERATORS_FOR_FLAGS(TArticleMoves)

// Bulk operation states of a document. While one is active, change notices are dropped.
enum TQBOperation : quint8 {
    opNone = 0,
    opLoad = 1,
    opMove = 2,
    opPaste = 3,
};

// Data event codes. The document raises 6 to 12; the data service adds 0 to 5.
enum : int {
    QB_DATA_BEFORE_CREATE = 0,
    QB_DATA_AFTER_CREATE = 1,
    QB_DATA_BEFORE_OPEN = 2,
    QB_DATA_AFTER_OPEN = 3,
    QB_DATA_BEFORE_SAVE = 4,
    QB_DATA_AFTER_SAVE = 5,
    QB_DATA_HEADER_CHANGED = 6,
    QB_DATA_CAPTION_CHANGED = 7,
    QB_DATA_CONTENT_CHANGED = 8,
    QB_DATA_MARKER_CHANGED = 9,
    QB_DATA_ARTICLE_ADDED = 10,
    QB_DATA_ARTICLE_DELETED = 11,
    QB_DATA_ARTICLE_MOVED = 12,
};

// The editor's position in an article; the model only keeps it and hands out its address.
struct TQBViewState
{
    qint32 SelStart = 0;
    qint32 SelLength = 0;
    quint16 FirstVisibleLine = 0;
};

// Args of caption, content and marker notices (kinds 7 to 9).
class IQBArticleChangeArgs : public virtual INVKUnknown
{
public:
    virtual IQBArticlePtr Article() const = 0;
};
using IQBArticleChangeArgsPtr = std::shared_ptr<IQBArticleChangeArgs>;

// Args of added, deleted and moved notices (kinds 10 to 12): the article and its parent
// (the new parent after an add or a move, the old one for a delete).
class IQBStructureChangeArgs : public virtual IQBArticleChangeArgs
{
public:
    virtual IQBArticlePtr Parent() const = 0;
};
using IQBStructureChangeArgsPtr = std::shared_ptr<IQBStructureChangeArgs>;

// The items of an article. Every operation takes the list's re-entrant lock for its duration;
// notices of Add, Insert, Delete and Remove are raised while the lock is held.
class IQBArticleList : public virtual INVKUnknown
{
public:
    // Raises EListError "List index out of bounds: %d." outside 0..Count-1.
    virtual IQBArticlePtr Get(int index) const = 0;
    virtual int Capacity() const = 0;
    // Raises EListError when value is below Count.
    virtual void SetCapacity(int value) = 0;
    virtual int Count() const = 0;
    // Shrinks the list, releasing the dropped items like Clear; it never grows the list,
    // because an empty slot would be an article that is not there.
    virtual void SetCount(int value) = 0;
    // Takes the lock and returns the items for a direct walk; end it with UnlockList.
    virtual const QList<IQBArticlePtr> &LockList() const = 0;
    virtual void UnlockList() const = 0;
    // Releases every item without notices; items that others still hold are left detached.
    virtual void Clear() = 0;
    // Appends and attaches the article (parent, document), then raises kind 10.
    // Raises EQBDocumentError for an article that is already in a tree or would become its
    // own descendant. Adding an article that has children walks up the owner's ancestors to
    // check that; adding leaves costs nothing of the kind.
    virtual int Add(const IQBArticlePtr &article) = 0;
    // Inserts at index (0..Count) and attaches, then raises kind 10.
    virtual void Insert(int index, const IQBArticlePtr &article) = 0;
    // Raises kind 11 (Args name the old parent), detaches and removes the item.
    virtual void Delete(int index) = 0;
    // As Delete for the given article; returns its former index, or -1 when it is not here.
    virtual int Remove(const IQBArticlePtr &article) = 0;
    // Reorders; no notice.
    virtual void Move(int curIndex, int newIndex) = 0;
    virtual IQBArticlePtr First() const = 0;
    virtual IQBArticlePtr Last() const = 0;
    virtual int IndexOf(const IQBArticlePtr &article) const = 0;
};

// Holds LockList/UnlockList for a scope.
class TQBArticleListLocker
{
public:
    explicit TQBArticleListLocker(const IQBArticleList &list) : FList(list), FItems(list.LockList()) {}
    ~TQBArticleListLocker() { FList.UnlockList(); }
    TQBArticleListLocker(const TQBArticleListLocker &) = delete;
    TQBArticleListLocker &operator=(const TQBArticleListLocker &) = delete;
    const QList<IQBArticlePtr> &Items() const { return FItems; }

private:
    const IQBArticleList &FList;
    const QList<IQBArticlePtr> &FItems;
};

class IQBArticle : public virtual INVKUnknown
{
public:
    // The owning document; none while detached.
    virtual IQBDocumentPtr Document() const = 0;
    // None for the root and while detached.
    virtual IQBArticlePtr Parent() const = 0;
    virtual IQBArticleListPtr Items() const = 0;
    virtual qint32 IID() const = 0;
    virtual QString Caption() const = 0;
    // The body, decompressed on every call. Raises EZDecompressionError for a corrupt buffer.
    virtual QString Content() const = 0;
    virtual TDateTime Created() const = 0;
    virtual quint8 Mark() const = 0;
    virtual TQBViewState *ViewState() = 0;
    // No notice.
    virtual void SetIID(qint32 value) = 0;
    // Kind 7 when the value differs.
    virtual void SetCaption(const QString &value) = 0;
    // Always kind 8, also for an unchanged body.
    virtual void SetContent(const QString &value) = 0;
    // No notice.
    virtual void SetCreated(TDateTime value) = 0;
    // Kind 9 when the value differs.
    virtual void SetMark(quint8 value) = 0;
    // Compressed size of the body; 0 when empty.
    virtual qint32 ContentSize() const = 0;
    // Position in the parent's list; -1 without a parent.
    virtual int Index() const = 0;
    virtual bool Modified() const = 0;
    // Number of ancestors; 0 for the root.
    virtual int Level() const = 0;
    // Captions of the ancestors, root first, each followed by a backslash; empty for the root.
    virtual QString Path() const = 0;
    // Pre-order neighbours in the whole tree.
    virtual IQBArticlePtr Next() const = 0;
    virtual IQBArticlePtr Previous() const = 0;
    virtual IQBArticlePtr NextSibling() const = 0;
    virtual IQBArticlePtr PrevSibling() const = 0;
};

// Internal to the model and its formats.
class IQBArticleControl : public virtual INVKUnknown
{
public:
    // Clears Modified of the article and its whole subtree.
    virtual void ClearModified() = 0;
    // Sets the document link of the article and its whole subtree; nothing when unchanged.
    virtual void SetDocument(const IQBDocumentPtr &document) = 0;
    virtual void SetParent(IQBArticle *parent) = 0;
};
using IQBArticleControlPtr = std::shared_ptr<IQBArticleControl>;

class IQBDocument : public virtual INVKUnknown
{
public:
    // Header. Encoding always raises kind 6 when written; the others only when the value differs.
    virtual QString Encoding() const = 0;
    virtual void SetEncoding(const QString &value) = 0;
    virtual QString Author() const = 0;
    virtual void SetAuthor(const QString &value) = 0;
    virtual QString Copyright() const = 0;
    virtual void SetCopyright(const QString &value) = 0;
    virtual bool AutoRevision() const = 0;
    virtual void SetAutoRevision(bool value) = 0;
    virtual qint32 Revision() const = 0;
    virtual void SetRevision(qint32 value) = 0;
    virtual QString Remarks() const = 0;
    virtual void SetRemarks(const QString &value) = 0;

    virtual qint32 LastIID() const = 0;
    virtual IQBArticlePtr Root() const = 0;
    virtual bool IsNew() const = 0;
    virtual bool Modified() const = 0;
    virtual QString FileName() const = 0;
    virtual QString Version() const = 0;

    // A new detached article of this document with a fresh IID and creation time
    // (both left 0 during a load).
    virtual IQBArticlePtr CreateArticle() = 0;
    // Operations that take an article raise EQBDocumentError "Article does not belong to this
    // document." when it is none or of another document. AddChild, AddSibling, MoveRight,
    // MoveArticle and PasteArticle raise EQBDocumentError, changing nothing, when articles would
    // end up nested deeper than a file can hold (QBMaxArticleLevel).
    virtual IQBArticlePtr AddChild(const IQBArticlePtr &parent) = 0;
    // None for the root.
    virtual IQBArticlePtr AddSibling(const IQBArticlePtr &article, bool after) = 0;
    // Nothing for the root.
    virtual void DeleteArticle(const IQBArticlePtr &article) = 0;
    virtual TArticleMoves GetMoves(const IQBArticlePtr &article) = 0;
    // Makes article newParent's last child with one kind-12 notice. Refused silently for the
    // root, for a target inside the article's own subtree, and for articles not in this tree.
    virtual void MoveArticle(const IQBArticlePtr &article, const IQBArticlePtr &newParent) = 0;
    virtual void MoveDown(const IQBArticlePtr &article) = 0;
    virtual void MoveLeft(const IQBArticlePtr &article) = 0;
    virtual void MoveRight(const IQBArticlePtr &article) = 0;
    virtual void MoveUp(const IQBArticlePtr &article) = 0;
    // First article with this IID in pre-order; none when absent.
    virtual IQBArticlePtr FindArticle(qint32 iid) const = 0;
    // Articles in the tree, root included.
    virtual qint32 ArticleCount() const = 0;
    // Clipboard operations go to the document's clipboard or, without one, the process's
    // (QBSetArticleClipboard). Without any, Cut and Copy raise EQBDocumentError, CanPaste is
    // false and PasteArticle returns none.
    virtual void CutArticle(const IQBArticlePtr &article) = 0;
    virtual void CopyArticle(const IQBArticlePtr &article) = 0;
    virtual IQBArticlePtr PasteArticle(const IQBArticlePtr &target) = 0;
    virtual bool CanPaste() = 0;

    // Outline undo. Between BeginUndoStep and its EndUndoStep (pairs nest; inner ones join the
    // outer) every change of the tree, a caption, a marker or a body is recorded, and the end puts
    // the step on the undo stack unless nothing changed. Changes outside a step are not recorded.
    virtual void BeginUndoStep(TQBUndoKind kind, const IQBArticlePtr &subject) = 0;
    virtual void EndUndoStep() = 0;
    virtual TQBUndoStack &UndoStack() = 0;
};

// Internal: used by the reader and writer, the clipboard codec and the data service.
class IQBDocumentControl : public virtual INVKUnknown
{
public:
    virtual TQBOperation Operation() const = 0;
    // Raises EQBDocumentError "Another operation is already in progress." unless idle.
    virtual void BeginOperation(TQBOperation kind) = 0;
    // Back to idle; ending a load first clears every Modified flag. Nothing when idle.
    virtual void EndOperation() = 0;
    // Only during a load.
    virtual void SetLastIID(qint32 value) = 0;
    // Only during a load; the article becomes the root of this document.
    virtual void SetRoot(const IQBArticlePtr &article) = 0;
    virtual void SetFileName(const QString &value) = 0;
    virtual void SetVersion(const QString &value) = 0;
    virtual void SetIsNew(bool value) = 0;
    // False also clears the Modified flag of every article.
    virtual void SetModified(bool value) = 0;
    // The one subscriber of change notices: Notify(document, kind, args) with args an
    // IQBArticleChangeArgs, an IQBStructureChangeArgs or none (kind 6). The document holds the
    // handler counted: hand it a small listener (TNVKEventListener), not an object that itself
    // holds this document, or the two keep each other alive.
    virtual void SetOnChange(const INVKNotifierPtr &handler) = 0;
    // The clipboard this document uses instead of the process's; none to use the process's.
    virtual void SetClipboard(const IQBArticleClipboardPtr &clipboard) = 0;
};
using IQBDocumentControlPtr = std::shared_ptr<IQBDocumentControl>;

// Visits start and everything below it in document order without recursion, so any depth is safe.
// Each level's children are taken as counted copies: articles removed meanwhile stay readable until
// the walk leaves them. visit returns false to end the walk before the next article.
void QBWalkArticles(const IQBArticlePtr &start, const std::function<bool(const IQBArticlePtr &)> &visit);

// Ends a bulk operation on every way out of a scope, as all users of BeginOperation must.
class TQBOperationGuard
{
public:
    TQBOperationGuard(IQBDocumentControl &document, TQBOperation kind) : FDocument(document)
    {
        FDocument.BeginOperation(kind);
    }
    ~TQBOperationGuard() { FDocument.EndOperation(); }
    TQBOperationGuard(const TQBOperationGuard &) = delete;
    TQBOperationGuard &operator=(const TQBOperationGuard &) = delete;

private:
    IQBDocumentControl &FDocument;
};

// Moves articles with their subtrees through the system clipboard. The formats layer
// implements it; the document only delegates.
class IQBArticleClipboard : public virtual INVKUnknown
{
public:
    // The clipboard currently offers an article.
    virtual bool HasFormat() = 0;
    virtual void Copy(const IQBArticlePtr &article) = 0;
    // Copy, then remove the article from its parent.
    virtual void Cut(const IQBArticlePtr &article) = 0;
    // New articles built from the clipboard, appended as target's last child; none when the
    // clipboard holds no article.
    virtual IQBArticlePtr Paste(const IQBArticlePtr &target) = 0;
};

// The process's article clipboard; none until the formats layer installs one.
void QBSetArticleClipboard(const IQBArticleClipboardPtr &clipboard);
IQBArticleClipboardPtr QBArticleClipboard();
