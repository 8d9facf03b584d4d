// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBXml.h"
#include "base/NVKSaveFile.h"
#include "document/QBDom.h"
#include "xml/MSXMLPrivate.h"
#include "xml/MSXMLUtils.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

const QString SArticle = QStringLiteral("Article");
const QString SItems = QStringLiteral("Items");
const QString SContent = QStringLiteral("Content");

// An identifier text from a hostile file can be megabytes long; the message shows its start.
QString shown(const QString &text)
{
    constexpr qsizetype limit = 40;
    return text.size() <= limit ? text : text.left(limit) + QChar(0x2026);
}

// The first child element named name. A plain walk: the reader calls it for every article.
TMSXMLNode firstChildElement(const TMSXMLNode &node, const QString &name)
{
    for (TMSXMLNode child = node.FirstChild(); child; child = child.NextSibling())
        if (child.NodeType() == ntElement && child.NodeName() == name)
            return child;
    return TMSXMLNode();
}

QList<IQBArticlePtr> childrenOf(const IQBArticlePtr &article)
{
    const TQBArticleListLocker lock(*article->Items());
    return lock.Items();
}

// The parser refuses a single attribute value or text above this many bytes, so a file that
// held one could not be opened again.
constexpr qsizetype MaxTextBytes = 10000000;

void checkLength(const QString &text, const QString &what)
{
    // UTF-8 takes at most three bytes per UTF-16 unit; only long texts are measured.
    if (text.size() * 3 <= MaxTextBytes || text.toUtf8().size() <= MaxTextBytes)
        return;
    throw EMSXMLError(NVKFormatS(
        QStringLiteral("%s is longer than 10,000,000 bytes; the file could not be read back, so it is not saved."),
        {what}));
}

void appendTextElement(const TMSXMLNode &parent, const QString &name, const QString &text)
{
    if (text.isEmpty())
        return;
    checkLength(text, NVKFormatS(QStringLiteral("The header's %s"), {name}));
    parent.AppendChild(parent.CreateElement(name)).SetText(text);
}

// The model keeps articles no deeper than a file holds with a body at the bottom (the root's
// element at depth 2, two elements per level, "Content" one below).
static_assert(2 + 2 * QBMaxArticleLevel + 1 <= QBMaxElementDepth &&
              2 + 2 * (QBMaxArticleLevel + 1) + 1 > QBMaxElementDepth);

void checkDepth(const IQBArticlePtr &article, int depth, bool hasChildren)
{
    // A tree that could never be read back fails here, before the file is touched.
    if (depth > QBMaxElementDepth || ((hasChildren || article->ContentSize() > 0) && depth + 1 > QBMaxElementDepth))
        throw EMSXMLError(QStringLiteral("The articles are nested more than 126 levels deep; a file that deep "
                                         "could not be read back, so the document is not saved."));
}

QString checkedCaption(const IQBArticlePtr &article)
{
    QString caption = article->Caption();
    checkLength(caption, NVKFormatS(QStringLiteral("The caption of article %s"), {IIDToStr(article->IID())}));
    return caption;
}

// Writes the article and its subtree under parent, walking iteratively in pre-order. The root
// article's element sits at depth 2.
void writeArticles(const TMSXMLNode &parent, const IQBArticlePtr &root)
{
    struct TPending
    {
        IQBArticlePtr Article;
        TMSXMLNode Under;
        int Depth;
    };
    std::vector<TPending> pending;
    pending.push_back({root, parent, 2});
    while (!pending.empty()) {
        auto [article, under, depth] = std::move(pending.back());
        pending.pop_back();
        checkDepth(article, depth, article->Items()->Count() > 0);
        const QString caption = checkedCaption(article);
        const TMSXMLNode element = under.AppendChild(under.CreateElement(SArticle));
        SetAttr(element, QStringLiteral("Caption"), caption);
        SetAttr(element, QStringLiteral("IID"), IIDToStr(article->IID()));
        SetIntAttr(element, QStringLiteral("Mark"), article->Mark(), article->Mark() == 0);
        SetDateAttr(element, QStringLiteral("Created"), article->Created());
        const QString body = article->Content();
        if (!body.isEmpty())
            AppendCDATAText(element.AppendChild(element.CreateElement(SContent)), body);
        const QList<IQBArticlePtr> children = childrenOf(article);
        if (children.isEmpty())
            continue;
        const TMSXMLNode items = element.AppendChild(element.CreateElement(SItems));
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            pending.push_back({*it, items, depth + 2});
    }
}

// The parser refuses a CDATA section above ten million bytes; the DOM writer cuts bodies into
// pieces of a million UTF-16 units, and the streaming writer cuts at the same places.
constexpr qsizetype CDATAPieceUnits = 1000000;

// Where a streamed file goes: a byte array, or a device written in large blocks.
class TQBUtf8Output
{
public:
    TQBUtf8Output(QByteArray *bytes, QIODevice *device) : FBytes(bytes), FDevice(device)
    {
        FBuffer.reserve(BlockSize + 4096);
    }

    void Raw(const char *data, qsizetype size)
    {
        FBuffer.append(data, size);
        if (FBuffer.size() >= BlockSize)
            Flush();
    }
    void Raw(QByteArrayView data) { Raw(data.data(), data.size()); }

    // name="value" with a leading space, escaped as libxml2 escapes attribute values.
    void Attr(QByteArrayView name, const QString &value)
    {
        Raw(" ");
        Raw(name);
        Raw("=\"");
        Escaped(value, true);
        Raw("\"");
    }

    void Text(const QString &value) { Escaped(value, false); }

    void CData(const QByteArray &body)
    {
        const char *data = body.constData();
        const qsizetype size = body.size();
        MSXMLInternal::checkUtf8Chars(data, size);
        qsizetype from = 0;
        while (from < size) {
            // "]]>" ends a section: cut between "]]" and ">" so neither piece holds it. A cut
            // that near needs no counting: a piece has at least as many bytes as units.
            const qsizetype terminator = QByteArrayView(data + from, size - from).indexOf("]]>");
            qsizetype end = terminator >= 0 && terminator + 2 <= CDATAPieceUnits ? from + terminator + 2
                                                                                 : PieceEnd(data, size, from);
            if (terminator >= 0 && from + terminator + 2 < end)
                end = from + terminator + 2;
            Raw("<![CDATA[");
            Raw(data + from, end - from);
            Raw("]]>");
            from = end;
        }
    }

    void Flush()
    {
        if (FBuffer.isEmpty())
            return;
        if (FBytes != nullptr) {
            FBytes->append(FBuffer);
        } else if (FDevice->write(FBuffer) != FBuffer.size()) {
            throw EMSXMLError(
                NVKFormatS(QStringLiteral("Cannot write the XML document: %s"), {FDevice->errorString()}));
        }
        // Keeps the block allocated: freeing and growing a megabyte each time costs more than the copy.
        FBuffer.truncate(0);
    }

private:
    static constexpr qsizetype BlockSize = 1 << 20;

    void Escaped(const QString &value, bool attribute)
    {
        MSXMLInternal::checkChars(value);
        const QByteArray bytes = value.toUtf8();
        qsizetype plain = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char *entity = nullptr;
            switch (bytes.at(i)) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '\r':
                entity = "&#13;";
                break;
            case '"':
                entity = attribute ? "&quot;" : nullptr;
                break;
            case '\n':
                entity = attribute ? "&#10;" : nullptr;
                break;
            case '\t':
                entity = attribute ? "&#9;" : nullptr;
                break;
            default:
                break;
            }
            if (entity == nullptr)
                continue;
            Raw(bytes.constData() + plain, i - plain);
            Raw(entity);
            plain = i + 1;
        }
        Raw(bytes.constData() + plain, bytes.size() - plain);
    }

    // The end of the piece that starts at from: as many whole characters as fit in the piece's
    // UTF-16 units. Only bodies longer than a piece in bytes need counting.
    static qsizetype PieceEnd(const char *data, qsizetype size, qsizetype from)
    {
        if (size - from <= CDATAPieceUnits)
            return size;
        qsizetype units = 0;
        qsizetype i = from;
        while (i < size) {
            const auto lead = static_cast<unsigned char>(data[i]);
            const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            const qsizetype needed = length == 4 ? 2 : 1;
            if (units + needed > CDATAPieceUnits)
                break;
            units += needed;
            i += length;
        }
        return std::min(i, size);
    }

    QByteArray FBuffer;
    QByteArray *FBytes;
    QIODevice *FDevice;
};

// The body's UTF-8 as the model stores it; other implementations go through their text.
QByteArray bodyBytes(const IQBArticlePtr &article)
{
    if (const auto *own = dynamic_cast<const TQBArticle *>(article.get()))
        return own->ContentUtf8();
    return article->Content().toUtf8();
}

void streamTextElement(TQBUtf8Output &out, QByteArrayView name, const QString &text)
{
    if (text.isEmpty())
        return;
    checkLength(text, NVKFormatS(QStringLiteral("The header's %s"), {QString::fromLatin1(name)}));
    out.Raw("<");
    out.Raw(name);
    out.Raw(">");
    out.Text(text);
    out.Raw("</");
    out.Raw(name);
    out.Raw(">");
}

// Streams the article and its subtree in pre-order without recursion: each level open on the
// stack holds the children still to write. The root article's element sits at depth 2.
void streamArticles(TQBUtf8Output &out, const IQBArticlePtr &root)
{
    struct TLevel
    {
        QList<IQBArticlePtr> Children;
        qsizetype Next;
        int Depth;
    };
    std::vector<TLevel> open;
    const auto start = [&out, &open](const IQBArticlePtr &article, int depth) {
        QList<IQBArticlePtr> children = childrenOf(article);
        checkDepth(article, depth, !children.isEmpty());
        out.Raw("<Article");
        out.Attr("Caption", checkedCaption(article));
        out.Attr("IID", IIDToStr(article->IID()));
        if (article->Mark() != 0)
            out.Attr("Mark", QString::number(article->Mark()));
        out.Attr("Created", MSXMLFormatDate(article->Created()));
        const QByteArray body = article->ContentSize() > 0 ? bodyBytes(article) : QByteArray();
        if (body.isEmpty() && children.isEmpty()) {
            out.Raw("/>");
            return;
        }
        out.Raw(">");
        if (!body.isEmpty()) {
            out.Raw("<Content>");
            out.CData(body);
            out.Raw("</Content>");
        }
        if (children.isEmpty()) {
            out.Raw("</Article>");
            return;
        }
        out.Raw("<Items>");
        open.push_back({std::move(children), 0, depth});
    };
    start(root, 2);
    while (!open.empty()) {
        TLevel &level = open.back();
        if (level.Next < level.Children.size()) {
            const IQBArticlePtr child = level.Children.at(level.Next++);
            start(child, level.Depth + 2);
        } else {
            open.pop_back();
            out.Raw("</Items></Article>");
        }
    }
}

// Files in UTF-8 (and those that name no encoding, which are UTF-8 too) are streamed; other
// encodings go through the DOM, whose serialiser converts and writes character references.
bool streamable(const IQBDocumentPtr &document)
{
    const QString encoding = document->Encoding();
    return encoding.isEmpty() || encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
}

// A body read from the file, waiting to be compressed: its UTF-8 still in the DOM, or joined
// from several CDATA sections.
struct TQBBodyJob
{
    TQBArticle *Article = nullptr;
    const char *Data = nullptr;
    qsizetype Size = 0;
    QByteArray Joined;
    QByteArray Packed;
    quint32 Length = 0;
};

// The text of the consecutive CDATA sections that start a "Content" element, as GetCDATAText
// reads it, without converting it to a QString.
void takeCDATA(xmlNodePtr content, TQBBodyJob &job)
{
    xmlNodePtr first = content->children;
    if (first == nullptr || first->type != XML_CDATA_SECTION_NODE)
        return;
    if (first->next == nullptr || first->next->type != XML_CDATA_SECTION_NODE) {
        const QByteArrayView text = MSXMLInternal::nodeContent(first);
        job.Data = text.data();
        job.Size = text.size();
        return;
    }
    for (xmlNodePtr node = first; node != nullptr && node->type == XML_CDATA_SECTION_NODE; node = node->next)
        job.Joined.append(MSXMLInternal::nodeContent(node));
    job.Data = job.Joined.constData();
    job.Size = job.Joined.size();
}

// Compresses every body, on as many cores as there are (up to four; compressing is most of the
// work of opening a large file), and hands each to its article in file order. The first failure
// is raised after all workers have stopped.
void storeBodies(std::vector<TQBBodyJob> &jobs)
{
    qsizetype total = 0;
    for (const TQBBodyJob &job : jobs)
        total += job.Size;
    const unsigned cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    const unsigned workers = total < (1 << 20) ? 1 : cores;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::atomic_flag failureTaken = ATOMIC_FLAG_INIT;
    const auto work = [&]() {
        constexpr size_t Batch = 32;
        try {
            while (!failed.load(std::memory_order_relaxed)) {
                const size_t from = next.fetch_add(Batch, std::memory_order_relaxed);
                if (from >= jobs.size())
                    return;
                for (size_t i = from; i < std::min(jobs.size(), from + Batch); ++i)
                    jobs[i].Packed = QBCompressUtf8(jobs[i].Data, jobs[i].Size, jobs[i].Length);
            }
        } catch (...) {
            if (!failureTaken.test_and_set())
                failure = std::current_exception();
            failed.store(true);
        }
    };
    // Small documents are done at once; large ones wholly on workers, which also keeps the
    // bodies out of the main heap, where the DOM about to be freed lies.
    if (workers == 1) {
        work();
    } else {
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < workers; ++i)
            threads.emplace_back(work);
        for (std::thread &thread : threads)
            thread.join();
    }
    if (failure)
        std::rethrow_exception(failure);
    for (TQBBodyJob &job : jobs) {
        job.Article->SetCompressedContent(std::move(job.Packed), job.Length);
        job.Joined = QByteArray();
    }
}

// The DOM of a large file lies in many small blocks between the articles made while reading it;
// freed, they stay resident unless handed back to the system explicitly.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

QString IIDToStr(qint32 iid)
{
    return QLatin1Char('_') + QString::number(iid);
}

qint32 StrToIID(const QString &text)
{
    const auto fail = [&text]() {
        return EQBReaderError(NVKFormatS(QStringLiteral("Invalid article ID: %s."), {shown(text)}));
    };
    if (text.size() < 2 || text.at(0) != QLatin1Char('_'))
        throw fail();
    qsizetype i = 1;
    const bool negative = text.at(1) == QLatin1Char('-');
    if (negative)
        ++i;
    if (i >= text.size())
        throw fail();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw fail();
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        throw fail();
    return qint32(value);
}

int QBArticleElementDepth(const IQBArticlePtr &article, int depth)
{
    int deepest = 0;
    std::vector<std::pair<IQBArticlePtr, int>> pending;
    if (article)
        pending.emplace_back(article, depth);
    while (!pending.empty()) {
        auto [current, level] = std::move(pending.back());
        pending.pop_back();
        const QList<IQBArticlePtr> children = childrenOf(current);
        // "Content" and "Items" sit one level below the article, its children two.
        const int own = (current->ContentSize() > 0 || !children.isEmpty()) ? level + 1 : level;
        deepest = std::max(deepest, own);
        for (const IQBArticlePtr &child : children)
            pending.emplace_back(child, level + 2);
    }
    return deepest;
}

// ---------------------------------------------------------------------------------------------
// TQBXmlWriter

TQBXmlWriter::TQBXmlWriter(const QString &fileName) : FFileName(fileName) {}

IMSXMLDocumentPtr TQBXmlWriter::Build(const IQBDocumentPtr &document)
{
    if (!document)
        throw EMSXMLError(QStringLiteral("NULL interface reference."));
    auto xml = std::make_shared<TMSXMLDocument>();
    xml->SetStandalone(true);
    xml->SetEncoding(document->Encoding());
    const TMSXMLNode dom = xml->GetDocument();

    const TMSXMLNode snippets = dom.AppendChild(dom.CreateElement(QStringLiteral("Snippets")));
    SetAttr(snippets, QStringLiteral("Version"), QStringLiteral("1.1"));
    SetAttr(snippets, QStringLiteral("Generator"), QStringLiteral("Quillbox"));
    SetIntAttr(snippets, QStringLiteral("LastIID"), document->LastIID());

    const TMSXMLNode header = snippets.AppendChild(dom.CreateElement(QStringLiteral("Header")));
    appendTextElement(header, QStringLiteral("Author"), document->Author());
    appendTextElement(header, QStringLiteral("Copyright"), document->Copyright());
    const TMSXMLNode revision = header.AppendChild(dom.CreateElement(QStringLiteral("Revision")));
    SetAttr(revision, QStringLiteral("Auto"), document->AutoRevision() ? QStringLiteral("yes") : QStringLiteral("no"));
    SetIntAttr(revision, QStringLiteral("Value"), document->Revision());
    appendTextElement(header, QStringLiteral("Remarks"), document->Remarks());

    writeArticles(snippets, document->Root());
    return xml;
}

void TQBXmlWriter::Stream(const IQBDocumentPtr &document, QByteArray *bytes, QIODevice *device)
{
    TQBUtf8Output out(bytes, device);
    out.Raw("<?xml version=\"1.0\"");
    if (!document->Encoding().isEmpty()) {
        out.Raw(" encoding=\"");
        out.Raw(document->Encoding().toLatin1());
        out.Raw("\"");
    }
    out.Raw(" standalone=\"yes\"?>\n<Snippets Version=\"1.1\" Generator=\"Quillbox\"");
    out.Attr("LastIID", QString::number(document->LastIID()));
    out.Raw("><Header>");
    streamTextElement(out, "Author", document->Author());
    streamTextElement(out, "Copyright", document->Copyright());
    out.Raw("<Revision");
    out.Attr("Auto", document->AutoRevision() ? QStringLiteral("yes") : QStringLiteral("no"));
    out.Attr("Value", QString::number(document->Revision()));
    out.Raw("/>");
    streamTextElement(out, "Remarks", document->Remarks());
    out.Raw("</Header>");
    streamArticles(out, document->Root());
    out.Raw("</Snippets>\n");
    out.Flush();
}

void TQBXmlWriter::Write(const IQBDocumentPtr &document)
{
    if (!document || !streamable(document)) {
        Build(document)->SaveToFile(FFileName);
        return;
    }
    TNVKSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {FFileName, file.errorString()}));
    // Written straight into the temporary file; it replaces the old one only when complete, and
    // is discarded (the old file untouched) on any failure.
    try {
        Stream(document, nullptr, &file);
    } catch (const EMSXMLError &) {
        // A failed write names the file and the system's reason, as a failed open or commit does.
        const bool writeFailed = file.error() != QFileDevice::NoError;
        const QString reason = file.errorString();
        file.cancelWriting();
        if (writeFailed)
            throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {FFileName, reason}));
        throw;
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {FFileName, file.errorString()}));
}

QByteArray TQBXmlWriter::WriteToBytes(const IQBDocumentPtr &document)
{
    if (!document || !streamable(document))
        return Build(document)->SaveToBytes();
    QByteArray bytes;
    Stream(document, &bytes, nullptr);
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// TQBXmlReader

TQBXmlReader::TQBXmlReader(const QString &fileName) : FFileName(fileName) {}

IQBDocumentPtr TQBXmlReader::Read()
{
    IQBDocumentPtr document;
    {
        TMSXMLDocument xml;
        xml.SetKeepCDATAApart(true);
        xml.LoadFromFile(FFileName);
        document = ReadDOM(xml);
    }
    releaseFreedMemory();
    return document;
}

IQBDocumentPtr TQBXmlReader::ReadFromBytes(const QByteArray &bytes)
{
    IQBDocumentPtr document;
    {
        TMSXMLDocument xml;
        xml.SetKeepCDATAApart(true);
        xml.LoadFromBytes(bytes);
        document = ReadDOM(xml);
    }
    releaseFreedMemory();
    return document;
}

IQBDocumentPtr TQBXmlReader::ReadDOM(IMSXMLDocument &xml)
{
    const TMSXMLNode snippets = xml.GetDocument().DocumentElement();
    if (snippets.TagName() != QLatin1String("Snippets"))
        throw EQBReaderError(QStringLiteral("Not a valid Quillbox document."));
    const QString version = snippets.GetAttribute(QStringLiteral("Version"));
    const bool current = version == QLatin1String("1.1");
    if (!current && version != QLatin1String("1.0"))
        throw EQBReaderError(QStringLiteral("Unknown document version"));

    const IQBDocumentPtr document = NewQBDocument();
    const IQBDocumentControlPtr control = std::dynamic_pointer_cast<IQBDocumentControl>(document);
    {
        const TQBOperationGuard load(*control, opLoad);
        document->SetEncoding(xml.GetEncoding());
        control->SetVersion(version);
        control->SetLastIID(GetIntAttr(snippets, QStringLiteral("LastIID"), 0));

        if (const TMSXMLNode header = firstChildElement(snippets, QStringLiteral("Header"))) {
            if (const TMSXMLNode author = firstChildElement(header, QStringLiteral("Author")))
                document->SetAuthor(author.Text());
            if (const TMSXMLNode copyright = firstChildElement(header, QStringLiteral("Copyright")))
                document->SetCopyright(copyright.Text());
            if (const TMSXMLNode revision = firstChildElement(header, QStringLiteral("Revision"))) {
                document->SetAutoRevision(GetAttr(revision, QStringLiteral("Auto"), QStringLiteral("no")) ==
                                          QLatin1String("yes"));
                document->SetRevision(GetIntAttr(revision, QStringLiteral("Value"), 0));
            } else {
                document->SetAutoRevision(false);
                document->SetRevision(0);
            }
            if (const TMSXMLNode remarks = firstChildElement(header, QStringLiteral("Remarks")))
                document->SetRemarks(remarks.Text());
        }

        const TMSXMLNode rootElement = firstChildElement(snippets, SArticle);
        if (!rootElement)
            throw EQBReaderError(QStringLiteral("Document does not have a root article."));

        // One time of loading for every article whose file gives none.
        std::optional<TDateTime> loadTime;
        const auto now = [&loadTime]() {
            if (!loadTime)
                loadTime = Now();
            return *loadTime;
        };
        // Pre-order without recursion; each article enters its parent's list as a leaf, before
        // its own children are read.
        std::vector<std::pair<TMSXMLNode, IQBArticlePtr>> pending;
        pending.emplace_back(rootElement, nullptr);
        std::vector<TMSXMLNode> children;
        // Bodies are compressed together once the tree is read, while the DOM still holds them.
        std::vector<TQBBodyJob> bodies;
        while (!pending.empty()) {
            auto [element, parent] = std::move(pending.back());
            pending.pop_back();
            const IQBArticlePtr article = document->CreateArticle();
            article->SetIID(StrToIID(element.GetAttribute(QStringLiteral("IID"))));
            article->SetCaption(element.GetAttribute(QStringLiteral("Caption")));
            const TMSXMLNode content = firstChildElement(element, SContent);
            if (current) {
                article->SetMark(quint8(GetIntAttr(element, QStringLiteral("Mark"), 0) & 0xFF));
                article->SetCreated(GetDateAttr(element, QStringLiteral("Created"), now()));
                if (content) {
                    TQBBodyJob job;
                    job.Article = dynamic_cast<TQBArticle *>(article.get());
                    if (!job.Article) {
                        if (content.FirstChild().NodeType() == ntCDATASection)
                            article->SetContent(GetCDATAText(content));
                    } else {
                        takeCDATA(content.Handle(), job);
                        if (job.Size > 0)
                            bodies.push_back(std::move(job));
                    }
                }
            } else {
                article->SetCreated(now());
                if (content)
                    article->SetContent(content.Text());
            }
            if (parent)
                parent->Items()->Add(article);
            else
                control->SetRoot(article);

            children.clear();
            if (const TMSXMLNode items = firstChildElement(element, SItems))
                for (TMSXMLNode child = items.FirstChild(); child; child = child.NextSibling())
                    if (child.NodeType() == ntElement && child.NodeName() == SArticle)
                        children.push_back(child);
            for (auto it = children.crbegin(); it != children.crend(); ++it)
                pending.emplace_back(*it, article);
        }
        storeBodies(bodies);
    }
    return document;
}

IQBDocumentPtr QBReadDocument(const QString &fileName)
{
    return TQBXmlReader(fileName).Read();
}

void QBWriteDocument(const IQBDocumentPtr &document, const QString &fileName)
{
    TQBXmlWriter(fileName).Write(document);
}
