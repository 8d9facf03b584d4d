// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/MSXMLDoc.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QSaveFile>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <limits>
#include <mutex>

namespace {

const char SNullInterface[] = "NULL interface reference.";
const char SNullObject[] = "NULL object reference.";
const char SParseFailed[] = "An error was found while parsing the document.";

// Nothing outside the document itself is ever read: no DTDs, no external entities.
xmlParserInputPtr refuseExternalEntity(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

void initLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
}

// Collects the first error libxml2 reports during one call, instead of letting it print.
struct TErrorCollector
{
    bool Failed = false;
    QString Reason;
    int Code = 0;
    int Line = 0;
    int Column = 0;

    void Take(const xmlError *error)
    {
        if (error == nullptr || error->level < XML_ERR_ERROR || Failed)
            return;
        Failed = true;
        Reason = Reword(QString::fromUtf8(error->message ? error->message : "").trimmed());
        Code = error->code;
        Line = error->line;
        Column = error->int2;
    }

    // libxml2's limit messages suggest an option the user cannot set; say what is wrong instead.
    static QString Reword(const QString &reason)
    {
        static const struct
        {
            const char *Prefix;
            const char *Text;
        } limits[] = {
            {"Excessive depth in document", "Elements are nested more than 256 levels deep."},
            {"AttValue length too long", "An attribute value is longer than 10,000,000 bytes."},
            {"CData section too big", "A CDATA section is longer than 10,000,000 bytes."},
            {"xmlSAX2Characters: huge text node", "A text is longer than 10,000,000 bytes."},
            {"Huge input lookup", "A single item of the document is too large."},
        };
        for (const auto &limit : limits)
            if (reason.startsWith(QLatin1String(limit.Prefix)))
                return QString::fromLatin1(limit.Text);
        return reason;
    }

    static void Handler(void *context, xmlErrorPtr error) { static_cast<TErrorCollector *>(context)->Take(error); }
};

// libxml2 keeps its fallback error handler per thread; this routes it to a collector for one call.
class TThreadErrorScope
{
public:
    explicit TThreadErrorScope(TErrorCollector *collector)
        : FOldHandler(xmlStructuredError), FOldContext(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(collector, &TErrorCollector::Handler);
    }
    ~TThreadErrorScope() { xmlSetStructuredErrorFunc(FOldContext, FOldHandler); }
    TThreadErrorScope(const TThreadErrorScope &) = delete;
    TThreadErrorScope &operator=(const TThreadErrorScope &) = delete;

private:
    xmlStructuredErrorFunc FOldHandler;
    void *FOldContext;
};

const xmlChar *utf8(const QByteArray &bytes)
{
    return reinterpret_cast<const xmlChar *>(bytes.constData());
}

QString fromXml(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

// XML 1.0 cannot hold these characters at all, not even as character references.
void checkChars(const QString &text)
{
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text.at(i).unicode();
        bool bad = false;
        if (c < 0x20)
            bad = c != 0x09 && c != 0x0A && c != 0x0D;
        else if (c == 0xFFFE || c == 0xFFFF)
            bad = true;
        else if (QChar::isHighSurrogate(c)) {
            if (i + 1 < length && QChar::isLowSurrogate(text.at(i + 1).unicode()))
                ++i;
            else
                bad = true;
        } else if (QChar::isLowSurrogate(c))
            bad = true;
        if (bad)
            throw EMSXMLError(QStringLiteral("The character U+%1 cannot be stored in XML.")
                                  .arg(QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0'))));
    }
}

QByteArray checkedName(const QString &name)
{
    const QByteArray bytes = name.toUtf8();
    if (name.isEmpty() || xmlValidateName(utf8(bytes), 0) != 0)
        throw EMSXMLError(NVKFormatS(QStringLiteral("'%s' is not a valid XML name."), {name}));
    return bytes;
}

QByteArray checkedText(const QString &text)
{
    checkChars(text);
    return text.toUtf8();
}

bool isTextLike(const xmlNode *node)
{
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE || node->type == XML_COMMENT_NODE ||
           node->type == XML_PI_NODE;
}

// Text and CDATA below node, joined, walking iteratively; entity references are skipped.
QString collectText(const xmlNode *root)
{
    QByteArray result;
    if (root->type == XML_TEXT_NODE || root->type == XML_CDATA_SECTION_NODE) {
        result = root->content ? QByteArray(reinterpret_cast<const char *>(root->content)) : QByteArray();
        return QString::fromUtf8(result);
    }
    if (root->type != XML_ELEMENT_NODE && root->type != XML_DOCUMENT_NODE && root->type != XML_ATTRIBUTE_NODE &&
        root->type != XML_DOCUMENT_FRAG_NODE)
        return QString();
    const xmlNode *node = root->children;
    while (node != nullptr) {
        if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && node->content)
            result.append(reinterpret_cast<const char *>(node->content));
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node == root)
                node = nullptr;
        }
        if (node != nullptr)
            node = node->next;
    }
    return QString::fromUtf8(result);
}

xmlAttrPtr findAttr(const xmlNode *node, const QByteArray &name)
{
    for (xmlAttrPtr attr = node->properties; attr != nullptr; attr = attr->next)
        if (xmlStrEqual(attr->name, utf8(name)) && attr->ns == nullptr)
            return attr;
    // Names with an (undeclared or declared) prefix are matched by their full text.
    for (xmlAttrPtr attr = node->properties; attr != nullptr; attr = attr->next) {
        if (attr->ns == nullptr || attr->ns->prefix == nullptr)
            continue;
        const QByteArray full = QByteArray(reinterpret_cast<const char *>(attr->ns->prefix)) + ':' +
                                QByteArray(reinterpret_cast<const char *>(attr->name));
        if (full == name)
            return attr;
    }
    return nullptr;
}

QString nodeName(const xmlNode *node)
{
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
        if (node->ns != nullptr && node->ns->prefix != nullptr)
            return fromXml(node->ns->prefix) + QLatin1Char(':') + fromXml(node->name);
        return fromXml(node->name);
    case XML_PI_NODE:
    case XML_ENTITY_REF_NODE:
        return fromXml(node->name);
    case XML_TEXT_NODE:
        return QStringLiteral("#text");
    case XML_CDATA_SECTION_NODE:
        return QStringLiteral("#cdata-section");
    case XML_COMMENT_NODE:
        return QStringLiteral("#comment");
    case XML_DOCUMENT_NODE:
        return QStringLiteral("#document");
    default:
        return QString();
    }
}

// Entities declared in a document type are never expanded, so a reference to one would read as
// nothing and vanish on the next save. Such documents are refused instead. Walks iteratively.
const xmlNode *findEntityReference(xmlDocPtr doc)
{
    if (doc->intSubset == nullptr && doc->extSubset == nullptr)
        return nullptr;
    const xmlNode *node = doc->children;
    while (node != nullptr) {
        if (node->type == XML_ENTITY_REF_NODE)
            return node;
        if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr *attr = node->properties; attr != nullptr; attr = attr->next)
                for (const xmlNode *part = attr->children; part != nullptr; part = part->next)
                    if (part->type == XML_ENTITY_REF_NODE)
                        return part;
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        while (node != nullptr && node->next == nullptr)
            node = node->parent == reinterpret_cast<const xmlNode *>(doc) ? nullptr : node->parent;
        if (node != nullptr)
            node = node->next;
    }
    return nullptr;
}

void linkBefore(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr reference)
{
    // Linked by hand: libxml2's own insertion merges adjacent text nodes and frees one of them,
    // which would leave a TMSXMLNode pointing at freed memory.
    xmlUnlinkNode(child);
    child->parent = parent;
    child->next = reference;
    if (reference == nullptr) {
        child->prev = parent->last;
        if (parent->last != nullptr)
            parent->last->next = child;
        else
            parent->children = child;
        parent->last = child;
    } else {
        child->prev = reference->prev;
        if (reference->prev != nullptr)
            reference->prev->next = child;
        else
            parent->children = child;
        reference->prev = child;
    }
}

} // namespace

// Owns one libxml2 document and every node detached from it, so TMSXMLNode values stay valid
// for as long as any of them exists.
class TMSXMLDom
{
public:
    explicit TMSXMLDom(xmlDocPtr doc) : FDoc(doc) {}
    ~TMSXMLDom()
    {
        // Free only detached nodes that are still roots; a detached node that was later put
        // under another node goes with that one. Decide all before freeing anything.
        std::sort(FDetached.begin(), FDetached.end());
        FDetached.erase(std::unique(FDetached.begin(), FDetached.end()), FDetached.end());
        std::vector<xmlNodePtr> roots;
        for (xmlNodePtr node : FDetached)
            if (node->parent == nullptr)
                roots.push_back(node);
        for (xmlNodePtr node : roots)
            xmlFreeNode(node);
        xmlFreeDoc(FDoc);
    }
    TMSXMLDom(const TMSXMLDom &) = delete;
    TMSXMLDom &operator=(const TMSXMLDom &) = delete;

    xmlDocPtr Doc() const { return FDoc; }
    void Detached(xmlNodePtr node) { FDetached.push_back(node); }

private:
    xmlDocPtr FDoc;
    std::vector<xmlNodePtr> FDetached;
};

EMSXMLParseError::EMSXMLParseError(const QString &reason, int errorCode, int line, int linePos)
    : EMSXMLError(reason), FErrorCode(errorCode), FLine(line), FLinePos(linePos)
{
}

// ---------------------------------------------------------------------------------------------
// TMSXMLNode

TMSXMLNode::TMSXMLNode(std::shared_ptr<TMSXMLDom> dom, _xmlNode *node) : FDom(std::move(dom)), FNode(node) {}

TMSXMLNode TMSXMLNode::Wrap(_xmlNode *node) const
{
    if (node == nullptr || FDom == nullptr)
        return TMSXMLNode();
    return TMSXMLNode(FDom, node);
}

TMSXMLNode TMSXMLNode::Create(_xmlNode *node) const
{
    if (node == nullptr)
        throw EMSXMLError(QStringLiteral("Out of memory."));
    FDom->Detached(node);
    return TMSXMLNode(FDom, node);
}

int TMSXMLNode::NodeType() const
{
    if (FNode == nullptr)
        return ntNone;
    switch (FNode->type) {
    case XML_ELEMENT_NODE:
        return ntElement;
    case XML_ATTRIBUTE_NODE:
        return ntAttribute;
    case XML_TEXT_NODE:
        return ntText;
    case XML_CDATA_SECTION_NODE:
        return ntCDATASection;
    case XML_ENTITY_REF_NODE:
        return ntEntityReference;
    case XML_PI_NODE:
        return ntProcessingInstruction;
    case XML_COMMENT_NODE:
        return ntComment;
    case XML_DOCUMENT_NODE:
        return ntDocument;
    default:
        return ntOther;
    }
}

QString TMSXMLNode::NodeName() const
{
    return FNode ? nodeName(FNode) : QString();
}

QString TMSXMLNode::NodeValue() const
{
    if (FNode == nullptr || !isTextLike(FNode))
        return QString();
    return fromXml(FNode->content);
}

QString TMSXMLNode::Text() const
{
    return FNode ? collectText(FNode) : QString();
}

void TMSXMLNode::SetText(const QString &text) const
{
    if (FNode == nullptr)
        return;
    const QByteArray bytes = checkedText(text);
    if (isTextLike(FNode)) {
        if (FNode->type == XML_COMMENT_NODE && (text.contains(QLatin1String("--")) || text.endsWith(QLatin1Char('-'))))
            throw EMSXMLError(QStringLiteral("A comment cannot contain \"--\" or end with \"-\"."));
        if (FNode->type == XML_PI_NODE && text.contains(QLatin1String("?>")))
            throw EMSXMLError(QStringLiteral("A processing instruction cannot contain \"?>\"."));
        if (FNode->type == XML_CDATA_SECTION_NODE && text.contains(QLatin1String("]]>")))
            throw EMSXMLError(QStringLiteral("A CDATA section cannot contain \"]]>\"."));
        xmlNodeSetContentLen(FNode, utf8(bytes), int(bytes.size()));
        return;
    }
    if (FNode->type != XML_ELEMENT_NODE)
        return;
    while (FNode->children != nullptr) {
        xmlNodePtr child = FNode->children;
        xmlUnlinkNode(child);
        FDom->Detached(child);
    }
    if (!text.isEmpty())
        linkBefore(FNode, Create(xmlNewDocTextLen(FDom->Doc(), utf8(bytes), int(bytes.size()))).FNode, nullptr);
}

QString TMSXMLNode::Xml() const
{
    if (FNode == nullptr)
        return QString();
    initLibXml();
    TErrorCollector errors;
    TThreadErrorScope scope(&errors);
    xmlBufferPtr buffer = xmlBufferCreate();
    if (buffer == nullptr)
        throw EMSXMLError(QStringLiteral("Out of memory."));
    QByteArray bytes;
    xmlDocPtr doc = FDom->Doc();
    const xmlChar *oldEncoding = doc->encoding;
    doc->encoding = reinterpret_cast<const xmlChar *>("UTF-8");
    if (FNode->type == XML_DOCUMENT_NODE) {
        for (xmlNodePtr child = FNode->children; child != nullptr; child = child->next)
            xmlNodeDump(buffer, FDom->Doc(), child, 0, 0);
    } else {
        xmlNodeDump(buffer, FDom->Doc(), FNode, 0, 0);
    }
    doc->encoding = oldEncoding;
    bytes = QByteArray(reinterpret_cast<const char *>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    xmlBufferFree(buffer);
    return QString::fromUtf8(bytes);
}

TMSXMLNode TMSXMLNode::ParentNode() const
{
    return FNode ? Wrap(FNode->parent) : TMSXMLNode();
}

TMSXMLNode TMSXMLNode::FirstChild() const
{
    return FNode && FNode->type != XML_ENTITY_REF_NODE ? Wrap(FNode->children) : TMSXMLNode();
}

TMSXMLNode TMSXMLNode::LastChild() const
{
    return FNode && FNode->type != XML_ENTITY_REF_NODE ? Wrap(FNode->last) : TMSXMLNode();
}

TMSXMLNode TMSXMLNode::NextSibling() const
{
    return FNode && FNode->type != XML_ATTRIBUTE_NODE ? Wrap(FNode->next) : TMSXMLNode();
}

TMSXMLNode TMSXMLNode::PreviousSibling() const
{
    return FNode && FNode->type != XML_ATTRIBUTE_NODE ? Wrap(FNode->prev) : TMSXMLNode();
}

bool TMSXMLNode::HasChildNodes() const
{
    return !FirstChild().IsNull();
}

int TMSXMLNode::ChildCount() const
{
    int count = 0;
    for (TMSXMLNode child = FirstChild(); child; child = child.NextSibling())
        ++count;
    return count;
}

TMSXMLNode TMSXMLNode::OwnerDocument() const
{
    return FDom ? Wrap(reinterpret_cast<xmlNodePtr>(FDom->Doc())) : TMSXMLNode();
}

void TMSXMLNode::CheckChild(const TMSXMLNode &child, const TMSXMLNode &replaced) const
{
    if (FNode == nullptr || child.FNode == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    if (child.FDom != FDom)
        throw EMSXMLError(QStringLiteral("The node belongs to another XML document."));
    if (FNode->type != XML_ELEMENT_NODE && FNode->type != XML_DOCUMENT_NODE)
        throw EMSXMLError(QStringLiteral("This node cannot have children."));
    const xmlElementType type = child.FNode->type;
    const bool allowed = type == XML_ELEMENT_NODE || type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE ||
                         type == XML_COMMENT_NODE || type == XML_PI_NODE || type == XML_ENTITY_REF_NODE;
    if (!allowed)
        throw EMSXMLError(QStringLiteral("This node cannot be inserted here."));
    // Only a node with children can be an ancestor of this one; leaves skip the walk up.
    for (xmlNodePtr up = FNode; up != nullptr; up = child.FNode->children ? up->parent : nullptr)
        if (up == child.FNode)
            throw EMSXMLError(QStringLiteral("A node cannot be inserted below itself."));
    if (FNode->type == XML_DOCUMENT_NODE) {
        if (type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE || type == XML_ENTITY_REF_NODE)
            throw EMSXMLError(QStringLiteral("Text cannot be inserted at the top level of a document."));
        if (type == XML_ELEMENT_NODE) {
            const xmlNodePtr root = xmlDocGetRootElement(FDom->Doc());
            if (root != nullptr && root != child.FNode && root != replaced.FNode)
                throw EMSXMLError(QStringLiteral("Only one top level element is allowed in an XML document."));
        }
    }
}

TMSXMLNode TMSXMLNode::AppendChild(const TMSXMLNode &child) const
{
    CheckChild(child, TMSXMLNode());
    linkBefore(FNode, child.FNode, nullptr);
    return child;
}

TMSXMLNode TMSXMLNode::InsertBefore(const TMSXMLNode &child, const TMSXMLNode &reference) const
{
    if (reference.IsNull())
        return AppendChild(child);
    CheckChild(child, TMSXMLNode());
    if (reference.FNode->parent != FNode)
        throw EMSXMLError(QStringLiteral("The reference node is not a child of this node."));
    if (reference.FNode == child.FNode)
        return child;
    linkBefore(FNode, child.FNode, reference.FNode);
    return child;
}

TMSXMLNode TMSXMLNode::ReplaceChild(const TMSXMLNode &child, const TMSXMLNode &oldChild) const
{
    CheckChild(child, oldChild);
    if (oldChild.IsNull() || oldChild.FNode->parent != FNode)
        throw EMSXMLError(QStringLiteral("The node to replace is not a child of this node."));
    if (oldChild.FNode == child.FNode)
        return oldChild;
    linkBefore(FNode, child.FNode, oldChild.FNode);
    xmlUnlinkNode(oldChild.FNode);
    FDom->Detached(oldChild.FNode);
    return oldChild;
}

TMSXMLNode TMSXMLNode::RemoveChild(const TMSXMLNode &child) const
{
    if (FNode == nullptr || child.IsNull() || child.FNode->parent != FNode)
        throw EMSXMLError(QStringLiteral("The node to remove is not a child of this node."));
    xmlUnlinkNode(child.FNode);
    FDom->Detached(child.FNode);
    return child;
}

TMSXMLNode TMSXMLNode::SelectSingleNode(const QString &expression) const
{
    if (FNode == nullptr)
        return TMSXMLNode();
    initLibXml();
    TErrorCollector errors;
    TThreadErrorScope scope(&errors);
    xmlXPathContextPtr context = xmlXPathNewContext(FDom->Doc());
    if (context == nullptr)
        throw EMSXMLError(QStringLiteral("Out of memory."));
    context->node = FNode;
    context->error = &TErrorCollector::Handler;
    context->userData = &errors;
    const QByteArray bytes = expression.toUtf8();
    xmlXPathObjectPtr result = xmlXPathEvalExpression(utf8(bytes), context);
    TMSXMLNode found;
    if (result != nullptr && result->type == XPATH_NODESET && result->nodesetval != nullptr) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlNodePtr node = result->nodesetval->nodeTab[i];
            // Namespace nodes in a result are copies owned by the result; never hand them out.
            if (node != nullptr && node->type != XML_NAMESPACE_DECL) {
                found = Wrap(node);
                break;
            }
        }
    }
    const bool failed = result == nullptr;
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    if (failed)
        throw EMSXMLError(NVKFormatS(QStringLiteral("Invalid XPath expression '%s': %s"),
                                     {expression, errors.Failed ? errors.Reason : QStringLiteral("error")}));
    return found;
}

bool TMSXMLNode::HasAttribute(const QString &name) const
{
    if (FNode == nullptr || FNode->type != XML_ELEMENT_NODE)
        return false;
    return findAttr(FNode, name.toUtf8()) != nullptr;
}

QString TMSXMLNode::GetAttribute(const QString &name) const
{
    if (FNode == nullptr || FNode->type != XML_ELEMENT_NODE)
        return QString();
    const xmlAttrPtr attr = findAttr(FNode, name.toUtf8());
    return attr ? collectText(reinterpret_cast<const xmlNode *>(attr)) : QString();
}

void TMSXMLNode::SetAttribute(const QString &name, const QString &value) const
{
    if (FNode == nullptr || FNode->type != XML_ELEMENT_NODE)
        return;
    const QByteArray nameBytes = checkedName(name);
    const QByteArray valueBytes = checkedText(value);
    if (xmlAttrPtr attr = findAttr(FNode, nameBytes)) {
        // Replace the value in place so the attribute keeps its position. The old value nodes
        // are kept (detached) because a TMSXMLNode may hold one.
        while (attr->children != nullptr) {
            xmlNodePtr old = attr->children;
            xmlUnlinkNode(old);
            FDom->Detached(old);
        }
        xmlNodePtr text = xmlNewDocText(FDom->Doc(), utf8(valueBytes));
        if (text == nullptr)
            throw EMSXMLError(QStringLiteral("Out of memory."));
        text->parent = reinterpret_cast<xmlNodePtr>(attr);
        attr->children = text;
        attr->last = text;
        return;
    }
    if (xmlNewProp(FNode, utf8(nameBytes), utf8(valueBytes)) == nullptr)
        throw EMSXMLError(QStringLiteral("Out of memory."));
}

void TMSXMLNode::RemoveAttribute(const QString &name) const
{
    if (FNode == nullptr || FNode->type != XML_ELEMENT_NODE)
        return;
    if (xmlAttrPtr attr = findAttr(FNode, name.toUtf8())) {
        // Detached rather than freed: an XPath selection may have handed it out as a node.
        xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(attr));
        FDom->Detached(reinterpret_cast<xmlNodePtr>(attr));
    }
}

QStringList TMSXMLNode::AttributeNames() const
{
    QStringList names;
    if (FNode == nullptr || FNode->type != XML_ELEMENT_NODE)
        return names;
    for (xmlAttrPtr attr = FNode->properties; attr != nullptr; attr = attr->next)
        names.append(nodeName(reinterpret_cast<const xmlNode *>(attr)));
    return names;
}

TMSXMLNode TMSXMLNode::DocumentElement() const
{
    return FDom ? Wrap(xmlDocGetRootElement(FDom->Doc())) : TMSXMLNode();
}

TMSXMLNode TMSXMLNode::CreateElement(const QString &name) const
{
    if (FDom == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    const QByteArray bytes = checkedName(name);
    return Create(xmlNewDocNode(FDom->Doc(), nullptr, utf8(bytes), nullptr));
}

TMSXMLNode TMSXMLNode::CreateTextNode(const QString &text) const
{
    if (FDom == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    const QByteArray bytes = checkedText(text);
    return Create(xmlNewDocTextLen(FDom->Doc(), utf8(bytes), int(bytes.size())));
}

TMSXMLNode TMSXMLNode::CreateCDATASection(const QString &text) const
{
    if (FDom == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    if (text.contains(QLatin1String("]]>")))
        throw EMSXMLError(QStringLiteral("A CDATA section cannot contain \"]]>\"."));
    const QByteArray bytes = checkedText(text);
    return Create(xmlNewCDataBlock(FDom->Doc(), utf8(bytes), int(bytes.size())));
}

TMSXMLNode TMSXMLNode::CreateComment(const QString &text) const
{
    if (FDom == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    if (text.contains(QLatin1String("--")) || text.endsWith(QLatin1Char('-')))
        throw EMSXMLError(QStringLiteral("A comment cannot contain \"--\" or end with \"-\"."));
    const QByteArray bytes = checkedText(text);
    return Create(xmlNewDocComment(FDom->Doc(), utf8(bytes)));
}

TMSXMLNode TMSXMLNode::CreateProcessingInstruction(const QString &target, const QString &data) const
{
    if (FDom == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    // The XML declaration is not a node here: it is the wrapper's Version, Encoding and Standalone.
    if (target.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        throw EMSXMLError(QStringLiteral("The XML declaration is set through the document's version, encoding "
                                         "and standalone values."));
    const QByteArray name = checkedName(target);
    if (data.contains(QLatin1String("?>")))
        throw EMSXMLError(QStringLiteral("A processing instruction cannot contain \"?>\"."));
    const QByteArray bytes = checkedText(data);
    return Create(xmlNewDocPI(FDom->Doc(), utf8(name), bytes.isEmpty() ? nullptr : utf8(bytes)));
}

// ---------------------------------------------------------------------------------------------
// Saving

namespace {

bool isUnicodeEncoding(const QString &encoding)
{
    const QString name = encoding.toUpper().remove(QLatin1Char('-')).remove(QLatin1Char('_'));
    return name.isEmpty() || name == QLatin1String("UTF8") || name == QLatin1String("UTF16") ||
           name == QLatin1String("UTF16LE") || name == QLatin1String("UTF16BE") || name == QLatin1String("UTF32") ||
           name == QLatin1String("UTF32LE") || name == QLatin1String("UTF32BE") || name == QLatin1String("UCS4") ||
           name == QLatin1String("UCS4LE") || name == QLatin1String("UCS4BE");
}

// Finds text that the target encoding cannot hold in places where XML has no character
// references: CDATA sections, comments, processing instructions and names. libxml2 would write
// a character reference there too, which silently changes the text.
class TEncodabilityCheck
{
public:
    explicit TEncodabilityCheck(const QString &encoding)
    {
        if (!isUnicodeEncoding(encoding))
            FConverter = iconv_open(encoding.toLatin1().constData(), "UTF-8");
    }
    ~TEncodabilityCheck()
    {
        if (FConverter != reinterpret_cast<iconv_t>(-1))
            iconv_close(FConverter);
    }
    TEncodabilityCheck(const TEncodabilityCheck &) = delete;
    TEncodabilityCheck &operator=(const TEncodabilityCheck &) = delete;

    // The first character that does not convert, or -1.
    qint64 FirstBad(const xmlChar *text)
    {
        if (FConverter == reinterpret_cast<iconv_t>(-1) || text == nullptr)
            return -1;
        iconv(FConverter, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(reinterpret_cast<const char *>(text));
        size_t inLeft = std::strlen(in);
        char buffer[4096];
        while (inLeft > 0) {
            char *out = buffer;
            size_t outLeft = sizeof(buffer);
            if (iconv(FConverter, &in, &inLeft, &out, &outLeft) == size_t(-1) && errno != E2BIG) {
                const QString rest = QString::fromUtf8(in, qsizetype(std::min<size_t>(inLeft, 4)));
                return rest.isEmpty()                 ? 0
                       : rest.at(0).isHighSurrogate() ? QChar::surrogateToUcs4(rest.at(0), rest.at(1))
                                                      : rest.at(0).unicode();
            }
        }
        return -1;
    }

    void Check(xmlNodePtr root, const QString &encoding)
    {
        if (FConverter == reinterpret_cast<iconv_t>(-1))
            return;
        xmlNodePtr node = root;
        while (node != nullptr) {
            const xmlChar *texts[2] = {nullptr, nullptr};
            const char *where = nullptr;
            switch (node->type) {
            case XML_CDATA_SECTION_NODE:
                texts[0] = node->content;
                where = "a CDATA section";
                break;
            case XML_COMMENT_NODE:
                texts[0] = node->content;
                where = "a comment";
                break;
            case XML_PI_NODE:
                texts[0] = node->name;
                texts[1] = node->content;
                where = "a processing instruction";
                break;
            case XML_ELEMENT_NODE:
                texts[0] = node->name;
                where = "an element name";
                break;
            default:
                break;
            }
            for (const xmlChar *text : texts) {
                const qint64 bad = FirstBad(text);
                if (bad >= 0)
                    Fail(bad, encoding, QString::fromLatin1(where));
            }
            if (node->type == XML_ELEMENT_NODE)
                for (xmlAttrPtr attr = node->properties; attr != nullptr; attr = attr->next) {
                    const qint64 bad = FirstBad(attr->name);
                    if (bad >= 0)
                        Fail(bad, encoding, QStringLiteral("an attribute name"));
                }
            if (node->children != nullptr && node->type != XML_ENTITY_REF_NODE) {
                node = node->children;
                continue;
            }
            while (node != nullptr && node != root && node->next == nullptr)
                node = node->parent;
            node = (node == nullptr || node == root) ? nullptr : node->next;
        }
    }

private:
    [[noreturn]] static void Fail(qint64 character, const QString &encoding, const QString &where)
    {
        throw EMSXMLError(
            QStringLiteral("The character U+%1 in %2 cannot be written in the encoding %3.")
                .arg(QString::number(character, 16).toUpper().rightJustified(4, QLatin1Char('0')), where, encoding));
    }

    iconv_t FConverter = reinterpret_cast<iconv_t>(-1);
};

int appendToByteArray(void *context, const char *buffer, int length)
{
    static_cast<QByteArray *>(context)->append(buffer, length);
    return length;
}

int closeNothing(void *)
{
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TMSXMLDocument

TMSXMLDocument::TMSXMLDocument()
{
    initLibXml();
    xmlDocPtr doc = xmlNewDoc(reinterpret_cast<const xmlChar *>("1.0"));
    if (doc == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
    FDom = std::make_shared<TMSXMLDom>(doc);
}

TMSXMLDocument::~TMSXMLDocument() = default;

TMSXMLNode TMSXMLDocument::GetDocument() const
{
    return TMSXMLNode(FDom, reinterpret_cast<xmlNodePtr>(FDom->Doc()));
}

void TMSXMLDocument::WriteDeclaration(const QString &version, const QString &encoding, const QString &standalone)
{
    FHasDeclaration = true;
    FVersion = version;
    FEncoding = encoding;
    FStandalone = standalone;
}

void TMSXMLDocument::SetVersion(const QString &value)
{
    static const QRegularExpression valid(QStringLiteral("^1\\.[0-9]+$"));
    if (!value.isEmpty() && !valid.match(value).hasMatch())
        throw EMSXMLError(NVKFormatS(QStringLiteral("'%s' is not a valid XML version."), {value}));
    WriteDeclaration(value, FHasDeclaration ? FEncoding : QString(), FHasDeclaration ? FStandalone : QString());
}

void TMSXMLDocument::SetEncoding(const QString &value)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z][A-Za-z0-9._-]*$"));
    if (!value.isEmpty() && !valid.match(value).hasMatch())
        throw EMSXMLError(NVKFormatS(QStringLiteral("'%s' is not a valid encoding name."), {value}));
    WriteDeclaration(FHasDeclaration ? FVersion : QStringLiteral("1.0"), value,
                     FHasDeclaration ? FStandalone : QString());
}

void TMSXMLDocument::SetStandalone(bool value)
{
    if (GetStandalone() == value)
        return;
    WriteDeclaration(FHasDeclaration ? FVersion : QStringLiteral("1.0"), FHasDeclaration ? FEncoding : QString(),
                     value ? QStringLiteral("yes") : QStringLiteral("no"));
}

void TMSXMLDocument::Load(const QByteArray &bytes, const QString &url, bool ignoreEncoding)
{
    initLibXml();
    // libxml2 takes the length as an int.
    if (bytes.size() > std::numeric_limits<int>::max())
        throw EMSXMLParseError(QStringLiteral("The document is larger than 2 GB."), XML_ERR_NO_MEMORY, 0, 0);
    TErrorCollector errors;
    TThreadErrorScope scope(&errors);
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr)
        throw EMSXMLParseError(QString::fromLatin1(SParseFailed), 0, 0, 0);
    // Parser errors carry their parser context; the collector for this call hangs on it, so
    // concurrent loads on other threads never share one.
    context->_private = &errors;
    context->sax->serror = [](void *, xmlErrorPtr error) {
        if (error == nullptr || error->ctxt == nullptr)
            return;
        auto *ctxt = static_cast<xmlParserCtxtPtr>(error->ctxt);
        if (ctxt->_private != nullptr)
            static_cast<TErrorCollector *>(ctxt->_private)->Take(error);
    };
    // libxml2 would merge consecutive CDATA sections into one node and then refuse the merged
    // node once it passes ten million bytes, so a body written in pieces could not be read
    // back. Each section becomes its own node; the per-section limit still applies.
    context->sax->cdataBlock = [](void *userData, const xmlChar *value, int length) {
        auto *ctxt = static_cast<xmlParserCtxtPtr>(userData);
        if (ctxt == nullptr || ctxt->node == nullptr || ctxt->disableSAX)
            return;
        xmlNodePtr node = xmlNewCDataBlock(ctxt->myDoc, value, length);
        if (node == nullptr) {
            if (ctxt->_private != nullptr) {
                auto *errors = static_cast<TErrorCollector *>(ctxt->_private);
                if (!errors->Failed) {
                    errors->Failed = true;
                    errors->Reason = QStringLiteral("Out of memory.");
                    errors->Code = XML_ERR_NO_MEMORY;
                    errors->Line = xmlSAX2GetLineNumber(ctxt);
                    errors->Column = xmlSAX2GetColumnNumber(ctxt);
                }
            }
            xmlStopParser(ctxt);
            return;
        }
        xmlAddChild(ctxt->node, node);
    };
    // No network, no DTD loading, no entity substitution, no XML_PARSE_HUGE: libxml2's limits
    // on depth, text size and entity amplification stay on.
    int options = XML_PARSE_NONET | XML_PARSE_NOBLANKS;
    if (ignoreEncoding)
        options |= XML_PARSE_IGNORE_ENC;
    const QByteArray urlBytes = url.toUtf8();
    xmlDocPtr doc = xmlCtxtReadMemory(context, bytes.constData(), int(bytes.size()),
                                      urlBytes.isEmpty() ? nullptr : urlBytes.constData(),
                                      ignoreEncoding ? "UTF-8" : nullptr, options);
    const bool wellFormed = context->wellFormed != 0;
    context->_private = nullptr;
    xmlFreeParserCtxt(context);
    if (doc == nullptr || !wellFormed || errors.Failed) {
        if (doc != nullptr)
            xmlFreeDoc(doc);
        if (errors.Failed)
            throw EMSXMLParseError(errors.Reason, errors.Code, errors.Line, errors.Column);
        throw EMSXMLParseError(QString::fromLatin1(SParseFailed), 0, 0, 0);
    }
    if (const xmlNode *reference = findEntityReference(doc)) {
        const QString name = fromXml(reference->name);
        const int line = reference->parent ? int(xmlGetLineNo(reference->parent)) : 0;
        xmlFreeDoc(doc);
        throw EMSXMLParseError(NVKFormatS(QStringLiteral("The entity reference '&%s;' is not supported."), {name}),
                               XML_ERR_UNDECLARED_ENTITY, std::max(line, 0), 0);
    }
    auto dom = std::make_shared<TMSXMLDom>(doc);
    // libxml2 keeps the declaration as document fields; standalone -1 means there was none.
    const bool hasDeclaration = doc->standalone != -1;
    QString encoding = fromXml(doc->encoding);
    TMSXMLNode node(dom, reinterpret_cast<xmlNodePtr>(doc));
    AfterLoad(node);
    FDom = dom;
    FHasDeclaration = hasDeclaration;
    FVersion = hasDeclaration ? fromXml(doc->version) : QString();
    FEncoding = hasDeclaration ? encoding : QString();
    FStandalone = doc->standalone == 1   ? QStringLiteral("yes")
                  : doc->standalone == 0 ? QStringLiteral("no")
                                         : QString();
}

void TMSXMLDocument::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EMSXMLParseError(NVKFormatS(QStringLiteral("Cannot open '%s': %s"), {fileName, file.errorString()}), 0, 0,
                               0);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EMSXMLParseError(NVKFormatS(QStringLiteral("Cannot read '%s': %s"), {fileName, file.errorString()}), 0, 0,
                               0);
    Load(bytes, fileName, false);
    SetFileName(fileName);
}

void TMSXMLDocument::LoadFromStream(QIODevice *stream)
{
    if (stream == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullObject));
    const QByteArray bytes = stream->readAll();
    Load(bytes, QString(), false);
}

void TMSXMLDocument::LoadFromBytes(const QByteArray &bytes)
{
    Load(bytes, QString(), false);
}

void TMSXMLDocument::LoadXML(const QString &text)
{
    // The declaration may name any encoding, but the text is characters already; only check
    // that the name is one the layer could read and write, and keep it for saving.
    static const QRegularExpression declaration(
        QStringLiteral("^\\x{FEFF}?<\\?xml\\s[^>]*?encoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch match = declaration.match(text);
    QString encoding;
    if (match.hasMatch()) {
        encoding = match.captured(2);
        const QByteArray name = encoding.toLatin1();
        xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(name.constData());
        if (handler == nullptr)
            throw EMSXMLParseError(NVKFormatS(QStringLiteral("Unsupported encoding %s"), {encoding}),
                                   XML_ERR_UNSUPPORTED_ENCODING, 1, 1);
        xmlCharEncCloseFunc(handler);
    }
    Load(text.toUtf8(), QString(), true);
    if (FHasDeclaration)
        FEncoding = encoding;
}

QByteArray TMSXMLDocument::SaveToBytes()
{
    initLibXml();
    TMSXMLNode document = GetDocument();
    BeforeSave(document);
    xmlDocPtr doc = FDom->Doc();
    const QString encoding = FHasDeclaration ? FEncoding : QString();
    TEncodabilityCheck check(encoding);
    check.Check(reinterpret_cast<xmlNodePtr>(doc), encoding);

    TErrorCollector errors;
    TThreadErrorScope scope(&errors);
    QByteArray result;
    int options = XML_SAVE_AS_XML;
    const QByteArray encodingBytes = encoding.isEmpty() ? QByteArray("UTF-8") : encoding.toLatin1();
    if (FHasDeclaration && encoding.isEmpty()) {
        // libxml2 would name the encoding it writes in the declaration; without a named encoding
        // the declaration carries none, and the bytes are UTF-8.
        QByteArray text = "<?xml version=\"" + (FVersion.isEmpty() ? QByteArray("1.0") : FVersion.toLatin1()) + '"';
        if (!FStandalone.isEmpty())
            text += " standalone=\"" + FStandalone.toLatin1() + '"';
        result = text + "?>\n";
        options |= XML_SAVE_NO_DECL;
    } else if (!FHasDeclaration) {
        options |= XML_SAVE_NO_DECL;
    }
    xmlChar *oldVersion = const_cast<xmlChar *>(doc->version);
    const xmlChar *oldEncoding = doc->encoding;
    const int oldStandalone = doc->standalone;
    const QByteArray version = FVersion.isEmpty() ? QByteArray("1.0") : FVersion.toLatin1();
    doc->version = utf8(version);
    // With no encoding on the document libxml2 writes every non-ASCII attribute character as a
    // reference; naming the target keeps characters as characters wherever it can hold them.
    doc->encoding = utf8(encodingBytes);
    doc->standalone = FStandalone == QLatin1String("yes") ? 1 : FStandalone == QLatin1String("no") ? 0 : -1;
    xmlSaveCtxtPtr save = xmlSaveToIO(appendToByteArray, closeNothing, &result, encodingBytes.constData(), options);
    bool ok = false;
    if (save != nullptr) {
        ok = xmlSaveDoc(save, doc) >= 0;
        ok = xmlSaveClose(save) >= 0 && ok;
    }
    doc->version = oldVersion;
    doc->encoding = oldEncoding;
    doc->standalone = oldStandalone;
    if (save == nullptr)
        throw EMSXMLError(
            NVKFormatS(QStringLiteral("The encoding %s is not supported."), {QString::fromLatin1(encodingBytes)}));
    if (!ok)
        throw EMSXMLError(errors.Failed ? errors.Reason : QStringLiteral("The XML document could not be serialised."));
    return result;
}

void TMSXMLDocument::SaveToStream(QIODevice *stream)
{
    if (stream == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullObject));
    const QByteArray bytes = SaveToBytes();
    if (stream->write(bytes) != bytes.size())
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot write the XML document: %s"), {stream->errorString()}));
}

void TMSXMLDocument::SaveToFile(const QString &fileName)
{
    const QByteArray bytes = SaveToBytes();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {fileName, file.errorString()}));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {fileName, file.errorString()}));
    SetFileName(fileName);
}

// ---------------------------------------------------------------------------------------------
// TMSXMLIterator

TMSXMLIterator::TMSXMLIterator(const TMSXMLNode &node, const QString &name) : FNode(node), FName(name)
{
    if (node.IsNull())
        throw EMSXMLError(QString::fromLatin1(SNullInterface));
}

bool TMSXMLIterator::Next()
{
    if (FAtEnd)
        return false;
    TMSXMLNode node = FCurrent ? FCurrent.NextSibling() : FNode.FirstChild();
    while (node && node.NodeName() != FName)
        node = node.NextSibling();
    FCurrent = node;
    FAtEnd = node.IsNull();
    return !FAtEnd;
}

void TMSXMLIterator::Reset()
{
    FCurrent = TMSXMLNode();
    FAtEnd = false;
}
