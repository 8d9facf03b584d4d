// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "VtlFindDialogs.h"
#include "rtf/QBRtfLists.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextList>

#include <cmath>
#include <memory>

// ---------------------------------------------------------------------------------------------
// TVtlRichEdit

TVtlRichEdit::TVtlRichEdit(QWidget *parent)
    : QTextEdit(parent), FSelAttributes(this, TRxTextAttributes::atSelected),
      FDefAttributes(this, TRxTextAttributes::atDefaultText), FWordAttributes(this, TRxTextAttributes::atWord),
      FParagraph(this)
{
    setObjectName(QStringLiteral("VtlRichEdit"));
    setAcceptRichText(true);
    setTabChangesFocus(true);
    FDefaultFormat.setFontFamilies(QStringList{document()->defaultFont().family()});
    FDefaultFormat.setFontPointSize(document()->defaultFont().pointSizeF() > 0 ? document()->defaultFont().pointSizeF()
                                                                               : 10.0);
    AttachDocument(document());
    ApplyDocumentOptions();
    UpdateSelectionVisibility();
    document()->clearUndoRedoStacks();
}

TVtlRichEdit::~TVtlRichEdit()
{
    if (FFindDialog)
        delete FFindDialog;
    if (FReplaceDialog)
        delete FReplaceDialog;
}

void TVtlRichEdit::ApplyDocumentOptions()
{
    QTextDocument *doc = document();
    doc->setDocumentMargin(FSelectionBar ? SelectionBarWidth + 2 : 4);
    QFont font = doc->defaultFont();
    const QFont wanted = FDefaultFormat.font();
    if (wanted.resolveMask() & QFont::FamiliesResolved)
        font.setFamilies(wanted.families());
    if (FDefaultFormat.hasProperty(QTextFormat::FontPointSize))
        font.setPointSizeF(FDefaultFormat.fontPointSize());
    font.setWeight(FDefaultFormat.fontWeight() >= QFont::DemiBold ? QFont::Bold : QFont::Normal);
    font.setItalic(FDefaultFormat.fontItalic());
    font.setUnderline(FDefaultFormat.fontUnderline());
    font.setStrikeOut(FDefaultFormat.fontStrikeOut());
    doc->setDefaultFont(font);
    if (FDefaultFormat.foreground().style() != Qt::NoBrush) {
        QPalette pal = palette();
        pal.setColor(QPalette::Text, FDefaultFormat.foreground().color());
        setPalette(pal);
    }
}

void TVtlRichEdit::UpdateSelectionVisibility()
{
    QPalette pal = palette();
    const QPalette standard = QApplication::palette(this);
    if (FHideSelection) {
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Inactive, QPalette::Base));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Inactive, QPalette::Text));
    } else {
        pal.setColor(QPalette::Inactive, QPalette::Highlight, standard.color(QPalette::Inactive, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     standard.color(QPalette::Inactive, QPalette::HighlightedText));
    }
    setPalette(pal);
}

int TVtlRichEdit::SelStart() const
{
    return textCursor().selectionStart();
}

void TVtlRichEdit::SetSelStart(int value)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, value, TextLength()));
    setTextCursor(cursor);
}

int TVtlRichEdit::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TVtlRichEdit::SetSelLength(int value)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + value, TextLength()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString TVtlRichEdit::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void TVtlRichEdit::SetSelText(const QString &value)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(value);
    setTextCursor(cursor);
}

TVtlSelectionType TVtlRichEdit::SelectionType() const
{
    TVtlSelectionType type;
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return type;
    const QString text = cursor.selectedText();
    const qsizetype objects = text.count(QChar::ObjectReplacementCharacter);
    const qsizetype chars = text.size() - objects;
    if (objects > 0)
        type |= stObject;
    if (objects > 1)
        type |= stMultiObject;
    if (chars > 0)
        type |= stText;
    if (chars > 1)
        type |= stMultiChar;
    return type;
}

int TVtlRichEdit::TextLength() const
{
    return document()->characterCount() - 1;
}

bool TVtlRichEdit::Modified() const
{
    return document()->isModified();
}

void TVtlRichEdit::SetModified(bool value)
{
    document()->setModified(value);
}

void TVtlRichEdit::ResetUndoCount()
{
    FUndoCount = 0;
    FRedoCount = 0;
}

void TVtlRichEdit::ClearUndo()
{
    document()->clearUndoRedoStacks();
    ResetUndoCount();
}

void TVtlRichEdit::UndoCommandAdded()
{
    FUndoCount = qMin(FUndoCount + 1, FUndoLimit);
    FRedoCount = 0;
}

bool TVtlRichEdit::CanUndo() const
{
    return FUndoCount > 0 && document()->isUndoAvailable();
}

bool TVtlRichEdit::CanRedo() const
{
    return FRedoCount > 0 && document()->isRedoAvailable();
}

void TVtlRichEdit::Undo()
{
    if (!CanUndo())
        return;
    undo();
    --FUndoCount;
    ++FRedoCount;
}

void TVtlRichEdit::Redo()
{
    if (!CanRedo())
        return;
    redo();
    --FRedoCount;
    ++FUndoCount;
}

void TVtlRichEdit::SetUndoLimit(int value)
{
    FUndoLimit = qMax(0, value);
    document()->setUndoRedoEnabled(FUndoLimit > 0);
    FUndoCount = qMin(FUndoCount, FUndoLimit);
    if (FUndoLimit == 0)
        ResetUndoCount();
}

void TVtlRichEdit::ClearSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void TVtlRichEdit::AttachDocument(QTextDocument *doc)
{
    connect(doc, &QTextDocument::undoCommandAdded, this, &TVtlRichEdit::UndoCommandAdded);
    connect(doc, &QTextDocument::contentsChange, this, [this, doc](int from, int, int added) {
        if (FMarkingUrls)
            return;
        // Changed paragraphs are looked at again when they are next drawn.
        const QTextBlock last = doc->findBlock(from + added);
        for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
            block.setUserState(-1);
            if (block == last)
                break;
        }
    });
}

void TVtlRichEdit::paintEvent(QPaintEvent *event)
{
    if (FAutoURLDetect)
        MarkVisibleUrls();
    QTextEdit::paintEvent(event);
    PaintListLabels(event->rect());
}

QString TVtlRichEdit::PaintedListLabel(const QTextBlock &block) const
{
    const QTextList *list = block.textList();
    return list && QBListOwnMarker(list->format()) ? QBListLabel(block) : QString();
}

void TVtlRichEdit::PaintListLabels(const QRect &area)
{
    QTextBlock block = cursorForPosition(area.topLeft()).block();
    if (!block.isValid())
        return;
    const QPointF offset(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    QPainter painter(viewport());
    for (; block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout || layout->lineCount() == 0)
            continue;
        const QPointF origin = layout->position() + offset;
        if (origin.y() > area.bottom())
            break;
        const QString label = PaintedListLabel(block);
        if (label.isEmpty() || !block.isVisible())
            continue;
        // The label takes the font of the item's first character and stands a space before its text, as
        // Qt places its own markers.
        const QTextLine line = layout->lineAt(0);
        QTextCharFormat format = block.charFormat();
        if (block.begin() != block.end())
            format = block.begin().fragment().charFormat();
        QFont font = document()->defaultFont();
        font = format.font().resolve(font);
        const QFontMetricsF metrics(font, viewport());
        const qreal width = metrics.horizontalAdvance(label) + metrics.horizontalAdvance(QLatin1Char(' '));
        const bool rtl = block.textDirection() == Qt::RightToLeft;
        const qreal x =
            rtl ? origin.x() + line.x() + line.naturalTextWidth() + metrics.horizontalAdvance(QLatin1Char(' '))
                : origin.x() + line.x() - width;
        painter.setFont(font);
        painter.setPen(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                        : palette().color(QPalette::Text));
        painter.drawText(QPointF(x, origin.y() + line.y() + line.ascent()), label);
    }
}

bool TVtlRichEdit::WordWrap() const
{
    return lineWrapMode() != QTextEdit::NoWrap;
}

void TVtlRichEdit::SetWordWrap(bool value)
{
    setLineWrapMode(value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TVtlRichEdit::SetSelectionBar(bool value)
{
    if (FSelectionBar == value)
        return;
    FSelectionBar = value;
    ApplyDocumentOptions();
}

void TVtlRichEdit::SetHideSelection(bool value)
{
    FHideSelection = value;
    UpdateSelectionVisibility();
}

void TVtlRichEdit::SetPlainText(bool value)
{
    FPlainText = value;
    setAcceptRichText(!value);
}

void TVtlRichEdit::EnsureLayout(int position) const
{
    const QTextBlock block = document()->findBlock(qBound(0, position, qMax(0, TextLength())));
    if (block.isValid())
        document()->documentLayout()->blockBoundingRect(block);
}

namespace {
int LinesOf(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
}
} // namespace

int TVtlRichEdit::LineCount() const
{
    EnsureLayout(TextLength());
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += LinesOf(block);
    return lines;
}

int TVtlRichEdit::LineFromChar(int position) const
{
    position = qBound(0, position, TextLength());
    EnsureLayout(position);
    const QTextBlock target = document()->findBlock(position);
    int line = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block != target; block = block.next())
        line += LinesOf(block);
    const QTextLayout *layout = target.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine textLine = layout->lineForTextPosition(position - target.position());
        if (textLine.isValid())
            line += textLine.lineNumber();
    }
    return line;
}

int TVtlRichEdit::CharFromLine(int line) const
{
    if (line < 0)
        return -1;
    int first = 0;
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);
        const int lines = LinesOf(block);
        if (line < first + lines) {
            const QTextLayout *blockLayout = block.layout();
            if (blockLayout && blockLayout->lineCount() > 0)
                return block.position() + blockLayout->lineAt(line - first).textStart();
            return block.position();
        }
        first += lines;
    }
    return -1;
}

int TVtlRichEdit::FirstVisibleLine() const
{
    const int top = verticalScrollBar()->value();
    int line = 0;
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QRectF rect = layout->blockBoundingRect(block);
        const QTextLayout *blockLayout = block.layout();
        if (rect.bottom() <= top || !blockLayout || blockLayout->lineCount() == 0) {
            line += LinesOf(block);
            continue;
        }
        for (int i = 0; i < blockLayout->lineCount(); ++i) {
            const QTextLine textLine = blockLayout->lineAt(i);
            if (rect.top() + textLine.y() + textLine.height() > top)
                return line + i;
        }
        line += blockLayout->lineCount();
    }
    return qMax(0, line - 1);
}

void TVtlRichEdit::LineScroll(int lines)
{
    const int target = qMax(0, FirstVisibleLine() + lines);
    int line = 0;
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QRectF rect = layout->blockBoundingRect(block);
        const int count = LinesOf(block);
        if (target < line + count) {
            const QTextLayout *blockLayout = block.layout();
            double y = rect.top();
            if (blockLayout && blockLayout->lineCount() > 0)
                y += blockLayout->lineAt(target - line).y();
            verticalScrollBar()->setValue(int(std::ceil(y)));
            return;
        }
        line += count;
    }
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

int TVtlRichEdit::CharAtPoint(const QPoint &point) const
{
    return cursorForPosition(point).position();
}

void TVtlRichEdit::SelectLine(int position)
{
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, position, TextLength()));
    cursor.movePosition(QTextCursor::StartOfLine);
    const int start = cursor.position();
    if (!cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor)) {
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::StartOfLine, QTextCursor::KeepAnchor);
        if (cursor.position() <= start)
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

void TVtlRichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard menu's undo and redo go through the editor, so the undo limit holds for them.
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (!menu)
        return;
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-undo")) {
            action->disconnect();
            action->setEnabled(CanUndo());
            connect(action, &QAction::triggered, this, &TVtlRichEdit::Undo);
        } else if (action->objectName() == QLatin1String("edit-redo")) {
            action->disconnect();
            action->setEnabled(CanRedo());
            connect(action, &QAction::triggered, this, &TVtlRichEdit::Redo);
        }
    }
    menu->exec(event->globalPos());
}

void TVtlRichEdit::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Undo) {
        Undo();
        event->accept();
        return;
    }
    if (event == QKeySequence::Redo) {
        Redo();
        event->accept();
        return;
    }
    if (!FWantReturns && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TVtlRichEdit::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && FSelectionBar &&
        point.x() + horizontalScrollBar()->value() < SelectionBarWidth) {
        SelectLine(cursorForPosition(QPoint(SelectionBarWidth + 4, point.y())).position());
        FDragAnchor = -1;
        event->accept();
        return;
    }
    QTextEdit::mousePressEvent(event);
    FDragAnchor =
        event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) ? textCursor().position() : -1;
    if (event->button() == Qt::LeftButton) {
        const QPointF docPoint = QPointF(point) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
        const int hit = document()->documentLayout()->hitTest(docPoint, Qt::ExactHit);
        if (hit >= 0) {
            // The hit is a gap between characters; the character under the mouse is on its left when
            // the point lies left of the gap.
            QTextCursor gap(document());
            gap.setPosition(hit);
            const int character = point.x() < cursorRect(gap).x() && hit > 0 ? hit - 1 : hit;
            const QString url = UrlAt(character);
            if (!url.isEmpty())
                Q_EMIT urlClicked(url, event->button());
        }
    }
}

void TVtlRichEdit::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    if (!FWordSelection || FDragAnchor < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const auto wordBounds = [this](int at) {
        QTextCursor word(document());
        word.setPosition(at);
        word.select(QTextCursor::WordUnderCursor);
        return word.hasSelection() ? std::pair(word.selectionStart(), word.selectionEnd()) : std::pair(at, at);
    };
    const auto [anchorStart, anchorEnd] = wordBounds(FDragAnchor);
    if (position >= anchorStart && position <= anchorEnd)
        return;
    // Once the drag leaves the word it started in, the selection grows by whole words.
    const auto [start, end] = wordBounds(position);
    if (position > FDragAnchor) {
        cursor.setPosition(anchorStart);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    } else {
        cursor.setPosition(anchorEnd);
        cursor.setPosition(start, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

void TVtlRichEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    FDragAnchor = -1;
    if (event->button() == Qt::LeftButton) {
        const int object = ObjectAtPoint(event->position().toPoint());
        if (object >= 0) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(object);
            cursor.setPosition(object + 1, QTextCursor::KeepAnchor);
            setTextCursor(cursor);
            event->accept();
            Q_EMIT objectDoubleClicked(object);
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(event);
}
