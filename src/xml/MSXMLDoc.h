// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"
#include "base/NVKIntf.h"

#include <QString>
#include <QStringList>
#include <memory>

class QIODevice;
struct _xmlNode;
class TMSXMLDom;

class EMSXMLError : public ENVKError
{
public:
    using ENVKError::ENVKError;
};

// A document that could not be loaded. Line and LinePos count from 1; all three numbers are 0
// when the failure has no position (a missing file, for instance).
class EMSXMLParseError : public EMSXMLError
{
public:
    EMSXMLParseError(const QString &reason, int errorCode, int line, int linePos);
    int ErrorCode() const { return FErrorCode; }
    int Line() const { return FLine; }
    int LinePos() const { return FLinePos; }

private:
    int FErrorCode;
    int FLine;
    int FLinePos;
};

// Node types, numbered as DOM node types are.
enum TMSXMLNodeType : int {
    ntNone = 0,
    ntElement = 1,
    ntAttribute = 2,
    ntText = 3,
    ntCDATASection = 4,
    ntEntityReference = 5,
    ntProcessingInstruction = 7,
    ntComment = 8,
    ntDocument = 9,
    ntOther = 99,
};

// A node of a DOM document, as a cheap value with pointer semantics (a const node can still be
// changed, as a const pointer can). A node keeps its DOM document alive, so it stays
// valid after the wrapper loads another file or goes away. A default-constructed node is "none";
// every query on none answers empty, every change on none does nothing. Nodes removed from the
// tree live on (detached) until their DOM document is freed.
//
// Texts are UTF-16 here and UTF-8 inside. Entity references that a loaded file holds are never
// expanded: Text() and GetAttribute() skip them.
class TMSXMLNode
{
public:
    TMSXMLNode() = default;

    bool IsNull() const { return FNode == nullptr; }
    explicit operator bool() const { return FNode != nullptr; }
    bool operator==(const TMSXMLNode &other) const { return FNode == other.FNode; }
    bool operator!=(const TMSXMLNode &other) const { return FNode != other.FNode; }

    int NodeType() const;
    // Element: the tag name; processing instruction: its target; text "#text",
    // CDATA "#cdata-section", comment "#comment", document "#document".
    QString NodeName() const;
    // The text of a text, CDATA, comment or processing instruction node; empty for others.
    QString NodeValue() const;
    // All text and CDATA below the node joined in document order (a text node: its own text).
    QString Text() const;
    // Element: replaces all children by one text node (none for an empty text). Text-like nodes:
    // replaces their text. Raises EMSXMLError for a character that XML cannot hold.
    void SetText(const QString &text) const;
    // The node serialised, without declaration and without added whitespace; characters stay characters.
    QString Xml() const;

    TMSXMLNode ParentNode() const;
    TMSXMLNode FirstChild() const;
    TMSXMLNode LastChild() const;
    TMSXMLNode NextSibling() const;
    TMSXMLNode PreviousSibling() const;
    bool HasChildNodes() const;
    // Counts by walking the children; prefer FirstChild/NextSibling or TMSXMLIterator in loops.
    int ChildCount() const;
    TMSXMLNode OwnerDocument() const;

    // Tree changes. The new child must belong to the same DOM document (created by it or taken
    // from it); it is first removed from where it is. Raise EMSXMLError for a foreign node, a
    // node that would become its own descendant, a second document element, or a child that
    // cannot sit under this node. Return the inserted (or removed) node.
    TMSXMLNode AppendChild(const TMSXMLNode &child) const;
    TMSXMLNode InsertBefore(const TMSXMLNode &child, const TMSXMLNode &reference) const;
    TMSXMLNode ReplaceChild(const TMSXMLNode &child, const TMSXMLNode &oldChild) const;
    TMSXMLNode RemoveChild(const TMSXMLNode &child) const;

    // The first node the XPath expression selects from this node (document order), or none.
    // Raises EMSXMLError for an expression that does not compile. Values put into expressions
    // must be quoted with MSXMLQuoteXPath.
    TMSXMLNode SelectSingleNode(const QString &expression) const;

    // Elements. Attributes keep their order; setting an existing one changes it in place, a new
    // one is appended. Names are checked (EMSXMLError for a name XML does not allow).
    QString TagName() const { return NodeType() == ntElement ? NodeName() : QString(); }
    bool HasAttribute(const QString &name) const;
    QString GetAttribute(const QString &name) const;
    void SetAttribute(const QString &name, const QString &value) const;
    void RemoveAttribute(const QString &name) const;
    QStringList AttributeNames() const;

    // Documents (any node of the document may be used; the new nodes start detached).
    TMSXMLNode DocumentElement() const;
    TMSXMLNode CreateElement(const QString &name) const;
    TMSXMLNode CreateTextNode(const QString &text) const;
    TMSXMLNode CreateCDATASection(const QString &text) const;
    TMSXMLNode CreateComment(const QString &text) const;
    TMSXMLNode CreateProcessingInstruction(const QString &target, const QString &data) const;

    // libxml2's node, for code that needs more than this class offers; valid while a TMSXMLNode
    // of the same document exists.
    _xmlNode *Handle() const { return FNode; }

private:
    friend class TMSXMLDom;
    friend class TMSXMLDocument;
    TMSXMLNode(std::shared_ptr<TMSXMLDom> dom, _xmlNode *node);
    TMSXMLNode Wrap(_xmlNode *node) const;
    TMSXMLNode Create(_xmlNode *node) const;
    void CheckChild(const TMSXMLNode &child, const TMSXMLNode &replaced) const;

    std::shared_ptr<TMSXMLDom> FDom;
    _xmlNode *FNode = nullptr;
};

class IMSXMLDocument : public virtual INVKUnknown
{
public:
    // The pseudo-attributes of the XML declaration; empty when there is no declaration or it
    // does not name the attribute. Writing one creates the declaration (version "1.0") when
    // there is none; writing an empty text leaves the attribute out. Version and Encoding must
    // be well-formed names (EMSXMLError otherwise); Encoding also selects the bytes on saving.
    virtual QString GetVersion() const = 0;
    virtual void SetVersion(const QString &value) = 0;
    virtual QString GetEncoding() const = 0;
    virtual void SetEncoding(const QString &value) = 0;
    // True when standalone is "yes"; setting writes "yes" or "no" and changes nothing when equal.
    virtual bool GetStandalone() const = 0;
    virtual void SetStandalone(bool value) = 0;
    virtual bool HasDeclaration() const = 0;

    virtual QString GetFileName() const = 0;
    // The DOM document node. Replaced by each successful load.
    virtual TMSXMLNode GetDocument() const = 0;

    // Loads into a fresh DOM document; on failure raises EMSXMLParseError and keeps the current one.
    // Bytes follow their declaration's encoding (or byte order mark).
    virtual void LoadFromFile(const QString &fileName) = 0;
    virtual void LoadFromStream(QIODevice *stream) = 0;
    virtual void LoadFromBytes(const QByteArray &bytes) = 0;
    // Text that is already characters: the declaration's encoding must be one the layer knows
    // but does not change how the text is read.
    virtual void LoadXML(const QString &text) = 0;

    // Writes in the declaration's encoding (UTF-8 when none is named). Characters the encoding
    // cannot hold become character references; where XML allows none (CDATA, comments, names)
    // the save fails with EMSXMLError. A file is replaced only once the new one is complete:
    // a failed save leaves it as it was.
    virtual void SaveToFile(const QString &fileName) = 0;
    virtual void SaveToStream(QIODevice *stream) = 0;
    virtual QByteArray SaveToBytes() = 0;
};
using IMSXMLDocumentPtr = std::shared_ptr<IMSXMLDocument>;

class TMSXMLDocument : public IMSXMLDocument
{
public:
    TMSXMLDocument();
    ~TMSXMLDocument() override;

    QString GetVersion() const override { return FVersion; }
    void SetVersion(const QString &value) override;
    QString GetEncoding() const override { return FEncoding; }
    void SetEncoding(const QString &value) override;
    bool GetStandalone() const override { return FStandalone == QLatin1String("yes"); }
    void SetStandalone(bool value) override;
    bool HasDeclaration() const override { return FHasDeclaration; }

    QString GetFileName() const override { return FFileName; }
    TMSXMLNode GetDocument() const override;

    void LoadFromFile(const QString &fileName) override;
    void LoadFromStream(QIODevice *stream) override;
    void LoadFromBytes(const QByteArray &bytes) override;
    void LoadXML(const QString &text) override;

    void SaveToFile(const QString &fileName) override;
    void SaveToStream(QIODevice *stream) override;
    QByteArray SaveToBytes() override;

    // For readers of large documents: loads made after this keep CDATA text in a few large
    // blocks beside the tree instead of one allocation per section. The tree stays small and
    // both go back to the system quickly; every read of a node sees the text as usual.
    void SetKeepCDATAApart(bool value) { FKeepCDATAApart = value; }

protected:
    virtual void SetFileName(const QString &value) { FFileName = value; }
    // Hooks for descendants: applied after a successful load and before a save.
    virtual void AfterLoad(TMSXMLNode &) {}
    virtual void BeforeSave(TMSXMLNode &) {}

private:
    void Load(const QByteArray &bytes, const QString &url, bool ignoreEncoding);
    // Serialises into bytes, or (bytes null) straight into device; raises on failure.
    void Serialise(QByteArray *bytes, QIODevice *device);
    void WriteDeclaration(const QString &version, const QString &encoding, const QString &standalone);

    QString FFileName;
    std::shared_ptr<TMSXMLDom> FDom;
    bool FHasDeclaration = false;
    QString FVersion;
    QString FEncoding;
    QString FStandalone;
    bool FKeepCDATAApart = false;
};

// Children of Node named Name, in document order. Next steps to the next one and says whether
// there is one; Reset goes back before the first; Current is none before the first Next and
// after the end. Raises EMSXMLError "NULL interface reference." on a none node.
class IMSXMLIterator : public virtual INVKUnknown
{
public:
    virtual bool Next() = 0;
    virtual void Reset() = 0;
    virtual TMSXMLNode Current() const = 0;
};
using IMSXMLIteratorPtr = std::shared_ptr<IMSXMLIterator>;

class TMSXMLIterator : public IMSXMLIterator
{
public:
    TMSXMLIterator(const TMSXMLNode &node, const QString &name);
    bool Next() override;
    void Reset() override;
    TMSXMLNode Current() const override { return FCurrent; }

private:
    TMSXMLNode FNode;
    QString FName;
    TMSXMLNode FCurrent;
    bool FAtEnd = false;
};
