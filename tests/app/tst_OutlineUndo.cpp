// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"

#include "rtf/QBRtfReader.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QTextDocument>

namespace {

QString plainBody(const IQBArticlePtr &article)
{
    QTextDocument document;
    TQBRtfReader::Load(document, article->Content().toLatin1());
    return document.toPlainText();
}

// The captions settle once the command's events are over.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

// Edit > Undo and Redo in the window: the outline's steps while the outline has the focus, the
// editor's own undo while the editor has it.
class TestOutlineUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Delete from the Document menu, then undo and redo from the Edit menu by focus.
    void editMenu_followsTheFocus()
    {
        TAppFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr garden = f.add(QStringLiteral("Garden notebook"));
        const IQBArticlePtr roses = f.add(QStringLiteral("Roses"), garden);
        roses->SetContent(QStringLiteral("{\\rtf1\\ansi Prune in March.\\par}"));
        const qint32 rosesIid = roses->IID();
        const IQBArticlePtr kitchen = f.add(QStringLiteral("Kitchen"));

        f.select(garden);
        frame->OutlinePane->atvOutline->setFocus();
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        f.run(frame->DocDelete);
        QCOMPARE(QBDialogs::ShownTexts().last(),
                 QStringLiteral("Do you wish to delete article 'Garden notebook' and all of its subarticles?"));
        QVERIFY(!f.doc()->FindArticle(rosesIid));
        settle();
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo Delete 'Garden notebook'"));
        QVERIFY(!frame->EditRedo->isEnabled());

        // The editor's own undo is what the editor offers while it has the focus.
        f.select(kitchen);
        frame->RichEdit->setFocus();
        QTest::keyClicks(frame->RichEdit, QStringLiteral("soup"));
        settle();
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo"));
        f.run(frame->EditUndo);
        QVERIFY(!frame->RichEdit->toPlainText().contains(QStringLiteral("soup")));
        QVERIFY(!f.doc()->FindArticle(rosesIid));

        frame->OutlinePane->atvOutline->setFocus();
        settle();
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo Delete 'Garden notebook'"));
        f.run(frame->EditUndo);
        QCOMPARE(f.doc()->FindArticle(rosesIid), roses);
        QCOMPARE(roses->Parent(), garden);
        QCOMPARE(garden->Index(), 0);
        QCOMPARE(frame->OutlinePane->SelectedArticle(), garden);
        QCOMPARE(EditorService()->CurrentArticle(), garden);
        settle();
        QCOMPARE(frame->EditRedo->text(), QStringLiteral("&Redo Delete 'Garden notebook'"));
        QVERIFY(!frame->EditUndo->isEnabled());
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo"));

        // The Delete key on the tree asks and deletes as the menu does; Ctrl+Z brings it back.
        f.select(kitchen);
        frame->OutlinePane->atvOutline->setFocus();
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        QTest::keyClick(frame->OutlinePane->atvOutline, Qt::Key_Delete);
        QVERIFY(!kitchen->Parent());
        settle();
        QTest::keyClick(frame->OutlinePane->atvOutline, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(kitchen->Parent(), f.doc()->Root());

        // Ctrl+Shift+Z redoes.
        settle();
        QTest::keyClick(frame->OutlinePane->atvOutline, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!kitchen->Parent());
        QCOMPARE(garden->Parent(), f.doc()->Root());
        QCOMPARE(plainBody(roses), QStringLiteral("Prune in March."));
    }

    // Saving keeps the history; a new or opened document starts without one. The texts follow
    // the language.
    void history_livesWithTheDocument()
    {
        TShippedLanguages languages;
        TAppFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr notes = f.add(QStringLiteral("Notes"));
        f.select(notes);
        frame->OutlinePane->atvOutline->setFocus();
        f.run(frame->DocAddChild);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!frame->OutlinePane->IsEditing());
        QCOMPARE(notes->Items()->Count(), 1);

        QBDialogs::QueueFileName(f.path(QStringLiteral("notes.xqb")));
        f.run(frame->FileSave);
        QVERIFY(!f.doc()->Modified());
        frame->OutlinePane->atvOutline->setFocus();
        settle();
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo Add child of 'Notes'"));
        f.run(frame->EditUndo);
        QCOMPARE(notes->Items()->Count(), 0);
        QVERIFY(f.doc()->Modified());

        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        settle();
        QCOMPARE(frame->EditRedo->text(), QStringLiteral("&Wiederherstellen: Unterartikel zu 'Notes' hinzufügen"));
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Rückgängig"));

        QBDialogs::QueueAnswer(QMessageBox::No);
        f.run(frame->FileNew);
        QCOMPARE(f.doc()->UndoStack().Count(), 0);
        frame->OutlinePane->atvOutline->setFocus();
        settle();
        QVERIFY(!frame->EditRedo->isEnabled());
        QCOMPARE(frame->EditRedo->text(), QStringLiteral("&Wiederherstellen"));
        QBDialogs::QueueFileName(f.path(QStringLiteral("notes.xqb")));
        f.run(frame->FileOpen);
        QCOMPARE(f.doc()->UndoStack().Count(), 0);
        QCOMPARE(f.doc()->Root()->Items()->First()->Items()->Count(), 1);
    }

    // A split is one step: undone, the article has its whole text again and the editor shows it.
    // Typing into a part afterwards keeps the split from being taken back, and says so.
    void split_isOneStep()
    {
        TAppFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr article = f.add(QStringLiteral("Letter"));
        f.select(article);
        frame->RichEdit->setFocus();
        QTest::keyClicks(frame->RichEdit, QStringLiteral("Dear Ann, the roses are out."));
        frame->RichEdit->SetSelStart(10);
        frame->alStandardUpdate();
        f.run(frame->DocSplit);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 2);
        QCOMPARE(plainBody(article), QStringLiteral("Dear Ann, "));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

        frame->OutlinePane->atvOutline->setFocus();
        settle();
        QCOMPARE(frame->EditUndo->text(), QStringLiteral("&Undo Split 'Letter'"));
        f.run(frame->EditUndo);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 1);
        QCOMPARE(plainBody(article), QStringLiteral("Dear Ann, the roses are out."));
        QCOMPARE(EditorService()->CurrentArticle(), article);
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("Dear Ann, the roses are out."));
        QVERIFY(!frame->RichEdit->Modified());

        settle();
        f.run(frame->EditRedo);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 2);
        QCOMPARE(plainBody(article), QStringLiteral("Dear Ann, "));

        // More typing into the first part, then undo: refused, nothing lost.
        f.select(article);
        frame->RichEdit->setFocus();
        frame->RichEdit->SetSelStart(frame->RichEdit->TextLength());
        QTest::keyClicks(frame->RichEdit, QStringLiteral("PS"));
        frame->OutlinePane->atvOutline->setFocus();
        settle();
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(frame->EditUndo);
        QCOMPARE(QBDialogs::ShownTexts().last(),
                 QStringLiteral("The text of 'Letter' was changed after this step, so the step cannot be undone."));
        QCOMPARE(plainBody(article), QStringLiteral("Dear Ann, PS"));
        QCOMPARE(f.doc()->Root()->Items()->Count(), 2);
    }
};

QTEST_MAIN(TestOutlineUndo)
#include "tst_OutlineUndo.moc"
