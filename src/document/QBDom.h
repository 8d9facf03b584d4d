// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "QBDataIntf.h"

#include <QByteArray>
#include <QRecursiveMutex>
#include <vector>

class TQBArticle;
class TQBDocument;

// The message of operations that are handed an article of another document.
inline const char *const SArticleNotInDocument = "Article does not belong to this document.";

// Articles sit at most this many levels below the root: a file nests two elements per level, and
// the deepest article must still be able to hold a body, or the document could not be saved.
inline constexpr int QBMaxArticleLevel = 126;
inline const char *const SArticlesTooDeep =
    "Articles cannot be nested more than 126 levels deep: a document that deep could not be saved. "
    "Nothing was changed.";

// Levels of the article's subtree below it: 0 for a leaf. Walks without recursion.
int QBSubtreeHeight(const IQBArticlePtr &article);
// Raises EQBDocumentError SArticlesTooDeep when a subtree height levels tall, its top placed at
// level (the root is level 0), would reach below QBMaxArticleLevel.
void QBCheckArticleLevel(int level, int height);

class TQBArticleChangeArgs : public virtual IQBArticleChangeArgs
{
public:
    explicit TQBArticleChangeArgs(IQBArticlePtr article) : FArticle(std::move(article)) {}
    IQBArticlePtr Article() const override { return FArticle; }

private:
    IQBArticlePtr FArticle;
};

class TQBStructureChangeArgs final : public TQBArticleChangeArgs, public IQBStructureChangeArgs
{
public:
    TQBStructureChangeArgs(IQBArticlePtr article, IQBArticlePtr parent)
        : TQBArticleChangeArgs(std::move(article)), FParent(std::move(parent))
    {
    }
    IQBArticlePtr Parent() const override { return FParent; }

private:
    IQBArticlePtr FParent;
};

// The items of one article. It lives inside its article and shares the article's count.
class TQBArticleList final : public IQBArticleList
{
public:
    explicit TQBArticleList(TQBArticle *owner) : FOwner(owner) {}
    ~TQBArticleList() override;
    TQBArticleList(const TQBArticleList &) = delete;
    TQBArticleList &operator=(const TQBArticleList &) = delete;

    IQBArticlePtr Get(int index) const override;
    int Capacity() const override;
    void SetCapacity(int value) override;
    int Count() const override;
    void SetCount(int value) override;
    const QList<IQBArticlePtr> &LockList() const override;
    void UnlockList() const override;
    void Clear() override;
    int Add(const IQBArticlePtr &article) override;
    void Insert(int index, const IQBArticlePtr &article) override;
    void Delete(int index) override;
    int Remove(const IQBArticlePtr &article) override;
    void Move(int curIndex, int newIndex) override;
    IQBArticlePtr First() const override;
    IQBArticlePtr Last() const override;
    int IndexOf(const IQBArticlePtr &article) const override;

private:
    friend class TQBArticle;

    void CheckIndex(int index) const;
    TQBArticle *CheckInsertable(const IQBArticlePtr &article) const;
    void Attach(TQBArticle *article);
    void Detach(TQBArticle *article);

    TQBArticle *FOwner;
    mutable QRecursiveMutex FLock;
    QList<IQBArticlePtr> FItems;
};

class TQBArticle final : public IQBArticle, public IQBArticleControl, public std::enable_shared_from_this<TQBArticle>
{
public:
    // Articles are made by the document (CreateArticle, the root); they must live in a shared_ptr.
    explicit TQBArticle(const std::shared_ptr<TQBDocument> &document);
    ~TQBArticle() override;
    TQBArticle(const TQBArticle &) = delete;
    TQBArticle &operator=(const TQBArticle &) = delete;

    IQBDocumentPtr Document() const override;
    IQBArticlePtr Parent() const override;
    IQBArticleListPtr Items() const override;
    qint32 IID() const override { return FIID; }
    QString Caption() const override { return FCaption; }
    QString Content() const override;
    TDateTime Created() const override { return FCreated; }
    quint8 Mark() const override { return FMark; }
    TQBViewState *ViewState() override { return &FViewState; }
    void SetIID(qint32 value) override { FIID = value; }
    void SetCaption(const QString &value) override;
    void SetContent(const QString &value) override;
    void SetCreated(TDateTime value) override { FCreated = value; }
    void SetMark(quint8 value) override;
    qint32 ContentSize() const override { return qint32(FData.size()); }
    int Index() const override;
    bool Modified() const override { return FModified; }
    int Level() const override;
    QString Path() const override;
    IQBArticlePtr Next() const override;
    IQBArticlePtr Previous() const override;
    IQBArticlePtr NextSibling() const override;
    IQBArticlePtr PrevSibling() const override;

    void ClearModified() override;
    void SetDocument(const IQBDocumentPtr &document) override;
    void SetParent(IQBArticle *parent) override;

    // The body as stored, UTF-8, without a detour through QString.
    QByteArray ContentUtf8() const;
    // The body as stored (QBCompressUtf8) and its length; QBDecompressUtf8 restores it. The data
    // is shared, not copied, so a reader can take it and decompress it elsewhere.
    QByteArray CompressedContent() const { return FData; }
    quint32 ContentLength() const { return FContentLength; }
    // Stores a body that QBCompressUtf8 compressed, as SetContent would.
    void SetCompressedContent(QByteArray data, quint32 length);

    TQBArticle *ParentArticle() const { return FParent; }
    TQBArticleList &ItemList() { return FItems; }
    // The document, when it is still alive; no count is taken.
    std::shared_ptr<TQBDocument> DocumentObject() const { return FDocument.lock(); }
    bool BelongsTo(const TQBDocument *document) const;

    // Drops the given references without recursion, however deep the subtrees: an article whose
    // last reference goes hands its children on before it is destroyed; an article that others
    // still hold lives on, detached (no parent, no document).
    static void ReleaseArticles(std::vector<IQBArticlePtr> &&pending);

private:
    friend class TQBArticleList;
    friend class TQBDocument;

    void SetDocumentObject(const std::weak_ptr<TQBDocument> &document);
    void RaiseChange(int kind);

    // A weak link rather than a raw pointer: an article that outlives its document (held by
    // a window or a search result) then sees no document instead of a dangling one.
    std::weak_ptr<TQBDocument> FDocument;
    TQBArticle *FParent = nullptr;
    TQBArticleList FItems;
    QString FCaption;
    QByteArray FData;
    quint32 FContentLength = 0;
    TDateTime FCreated = 0;
    qint32 FIID = 0;
    TQBViewState FViewState;
    quint8 FMark = 0;
    bool FModified = false;
};

class TQBDocument final : public IQBDocument,
                          public IQBDocumentControl,
                          public std::enable_shared_from_this<TQBDocument>
{
    struct TPrivate
    {
    };

public:
    // A new document: a root "Root" with IID 0, created now; version "1.1", encoding "UTF-8".
    static std::shared_ptr<TQBDocument> Create();

    explicit TQBDocument(TPrivate);
    ~TQBDocument() override;
    TQBDocument(const TQBDocument &) = delete;
    TQBDocument &operator=(const TQBDocument &) = delete;

    QString Encoding() const override { return FEncoding; }
    void SetEncoding(const QString &value) override;
    QString Author() const override { return FAuthor; }
    void SetAuthor(const QString &value) override;
    QString Copyright() const override { return FCopyright; }
    void SetCopyright(const QString &value) override;
    bool AutoRevision() const override { return FAutoRevision; }
    void SetAutoRevision(bool value) override;
    qint32 Revision() const override { return FRevision; }
    void SetRevision(qint32 value) override;
    QString Remarks() const override { return FRemarks; }
    void SetRemarks(const QString &value) override;

    qint32 LastIID() const override { return FLastIID; }
    IQBArticlePtr Root() const override { return FRoot; }
    bool IsNew() const override { return FIsNew; }
    bool Modified() const override { return FModified; }
    QString FileName() const override { return FFileName; }
    QString Version() const override { return FVersion; }

    IQBArticlePtr CreateArticle() override;
    IQBArticlePtr AddChild(const IQBArticlePtr &parent) override;
    IQBArticlePtr AddSibling(const IQBArticlePtr &article, bool after) override;
    void DeleteArticle(const IQBArticlePtr &article) override;
    TArticleMoves GetMoves(const IQBArticlePtr &article) override;
    void MoveArticle(const IQBArticlePtr &article, const IQBArticlePtr &newParent) override;
    void MoveDown(const IQBArticlePtr &article) override;
    void MoveLeft(const IQBArticlePtr &article) override;
    void MoveRight(const IQBArticlePtr &article) override;
    void MoveUp(const IQBArticlePtr &article) override;
    IQBArticlePtr FindArticle(qint32 iid) const override;
    qint32 ArticleCount() const override;
    void CutArticle(const IQBArticlePtr &article) override;
    void CopyArticle(const IQBArticlePtr &article) override;
    IQBArticlePtr PasteArticle(const IQBArticlePtr &target) override;
    bool CanPaste() override;
    void BeginUndoStep(TQBUndoKind kind, const IQBArticlePtr &subject) override;
    void EndUndoStep() override;
    TQBUndoStack &UndoStack() override { return FUndo; }

    TQBOperation Operation() const override { return FOperation; }
    void BeginOperation(TQBOperation kind) override;
    void EndOperation() override;
    void SetLastIID(qint32 value) override;
    void SetRoot(const IQBArticlePtr &article) override;
    void SetFileName(const QString &value) override { FFileName = value; }
    void SetVersion(const QString &value) override { FVersion = value; }
    void SetIsNew(bool value) override { FIsNew = value; }
    void SetModified(bool value) override;
    void SetOnChange(const INVKNotifierPtr &handler) override { FOnChange = handler; }
    void SetClipboard(const IQBArticleClipboardPtr &clipboard) override { FClipboard = clipboard; }

    // Entry of every change notice; see IQBDocumentControl::SetOnChange.
    void Notify(int kind, TQBArticle *article);

    // Called by lists and articles for every change, so an open undo step can keep it. owner's
    // list gained article at index, lost it from index, or moved it within from index to to.
    void RecordInserted(TQBArticle *owner, int index, const IQBArticlePtr &article);
    void RecordRemoved(TQBArticle *owner, int index, const IQBArticlePtr &article);
    void RecordReordered(TQBArticle *owner, int from, int to, const IQBArticlePtr &article);
    void RecordCaption(TQBArticle *article, const QString &old);
    void RecordMark(TQBArticle *article, quint8 old);
    void RecordContent(TQBArticle *article, const QByteArray &oldData, quint32 oldLength);

private:
    friend class TQBUndoStack;

    TQBArticle *Verify(const IQBArticlePtr &article) const;
    // The open step, when a change of article (or of its list) is to be kept.
    TQBUndoStep *Recording(const TQBArticle *article) const;
    bool InTree(const TQBArticle *article) const;
    // Puts article at index of parent's items with one notice, or takes it out of the tree when
    // parent is none. Used to replay undo steps.
    void PlaceArticle(const IQBArticlePtr &article, const IQBArticlePtr &parent, int index);
    // Replays the records of step backwards (undo) or forwards; on a failure part-way, the records
    // already replayed are turned back before the error goes on.
    void ReplayStep(TQBUndoStep &step, bool undo);
    void HeaderChanged() { Notify(QB_DATA_HEADER_CHANGED, nullptr); }
    void NotifyMoved(TQBArticle *article);
    IQBArticleClipboardPtr Clipboard() const;

    TQBOperation FOperation = opNone;
    bool FModified = false;
    bool FIsNew = true;
    QString FFileName;
    QString FVersion;
    QString FEncoding;
    qint32 FLastIID = 0;
    QString FAuthor;
    QString FCopyright;
    bool FAutoRevision = false;
    qint32 FRevision = 0;
    QString FRemarks;
    std::shared_ptr<TQBArticle> FRoot;
    INVKNotifierPtr FOnChange;
    IQBArticleClipboardPtr FClipboard;
    TQBUndoStack FUndo{*this};
    std::unique_ptr<TQBUndoStep> FStep;
    int FStepDepth = 0;
    bool FReplaying = false;
};

// A new, empty document (see TQBDocument::Create).
IQBDocumentPtr NewQBDocument();

// A copy of the document as it is now (header, tree, IIDs, captions, markers, times, bodies) that
// shares the stored bodies instead of copying them, so it is quick to take. Nothing else holds the
// copy: another thread may write it to a file while the original goes on changing.
IQBDocumentPtr QBSnapshotDocument(const IQBDocumentPtr &source);

// Bodies as the model stores them: UTF-8 compressed into a zlib stream. The fastest level: a
// large file's bodies are all compressed while it opens, and RTF still shrinks about fourfold.
// Decompression needs the text's byte length and raises EZDecompressionError when the data
// does not inflate to exactly that many bytes.
inline constexpr int QBContentCompressionLevel = 1;
QByteArray QBCompressContent(const QString &text, quint32 &length);
QString QBDecompressContent(const QByteArray &data, quint32 length);
// The same on the UTF-8 bytes themselves, for readers and writers that have them already.
QByteArray QBCompressUtf8(const char *utf8, qsizetype size, quint32 &length);
QByteArray QBDecompressUtf8(const QByteArray &data, quint32 length);
