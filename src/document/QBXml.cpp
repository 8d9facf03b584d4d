// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBXml.h"
#include "document/MSXMLUtils.h"
#include "document/QBDom.h"

#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <optional>
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
        // A tree that could never be read back fails here, long before the file is touched.
        const bool hasChildren = article->Items()->Count() > 0;
        if (depth > QBMaxElementDepth || ((hasChildren || article->ContentSize() > 0) && depth + 1 > QBMaxElementDepth))
            throw EMSXMLError(QStringLiteral("The articles are nested more than 126 levels deep; a file that deep "
                                             "could not be read back, so the document is not saved."));
        const QString caption = article->Caption();
        checkLength(caption, NVKFormatS(QStringLiteral("The caption of article %s"), {IIDToStr(article->IID())}));
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

// The DOM of a large file lies in many small blocks between the compressed bodies made while
// reading it; freed, they stay resident unless handed back to the system explicitly.
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

void TQBXmlWriter::Write(const IQBDocumentPtr &document)
{
    Build(document)->SaveToFile(FFileName);
}

QByteArray TQBXmlWriter::WriteToBytes(const IQBDocumentPtr &document)
{
    return Build(document)->SaveToBytes();
}

// ---------------------------------------------------------------------------------------------
// TQBXmlReader

TQBXmlReader::TQBXmlReader(const QString &fileName) : FFileName(fileName) {}

IQBDocumentPtr TQBXmlReader::Read()
{
    IQBDocumentPtr document;
    {
        TMSXMLDocument xml;
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
                if (content && content.FirstChild().NodeType() == ntCDATASection)
                    article->SetContent(GetCDATAText(content));
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
