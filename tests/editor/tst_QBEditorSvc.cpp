// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "document/QBDom.h"
#include "editor/QBEditorSvc.h"
#include "support/ServiceFixture.h"

#include <QTest>
#include <QVBoxLayout>

namespace {

QString RtfLines(int count, const QString &word = QStringLiteral("line"))
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi ");
    for (int i = 0; i < count; ++i)
        rtf += word + QLatin1Char(' ') + QString::number(i) + QStringLiteral("\\par ");
    return rtf + QLatin1Char('}');
}

// The editing area of a main window: tabs, title and editor, with the service over them.
struct TEditorFixture
{
    TServiceFixture services;
    QWidget window;
    TArticleTabs *tabs = nullptr;
    TArticleTitle *title = nullptr;
    TArticleRichEdit *editor = nullptr;
    std::unique_ptr<TQBEditorService> provider;
    QList<int> dataCodes;
    std::shared_ptr<TNVKEventListener> recorder =
        std::make_shared<TNVKEventListener>([this](int code, const INVKUnknownPtr &) { dataCodes.append(code); });

    TEditorFixture()
    {
        services.start();
        auto *layout = new QVBoxLayout(&window);
        tabs = new TArticleTabs(&window);
        title = new TArticleTitle(&window);
        editor = new TArticleRichEdit(&window);
        layout->addWidget(tabs);
        layout->addWidget(title);
        layout->addWidget(editor);
        window.resize(500, 300);
        window.show();
        provider = std::make_unique<TQBEditorService>();
        provider->SetArticleTabs(tabs);
        provider->SetArticleTitle(title);
        provider->SetArticleEditor(editor);
        provider->SetActive(true);
        std::dynamic_pointer_cast<INVKEventPublisher>(DataService())->Subscribe(recorder);
    }

    ~TEditorFixture()
    {
        if (const auto publisher = std::dynamic_pointer_cast<INVKEventPublisher>(DataService()))
            publisher->Unsubscribe(recorder);
        provider.reset();
    }

    IQBEditorServicePtr svc() const { return EditorService(); }
    std::shared_ptr<TQBEditorServiceImpl> impl() const
    {
        return std::dynamic_pointer_cast<TQBEditorServiceImpl>(EditorService());
    }
    IQBDocumentPtr doc() const { return DataService()->GetDocument(); }
    IQBArticlePtr add(const QString &caption, const IQBArticlePtr &parent = {}, const QString &body = {})
    {
        IQBArticlePtr article = doc()->AddChild(parent ? parent : doc()->Root());
        article->SetCaption(caption);
        if (!body.isEmpty())
            article->SetContent(body);
        return article;
    }
    int contentChanges() const { return int(dataCodes.count(QB_DATA_CONTENT_CHANGED)); }
};

} // namespace

class TestQBEditorSvc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void activate_withoutAControl_raisesAndStaysInactive();
    void start_showsTheRootInOneWindow();
    void navigateTo_elevenArticles_keepsTenBackEntries();
    void navigateTo_visitedArticle_movesItToTheFrontWithoutDuplicate();
    void navigateTo_shownArticle_recordsNothingAndKeepsTheCaret();
    void navigateTo_afterGoingBack_clearsForward();
    void goBackAndForward_walkTheHistories();
    void closeWindow_activeWindow_picksTheNeighbour();
    void closeWindow_lastWindow_doesNothing();
    void articleDeleted_closesWindowsAndCleansHistories();
    void articleDeleted_shownInEveryWindow_keepsOne();
    void switchingBack_restoresCaretSelectionAndScroll();
    void storing_unchangedBody_isNotRewritten();
    void storeChanges_clearsTheModifiedFlag_soASavedDocumentStaysSaved();
    void captionAndMarkerChanges_updateEveryTabAndTheTitle();
    void newDocument_resetsToOneWindowOnTheRoot();
    void loadingAnEmptyBody_typesInTheDefaultFont();
    void editorHandleAndSelectionRtf_reachTheEditor();
    void windowHistory_keepsItsDepthAndOrder();
};

void TestQBEditorSvc::activate_withoutAControl_raisesAndStaysInactive()
{
    TServiceFixture services;
    services.start();
    TArticleTabs tabs;
    tabs.addTab(QStringLiteral("stale"));
    tabs.addTab(QStringLiteral("tabs"));
    TArticleRichEdit editor;
    TQBEditorService provider;
    provider.SetArticleTabs(&tabs);
    QCOMPARE(tabs.count(), 0);
    provider.SetArticleEditor(&editor);
    try {
        provider.SetActive(true);
        QFAIL("activation without a title bar must raise");
    } catch (const ENVKServiceError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Cannot activate service. Required property not assigned."));
    }
    QVERIFY(!provider.Active());
    QVERIFY(!EditorService());
}

void TestQBEditorSvc::start_showsTheRootInOneWindow()
{
    TEditorFixture f;
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.svc()->ActiveWindowIndex(), 0);
    QCOMPARE(f.svc()->CurrentArticle(), f.doc()->Root());
    QCOMPARE(f.tabs->count(), 1);
    QCOMPARE(f.tabs->tabText(0), QStringLiteral("Root"));
    QCOMPARE(f.title->Caption(), QStringLiteral("Root"));
    // Setting the controls while running is refused.
    QVERIFY_THROWS_EXCEPTION(ENVKServiceError, f.provider->SetArticleTabs(nullptr));
}

void TestQBEditorSvc::navigateTo_elevenArticles_keepsTenBackEntries()
{
    TEditorFixture f;
    QList<IQBArticlePtr> articles;
    for (int i = 0; i < 11; ++i)
        articles.append(f.add(QStringLiteral("A%1").arg(i)));
    for (const IQBArticlePtr &article : articles)
        f.svc()->NavigateTo(article);
    const TQBArticleWindow *window = f.impl()->Window(0);
    QCOMPARE(window->Back.Count(), 10);
    QCOMPARE(window->Back.Item(0), articles.at(9));
    // The root, visited first, fell off the end.
    QCOMPARE(window->Back.Item(9), articles.at(0));
    QCOMPARE(f.svc()->BackCaption(), QStringLiteral("A9"));
    QCOMPARE(f.tabs->tabText(0), QStringLiteral("A10"));
}

void TestQBEditorSvc::navigateTo_visitedArticle_movesItToTheFrontWithoutDuplicate()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    f.svc()->NavigateTo(a);
    f.svc()->NavigateTo(b);
    f.svc()->NavigateTo(a);
    f.svc()->NavigateTo(b);
    // Root, A, B, A, B: A moved to the front instead of coming twice.
    const TQBArticleWindow *window = f.impl()->Window(0);
    QCOMPARE(window->Back.Count(), 3);
    QCOMPARE(window->Back.Item(0), a);
    QCOMPARE(window->Back.Item(1), b);
    QCOMPARE(window->Back.Item(2), f.doc()->Root());
}

void TestQBEditorSvc::navigateTo_shownArticle_recordsNothingAndKeepsTheCaret()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(5));
    f.svc()->NavigateTo(a);
    f.editor->SetSelStart(3);
    f.editor->SetSelLength(4);
    const int before = f.impl()->Window(0)->Back.Count();
    f.svc()->NavigateTo(a);
    QCOMPARE(f.impl()->Window(0)->Back.Count(), before);
    QCOMPARE(f.editor->SelStart(), 3);
    QCOMPARE(f.editor->SelLength(), 4);
    f.svc()->NavigateTo({});
    QCOMPARE(f.svc()->CurrentArticle(), a);
}

void TestQBEditorSvc::navigateTo_afterGoingBack_clearsForward()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    const IQBArticlePtr c = f.add(QStringLiteral("C"));
    f.svc()->NavigateTo(a);
    f.svc()->NavigateTo(b);
    f.svc()->GoBack();
    QVERIFY(f.svc()->CanGoForward());
    QCOMPARE(f.svc()->ForwardCaption(), QStringLiteral("B"));
    f.svc()->NavigateTo(c);
    QVERIFY(!f.svc()->CanGoForward());
    QCOMPARE(f.svc()->ForwardCaption(), QString());
}

void TestQBEditorSvc::goBackAndForward_walkTheHistories()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(2, QStringLiteral("alpha")));
    const IQBArticlePtr b = f.add(QStringLiteral("B"), {}, RtfLines(2, QStringLiteral("beta")));
    QVERIFY(!f.svc()->CanGoBack());
    f.svc()->GoBack(); // nothing to go back to
    QCOMPARE(f.svc()->CurrentArticle(), f.doc()->Root());
    f.svc()->NavigateTo(a);
    f.svc()->NavigateTo(b);
    QVERIFY(f.editor->toPlainText().startsWith(QStringLiteral("beta")));
    f.svc()->GoBack();
    QCOMPARE(f.svc()->CurrentArticle(), a);
    QVERIFY(f.editor->toPlainText().startsWith(QStringLiteral("alpha")));
    QCOMPARE(f.svc()->BackCaption(), QStringLiteral("Root"));
    QCOMPARE(f.svc()->ForwardCaption(), QStringLiteral("B"));
    f.svc()->GoBack();
    QCOMPARE(f.svc()->CurrentArticle(), f.doc()->Root());
    QVERIFY(!f.svc()->CanGoBack());
    f.svc()->GoForward();
    f.svc()->GoForward();
    QCOMPARE(f.svc()->CurrentArticle(), b);
    QVERIFY(!f.svc()->CanGoForward());
    QCOMPARE(f.svc()->BackCaption(), QStringLiteral("A"));
    QCOMPARE(f.tabs->tabText(0), QStringLiteral("B"));
}

void TestQBEditorSvc::closeWindow_activeWindow_picksTheNeighbour()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    const IQBArticlePtr b = f.add(QStringLiteral("B"));
    const IQBArticlePtr c = f.add(QStringLiteral("C"));
    QCOMPARE(f.svc()->OpenWindow(a), 1);
    QCOMPARE(f.svc()->OpenWindow(b), 2);
    QCOMPARE(f.svc()->OpenWindow(c), 3);
    // Opening does not switch.
    QCOMPARE(f.svc()->ActiveWindowIndex(), 0);
    QCOMPARE(f.tabs->count(), 4);
    QCOMPARE(f.svc()->IndexOfCaption(QStringLiteral("B")), 2);
    QCOMPARE(f.svc()->IndexOfCaption(QStringLiteral("b")), -1);
    QCOMPARE(f.svc()->IndexOfArticle(c), 3);

    // Window 0 active: window 1 takes over.
    f.svc()->CloseWindow(0);
    QCOMPARE(f.svc()->WindowCount(), 3);
    QCOMPARE(f.svc()->CurrentArticle(), a);
    QCOMPARE(f.svc()->ActiveWindowIndex(), 0);
    QCOMPARE(f.tabs->count(), 3);
    QCOMPARE(f.tabs->currentIndex(), 0);
    QCOMPARE(f.tabs->tabText(0), QStringLiteral("A"));

    // Active window k > 0: window k - 1 takes over.
    f.svc()->ActivateWindow(2);
    QCOMPARE(f.tabs->currentIndex(), 2);
    f.svc()->CloseWindow(2);
    QCOMPARE(f.svc()->CurrentArticle(), b);
    QCOMPARE(f.svc()->ActiveWindowIndex(), 1);
    QCOMPARE(f.tabs->currentIndex(), 1);

    // Closing an inactive window before the active one keeps the active article.
    f.svc()->CloseWindow(0);
    QCOMPARE(f.svc()->CurrentArticle(), b);
    QCOMPARE(f.svc()->ActiveWindowIndex(), 0);
    QCOMPARE(f.tabs->currentIndex(), 0);
    QVERIFY_THROWS_EXCEPTION(EListError, f.svc()->WindowCaption(5));
}

void TestQBEditorSvc::closeWindow_lastWindow_doesNothing()
{
    TEditorFixture f;
    f.svc()->CloseWindow(0);
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.tabs->count(), 1);
    QCOMPARE(f.svc()->ActiveWindowIndex(), 0);
}

void TestQBEditorSvc::articleDeleted_closesWindowsAndCleansHistories()
{
    TEditorFixture f;
    const IQBArticlePtr branch = f.add(QStringLiteral("Branch"));
    const IQBArticlePtr leaf = f.add(QStringLiteral("Leaf"), branch);
    const IQBArticlePtr other = f.add(QStringLiteral("Other"));
    f.svc()->NavigateTo(leaf);
    f.svc()->NavigateTo(branch);
    f.svc()->NavigateTo(other);
    f.svc()->OpenWindow(leaf);
    f.svc()->OpenWindow(branch);
    QCOMPARE(f.svc()->WindowCount(), 3);

    f.doc()->DeleteArticle(branch);
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.tabs->count(), 1);
    QCOMPARE(f.svc()->CurrentArticle(), other);
    const TQBArticleWindow *window = f.impl()->Window(0);
    QCOMPARE(window->Back.Count(), 1);
    QCOMPARE(window->Back.Item(0), f.doc()->Root());
}

void TestQBEditorSvc::articleDeleted_shownInEveryWindow_keepsOne()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    f.svc()->NavigateTo(a);
    f.svc()->OpenWindow(a);
    f.svc()->OpenWindow(a);
    f.doc()->DeleteArticle(a);
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.svc()->CurrentArticle(), a);
    QCOMPARE(f.tabs->count(), 1);
}

void TestQBEditorSvc::switchingBack_restoresCaretSelectionAndScroll()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(200));
    const IQBArticlePtr b = f.add(QStringLiteral("B"), {}, RtfLines(3));
    f.svc()->NavigateTo(a);
    f.editor->LineScroll(40);
    const int firstLine = f.editor->FirstVisibleLine();
    QVERIFY(firstLine >= 30);
    const int start = f.editor->CharFromLine(firstLine + 2);
    f.editor->SetSelStart(start);
    f.editor->SetSelLength(5);
    f.svc()->NavigateTo(b);
    QCOMPARE(a->ViewState()->SelStart, start);
    QCOMPARE(a->ViewState()->SelLength, 5);
    QCOMPARE(int(a->ViewState()->FirstVisibleLine), firstLine);
    QCOMPARE(f.editor->FirstVisibleLine(), 0);
    f.svc()->GoBack();
    QCOMPARE(f.editor->SelStart(), start);
    QCOMPARE(f.editor->SelLength(), 5);
    QCOMPARE(int(f.editor->FirstVisibleLine()), firstLine);
}

void TestQBEditorSvc::storing_unchangedBody_isNotRewritten()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(3));
    const IQBArticlePtr b = f.add(QStringLiteral("B"), {}, RtfLines(3));
    const QString bodyA = a->Content();
    f.svc()->OpenWindow(a);
    f.svc()->OpenWindow(b);
    f.dataCodes.clear();
    f.svc()->ActivateWindow(1);
    f.editor->SetSelStart(2);
    f.svc()->ActivateWindow(2);
    f.svc()->ActivateWindow(1);
    f.svc()->StoreChanges();
    QCOMPARE(f.contentChanges(), 0);
    QCOMPARE(a->Content(), bodyA);
    // The position is recorded all the same.
    QCOMPARE(a->ViewState()->SelStart, 2);

    QTest::keyClicks(f.editor, QStringLiteral("typed"));
    QVERIFY(f.editor->Modified());
    f.svc()->ActivateWindow(2);
    QCOMPARE(f.contentChanges(), 1);
    QVERIFY(a->Content().contains(QStringLiteral("typed")));
}

void TestQBEditorSvc::storeChanges_clearsTheModifiedFlag_soASavedDocumentStaysSaved()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(3));
    f.svc()->NavigateTo(a);
    QTest::keyClicks(f.editor, QStringLiteral("new words "));
    f.svc()->StoreChanges();
    QVERIFY(!f.editor->Modified());
    QVERIFY(a->Content().contains(QStringLiteral("new words")));
    QVERIFY(DataService()->SaveDocument(f.services.path(QStringLiteral("saved.xqb"))));
    QVERIFY(!f.doc()->Modified());
    f.dataCodes.clear();
    f.svc()->StoreChanges();
    QCOMPARE(f.contentChanges(), 0);
    QVERIFY(!f.doc()->Modified());
}

void TestQBEditorSvc::captionAndMarkerChanges_updateEveryTabAndTheTitle()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"));
    f.svc()->NavigateTo(a);
    f.svc()->OpenWindow(a);
    QList<IQBArticlePtr> shown;
    QObject::connect(f.title, &TArticleTitle::articleChanged,
                     [&shown](const IQBArticlePtr &article) { shown.append(article); });
    a->SetCaption(QStringLiteral("Renamed"));
    QCOMPARE(f.tabs->tabText(0), QStringLiteral("Renamed"));
    QCOMPARE(f.tabs->tabText(1), QStringLiteral("Renamed"));
    QCOMPARE(f.title->Caption(), QStringLiteral("Renamed"));
    QCOMPARE(f.svc()->WindowCaption(1), QStringLiteral("Renamed"));
    a->SetMark(3);
    QCOMPARE(f.title->ImageIndex(), 3);
    QCOMPARE(shown.size(), 2);
}

void TestQBEditorSvc::newDocument_resetsToOneWindowOnTheRoot()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, RtfLines(3));
    f.svc()->NavigateTo(a);
    f.svc()->OpenWindow(a);
    f.svc()->OpenWindow(f.doc()->Root());
    f.svc()->StoreChanges();
    QVERIFY(DataService()->SaveDocument(f.services.path(QStringLiteral("before.xqb"))));
    QVERIFY(DataService()->NewDocument());
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.tabs->count(), 1);
    QCOMPARE(f.svc()->CurrentArticle(), f.doc()->Root());
    QVERIFY(!f.svc()->CanGoBack());
    QVERIFY(!f.svc()->CanGoForward());
    QVERIFY(f.editor->toPlainText().isEmpty());

    QVERIFY(DataService()->OpenDocument(f.services.path(QStringLiteral("before.xqb"))));
    QCOMPARE(f.svc()->WindowCount(), 1);
    QCOMPARE(f.svc()->CurrentArticle(), f.doc()->Root());
    QVERIFY(!f.svc()->CanGoBack());
}

void TestQBEditorSvc::loadingAnEmptyBody_typesInTheDefaultFont()
{
    TEditorFixture f;
    const IQBArticlePtr styled = f.add(QStringLiteral("Styled"), {},
                                       QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\f0\\fs48\\b big\\par}"));
    const IQBArticlePtr empty = f.add(QStringLiteral("Empty"));
    f.editor->DefAttributes().SetName(QStringLiteral("Serif"));
    f.editor->DefAttributes().SetSize(11);
    f.svc()->NavigateTo(styled);
    f.editor->SetSelStart(1);
    QCOMPARE(f.editor->SelAttributes().Size(), 24);
    f.svc()->NavigateTo(empty);
    QCOMPARE(f.editor->SelAttributes().Name(), QStringLiteral("Serif"));
    QCOMPARE(f.editor->SelAttributes().Size(), 11);
    QCOMPARE(f.editor->SelAttributes().Style(), 0);
    QVERIFY(!f.editor->Modified());
    QVERIFY(!f.editor->CanUndo());
}

void TestQBEditorSvc::editorHandleAndSelectionRtf_reachTheEditor()
{
    TEditorFixture f;
    const IQBArticlePtr a = f.add(QStringLiteral("A"), {}, QStringLiteral("{\\rtf1 hello world\\par}"));
    f.svc()->NavigateTo(a);
    QCOMPARE(f.svc()->EditorHandle(), static_cast<QObject *>(f.editor));
    f.editor->SetSelStart(6);
    f.editor->SetSelLength(5);
    const QByteArray rtf = f.svc()->SelectionRTF();
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QVERIFY(rtf.contains("world"));
    QVERIFY(!rtf.contains("hello"));
}

void TestQBEditorSvc::windowHistory_keepsItsDepthAndOrder()
{
    TQBWindowHistory history;
    QCOMPARE(history.MaxDepth, 10);
    QVERIFY(!history.Pop());
    QList<IQBArticlePtr> articles;
    const IQBDocumentPtr doc = TQBDocument::Create();
    for (int i = 0; i < 12; ++i) {
        articles.append(doc->AddChild(doc->Root()));
        history.Add(articles.last());
    }
    QCOMPARE(history.Count(), 10);
    QCOMPARE(history.Item(0), articles.at(11));
    history.Add(articles.at(5));
    QCOMPARE(history.Count(), 10);
    QCOMPARE(history.Item(0), articles.at(5));
    history.Remove(articles.at(5));
    QCOMPARE(history.Count(), 9);
    QCOMPARE(history.Pop(), articles.at(11));
    QCOMPARE(history.Count(), 8);
}

QTEST_MAIN(TestQBEditorSvc)
#include "tst_QBEditorSvc.moc"
