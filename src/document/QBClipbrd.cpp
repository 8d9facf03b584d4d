// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBClipbrd.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "xml/MSXMLUtils.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString SArticle = QStringLiteral("Article");
const char SInvalidArticle[] = "Invalid article for clipboard operation.";
const char SInvalidContents[] = "Clipboard contents is not a valid Quillbox article.";

void verify(const IQBArticlePtr &article)
{
    if (!article || !article->Document())
        throw EQBClipboardError(QString::fromLatin1(SInvalidArticle));
}

TMSXMLNode firstChildElement(const TMSXMLNode &node, const QString &name)
{
    for (TMSXMLNode child = node.FirstChild(); child; child = child.NextSibling())
        if (child.NodeType() == ntElement && child.NodeName() == name)
            return child;
    return TMSXMLNode();
}

} // namespace

QByteArray QBEncodeArticle(const IQBArticlePtr &article)
{
    verify(article);
    // The pasting side reads no element nested deeper than the XML layer allows.
    if (QBArticleElementDepth(article, 1) > QBMaxElementDepth)
        throw EQBClipboardError(QStringLiteral("The article's sub-articles are nested more than 127 levels deep; "
                                               "they could not be pasted, so the article is not copied."));
    TMSXMLDocument xml;
    const TMSXMLNode dom = xml.GetDocument();
    const TMSXMLNode top = dom.AppendChild(dom.CreateElement(SArticle));
    std::vector<std::pair<IQBArticlePtr, TMSXMLNode>> pending;
    pending.emplace_back(article, top);
    while (!pending.empty()) {
        auto [current, element] = std::move(pending.back());
        pending.pop_back();
        SetAttr(element, QStringLiteral("Caption"), current->Caption());
        SetIntAttr(element, QStringLiteral("Mark"), current->Mark(), current->Mark() == 0);
        const QString body = current->Content();
        if (!body.isEmpty())
            AppendCDATAText(element.AppendChild(dom.CreateElement(QStringLiteral("Content"))), body);
        QList<IQBArticlePtr> children;
        {
            const TQBArticleListLocker lock(*current->Items());
            children = lock.Items();
        }
        if (children.isEmpty())
            continue;
        const TMSXMLNode items = element.AppendChild(dom.CreateElement(QStringLiteral("Items")));
        // Elements are appended now, in list order; each is filled when its turn comes.
        std::vector<std::pair<IQBArticlePtr, TMSXMLNode>> created;
        for (const IQBArticlePtr &child : children)
            created.emplace_back(child, items.AppendChild(dom.CreateElement(SArticle)));
        for (auto it = created.rbegin(); it != created.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    QByteArray data = top.Xml().toUtf8();
    // Whatever the parser would refuse on pasting (a caption beyond its size limits, say) is
    // refused now, while the article is still where it was.
    try {
        TMSXMLDocument check;
        check.LoadFromBytes(data);
    } catch (const EMSXMLError &e) {
        throw EQBClipboardError(NVKFormatS(QStringLiteral("The article cannot be copied: %s"), {e.Message()}));
    }
    return data;
}

IQBArticlePtr QBDecodeArticle(const QByteArray &data, const IQBArticlePtr &target)
{
    verify(target);
    const qsizetype terminator = data.indexOf('\0');
    TMSXMLDocument xml;
    try {
        xml.LoadFromBytes(terminator < 0 ? data : data.left(terminator));
    } catch (const EMSXMLError &) {
        throw EQBClipboardError(QString::fromLatin1(SInvalidContents));
    }
    const TMSXMLNode top = xml.GetDocument().DocumentElement();
    if (top.TagName() != SArticle)
        throw EQBClipboardError(QString::fromLatin1(SInvalidContents));

    // A branch that would sink below the deepest level a file holds is refused before any
    // article is made (and any identifier used).
    int height = 0;
    {
        std::vector<std::pair<TMSXMLNode, int>> pending;
        pending.emplace_back(top, 0);
        while (!pending.empty()) {
            auto [element, level] = std::move(pending.back());
            pending.pop_back();
            height = std::max(height, level);
            if (const TMSXMLNode items = firstChildElement(element, QStringLiteral("Items")))
                for (TMSXMLNode child = items.FirstChild(); child; child = child.NextSibling())
                    if (child.NodeType() == ntElement && child.NodeName() == SArticle)
                        pending.emplace_back(child, level + 1);
        }
    }
    QBCheckArticleLevel(target->Level() + 1, height);

    const IQBDocumentPtr document = target->Document();
    const IQBDocumentControlPtr control = std::dynamic_pointer_cast<IQBDocumentControl>(document);
    if (!control)
        throw EQBClipboardError(QString::fromLatin1(SInvalidArticle));
    IQBArticlePtr result;
    {
        const TQBOperationGuard paste(*control, opPaste);
        // Pre-order without recursion, so IIDs are issued root first, each article before its children.
        std::vector<std::pair<TMSXMLNode, IQBArticlePtr>> pending;
        pending.emplace_back(top, nullptr);
        std::vector<TMSXMLNode> children;
        while (!pending.empty()) {
            auto [element, parent] = std::move(pending.back());
            pending.pop_back();
            const IQBArticlePtr article = document->CreateArticle();
            article->SetCaption(element.GetAttribute(QStringLiteral("Caption")));
            article->SetMark(quint8(GetIntAttr(element, QStringLiteral("Mark"), 0) & 0xFF));
            const TMSXMLNode content = firstChildElement(element, QStringLiteral("Content"));
            if (content && content.FirstChild().NodeType() == ntCDATASection)
                article->SetContent(GetCDATAText(content));
            if (parent)
                parent->Items()->Add(article);
            else
                result = article;
            children.clear();
            if (const TMSXMLNode items = firstChildElement(element, QStringLiteral("Items")))
                for (TMSXMLNode child = items.FirstChild(); child; child = child.NextSibling())
                    if (child.NodeType() == ntElement && child.NodeName() == SArticle)
                        children.push_back(child);
            for (auto it = children.crbegin(); it != children.crend(); ++it)
                pending.emplace_back(*it, article);
        }
    }
    target->Items()->Add(result);
    return result;
}

// ---------------------------------------------------------------------------------------------
// TQBArticleClipboard

bool TQBArticleClipboard::HasFormat()
{
    return FormatAvailable() && OffersArticle();
}

bool TQBArticleClipboard::Place(const IQBArticlePtr &article)
{
    verify(article);
    if (!FormatAvailable())
        return false;
    return PlaceData(QBEncodeArticle(article));
}

void TQBArticleClipboard::Copy(const IQBArticlePtr &article)
{
    Place(article);
}

void TQBArticleClipboard::Cut(const IQBArticlePtr &article)
{
    if (!Place(article))
        throw EQBClipboardError(
            QStringLiteral("The article could not be placed on the clipboard, so it was not removed."));
    if (const IQBArticlePtr parent = article->Parent())
        parent->Items()->Remove(article);
}

IQBArticlePtr TQBArticleClipboard::Paste(const IQBArticlePtr &target)
{
    verify(target);
    QByteArray data;
    if (!FormatAvailable() || !TakeData(data))
        return nullptr;
    return QBDecodeArticle(data, target);
}

// ---------------------------------------------------------------------------------------------
// TQBMemoryClipboard

bool TQBMemoryClipboard::PlaceData(const QByteArray &data)
{
    FData = data;
    return true;
}

bool TQBMemoryClipboard::TakeData(QByteArray &data) const
{
    if (FData.isEmpty())
        return false;
    data = FData;
    return true;
}
