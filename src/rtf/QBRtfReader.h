// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Reads RTF into a QTextDocument. The reader never fails: damaged or hostile RTF gives what text
// could be read, and data that is not RTF are read as plain text. Pictures become image resources of
// the document; pictures and objects that cannot be drawn here become framed placeholders that keep
// their RTF (written back unchanged by TQBRtfWriter).
class TQBRtfReader
{
public:
    // Replaces the whole content with the RTF, as loading a body: a paragraph mark at the very end
    // adds no empty paragraph. The caret of a cursor on the document is at 0 afterwards.
    static void Load(QTextDocument &document, const QByteArray &rtf);

    // Replaces the cursor's selection with the RTF; every paragraph mark breaks. The last paragraph
    // continues with the text after the cursor and keeps that paragraph's format. Text that names no
    // font or size takes those at the cursor. The cursor ends after the inserted text. One undo step.
    static void Insert(QTextCursor &cursor, const QByteArray &rtf);
};
