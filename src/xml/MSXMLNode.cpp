// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/MSXMLDoc.h"
#include "xml/MSXMLPrivate.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

using namespace MSXMLInternal;

namespace {

[[noreturn]] void failChar(char32_t c)
{
    throw EMSXMLError(QStringLiteral("The character U+%1 cannot be stored in XML.")
                          .arg(QString::number(qint64(c), 16).toUpper().rightJustified(4, QLatin1Char('0'))));
}

} // namespace

// XML 1.0 cannot hold these characters at all, not even as character references.
void MSXMLInternal::checkChars(const QString &text)
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
            failChar(c);
    }
}

// The same for UTF-8 that came from a QString, so it holds no surrogates: control characters
// and U+FFFE, U+FFFF (EF BF BE, EF BF BF) are all it can have.
void MSXMLInternal::checkUtf8Chars(const char *text, qsizetype size)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        if (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D)
            failChar(c);
        if (c == 0xEF && i + 2 < size && bytes[i + 1] == 0xBF && (bytes[i + 2] == 0xBE || bytes[i + 2] == 0xBF))
            failChar(bytes[i + 2] == 0xBE ? 0xFFFE : 0xFFFF);
    }
}

namespace {

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
        return NVKFromUtf8(nodeContent(root));
    }
    if (root->type != XML_ELEMENT_NODE && root->type != XML_DOCUMENT_NODE && root->type != XML_ATTRIBUTE_NODE &&
        root->type != XML_DOCUMENT_FRAG_NODE)
        return QString();
    const xmlNode *node = root->children;
    while (node != nullptr) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)
            result.append(nodeContent(node));
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
    return NVKFromUtf8(result);
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
    return NVKFromUtf8(nodeContent(FNode));
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
        FNode->psvi = nullptr;
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
    return NVKFromUtf8(bytes);
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
