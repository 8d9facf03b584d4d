// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/VtlFindDialogs.h"
#include "controls/VtlRichEdit.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QListWidget>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {

void load(TVtlRichEdit &editor, const QByteArray &data, TVtlStreamFormat format = sfRichText,
          TVtlStreamModes modes = {})
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    editor.StreamIn(buffer, format, modes);
}

QByteArray save(TVtlRichEdit &editor, TVtlStreamFormat format = sfRichText, TVtlStreamModes modes = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    editor.StreamOut(buffer, format, modes);
    return bytes;
}

void select(TVtlRichEdit &editor, int start, int length)
{
    editor.SetSelStart(start);
    editor.SetSelLength(length);
}

QImage testImage(const QColor &color)
{
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A shown editor of a fixed size, so that layout and scrolling are real.
struct TShownEditor
{
    TVtlRichEdit editor;
    TShownEditor(int width = 400, int height = 200)
    {
        editor.resize(width, height);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
    }
};

} // namespace

class TestVtlRichEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streamIn_wholeRtf_replacesTheBodyWithCaretAtStart();
    void streamIn_dataThatIsNotRtf_loadsAsPlainText();
    void streamIn_unreadableStream_raisesFailedToLoadStream();
    void streamIn_selection_replacesOnlyTheSelection();
    void streamOut_wholeAndSelection_giveRtfThatReadsBack();
    void streamOut_plainRtf_leavesOutPresentationData();
    void streamPlainText_usesCrLfAndUnicodeOnRequest();
    void textAttributes_styleBitsSizeAndName_readWhatWasWritten();
    void textAttributes_subscriptStates_readWhatWasWritten();
    void textAttributes_colours_readWhatWasWritten();
    void textAttributes_wordAttributes_actOnTheWordAtTheCaret();
    void textAttributes_defaultAttributes_giveTheDocumentFont();
    void paragraph_numberingStyles_readWhatWasWritten_data();
    void paragraph_numberingStyles_readWhatWasWritten();
    void paragraph_lineSpacingRules_readWhatWasWritten_data();
    void paragraph_lineSpacingRules_readWhatWasWritten();
    void paragraph_lengthsFromRtf_areWholePointsTruncated();
    void paragraph_tabStops_areSortedPoints();
    void paragraph_alignment_readsWhatWasWritten();
    void modified_isSetByEditsAndClearedOnRequest();
    void undo_limit_capsTheStepsThatCanBeUndone();
    void undo_limitZero_switchesUndoOff();
    void lines_charactersAndLinesMapBothWays();
    void lines_wrappedParagraphs_countDisplayLines();
    void lineScroll_movesTheFirstVisibleLine();
    void selectionBar_clickInTheLeftMargin_selectsTheLine();
    void urls_detectedInTextAndLinks_reportTheirTarget();
    void urls_leftClick_firesUrlClicked();
    void urls_marksAreDrawnButNotStored();
    void find_directionCaseAndWholeWord();
    void replaceAll_replacesEveryMatchAsOneUndoStep();
    void findDialog_findNext_selectsMatchesAndReportsTheEnd();
    void replaceDialog_replaceAndReplaceAll();
    void clipboard_copyAndPaste_keepFormatting();
    void pasteSpecial_eachFormat_insertsWhatItNames();
    void pasteSpecialDialog_offersOnlyWhatTheClipboardHolds();
    void selectionType_tellsTextFromObjects();
    void wantReturns_off_leavesReturnToTheForm();
    void wordSelection_dragBeyondAWord_selectsWholeWords();
};

void TestVtlRichEdit::streamIn_wholeRtf_replacesTheBodyWithCaretAtStart()
{
    TVtlRichEdit editor;
    editor.setPlainText(QStringLiteral("old text"));
    editor.SetSelStart(4);
    load(editor, "{\\rtf1\\ansi Hello\\par World\\par}");
    QCOMPARE(editor.toPlainText(), QStringLiteral("Hello\nWorld"));
    QCOMPARE(editor.SelStart(), 0);
    QCOMPARE(editor.SelLength(), 0);
    QCOMPARE(editor.TextLength(), 11);
}

void TestVtlRichEdit::streamIn_dataThatIsNotRtf_loadsAsPlainText()
{
    TVtlRichEdit editor;
    load(editor, "plain {words} with \\ backslash\r\nsecond");
    QCOMPARE(editor.document()->firstBlock().text(), QStringLiteral("plain {words} with \\ backslash"));
    QCOMPARE(editor.document()->lastBlock().text(), QStringLiteral("second"));
    load(editor, QStringLiteral("caf\u00e9").toUtf8(), sfPlainText);
    QCOMPARE(editor.toPlainText(), QStringLiteral("caf\u00e9"));
    // Not UTF-8: read in the Western code page.
    load(editor, QByteArray("caf\xe9"), sfPlainText);
    QCOMPARE(editor.toPlainText(), QStringLiteral("caf\u00e9"));
}

void TestVtlRichEdit::streamIn_unreadableStream_raisesFailedToLoadStream()
{
    TVtlRichEdit editor;
    editor.setPlainText(QStringLiteral("kept"));
    QBuffer closed;
    try {
        editor.StreamIn(closed, sfRichText, {});
        QFAIL("a closed stream must not load");
    } catch (const EVtlRichEditError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Failed to Load Stream"));
    }
    QCOMPARE(editor.toPlainText(), QStringLiteral("kept"));
}

void TestVtlRichEdit::streamIn_selection_replacesOnlyTheSelection()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 one two three\\par}");
    select(editor, 4, 3);
    load(editor, "{\\rtf1 {\\b TWO}}", sfRichText, smSelection);
    QCOMPARE(editor.toPlainText(), QStringLiteral("one TWO three"));
    select(editor, 4, 3);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsBold));
    select(editor, 0, 3);
    load(editor, "ONE", sfPlainText, smSelection);
    QCOMPARE(editor.toPlainText(), QStringLiteral("ONE TWO three"));
}

void TestVtlRichEdit::streamOut_wholeAndSelection_giveRtfThatReadsBack()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 normal {\\i slanted} end\\par second\\par}");
    const QByteArray whole = save(editor);
    QVERIFY(whole.startsWith("{\\rtf1"));
    TVtlRichEdit copy;
    load(copy, whole);
    QCOMPARE(copy.toPlainText(), editor.toPlainText());
    select(copy, 8, 3);
    QCOMPARE(copy.SelAttributes().Style(), int(TRxTextAttributes::fsItalic));
    QCOMPARE(copy.SelAttributes().Size(), 12);

    select(editor, 7, 7);
    const QByteArray part = save(editor, sfRichText, smSelection);
    TVtlRichEdit partial;
    load(partial, part);
    QCOMPARE(partial.toPlainText(), QStringLiteral("slanted"));
}

void TestVtlRichEdit::streamOut_plainRtf_leavesOutPresentationData()
{
    TVtlRichEdit editor;
    // An object the editor cannot show: kept verbatim, and without its picture in plain RTF.
    load(editor, "{\\rtf1 a{\\object\\objemb{\\*\\objdata 0102}{\\result{\\pict\\wmetafile8 0a0b}}}b\\par}");
    const QByteArray full = save(editor);
    const QByteArray plain = save(editor, sfRichText, smPlainRtf);
    QVERIFY(full.contains("wmetafile"));
    QVERIFY(!plain.contains("wmetafile"));
    QVERIFY(plain.contains("objdata"));
}

void TestVtlRichEdit::streamPlainText_usesCrLfAndUnicodeOnRequest()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 first\\par second\\line third\\par}");
    QCOMPARE(save(editor, sfPlainText), QByteArray("first\r\nsecond\vthird"));
    select(editor, 0, 6);
    QCOMPARE(save(editor, sfPlainText, smSelection), QByteArray("first\r\n"));
    const QByteArray unicode = save(editor, sfPlainText, TVtlStreamModes(smSelection) | smUnicode);
    QCOMPARE(unicode.size(), 14);
    QCOMPARE(unicode.left(2), QByteArray("f\0", 2));
    TVtlRichEdit back;
    load(back, unicode, sfPlainText, smUnicode);
    QCOMPARE(back.toPlainText(), QStringLiteral("first\n"));
    load(back, "one\r\ntwo\vthree\rfour", sfPlainText);
    QCOMPARE(back.document()->blockCount(), 3);
    QCOMPARE(back.document()->findBlockByNumber(1).text(), QStringLiteral("two\u2028three"));
}

void TestVtlRichEdit::textAttributes_styleBitsSizeAndName_readWhatWasWritten()
{
    TVtlRichEdit editor;
    load(editor,
         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0\\fs20 plain {\\f1\\fs32\\b\\i\\ul\\strike all}\\par}");
    select(editor, 6, 3);
    QCOMPARE(editor.SelAttributes().Style(), 15);
    QCOMPARE(editor.SelAttributes().Size(), 16);
    QCOMPARE(editor.SelAttributes().Name(), QStringLiteral("Courier New"));
    select(editor, 0, 5);
    QCOMPARE(editor.SelAttributes().Style(), 0);
    QCOMPARE(editor.SelAttributes().Size(), 10);
    for (const int style : {1, 2, 4, 8, 5, 10, 0}) {
        editor.SelAttributes().SetStyle(style);
        QCOMPARE(editor.SelAttributes().Style(), style);
    }
    editor.SelAttributes().SetSize(18);
    editor.SelAttributes().SetName(QStringLiteral("Times New Roman"));
    QCOMPARE(editor.SelAttributes().Size(), 18);
    QCOMPARE(editor.SelAttributes().Name(), QStringLiteral("Times New Roman"));
    // And the body carries them: they survive a trip through RTF.
    editor.SelAttributes().SetStyle(TRxTextAttributes::fsBold | TRxTextAttributes::fsStrikeOut);
    TVtlRichEdit copy;
    load(copy, save(editor));
    select(copy, 0, 5);
    QCOMPARE(copy.SelAttributes().Style(), int(TRxTextAttributes::fsBold | TRxTextAttributes::fsStrikeOut));
    QCOMPARE(copy.SelAttributes().Size(), 18);
}

void TestVtlRichEdit::textAttributes_subscriptStates_readWhatWasWritten()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 H{\\sub 2}O x{\\super 2}\\par}");
    select(editor, 1, 1);
    QCOMPARE(editor.SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssSubscript));
    select(editor, 5, 1);
    QCOMPARE(editor.SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssSuperscript));
    select(editor, 0, 1);
    QCOMPARE(editor.SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssNone));
    for (const int state : {2, 1, 0}) {
        editor.SelAttributes().SetSubscriptStyle(state);
        QCOMPARE(editor.SelAttributes().SubscriptStyle(), state);
    }
}

void TestVtlRichEdit::textAttributes_colours_readWhatWasWritten()
{
    TVtlRichEdit editor;
    load(editor,
         "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}plain {\\cf1\\highlight2 red}\\par}");
    select(editor, 6, 3);
    QCOMPARE(editor.SelAttributes().Color(), QColor(255, 0, 0));
    QCOMPARE(editor.SelAttributes().BackColor(), QColor(0, 128, 0));
    select(editor, 0, 5);
    QVERIFY(!editor.SelAttributes().BackColor().isValid());
    editor.SelAttributes().SetColor(QColor(1, 2, 3));
    editor.SelAttributes().SetBackColor(QColor(200, 200, 0));
    QCOMPARE(editor.SelAttributes().Color(), QColor(1, 2, 3));
    QCOMPARE(editor.SelAttributes().BackColor(), QColor(200, 200, 0));
    editor.SelAttributes().SetBackColor(QColor());
    QVERIFY(!editor.SelAttributes().BackColor().isValid());
}

void TestVtlRichEdit::textAttributes_wordAttributes_actOnTheWordAtTheCaret()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 alpha {\\b beta} gamma\\par}");
    editor.SetSelStart(8);
    QCOMPARE(editor.WordAttributes().Style(), int(TRxTextAttributes::fsBold));
    editor.SetSelStart(14);
    editor.WordAttributes().SetStyle(TRxTextAttributes::fsItalic);
    select(editor, 11, 5);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsItalic));
    select(editor, 0, 5);
    QCOMPARE(editor.SelAttributes().Style(), 0);
}

void TestVtlRichEdit::textAttributes_defaultAttributes_giveTheDocumentFont()
{
    TVtlRichEdit editor;
    editor.DefAttributes().SetName(QStringLiteral("Courier New"));
    editor.DefAttributes().SetSize(13);
    QCOMPARE(editor.DefAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(editor.DefAttributes().Size(), 13);
    QCOMPARE(editor.document()->defaultFont().family(), QStringLiteral("Courier New"));
    editor.SelAttributes().Assign(editor.DefAttributes());
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    select(editor, 0, 3);
    QCOMPARE(editor.SelAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(editor.SelAttributes().Size(), 13);
}

void TestVtlRichEdit::paragraph_numberingStyles_readWhatWasWritten_data()
{
    QTest::addColumn<int>("numbering");
    for (int i = 0; i <= 6; ++i)
        QTest::addRow("style %d", i) << i;
}

void TestVtlRichEdit::paragraph_numberingStyles_readWhatWasWritten()
{
    QFETCH(int, numbering);
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 one\\par two\\par three\\par}");
    select(editor, 0, 6);
    editor.Paragraph().SetNumbering(numbering);
    QCOMPARE(editor.Paragraph().Numbering(), numbering);
    editor.SetSelStart(5);
    QCOMPARE(editor.Paragraph().Numbering(), numbering);
    editor.SetSelStart(9);
    QCOMPARE(editor.Paragraph().Numbering(), 0);
    // Through the body and back.
    TVtlRichEdit copy;
    load(copy, save(editor));
    copy.SetSelStart(1);
    QCOMPARE(copy.Paragraph().Numbering(), numbering);
    copy.Paragraph().SetNumbering(0);
    QCOMPARE(copy.Paragraph().Numbering(), 0);
}

void TestVtlRichEdit::paragraph_lineSpacingRules_readWhatWasWritten_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("value");
    QTest::newRow("single") << QByteArray("{\\rtf1 x\\par}") << 0 << 0;
    QTest::newRow("one and a half") << QByteArray("{\\rtf1\\sl360\\slmult1 x\\par}") << 1 << 0;
    QTest::newRow("double") << QByteArray("{\\rtf1\\sl480\\slmult1 x\\par}") << 2 << 0;
    QTest::newRow("at least") << QByteArray("{\\rtf1\\sl300\\slmult0 x\\par}") << 3 << 15;
    QTest::newRow("exactly") << QByteArray("{\\rtf1\\sl-280\\slmult0 x\\par}") << 4 << 14;
    QTest::newRow("multiple") << QByteArray("{\\rtf1\\sl720\\slmult1 x\\par}") << 5 << 3;
}

void TestVtlRichEdit::paragraph_lineSpacingRules_readWhatWasWritten()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, rule);
    QFETCH(int, value);
    TVtlRichEdit editor;
    load(editor, rtf);
    QCOMPARE(editor.Paragraph().LineSpacingRule(), rule);
    QCOMPARE(editor.Paragraph().LineSpacing(), value);

    TVtlRichEdit other;
    load(other, "{\\rtf1 x\\par}");
    other.Paragraph().SetLineSpacing(rule, value);
    QCOMPARE(other.Paragraph().LineSpacingRule(), rule);
    QCOMPARE(other.Paragraph().LineSpacing(), value);
    TVtlRichEdit copy;
    load(copy, save(other));
    QCOMPARE(copy.Paragraph().LineSpacingRule(), rule);
    QCOMPARE(copy.Paragraph().LineSpacing(), value);
}

void TestVtlRichEdit::paragraph_lengthsFromRtf_areWholePointsTruncated()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1\\li730\\fi-370\\ri1440\\sb250\\sa120 x\\par}");
    QCOMPARE(editor.Paragraph().LeftIndent(), 36);
    QCOMPARE(editor.Paragraph().FirstIndent(), -18);
    QCOMPARE(editor.Paragraph().RightIndent(), 72);
    QCOMPARE(editor.Paragraph().SpaceBefore(), 12);
    QCOMPARE(editor.Paragraph().SpaceAfter(), 6);
    editor.Paragraph().SetLeftIndent(20);
    editor.Paragraph().SetFirstIndent(-10);
    editor.Paragraph().SetRightIndent(5);
    editor.Paragraph().SetSpaceBefore(3);
    editor.Paragraph().SetSpaceAfter(4);
    QCOMPARE(editor.Paragraph().LeftIndent(), 20);
    QCOMPARE(editor.Paragraph().FirstIndent(), -10);
    QCOMPARE(editor.Paragraph().RightIndent(), 5);
    QCOMPARE(editor.Paragraph().SpaceBefore(), 3);
    QCOMPARE(editor.Paragraph().SpaceAfter(), 4);
    const QByteArray rtf = save(editor);
    QVERIFY(rtf.contains("\\li400"));
    QVERIFY(rtf.contains("\\fi-200"));
}

void TestVtlRichEdit::paragraph_tabStops_areSortedPoints()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1\\tx1440\\tx2890 a\\tab b\\par}");
    QCOMPARE(editor.Paragraph().TabCount(), 2);
    QCOMPARE(editor.Paragraph().Tab(0), 72);
    QCOMPARE(editor.Paragraph().Tab(1), 144);
    QCOMPARE(editor.Paragraph().Tab(5), 0);
    editor.Paragraph().SetTabs({100, 36, 50});
    QCOMPARE(editor.Paragraph().TabCount(), 3);
    QCOMPARE(editor.Paragraph().Tab(0), 36);
    QCOMPARE(editor.Paragraph().Tab(2), 100);
    QVERIFY(save(editor).contains("\\tx720"));
    editor.Paragraph().SetTabs({});
    QCOMPARE(editor.Paragraph().TabCount(), 0);
}

void TestVtlRichEdit::paragraph_alignment_readsWhatWasWritten()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1\\qc centred\\par}");
    QCOMPARE(editor.Paragraph().Alignment(), int(TRxParaAttributes::paCenter));
    for (const int alignment : {1, 0, 2}) {
        editor.Paragraph().SetAlignment(alignment);
        QCOMPARE(editor.Paragraph().Alignment(), alignment);
    }
}

void TestVtlRichEdit::modified_isSetByEditsAndClearedOnRequest()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 text\\par}");
    editor.SetModified(false);
    QVERIFY(!editor.Modified());
    editor.SetSelStart(2);
    QVERIFY(!editor.Modified());
    QTest::keyClicks(&editor, QStringLiteral("x"));
    QVERIFY(editor.Modified());
    editor.SetModified(false);
    QVERIFY(!editor.Modified());
    editor.SelAttributes().SetStyle(TRxTextAttributes::fsBold);
    select(editor, 0, 2);
    editor.SelAttributes().SetStyle(TRxTextAttributes::fsBold);
    QVERIFY(editor.Modified());
}

void TestVtlRichEdit::undo_limit_capsTheStepsThatCanBeUndone()
{
    TVtlRichEdit editor;
    QCOMPARE(editor.UndoLimit(), 100);
    editor.SetUndoLimit(3);
    load(editor, "{\\rtf1 abcdefgh\\par}");
    QVERIFY(!editor.CanUndo());
    for (int i = 0; i < 5; ++i) {
        select(editor, i, 1);
        editor.SelAttributes().SetStyle(TRxTextAttributes::fsBold);
    }
    int undone = 0;
    while (editor.CanUndo()) {
        editor.Undo();
        ++undone;
    }
    QCOMPARE(undone, 3);
    select(editor, 1, 1);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsBold));
    select(editor, 2, 1);
    QCOMPARE(editor.SelAttributes().Style(), 0);
    QVERIFY(editor.CanRedo());
    editor.Redo();
    select(editor, 2, 1);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsBold));
    QVERIFY(editor.CanUndo());
    // A new edit ends the redo chain.
    select(editor, 6, 1);
    editor.SelAttributes().SetStyle(TRxTextAttributes::fsItalic);
    QVERIFY(!editor.CanRedo());
}

void TestVtlRichEdit::undo_limitZero_switchesUndoOff()
{
    TVtlRichEdit editor;
    editor.SetUndoLimit(0);
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    QVERIFY(!editor.CanUndo());
    editor.Undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("abc"));
}

void TestVtlRichEdit::lines_charactersAndLinesMapBothWays()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    load(editor, "{\\rtf1 zero\\par one\\par two\\par three\\par}");
    QCOMPARE(editor.LineCount(), 4);
    QCOMPARE(editor.LineFromChar(0), 0);
    QCOMPARE(editor.LineFromChar(4), 0);
    QCOMPARE(editor.LineFromChar(5), 1);
    QCOMPARE(editor.LineFromChar(13), 3);
    QCOMPARE(editor.CharFromLine(0), 0);
    QCOMPARE(editor.CharFromLine(2), 9);
    QCOMPARE(editor.CharFromLine(3), 13);
    QCOMPARE(editor.CharFromLine(4), -1);
    QCOMPARE(editor.CharFromLine(-1), -1);
    const QRect third = editor.cursorRect(editor.cursorForPosition(QPoint(0, 0)));
    Q_UNUSED(third);
    QTextCursor at(editor.document());
    at.setPosition(10);
    const QRect rect = editor.cursorRect(at);
    QCOMPARE(editor.CharAtPoint(QPoint(rect.left() + 1, rect.center().y())), 10);
}

void TestVtlRichEdit::lines_wrappedParagraphs_countDisplayLines()
{
    TShownEditor shown(150, 200);
    TVtlRichEdit &editor = shown.editor;
    QByteArray words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    load(editor, "{\\rtf1 " + words + "\\par end\\par}");
    const int lines = editor.LineCount();
    QVERIFY(lines > 3);
    QCOMPARE(editor.LineFromChar(editor.TextLength()), lines - 1);
    const int second = editor.CharFromLine(1);
    QVERIFY(second > 0 && second < 200);
    QCOMPARE(editor.LineFromChar(second), 1);
    QCOMPARE(editor.LineFromChar(second - 1), 0);
    editor.SetWordWrap(false);
    QVERIFY(!editor.WordWrap());
    QCOMPARE(editor.LineCount(), 2);
}

void TestVtlRichEdit::lineScroll_movesTheFirstVisibleLine()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    QByteArray body = "{\\rtf1 ";
    for (int i = 0; i < 100; ++i)
        body += "line " + QByteArray::number(i) + "\\par ";
    load(editor, body + "}");
    QCOMPARE(editor.FirstVisibleLine(), 0);
    editor.LineScroll(30);
    QCOMPARE(editor.FirstVisibleLine(), 30);
    editor.LineScroll(-10);
    QCOMPARE(editor.FirstVisibleLine(), 20);
    editor.LineScroll(-100);
    QCOMPARE(editor.FirstVisibleLine(), 0);
}

void TestVtlRichEdit::selectionBar_clickInTheLeftMargin_selectsTheLine()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    QVERIFY(editor.SelectionBar());
    load(editor, "{\\rtf1 first line\\par second line\\par third\\par}");
    QTextCursor second(editor.document());
    second.setPosition(12);
    const int y = editor.cursorRect(second).center().y();
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, QPoint(2, y));
    QCOMPARE(editor.SelStart(), 11);
    QCOMPARE(editor.SelText(), QStringLiteral("second line\r\n"));
    // Without the bar the same click only places the caret.
    editor.SetSelectionBar(false);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, QPoint(2, y));
    QCOMPARE(editor.SelLength(), 0);
}

void TestVtlRichEdit::urls_detectedInTextAndLinks_reportTheirTarget()
{
    TVtlRichEdit editor;
    QVERIFY(editor.AutoURLDetect());
    load(editor, "{\\rtf1 see http://example.com/page. and {\\field{\\*\\fldinst HYPERLINK \"@_7\"}{\\fldrslt here}} "
                 "or www.test.org\\par}");
    const QString text = editor.toPlainText();
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("example")))), QStringLiteral("http://example.com/page"));
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("here"))) + 1), QStringLiteral("@_7"));
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("test")))), QStringLiteral("www.test.org"));
    QCOMPARE(editor.UrlAt(0), QString());
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("page."))) + 4), QString());
    editor.SetAutoURLDetect(false);
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("example")))), QString());
    QCOMPARE(editor.UrlAt(int(text.indexOf(QLatin1String("here")))), QStringLiteral("@_7"));
}

void TestVtlRichEdit::urls_leftClick_firesUrlClicked()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    load(editor, "{\\rtf1 go to http://example.com now\\par}");
    QSignalSpy spy(&editor, &TVtlRichEdit::urlClicked);
    QTextCursor at(editor.document());
    at.setPosition(int(editor.toPlainText().indexOf(QLatin1String("example"))) + 2);
    const QRect rect = editor.cursorRect(at);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("http://example.com"));
    QCOMPARE(spy.at(0).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
    at.setPosition(1);
    const QRect plain = editor.cursorRect(at);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, QPoint(plain.left() + 2, plain.center().y()));
    QCOMPARE(spy.size(), 1);
}

void TestVtlRichEdit::urls_marksAreDrawnButNotStored()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    load(editor, "{\\rtf1 plain line\\par mail mailto:me@example.org today\\par}");
    editor.grab();
    const QTextBlock second = editor.document()->findBlockByNumber(1);
    const QList<QTextLayout::FormatRange> marks = second.layout()->formats();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.at(0).start, 5);
    QCOMPARE(marks.at(0).length, 21);
    QVERIFY(marks.at(0).format.fontUnderline());
    QVERIFY(editor.document()->firstBlock().layout()->formats().isEmpty());
    QVERIFY(!save(editor).contains("\\ul"));
    QVERIFY(!editor.Modified());
    // An edit that breaks the address takes the mark away at the next drawing.
    QTextCursor cursor(editor.document());
    cursor.setPosition(19);
    cursor.insertText(QStringLiteral(" "));
    editor.grab();
    QVERIFY(editor.document()->findBlockByNumber(1).layout()->formats().isEmpty());
    editor.SetAutoURLDetect(false);
    editor.grab();
    QVERIFY(editor.document()->findBlockByNumber(1).layout()->formats().isEmpty());
}

void TestVtlRichEdit::find_directionCaseAndWholeWord()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 Cat catalog cat CAT\\par}");
    QCOMPARE(editor.FindText(QStringLiteral("cat"), {}), 0);
    QCOMPARE(editor.FindText(QStringLiteral("cat"), {}), 4);
    QCOMPARE(editor.FindText(QStringLiteral("cat"), foMatchCase), 12);
    QCOMPARE(editor.FindText(QStringLiteral("cat"), foMatchCase), -1);
    QCOMPARE(editor.SelStart(), 12);
    QCOMPARE(editor.FindText(QStringLiteral("cat"), foUp), 4);
    editor.SetSelStart(0);
    QCOMPARE(editor.FindText(QStringLiteral("cat"), TVtlFindOptions(foWholeWord) | foMatchCase), 12);
    QCOMPARE(editor.SelLength(), 3);
    QCOMPARE(editor.FindText(QString(), {}), -1);
}

void TestVtlRichEdit::replaceAll_replacesEveryMatchAsOneUndoStep()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 a cat, a Cat, a catalog\\par}");
    QCOMPARE(editor.ReplaceAll(QStringLiteral("cat"), QStringLiteral("dog"), foWholeWord), 2);
    QCOMPARE(editor.toPlainText(), QStringLiteral("a dog, a dog, a catalog"));
    QVERIFY(editor.CanUndo());
    editor.Undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a cat, a Cat, a catalog"));
    // A replacement that contains the pattern does not loop.
    QCOMPARE(editor.ReplaceAll(QStringLiteral("a"), QStringLiteral("aa"), foMatchCase), 7);
}

void TestVtlRichEdit::findDialog_findNext_selectsMatchesAndReportsTheEnd()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 one two one\\par}");
    editor.FindDialog(QStringLiteral("one"));
    TVtlFindDialog *dialog = editor.ActiveFindDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->FindText(), QStringLiteral("one"));
    QVERIFY(dialog->FindNext());
    QCOMPARE(editor.SelStart(), 0);
    QVERIFY(dialog->FindNext());
    QCOMPARE(editor.SelStart(), 8);
    QVERIFY(!dialog->FindNext());
    QCOMPARE(dialog->Status(), QStringLiteral("Cannot find \"one\"."));
    dialog->SetOptions(foUp);
    QVERIFY(dialog->FindNext());
    QCOMPARE(editor.SelStart(), 0);
    // Asking again reuses the dialog.
    editor.FindDialog(QStringLiteral("two"));
    QCOMPARE(editor.ActiveFindDialog(), dialog);
    QCOMPARE(dialog->FindText(), QStringLiteral("two"));
}

void TestVtlRichEdit::replaceDialog_replaceAndReplaceAll()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 red green red blue red\\par}");
    editor.ReplaceDialog(QStringLiteral("red"));
    TVtlReplaceDialog *dialog = editor.ActiveReplaceDialog();
    QVERIFY(dialog);
    dialog->SetReplaceText(QStringLiteral("pink"));
    // The first press finds, the second replaces and finds the next.
    QVERIFY(dialog->Replace());
    QCOMPARE(editor.SelStart(), 0);
    QVERIFY(dialog->Replace());
    QCOMPARE(editor.toPlainText(), QStringLiteral("pink green red blue red"));
    QCOMPARE(editor.SelText(), QStringLiteral("red"));
    QCOMPARE(dialog->ReplaceAll(), 2);
    QCOMPARE(editor.toPlainText(), QStringLiteral("pink green pink blue pink"));
    QCOMPARE(dialog->ReplaceAll(), 0);
    QCOMPARE(dialog->Status(), QStringLiteral("Cannot find \"red\"."));
}

void TestVtlRichEdit::clipboard_copyAndPaste_keepFormatting()
{
    TVtlRichEdit editor;
    load(editor, "{\\rtf1 plain {\\b bold}\\par}");
    select(editor, 6, 4);
    editor.copy();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
    QCOMPARE(data->text(), QStringLiteral("bold"));
    QVERIFY(editor.CanPaste());
    editor.SetSelStart(0);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("boldplain bold"));
    select(editor, 0, 4);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsBold));
    select(editor, 0, 4);
    editor.cut();
    QCOMPARE(editor.toPlainText(), QStringLiteral("plain bold"));
}

void TestVtlRichEdit::pasteSpecial_eachFormat_insertsWhatItNames()
{
    TVtlRichEdit editor;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), "{\\rtf1 {\\i rich}{\\pict\\pngblip 00}}");
    data->setText(QStringLiteral("plain"));
    data->setImageData(testImage(Qt::red));
    QApplication::clipboard()->setMimeData(data);
    QVERIFY(editor.CanPasteFormat(pfRichText));
    QVERIFY(editor.CanPasteFormat(pfRichTextNoObjects));
    QVERIFY(editor.CanPasteFormat(pfText));
    QVERIFY(editor.CanPasteFormat(pfBitmap));

    editor.PasteSpecial(pfText);
    QCOMPARE(editor.toPlainText(), QStringLiteral("plain"));
    select(editor, 0, 5);
    QCOMPARE(editor.SelAttributes().Style(), 0);

    editor.clear();
    editor.PasteSpecial(pfRichText);
    QCOMPARE(editor.toPlainText(), QStringLiteral("rich") + QChar(QChar::ObjectReplacementCharacter));

    editor.clear();
    editor.PasteSpecial(pfRichTextNoObjects);
    QCOMPARE(editor.toPlainText(), QStringLiteral("rich"));
    select(editor, 0, 4);
    QCOMPARE(editor.SelAttributes().Style(), int(TRxTextAttributes::fsItalic));

    editor.clear();
    editor.PasteSpecial(pfBitmap);
    QCOMPARE(editor.toPlainText(), QString(QChar(QChar::ObjectReplacementCharacter)));
    QVERIFY(save(editor).contains("\\pngblip"));

    QApplication::clipboard()->setText(QStringLiteral("only text"));
    QVERIFY(!editor.CanPasteFormat(pfRichText));
    QVERIFY(!editor.CanPasteFormat(pfBitmap));
}

void TestVtlRichEdit::pasteSpecialDialog_offersOnlyWhatTheClipboardHolds()
{
    TVtlRichEdit editor;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), "{\\rtf1 {\\b rich}}");
    data->setText(QStringLiteral("plain"));
    QApplication::clipboard()->setMimeData(data);
    QStringList offered;
    QTimer::singleShot(0, &editor, [&] {
        auto *dialog = editor.findChild<QDialog *>(QStringLiteral("PasteSpecialDialog"));
        QVERIFY(dialog);
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lbFormats"));
        for (int i = 0; i < list->count(); ++i)
            offered.append(list->item(i)->text());
        list->setCurrentRow(2);
        dialog->accept();
    });
    QVERIFY(editor.PasteSpecialDialog());
    QCOMPARE(offered,
             (QStringList{QStringLiteral("Rich Text Format"), QStringLiteral("Rich Text Format Without Objects"),
                          QStringLiteral("Unformatted text")}));
    QCOMPARE(editor.toPlainText(), QStringLiteral("plain"));
    QApplication::clipboard()->clear();
    QVERIFY(!editor.PasteSpecialDialog());
}

void TestVtlRichEdit::selectionType_tellsTextFromObjects()
{
    TVtlRichEdit editor;
    QCOMPARE(int(editor.SelectionType()), 0);
    load(editor, "{\\rtf1 ab}");
    editor.SetSelStart(2);
    editor.InsertImage(testImage(Qt::blue));
    editor.InsertImage(testImage(Qt::green));
    select(editor, 0, 1);
    QCOMPARE(editor.SelectionType(), TVtlSelectionType(stText));
    select(editor, 0, 2);
    QCOMPARE(editor.SelectionType(), TVtlSelectionType(stText) | stMultiChar);
    select(editor, 2, 1);
    QCOMPARE(editor.SelectionType(), TVtlSelectionType(stObject));
    select(editor, 1, 3);
    QCOMPARE(editor.SelectionType(), TVtlSelectionType(stText) | stObject | stMultiObject);
    editor.ClearSelection();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a"));
}

void TestVtlRichEdit::wantReturns_off_leavesReturnToTheForm()
{
    TVtlRichEdit editor;
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.document()->blockCount(), 2);
    editor.SetWantReturns(false);
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.document()->blockCount(), 2);
    QVERIFY(!editor.WantTabs());
    editor.SetWantTabs(true);
    QTest::keyClick(&editor, Qt::Key_Tab);
    QVERIFY(editor.toPlainText().contains(QLatin1Char('\t')));
}

void TestVtlRichEdit::wordSelection_dragBeyondAWord_selectsWholeWords()
{
    TShownEditor shown;
    TVtlRichEdit &editor = shown.editor;
    load(editor, "{\\rtf1 alpha bravo charlie\\par}");
    const auto pointAt = [&editor](int position) {
        QTextCursor at(editor.document());
        at.setPosition(position);
        const QRect rect = editor.cursorRect(at);
        return QPoint(rect.left() + 1, rect.center().y());
    };
    QWidget *viewport = editor.viewport();
    QMouseEvent press(QEvent::MouseButtonPress, pointAt(2), viewport->mapToGlobal(pointAt(2)), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &press);
    QMouseEvent move(QEvent::MouseMove, pointAt(14), viewport->mapToGlobal(pointAt(14)), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(viewport, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, pointAt(14), viewport->mapToGlobal(pointAt(14)), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(viewport, &release);
    QCOMPARE(editor.SelText(), QStringLiteral("alpha bravo charlie"));
}

QTEST_MAIN(TestVtlRichEdit)
#include "tst_VtlRichEdit.moc"
