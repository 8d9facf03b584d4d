// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

// Shared by the XML layer's own files; not for use elsewhere.

#include "base/NVKText.h"
#include "xml/MSXMLDoc.h"

#include <QString>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QByteArrayView>

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

namespace MSXMLInternal {

inline constexpr char SNullInterface[] = "NULL interface reference.";
inline constexpr char SNullObject[] = "NULL object reference.";
inline constexpr char SParseFailed[] = "An error was found while parsing the document.";

// Raise EMSXMLError for a character that XML 1.0 cannot hold at all, not even as a reference.
void checkChars(const QString &text);
void checkUtf8Chars(const char *text, qsizetype size);

// Initialises libxml2 once per process and installs the loader that refuses external entities.
void initLibXml();

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
inline const xmlChar *utf8(const QByteArray &bytes)
{
    return reinterpret_cast<const xmlChar *>(bytes.constData());
}

inline QString fromXml(const xmlChar *text)
{
    return text ? NVKFromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

// CDATA text that a load kept beside the tree (TMSXMLDocument::SetKeepCDATAApart): such a node
// has no content of its own and points at its text through its psvi field, which libxml2 uses
// only for schema validation.
struct TApartText
{
    const char *Data;
    qsizetype Size;
};

// Holds the apart texts in a few large blocks, given back whole when the document goes.
class TApartTextStore
{
public:
    TApartText *Add(const char *data, qsizetype size)
    {
        if (FBlocks.empty() || FCapacity - FUsed < size) {
            FCapacity = std::max(BlockSize, size);
            FBlocks.push_back(std::make_unique_for_overwrite<char[]>(size_t(FCapacity)));
            FUsed = 0;
        }
        char *target = FBlocks.back().get() + FUsed;
        std::copy_n(data, size, target);
        FUsed += size;
        return &FTexts.emplace_back(TApartText{target, size});
    }

    // Adds the text of a CDATA section as the parser would read it from UTF-8 source: line ends
    // become line feeds. Returns null (and adds nothing) when the text is not well-formed UTF-8
    // or holds a character XML does not allow.
    TApartText *AddSectionText(const char *data, qsizetype size);

private:
    static constexpr qsizetype BlockSize = qsizetype(4) << 20;
    std::vector<std::unique_ptr<char[]>> FBlocks;
    qsizetype FUsed = 0;
    qsizetype FCapacity = 0;
    std::deque<TApartText> FTexts;
};

// The bytes of a text-like node, wherever they are kept.
inline QByteArrayView nodeContent(const xmlNode *node)
{
    if (node->type == XML_CDATA_SECTION_NODE && node->psvi != nullptr) {
        const auto *text = static_cast<const TApartText *>(node->psvi);
        return QByteArrayView(text->Data, text->Size);
    }
    return node->content ? QByteArrayView(reinterpret_cast<const char *>(node->content)) : QByteArrayView();
}

} // namespace MSXMLInternal

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
    void KeepApartTexts(std::unique_ptr<MSXMLInternal::TApartTextStore> texts) { FApartTexts = std::move(texts); }
    bool HasApartTexts() const { return FApartTexts != nullptr; }

private:
    xmlDocPtr FDoc;
    std::vector<xmlNodePtr> FDetached;
    std::unique_ptr<MSXMLInternal::TApartTextStore> FApartTexts;
};
