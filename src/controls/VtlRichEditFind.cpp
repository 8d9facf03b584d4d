// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "VtlFindDialogs.h"

int TVtlRichEdit::FindText(const QString &text, TVtlFindOptions options)
{
    if (text.isEmpty())
        return -1;
    QTextDocument::FindFlags flags;
    if (options.testFlag(foMatchCase))
        flags |= QTextDocument::FindCaseSensitively;
    if (options.testFlag(foWholeWord))
        flags |= QTextDocument::FindWholeWords;
    QTextCursor from = textCursor();
    if (options.testFlag(foUp)) {
        flags |= QTextDocument::FindBackward;
        from.setPosition(from.selectionStart());
    } else {
        from.setPosition(from.selectionEnd());
    }
    const QTextCursor found = document()->find(text, from, flags);
    if (found.isNull())
        return -1;
    setTextCursor(found);
    ensureCursorVisible();
    return found.selectionStart();
}

int TVtlRichEdit::ReplaceAll(const QString &text, const QString &replacement, TVtlFindOptions options)
{
    if (text.isEmpty())
        return 0;
    QTextDocument::FindFlags flags;
    if (options.testFlag(foMatchCase))
        flags |= QTextDocument::FindCaseSensitively;
    if (options.testFlag(foWholeWord))
        flags |= QTextDocument::FindWholeWords;
    int count = 0;
    QTextCursor edit(document());
    edit.beginEditBlock();
    QTextCursor from(document());
    for (;;) {
        QTextCursor found = document()->find(text, from, flags);
        if (found.isNull())
            break;
        found.insertText(replacement);
        ++count;
        from = found;
        from.clearSelection();
    }
    edit.endEditBlock();
    return count;
}

TVtlFindDialog *TVtlRichEdit::ActiveFindDialog() const
{
    return FFindDialog;
}

TVtlReplaceDialog *TVtlRichEdit::ActiveReplaceDialog() const
{
    return FReplaceDialog;
}

void TVtlRichEdit::FindDialog(const QString &text)
{
    if (!FFindDialog)
        FFindDialog = new TVtlFindDialog(this, false);
    FFindDialog->SetFindText(text);
    FFindDialog->show();
    FFindDialog->raise();
    FFindDialog->activateWindow();
}

void TVtlRichEdit::ReplaceDialog(const QString &text)
{
    if (!FReplaceDialog)
        FReplaceDialog = new TVtlReplaceDialog(this);
    FReplaceDialog->SetFindText(text);
    FReplaceDialog->show();
    FReplaceDialog->raise();
    FReplaceDialog->activateWindow();
}
