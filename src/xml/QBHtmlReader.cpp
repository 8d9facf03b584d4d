// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/QBHtmlReader.h"

#include <QStringDecoder>

#include <libxml/HTMLparser.h>
#include <libxml/encoding.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <cstring>
#include <mutex>

namespace {

void initLibXmlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A number of a CF_HTML header; -1 when the header does not give one.
qsizetype headerNumber(QByteArrayView header, QByteArrayView key)
{
    qsizetype at = 0;
    while ((at = header.indexOf(key, at)) >= 0) {
        if (at == 0 || header.at(at - 1) == '\n' || header.at(at - 1) == '\r') {
            bool ok = false;
            qsizetype end = at + key.size();
            while (end < header.size() && header.at(end) != '\r' && header.at(end) != '\n')
                ++end;
            const qlonglong value =
                header.sliced(at + key.size(), end - at - key.size()).toByteArray().trimmed().toLongLong(&ok);
            return ok && value >= 0 ? qsizetype(value) : -1;
        }
        at += key.size();
    }
    return -1;
}

// The part of a CF_HTML text its header points at; the text after the header when the offsets are unusable.
QByteArrayView cfHtmlBody(QByteArrayView data)
{
    const qsizetype markup = data.indexOf('<');
    const QByteArrayView header = data.first(markup < 0 ? data.size() : markup);
    const qsizetype startHtml = headerNumber(header, "StartHTML:");
    const qsizetype endHtml = headerNumber(header, "EndHTML:");
    if (startHtml >= header.size() && startHtml < endHtml && endHtml <= data.size())
        return data.sliced(startHtml, endHtml - startHtml);
    const qsizetype startFragment = headerNumber(header, "StartFragment:");
    const qsizetype endFragment = headerNumber(header, "EndFragment:");
    if (startFragment >= header.size() && startFragment < endFragment && endFragment <= data.size())
        return data.sliced(startFragment, endFragment - startFragment);
    return data.sliced(header.size());
}

// The charset a meta element near the start names; empty when none does.
QByteArray metaCharset(QByteArrayView data)
{
    const QByteArray head = data.first(qMin<qsizetype>(data.size(), 4096)).toByteArray().toLower();
    qsizetype at = 0;
    while ((at = head.indexOf("<meta", at)) >= 0) {
        qsizetype end = head.indexOf('>', at);
        if (end < 0)
            end = head.size();
        const qsizetype charset = head.indexOf("charset", at);
        if (charset >= 0 && charset < end) {
            qsizetype i = charset + 7;
            while (i < end && (head.at(i) == ' ' || head.at(i) == '='))
                ++i;
            while (i < end && (head.at(i) == '"' || head.at(i) == '\''))
                ++i;
            const qsizetype from = i;
            while (i < end && (isAsciiLetter(head.at(i)) || (head.at(i) >= '0' && head.at(i) <= '9') ||
                               strchr("-_.:", head.at(i)) != nullptr))
                ++i;
            if (i > from)
                return head.mid(from, i - from);
        }
        at = end;
    }
    return {};
}

// Bytes in a charset Qt does not know, through libxml2's converters (iconv); empty when none knows it.
std::optional<QString> decodeThroughLibXml(QByteArrayView data, const QByteArray &charset)
{
    initLibXmlOnce();
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(charset.constData());
    if (handler == nullptr || data.size() > INT_MAX)
        return std::nullopt;
    xmlBufferPtr in = xmlBufferCreateStatic(const_cast<char *>(data.data()), size_t(data.size()));
    xmlBufferPtr out = xmlBufferCreate();
    std::optional<QString> result;
    if (in != nullptr && out != nullptr && xmlCharEncInFunc(handler, out, in) >= 0)
        result = QString::fromUtf8(reinterpret_cast<const char *>(xmlBufferContent(out)), xmlBufferLength(out));
    xmlBufferFree(out);
    xmlBufferFree(in);
    xmlCharEncCloseFunc(handler);
    return result;
}

// Elements whose start or end breaks the line in flattened text.
bool breaksLine(QByteArrayView name)
{
    static const char *const names[] = {"p",  "div",   "br", "li", "tr",      "h1",      "h2",     "h3",         "h4",
                                        "h5", "h6",    "ul", "ol", "dl",      "dt",      "dd",     "blockquote", "pre",
                                        "hr", "table", "td", "th", "section", "article", "header", "footer"};
    for (const char *known : names)
        if (name == QByteArrayView(known))
            return true;
    return false;
}

// The rest of a page from a byte offset as text with a <br> where a block began or ended: no element
// nests any more. Comments, scripts and style sheets go; character references stay for the parser.
QByteArray flatten(QByteArrayView html)
{
    QByteArray out;
    out.reserve(html.size());
    const qsizetype n = html.size();
    qsizetype i = 0;
    bool afterBreak = false;
    const auto skipPast = [&](QByteArrayView end) {
        const qsizetype at = html.indexOf(end, i);
        i = at < 0 ? n : at + end.size();
    };
    while (i < n) {
        const char c = html.at(i);
        if (c != '<') {
            afterBreak = afterBreak && (c == ' ' || c == '\t' || c == '\n' || c == '\r');
            out += c;
            ++i;
            continue;
        }
        const char next = i + 1 < n ? html.at(i + 1) : '\0';
        if (next == '!') {
            i += 2;
            skipPast(html.sliced(i).startsWith("--") ? QByteArrayView("-->") : QByteArrayView(">"));
            continue;
        }
        if (next == '?') {
            skipPast(">");
            continue;
        }
        const bool end = next == '/';
        qsizetype from = i + (end ? 2 : 1);
        if (from >= n || !isAsciiLetter(html.at(from))) {
            afterBreak = false;
            out += "&lt;";
            ++i;
            continue;
        }
        qsizetype to = from;
        while (to < n && (isAsciiLetter(html.at(to)) || (html.at(to) >= '0' && html.at(to) <= '9')))
            ++to;
        const QByteArray name = html.sliced(from, to - from).toByteArray().toLower();
        // The tag ends at the first '>' outside quoted attribute values.
        i = to;
        char quote = 0;
        while (i < n && (quote != 0 || html.at(i) != '>')) {
            if (quote != 0 && html.at(i) == quote)
                quote = 0;
            else if (quote == 0 && (html.at(i) == '"' || html.at(i) == '\''))
                quote = html.at(i);
            ++i;
        }
        i = qMin(n, i + 1);
        if (!end && (name == "script" || name == "style" || name == "template" || name == "title" ||
                     name == "textarea" || name == "noscript")) {
            // Their content is not text of the page; search case-insensitively for the end tag.
            const QByteArray close = "</" + name;
            qsizetype at = i;
            while (at < n) {
                at = html.indexOf("</", at);
                if (at < 0 || html.sliced(at, qMin<qsizetype>(close.size(), n - at)).toByteArray().toLower() == close)
                    break;
                at += 2;
            }
            i = at < 0 ? n : at;
            continue;
        }
        // One break for a run of block boundaries: flattened text has no empty lines.
        if (breaksLine(name) && !afterBreak) {
            out += "<br>";
            afterBreak = true;
        }
    }
    return out;
}

struct TParse
{
    IQBHtmlSink *Sink = nullptr;
    xmlParserCtxtPtr Ctxt = nullptr;
    QStringList Open;
    bool Flat = false; // reading flattened text: only text and line breaks pass
    long HaltedAt = -1;
    QList<TQBHtmlAttribute> Attributes;
};

QString fromXml(const xmlChar *text, int length = -1)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(text), length);
}

void onStartElement(void *context, const xmlChar *name, const xmlChar **attributes)
{
    auto *parse = static_cast<TParse *>(context);
    if (parse->HaltedAt >= 0)
        return;
    const QString element = fromXml(name).toLower();
    if (parse->Flat) {
        if (element == QLatin1String("br")) {
            parse->Sink->StartElement(element, {});
            parse->Sink->EndElement(element);
        }
        return;
    }
    if (parse->Open.size() >= QBHtml::MaxDepth) {
        // Read before stopping: stopping lets go of the input.
        parse->HaltedAt = xmlByteConsumed(parse->Ctxt);
        xmlStopParser(parse->Ctxt);
        return;
    }
    parse->Attributes.clear();
    for (const xmlChar **at = attributes; at != nullptr && at[0] != nullptr; at += 2)
        parse->Attributes.append({fromXml(at[0]).toLower(), at[1] != nullptr ? fromXml(at[1]) : QString()});
    parse->Open.append(element);
    parse->Sink->StartElement(element, parse->Attributes);
}

void onEndElement(void *context, const xmlChar *)
{
    auto *parse = static_cast<TParse *>(context);
    if (parse->HaltedAt >= 0 || parse->Flat || parse->Open.isEmpty())
        return;
    const QString element = parse->Open.takeLast();
    parse->Sink->EndElement(element);
}

void onCharacters(void *context, const xmlChar *text, int length)
{
    auto *parse = static_cast<TParse *>(context);
    if (parse->HaltedAt < 0 && length > 0)
        parse->Sink->Text(fromXml(text, length));
}

// Script and style contents arrive here and go nowhere.
void onRawText(void *, const xmlChar *, int) {}

void parseUtf8(const QByteArray &utf8, TParse &parse)
{
    initLibXmlOnce();
    if (utf8.isEmpty() || utf8.size() >= INT_MAX)
        return;
    htmlSAXHandler sax;
    memset(&sax, 0, sizeof sax);
    sax.startElement = onStartElement;
    sax.endElement = onEndElement;
    sax.characters = onCharacters;
    sax.ignorableWhitespace = onCharacters;
    sax.cdataBlock = onRawText;
    sax.initialized = 1;
    htmlParserCtxtPtr ctxt = htmlCreateMemoryParserCtxt(utf8.constData(), int(utf8.size()));
    if (ctxt == nullptr)
        return;
    memcpy(ctxt->sax, &sax, sizeof sax);
    ctxt->userData = &parse;
    parse.Ctxt = ctxt;
    // The text is UTF-8 whatever a meta element says (libxml2 would guess Latin-1); nothing is ever fetched.
    xmlSwitchEncoding(ctxt, XML_CHAR_ENCODING_UTF8);
    htmlCtxtUseOptions(ctxt, HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                 HTML_PARSE_IGNORE_ENC);
    htmlParseDocument(ctxt);
    parse.Ctxt = nullptr;
    htmlFreeParserCtxt(ctxt);
}

} // namespace

namespace QBHtml {

QString DecodeClipboard(const QByteArray &data)
{
    QByteArrayView bytes(data);
    if (bytes.startsWith("Version:"))
        return QString::fromUtf8(cfHtmlBody(bytes));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
        // UTF-16 without a mark starts with a character of markup or white space, half of it zero.
        (bytes.size() >= 2 && (bytes.at(0) == 0) != (bytes.at(1) == 0)))
        return QStringDecoder(bytes.startsWith("\xFE\xFF") || (bytes.size() >= 2 && bytes.at(0) == 0)
                                  ? QStringConverter::Utf16BE
                                  : QStringConverter::Utf16LE,
                              QStringConverter::Flag::Stateless)(
            bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ? bytes.sliced(2) : bytes);
    const QByteArray charset = metaCharset(bytes);
    // A page in bytes cannot be UTF-16 whatever it says; browsers read it as UTF-8 then.
    if (charset.isEmpty() || charset == "utf-8" || charset == "utf8" || charset.startsWith("utf-16") ||
        charset == "unicode")
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(charset.constData());
    if (decoder.isValid())
        return decoder(bytes);
    if (const std::optional<QString> text = decodeThroughLibXml(bytes, charset))
        return *text;
    return QString::fromUtf8(bytes);
}

bool Parse(const QString &html, IQBHtmlSink &sink)
{
    const QByteArray utf8 = html.toUtf8();
    TParse parse;
    parse.Sink = &sink;
    parseUtf8(utf8, parse);
    const bool whole = parse.HaltedAt < 0;
    if (!whole) {
        // Too deep: what is left goes in as text, inside the elements open where reading stopped.
        // Reading stopped inside the start tag, after its attributes: the rest of the tag goes too.
        qsizetype from = qBound(qsizetype(0), qsizetype(parse.HaltedAt), utf8.size());
        while (from < utf8.size() && (utf8.at(from) == ' ' || utf8.at(from) == '\t' || utf8.at(from) == '\n' ||
                                      utf8.at(from) == '\r' || utf8.at(from) == '/'))
            ++from;
        if (from < utf8.size() && utf8.at(from) == '>')
            ++from;
        const QByteArray rest = flatten(QByteArrayView(utf8).sliced(from));
        parse.HaltedAt = -1;
        parse.Flat = true;
        parseUtf8(rest, parse);
    }
    while (!parse.Open.isEmpty())
        sink.EndElement(parse.Open.takeLast());
    return whole;
}

} // namespace QBHtml
