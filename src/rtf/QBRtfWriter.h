// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <memory>

class QTextCursor;
class QTextDocument;

struct TQBRtfWriteOptions
{
    // Plain RTF: objects are written without their presentation data.
    bool PlainRtf = false;
    // The document's code page (single-byte); characters outside a font's code page are written as \uN?.
    int CodePage = 1252;
};

// Writes 7-bit RTF that the rich edit control and word processors read: font and colour tables,
// character and paragraph formats, lists in the rich edit control's \pn form, links as HYPERLINK fields,
// pictures as \pngblip (JPEG pictures as \jpegblip), kept pictures and objects verbatim.
class TQBRtfWriter
{
public:
    // The whole document; every paragraph, the last included, ends with \par.
    static QByteArray Write(const QTextDocument &document, const TQBRtfWriteOptions &options = {});
    // The cursor's selection; \par only for paragraph ends inside it. An empty selection gives an empty
    // RTF document.
    static QByteArray WriteSelection(const QTextCursor &cursor, const TQBRtfWriteOptions &options = {});
};

class TQBRtfDocumentWriter;

// Writes many documents one after another as one RTF document, as TQBRtfWriter would write them joined:
// their paragraphs go out as they come, and the header with the font and colour tables of all of them
// comes last, to go before them. Only a document's paragraphs are written, never the document's end.
class TQBRtfStreamWriter
{
public:
    // empty: a document whose default font names the font of text that names none.
    explicit TQBRtfStreamWriter(const QTextDocument &empty, const TQBRtfWriteOptions &options = {});
    ~TQBRtfStreamWriter();
    TQBRtfStreamWriter(const TQBRtfStreamWriter &) = delete;
    TQBRtfStreamWriter &operator=(const TQBRtfStreamWriter &) = delete;

    // The document's first count paragraphs, each ending with \par. The document may change afterwards.
    void AddParagraphs(const QTextDocument &document, int count);
    // The paragraphs of a body as inserting it at an empty plain paragraph of a document and ending that
    // paragraph would make them, written straight from the RTF. False, with nothing written, for a body
    // that holds more than plain paragraphs of text (lists, pictures, objects, links); add those through
    // a document.
    bool AddBody(const QByteArray &rtf);
    // The paragraphs so far.
    const QByteArray &Body() const;
    // What goes before the body: the start of the document and its tables.
    QByteArray Header();
    // What goes after the body.
    static constexpr const char *Trailer = "}\n";

private:
    std::unique_ptr<TQBRtfDocumentWriter> FWriter;
};
