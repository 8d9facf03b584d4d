// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "QBRtfListLabels.h"

#include <QString>
#include <QTextListFormat>

class QTextBlock;

// A list as RTF describes it. Qt 6.4 keeps a list's style, level and the texts around its number, but no
// start value and no bullet glyph; those live as properties of the QTextListFormat (QBRtfFormat), and
// where Qt would number or draw a list wrongly its own marker is off and the editor paints
// QBListLabel instead. Every reader of labels in a document (editor, export, RTF writer) asks QBListLabel;
// readers without a document get the same labels from TQBRtfListTracker and QBListLabelText.

// The list style a format holds, whether the reader or Qt's own list functions made it.
TQBListStyle QBListStyleOf(const QTextListFormat &format);
// A list format for the style; Qt's own marker is off when Qt would not show the label QBListLabel gives.
QTextListFormat QBListFormat(const TQBListStyle &style);
// Qt draws no marker for lists of this format: whoever shows the list draws QBListLabel.
bool QBListOwnMarker(const QTextListFormat &format);

// The number of a list item, counting from the list's start; 0 outside lists.
int QBListNumber(const QTextBlock &block);
// The label a reader sees before a list item ("IV.", "a)", "(2)", "•"); empty outside lists.
QString QBListLabel(const QTextBlock &block);
