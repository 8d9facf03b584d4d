// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The text the editor holds after loading rtf as a whole body, character for character: '\n' ends a
// paragraph, U+2028 is a line break, '\t' a tab, U+FFFC a picture or object. A paragraph mark at the
// very end adds no empty paragraph. Data that is not RTF is read as plain text, as the editor does.
// Never fails; builds no document and needs QtCore only.
QString RtfToPlainText(const QByteArray &rtf);

// A paragraph of a body as plain text.
struct TQBRtfTextParagraph
{
    QString Text;  // as RtfToPlainText gives it, without the paragraph's end
    QString Label; // the label a reader shows before a list item, as QBListLabel gives it; empty outside lists
    int Level = 0; // the list level, 0-based
};

// The paragraphs of rtf in order, with list labels numbered as the document reader numbers them.
// Read as a whole body, a paragraph mark at the very end adds no empty paragraph; read as inserted at
// a caret (whole false), every mark breaks and the last paragraph keeps the caret's format, so it is
// never a list item. Never fails.
void RtfForEachParagraph(const QByteArray &rtf, bool whole,
                         const std::function<void(const TQBRtfTextParagraph &paragraph)> &paragraph);
