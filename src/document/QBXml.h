// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"
#include "xml/MSXMLDoc.h"

#include <QIODevice>
#include <QString>

// A document file that the parser read but that is no Quillbox document.
class EQBReaderError : public ENVKError
{
public:
    explicit EQBReaderError(const QString &message) : ENVKError(message) {}
};

// "_" followed by the decimal IID ("_17", "_-3").
QString IIDToStr(qint32 iid);
// The inverse of IIDToStr; raises EQBReaderError "Invalid article ID: %s." for an empty text, one
// without the leading "_", or a rest that is not a decimal signed 32-bit number.
qint32 StrToIID(const QString &text);

// Writes a document as a version "1.1" file in the document's encoding. Changes nothing in the
// document. The old file is replaced only by a complete new one: every failure (a tree nested
// too deeply, a character the encoding cannot hold inside a body, a name the encoding does not
// know, no rights, a missing folder) raises EMSXMLError and leaves the old file as it was.
class TQBXmlWriter
{
public:
    explicit TQBXmlWriter(const QString &fileName);
    void Write(const IQBDocumentPtr &document);
    // The bytes Write would put into the file.
    QByteArray WriteToBytes(const IQBDocumentPtr &document);

private:
    // Other encodings: the document is built as a DOM and serialised by the XML layer.
    IMSXMLDocumentPtr Build(const IQBDocumentPtr &document);
    // UTF-8: written straight from the model to bytes or device, producing the same bytes.
    void Stream(const IQBDocumentPtr &document, QByteArray *bytes, QIODevice *device);

    QString FFileName;
};

// Reads a version "1.1" or "1.0" file into a new document whose Version is the file's, LastIID
// and every IID exactly the file's, Modified false (also on every article), FileName empty and
// IsNew true. Raises EMSXMLParseError for a file that is missing or not well-formed and
// EQBReaderError for well-formed XML that is no Quillbox document. No change notices are raised.
class TQBXmlReader
{
public:
    explicit TQBXmlReader(const QString &fileName);
    IQBDocumentPtr Read();
    // As Read, from the bytes of a file.
    IQBDocumentPtr ReadFromBytes(const QByteArray &bytes);

private:
    IQBDocumentPtr ReadDOM(IMSXMLDocument &xml);

    QString FFileName;
};

// The data service's entry points: TQBXmlReader(fileName).Read() and TQBXmlWriter(fileName).Write(document).
IQBDocumentPtr QBReadDocument(const QString &fileName);
void QBWriteDocument(const IQBDocumentPtr &document, const QString &fileName);

// The XML layer reads no element nested deeper than this; trees that would need more are not written.
inline constexpr int QBMaxElementDepth = 256;

// Element nesting that the "Article" element of article needs with its whole subtree, when that
// element itself sits at depth `depth` (1 for a document element). Walks iteratively.
int QBArticleElementDepth(const IQBArticlePtr &article, int depth);
