// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/MSXMLDoc.h"
#include "base/NVKSaveFile.h"
#include "xml/MSXMLPrivate.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>

#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlsave.h>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <limits>
#include <mutex>

using namespace MSXMLInternal;

namespace {

// Nothing outside the document itself is ever read: no DTDs, no external entities.
xmlParserInputPtr refuseExternalEntity(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

void initLibXmlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
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

// The parser refuses elements nested deeper than this (without XML_PARSE_HUGE, which stays off).
constexpr int MaxElementDepth = 256;

// True when some element sits more than MaxElementDepth levels deep. Walks iteratively.
bool tooDeep(xmlDocPtr doc)
{
    const xmlNode *top = reinterpret_cast<const xmlNode *>(doc);
    const xmlNode *node = doc->children;
    int depth = 1;
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE && depth > MaxElementDepth)
            return true;
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            node = node->children;
            ++depth;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent == top ? nullptr : node->parent;
            --depth;
        }
        if (node != nullptr)
            node = node->next;
    }
    return false;
}

} // namespace

void MSXMLInternal::initLibXml()
{
    initLibXmlOnce();
}

EMSXMLParseError::EMSXMLParseError(const QString &reason, int errorCode, int line, int linePos)
    : EMSXMLError(reason), FErrorCode(errorCode), FLine(line), FLinePos(linePos)
{
}

// ---------------------------------------------------------------------------------------------
// Saving

namespace {

// What the parser's hooks need for one load.
struct TLoadContext
{
    TErrorCollector *Errors;
    TApartTextStore *ApartTexts;
    // When the sections were taken out before parsing: their texts in document order.
    const std::vector<TApartText *> *Presplit = nullptr;
    size_t NextPresplit = 0;
};

// Reading a large body character by character is most of the parser's work. For UTF-8
// documents without a document type, the CDATA sections are found here instead (comments,
// processing instructions and quoted attribute values are skipped, so only real sections
// count), their texts checked and kept apart, and the parser reads the document with every
// section emptied. Returns the emptied document, or nothing when this way does not apply; the
// caller then parses the document as it is, which also gives every error its exact place.
// Sections taken out here may be of any size: a body another program wrote as one section of
// many megabytes (pictures as hex) reads like any other. The parser, which would refuse such a
// section, keeps its limits for all it still reads: nesting, names, attributes, entities.
QByteArray presplitCDATA(const QByteArray &bytes, TApartTextStore &store, std::vector<TApartText *> &texts)
{
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    const auto find = [end](const char *from, QByteArrayView what) -> const char * {
        const qsizetype at = QByteArrayView(from, end - from).indexOf(what);
        return at < 0 ? nullptr : from + at;
    };
    const char *cursor = begin;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        cursor += 3;
    if (QByteArrayView(cursor, end - cursor).startsWith("<?xml")) {
        const char *close = find(cursor, "?>");
        if (close == nullptr)
            return {};
        const QByteArray declaration(cursor, close - cursor);
        const qsizetype at = declaration.indexOf("encoding");
        if (at >= 0) {
            qsizetype open = at + 8;
            while (open < declaration.size() && declaration.at(open) != '"' && declaration.at(open) != '\'')
                ++open;
            if (open >= declaration.size())
                return {};
            const qsizetype stop = declaration.indexOf(declaration.at(open), open + 1);
            if (stop < 0 || declaration.mid(open + 1, stop - open - 1).toUpper() != "UTF-8")
                return {};
        }
    } else if (cursor == begin && (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE") ||
                                   (bytes.size() > 1 && (bytes.at(0) == 0 || bytes.at(1) == 0)))) {
        return {};
    }
    QByteArray skeleton;
    const char *copied = begin;
    while (const char *lt = static_cast<const char *>(std::memchr(cursor, '<', size_t(end - cursor)))) {
        const QByteArrayView rest(lt, end - lt);
        if (rest.startsWith("<!--")) {
            const char *close = find(lt + 4, "-->");
            if (close == nullptr)
                return {};
            cursor = close + 3;
        } else if (rest.startsWith("<?")) {
            const char *close = find(lt + 2, "?>");
            if (close == nullptr)
                return {};
            cursor = close + 2;
        } else if (rest.startsWith("<![CDATA[")) {
            const char *start = lt + 9;
            const char *close = find(start, "]]>");
            if (close == nullptr)
                return {};
            TApartText *text = store.AddSectionText(start, close - start);
            if (text == nullptr)
                return {};
            texts.push_back(text);
            skeleton.append(copied, start - copied);
            copied = close;
            cursor = close + 3;
        } else if (rest.startsWith("<!")) {
            return {};
        } else {
            const char *p = lt + 1;
            char quote = 0;
            for (; p < end; ++p) {
                if (quote != 0) {
                    if (*p == quote)
                        quote = 0;
                } else if (*p == '"' || *p == '\'') {
                    quote = *p;
                } else if (*p == '>') {
                    break;
                }
            }
            if (p >= end)
                return {};
            cursor = p + 1;
        }
    }
    if (texts.empty())
        return {};
    skeleton.append(copied, end - copied);
    return skeleton;
}

// Calls visit for root and every node below it in document order, without recursion.
template <typename TVisit> void forEachNode(xmlNodePtr root, TVisit visit)
{
    xmlNodePtr node = root;
    while (node != nullptr) {
        visit(node);
        if (node->children != nullptr && node->type != XML_ENTITY_REF_NODE) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node != root && node->next == nullptr)
            node = node->parent;
        node = (node == nullptr || node == root) ? nullptr : node->next;
    }
}

// Puts apart texts back into their nodes, so the serialiser and the checks see them.
void takeBackApartTexts(xmlNodePtr root)
{
    forEachNode(root, [](xmlNodePtr node) {
        if (node->type == XML_CDATA_SECTION_NODE && node->psvi != nullptr) {
            const QByteArrayView text = nodeContent(node);
            xmlNodeSetContentLen(node, reinterpret_cast<const xmlChar *>(text.data()), int(text.size()));
            node->psvi = nullptr;
        }
    });
}

// Parses bytes with the hooks every load uses; the document, or null with the reason in the
// load's collector.
xmlDocPtr parseWithHooks(const QByteArray &bytes, const QString &url, bool ignoreEncoding, TLoadContext &load)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr)
        return nullptr;
    // Parser errors carry their parser context; the collector for this call hangs on it, so
    // concurrent loads on other threads never share one.
    context->_private = &load;
    context->sax->serror = [](void *, xmlErrorPtr error) {
        if (error == nullptr || error->ctxt == nullptr)
            return;
        auto *ctxt = static_cast<xmlParserCtxtPtr>(error->ctxt);
        if (ctxt->_private != nullptr)
            static_cast<TLoadContext *>(ctxt->_private)->Errors->Take(error);
    };
    // libxml2 would merge consecutive CDATA sections into one node and then refuse the merged
    // node once it passes ten million bytes, so a body written in pieces could not be read
    // back. Each section becomes its own node; the per-section limit still applies.
    context->sax->cdataBlock = [](void *userData, const xmlChar *value, int length) {
        auto *ctxt = static_cast<xmlParserCtxtPtr>(userData);
        if (ctxt == nullptr || ctxt->node == nullptr || ctxt->disableSAX)
            return;
        auto *load = static_cast<TLoadContext *>(ctxt->_private);
        const bool apart = load != nullptr && load->ApartTexts != nullptr;
        xmlNodePtr node = xmlNewCDataBlock(ctxt->myDoc, apart ? nullptr : value, apart ? 0 : length);
        if (node != nullptr && apart && load->Presplit != nullptr) {
            // Sections arrive in document order, emptied; one more than was taken out is counted
            // and makes the caller parse the document as it is.
            if (load->NextPresplit < load->Presplit->size())
                node->psvi = load->Presplit->at(load->NextPresplit);
            ++load->NextPresplit;
        } else if (node != nullptr && apart) {
            node->psvi = load->ApartTexts->Add(reinterpret_cast<const char *>(value), length);
        }
        if (node == nullptr) {
            if (load != nullptr) {
                TErrorCollector *errors = load->Errors;
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
    if (doc != nullptr && (!wellFormed || load.Errors->Failed)) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    return doc;
}

} // namespace

TApartText *TApartTextStore::AddSectionText(const char *data, qsizetype size)
{
    if (FBlocks.empty() || FCapacity - FUsed < size) {
        FCapacity = std::max(BlockSize, size);
        FBlocks.push_back(std::make_unique_for_overwrite<char[]>(size_t(FCapacity)));
        FUsed = 0;
    }
    char *const target = FBlocks.back().get() + FUsed;
    char *out = target;
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        const unsigned char c = in[i];
        if (c < 0x80) {
            if (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D)
                return nullptr;
            if (c == 0x0D) {
                *out++ = '\n';
                i += (i + 1 < size && in[i + 1] == 0x0A) ? 2 : 1;
            } else {
                *out++ = char(c);
                ++i;
            }
            continue;
        }
        const int length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > size)
            return nullptr;
        char32_t code = length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < length; ++k) {
            if ((in[i + k] & 0xC0) != 0x80)
                return nullptr;
            code = (code << 6) | (in[i + k] & 0x3F);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
            code == 0xFFFF)
            return nullptr;
        out = std::copy_n(data + i, length, out);
        i += length;
    }
    FUsed += out - target;
    return &FTexts.emplace_back(TApartText{target, out - target});
}

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
        forEachNode(root, [this, &encoding](xmlNodePtr node) {
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
        });
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

// Where serialised bytes go: a byte array, or a device written as they come so that a large
// document is never held twice in memory.
struct TSink
{
    QByteArray *Bytes = nullptr;
    QIODevice *Device = nullptr;
    bool Failed = false;

    bool Put(const char *buffer, qint64 length)
    {
        if (Failed)
            return false;
        if (Bytes != nullptr)
            Bytes->append(buffer, qsizetype(length));
        else if (Device->write(buffer, length) != length)
            Failed = true;
        return !Failed;
    }
};

int writeToSink(void *context, const char *buffer, int length)
{
    return static_cast<TSink *>(context)->Put(buffer, length) ? length : -1;
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
    std::unique_ptr<TApartTextStore> apartTexts;
    xmlDocPtr doc = nullptr;
    if (FKeepCDATAApart && !ignoreEncoding) {
        apartTexts = std::make_unique<TApartTextStore>();
        std::vector<TApartText *> presplit;
        const QByteArray skeleton = presplitCDATA(bytes, *apartTexts, presplit);
        if (!skeleton.isEmpty()) {
            // Any complaint here sends the document the usual way, which reports it exactly.
            TErrorCollector ignored;
            TThreadErrorScope scope(&ignored);
            TLoadContext load{&ignored, apartTexts.get(), &presplit};
            doc = parseWithHooks(skeleton, url, false, load);
            if (doc != nullptr && load.NextPresplit != presplit.size()) {
                xmlFreeDoc(doc);
                doc = nullptr;
            }
        }
        if (doc == nullptr)
            apartTexts = std::make_unique<TApartTextStore>();
    } else if (FKeepCDATAApart) {
        apartTexts = std::make_unique<TApartTextStore>();
    }
    if (doc == nullptr) {
        TThreadErrorScope scope(&errors);
        TLoadContext load{&errors, apartTexts.get()};
        doc = parseWithHooks(bytes, url, ignoreEncoding, load);
        if (doc == nullptr) {
            if (errors.Failed)
                throw EMSXMLParseError(errors.Reason, errors.Code, errors.Line, errors.Column);
            throw EMSXMLParseError(QString::fromLatin1(SParseFailed), 0, 0, 0);
        }
    }
    if (const xmlNode *reference = findEntityReference(doc)) {
        const QString name = fromXml(reference->name);
        const int line = reference->parent ? int(xmlGetLineNo(reference->parent)) : 0;
        xmlFreeDoc(doc);
        throw EMSXMLParseError(NVKFormatS(QStringLiteral("The entity reference '&%s;' is not supported."), {name}),
                               XML_ERR_UNDECLARED_ENTITY, std::max(line, 0), 0);
    }
    auto dom = std::make_shared<TMSXMLDom>(doc);
    if (apartTexts)
        dom->KeepApartTexts(std::move(apartTexts));
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
    QByteArray result;
    Serialise(&result, nullptr);
    return result;
}

void TMSXMLDocument::Serialise(QByteArray *bytes, QIODevice *device)
{
    initLibXml();
    TMSXMLNode document = GetDocument();
    BeforeSave(document);
    xmlDocPtr doc = FDom->Doc();
    if (FDom->HasApartTexts())
        takeBackApartTexts(reinterpret_cast<xmlNodePtr>(doc));
    const QString encoding = FHasDeclaration ? FEncoding : QString();
    // A file that could not be loaded again is not written at all.
    if (tooDeep(doc))
        throw EMSXMLError(QStringLiteral("Elements are nested more than 256 levels deep; the document could not be "
                                         "read back, so it is not saved."));
    TEncodabilityCheck check(encoding);
    check.Check(reinterpret_cast<xmlNodePtr>(doc), encoding);

    TErrorCollector errors;
    TThreadErrorScope scope(&errors);
    TSink sink{bytes, device, false};
    int options = XML_SAVE_AS_XML;
    const QByteArray encodingBytes = encoding.isEmpty() ? QByteArray("UTF-8") : encoding.toLatin1();
    if (FHasDeclaration && encoding.isEmpty()) {
        // libxml2 would name the encoding it writes in the declaration; without a named encoding
        // the declaration carries none, and the bytes are UTF-8.
        QByteArray text = "<?xml version=\"" + (FVersion.isEmpty() ? QByteArray("1.0") : FVersion.toLatin1()) + '"';
        if (!FStandalone.isEmpty())
            text += " standalone=\"" + FStandalone.toLatin1() + '"';
        text += "?>\n";
        sink.Put(text.constData(), text.size());
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
    xmlSaveCtxtPtr save = xmlSaveToIO(writeToSink, closeNothing, &sink, encodingBytes.constData(), options);
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
    if (sink.Failed)
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot write the XML document: %s"), {device->errorString()}));
    if (!ok)
        throw EMSXMLError(errors.Failed ? errors.Reason : QStringLiteral("The XML document could not be serialised."));
}

void TMSXMLDocument::SaveToStream(QIODevice *stream)
{
    if (stream == nullptr)
        throw EMSXMLError(QString::fromLatin1(SNullObject));
    Serialise(nullptr, stream);
}

void TMSXMLDocument::SaveToFile(const QString &fileName)
{
    TNVKSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {fileName, file.errorString()}));
    // Written straight into the temporary file; it replaces the old one only when complete, and
    // is discarded (the old file untouched) on any failure.
    try {
        Serialise(nullptr, &file);
    } catch (const EMSXMLError &) {
        // A failed write names the file and the system's reason, as a failed open or commit does.
        const bool writeFailed = file.error() != QFileDevice::NoError;
        const QString reason = file.errorString();
        file.cancelWriting();
        if (writeFailed)
            throw EMSXMLError(NVKFormatS(QStringLiteral("Cannot save '%s': %s"), {fileName, reason}));
        throw;
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
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
