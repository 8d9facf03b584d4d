// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "VtlRichEdit.h"

// The article editor: caret queries, internal links and pictures over the rich-text editor.
class TArticleRichEdit : public TVtlRichEdit
{
    Q_OBJECT

public:
    // The hyperlink field the editor writes; the first "%s" is the target, the second the text.
    static const char HyperlinkTemplate[];

    explicit TArticleRichEdit(QWidget *parent = nullptr);

    // Line (0-based) of the end of the selection, and the column there.
    int CaretLine() const;
    int CaretColumn() const;
    quint16 FirstVisibleLine() const;
    // Scrolls down to line; never up.
    void SetFirstVisibleLine(quint16 line);
    // The selection's attributes when something is selected, else the word's at the caret.
    TRxTextAttributes &CurrentAttributes();

    // Format 1 is rich text, anything else plain text; mode bit 0 is plain RTF, bit 1 the selection.
    void StreamIn(QIODevice &stream, int format, int modes);
    void StreamOut(QIODevice &stream, int format, int modes);
    using TVtlRichEdit::StreamIn;
    using TVtlRichEdit::StreamOut;

    // Replaces the selection with a link to target showing text.
    void InsertHyperlink(const QString &target, const QString &text);
    // When the selection lies inside a link (or the caret touches one), selects the whole link and
    // gives its target and shown text; otherwise changes nothing and returns false.
    bool SelectLinkAtCaret(QString &target, QString &text);
    // The RTF InsertHyperlink streams in.
    static QByteArray HyperlinkRtf(const QString &target, const QString &text);
    // Puts the picture of a file at the caret; raises EVtlPictureError (changing nothing) when the
    // file cannot be read as a picture. The clipboard is not used.
    bool InsertPicture(const QString &fileName);

Q_SIGNALS:
    void mouseEntered();
    void mouseLeft();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
