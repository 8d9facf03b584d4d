// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDom.h"

#include "base/NVKText.h"

#include <QStringList>
#include <limits>
#include <zlib.h>

namespace {

// Every item of a list is a TQBArticle (Add and Insert refuse anything else).
TQBArticle *articleOf(const IQBArticlePtr &item)
{
    return static_cast<TQBArticle *>(item.get());
}

bool sameDocument(const std::weak_ptr<TQBDocument> &a, const std::weak_ptr<TQBDocument> &b)
{
    return !a.owner_before(b) && !b.owner_before(a);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Bodies

namespace {

// Setting up a deflate stream allocates and clears about a quarter of a megabyte, far more work
// than compressing a small body; each thread keeps one stream and resets it for every body.
class TQBDeflater
{
public:
    TQBDeflater()
    {
        FReady =
            deflateInit2(&FStream, QBContentCompressionLevel, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~TQBDeflater()
    {
        if (FReady)
            deflateEnd(&FStream);
    }
    TQBDeflater(const TQBDeflater &) = delete;
    TQBDeflater &operator=(const TQBDeflater &) = delete;

    z_stream *Fresh() { return FReady && deflateReset(&FStream) == Z_OK ? &FStream : nullptr; }

private:
    z_stream FStream{};
    bool FReady = false;
};

} // namespace

QByteArray QBCompressUtf8(const char *utf8, qsizetype size, quint32 &length)
{
    length = 0;
    if (size <= 0)
        return {};
    if (quint64(size) > std::numeric_limits<quint32>::max())
        throw EZCompressionError(QStringLiteral("The article body is too large to be stored."));
    const auto failed = [] { return EZCompressionError(QStringLiteral("The article body could not be compressed.")); };
    thread_local TQBDeflater deflater;
    z_stream *stream = deflater.Fresh();
    if (stream == nullptr)
        throw failed();
    const uLong bound = deflateBound(stream, uLong(size));
    QByteArray data(qsizetype(bound), Qt::Uninitialized);
    stream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(utf8));
    stream->avail_in = uInt(size);
    stream->next_out = reinterpret_cast<Bytef *>(data.data());
    stream->avail_out = uInt(bound);
    if (deflate(stream, Z_FINISH) != Z_STREAM_END)
        throw failed();
    data.resize(qsizetype(stream->total_out));
    data.squeeze();
    length = quint32(size);
    return data;
}

QByteArray QBCompressContent(const QString &text, quint32 &length)
{
    const QByteArray bytes = text.toUtf8();
    return QBCompressUtf8(bytes.constData(), bytes.size(), length);
}

QByteArray QBDecompressUtf8(const QByteArray &data, quint32 length)
{
    if (data.isEmpty())
        return {};
    const auto damaged = [] {
        return EZDecompressionError(QStringLiteral("The stored article body is damaged and cannot be read."));
    };
    if (length == 0)
        throw damaged();
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    uLongf size = length;
    const int rc = uncompress(reinterpret_cast<Bytef *>(bytes.data()), &size,
                              reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()));
    if (rc != Z_OK || size != length)
        throw damaged();
    return bytes;
}

QString QBDecompressContent(const QByteArray &data, quint32 length)
{
    return NVKFromUtf8(QBDecompressUtf8(data, length));
}

// ---------------------------------------------------------------------------------------------
// TQBArticleList

TQBArticleList::~TQBArticleList()
{
    // The owning article normally empties the list first; this covers anything left.
    std::vector<IQBArticlePtr> pending;
    for (IQBArticlePtr &item : FItems)
        pending.push_back(std::move(item));
    FItems.clear();
    TQBArticle::ReleaseArticles(std::move(pending));
}

void TQBArticleList::CheckIndex(int index) const
{
    if (index < 0 || index >= FItems.size())
        throw EListError(NVKFormatS(QStringLiteral("List index out of bounds: %s."), {QString::number(index)}));
}

IQBArticlePtr TQBArticleList::Get(int index) const
{
    QMutexLocker locker(&FLock);
    CheckIndex(index);
    return FItems.at(index);
}

int TQBArticleList::Capacity() const
{
    QMutexLocker locker(&FLock);
    return int(FItems.capacity());
}

void TQBArticleList::SetCapacity(int value)
{
    QMutexLocker locker(&FLock);
    if (value < FItems.size())
        throw EListError(NVKFormatS(QStringLiteral("List capacity out of bounds: %s."), {QString::number(value)}));
    if (value < FItems.capacity())
        FItems.squeeze();
    FItems.reserve(value);
}

int TQBArticleList::Count() const
{
    QMutexLocker locker(&FLock);
    return int(FItems.size());
}

void TQBArticleList::SetCount(int value)
{
    std::vector<IQBArticlePtr> dropped;
    {
        QMutexLocker locker(&FLock);
        if (value < 0 || value > FItems.size())
            throw EListError(NVKFormatS(QStringLiteral("List count out of bounds: %s."), {QString::number(value)}));
        for (qsizetype i = value; i < FItems.size(); ++i)
            dropped.push_back(std::move(FItems[i]));
        FItems.resize(value);
    }
    TQBArticle::ReleaseArticles(std::move(dropped));
}

const QList<IQBArticlePtr> &TQBArticleList::LockList() const
{
    FLock.lock();
    return FItems;
}

void TQBArticleList::UnlockList() const
{
    FLock.unlock();
}

void TQBArticleList::Clear()
{
    SetCount(0);
}

TQBArticle *TQBArticleList::CheckInsertable(const IQBArticlePtr &article) const
{
    if (!article)
        throw EQBDocumentError(QStringLiteral("An empty article cannot be added to a list."));
    auto *added = dynamic_cast<TQBArticle *>(article.get());
    if (!added)
        throw EQBDocumentError(QString::fromLatin1(SArticleNotInDocument));
    const std::shared_ptr<TQBDocument> document = added->DocumentObject();
    if (added->ParentArticle() || (document && document->Root().get() == article.get()))
        throw EQBDocumentError(QStringLiteral("Article is already part of a tree."));
    // Only a detached article with children (or the owner itself) can be the top of the
    // owner's branch; adding it would make a cycle.
    if (added == FOwner || added->ItemList().Count() > 0) {
        const TQBArticle *top = FOwner;
        while (top->ParentArticle())
            top = top->ParentArticle();
        if (top == added)
            throw EQBDocumentError(QStringLiteral("An article cannot be added below itself."));
    }
    return added;
}

void TQBArticleList::Attach(TQBArticle *article)
{
    article->SetParent(FOwner);
    article->SetDocumentObject(FOwner->FDocument);
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->Notify(QB_DATA_ARTICLE_ADDED, article);
}

void TQBArticleList::Detach(TQBArticle *article)
{
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->Notify(QB_DATA_ARTICLE_DELETED, article);
    article->SetParent(nullptr);
    article->SetDocumentObject({});
}

int TQBArticleList::Add(const IQBArticlePtr &article)
{
    QMutexLocker locker(&FLock);
    TQBArticle *added = CheckInsertable(article);
    const int index = int(FItems.size());
    FItems.append(article);
    Attach(added);
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->RecordInserted(FOwner, index, article);
    return index;
}

void TQBArticleList::Insert(int index, const IQBArticlePtr &article)
{
    QMutexLocker locker(&FLock);
    if (index < 0 || index > FItems.size())
        throw EListError(NVKFormatS(QStringLiteral("List index out of bounds: %s."), {QString::number(index)}));
    TQBArticle *added = CheckInsertable(article);
    FItems.insert(index, article);
    Attach(added);
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->RecordInserted(FOwner, index, article);
}

void TQBArticleList::Delete(int index)
{
    // Declared before the locker, so the last reference goes after the lock is released.
    IQBArticlePtr item;
    QMutexLocker locker(&FLock);
    item = Get(index);
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->RecordRemoved(FOwner, index, item);
    Detach(articleOf(item));
    // A subscriber may have changed the list during the notice; remove the item where it is now.
    const qsizetype at = (index < FItems.size() && FItems.at(index) == item) ? index : FItems.indexOf(item);
    if (at >= 0)
        FItems.removeAt(at);
}

int TQBArticleList::Remove(const IQBArticlePtr &article)
{
    QMutexLocker locker(&FLock);
    const int index = IndexOf(article);
    if (index >= 0)
        Delete(index);
    return index;
}

void TQBArticleList::Move(int curIndex, int newIndex)
{
    QMutexLocker locker(&FLock);
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    FItems.move(curIndex, newIndex);
    if (const std::shared_ptr<TQBDocument> document = FOwner->DocumentObject())
        document->RecordReordered(FOwner, curIndex, newIndex, FItems.at(newIndex));
}

IQBArticlePtr TQBArticleList::First() const
{
    return Get(0);
}

IQBArticlePtr TQBArticleList::Last() const
{
    QMutexLocker locker(&FLock);
    return Get(int(FItems.size()) - 1);
}

int TQBArticleList::IndexOf(const IQBArticlePtr &article) const
{
    QMutexLocker locker(&FLock);
    for (qsizetype i = 0; i < FItems.size(); ++i) {
        if (FItems.at(i).get() == article.get())
            return int(i);
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// TQBArticle

TQBArticle::TQBArticle(const std::shared_ptr<TQBDocument> &document) : FDocument(document), FItems(this) {}

void TQBArticle::ReleaseArticles(std::vector<IQBArticlePtr> &&pending)
{
    while (!pending.empty()) {
        IQBArticlePtr item = std::move(pending.back());
        pending.pop_back();
        if (!item)
            continue;
        TQBArticle *article = articleOf(item);
        if (item.use_count() > 1) {
            article->FParent = nullptr;
            article->SetDocumentObject({});
            continue;
        }
        {
            QMutexLocker locker(&article->FItems.FLock);
            for (IQBArticlePtr &child : article->FItems.FItems)
                pending.push_back(std::move(child));
            article->FItems.FItems.clear();
        }
        item.reset();
    }
}

TQBArticle::~TQBArticle()
{
    std::vector<IQBArticlePtr> pending;
    {
        QMutexLocker locker(&FItems.FLock);
        pending.reserve(size_t(FItems.FItems.size()));
        for (IQBArticlePtr &item : FItems.FItems)
            pending.push_back(std::move(item));
        FItems.FItems.clear();
    }
    ReleaseArticles(std::move(pending));
}

IQBDocumentPtr TQBArticle::Document() const
{
    return FDocument.lock();
}

IQBArticlePtr TQBArticle::Parent() const
{
    return FParent ? FParent->weak_from_this().lock() : nullptr;
}

IQBArticleListPtr TQBArticle::Items() const
{
    const auto self = std::const_pointer_cast<TQBArticle>(shared_from_this());
    return IQBArticleListPtr(self, const_cast<TQBArticleList *>(&FItems));
}

QString TQBArticle::Content() const
{
    return QBDecompressContent(FData, FContentLength);
}

void TQBArticle::SetCaption(const QString &value)
{
    if (value == FCaption)
        return;
    if (const std::shared_ptr<TQBDocument> document = FDocument.lock())
        document->RecordCaption(this, FCaption);
    FCaption = value;
    RaiseChange(QB_DATA_CAPTION_CHANGED);
}

void TQBArticle::SetContent(const QString &value)
{
    quint32 length = 0;
    QByteArray data = QBCompressContent(value, length);
    SetCompressedContent(std::move(data), length);
}

QByteArray TQBArticle::ContentUtf8() const
{
    return QBDecompressUtf8(FData, FContentLength);
}

void TQBArticle::SetCompressedContent(QByteArray data, quint32 length)
{
    if (const std::shared_ptr<TQBDocument> document = FDocument.lock())
        document->RecordContent(this, FData, FContentLength);
    FData = std::move(data);
    FContentLength = FData.isEmpty() ? 0 : length;
    RaiseChange(QB_DATA_CONTENT_CHANGED);
}

void TQBArticle::SetMark(quint8 value)
{
    if (value == FMark)
        return;
    if (const std::shared_ptr<TQBDocument> document = FDocument.lock())
        document->RecordMark(this, FMark);
    FMark = value;
    RaiseChange(QB_DATA_MARKER_CHANGED);
}

void TQBArticle::RaiseChange(int kind)
{
    if (const std::shared_ptr<TQBDocument> document = FDocument.lock())
        document->Notify(kind, this);
    // Set after the subscriber ran, also during operations, so pasted articles arrive marked.
    FModified = true;
}

int TQBArticle::Index() const
{
    if (!FParent)
        return -1;
    const TQBArticleListLocker locker(FParent->FItems);
    const QList<IQBArticlePtr> &items = locker.Items();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items.at(i).get() == static_cast<const IQBArticle *>(this))
            return int(i);
    }
    return -1;
}

int TQBArticle::Level() const
{
    int level = 0;
    for (const TQBArticle *p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

QString TQBArticle::Path() const
{
    QStringList captions;
    for (const TQBArticle *p = FParent; p; p = p->FParent)
        captions.append(p->FCaption);
    QString path;
    for (qsizetype i = captions.size() - 1; i >= 0; --i) {
        path += captions.at(i);
        path += QLatin1Char('\\');
    }
    return path;
}

IQBArticlePtr TQBArticle::NextSibling() const
{
    if (!FParent)
        return nullptr;
    const TQBArticleListLocker locker(FParent->FItems);
    const int index = Index();
    if (index < 0 || index + 1 >= locker.Items().size())
        return nullptr;
    return locker.Items().at(index + 1);
}

IQBArticlePtr TQBArticle::PrevSibling() const
{
    if (!FParent)
        return nullptr;
    const TQBArticleListLocker locker(FParent->FItems);
    const int index = Index();
    if (index <= 0)
        return nullptr;
    return locker.Items().at(index - 1);
}

IQBArticlePtr TQBArticle::Next() const
{
    {
        const TQBArticleListLocker locker(FItems);
        if (!locker.Items().isEmpty())
            return locker.Items().first();
    }
    for (const TQBArticle *a = this; a; a = a->FParent) {
        if (IQBArticlePtr sibling = a->NextSibling())
            return sibling;
    }
    return nullptr;
}

IQBArticlePtr TQBArticle::Previous() const
{
    IQBArticlePtr result = PrevSibling();
    if (!result)
        return Parent();
    for (;;) {
        const TQBArticleListLocker locker(articleOf(result)->FItems);
        if (locker.Items().isEmpty())
            return result;
        IQBArticlePtr last = locker.Items().last();
        result = std::move(last);
    }
}

void TQBArticle::ClearModified()
{
    std::vector<TQBArticle *> pending{this};
    while (!pending.empty()) {
        TQBArticle *article = pending.back();
        pending.pop_back();
        article->FModified = false;
        const TQBArticleListLocker locker(article->FItems);
        for (const IQBArticlePtr &child : locker.Items())
            pending.push_back(articleOf(child));
    }
}

void TQBArticle::SetDocument(const IQBDocumentPtr &document)
{
    SetDocumentObject(std::dynamic_pointer_cast<TQBDocument>(document));
}

void TQBArticle::SetDocumentObject(const std::weak_ptr<TQBDocument> &document)
{
    if (sameDocument(FDocument, document))
        return;
    std::vector<TQBArticle *> pending{this};
    while (!pending.empty()) {
        TQBArticle *article = pending.back();
        pending.pop_back();
        article->FDocument = document;
        const TQBArticleListLocker locker(article->FItems);
        for (const IQBArticlePtr &child : locker.Items()) {
            TQBArticle *c = articleOf(child);
            if (!sameDocument(c->FDocument, document))
                pending.push_back(c);
        }
    }
}

void TQBArticle::SetParent(IQBArticle *parent)
{
    FParent = parent ? dynamic_cast<TQBArticle *>(parent) : nullptr;
}

bool TQBArticle::BelongsTo(const TQBDocument *document) const
{
    return document && FDocument.lock().get() == document;
}

void QBWalkArticles(const IQBArticlePtr &start, const std::function<bool(const IQBArticlePtr &)> &visit)
{
    struct TLevel
    {
        QList<IQBArticlePtr> Children;
        qsizetype Next = 0;
    };
    std::vector<TLevel> stack;
    const auto enter = [&](const IQBArticlePtr &article) {
        const bool goOn = visit(article);
        TLevel level;
        if (const IQBArticleListPtr items = article->Items()) {
            const TQBArticleListLocker lock(*items);
            level.Children = lock.Items();
        }
        stack.push_back(std::move(level));
        return goOn;
    };
    if (!start || !enter(start))
        return;
    while (!stack.empty()) {
        TLevel &top = stack.back();
        if (top.Next >= top.Children.size()) {
            stack.pop_back();
            continue;
        }
        const IQBArticlePtr child = top.Children.at(top.Next++);
        if (!enter(child))
            return;
    }
}
