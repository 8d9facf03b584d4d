// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "app/AppData.h"
#include "app/AppFrame.h"
#include "app/QBProgram.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTree.h"
#include "dialogs/MarkerDlg.h"
#include "document/QBClipbrd.h"
#include "framework/NVKInit.h"
#include "panes/OutlinePane.h"
#include "platform/QBDialogs.h"
#include "rtf/QBRtfReader.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace {

// One run of the program, started as main() starts it, driven through its window with keys and
// the mouse, and ended as the program ends.
class TUserSession
{
public:
    explicit TUserSession(const QStringList &arguments)
    {
        QBDialogs::ClearTestState();
        FProgram = std::make_unique<TQBProgram>(arguments);
        Frame = FProgram->Frame();
        QVERIFY(QTest::qWaitForWindowExposed(Frame));
        Activate();
    }

    // The main window active again, as after a dialog closed.
    void Activate() const
    {
        Frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame));
    }

    // Ends the program as the message loop's end does, and starts a fresh core for the next run.
    ~TUserSession()
    {
        FProgram.reset();
        NVKFinalizeCore();
        NVKInitializeCore();
    }

    TUserSession(const TUserSession &) = delete;
    TUserSession &operator=(const TUserSession &) = delete;

    IQBDocumentPtr Doc() const { return DataService()->GetDocument(); }
    IQBEditorServicePtr Edit() const { return EditorService(); }
    TArticleTreeView *Tree() const { return Frame->OutlinePane->atvOutline; }
    TArticleRichEdit *Editor() const { return Frame->RichEdit; }

    // A key as the user presses it: it goes where the focus is.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : Frame;
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

    void Type(const QString &text) const { QTest::keyClicks(QApplication::focusWidget(), text); }

    QPoint PointOf(const IQBArticlePtr &article) const
    {
        Tree()->expandAll();
        return Tree()->visualItemRect(Tree()->FindNode(article)).center();
    }

    void Click(const IQBArticlePtr &article, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, PointOf(article));
    }

    // Types a caption into the outline's in-place editor that a command has opened.
    void TypeCaption(const QString &caption) const
    {
        QLineEdit *line = nullptr;
        QTRY_VERIFY((line = InPlaceEditor()) != nullptr);
        QTRY_VERIFY(line->hasFocus());
        Press(Qt::Key_A, Qt::ControlModifier);
        Type(caption);
        Press(Qt::Key_Return);
        QTRY_VERIFY(!Frame->OutlinePane->IsEditing());
    }

    void FocusEditor() const
    {
        Activate();
        QTest::mouseClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 8));
        QTRY_VERIFY(Editor()->hasFocus());
        Press(Qt::Key_End, Qt::ControlModifier);
    }

    TFAppFrame *Frame = nullptr;

private:
    QLineEdit *InPlaceEditor() const
    {
        for (QLineEdit *line : Tree()->viewport()->findChildren<QLineEdit *>()) {
            if (!line->isHidden())
                return line;
        }
        return nullptr;
    }

    std::unique_ptr<TQBProgram> FProgram;
};

// The document as the user sees it: one line per article in reading order with its level,
// caption, marker, plain body, and the bold, italic and linked runs of the body.
QStringList Snapshot(const IQBDocumentPtr &document)
{
    QStringList lines;
    QList<IQBArticlePtr> pending{document->Root()};
    while (!pending.isEmpty()) {
        const IQBArticlePtr article = pending.takeLast();
        for (int i = article->Items()->Count() - 1; i >= 0; --i)
            pending.append(article->Items()->Get(i));
        QTextDocument body;
        TQBRtfReader::Load(body, article->Content().toLatin1());
        QStringList runs;
        for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QString marks;
                if (format.fontWeight() >= QFont::Bold)
                    marks += QLatin1Char('B');
                if (format.fontItalic())
                    marks += QLatin1Char('I');
                if (format.isAnchor())
                    marks += QStringLiteral("->") + format.anchorHref();
                if (!marks.isEmpty())
                    runs.append(it.fragment().text() + QLatin1Char(':') + marks);
            }
        }
        lines.append(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(QString(article->Level(), QLatin1Char(' ')), article->Caption())
                         .arg(article->Mark())
                         .arg(body.toPlainText(), runs.join(QLatin1Char(','))));
    }
    return lines;
}

} // namespace

class TestUserSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;
    std::shared_ptr<TQBMemoryClipboard> FClipboard;

    QString path(const QString &name) const { return FDir->filePath(name); }

private Q_SLOTS:
    void init()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        FDir = std::make_unique<QTemporaryDir>();
        QVERIFY(FDir->isValid());
        TRegistry::SetStoreFolder(FDir->path());
        FClipboard = std::make_shared<TQBMemoryClipboard>();
        QBSetArticleClipboard(FClipboard);
    }

    void cleanup()
    {
        QBSetArticleClipboard(nullptr);
        QBDialogs::ClearTestState();
        FDir.reset();
    }

    void aUserBuildsSavesAndReopensADocument_andFindsItAsLeft()
    {
        const QString file = path(QStringLiteral("session.xqb"));
        QStringList expected;
        qint32 betaIID = -1;
        {
            TUserSession user({});
            TFAppFrame *frame = user.Frame;
            const IQBDocumentPtr doc = user.Doc();
            const IQBArticlePtr root = doc->Root();
            QCOMPARE(user.Edit()->CurrentArticle(), root);

            // The tree: rename the root, then a child and siblings below and above, each named by typing.
            QCOMPARE(frame->OutlinePane->SelectedArticle(), root);
            user.Press(Qt::Key_F2);
            user.TypeCaption(QStringLiteral("Notebook"));
            QCOMPARE(root->Caption(), QStringLiteral("Notebook"));
            user.Press(Qt::Key_F4);
            user.TypeCaption(QStringLiteral("Alpha"));
            const IQBArticlePtr alpha = root->Items()->Get(0);
            user.Press(Qt::Key_F5);
            user.TypeCaption(QStringLiteral("Beta"));
            const IQBArticlePtr beta = root->Items()->Get(1);
            user.Press(Qt::Key_F5, Qt::ShiftModifier);
            user.TypeCaption(QStringLiteral("Between"));
            const IQBArticlePtr between = root->Items()->Get(1);
            QCOMPARE(between->Caption(), QStringLiteral("Between"));
            QCOMPARE(beta->Index(), 2);
            user.Click(beta);
            user.Press(Qt::Key_F4);
            user.TypeCaption(QStringLiteral("Gamma"));
            const IQBArticlePtr gamma = beta->Items()->Get(0);
            QCOMPARE(gamma->Caption(), QStringLiteral("Gamma"));

            // Moves: up and down with the keys, right and left with the commands.
            user.Click(between);
            user.Press(Qt::Key_Up, Qt::ControlModifier);
            QCOMPARE(between->Index(), 0);
            user.Press(Qt::Key_Down, Qt::ControlModifier);
            QCOMPARE(between->Index(), 1);
            user.Click(beta);
            frame->alStandardUpdate();
            QVERIFY(frame->DocMoveRight->isEnabled());
            frame->DocMoveRight->trigger();
            QCOMPARE(beta->Parent(), between);
            frame->alStandardUpdate();
            QVERIFY(frame->DocMoveLeft->isEnabled());
            frame->DocMoveLeft->trigger();
            QCOMPARE(beta->Parent(), root);
            QCOMPARE(beta->Index(), 2);

            // Gamma dragged onto Alpha becomes its child.
            user.Click(gamma);
            QVERIFY(frame->OutlinePane->atvOutlineDragDrop(user.Tree(), user.PointOf(alpha)));
            QCOMPARE(gamma->Parent(), alpha);

            // A marker chosen in the marker dialog.
            user.Click(between);
            QTimer::singleShot(0, frame, [] {
                auto *dialog = qobject_cast<TFMarkerDlg *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->findChild<QListWidget *>(QStringLiteral("lvMarkers"))->setCurrentRow(3);
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
            });
            frame->alStandardUpdate();
            frame->DocChangeMarker->trigger();
            QCOMPARE(between->Mark(), 3);
            user.Activate();

            // Alpha's body: plain, bold and italic words, then a link to Beta dropped from the outline.
            user.Click(alpha);
            QCOMPARE(user.Edit()->CurrentArticle(), alpha);
            user.FocusEditor();
            user.Type(QStringLiteral("Plain start bold words then slanted end"));
            user.Press(Qt::Key_Home);
            user.Press(Qt::Key_Right, Qt::ControlModifier);
            user.Press(Qt::Key_Right, Qt::ControlModifier);
            for (int i = 0; i < 10; ++i)
                user.Press(Qt::Key_Right, Qt::ShiftModifier);
            QCOMPARE(user.Editor()->SelText(), QStringLiteral("bold words"));
            user.Press(Qt::Key_B, Qt::ControlModifier);
            user.Press(Qt::Key_Home);
            for (int i = 0; i < 5; ++i)
                user.Press(Qt::Key_Right, Qt::ControlModifier);
            for (int i = 0; i < 7; ++i)
                user.Press(Qt::Key_Right, Qt::ShiftModifier);
            QCOMPARE(user.Editor()->SelText(), QStringLiteral("slanted"));
            user.Press(Qt::Key_I, Qt::ControlModifier);
            user.Press(Qt::Key_End, Qt::ControlModifier);
            user.Press(Qt::Key_Return);

            // Shift+click picks Beta in the outline while the editor stays on Alpha.
            user.Click(beta, Qt::ShiftModifier);
            QCOMPARE(frame->OutlinePane->SelectedArticle(), beta);
            QCOMPARE(user.Edit()->CurrentArticle(), alpha);
            const QRect end = user.Editor()->cursorRect();
            const QPoint drop(end.right() + 30, end.center().y());
            QVERIFY(frame->RichEditDragOver(user.Tree(), drop));
            frame->RichEditDragDrop(user.Tree(), drop);
            QCOMPARE(user.Editor()->toPlainText(), QStringLiteral("Plain start bold words then slanted end\nBeta"));

            // Following the link shows Beta; Alt+Left and Alt+Right walk the history.
            const int linkAt = user.Editor()->toPlainText().indexOf(QStringLiteral("Beta")) + 1;
            QTextCursor atLink(user.Editor()->document());
            atLink.setPosition(linkAt);
            QTest::mouseClick(user.Editor()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              user.Editor()->cursorRect(atLink).center());
            QCOMPARE(user.Edit()->CurrentArticle(), beta);
            user.FocusEditor();
            user.Type(QStringLiteral("Beta body"));
            user.Press(Qt::Key_Left, Qt::AltModifier);
            QCOMPARE(user.Edit()->CurrentArticle(), alpha);
            user.Press(Qt::Key_Right, Qt::AltModifier);
            QCOMPARE(user.Edit()->CurrentArticle(), beta);
            QCOMPARE(user.Editor()->toPlainText(), QStringLiteral("Beta body"));

            // A second window on the same article.
            user.Press(Qt::Key_W, Qt::ControlModifier);
            QCOMPARE(user.Edit()->WindowCount(), 2);
            QCOMPARE(user.Edit()->WindowArticle(1), beta);

            // Save under a name; the next start opens the most recent file.
            SettingsService()->SetStartupAction(1);
            QBDialogs::QueueFileName(file);
            user.Press(Qt::Key_S, Qt::ControlModifier);
            QVERIFY(QFileInfo::exists(file));
            QCOMPARE(frame->windowTitle(), QStringLiteral("session.xqb - Quillbox"));
            QCOMPARE(frame->StatusText(0), QStringLiteral("Saved"));

            // One more word, then closing asks to save it.
            user.FocusEditor();
            user.Type(QStringLiteral(" more"));
            QBDialogs::QueueAnswer(QMessageBox::Yes);
            QVERIFY(frame->close());
            QCOMPARE(QBDialogs::ShownTexts().size(), 1);
            QVERIFY(QBDialogs::ShownTexts().first().contains(QStringLiteral("session.xqb")));
            QVERIFY(!doc->Modified());

            betaIID = beta->IID();
            expected = Snapshot(doc);
        }
        QCOMPARE(expected, QStringList({
                               QStringLiteral("|Notebook|0||"),
                               QStringLiteral(" |Alpha|0|Plain start bold words then slanted end\nBeta|"
                                              "bold words:B,slanted:I,Beta:->@_%1")
                                   .arg(betaIID),
                               QStringLiteral("  |Gamma|0||"),
                               QStringLiteral(" |Between|3||"),
                               QStringLiteral(" |Beta|0|Beta body more|"),
                           }));

        // Started again with StartupAction 1: the most recent file, as it was left.
        {
            TUserSession user({});
            QCOMPARE(QFileInfo(user.Doc()->FileName()).canonicalFilePath(), QFileInfo(file).canonicalFilePath());
            QCOMPARE(user.Frame->windowTitle(), QStringLiteral("session.xqb - Quillbox"));
            QCOMPARE(Snapshot(user.Doc()), expected);
            QCOMPARE(user.Tree()->topLevelItem(0)->childCount(), 3);
            // The link still leads to Beta.
            const IQBArticlePtr alpha = user.Doc()->Root()->Items()->Get(0);
            user.Click(alpha);
            const int linkAt = user.Editor()->toPlainText().indexOf(QStringLiteral("Beta")) + 1;
            QTextCursor atLink(user.Editor()->document());
            atLink.setPosition(linkAt);
            QTest::mouseClick(user.Editor()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              user.Editor()->cursorRect(atLink).center());
            QCOMPARE(user.Edit()->CurrentArticle()->Caption(), QStringLiteral("Beta"));
            QVERIFY(user.Frame->close());
        }

        // Started with the file named on the command line, whatever StartupAction says.
        {
            TUserSession user({file});
            QCOMPARE(user.Frame->windowTitle(), QStringLiteral("session.xqb - Quillbox"));
            QCOMPARE(Snapshot(user.Doc()), expected);
            QVERIFY(user.Frame->close());
        }
    }

    void startingWithAMissingFile_givesANewDocumentWithoutAMessage()
    {
        TUserSession user({path(QStringLiteral("gone.xqb"))});
        QCOMPARE(user.Doc()->Root()->Items()->Count(), 0);
        QVERIFY(QBDialogs::ShownTexts().isEmpty());
        QCOMPARE(user.Frame->OutlinePane->SelectedArticle(), user.Doc()->Root());
        QVERIFY(user.Frame->close());
    }
};

QTEST_MAIN(TestUserSession)
#include "tst_UserSession.moc"
