// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "QBVersion.h"
#include "app/AppData.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "controls/ArticleTree.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DocPropsDlg.h"
#include "dialogs/TipsDlg.h"
#include "framework/QBStrings.h"
#include "panes/IndexPane.h"
#include "panes/OutlinePane.h"
#include "panes/SearchPane.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"
#include "platform/QBShell.h"
#include "report/ExportDlg.h"
#include "report/PrintDlg.h"
#include "report/PrxCore.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

QAction *TFAppFrame::NewAction(const QString &name, const QString &caption, const QString &hint, int image,
                               const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    if (image >= 0)
        action->setIcon(QBCommandImage(image));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (!hint.isEmpty()) {
        action->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        action->setStatusTip(hint.section(QLatin1Char('|'), 1));
    }
    addAction(action);
    alStandard.append(action);
    return action;
}

void TFAppFrame::CreateActions()
{
    const auto S = [](const char *text) { return QString::fromUtf8(text); };
    FileNew = NewAction(S("FileNew"), S("&New"), S("New|Create new document"), ciFileNew, QKeySequence(S("Ctrl+N")));
    FileOpen = NewAction(S("FileOpen"), S("&Open..."), S("Open|Open existing document"), ciFileOpen,
                         QKeySequence(S("Ctrl+O")));
    FileSave =
        NewAction(S("FileSave"), S("&Save"), S("Save|Save current document"), ciFileSave, QKeySequence(S("Ctrl+S")));
    FileSaveAs =
        NewAction(S("FileSaveAs"), S("Save &As..."), S("Save As|Save current document under a new name"), ciFileSaveAs);
    FileExport =
        NewAction(S("FileExport"), S("&Export..."), S("Export|Export articles as an RTF or a text file"), ciFileExport);
    FilePrint = NewAction(S("FilePrint"), S("&Print/Preview..."), S("Print|Print or preview articles"), ciFilePrint,
                          QKeySequence(S("Ctrl+P")));
    FilePrintSetup = NewAction(S("FilePrintSetup"), S("P&rinter setup..."),
                               S("Printer setup|Choose the printer and its settings"), ciFilePrintSetup);
    FilePageSetup = NewAction(S("FilePageSetup"), S("Pa&ge setup..."), S("Page setup|Set the paper and the margins"),
                              ciFilePageSetup);
    FileProperties = NewAction(S("FileProperties"), S("Proper&ties..."),
                               S("Properties|Show the document's facts and edit its summary"), ciFileProperties);
    FileExit = NewAction(S("FileExit"), S("E&xit"), S("Exit|Quit Quillbox"), ciFileExit);
    EditUndo = NewAction(S("EditUndo"), S("&Undo"), S("Undo|Undo last change"), ciEditUndo, QKeySequence(S("Ctrl+Z")));
    EditRedo = NewAction(S("EditRedo"), S("&Redo"), S("Redo|Redo last undone change"), ciEditRedo,
                         QKeySequence(S("Ctrl+Shift+Z")));
    EditCut = NewAction(S("EditCut"), S("Cu&t"), S("Cut|Cut selection to the clipboard"), ciEditCut,
                        QKeySequence(S("Ctrl+X")));
    EditCopy = NewAction(S("EditCopy"), S("&Copy"), S("Copy|Copy selection to the clipboard"), ciEditCopy,
                         QKeySequence(S("Ctrl+C")));
    EditPaste = NewAction(S("EditPaste"), S("&Paste"), S("Paste|Insert clipboard contents"), ciEditPaste,
                          QKeySequence(S("Ctrl+V")));
    EditPasteSpecial = NewAction(S("EditPasteSpecial"), S("Paste &special..."),
                                 S("Paste special|Insert clipboard contents in a chosen format"), ciEditPasteSpecial,
                                 QKeySequence(S("Ctrl+Shift+V")));
    EditDelete = NewAction(S("EditDelete"), S("&Delete"), S("Delete|Erase selection"));
    EditSelectAll = NewAction(S("EditSelectAll"), S("Select &All"), S("Select All|Select the whole article"),
                              ciEditSelectAll, QKeySequence(S("Ctrl+A")));
    EditFind = NewAction(S("EditFind"), S("&Find in this Article..."), S("Find|Find text in this article"), ciEditFind,
                         QKeySequence(S("Ctrl+F")));
    EditReplace = NewAction(S("EditReplace"), S("Rep&lace in this Article..."),
                            S("Replace|Replace text in this article"), ciEditReplace, QKeySequence(S("Ctrl+R")));
    ViewIndex = NewAction(S("ViewIndex"), S("&Index"), S("Index|Show or hide the index pane"));
    ViewSearch = NewAction(S("ViewSearch"), S("S&earch"), S("Search|Show or hide the search pane"));
    ViewStatusBar = NewAction(S("ViewStatusBar"), S("&Status bar"), S("Status bar|Show or hide the status bar"));
    ViewTStandard =
        NewAction(S("ViewTStandard"), S("&Standard"), S("Standard toolbar|Show or hide the Standard toolbar"));
    ViewTArticle = NewAction(S("ViewTArticle"), S("&Article"), S("Article toolbar|Show or hide the Article toolbar"));
    ViewTitleBar = NewAction(S("ViewTitleBar"), S("Title b&ar"), S("Title bar|Show or hide the article title bar"));
    ViewWrap = NewAction(S("ViewWrap"), S("&Word wrap"), S("Word wrap|Wrap lines at the editor's edge"));
    for (QAction *toggle : {ViewIndex, ViewSearch, ViewStatusBar, ViewTStandard, ViewTArticle, ViewTitleBar, ViewWrap})
        toggle->setCheckable(true);
    ViewToggleFocus = NewAction(S("ViewToggleFocus"), S("T&oggle focus"),
                                S("Toggle focus|Toggle focus between editor and outline."), ciViewToggleFocus);
    ViewToggleFocus->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(S("Ctrl+`"))});
    ViewSettings =
        NewAction(S("ViewSettings"), S("Settin&gs..."), S("Settings|Change the settings of Quillbox"), ciViewSettings);
    NavBack = NewAction(S("NavBack"), S("&Back"), QString(), ciNavBack, QKeySequence(S("Alt+Left")));
    NavForward = NewAction(S("NavForward"), S("&Forward"), QString(), ciNavForward, QKeySequence(S("Alt+Right")));
    NavSyncOutline = NewAction(S("NavSyncOutline"), S("S&ynchronize outline"),
                               S("Synchronize outline|Select the edited article in the outline"), ciNavSyncOutline,
                               QKeySequence(S("Alt+Home")));
    NavPrevious = NewAction(S("NavPrevious"), S("&Previous"), S("Previous|Go to the previous article"), ciNavPrevious,
                            QKeySequence(S("Alt+Up")));
    NavNext =
        NewAction(S("NavNext"), S("&Next"), S("Next|Go to the next article"), ciNavNext, QKeySequence(S("Alt+Down")));
    DocAddChild = NewAction(S("DocAddChild"), S("Add &child"), S("Add child|Add a sub-article to the selected one"),
                            ciDocAddChild, QKeySequence(Qt::Key_F4));
    DocAddSiblingBelow = NewAction(S("DocAddSiblingBelow"), S("Add sibling &below"),
                                   S("Add sibling below|Add an article below the selected one"), ciDocAddSiblingBelow,
                                   QKeySequence(Qt::Key_F5));
    DocAddSiblingAbove = NewAction(S("DocAddSiblingAbove"), S("Add sibling &above"),
                                   S("Add sibling above|Add an article above the selected one"), ciDocAddSiblingAbove,
                                   QKeySequence(S("Shift+F5")));
    DocRename =
        NewAction(S("DocRename"), S("&Rename"), S("Rename|Rename the selected article"), -1, QKeySequence(Qt::Key_F2));
    DocDelete = NewAction(S("DocDelete"), S("&Delete"), S("Delete|Delete the selected article"), ciDocDelete,
                          QKeySequence(S("Ctrl+D")));
    DocMoveUp = NewAction(S("DocMoveUp"), S("Move &up"), S("Move up|Move the selected article up"), ciDocMoveUp,
                          QKeySequence(S("Ctrl+Up")));
    DocMoveDown = NewAction(S("DocMoveDown"), S("Move d&own"), S("Move down|Move the selected article down"),
                            ciDocMoveDown, QKeySequence(S("Ctrl+Down")));
    DocMoveLeft = NewAction(S("DocMoveLeft"), S("Move &left"), S("Move left|Move the selected article one level up"),
                            ciDocMoveLeft);
    DocMoveRight = NewAction(S("DocMoveRight"), S("Move &right"),
                             S("Move right|Make the selected article a child of the one above"), ciDocMoveRight);
    DocChangeMarker = NewAction(S("DocChangeMarker"), S("Change &marker..."),
                                S("Change marker|Choose the marker of the selected article"), ciDocChangeMarker);
    WindowNew = NewAction(S("WindowNew"), S("&New Window"), S("New window|Open the article in a new window"),
                          ciWindowNew, QKeySequence(S("Ctrl+W")));
    WindowClose =
        NewAction(S("WindowClose"), S("&Close Window"), S("Close window|Close the active window"), ciWindowClose);
    HelpContents = NewAction(S("HelpContents"), S("&Contents"), S("Contents|Show the help contents"), ciHelpContents);
    HelpTip =
        NewAction(S("HelpTip"), S("Ti&p of the Day..."), S("Tip of the Day|Show a tip about Quillbox"), ciHelpTip);
    HelpAbout = NewAction(S("HelpAbout"), S("&About..."), S("About|About Quillbox"), ciHelpAbout);
    DocSplit = NewAction(S("DocSplit"), S("&Split"), S("Split|Move the text after the caret into a new article"), -1,
                         QKeySequence(S("Ctrl+T")));
    HelpMail = NewAction(S("HelpMail"), S("E-&mail to support..."), S("E-mail|Write to Quillbox support"));
    HelpHome = NewAction(S("HelpHome"), S("&Home page..."), S("Home page|Open Quillbox home page"));

    // The editor keeps its own Ctrl+Z and clipboard keys while it has the focus; the menu's
    // shortcuts must not compete with the outline's in-place editor either.
    for (QAction *action : {EditUndo, EditRedo, EditCut, EditCopy, EditPaste, EditSelectAll, EditDelete})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    CreateFormatActions();
    CreateEditDialogActions();
    CreateObjectActions();
}

void TFAppFrame::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mmMain"));

    QMenu *file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mFile"));
    file->addActions({FileNew, FileOpen});
    miRecent = file->addMenu(tr("&Recent files"));
    miRecent->setObjectName(QStringLiteral("miRecent"));
    file->addActions({FileSave, FileSaveAs});
    file->addSeparator();
    file->addAction(FileExport);
    file->addSeparator();
    file->addActions({FilePrint, FilePrintSetup, FilePageSetup});
    file->addSeparator();
    file->addAction(FileProperties);
    file->addSeparator();
    file->addAction(FileExit);
    connect(file, &QMenu::aboutToShow, this, [this] {
        BuildRecentMenu(miRecent);
        alStandardUpdate();
    });

    QMenu *edit = bar->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("mEdit"));
    edit->addActions({EditUndo, EditRedo});
    edit->addSeparator();
    edit->addActions({EditCut, EditCopy, EditPaste, EditPasteSpecial, EditDelete});
    edit->addSeparator();
    edit->addActions({EditSelectAll, EditFind, EditReplace});

    QMenu *view = bar->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("mView"));
    view->addActions({ViewIndex, ViewSearch});
    view->addSeparator();
    view->addAction(ViewStatusBar);
    QMenu *toolbars = view->addMenu(tr("&Toolbars"));
    toolbars->setObjectName(QStringLiteral("miToolbars"));
    toolbars->addActions({ViewTStandard, ViewTArticle, ViewTFormat});
    view->addActions({ViewTitleBar, ViewWrap});
    view->addSeparator();
    view->addActions({ViewGoToLine, ViewToggleFocus});
    view->addSeparator();
    view->addAction(ViewSettings);

    QMenu *article = bar->addMenu(tr("&Article"));
    article->setObjectName(QStringLiteral("mArticle"));
    article->addActions({NavBack, NavForward, NavSyncOutline, NavPrevious, NavNext});
    article->addSeparator();
    article->addActions({DocAddChild, DocAddSiblingAbove, DocAddSiblingBelow, DocRename, DocDelete});
    article->addSeparator();
    article->addActions({DocMoveUp, DocMoveDown, DocMoveLeft, DocMoveRight});
    article->addSeparator();
    article->addAction(DocChangeMarker);
    article->insertAction(DocRename, DocSplit);

    QMenu *insert = bar->addMenu(tr("&Insert"));
    insert->setObjectName(QStringLiteral("mInsert"));
    QMenu *format = bar->addMenu(tr("F&ormat"));
    format->setObjectName(QStringLiteral("mFormat"));
    CreateFormatMenus(insert, format);

    mWindow = bar->addMenu(tr("&Window"));
    mWindow->setObjectName(QStringLiteral("mWindow"));
    mWindow->addActions({WindowNew, WindowClose});
    QAction *separator = mWindow->addSeparator();
    for (QAction *fixed : {WindowNew, WindowClose, separator})
        fixed->setData(-1);
    connect(mWindow, &QMenu::aboutToShow, this, [this] {
        BuildWindowMenu(mWindow);
        alStandardUpdate();
    });

    pmWindow->addActions({WindowNew, WindowClose});
    pmWindow->addSeparator()->setData(-1);

    QMenu *help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("mHelp"));
    help->addActions({HelpContents, HelpTip});
    help->addSeparator();
    help->addActions({HelpMail, HelpHome});
    help->addSeparator();
    help->addAction(HelpAbout);

    for (QMenu *menu : {edit, view, article, help})
        connect(menu, &QMenu::aboutToShow, this, &TFAppFrame::alStandardUpdate);

    // The tab strip's popup.
    atArticles->setContextMenuPolicy(Qt::ActionsContextMenu);
    atArticles->addActions({WindowNew, WindowClose});
}

void TFAppFrame::CreateToolbars()
{
    tbStandard = addToolBar(tr("Standard"));
    tbStandard->setObjectName(QStringLiteral("tbStandard"));
    tbStandard->addAction(FileNew);
    tbStandard->addAction(FileOpen);
    pmRecent = new QMenu(this);
    pmRecent->setObjectName(QStringLiteral("pmRecent"));
    connect(pmRecent, &QMenu::aboutToShow, this, [this] { BuildRecentMenu(pmRecent); });
    if (auto *openButton = qobject_cast<QToolButton *>(tbStandard->widgetForAction(FileOpen))) {
        openButton->setMenu(pmRecent);
        openButton->setPopupMode(QToolButton::MenuButtonPopup);
    }
    tbStandard->addAction(FileSave);
    tbStandard->addAction(FilePrint);
    tbStandard->addSeparator();
    tbStandard->addActions({EditCut, EditCopy, EditPaste});
    tbStandard->addSeparator();
    tbStandard->addActions({EditUndo, EditRedo});
    tbStandard->addSeparator();
    tbStandard->addActions({EditFind, EditReplace});

    tbArticle = addToolBar(tr("Article"));
    tbArticle->setObjectName(QStringLiteral("tbArticle"));
    tbArticle->addActions({NavBack, NavForward, NavSyncOutline});
    tbArticle->addSeparator();
    tbArticle->addActions({DocAddChild, DocAddSiblingAbove, DocAddSiblingBelow, DocDelete});
    tbArticle->addSeparator();
    tbArticle->addActions({DocMoveUp, DocMoveDown, DocMoveLeft, DocMoveRight});
    CreateFormatToolbar();
}

void TFAppFrame::ConnectActions()
{
    ConnectFileEdit();
    ConnectViewNav();
    ConnectDocWindowHelp();
    ConnectFormatInsert();
    ConnectEditDialogs();
    CreatePopups();
}

QString TFAppFrame::WordAtCaret() const
{
    QTextCursor cursor = RichEdit->textCursor();
    if (cursor.hasSelection())
        return cursor.selectedText();
    cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText();
}

void TFAppFrame::ConnectFileEdit()
{
    connect(FileNew, &QAction::triggered, this, [this] {
        StoreChanges();
        if (const IQBDataServicePtr data = DataService())
            data->NewDocument();
    });
    connect(FileOpen, &QAction::triggered, this, [this] {
        StoreChanges();
        if (const IQBDataServicePtr data = DataService())
            data->OpenDocument(QString());
    });
    connect(FileSave, &QAction::triggered, this, [this] {
        StoreChanges();
        if (const IQBDataServicePtr data = DataService())
            data->SaveDocument(QString());
    });
    connect(FileSaveAs, &QAction::triggered, this, [this] {
        StoreChanges();
        if (const IQBDataServicePtr data = DataService())
            data->SaveDocumentAs();
    });
    connect(FileExport, &QAction::triggered, this, [this] {
        StoreChanges();
        TFExportDlg dialog(this);
        dialog.Execute();
    });
    connect(FilePrint, &QAction::triggered, this, [this] {
        StoreChanges();
        TFPrintDlg dialog(this);
        dialog.Execute();
    });
    connect(FilePrintSetup, &QAction::triggered, this, [this] { TPrxController::Application()->PrinterSetup(this); });
    connect(FilePageSetup, &QAction::triggered, this, [this] { TPrxController::Application()->PageSetup(this); });
    connect(FileExit, &QAction::triggered, this, &QWidget::close);

    connect(EditUndo, &QAction::triggered, this, [this] {
        if (OutlinePane->HasFocus())
            OutlinePane->UndoExecute();
        else
            RichEdit->Undo();
    });
    connect(EditRedo, &QAction::triggered, this, [this] {
        if (OutlinePane->HasFocus())
            OutlinePane->RedoExecute();
        else
            RichEdit->Redo();
    });
    connect(EditCut, &QAction::triggered, RichEdit, &QTextEdit::cut);
    connect(EditCopy, &QAction::triggered, RichEdit, &QTextEdit::copy);
    connect(EditPaste, &QAction::triggered, RichEdit, &QTextEdit::paste);
    connect(EditPasteSpecial, &QAction::triggered, this, [this] { RichEdit->PasteSpecialDialog(); });
    connect(EditDelete, &QAction::triggered, RichEdit, &TVtlRichEdit::ClearSelection);
    connect(EditSelectAll, &QAction::triggered, RichEdit, &QTextEdit::selectAll);
    connect(EditFind, &QAction::triggered, this, [this] {
        const IQBSettingsServicePtr settings = SettingsService();
        RichEdit->FindDialog(settings && settings->GetFindWordAtCursor() ? WordAtCaret() : QString());
    });
    connect(EditReplace, &QAction::triggered, this, [this] {
        const IQBSettingsServicePtr settings = SettingsService();
        RichEdit->ReplaceDialog(settings && settings->GetReplaceWordAtCursor() ? WordAtCaret() : QString());
    });
}

void TFAppFrame::ConnectViewNav()
{
    connect(ViewIndex, &QAction::triggered, this, [this] { TogglePane(IndexPane); });
    connect(ViewSearch, &QAction::triggered, this, [this] { TogglePane(SearchPane); });
    connect(ViewStatusBar, &QAction::triggered, this, [this] { statusBar()->setVisible(statusBar()->isHidden()); });
    connect(ViewTStandard, &QAction::triggered, this, [this] { tbStandard->setVisible(tbStandard->isHidden()); });
    connect(ViewTArticle, &QAction::triggered, this, [this] { tbArticle->setVisible(tbArticle->isHidden()); });
    connect(ViewTitleBar, &QAction::triggered, this, [this] { atTitle->setVisible(atTitle->isHidden()); });
    connect(ViewWrap, &QAction::triggered, this, [] {
        // The editor follows through the settings change, as it does for the settings dialog.
        if (const IQBSettingsServicePtr settings = SettingsService())
            settings->SetWordWrap(!settings->GetWordWrap());
    });
    for (QAction *toggle : {ViewIndex, ViewSearch, ViewStatusBar, ViewTStandard, ViewTArticle, ViewTitleBar, ViewWrap})
        connect(toggle, &QAction::triggered, this, &TFAppFrame::alStandardUpdate);
    connect(ViewToggleFocus, &QAction::triggered, this, [this] {
        if (RichEdit->hasFocus()) {
            ShowOutline();
            OutlinePane->atvOutline->setFocus();
        } else {
            RichEdit->setFocus();
        }
    });

    connect(NavBack, &QAction::triggered, this, [this] {
        if (const IQBEditorServicePtr editor = EditorService(); editor && editor->CanGoBack())
            editor->GoBack();
        alStandardUpdate();
    });
    connect(NavForward, &QAction::triggered, this, [this] {
        if (const IQBEditorServicePtr editor = EditorService(); editor && editor->CanGoForward())
            editor->GoForward();
        alStandardUpdate();
    });
    connect(NavSyncOutline, &QAction::triggered, this, [this] {
        ShowOutline();
        OutlinePane->SyncWithEditor();
    });
    const auto step = [this](bool forward) {
        const IQBEditorServicePtr editor = EditorService();
        const IQBArticlePtr current = editor ? editor->CurrentArticle() : IQBArticlePtr();
        const IQBArticlePtr target = current ? (forward ? current->Next() : current->Previous()) : IQBArticlePtr();
        if (!target)
            return;
        editor->NavigateTo(target);
        ShowOutline();
        OutlinePane->SyncWithEditor();
        alStandardUpdate();
    };
    connect(NavPrevious, &QAction::triggered, this, [step] { step(false); });
    connect(NavNext, &QAction::triggered, this, [step] { step(true); });
}

void TFAppFrame::ConnectDocWindowHelp()
{
    // Each Doc command first brings the outline forward, so the user sees what changes.
    const auto route = [this](QAction *action, auto &&command) {
        connect(action, &QAction::triggered, this, [this, command] {
            ShowOutline();
            command();
            alStandardUpdate();
        });
    };
    route(DocAddChild, [this] { OutlinePane->AddChildArticle(); });
    route(DocAddSiblingBelow, [this] { OutlinePane->AddSiblingArticle(true); });
    route(DocAddSiblingAbove, [this] { OutlinePane->AddSiblingArticle(false); });
    route(DocRename, [this] {
        OutlinePane->SyncWithEditor();
        OutlinePane->RenameSelectedArticle();
    });
    route(DocDelete, [this] { OutlinePane->DeleteSelectedArticle(); });
    route(DocMoveUp, [this] { OutlinePane->MoveSelectedArticle(mdUp); });
    route(DocMoveDown, [this] { OutlinePane->MoveSelectedArticle(mdDown); });
    route(DocMoveLeft, [this] { OutlinePane->MoveSelectedArticle(mdLeft); });
    route(DocMoveRight, [this] { OutlinePane->MoveSelectedArticle(mdRight); });
    route(DocChangeMarker, [this] { OutlinePane->ChangeMarkerExecute(); });

    connect(WindowNew, &QAction::triggered, this, [this] {
        const IQBEditorServicePtr editor = EditorService();
        if (!editor || !editor->CurrentArticle())
            return;
        editor->ActivateWindow(editor->OpenWindow(editor->CurrentArticle()));
        alStandardUpdate();
    });
    connect(WindowClose, &QAction::triggered, this, [this] {
        const IQBEditorServicePtr editor = EditorService();
        if (editor && editor->WindowCount() > 1)
            editor->CloseWindow(editor->ActiveWindowIndex());
        alStandardUpdate();
    });

    connect(HelpContents, &QAction::triggered, this, [this] { QBShowHelpContents(this); });
    connect(HelpTip, &QAction::triggered, this, [this] { TFTipsDlg::ShowTips(true, this); });
    connect(ViewSettings, &QAction::triggered, this, [] {
        if (TDMAppData *appData = TDMAppData::Instance())
            appData->ShowSettingsDialog();
    });
    connect(FileProperties, &QAction::triggered, this, [this] {
        StoreChanges();
        TFDocPropsDlg dialog(this);
        dialog.Execute();
    });
    connect(HelpAbout, &QAction::triggered, this, [this] {
        TFAboutDlg dialog(this);
        dialog.exec();
    });
    connect(DocSplit, &QAction::triggered, this, [this] {
        DocSplitExecute();
        alStandardUpdate();
    });
    connect(HelpMail, &QAction::triggered, this,
            [this] { OpenLocation(QStringLiteral("mailto:") + QStringLiteral(QB_SUPPORT_MAIL)); });
    connect(HelpHome, &QAction::triggered, this, [this] { OpenLocation(QStringLiteral(QB_HOME_PAGE)); });
}

void TFAppFrame::RichEditURLClick(const QString &url, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || url.isEmpty())
        return;
    if (url.startsWith(QLatin1Char('@'))) {
        const QString rest = url.mid(2);
        bool ok = false;
        const qint32 iid = rest.toInt(&ok);
        const IQBDocumentPtr document = Document();
        // A damaged link target warns like a missing article instead of failing the click.
        const IQBArticlePtr article = ok && document ? document->FindArticle(iid) : IQBArticlePtr();
        if (article) {
            if (const IQBEditorServicePtr editor = EditorService())
                editor->NavigateTo(article);
            alStandardUpdate();
        } else {
            QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SArticleNotFound, {rest}));
        }
        return;
    }
    if (QBOpenUrl(QUrl::fromUserInput(url)))
        return;
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        // A file no program opens: offer its folder instead, everything up to the last
        // separator or colon.
        const QString question = QBFormatStr(QBAppLocalizer(), QBStrings::SNoAssociation, {url});
        if (QBDialogs::Question(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        const qsizetype cut = std::max(
            {url.lastIndexOf(QLatin1Char('/')), url.lastIndexOf(QLatin1Char('\\')), url.lastIndexOf(QLatin1Char(':'))});
        const QString folder = url.left(cut);
        if (!QBOpenUrl(QUrl::fromUserInput(folder)))
            QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotOpenLocation, {folder}));
        return;
    }
    QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotOpenLocation, {url}));
}

void TFAppFrame::OpenLocation(const QString &location)
{
    if (!QBOpenUrl(QUrl(location)))
        QBDialogs::Warning(this, QBFormatStr(xlAppFrame, QBStrings::SCannotOpenLocation, {location}));
}

void TFAppFrame::DocSplitExecute()
{
    const IQBEditorServicePtr editor = EditorService();
    const IQBDocumentPtr document = Document();
    const IQBArticlePtr article = editor ? editor->CurrentArticle() : IQBArticlePtr();
    if (!article || !document || article == document->Root())
        return;
    // The text leaves the article the editor shows, so the new part must go below that one, even
    // when the outline's selection was moved away from it with Shift+click.
    if (OutlinePane->SelectedArticle() != article)
        OutlinePane->SyncWithEditor();
    if (OutlinePane->SelectedArticle() != article)
        return;
    ShowOutline();

    // The split is one step of the outline's undo: both bodies as they are now go into it.
    editor->StoreChanges();
    const TQBUndoScope step(*document, ukSplit, article);
    RichEdit->setUpdatesEnabled(false);
    const auto repaint = qScopeGuard([this] { RichEdit->setUpdatesEnabled(true); });
    QTextCursor cursor = RichEdit->textCursor();
    cursor.setPosition(cursor.selectionStart());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    RichEdit->setTextCursor(cursor);
    QByteArray tail = RichEdit->StreamOutBytes(sfRichText, TVtlStreamModes(smSelection));
    RichEdit->ClearSelection();

    // The text is out of the editor now: when no article comes to take it, it goes back.
    const auto putBack = [this, &tail] {
        QBuffer buffer(&tail);
        buffer.open(QIODevice::ReadOnly);
        RichEdit->StreamIn(buffer, sfRichText, TVtlStreamModes(smSelection));
    };
    try {
        OutlinePane->AddSiblingArticle(true);
    } catch (...) {
        if (editor->CurrentArticle() == article)
            putBack();
        throw;
    }
    if (editor->CurrentArticle() == article) {
        putBack();
        return;
    }
    QBuffer buffer(&tail);
    buffer.open(QIODevice::ReadOnly);
    RichEdit->StreamIn(buffer, sfRichText, TVtlStreamModes());
    // A whole body streamed in counts as unchanged; the new article must still receive it.
    RichEdit->SetModified(true);
    editor->StoreChanges();
}
