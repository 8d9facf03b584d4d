// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "controls/ArticleRichEdit.h"
#include "dialogs/DateTimeDlg.h"
#include "dialogs/GoToDlg.h"
#include "dialogs/LinkDlg.h"
#include "dialogs/ParagraphDlg.h"
#include "platform/QBImages.h"

#include <QAction>
#include <QTextCursor>

void TFAppFrame::CreateEditDialogActions()
{
    ViewGoToLine = NewAction(QStringLiteral("ViewGoToLine"), QStringLiteral("Go to line &number..."),
                             QStringLiteral("Go to line|Move the caret to a line of the article"));
    InsertDateFormat = NewAction(QStringLiteral("InsertDateFormat"), QStringLiteral("&More formats..."),
                                 QStringLiteral("More formats|Insert the date or the time in a form you choose"));
    FormatParagraph = NewFormatAction(
        QStringLiteral("FormatParagraph"), QStringLiteral("&Paragraph..."),
        QStringLiteral("Paragraph|Change indents, spacing and tabs of the selected paragraphs"), ciFormatParagraph);
    InsertHyperlink =
        NewAction(QStringLiteral("InsertHyperlink"), QStringLiteral("&Hyperlink..."),
                  QStringLiteral("Hyperlink|Make the selection a link to a web page, a file or an article"),
                  ciInsertHyperlink, QKeySequence(Qt::CTRL | Qt::Key_H));
}

void TFAppFrame::ConnectEditDialogs()
{
    connect(ViewGoToLine, &QAction::triggered, this, &TFAppFrame::ViewGoToLineExecute);
    connect(FormatParagraph, &QAction::triggered, this, &TFAppFrame::FormatParagraphExecute);
    connect(InsertDateFormat, &QAction::triggered, this, &TFAppFrame::InsertDateFormatExecute);
    connect(InsertHyperlink, &QAction::triggered, this, &TFAppFrame::InsertHyperlinkExecute);
}

void TFAppFrame::ViewGoToLineExecute()
{
    TFGoToDlg dialog(this);
    dialog.SetLineCount(RichEdit->LineCount());
    dialog.SetLine(RichEdit->CaretLine() + 1);
    if (!dialog.Execute())
        return;
    const int position = RichEdit->CharFromLine(dialog.Line() - 1);
    if (position < 0)
        return;
    QTextCursor cursor = RichEdit->textCursor();
    cursor.setPosition(position);
    RichEdit->setTextCursor(cursor);
    RichEdit->ensureCursorVisible();
    RichEdit->setFocus();
}

void TFAppFrame::FormatParagraphExecute()
{
    TFParagraphDlg dialog(this);
    dialog.Execute(RichEdit->Paragraph());
    alFormatUpdate();
}

void TFAppFrame::InsertDateFormatExecute()
{
    TFDateTimeDlg dialog(this);
    if (!dialog.Execute())
        return;
    const QString text = dialog.ResultText();
    if (!text.isEmpty())
        RichEdit->SetSelText(text);
}

void TFAppFrame::InsertHyperlinkExecute()
{
    TFLinkDlg dialog(this);
    const QTextCursor before = RichEdit->textCursor();
    QString target;
    QString text;
    if (RichEdit->SelectLinkAtCaret(target, text))
        dialog.SetLink(target, text);
    else if (RichEdit->SelLength() > 0)
        // A one-line field cannot show paragraph breaks; they become spaces there.
        dialog.SetDescription(RichEdit->SelText().replace(QLatin1String("\r\n"), QLatin1String(" ")));
    if (!dialog.Execute()) {
        RichEdit->setTextCursor(before);
        return;
    }
    RichEdit->InsertHyperlink(dialog.Target(), dialog.Description());
    RichEdit->setFocus();
}
