// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/ArticleRichEdit.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QEnterEvent>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void load(TArticleRichEdit &editor, const QByteArray &data, int format = 1, int modes = 0)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    editor.StreamIn(buffer, format, modes);
}

QByteArray save(TArticleRichEdit &editor, int format = 1, int modes = 0)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    editor.StreamOut(buffer, format, modes);
    return bytes;
}

QString writePicture(const QTemporaryDir &dir, const QString &name, const char *format)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 200));
    const QString path = dir.filePath(name);
    return image.save(path, format) ? path : QString();
}

} // namespace

class TestArticleRichEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void caretLineAndColumn_followTheEndOfTheSelection();
    void firstVisibleLine_setOnlyScrollsDown();
    void currentAttributes_withoutSelection_isTheWordAtTheCaret();
    void streams_formatAndModeNumbers_selectWhatTheyName();
    void insertHyperlink_backslashes_showAndOpenSingle();
    void insertHyperlink_internalLink_replacesTheSelection();
    void insertPicture_readableFiles_goStraightIntoTheBody_data();
    void insertPicture_readableFiles_goStraightIntoTheBody();
    void insertPicture_unreadableFile_raisesAndChangesNothing_data();
    void insertPicture_unreadableFile_raisesAndChangesNothing();
    void mouseEnterAndLeave_fireTheirSignals();
};

void TestArticleRichEdit::caretLineAndColumn_followTheEndOfTheSelection()
{
    TArticleRichEdit editor;
    editor.resize(400, 200);
    editor.show();
    load(editor, "{\\rtf1 zero\\par one\\par two\\par}");
    editor.SetSelStart(2);
    editor.SetSelLength(7);
    QCOMPARE(editor.CaretLine(), 2);
    QCOMPARE(editor.CaretColumn(), 0);
    editor.SetSelStart(6);
    editor.SetSelLength(1);
    QCOMPARE(editor.CaretLine(), 1);
    QCOMPARE(editor.CaretColumn(), 2);
    // A selection made backwards ends at the same place.
    QTextCursor backwards(editor.document());
    backwards.setPosition(12);
    backwards.setPosition(1, QTextCursor::KeepAnchor);
    editor.setTextCursor(backwards);
    QCOMPARE(editor.CaretLine(), 2);
    QCOMPARE(editor.CaretColumn(), 3);
}

void TestArticleRichEdit::firstVisibleLine_setOnlyScrollsDown()
{
    TArticleRichEdit editor;
    editor.resize(300, 150);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QByteArray body = "{\\rtf1 ";
    for (int i = 0; i < 80; ++i)
        body += "row " + QByteArray::number(i) + "\\par ";
    load(editor, body + "}");
    editor.SetFirstVisibleLine(25);
    QCOMPARE(int(editor.FirstVisibleLine()), 25);
    editor.SetFirstVisibleLine(10);
    QCOMPARE(int(editor.FirstVisibleLine()), 25);
}

void TestArticleRichEdit::currentAttributes_withoutSelection_isTheWordAtTheCaret()
{
    TArticleRichEdit editor;
    load(editor, "{\\rtf1 one {\\b two} three\\par}");
    editor.SetSelStart(5);
    QCOMPARE(&editor.CurrentAttributes(), &editor.WordAttributes());
    QCOMPARE(editor.CurrentAttributes().Style(), int(TRxTextAttributes::fsBold));
    editor.CurrentAttributes().SetStyle(TRxTextAttributes::fsItalic);
    editor.SetSelStart(4);
    editor.SetSelLength(3);
    QCOMPARE(&editor.CurrentAttributes(), &editor.SelAttributes());
    QCOMPARE(editor.CurrentAttributes().Style(), int(TRxTextAttributes::fsItalic));
}

void TestArticleRichEdit::streams_formatAndModeNumbers_selectWhatTheyName()
{
    TArticleRichEdit editor;
    load(editor, "{\\rtf1 alpha {\\b beta}\\par}");
    QCOMPARE(save(editor, 0, 0), QByteArray("alpha beta"));
    QVERIFY(save(editor, 1, 0).startsWith("{\\rtf1"));
    editor.SetSelStart(6);
    editor.SetSelLength(4);
    const QByteArray selection = save(editor, 1, 2);
    QVERIFY(selection.contains("beta"));
    QVERIFY(!selection.contains("alpha"));
    QCOMPARE(save(editor, 7, 2), QByteArray("beta"));
    load(editor, "BETA", 0, 2);
    QCOMPARE(editor.toPlainText(), QStringLiteral("alpha BETA"));
    load(editor, "{\\rtf1 whole}", 1, 0);
    QCOMPARE(editor.toPlainText(), QStringLiteral("whole"));
}

void TestArticleRichEdit::insertHyperlink_backslashes_showAndOpenSingle()
{
    const QByteArray rtf =
        TArticleRichEdit::HyperlinkRtf(QStringLiteral("C:\\docs\\a.txt"), QStringLiteral("C:\\docs"));
    QCOMPARE(rtf, QByteArray("{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}{\\field{\\*\\fldinst { HYPERLINK "
                             "\"C:\\\\docs\\\\a.txt\" }}{\\fldrslt{\\cf1\\ul C:\\\\docs}}}\\cf0\\ulnone}"));

    TArticleRichEdit editor;
    load(editor, "{\\rtf1 see \\par}");
    editor.SetSelStart(4);
    editor.InsertHyperlink(QStringLiteral("C:\\docs\\a.txt"), QStringLiteral("C:\\docs"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("see C:\\docs"));
    QCOMPARE(editor.UrlAt(5), QStringLiteral("C:\\docs\\a.txt"));
    editor.SetSelStart(4);
    editor.SetSelLength(7);
    QCOMPARE(editor.SelAttributes().Color(), QColor(0, 0, 255));
    QVERIFY(editor.SelAttributes().Style() & TRxTextAttributes::fsUnderline);
    // The body keeps the target through a save and a load.
    TArticleRichEdit copy;
    load(copy, save(editor));
    QCOMPARE(copy.UrlAt(6), QStringLiteral("C:\\docs\\a.txt"));
    // Braces in the shown text do not break the field.
    editor.SetSelStart(0);
    editor.InsertHyperlink(QStringLiteral("@_9"), QStringLiteral("set {a} }"));
    QVERIFY(editor.toPlainText().startsWith(QStringLiteral("set {a} }see")));
    QCOMPARE(editor.UrlAt(8), QStringLiteral("@_9"));
    // Text beyond 7 bits survives too.
    editor.SetSelStart(0);
    editor.InsertHyperlink(QStringLiteral("@_3"), QStringLiteral("\u00c9t\u00e9 \u65e5"));
    QVERIFY(editor.toPlainText().startsWith(QStringLiteral("\u00c9t\u00e9 \u65e5")));
}

void TestArticleRichEdit::insertHyperlink_internalLink_replacesTheSelection()
{
    TArticleRichEdit editor;
    load(editor, "{\\rtf1 go to target now\\par}");
    editor.SetSelStart(6);
    editor.SetSelLength(6);
    editor.InsertHyperlink(QStringLiteral("@_42"), QStringLiteral("Article"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("go to Article now"));
    QCOMPARE(editor.UrlAt(7), QStringLiteral("@_42"));
    QCOMPARE(editor.UrlAt(1), QString());
    QVERIFY(save(editor).contains("HYPERLINK \"@_42\""));
    QVERIFY(editor.CanUndo());
}

void TestArticleRichEdit::insertPicture_readableFiles_goStraightIntoTheBody_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("blip");
    QTest::newRow("png") << QStringLiteral("p.png") << QByteArray("PNG") << QByteArray("\\pngblip");
    QTest::newRow("bmp") << QStringLiteral("p.bmp") << QByteArray("BMP") << QByteArray("\\pngblip");
    QTest::newRow("jpeg") << QStringLiteral("p.jpg") << QByteArray("JPG") << QByteArray("\\jpegblip");
}

void TestArticleRichEdit::insertPicture_readableFiles_goStraightIntoTheBody()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, blip);
    if (!QImageWriter::supportedImageFormats().contains(format.toLower()))
        QSKIP("no writer for this format to make the test file");
    QTemporaryDir dir;
    const QString path = writePicture(dir, name, format.constData());
    QVERIFY(!path.isEmpty());
    QApplication::clipboard()->setText(QStringLiteral("the user's clipboard"));

    TArticleRichEdit editor;
    load(editor, "{\\rtf1 ab\\par}");
    editor.SetSelStart(1);
    QVERIFY(editor.InsertPicture(path));
    QCOMPARE(editor.toPlainText(), QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter) + QLatin1Char('b'));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's clipboard"));
    const QByteArray rtf = save(editor);
    QVERIFY(rtf.contains(blip));
    TArticleRichEdit copy;
    load(copy, rtf);
    QCOMPARE(copy.toPlainText(), editor.toPlainText());
}

void TestArticleRichEdit::insertPicture_unreadableFile_raisesAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("text file") << QByteArray("just some words") << true;
    QTest::newRow("damaged jpeg") << QByteArray("\xFF\xD8\xFF\xE0garbage") << true;
    QTest::newRow("truncated png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << true;
}

void TestArticleRichEdit::insertPicture_unreadableFile_raisesAndChangesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.jpg"));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    TArticleRichEdit editor;
    load(editor, "{\\rtf1 body\\par}");
    editor.SetModified(false);
    try {
        editor.InsertPicture(path);
        QFAIL("a file that is no picture must raise");
    } catch (const EVtlPictureError &e) {
        QVERIFY(e.Message().contains(path));
    }
    QCOMPARE(editor.toPlainText(), QStringLiteral("body"));
    QVERIFY(!editor.Modified());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

void TestArticleRichEdit::mouseEnterAndLeave_fireTheirSignals()
{
    TArticleRichEdit editor;
    QSignalSpy entered(&editor, &TArticleRichEdit::mouseEntered);
    QSignalSpy left(&editor, &TArticleRichEdit::mouseLeft);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&editor, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&editor, &leave);
    QCOMPARE(entered.size(), 1);
    QCOMPARE(left.size(), 1);
}

QTEST_MAIN(TestArticleRichEdit)
#include "tst_ArticleRichEdit.moc"
