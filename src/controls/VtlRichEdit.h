// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"
#include "rtf/QBRtfObjects.h"

#include <QFlags>
#include <QPointer>
#include <QTextEdit>
#include <functional>
#include <optional>

class QIODevice;
class QMimeData;
class TVtlRichEdit;
class TVtlFindDialog;
class TVtlReplaceDialog;

// A stream could not be read into the editor.
class EVtlRichEditError : public Exception
{
public:
    using Exception::Exception;
};

// A picture file could not be read.
class EVtlPictureError : public Exception
{
public:
    using Exception::Exception;
};

enum TVtlStreamFormat { sfRichText, sfPlainText };

enum TVtlStreamMode {
    smSelection = 1,
    smPlainRtf = 2,
    smUnicode = 4,
};
Q_DECLARE_FLAGS(TVtlStreamModes, TVtlStreamMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVtlStreamModes)

enum TVtlSelectionTypeFlag {
    stText = 1,
    stObject = 2,
    stMultiChar = 4,
    stMultiObject = 8,
};
Q_DECLARE_FLAGS(TVtlSelectionType, TVtlSelectionTypeFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVtlSelectionType)

enum TVtlPasteFormat {
    pfRichText,
    pfRichTextNoObjects,
    pfText,
    pfBitmap,
    pfHtml,
};

enum TVtlFindOption {
    foMatchCase = 1,
    foWholeWord = 2,
    foUp = 4,
};
Q_DECLARE_FLAGS(TVtlFindOptions, TVtlFindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVtlFindOptions)

// Character formatting of the selection, of new text, or of the word at the caret.
class TRxTextAttributes
{
public:
    enum TKind { atSelected, atDefaultText, atWord };
    enum TStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    enum TSubscript { ssNone = 0, ssSubscript = 1, ssSuperscript = 2 };

    TRxTextAttributes(TVtlRichEdit *editor, TKind kind) : FEditor(editor), FKind(kind) {}

    QString Name() const;
    void SetName(const QString &value);
    // Whole points.
    int Size() const;
    void SetSize(int value);
    // TStyle bits.
    int Style() const;
    void SetStyle(int value);
    QColor Color() const;
    void SetColor(const QColor &value);
    // Invalid when the text has no background of its own.
    QColor BackColor() const;
    void SetBackColor(const QColor &value);
    int SubscriptStyle() const;
    void SetSubscriptStyle(int value);

    // Takes every attribute of source.
    void Assign(const TRxTextAttributes &source);

    // The format these attributes stand for, and a change to it.
    QTextCharFormat Format() const;
    void Merge(const QTextCharFormat &change);

private:
    TVtlRichEdit *FEditor;
    TKind FKind;
};

// A tab stop in twips; Kind is 0 left, 1 right, 2 centre, 3 decimal.
struct TRxTab
{
    int Position = 0;
    int Kind = 0;
    friend bool operator==(const TRxTab &, const TRxTab &) = default;
};

// Paragraph values shared by a set of paragraphs; a value the paragraphs do not share is empty,
// and an empty value is left alone when the set is applied. Lengths are twips, so that values
// typed in centimetres or inches keep their precision.
struct TRxParaValues
{
    std::optional<int> Alignment;
    std::optional<int> Numbering;
    std::optional<int> FirstIndent;
    std::optional<int> LeftIndent;
    std::optional<int> RightIndent;
    std::optional<int> SpaceBefore;
    std::optional<int> SpaceAfter;
    // The rule and its value go together: for rules 3 and 4 twips, for rule 5 hundredths of a line.
    std::optional<int> LineSpacingRule;
    std::optional<int> LineSpacing;
    std::optional<QList<TRxTab>> Tabs;
};

// Paragraph formatting of the paragraphs the selection touches. Lengths are whole points.
class TRxParaAttributes
{
public:
    enum TAlignment { paLeft = 0, paRight = 1, paCenter = 2, paJustify = 3 };
    enum TNumbering { nsNone, nsBullet, nsNumber, nsLowerCase, nsUpperCase, nsLowerRoman, nsUpperRoman };
    enum TLineSpacingRule { lsSingle, lsOneAndHalf, lsDouble, lsAtLeast, lsExactly, lsMultiple };

    explicit TRxParaAttributes(TVtlRichEdit *editor) : FEditor(editor) {}

    int Alignment() const;
    void SetAlignment(int value);
    int Numbering() const;
    void SetNumbering(int value);
    int FirstIndent() const;
    void SetFirstIndent(int value);
    int LeftIndent() const;
    void SetLeftIndent(int value);
    int RightIndent() const;
    void SetRightIndent(int value);
    int SpaceBefore() const;
    void SetSpaceBefore(int value);
    int SpaceAfter() const;
    void SetSpaceAfter(int value);
    int LineSpacingRule() const;
    // For rules 3 and 4 the spacing in points, for rule 5 the number of lines; ignored by the others.
    int LineSpacing() const;
    void SetLineSpacing(int rule, int value);
    int TabCount() const;
    int Tab(int index) const;
    // Tab stops in points, sorted.
    void SetTabs(const QList<int> &positions);

    // What every paragraph of the selection has in common.
    TRxParaValues Values() const;
    // Sets the values that are not empty on every paragraph of the selection, as one undo step.
    void Apply(const TRxParaValues &values);

private:
    QTextBlockFormat Format() const;
    void Merge(const QTextBlockFormat &change);

    TVtlRichEdit *FEditor;
};

// The rich-text editor: bodies stream in and out as RTF; selection, attribute, clipboard, undo,
// search and line operations as a rich edit control offers them.
class TVtlRichEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TVtlRichEdit(QWidget *parent = nullptr);
    ~TVtlRichEdit() override;

    // Whole body: loads rich text (data that is not RTF is read as plain text), or plain text when
    // PlainText is on. Afterwards the caret is at 0 and in view.
    void LoadFromStream(QIODevice &stream);
    void SaveToStream(QIODevice &stream);
    void StreamIn(QIODevice &stream, TVtlStreamFormat format, TVtlStreamModes modes);
    void StreamOut(QIODevice &stream, TVtlStreamFormat format, TVtlStreamModes modes);
    QByteArray StreamOutBytes(TVtlStreamFormat format, TVtlStreamModes modes);

    int SelStart() const;
    // Collapses the selection at value.
    void SetSelStart(int value);
    int SelLength() const;
    // Extends the selection from SelStart.
    void SetSelLength(int value);
    QString SelText() const;
    void SetSelText(const QString &value);
    TVtlSelectionType SelectionType() const;
    // Characters in the body, paragraph ends counted as one.
    int TextLength() const;

    TRxTextAttributes &SelAttributes() { return FSelAttributes; }
    TRxTextAttributes &DefAttributes() { return FDefAttributes; }
    TRxTextAttributes &WordAttributes() { return FWordAttributes; }
    TRxParaAttributes &Paragraph() { return FParagraph; }

    bool Modified() const;
    void SetModified(bool value);

    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    int UndoLimit() const { return FUndoLimit; }
    // 0 switches undo off.
    void SetUndoLimit(int value);
    // Forgets every undo and redo step, as after loading a body.
    void ClearUndo();

    bool CanPaste() const;
    bool CanPasteFormat(TVtlPasteFormat format) const;
    void PasteSpecial(TVtlPasteFormat format);
    // Asks which clipboard format to paste; false when cancelled or nothing fits.
    bool PasteSpecialDialog();
    void ClearSelection();

    // Searches from the selection; selects and returns the match's position or -1.
    int FindText(const QString &text, TVtlFindOptions options);
    // Replaces every match in the body as one undo step; returns the count.
    int ReplaceAll(const QString &text, const QString &replacement, TVtlFindOptions options);
    void FindDialog(const QString &text);
    void ReplaceDialog(const QString &text);
    TVtlFindDialog *ActiveFindDialog() const;
    TVtlReplaceDialog *ActiveReplaceDialog() const;

    bool AutoURLDetect() const { return FAutoURLDetect; }
    void SetAutoURLDetect(bool value);
    // The URL at a document position (a link's target or a detected address), empty when none.
    QString UrlAt(int position) const;

    bool WordSelection() const { return FWordSelection; }
    void SetWordSelection(bool value) { FWordSelection = value; }
    bool WordWrap() const;
    // The label the control paints before a list item itself: empty where Qt draws the item's marker.
    QString PaintedListLabel(const QTextBlock &block) const;
    void SetWordWrap(bool value);
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool value);
    bool WantTabs() const { return !tabChangesFocus(); }
    void SetWantTabs(bool value) { setTabChangesFocus(!value); }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool value);

    // Display lines, wrapped lines counted.
    int LineCount() const;
    int LineFromChar(int position) const;
    // Position of the first character of line; -1 beyond the last line.
    int CharFromLine(int line) const;
    int FirstVisibleLine() const;
    // Scrolls so that the line lines further down (up when negative) is the first visible one.
    void LineScroll(int lines);
    // Position of the character at a point of the viewport.
    int CharAtPoint(const QPoint &point) const;
    // Selects the display line that holds position.
    void SelectLine(int position);

    // Puts a picture at the caret, replacing the selection, as one undo step.
    void InsertImage(const QImage &image, const QByteArray &fileData = {}, int kind = 0);
    // Reads a picture file: JPEG through libjpeg, the rest through Qt's readers. Raises
    // EVtlPictureError with the reader's message.
    static void ReadPicture(const QString &fileName, QImage &image, QByteArray &data, int &kind);

    // Puts a file at the caret as an attachment object, replacing the selection, as one undo step.
    void InsertAttachment(const TQBAttachment &attachment);
    // The file an object at position holds; empty for anything else, other objects included.
    std::optional<TQBAttachment> AttachmentAt(int position) const;
    // Whether the object at position says it holds a file, without reading the file.
    bool HasAttachmentAt(int position) const;
    // The position of the one object or picture the selection holds, or -1.
    int SelectedObject() const;
    // The position of the object or picture drawn at a point of the viewport, or -1.
    int ObjectAtPoint(const QPoint &point) const;
    // How an attachment shows in the text: the file's icon, name and size.
    static QImage AttachmentPicture(const TQBAttachment &attachment);

    static constexpr int SelectionBarWidth = 8;

Q_SIGNALS:
    void urlClicked(const QString &url, Qt::MouseButton button);
    // An object or picture was double-clicked; it is selected.
    void objectDoubleClicked(int position);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class TRxTextAttributes;
    friend class TRxParaAttributes;

    void InsertRtf(const QByteArray &rtf, bool withObjects);
    // A web clipping: the clipboard's HTML, made safe, or its plain text when the HTML cannot be used.
    void PasteHtml(const QMimeData *data);
    // A picture on the clipboard at the caret. Another program's picture file is measured before
    // it is decoded, so one too large to hold is refused with a message instead.
    void PastePicture(const QMimeData *data);
    void AttachDocument(QTextDocument *doc);
    void MarkVisibleUrls();
    // Qt 6.4 numbers every list from 1 and knows one bullet; the labels of other lists are painted here.
    void PaintListLabels(const QRect &area);
    void ReplaceDocument(const std::function<void(QTextDocument &)> &fill);
    void ResetUndoCount();
    void UndoCommandAdded();
    // Lays the document out far enough that the block of position has lines.
    void EnsureLayout(int position) const;
    void ApplyDocumentOptions();
    void UpdateSelectionVisibility();

    TRxTextAttributes FSelAttributes;
    TRxTextAttributes FDefAttributes;
    TRxTextAttributes FWordAttributes;
    TRxParaAttributes FParagraph;
    QTextCharFormat FDefaultFormat;
    QPointer<TVtlFindDialog> FFindDialog;
    QPointer<TVtlReplaceDialog> FReplaceDialog;
    int FUndoLimit = 100;
    int FUndoCount = 0;
    int FRedoCount = 0;
    bool FAutoURLDetect = true;
    bool FWordSelection = true;
    bool FSelectionBar = true;
    bool FWantReturns = true;
    bool FHideSelection = true;
    bool FPlainText = false;
    bool FMarkingUrls = false;
    int FDragAnchor = -1;
};
