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
#include "document/QBDom.h"
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

#include "support/LanguageFiles.h"

namespace {

// The main window with helpers of these tests.
struct TFrameFixture : TAppFrameFixture
{
    IQBEditorServicePtr edit() const { return EditorService(); }
};

// Takes the locations the desktop is asked to open, instead of the desktop.
class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Urls;

public Q_SLOTS:
    void open(const QUrl &url) { Urls.append(url); }
};

// Points the data modules made from now on at a language folder, and back at the default after.
struct TLanguageFolder
{
    QTemporaryDir dir;
    QString base = dir.filePath(QStringLiteral("Language"));
    TLanguageFolder() { TDMAppData::SetLanguageFolder(base); }
    ~TLanguageFolder() { TDMAppData::SetLanguageFolder(QString()); }
    TLanguageFolder(const TLanguageFolder &) = delete;
    TLanguageFolder &operator=(const TLanguageFolder &) = delete;
};

} // namespace

class TestAppFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_hasNamedPartsAndRunningEditor()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        for (const char *name : {"mmMain", "tbStandard", "tbArticle", "pnlLDock", "pcNavigation", "atArticles",
                                 "tbnWindowList", "atTitle", "RichEdit", "statusBar", "qbaData", "qbaSettings",
                                 "QBEditorService", "FileSave", "DocMoveUp", "WindowClose"})
            QVERIFY2(frame->findChild<QObject *>(QString::fromLatin1(name)), name);
        QStringList menus;
        for (QAction *entry : frame->menuBar()->actions())
            menus << entry->text();
        QCOMPARE(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View"),
                                     QStringLiteral("&Article"), QStringLiteral("&Insert"), QStringLiteral("F&ormat"),
                                     QStringLiteral("&Window"), QStringLiteral("&Help")}));
        QCOMPARE(frame->pcNavigation->widget(0), frame->OutlinePane);
        QVERIFY(!frame->pcNavigation->tabIcon(0).isNull());
        QVERIFY(frame->OutlinePane->isVisible());
        QVERIFY(f.edit());
        QCOMPARE(f.edit()->WindowCount(), 1);
        QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root());
        QCOMPARE(frame->StatusPanels.size(), 9);
        QCOMPARE(frame->FileSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(frame->FileNew->toolTip(), QStringLiteral("New"));
        QCOMPARE(frame->FileNew->statusTip(), QStringLiteral("Create new document"));
        QCOMPARE(TDMAppData::Instance(), f.appData.get());
    }

    void layout_isRememberedBetweenWindows()
    {
        TFrameFixture f;
        f.run(f.frame->ViewStatusBar);
        f.run(f.frame->ViewTArticle);
        QVERIFY(f.frame->close());
        f.frame.reset();
        f.frame = std::make_unique<TFAppFrame>();
        QVERIFY(!f.frame->statusBar()->isHidden());
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QVERIFY(f.frame->statusBar()->isHidden());
        QVERIFY(f.frame->tbArticle->isHidden());
        QVERIFY(!f.frame->tbStandard->isHidden());
        QVERIFY(!f.frame->atTitle->isHidden());
        QVERIFY(!f.frame->ViewStatusBar->isChecked());
    }

    void caption_showsDocumentName_andSaveShowsSavedInStatus()
    {
        TFrameFixture f;
        QCOMPARE(f.frame->windowTitle(), QFileInfo(f.doc()->FileName()).fileName() + QStringLiteral(" - Quillbox"));
        f.add(QStringLiteral("First"));
        QVERIFY(f.frame->StatusText(0) != QStringLiteral("Saved"));
        QBDialogs::QueueFileName(f.path(QStringLiteral("notes.xqb")));
        f.run(f.frame->FileSave);
        QVERIFY(QFileInfo::exists(f.path(QStringLiteral("notes.xqb"))));
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("notes.xqb - Quillbox"));
        QCOMPARE(f.frame->StatusText(0), QStringLiteral("Saved"));

        QBDialogs::QueueFileName(f.path(QStringLiteral("copy.xqb")));
        f.run(f.frame->FileSaveAs);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("copy.xqb - Quillbox"));

        f.run(f.frame->FileNew);
        QVERIFY(f.frame->windowTitle() != QStringLiteral("copy.xqb - Quillbox"));
        QCOMPARE(f.doc()->Root()->Items()->Count(), 0);

        QBDialogs::QueueFileName(f.path(QStringLiteral("notes.xqb")));
        f.run(f.frame->FileOpen);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("notes.xqb - Quillbox"));
        QCOMPARE(f.doc()->Root()->Items()->Count(), 1);
    }

    void saveBody_storesEditorTextBeforeWriting()
    {
        TFrameFixture f;
        f.frame->RichEdit->setFocus();
        QTest::keyClicks(f.frame->RichEdit, QStringLiteral("typed words"));
        QBDialogs::QueueFileName(f.path(QStringLiteral("body.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        QVERIFY(!f.frame->RichEdit->toPlainText().contains(QStringLiteral("typed")));
        QBDialogs::QueueFileName(f.path(QStringLiteral("body.xqb")));
        f.run(f.frame->FileOpen);
        QCOMPARE(f.frame->RichEdit->toPlainText(), QStringLiteral("typed words"));
    }

    void editorStatus_showsLineAndColumn()
    {
        TFrameFixture f;
        QCOMPARE(f.frame->StatusText(2), QStringLiteral("1 : 1"));
        f.frame->RichEdit->setFocus();
        QTest::keyClicks(f.frame->RichEdit, QStringLiteral("ab"));
        QTest::keyClick(f.frame->RichEdit, Qt::Key_Return);
        QTest::keyClicks(f.frame->RichEdit, QStringLiteral("cd"));
        QCOMPARE(f.frame->StatusText(2), QStringLiteral("2 : 3"));
    }

    void recentFiles_emptyListShowsDisabledEmpty_andEntriesOpenTheirFile()
    {
        TFrameFixture f;
        f.frame->BuildRecentMenu(f.frame->miRecent);
        QCOMPARE(entryTexts(f.frame->miRecent), QStringList(QStringLiteral("Empty")));
        QVERIFY(!f.frame->miRecent->actions().first()->isEnabled());

        f.add(QStringLiteral("Kept"));
        QBDialogs::QueueFileName(f.path(QStringLiteral("kept.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        DataService()->GetRecentFiles()->Add(f.path(QStringLiteral("kept.xqb")));
        f.frame->BuildRecentMenu(f.frame->pmRecent);
        const QStringList texts = entryTexts(f.frame->pmRecent);
        QVERIFY(!texts.isEmpty());
        QCOMPARE(texts.first(), QStringLiteral("&0   ") + f.path(QStringLiteral("kept.xqb")));
        f.frame->pmRecent->actions().first()->trigger();
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("kept.xqb - Quillbox"));
        QCOMPARE(f.doc()->Root()->Items()->Get(0)->Caption(), QStringLiteral("Kept"));
    }

    void acceleratorPrefix_digitsThenLettersThenSpace()
    {
        QCOMPARE(TFAppFrame::AcceleratorPrefix(0), QStringLiteral("&0"));
        QCOMPARE(TFAppFrame::AcceleratorPrefix(9), QStringLiteral("&9"));
        QCOMPARE(TFAppFrame::AcceleratorPrefix(10), QStringLiteral("&A"));
        QCOMPARE(TFAppFrame::AcceleratorPrefix(35), QStringLiteral("&Z"));
        QCOMPARE(TFAppFrame::AcceleratorPrefix(99), QString(QStringLiteral("&") + QChar(65 + 89)));
        QCOMPARE(TFAppFrame::AcceleratorPrefix(100), QStringLiteral(" "));
    }

    void closeQuery_cancelKeepsWindow_noDiscards_yesSaves()
    {
        {
            TFrameFixture f;
            f.add(QStringLiteral("Pending"));
            QBDialogs::QueueAnswer(QMessageBox::Cancel);
            QVERIFY(!f.frame->close());
            QVERIFY(f.frame->isVisible());
            QCOMPARE(QBDialogs::ShownTexts().size(), 1);

            QBDialogs::QueueAnswer(QMessageBox::No);
            QVERIFY(f.frame->close());
            QVERIFY(!f.frame->isVisible());
            QVERIFY(QDir(f.dir.path()).entryList({QStringLiteral("*.xqb")}).isEmpty());
        }
        {
            TFrameFixture f;
            f.add(QStringLiteral("Pending"));
            QBDialogs::QueueAnswer(QMessageBox::Yes);
            QBDialogs::QueueFileName(f.path(QStringLiteral("closing.xqb")));
            f.run(f.frame->FileExit);
            QVERIFY(!f.frame->isVisible());
            QVERIFY(QFileInfo::exists(f.path(QStringLiteral("closing.xqb"))));
            QVERIFY(!f.doc()->Modified());
        }
        {
            // Yes, then the save dialog cancelled: nothing is lost, the window stays.
            TFrameFixture f;
            f.add(QStringLiteral("Pending"));
            QBDialogs::QueueAnswer(QMessageBox::Yes);
            QBDialogs::QueueFileName(QString());
            QVERIFY(!f.frame->close());
            QVERIFY(f.frame->isVisible());
            QVERIFY(f.doc()->Modified());
        }
        {
            // An unchanged document closes without a question.
            TFrameFixture f;
            QVERIFY(f.frame->close());
            QVERIFY(QBDialogs::ShownTexts().isEmpty());
        }
    }

    void editCommands_followTheEditorState()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        frame->alStandardUpdate();
        QVERIFY(!frame->EditUndo->isEnabled());
        QVERIFY(!frame->EditCut->isEnabled());
        QVERIFY(!frame->EditCopy->isEnabled());
        QVERIFY(!frame->EditDelete->isEnabled());
        QVERIFY(frame->EditSelectAll->isEnabled());

        frame->RichEdit->setFocus();
        QTest::keyClicks(frame->RichEdit, QStringLiteral("hello world"));
        frame->alStandardUpdate();
        QVERIFY(frame->EditUndo->isEnabled());
        f.run(frame->EditSelectAll);
        frame->alStandardUpdate();
        QVERIFY(frame->EditCopy->isEnabled());
        f.run(frame->EditCut);
        QVERIFY(frame->RichEdit->toPlainText().isEmpty());
        frame->alStandardUpdate();
        QVERIFY(frame->EditPaste->isEnabled());
        f.run(frame->EditPaste);
        f.run(frame->EditPaste);
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("hello worldhello world"));
        f.run(frame->EditUndo);
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("hello world"));
        frame->alStandardUpdate();
        QVERIFY(frame->EditRedo->isEnabled());
        f.run(frame->EditRedo);
        QCOMPARE(frame->RichEdit->toPlainText(), QStringLiteral("hello worldhello world"));

        f.run(frame->EditSelectAll);
        frame->alStandardUpdate();
        f.run(frame->EditDelete);
        QVERIFY(frame->RichEdit->toPlainText().isEmpty());
    }

    void articleCommands_pastTheDeepestLevel_showTheRefusalAndChangeNothing()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        IQBArticlePtr deepest = f.doc()->Root();
        for (int level = 1; level <= QBMaxArticleLevel; ++level)
            deepest = f.add(QString::number(level), deepest);
        const IQBArticlePtr beside = f.add(QStringLiteral("Beside"), deepest->Parent());
        const int count = f.doc()->ArticleCount();
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.select(deepest);
        f.run(frame->DocAddChild);
        f.select(beside);
        f.run(frame->DocMoveRight);
        QCOMPARE(QBDialogs::ShownTexts(), QStringList(2, QString::fromLatin1(SArticlesTooDeep)));
        QCOMPARE(f.doc()->ArticleCount(), count);
        QCOMPARE(beside->Parent(), deepest->Parent());
        QVERIFY(frame->isVisible());
    }

    void findAndReplace_openTheirDialogsOnTheEditor()
    {
        TFrameFixture f;
        f.frame->RichEdit->setPlainText(QStringLiteral("alpha beta"));
        f.run(f.frame->EditFind);
        QVERIFY(f.frame->RichEdit->ActiveFindDialog());
        f.run(f.frame->EditReplace);
        QVERIFY(f.frame->RichEdit->ActiveReplaceDialog());
    }

    void viewToggles_hideAndShowTheirParts()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        frame->alStandardUpdate();
        QVERIFY(frame->ViewStatusBar->isChecked());
        f.run(frame->ViewStatusBar);
        QVERIFY(frame->statusBar()->isHidden());
        QVERIFY(!frame->ViewStatusBar->isChecked());
        f.run(frame->ViewTStandard);
        QVERIFY(frame->tbStandard->isHidden());
        f.run(frame->ViewTitleBar);
        QVERIFY(frame->atTitle->isHidden());
        f.run(frame->ViewTitleBar);
        QVERIFY(!frame->atTitle->isHidden());
        QVERIFY(frame->ViewTitleBar->isChecked());

        const bool wrap = SettingsService()->GetWordWrap();
        QCOMPARE(frame->ViewWrap->isChecked(), wrap);
        f.run(frame->ViewWrap);
        QCOMPARE(SettingsService()->GetWordWrap(), !wrap);
        QCOMPARE(frame->RichEdit->WordWrap(), !wrap);
        QCOMPARE(frame->ViewWrap->isChecked(), !wrap);
    }

    void toggleFocus_movesBetweenEditorAndOutline()
    {
        TFrameFixture f;
        f.frame->activateWindow();
        f.frame->RichEdit->setFocus();
        QTRY_VERIFY(f.frame->RichEdit->hasFocus());
        f.run(f.frame->ViewToggleFocus);
        QTRY_VERIFY(f.frame->OutlinePane->atvOutline->hasFocus());
        f.run(f.frame->ViewToggleFocus);
        QTRY_VERIFY(f.frame->RichEdit->hasFocus());
    }

    void links_internalNavigates_missingArticleWarns()
    {
        TFrameFixture f;
        const IQBArticlePtr target = f.add(QStringLiteral("Target"));
        f.frame->RichEditURLClick(QStringLiteral("@_%1").arg(target->IID()), Qt::LeftButton);
        QCOMPARE(f.edit()->CurrentArticle(), target);
        f.frame->RichEditURLClick(QStringLiteral("@_%1").arg(f.doc()->Root()->IID()), Qt::RightButton);
        QCOMPARE(f.edit()->CurrentArticle(), target);

        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->RichEditURLClick(QStringLiteral("@_999"), Qt::LeftButton);
        QCOMPARE(QBDialogs::ShownTexts(), QStringList(QStringLiteral("Article not found. ID = 999.")));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->RichEditURLClick(QStringLiteral("@_abc"), Qt::LeftButton);
        QCOMPARE(QBDialogs::ShownTexts().last(), QStringLiteral("Article not found. ID = abc."));
        QCOMPARE(f.edit()->CurrentArticle(), target);
    }

    void links_failingFileLinkOffersItsFolder_otherLinksOnlyWarn()
    {
        // Nothing on the test platform opens locations, so every attempt fails.
        TFrameFixture f;
        const QString file = QStringLiteral("file:///nowhere/notes/plan.unknown");
        const QString asked = QStringLiteral("There is no program associated with %1.\r\nDo you wish to explore it "
                                             "instead?")
                                  .arg(file);
        QBDialogs::QueueAnswer(QMessageBox::No);
        f.frame->RichEditURLClick(file, Qt::LeftButton);
        QCOMPARE(QBDialogs::ShownTexts(), QStringList{asked});

        QBDialogs::ClearTestState();
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->RichEditURLClick(file, Qt::LeftButton);
        QCOMPARE(QBDialogs::ShownTexts(),
                 (QStringList{asked, QStringLiteral("Cannot open location file:///nowhere/notes.")}));

        QBDialogs::ClearTestState();
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->RichEditURLClick(QStringLiteral("http://nowhere.example/"), Qt::LeftButton);
        QCOMPARE(QBDialogs::ShownTexts(), QStringList(QStringLiteral("Cannot open location http://nowhere.example/.")));
    }

    void dragFromOutline_insertsInternalLink_otherSourcesRefused()
    {
        TFrameFixture f;
        const IQBArticlePtr target = f.add(QStringLiteral("Target"));
        f.select(target);
        f.edit()->NavigateTo(f.doc()->Root());
        QVERIFY(!f.frame->RichEditDragOver(f.frame->RichEdit, QPoint(5, 5)));
        QVERIFY(!f.frame->RichEditDragOver(nullptr, QPoint(5, 5)));
        f.frame->RichEditDragDrop(f.frame->tbStandard, QPoint(5, 5));
        QVERIFY(f.frame->RichEdit->toPlainText().isEmpty());

        QVERIFY(f.frame->RichEditDragOver(f.frame->OutlinePane->atvOutline, QPoint(5, 5)));
        f.frame->RichEditDragDrop(f.frame->OutlinePane->atvOutline, QPoint(5, 5));
        QVERIFY(f.frame->RichEdit->toPlainText().contains(QStringLiteral("Target")));
        const QString url = f.frame->RichEdit->UrlAt(1);
        QCOMPARE(url, QStringLiteral("@_%1").arg(target->IID()));
        f.frame->RichEditURLClick(url, Qt::LeftButton);
        QCOMPARE(f.edit()->CurrentArticle(), target);
    }

    void helpCommands_openHelpAndTips()
    {
        TFrameFixture f;
        f.run(f.frame->HelpContents);
        QVERIFY(QBHelpViewer());
        QBCloseHelpViewer();
    }

    void helpLinks_openSupportMailAndHomePage_failureWarns()
    {
        TFrameFixture f;
        TUrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QCOMPARE(f.frame->HelpMail->text(), QStringLiteral("E-&mail to support..."));
        QCOMPARE(f.frame->HelpHome->toolTip(), QStringLiteral("Home page"));
        QCOMPARE(f.frame->HelpHome->statusTip(), QStringLiteral("Open Quillbox home page"));
        f.run(f.frame->HelpMail);
        f.run(f.frame->HelpHome);
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.Urls, QList<QUrl>({QUrl(QStringLiteral("mailto:support@brindlewood.example")),
                                            QUrl(QStringLiteral("https://brindlewood.example/quillbox"))}));
        QVERIFY(QBDialogs::ShownTexts().isEmpty());

        // The offscreen desktop opens nothing: the user is told.
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(f.frame->HelpMail);
        QCOMPARE(QBDialogs::ShownTexts(),
                 QStringList(QStringLiteral("Cannot open location mailto:support@brindlewood.example.")));
    }

    void lockIndicators_followTheLockKeys_onceForEachPress()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        // Where the window system reports the locks it is believed; elsewhere each press toggles.
        bool toggled[3] = {false, false, false};
        const auto shown = [&toggled](int index) {
            static const char *const texts[] = {"CAPS", "NUM", "SCRL"};
            const std::optional<bool> state = QBReadLockState(TQBLockKey(index));
            return state.value_or(toggled[index]) ? QString::fromLatin1(texts[index]) : QString();
        };
        for (int index : {0, 1, 2})
            QCOMPARE(frame->StatusText(5 + index), shown(index));
        frame->activateWindow();
        frame->RichEdit->setFocus();
        QTRY_VERIFY(frame->RichEdit->hasFocus());
        // The editor's parents see the press too when it travels up; it still counts once.
        const int keys[] = {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock, Qt::Key_CapsLock};
        const int indexes[] = {0, 1, 2, 0};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(frame->RichEdit, Qt::Key(keys[i]));
            toggled[indexes[i]] = !toggled[indexes[i]];
            for (int index : {0, 1, 2})
                QCOMPARE(frame->StatusText(5 + index), shown(index));
        }
        if (!QBReadLockState(lkCapsLock)) {
            QCOMPARE(frame->StatusText(5), QString());
            QCOMPARE(frame->StatusText(6), QStringLiteral("NUM"));
            QCOMPARE(frame->StatusText(7), QStringLiteral("SCRL"));
        }
        // A key press elsewhere, and the application becoming active, change nothing here.
        QTest::keyClick(frame->RichEdit, Qt::Key_A);
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &activate);
        for (int index : {0, 1, 2})
            QCOMPARE(frame->StatusText(5 + index), shown(index));
    }

    void statusBar_panelFourTakesWhatIsLeft_andHintsGoToPanelZero()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const QList<QLabel *> &panels = frame->StatusPanels;
        const auto cap = [&] {
            int taken = 4 * panels[5]->width();
            for (int i = 0; i < 4; ++i)
                taken += panels[i]->width();
            return qMax(0, frame->statusBar()->width() - taken);
        };
        for (int width : {1400, 1000, 700}) {
            frame->resize(width, 600);
            QTRY_COMPARE(frame->statusBar()->width(), frame->width());
            QTRY_COMPARE(panels[4]->maximumWidth(), cap());
            QVERIFY(panels[4]->width() <= cap());
            QVERIFY(panels[8]->geometry().right() < frame->statusBar()->width());
        }
        frame->resize(1400, 600);
        QTRY_VERIFY(panels[4]->width() > 400);

        frame->statusBar()->showMessage(QStringLiteral("Open existing document"));
        QCOMPARE(frame->StatusText(0), QStringLiteral("Open existing document"));
    }

    void titleBar_showsPathTimeLevelAndSubarticles()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        const IQBArticlePtr parent = f.add(QStringLiteral("Parent"));
        const IQBArticlePtr child = f.add(QStringLiteral("Child"), parent);
        f.add(QStringLiteral("Grandchild"), child);
        child->SetCreated(EncodeDateTime(2026, 3, 4, 15, 6, 7, 0));
        f.edit()->NavigateTo(child);
        QCOMPARE(frame->lblPath->text(), child->Path());
        QVERIFY(frame->lblPath->text().contains(QStringLiteral("Parent")));
        QCOMPARE(frame->lblLevel->text(), QStringLiteral("Level: 2"));
        QCOMPARE(frame->lblSubarticles->text(), QStringLiteral("Subarticles: 1"));
        QVERIFY(frame->lblTime->text().startsWith(QStringLiteral("March 4, 2026 ")));
        QVERIFY(frame->lblTime->isVisible());
        QVERIFY(frame->atTitle->height() > frame->atTitle->CaptionHeight());
    }

    void languageSwitch_translatesMenusHintsAndNamedTexts()
    {
        TLanguageFolder language;
        QVERIFY(writeLanguageFile(language.base, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), R"(<ResourceStrings>
  <String ID="SSaved">Gespeichert</String>
  <String ID="SLevel">Ebene</String>
  <String ID="SOutlinePage">Gliederung</String>
</ResourceStrings>
<Container class="TFAppFrame">
  <Component name="mFile"><Property name="Caption">&amp;Datei</Property></Component>
  <Component name="FileSave">
    <Property name="Caption">&amp;Speichern</Property>
    <Property name="Hint">Speichern|Dokument speichern</Property>
  </Component>
</Container>)")));
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        QVERIFY(frame->xlAppFrame);
        QCOMPARE(frame->menuBar()->actions().first()->text(), QStringLiteral("&File"));
        QCOMPARE(frame->lblLevel->text(), QStringLiteral("Level: 0"));

        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(frame->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
        QCOMPARE(frame->FileSave->text(), QStringLiteral("&Speichern"));
        QCOMPARE(frame->FileSave->statusTip(), QStringLiteral("Dokument speichern"));
        QCOMPARE(frame->lblLevel->text(), QStringLiteral("Ebene: 0"));
        QCOMPARE(frame->pcNavigation->tabText(0), QStringLiteral("Gliederung"));

        QBDialogs::QueueFileName(f.path(QStringLiteral("de.xqb")));
        f.run(frame->FileSave);
        QCOMPARE(frame->StatusText(0), QStringLiteral("Gespeichert"));

        // A window made while the language is on comes up translated.
        QVERIFY(frame->close());
        f.frame.reset();
        f.frame = std::make_unique<TFAppFrame>();
        QCOMPARE(f.frame->FileSave->text(), QStringLiteral("&Speichern"));
    }

    void settingChange_toolbarsTakeTheMenuFontAndFitTheirButtons()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        QFont menuFont = QApplication::font("QMenu");
        menuFont.setPointSize(menuFont.pointSize() + 3);
        QApplication::setFont(menuFont, "QMenu");
        // The desktop's notice that its theme changed.
        QEvent change(QEvent::ThemeChange);
        QCoreApplication::sendEvent(frame, &change);
        frame->resize(1600, 700);
        for (QToolBar *toolbar : {frame->tbStandard, frame->tbArticle, frame->tbFormat}) {
            QCOMPARE(toolbar->font(), menuFont);
            int buttons = 0;
            for (QAction *action : toolbar->actions())
                if (QWidget *button = toolbar->widgetForAction(action))
                    buttons += button->sizeHint().width();
            QTRY_VERIFY(toolbar->width() >= buttons + 10);
            QVERIFY(toolbar->maximumWidth() >= buttons + 10);
            // Nothing is pushed into the overflow button.
            const auto *more = toolbar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
            QTRY_VERIFY(!more || !more->isVisible());
        }
        // The bars do not hold the window wider than a small screen.
        frame->resize(900, 600);
        QTRY_COMPARE(frame->width(), 900);
        QApplication::setFont(QApplication::font(), "QMenu");
    }

    void newDocument_withAnArticleSelected_reportsNoError()
    {
        TFrameFixture f;
        QStringList reported;
        NVKSetErrorReporter([&reported](const QString &message) { reported.append(message); });
        const IQBArticlePtr article = f.add(QStringLiteral("Selected"));
        f.select(article);
        QBDialogs::QueueAnswer(QMessageBox::No);
        f.run(f.frame->FileNew);
        NVKSetErrorReporter(nullptr);
        QCOMPARE(reported, QStringList());
        QCOMPARE(f.frame->OutlinePane->SelectedArticle(), f.doc()->Root());
        QVERIFY(!f.frame->DocDelete->isEnabled());
    }
};

QTEST_MAIN(TestAppFrame)
#include "tst_AppFrame.moc"
