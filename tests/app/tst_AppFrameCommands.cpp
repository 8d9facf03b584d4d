// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "app/AppData.h"
#include "app/AppFrame.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "controls/ArticleTree.h"
#include "document/QBClipbrd.h"
#include "framework/NVKInit.h"
#include "panes/OutlinePane.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"
#include "platform/QBKeyboard.h"
#include "rtf/QBRtfReader.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// The main window with helpers of these tests.
struct TFrameFixture : TAppFrameFixture
{
    IQBEditorServicePtr edit() const { return EditorService(); }
};

// The runs of an article body that carry a character style: (text, bold, italic).
using TStyledRun = std::tuple<QString, bool, bool>;
QList<TStyledRun> styledRuns(const QString &body)
{
    QTextDocument document;
    TQBRtfReader::Load(document, body.toLatin1());
    QList<TStyledRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const bool bold = format.fontWeight() >= QFont::Bold;
            const bool italic = format.fontItalic();
            if (bold || italic)
                runs.append({it.fragment().text(), bold, italic});
        }
    }
    return runs;
}

QString plainBody(const IQBArticlePtr &article)
{
    QTextDocument document;
    TQBRtfReader::Load(document, article->Content().toLatin1());
    return document.toPlainText();
}

} // namespace

// The Article, Navigate and Window commands, the popups and splitting an article.
class TestAppFrameCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void docCommands_rootSelected_disablesDeleteAndSiblings()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        f.select(f.doc()->Root());
        QVERIFY(frame->DocAddChild->isEnabled());
        QVERIFY(frame->DocRename->isEnabled());
        QVERIFY(frame->DocChangeMarker->isEnabled());
        QVERIFY(!frame->DocDelete->isEnabled());
        QVERIFY(!frame->DocAddSiblingAbove->isEnabled());
        QVERIFY(!frame->DocAddSiblingBelow->isEnabled());
        for (QAction *move : {frame->DocMoveUp, frame->DocMoveDown, frame->DocMoveLeft, frame->DocMoveRight})
            QVERIFY2(!move->isEnabled(), qPrintable(move->objectName()));
    }

    void docCommands_movesFollowTheAllowedMoves()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr a = f.add(QStringLiteral("A"));
        const IQBArticlePtr b = f.add(QStringLiteral("B"));
        const IQBArticlePtr c = f.add(QStringLiteral("C"), b);
        const auto moves = [frame] {
            return QList<bool>{frame->DocMoveUp->isEnabled(), frame->DocMoveDown->isEnabled(),
                               frame->DocMoveLeft->isEnabled(), frame->DocMoveRight->isEnabled()};
        };
        f.select(a);
        QCOMPARE(moves(), QList<bool>({false, true, false, false}));
        QVERIFY(frame->DocDelete->isEnabled());
        QVERIFY(frame->DocAddSiblingBelow->isEnabled());
        f.select(b);
        QCOMPARE(moves(), QList<bool>({true, false, false, true}));
        f.select(c);
        QCOMPARE(moves(), QList<bool>({false, false, true, false}));

        f.run(frame->DocMoveLeft);
        QCOMPARE(c->Parent(), f.doc()->Root());
        QCOMPARE(c->Index(), 2);
        f.select(c);
        f.run(frame->DocMoveUp);
        QCOMPARE(c->Index(), 1);
        f.select(c);
        f.run(frame->DocMoveRight);
        QCOMPARE(c->Parent(), a);
        f.select(a);
        f.run(frame->DocMoveDown);
        QCOMPARE(a->Index(), 1);
    }

    void docCommands_addAndDeleteGoThroughTheOutline()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        f.select(f.doc()->Root());
        f.run(frame->DocAddChild);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 1);
        const IQBArticlePtr first = f.doc()->Root()->Items()->Get(0);
        f.select(first);
        f.run(frame->DocAddSiblingBelow);
        f.select(first);
        f.run(frame->DocAddSiblingAbove);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 3);
        QCOMPARE(first->Index(), 1);

        f.select(first);
        QBDialogs::QueueAnswer(QMessageBox::No);
        f.run(frame->DocDelete);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 3);
        f.select(first);
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        f.run(frame->DocDelete);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 2);
        QVERIFY(!f.doc()->FindArticle(first->IID()));
    }

    void docCommands_showTheOutlinePage()
    {
        TFrameFixture f;
        auto *other = new QWidget;
        f.frame->pcNavigation->addTab(other, QStringLiteral("Other"));
        f.frame->pcNavigation->setCurrentWidget(other);
        f.select(f.doc()->Root());
        f.run(f.frame->DocAddChild);
        QCOMPARE(f.frame->pcNavigation->currentWidget(), f.frame->OutlinePane);
    }

    void navCommands_historyCaptionsAreTheTooltips()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr a = f.add(QStringLiteral("Alpha"));
        const IQBArticlePtr b = f.add(QStringLiteral("Beta"));
        frame->alStandardUpdate();
        QVERIFY(!frame->NavBack->isEnabled());
        QVERIFY(!frame->NavForward->isEnabled());
        QVERIFY(frame->NavBack->statusTip().isEmpty());
        QVERIFY(!frame->NavBack->toolTip().contains(QStringLiteral("'")));

        f.edit()->NavigateTo(a);
        f.edit()->NavigateTo(b);
        frame->alStandardUpdate();
        QVERIFY(frame->NavBack->isEnabled());
        QCOMPARE(frame->NavBack->toolTip(), QStringLiteral("Back to 'Alpha'"));
        f.run(frame->NavBack);
        QCOMPARE(f.edit()->CurrentArticle(), a);
        QVERIFY(frame->NavForward->isEnabled());
        QCOMPARE(frame->NavForward->toolTip(), QStringLiteral("Forward to 'Beta'"));
        f.run(frame->NavForward);
        QCOMPARE(f.edit()->CurrentArticle(), b);

        // Previous and Next walk the tree in reading order and bring the outline along.
        f.run(frame->NavPrevious);
        QCOMPARE(f.edit()->CurrentArticle(), a);
        QCOMPARE(frame->OutlinePane->SelectedArticle(), a);
        f.run(frame->NavPrevious);
        QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root());
        frame->alStandardUpdate();
        QVERIFY(!frame->NavPrevious->isEnabled());
        f.run(frame->NavNext);
        QCOMPARE(f.edit()->CurrentArticle(), a);
    }

    void windowCommands_closeDisabledWithOneWindow_andListNamesWindows()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr a = f.add(QStringLiteral("Alpha"));
        frame->alStandardUpdate();
        QVERIFY(!frame->WindowClose->isEnabled());
        frame->WindowClose->trigger();
        QCOMPARE(f.edit()->WindowCount(), 1);

        f.edit()->NavigateTo(a);
        f.run(frame->WindowNew);
        QCOMPARE(f.edit()->WindowCount(), 2);
        QCOMPARE(f.edit()->ActiveWindowIndex(), 1);
        QVERIFY(frame->WindowClose->isEnabled());

        frame->BuildWindowMenu(frame->mWindow);
        QStringList texts = entryTexts(frame->mWindow);
        QCOMPARE(texts.mid(2),
                 QStringList({QStringLiteral("-"), QStringLiteral("&0   Alpha"), QStringLiteral("&1   Alpha")}));
        // Rebuilding replaces the list rather than adding to it.
        frame->BuildWindowMenu(frame->pmWindow);
        frame->BuildWindowMenu(frame->pmWindow);
        QCOMPARE(entryTexts(frame->pmWindow), texts);
        frame->mWindow->actions().at(3)->trigger();
        QCOMPARE(f.edit()->ActiveWindowIndex(), 0);

        f.run(frame->WindowClose);
        QCOMPARE(f.edit()->WindowCount(), 1);
        QVERIFY(!frame->WindowClose->isEnabled());
    }

    void popups_showTheirCommandsUpToDate()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        // The tab strip's popup: with one window its Close Window is disabled and does nothing.
        QContextMenuEvent onTabs(QContextMenuEvent::Mouse, QPoint(5, 5), frame->atArticles->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(frame->atArticles, &onTabs);
        QTRY_VERIFY(frame->pmTabs->isVisible());
        QCOMPARE(frame->pmTabs->actions(), (QList<QAction *>{frame->WindowNew, frame->WindowClose}));
        QVERIFY(!frame->WindowClose->isEnabled());
        frame->pmTabs->close();

        // The editor's popup: the clipboard commands follow the selection when it opens.
        f.edit()->NavigateTo(f.add(QStringLiteral("Alpha")));
        frame->RichEdit->setPlainText(QStringLiteral("some text"));
        frame->RichEdit->selectAll();
        frame->EditCut->setEnabled(false);
        QContextMenuEvent onEditor(QContextMenuEvent::Mouse, QPoint(5, 5),
                                   frame->RichEdit->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(frame->RichEdit->viewport(), &onEditor);
        QTRY_VERIFY(frame->pmEdit->isVisible());
        QVERIFY(frame->pmEdit->actions().contains(frame->EditCut));
        QVERIFY(frame->pmEdit->actions().contains(frame->FormatFont));
        QVERIFY(frame->EditCut->isEnabled());
        frame->pmEdit->close();
    }

    void split_movesTheTextAfterTheCaretIntoANewSiblingBelow_keepingItsFormat()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr first = f.add(QStringLiteral("First"));
        const IQBArticlePtr after = f.add(QStringLiteral("After"));
        f.select(first);
        QCOMPARE(f.edit()->CurrentArticle(), first);
        frame->RichEdit->setFocus();
        QTest::keyClicks(frame->RichEdit, QStringLiteral("head "));
        frame->RichEdit->setFontWeight(QFont::Bold);
        QTest::keyClicks(frame->RichEdit, QStringLiteral("loud"));
        frame->RichEdit->setFontWeight(QFont::Normal);
        QTest::keyClick(frame->RichEdit, Qt::Key_Return);
        frame->RichEdit->setFontItalic(true);
        QTest::keyClicks(frame->RichEdit, QStringLiteral("slanted"));
        frame->RichEdit->setFontItalic(false);
        QTest::keyClicks(frame->RichEdit, QStringLiteral(" tail"));
        // The caret goes between "head lo" and "ud".
        frame->RichEdit->SetSelStart(7);
        frame->alStandardUpdate();
        f.run(frame->DocSplit);

        QCOMPARE(f.doc()->Root()->Items()->Count(), 3);
        const IQBArticlePtr second = f.doc()->Root()->Items()->Get(1);
        QCOMPARE(second->Caption(), QStringLiteral("New article"));
        QCOMPARE(after->Index(), 2);
        QCOMPARE(f.edit()->CurrentArticle(), second);
        QCOMPARE(frame->OutlinePane->SelectedArticle(), second);
        QCOMPARE(plainBody(first), QStringLiteral("head lo"));
        QCOMPARE(styledRuns(first->Content()), QList<TStyledRun>({{QStringLiteral("lo"), true, false}}));
        QCOMPARE(plainBody(second), QStringLiteral("ud\nslanted tail"));
        QCOMPARE(styledRuns(second->Content()),
                 QList<TStyledRun>({{QStringLiteral("ud"), true, false}, {QStringLiteral("slanted"), false, true}}));
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("ud\nslanted tail"));

        // Both parts survive leaving the new article and saving.
        f.edit()->NavigateTo(after);
        QBDialogs::QueueFileName(f.path(QStringLiteral("split.xqb")));
        f.run(frame->FileSave);
        f.run(frame->FileNew);
        QBDialogs::QueueFileName(f.path(QStringLiteral("split.xqb")));
        f.run(frame->FileOpen);
        QCOMPARE(plainBody(f.doc()->Root()->Items()->Get(0)), QStringLiteral("head lo"));
        QCOMPARE(plainBody(f.doc()->Root()->Items()->Get(1)), QStringLiteral("ud\nslanted tail"));
    }

    void split_atTheEndOrTheStart_losesNothing()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr article = f.add(QStringLiteral("Whole"));
        f.select(article);
        frame->RichEdit->setFocus();
        QTest::keyClicks(frame->RichEdit, QStringLiteral("all of it"));
        frame->RichEdit->SetSelStart(frame->RichEdit->TextLength());
        f.run(frame->DocSplit);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 2);
        QCOMPARE(plainBody(article), QStringLiteral("all of it"));
        QCOMPARE(plainBody(f.doc()->Root()->Items()->Get(1)), QString());

        f.select(article);
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("all of it"));
        frame->RichEdit->SetSelStart(0);
        f.run(frame->DocSplit);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 3);
        QCOMPARE(plainBody(article), QString());
        QCOMPARE(plainBody(f.doc()->Root()->Items()->Get(1)), QStringLiteral("all of it"));
        QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root()->Items()->Get(1));
    }

    void split_isDisabledOnTheRoot_andFollowsTheEditedArticle()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr edited = f.add(QStringLiteral("Edited"));
        const IQBArticlePtr other = f.add(QStringLiteral("Other"));
        f.select(f.doc()->Root());
        QVERIFY(!frame->DocSplit->isEnabled());
        QCOMPARE(frame->DocSplit->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));

        // The outline's selection moved away without the editor: the edited article is split.
        f.select(edited);
        frame->RichEdit->setPlainText(QStringLiteral("keep|move"));
        frame->RichEdit->SetModified(true);
        QTest::mouseClick(
            frame->OutlinePane->atvOutline->viewport(), Qt::LeftButton, Qt::ShiftModifier,
            frame->OutlinePane->atvOutline->visualItemRect(frame->OutlinePane->atvOutline->FindNode(other)).center());
        QCOMPARE(frame->OutlinePane->SelectedArticle(), other);
        QCOMPARE(f.edit()->CurrentArticle(), edited);
        frame->RichEdit->SetSelStart(5);
        frame->alStandardUpdate();
        f.run(frame->DocSplit);
        QCOMPARE(f.doc()->Root()->Items()->Count(), 3);
        QCOMPARE(f.doc()->Root()->Items()->Get(1)->Caption(), QStringLiteral("New article"));
        QCOMPARE(other->Index(), 2);
        QCOMPARE(plainBody(edited), QStringLiteral("keep|"));
        QCOMPARE(plainBody(f.doc()->Root()->Items()->Get(1)), QStringLiteral("move"));
    }
};

QTEST_MAIN(TestAppFrameCommands)
#include "tst_AppFrameCommands.moc"
