// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "app/AppData.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "controls/ArticleTree.h"
#include "dialogs/MarkerDlg.h"
#include "document/QBClipbrd.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "editor/QBEditorSvc.h"
#include "framework/NVKInit.h"
#include "panes/OutlinePane.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBDialogs.h"
#include "services/QBDocSvc.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <tuple>

namespace {

// A main window in small: the data module's services, the editing area with the editor service,
// and the outline pane beside it. Articles travel through a clipboard in memory.
struct TPaneFixture
{
    QTemporaryDir dir;
    std::shared_ptr<TQBMemoryClipboard> clipboard = std::make_shared<TQBMemoryClipboard>();
    std::unique_ptr<TDMAppData> appData;
    std::unique_ptr<QWidget> window;
    TArticleTabs *tabs = nullptr;
    TArticleTitle *title = nullptr;
    TArticleRichEdit *editor = nullptr;
    std::unique_ptr<TQBEditorService> editorService;
    TFOutlinePane *pane = nullptr;

    TPaneFixture()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        TRegistry::SetStoreFolder(dir.path());
        QBDialogs::ClearTestState();
        QBSetArticleClipboard(clipboard);
        appData = std::make_unique<TDMAppData>(QStringList());
        window = std::make_unique<QWidget>();
        auto *layout = new QHBoxLayout(window.get());
        auto *area = new QVBoxLayout;
        tabs = new TArticleTabs(window.get());
        title = new TArticleTitle(window.get());
        editor = new TArticleRichEdit(window.get());
        area->addWidget(tabs);
        area->addWidget(title);
        area->addWidget(editor);
        editorService = std::make_unique<TQBEditorService>();
        editorService->SetArticleTabs(tabs);
        editorService->SetArticleTitle(title);
        editorService->SetArticleEditor(editor);
        editorService->SetActive(true);
        pane = new TFOutlinePane(window.get());
        layout->addWidget(pane);
        layout->addLayout(area);
        window->resize(700, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        layout->activate();
        QTRY_VERIFY(tree()->viewport()->height() > 200);
    }

    ~TPaneFixture()
    {
        delete pane;
        editorService.reset();
        window.reset();
        appData.reset();
        QBSetArticleClipboard(nullptr);
        QBDialogs::ClearTestState();
    }

    TPaneFixture(const TPaneFixture &) = delete;
    TPaneFixture &operator=(const TPaneFixture &) = delete;

    IQBDocumentPtr doc() const { return DataService()->GetDocument(); }
    IQBEditorServicePtr edit() const { return EditorService(); }
    TArticleTreeView *tree() const { return pane->atvOutline; }
    TArticleTreeNode *node(const IQBArticlePtr &article) const { return tree()->FindNode(article); }

    IQBArticlePtr add(const QString &caption, const IQBArticlePtr &parent = {})
    {
        IQBArticlePtr article = doc()->AddChild(parent ? parent : doc()->Root());
        article->SetCaption(caption);
        return article;
    }

    void select(const IQBArticlePtr &article) const { tree()->setCurrentItem(node(article)); }

    QPoint pointOf(const IQBArticlePtr &article) const
    {
        tree()->expandAll();
        return tree()->visualItemRect(node(article)).center();
    }

    // Empty when the tree mirrors the document exactly; else where the two part.
    QString mismatch() const
    {
        if (tree()->topLevelItemCount() != 1)
            return QStringLiteral("top-level nodes: %1").arg(tree()->topLevelItemCount());
        QList<std::pair<QTreeWidgetItem *, IQBArticlePtr>> pending{{tree()->topLevelItem(0), doc()->Root()}};
        while (!pending.isEmpty()) {
            const auto [item, article] = pending.takeLast();
            auto *treeNode = static_cast<TArticleTreeNode *>(item);
            if (treeNode->Article() != article)
                return QStringLiteral("article of node '%1'").arg(item->text(0));
            if (item->text(0) != article->Caption())
                return QStringLiteral("text '%1' for '%2'").arg(item->text(0), article->Caption());
            if (item->data(0, TFOutlinePane::MarkerRole).toInt() != article->Mark())
                return QStringLiteral("marker of '%1'").arg(article->Caption());
            const IQBArticleListPtr items = article->Items();
            if (item->childCount() != items->Count())
                return QStringLiteral("children of '%1'").arg(article->Caption());
            for (int i = 0; i < items->Count(); ++i)
                pending.append({item->child(i), items->Get(i)});
        }
        return {};
    }

    QStringList childCaptions(const IQBArticlePtr &article) const
    {
        QStringList captions;
        const TArticleTreeNode *parentNode = node(article);
        for (int i = 0; parentNode && i < parentNode->childCount(); ++i)
            captions.append(parentNode->child(i)->text(0));
        return captions;
    }

    // The open in-place editor; editors closed before wait hidden for their deletion.
    QLineEdit *inPlaceEditor() const
    {
        for (QLineEdit *line : tree()->viewport()->findChildren<QLineEdit *>()) {
            if (!line->isHidden())
                return line;
        }
        return nullptr;
    }

    // The width the tree gives a node's row: bold text is wider.
    int rowWidth(const IQBArticlePtr &article) const
    {
        QStyleOptionViewItem option;
        option.initFrom(tree()->viewport());
        option.font = tree()->font();
        QModelIndex index;
        QList<int> path;
        for (IQBArticlePtr a = article; a->Parent(); a = a->Parent())
            path.prepend(a->Index());
        index = tree()->model()->index(0, 0);
        for (int row : path)
            index = tree()->model()->index(row, 0, index);
        return tree()->itemDelegate()->sizeHint(option, index).width();
    }
};

// Runs action on the next modal dialog of type Dialog once it shows.
template <class Dialog, class Action> void whenModal(Action action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}

} // namespace

class TestOutlinePane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void construction_newDocument_showsTheRootAloneAndSelected();
    void rebuild_openedDocument_mirrorsItAndShowsTheRoot();
    void dataEvents_everyChange_keepsTheTreeTrue();
    void addCommands_newArticleIsSelectedAndRenamedInPlace();
    void rename_inPlace_setsTheCaption_escapeKeepsIt();
    void delete_asksWithTheNamedTexts_andSelectsTheNeighbour();
    void delete_root_isRefusedWithoutAsking();
    void moveCommands_followGetMoves_andKeepTheSelection();
    void updateRules_rootDisablesDeleteCutAndSiblings();
    void dragOver_refusesTheDraggedArticlesOwnSubtree();
    void drop_movesTheArticleUnderTheTarget();
    void cutCopyPaste_carryWholeSubtrees();
    void tooDeep_eachCommand_showsTheRefusalAndChangesNothing_data();
    void tooDeep_eachCommand_showsTheRefusalAndChangesNothing();
    void cut_storesTheEditorsTextFirst();
    void changeMarker_throughTheDialog_marksTheSubtree();
    void ctrlClick_opensTheArticleInANewWindow();
    void shiftClick_selectsWithoutShowing_nextPlainSelectionShows();
    void modifiedArticles_areDrawnBold_untilSaved();
    void outlineColour_followsTheSettings();
    void syncWithEditor_selectsTheEditorsArticle();
    void keys_insertAndDeleteOnTheTree_addAndDelete();
    void toolForm_withAParent_isAChildAndADockSite();
    void undo_everyCommand_bringsBackTheTreeAndTheDocument_data();
    void undo_everyCommand_bringsBackTheTreeAndTheDocument();
};

void TestOutlinePane::construction_newDocument_showsTheRootAloneAndSelected()
{
    TPaneFixture f;
    QCOMPARE(f.tree()->topLevelItemCount(), 1);
    QCOMPARE(f.tree()->topLevelItem(0)->childCount(), 0);
    QCOMPARE(f.tree()->currentItem(), f.node(f.doc()->Root()));
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root());
    QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root());
    QCOMPARE(f.mismatch(), QString());

    QCOMPARE(f.pane->windowTitle(), QStringLiteral("Outline"));
    QCOMPARE(f.pane->HelpContext(), 201);
    QCOMPARE(f.tree()->objectName(), QStringLiteral("atvOutline"));
    QCOMPARE(f.tree()->indentation(), 19);
    QCOMPARE(f.tree()->RootImageIndex(), 2);
    QCOMPARE(f.tree()->FolderSelectedIndex(), 3);
    QCOMPARE(f.tree()->LeafImageIndex(), 1);
    QCOMPARE(f.pane->alOutline.size(), 13);
    QCOMPARE(f.pane->AddChild->shortcut(), QKeySequence(Qt::Key_Insert));
    QCOMPARE(f.pane->Delete->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(f.pane->MoveArticleRight->text(), QStringLiteral("Move ri&ght"));
    const QList<QAction *> menu = f.pane->pmOutline->actions();
    QCOMPARE(menu.size(), 10);
    QCOMPARE(menu.at(0)->menu()->actions(), (QList<QAction *>{f.pane->Cut, f.pane->Copy, f.pane->Paste}));
    QCOMPARE(menu.at(1)->menu()->actions().size(), 4);
    QCOMPARE(menu.at(9), f.pane->ChangeMarker);
}

void TestOutlinePane::rebuild_openedDocument_mirrorsItAndShowsTheRoot()
{
    TPaneFixture f;
    const IQBDocumentPtr saved = NewQBDocument();
    saved->Root()->SetCaption(QStringLiteral("Opened"));
    const IQBArticlePtr a = saved->AddChild(saved->Root());
    a->SetCaption(QStringLiteral("A"));
    a->SetMark(3);
    saved->AddChild(a)->SetCaption(QStringLiteral("A1"));
    saved->AddChild(a)->SetCaption(QStringLiteral("A2"));
    IQBArticlePtr deep = saved->AddChild(saved->Root());
    deep->SetCaption(QStringLiteral("B"));
    for (int i = 0; i < 100; ++i) {
        deep = saved->AddChild(deep);
        deep->SetCaption(QString::number(i));
    }
    const QString fileName = f.dir.filePath(QStringLiteral("opened.xqb"));
    QBWriteDocument(saved, fileName);

    f.add(QStringLiteral("Old"));
    // The changed document is given up without saving.
    QBDialogs::QueueAnswer(QMessageBox::No);
    QVERIFY(DataService()->OpenDocument(fileName));
    QCOMPARE(f.mismatch(), QString());
    QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("Opened"));
    QCOMPARE(f.tree()->currentItem(), f.tree()->topLevelItem(0));
    QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root());

    QVERIFY(DataService()->NewDocument());
    QCOMPARE(f.mismatch(), QString());
    QCOMPARE(f.tree()->topLevelItem(0)->childCount(), 0);
}

void TestOutlinePane::dataEvents_everyChange_keepsTheTreeTrue()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    const IQBArticlePtr c = f.add(QStringLiteral("C"));
    QCOMPARE(f.mismatch(), QString());

    // Added in the middle: at the article's index.
    f.doc()->AddSibling(c, false)->SetCaption(QStringLiteral("B2"));
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"A", "B", "B2", "C"}));

    // Added with a subtree: shown whole.
    const IQBArticlePtr x = f.doc()->CreateArticle();
    x->SetCaption(QStringLiteral("X"));
    const IQBArticlePtr y = f.doc()->CreateArticle();
    y->SetCaption(QStringLiteral("Y"));
    y->SetMark(4);
    x->Items()->Add(y);
    f.doc()->Root()->Items()->Insert(0, x);
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"X", "A", "B", "B2", "C"}));
    QCOMPARE(f.childCaptions(x), QStringList{"Y"});
    QCOMPARE(f.mismatch(), QString());

    // A deep subtree arrives whole: filling it does not recurse.
    const IQBArticlePtr deep = f.doc()->CreateArticle();
    deep->SetCaption(QStringLiteral("Deep"));
    IQBArticlePtr chainEnd = deep;
    for (int i = 0; i < 1000; ++i) {
        const IQBArticlePtr next = f.doc()->CreateArticle();
        next->SetCaption(QString::number(i));
        chainEnd->Items()->Add(next);
        chainEnd = next;
    }
    QVERIFY(!f.node(chainEnd));
    f.doc()->Root()->Items()->Add(deep);
    QVERIFY(f.node(chainEnd));
    QCOMPARE(f.mismatch(), QString());
    f.doc()->DeleteArticle(deep);
    QVERIFY(!f.node(chainEnd));

    a->SetCaption(QStringLiteral("Renamed"));
    QCOMPARE(f.node(a)->text(0), QStringLiteral("Renamed"));
    a->SetMark(7);
    QCOMPARE(f.node(a)->data(0, TFOutlinePane::MarkerRole).toInt(), 7);

    f.doc()->MoveRight(b);
    QCOMPARE(f.node(b)->parent(), f.node(a));
    QCOMPARE(f.mismatch(), QString());
    f.doc()->MoveLeft(b);
    QCOMPARE(f.mismatch(), QString());
    f.doc()->MoveUp(c);
    QCOMPARE(f.mismatch(), QString());
    f.doc()->MoveDown(x);
    QCOMPARE(f.mismatch(), QString());
    f.doc()->MoveArticle(x, c);
    QCOMPARE(f.node(x)->parent(), f.node(c));
    QCOMPARE(f.childCaptions(x), QStringList{"Y"});
    QCOMPARE(f.mismatch(), QString());

    f.doc()->DeleteArticle(x);
    QVERIFY(!f.node(x));
    QVERIFY(!f.node(y));
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::addCommands_newArticleIsSelectedAndRenamedInPlace()
{
    TPaneFixture f;
    f.pane->AddChild->trigger();
    const IQBArticlePtr added = f.doc()->Root()->Items()->Last();
    QCOMPARE(added->Caption(), QStringLiteral("New article"));
    QCOMPARE(f.pane->SelectedArticle(), added);
    QCOMPARE(f.edit()->CurrentArticle(), added);
    QVERIFY(f.pane->IsEditing());
    // In-place editing disables what would conflict with it.
    QVERIFY(!f.pane->Delete->isEnabled());
    QVERIFY(!f.pane->Cut->isEnabled());
    QVERIFY(!f.pane->AddSiblingBelow->isEnabled());

    QLineEdit *line = f.inPlaceEditor();
    QVERIFY(line);
    line->setText(QStringLiteral("Ideas"));
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(added->Caption(), QStringLiteral("Ideas"));
    QCOMPARE(f.node(added)->text(0), QStringLiteral("Ideas"));
    QTRY_VERIFY(!f.pane->IsEditing());
    QVERIFY(f.pane->Delete->isEnabled());

    f.pane->AddSiblingAbove->trigger();
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"New article", "Ideas"}));
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root()->Items()->Get(0));
    QVERIFY(f.pane->IsEditing());
    QTest::keyClick(f.inPlaceEditor(), Qt::Key_Escape);
    QTRY_VERIFY(!f.pane->IsEditing());

    f.select(added);
    f.pane->AddSiblingBelow->trigger();
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"New article", "Ideas", "New article"}));
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root()->Items()->Get(2));
    QCOMPARE(f.mismatch(), QString());

    // No siblings for the root, nothing without a selection.
    f.select(f.doc()->Root());
    f.pane->AddSiblingArticle(true);
    f.tree()->setCurrentItem(nullptr);
    f.pane->AddChildArticle();
    QCOMPARE(f.doc()->ArticleCount(), 4);
}

void TestOutlinePane::rename_inPlace_setsTheCaption_escapeKeepsIt()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("Draft"));
    f.select(a);
    f.pane->Rename->trigger();
    QVERIFY(f.pane->IsEditing());
    QCOMPARE(f.inPlaceEditor()->text(), QStringLiteral("Draft"));
    f.inPlaceEditor()->setText(QStringLiteral("Final"));
    QTest::keyClick(f.inPlaceEditor(), Qt::Key_Escape);
    QTRY_VERIFY(!f.pane->IsEditing());
    QCOMPARE(a->Caption(), QStringLiteral("Draft"));
    QCOMPARE(f.node(a)->text(0), QStringLiteral("Draft"));

    f.pane->RenameSelectedArticle();
    // Asking again while editing keeps the editor and what was typed, without complaint.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("editing failed")));
    f.inPlaceEditor()->setText(QStringLiteral("Fin"));
    f.pane->RenameSelectedArticle();
    QVERIFY(f.pane->IsEditing());
    QCOMPARE(f.inPlaceEditor()->text(), QStringLiteral("Fin"));
    f.inPlaceEditor()->setText(QStringLiteral("Final \u00FCber \u4E2D"));
    QTest::keyClick(f.inPlaceEditor(), Qt::Key_Enter);
    QTRY_COMPARE(a->Caption(), QStringLiteral("Final \u00FCber \u4E2D"));
    QTRY_VERIFY(!f.pane->IsEditing());

    f.tree()->setCurrentItem(nullptr);
    f.pane->RenameSelectedArticle();
    QVERIFY(!f.pane->IsEditing());
}

void TestOutlinePane::delete_asksWithTheNamedTexts_andSelectsTheNeighbour()
{
    TPaneFixture f;
    const IQBArticlePtr p = f.add(QStringLiteral("P"));
    const IQBArticlePtr p1 = f.add(QStringLiteral("P1"), p);
    const IQBArticlePtr p2 = f.add(QStringLiteral("P2"), p);
    const IQBArticlePtr q = f.add(QStringLiteral("Q"));

    f.select(p2);
    QBDialogs::QueueAnswer(QMessageBox::No);
    f.pane->Delete->trigger();
    QCOMPARE(QBDialogs::ShownTexts().last(), QStringLiteral("Do you wish to delete article 'P2'?"));
    QVERIFY(f.node(p2));
    QCOMPARE(p->Items()->Count(), 2);

    // The previous sibling is selected, and the editor follows.
    QBDialogs::QueueAnswer(QMessageBox::Yes);
    f.pane->DeleteSelectedArticle();
    QCOMPARE(p->Items()->Count(), 1);
    QVERIFY(!f.node(p2));
    QCOMPARE(f.pane->SelectedArticle(), p1);
    QCOMPARE(f.edit()->CurrentArticle(), p1);

    // The only child: its parent.
    QBDialogs::QueueAnswer(QMessageBox::Yes);
    f.pane->DeleteSelectedArticle();
    QCOMPARE(f.pane->SelectedArticle(), p);
    QCOMPARE(f.mismatch(), QString());

    // The first of several siblings: the parent, not the next sibling.
    f.add(QStringLiteral("P3"), p);
    QBDialogs::QueueAnswer(QMessageBox::Yes);
    f.pane->DeleteSelectedArticle();
    QCOMPARE(QBDialogs::ShownTexts().last(),
             QStringLiteral("Do you wish to delete article 'P' and all of its subarticles?"));
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root());
    QCOMPARE(f.childCaptions(f.doc()->Root()), QStringList{"Q"});
    QCOMPARE(f.doc()->ArticleCount(), 2);
    QCOMPARE(f.mismatch(), QString());
    QVERIFY(f.node(q));
}

void TestOutlinePane::delete_root_isRefusedWithoutAsking()
{
    TPaneFixture f;
    f.add(QStringLiteral("A"));
    f.select(f.doc()->Root());
    QBDialogs::QueueAnswer(QMessageBox::Yes);
    f.pane->DeleteSelectedArticle();
    QVERIFY(QBDialogs::ShownTexts().isEmpty());
    QCOMPARE(f.doc()->ArticleCount(), 2);
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root());
    QCOMPARE(f.mismatch(), QString());

    // Without a selection nothing is asked either.
    f.tree()->setCurrentItem(nullptr);
    f.pane->DeleteSelectedArticle();
    QVERIFY(QBDialogs::ShownTexts().isEmpty());
}

void TestOutlinePane::moveCommands_followGetMoves_andKeepTheSelection()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    const IQBArticlePtr c = f.add(QStringLiteral("C"));
    const auto enabled = [&f] {
        return QList<bool>{f.pane->MoveArticleUp->isEnabled(), f.pane->MoveArticleDown->isEnabled(),
                           f.pane->MoveArticleLeft->isEnabled(), f.pane->MoveArticleRight->isEnabled()};
    };

    f.select(b);
    QCOMPARE(enabled(), (QList<bool>{true, true, false, true}));
    const int backEntries = std::dynamic_pointer_cast<TQBEditorServiceImpl>(f.edit())->Window(0)->Back.Count();
    f.pane->MoveArticleUp->trigger();
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "A", "C"}));
    QCOMPARE(f.pane->SelectedArticle(), b);
    QCOMPARE(f.edit()->CurrentArticle(), b);
    // Moving is no navigation: the history is untouched.
    QCOMPARE(std::dynamic_pointer_cast<TQBEditorServiceImpl>(f.edit())->Window(0)->Back.Count(), backEntries);
    QCOMPARE(enabled(), (QList<bool>{false, true, false, false}));

    f.select(a);
    f.pane->MoveSelectedArticle(mdRight);
    QCOMPARE(a->Parent(), b);
    QCOMPARE(f.pane->SelectedArticle(), a);
    QCOMPARE(f.edit()->CurrentArticle(), a);
    QCOMPARE(enabled(), (QList<bool>{false, false, true, false}));
    QCOMPARE(f.mismatch(), QString());

    f.pane->MoveArticleLeft->trigger();
    QCOMPARE(a->Parent(), f.doc()->Root());
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "A", "C"}));
    QCOMPARE(f.pane->SelectedArticle(), a);

    f.pane->MoveArticleDown->trigger();
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "C", "A"}));
    QCOMPARE(f.pane->SelectedArticle(), a);
    QCOMPARE(enabled(), (QList<bool>{true, false, false, true}));
    QCOMPARE(f.mismatch(), QString());

    // A move the document refuses changes nothing.
    f.pane->MoveSelectedArticle(mdDown);
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "C", "A"}));

    f.select(f.doc()->Root());
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false}));
    f.tree()->setCurrentItem(nullptr);
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false}));
    f.pane->MoveSelectedArticle(mdUp);
    QVERIFY(c->Parent());
}

void TestOutlinePane::updateRules_rootDisablesDeleteCutAndSiblings()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    f.select(f.doc()->Root());
    for (QAction *action : {f.pane->AddSiblingAbove, f.pane->AddSiblingBelow, f.pane->Delete, f.pane->Cut})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    for (QAction *action : {f.pane->AddChild, f.pane->Copy, f.pane->Rename, f.pane->ChangeMarker})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(!f.pane->Paste->isEnabled());

    f.select(a);
    for (QAction *action : {f.pane->AddSiblingAbove, f.pane->AddSiblingBelow, f.pane->Delete, f.pane->Cut})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    f.pane->Copy->trigger();
    QVERIFY(f.pane->Paste->isEnabled());

    f.tree()->setCurrentItem(nullptr);
    QVERIFY(!f.pane->ChangeMarker->isEnabled());
    QVERIFY(!f.pane->Delete->isEnabled());
    QVERIFY(f.pane->AddChild->isEnabled());
}

void TestOutlinePane::dragOver_refusesTheDraggedArticlesOwnSubtree()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr a1 = f.add(QStringLiteral("A1"), a);
    const IQBArticlePtr a11 = f.add(QStringLiteral("A11"), a1);
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    f.select(a);
    QObject *source = f.tree();

    QVERIFY(!f.pane->atvOutlineDragOver(source, f.pointOf(a)));
    QVERIFY(!f.pane->atvOutlineDragOver(source, f.pointOf(a1)));
    QVERIFY(!f.pane->atvOutlineDragOver(source, f.pointOf(a11)));
    QVERIFY(f.pane->atvOutlineDragOver(source, f.pointOf(b)));
    QVERIFY(f.pane->atvOutlineDragOver(source, f.pointOf(f.doc()->Root())));
    const QPoint empty(5, f.tree()->viewport()->height() - 5);
    QVERIFY(!f.tree()->itemAt(empty));
    QVERIFY(f.pane->atvOutlineDragOver(source, empty));
    // Only trees are drag sources.
    QVERIFY(!f.pane->atvOutlineDragOver(nullptr, f.pointOf(b)));
    QVERIFY(!f.pane->atvOutlineDragOver(f.editor, f.pointOf(b)));

    // A drag that did not come from a tree is ignored by the tree itself.
    QMimeData mime;
    mime.setText(QStringLiteral("text from elsewhere"));
    QDragMoveEvent move(f.pointOf(b), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.tree()->viewport(), &move);
    QVERIFY(!move.isAccepted());
    QDropEvent drop(QPointF(f.pointOf(b)), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.tree()->viewport(), &drop);
    QVERIFY(!drop.isAccepted());
    QCOMPARE(a->Parent(), f.doc()->Root());
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::drop_movesTheArticleUnderTheTarget()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr a1 = f.add(QStringLiteral("A1"), a);
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    f.add(QStringLiteral("B1"), b);
    const IQBArticlePtr c = f.add(QStringLiteral("C"));
    QObject *source = f.tree();

    // Into its own subtree: refused.
    f.select(a);
    QVERIFY(!f.pane->atvOutlineDragDrop(source, f.pointOf(a1)));
    QVERIFY(!f.pane->atvOutlineDragDrop(source, f.pointOf(a)));
    QCOMPARE(a->Parent(), f.doc()->Root());

    // Onto another article: its last child, still selected, with its subtree.
    QVERIFY(f.pane->atvOutlineDragDrop(source, f.pointOf(b)));
    QCOMPARE(a->Parent(), b);
    QCOMPARE(f.childCaptions(b), (QStringList{"B1", "A"}));
    QCOMPARE(f.childCaptions(a), QStringList{"A1"});
    QCOMPARE(f.pane->SelectedArticle(), a);
    QCOMPARE(f.edit()->CurrentArticle(), a);
    QCOMPARE(f.mismatch(), QString());

    // Onto its own parent: to the end of the parent's children.
    f.select(c);
    const QPoint rootPoint = f.pointOf(f.doc()->Root());
    f.doc()->MoveUp(c);
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"C", "B"}));
    QVERIFY(f.pane->atvOutlineDragDrop(source, rootPoint));
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "C"}));

    // Onto empty space: nothing.
    const QPoint empty(5, f.tree()->viewport()->height() - 5);
    QVERIFY(!f.pane->atvOutlineDragDrop(source, empty));
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "C"}));
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::cutCopyPaste_carryWholeSubtrees()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    f.add(QStringLiteral("A11"), f.add(QStringLiteral("A1"), a));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    QVERIFY(!f.pane->Paste->isEnabled());

    f.select(a);
    f.pane->Copy->trigger();
    QVERIFY(f.pane->Paste->isEnabled());
    f.select(b);
    f.pane->Paste->trigger();
    QCOMPARE(b->Items()->Count(), 1);
    const IQBArticlePtr pasted = b->Items()->Get(0);
    QVERIFY(pasted != a);
    QCOMPARE(f.pane->SelectedArticle(), pasted);
    QCOMPARE(f.childCaptions(pasted), QStringList{"A1"});
    QCOMPARE(f.mismatch(), QString());

    f.select(a);
    f.pane->Cut->trigger();
    QVERIFY(!a->Parent());
    QVERIFY(!f.node(a));
    QCOMPARE(f.mismatch(), QString());
    f.select(f.doc()->Root());
    f.pane->PasteExecute();
    QCOMPARE(f.childCaptions(f.doc()->Root()), (QStringList{"B", "A"}));
    QCOMPARE(f.pane->SelectedArticle()->Caption(), QStringLiteral("A"));
    QCOMPARE(f.mismatch(), QString());

    // The root is copied by a cut, never removed.
    f.select(f.doc()->Root());
    f.pane->CutExecute();
    QCOMPARE(f.tree()->topLevelItemCount(), 1);
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::tooDeep_eachCommand_showsTheRefusalAndChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"add child", "move right", "paste", "drop"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void TestOutlinePane::tooDeep_eachCommand_showsTheRefusalAndChangesNothing()
{
    QFETCH(QString, command);
    TPaneFixture f;
    const IQBArticlePtr leaf = f.add(QStringLiteral("Leaf"));
    const IQBArticlePtr top = f.add(QStringLiteral("1"));
    IQBArticlePtr deepest = top;
    for (int level = 2; level <= QBMaxArticleLevel; ++level)
        deepest = f.add(QString::number(level), deepest);
    // Beside the deepest article, so moving right would take it one level below.
    const IQBArticlePtr beside = f.add(QStringLiteral("Beside"), deepest->Parent());
    const int count = f.doc()->ArticleCount();
    const qint32 lastIID = f.doc()->LastIID();
    QBDialogs::QueueAnswer(QMessageBox::Ok);

    if (command == QLatin1String("add child")) {
        f.select(deepest);
        f.pane->AddChild->trigger();
    } else if (command == QLatin1String("move right")) {
        f.select(beside);
        f.pane->MoveArticleRight->trigger();
    } else if (command == QLatin1String("paste")) {
        f.select(leaf);
        f.pane->Copy->trigger();
        f.select(deepest);
        f.pane->Paste->trigger();
    } else {
        // The whole chain below the leaf would sink one level too deep.
        f.select(top);
        QVERIFY(!f.pane->atvOutlineDragDrop(f.tree(), f.pointOf(leaf)));
    }
    QCOMPARE(QBDialogs::ShownTexts(), QStringList{QString::fromLatin1(SArticlesTooDeep)});
    QCOMPARE(f.doc()->ArticleCount(), count);
    QCOMPARE(f.doc()->LastIID(), lastIID);
    QCOMPARE(deepest->Items()->Count(), 0);
    QCOMPARE(beside->Parent(), deepest->Parent());
    QCOMPARE(leaf->Items()->Count(), 0);
    QCOMPARE(top->Parent(), f.doc()->Root());
    QVERIFY(!f.inPlaceEditor());
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::cut_storesTheEditorsTextFirst()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    f.select(a);
    QCOMPARE(f.edit()->CurrentArticle(), a);
    QTest::keyClicks(f.editor, QStringLiteral("typed just now"));
    f.pane->Cut->trigger();
    f.select(f.doc()->Root());
    f.pane->Paste->trigger();
    const IQBArticlePtr pasted = f.pane->SelectedArticle();
    QCOMPARE(pasted->Caption(), QStringLiteral("A"));
    QVERIFY2(pasted->Content().contains(QStringLiteral("typed just now")), qPrintable(pasted->Content()));
}

void TestOutlinePane::changeMarker_throughTheDialog_marksTheSubtree()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr a1 = f.add(QStringLiteral("A1"), a);
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    f.select(a);
    whenModal<TFMarkerDlg>([](TFMarkerDlg *dialog) {
        dialog->findChild<QListWidget *>(QStringLiteral("lvMarkers"))->setCurrentRow(5);
        dialog->findChild<QCheckBox *>(QStringLiteral("cbChildren"))->setChecked(true);
        dialog->btnOKClick();
    });
    f.pane->ChangeMarker->trigger();
    QCOMPARE(a->Mark(), 5);
    QCOMPARE(a1->Mark(), 5);
    QCOMPARE(b->Mark(), 0);
    QCOMPARE(f.node(a)->data(0, TFOutlinePane::MarkerRole).toInt(), 5);
    QCOMPARE(f.node(a1)->data(0, TFOutlinePane::MarkerRole).toInt(), 5);

    // Cancelled: unchanged.
    f.select(b);
    whenModal<TFMarkerDlg>([](TFMarkerDlg *dialog) { dialog->reject(); });
    f.pane->ChangeMarker->trigger();
    QCOMPARE(b->Mark(), 0);
    QCOMPARE(f.mismatch(), QString());
}

void TestOutlinePane::ctrlClick_opensTheArticleInANewWindow()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, Qt::ControlModifier, f.pointOf(a));
    QCOMPARE(f.edit()->WindowCount(), 2);
    QCOMPARE(f.edit()->ActiveWindowIndex(), 1);
    QCOMPARE(f.edit()->CurrentArticle(), a);
    QCOMPARE(f.edit()->WindowArticle(0), f.doc()->Root());
    QCOMPARE(f.tree()->currentItem(), f.node(a));
}

void TestOutlinePane::shiftClick_selectsWithoutShowing_nextPlainSelectionShows()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, Qt::ShiftModifier, f.pointOf(b));
    QCOMPARE(f.pane->SelectedArticle(), b);
    QCOMPARE(f.edit()->CurrentArticle(), f.doc()->Root());

    QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, Qt::NoModifier, f.pointOf(a));
    QCOMPARE(f.pane->SelectedArticle(), a);
    QCOMPARE(f.edit()->CurrentArticle(), a);

    // Shift+click on the node already selected changes nothing and swallows nothing later.
    QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, Qt::ShiftModifier, f.pointOf(a));
    QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, Qt::NoModifier, f.pointOf(b));
    QCOMPARE(f.edit()->CurrentArticle(), b);
}

void TestOutlinePane::modifiedArticles_areDrawnBold_untilSaved()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("Some article caption"));
    QVERIFY(a->Modified());
    const int boldWidth = f.rowWidth(a);
    QVERIFY(DataService()->SaveDocument(f.dir.filePath(QStringLiteral("saved.xqb"))));
    QVERIFY(!a->Modified());
    const int plainWidth = f.rowWidth(a);
    QVERIFY2(plainWidth < boldWidth, qPrintable(QStringLiteral("%1 %2").arg(plainWidth).arg(boldWidth)));

    a->SetContent(QStringLiteral("{\\rtf1 changed}"));
    QCOMPARE(f.rowWidth(a), boldWidth);
}

void TestOutlinePane::outlineColour_followsTheSettings()
{
    TPaneFixture f;
    const IQBSettingsServicePtr settings = SettingsService();
    QCOMPARE(f.tree()->palette().color(QPalette::Base),
             NVKColorToQColor(settings->GetOutlineColor(), f.tree()->palette()));
    settings->SetOutlineColor(0x0000FF);
    QCOMPARE(f.tree()->palette().color(QPalette::Base), QColor(255, 0, 0));
    settings->SetOutlineColor(0x00FF00);
    QCOMPARE(f.tree()->palette().color(QPalette::Base), QColor(0, 255, 0));
}

void TestOutlinePane::syncWithEditor_selectsTheEditorsArticle()
{
    TPaneFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr deep = f.add(QStringLiteral("Deep"), f.add(QStringLiteral("B"), a));
    f.edit()->NavigateTo(deep);
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root());
    f.pane->SyncWithEditor();
    QCOMPARE(f.pane->SelectedArticle(), deep);
    QVERIFY(f.node(deep)->parent()->isExpanded());
}

void TestOutlinePane::keys_insertAndDeleteOnTheTree_addAndDelete()
{
    TPaneFixture f;
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.tree()->setFocus();
    QTRY_VERIFY(f.tree()->hasFocus());
    QTest::keyClick(f.tree(), Qt::Key_Insert);
    QCOMPARE(f.doc()->Root()->Items()->Count(), 1);
    QVERIFY(f.pane->IsEditing());
    // The in-place editor keeps its keys: Delete edits the text, it deletes no article.
    QLineEdit *line = f.inPlaceEditor();
    QTest::keyClick(line, Qt::Key_Home);
    QTest::keyClick(line, Qt::Key_Delete);
    QCOMPARE(line->text(), QStringLiteral("ew article"));
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(f.doc()->Root()->Items()->Get(0)->Caption(), QStringLiteral("ew article"));
    QTRY_VERIFY(!f.pane->IsEditing());

    f.tree()->setFocus();
    QTRY_VERIFY(f.tree()->hasFocus());
    QBDialogs::QueueAnswer(QMessageBox::Yes);
    QTest::keyClick(f.tree(), Qt::Key_Delete);
    QCOMPARE(f.doc()->Root()->Items()->Count(), 0);
    QCOMPARE(f.pane->SelectedArticle(), f.doc()->Root());
}

void TestOutlinePane::toolForm_withAParent_isAChildAndADockSite()
{
    QWidget page;
    TFToolForm docked(&page);
    QVERIFY(!docked.isWindow());
    auto *dock = new QDockWidget(QStringLiteral("Inner"), &docked);
    docked.addDockWidget(Qt::LeftDockWidgetArea, dock);
    QCOMPARE(docked.dockWidgetArea(dock), Qt::LeftDockWidgetArea);

    TFToolForm floating;
    QVERIFY(floating.isWindow());
    QCOMPARE(floating.windowType(), Qt::Tool);
}

namespace {

// Each article's place, IID, caption, marker and body, in document order.
QString fingerprint(const IQBDocumentPtr &document)
{
    QStringList lines;
    QBWalkArticles(document->Root(), [&](const IQBArticlePtr &a) {
        lines << QStringLiteral("%1%2 %3 m%4 %5")
                     .arg(QString(a->Level(), QLatin1Char('.')))
                     .arg(a->IID())
                     .arg(a->Caption())
                     .arg(a->Mark())
                     .arg(a->Content());
        return true;
    });
    return lines.join(QLatin1Char('\n'));
}

using TPaneCommand = std::function<void(TPaneFixture &)>;

} // namespace

Q_DECLARE_METATYPE(TPaneCommand)

void TestOutlinePane::undo_everyCommand_bringsBackTheTreeAndTheDocument_data()
{
    QTest::addColumn<TPaneCommand>("command");
    QTest::addColumn<QString>("undoCaption");
    const auto find = [](TPaneFixture &f, const QString &caption) {
        IQBArticlePtr found;
        QBWalkArticles(f.doc()->Root(), [&](const IQBArticlePtr &a) {
            if (a->Caption() == caption)
                found = a;
            return !found;
        });
        return found;
    };
    const auto selected = [find](const QString &caption) {
        return [find, caption](TPaneFixture &f) { f.select(find(f, caption)); };
    };
    const auto stopEditing = [](TPaneFixture &f) {
        QTest::keyClick(f.inPlaceEditor(), Qt::Key_Escape);
        QTRY_VERIFY(!f.pane->IsEditing());
    };
    QTest::newRow("add child") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Garden notebook"))(f);
        f.pane->AddChildArticle();
        stopEditing(f);
    }) << QStringLiteral("&Undo Add child of 'Garden notebook'");
    QTest::newRow("add sibling above") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Roses"))(f);
        f.pane->AddSiblingArticle(false);
        stopEditing(f);
    }) << QStringLiteral("&Undo Add sibling of 'Roses'");
    QTest::newRow("delete a branch") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Garden notebook"))(f);
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        f.pane->Delete->trigger();
    }) << QStringLiteral("&Undo Delete 'Garden notebook'");
    QTest::newRow("rename in place") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Kitchen"))(f);
        f.pane->RenameSelectedArticle();
        f.inPlaceEditor()->setText(QStringLiteral("Cooking"));
        QTest::keyClick(f.inPlaceEditor(), Qt::Key_Enter);
        QTRY_VERIFY(!f.pane->IsEditing());
    }) << QStringLiteral("&Undo Rename 'Kitchen'");
    QTest::newRow("marker of a branch") << TPaneCommand([=](TPaneFixture &f) {
        TFMarkerDlg::ApplyMarker(find(f, QStringLiteral("Garden notebook")), 6, true);
    }) << QStringLiteral("&Undo Change marker of 'Garden notebook'");
    for (const auto &[name, direction, caption] :
         {std::tuple{"move up", mdUp, "Kitchen"}, std::tuple{"move down", mdDown, "Garden notebook"},
          std::tuple{"move left", mdLeft, "Roses"}, std::tuple{"move right", mdRight, "Kitchen"}}) {
        QTest::newRow(name) << TPaneCommand([=, direction = direction, caption = caption](TPaneFixture &f) {
            selected(QString::fromLatin1(caption))(f);
            f.pane->MoveSelectedArticle(direction);
        }) << QStringLiteral("&Undo Move '%1'").arg(QString::fromLatin1(caption));
    }
    QTest::newRow("drag and drop") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Roses"))(f);
        QVERIFY(f.pane->atvOutlineDragDrop(f.tree(), f.pointOf(find(f, QStringLiteral("Kitchen")))));
    }) << QStringLiteral("&Undo Move 'Roses'");
    QTest::newRow("cut") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Roses"))(f);
        f.pane->CutExecute();
    }) << QStringLiteral("&Undo Cut 'Roses'");
    QTest::newRow("paste") << TPaneCommand([=](TPaneFixture &f) {
        selected(QStringLiteral("Garden notebook"))(f);
        f.pane->CopyExecute();
        selected(QStringLiteral("Kitchen"))(f);
        f.pane->PasteExecute();
    }) << QStringLiteral("&Undo Paste 'Garden notebook'");
}

// Each command of the pane is one step: undone, the document and the tree are exactly as before,
// with the restored articles themselves (IIDs, bodies); redone, exactly as after.
void TestOutlinePane::undo_everyCommand_bringsBackTheTreeAndTheDocument()
{
    QFETCH(TPaneCommand, command);
    QFETCH(QString, undoCaption);
    TPaneFixture f;
    const IQBArticlePtr garden = f.add(QStringLiteral("Garden notebook"));
    const IQBArticlePtr roses = f.add(QStringLiteral("Roses"), garden);
    f.add(QStringLiteral("Pruning"), roses)->SetContent(QStringLiteral("cut in March"));
    f.add(QStringLiteral("Beans"), garden)->SetMark(3);
    f.add(QStringLiteral("Kitchen"));
    f.select(roses);
    QCOMPARE(f.pane->UndoCaption(false), QString());
    const QString before = fingerprint(f.doc());

    command(f);
    const QString after = fingerprint(f.doc());
    QVERIFY(after != before);
    QCOMPARE(f.mismatch(), QString());
    QCOMPARE(f.pane->UndoCaption(false), undoCaption);
    QVERIFY(f.pane->CanUndo());

    for (int round = 0; round < 2; ++round) {
        f.pane->UndoExecute();
        QCOMPARE(fingerprint(f.doc()), before);
        QCOMPARE(f.mismatch(), QString());
        QVERIFY(!f.pane->CanUndo());
        QVERIFY(f.pane->SelectedArticle());
        QCOMPARE(f.edit()->CurrentArticle(), f.pane->SelectedArticle());
        QCOMPARE(f.pane->UndoCaption(true),
                 QString(undoCaption).replace(QStringLiteral("&Undo"), QStringLiteral("&Redo")));
        f.pane->RedoExecute();
        QCOMPARE(fingerprint(f.doc()), after);
        QCOMPARE(f.mismatch(), QString());
        QVERIFY(!f.pane->CanRedo());
    }
    // The same articles came back: the one that was taken out is in the tree again.
    f.pane->UndoExecute();
    QCOMPARE(garden->Document(), f.doc());
    QCOMPARE(roses->Document(), f.doc());
}

QTEST_MAIN(TestOutlinePane)
#include "tst_OutlinePane.moc"
