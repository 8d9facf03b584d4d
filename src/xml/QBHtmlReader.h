// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

struct TQBHtmlAttribute
{
    QString Name; // lower case
    QString Value;
};

// Receives a page's elements and text in document order, as a browser would nest them.
class IQBHtmlSink
{
public:
    virtual ~IQBHtmlSink() = default;
    // name is lower case.
    virtual void StartElement(const QString &name, const QList<TQBHtmlAttribute> &attributes) = 0;
    virtual void EndElement(const QString &name) = 0;
    // Text with its character references resolved and its white space as written. Never the text of
    // comments, scripts or style sheets.
    virtual void Text(QStringView text) = 0;
};

// HTML as browsers and other programs put it on the clipboard, read by libxml2's forgiving HTML parser.
// Nothing is ever loaded from outside the text: no network, no files, no document types.
namespace QBHtml {

// Elements nested deeper than this end the structured reading: the rest of the page reaches the sink
// flattened, as its text with a "br" element where a block began or ended. The parser's work per
// misplaced end tag grows with the depth, so this bound keeps hostile pages linear.
inline constexpr int MaxDepth = 128;

// The text of clipboard HTML: the part a CF_HTML header ("Version:0.9 StartHTML:…") points at, in UTF-8;
// otherwise by byte order mark, UTF-16 without one, a meta charset, and UTF-8 when nothing says.
QString DecodeClipboard(const QByteArray &data);

// Parses the page and reports it to the sink: every element started is ended. Broken markup is recovered
// the way browsers do; comments, processing instructions and the contents of script and style elements
// never reach the sink. False when the page nested too deeply and its rest arrived flattened.
bool Parse(const QString &html, IQBHtmlSink &sink);

} // namespace QBHtml
