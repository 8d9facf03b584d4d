// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "controls/BaseForm.h"
#include "document/QBDataIntf.h"
#include "rtf/QBRtfObjects.h"
#include "services/QBSettingsSvc.h"

#include <QList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;
class TArticleRichEdit;
class TArticleTabs;
class TArticleTitle;
class QFontDialog;
class TFIndexPane;
class TFSearchPane;
class TFOutlinePane;
class TNVKLocalizer;
class TQBDataAccess;
class TQBHelpTranslator;
class TQBEditorService;
class TQBSettingsAccess;
class TVtlFontComboBox;
struct TQBNamedText;

// The program's one top-level window: menus and toolbars, the navigation pane on the left, the
// article tabs, title bar and editor, and the status bar. It turns the user's commands into calls
// on the editor service, the outline pane and the data service.
class TFAppFrame : public TBaseForm
{
    Q_OBJECT

public:
    explicit TFAppFrame(QWidget *parent = nullptr);
    ~TFAppFrame() override;

    static constexpr int HelpContext = 100;

    // Sets every command's enabled and checked state; runs before menus open and after changes.
    void alStandardUpdate();
    void ApplySettings(int categories);
    void UpdateCaption();
    void UpdateEditorStatus();
    // Refills a recent-files menu and a window list menu from the services.
    void BuildRecentMenu(QMenu *menu);
    void BuildWindowMenu(QMenu *menu);
    // Follows a link clicked in the editor: "@_" + IID navigates, anything else goes to the desktop.
    void RichEditURLClick(const QString &url, Qt::MouseButton button);

    // Dragging an article from the outline's tree (source) over the editor: accepted only from
    // there, the caret follows point (viewport coordinates); a drop inserts a link to the article.
    bool RichEditDragOver(QObject *source, const QPoint &point);
    void RichEditDragDrop(QObject *source, const QPoint &point);

    // "&0" to "&9", "&A" onwards, and a space from the hundredth entry on.
    static QString AcceleratorPrefix(int index);

    QString StatusText(int panel) const;

    TQBEditorService *QBEditorService = nullptr;
    TQBDataAccess *qbaData = nullptr;
    TQBSettingsAccess *qbaSettings = nullptr;

    QToolBar *tbStandard = nullptr;
    QToolBar *tbArticle = nullptr;
    QDockWidget *pnlLDock = nullptr;
    QTabWidget *pcNavigation = nullptr;
    TFOutlinePane *OutlinePane = nullptr;
    TFIndexPane *IndexPane = nullptr;
    TFSearchPane *SearchPane = nullptr;
    TArticleTabs *atArticles = nullptr;
    QToolButton *tbnWindowList = nullptr;
    QMenu *pmWindow = nullptr;
    QMenu *pmRecent = nullptr;
    QMenu *miRecent = nullptr;
    QMenu *mWindow = nullptr;
    TArticleTitle *atTitle = nullptr;
    TArticleRichEdit *RichEdit = nullptr;
    QList<QLabel *> StatusPanels;

    QAction *FileNew = nullptr;
    QAction *FileOpen = nullptr;
    QAction *FileSave = nullptr;
    QAction *FileSaveAs = nullptr;
    QAction *FileExport = nullptr;
    QAction *FilePrint = nullptr;
    QAction *FilePrintSetup = nullptr;
    QAction *FilePageSetup = nullptr;
    QAction *FileProperties = nullptr;
    QAction *FileExit = nullptr;
    QAction *EditUndo = nullptr;
    QAction *EditRedo = nullptr;
    QAction *EditCut = nullptr;
    QAction *EditCopy = nullptr;
    QAction *EditPaste = nullptr;
    QAction *EditPasteSpecial = nullptr;
    QAction *EditDelete = nullptr;
    QAction *EditSelectAll = nullptr;
    QAction *EditFind = nullptr;
    QAction *EditReplace = nullptr;
    QAction *ViewIndex = nullptr;
    QAction *ViewSearch = nullptr;
    QAction *ViewStatusBar = nullptr;
    QAction *ViewTStandard = nullptr;
    QAction *ViewTArticle = nullptr;
    QAction *ViewTitleBar = nullptr;
    QAction *ViewWrap = nullptr;
    QAction *ViewToggleFocus = nullptr;
    QAction *ViewSettings = nullptr;
    QAction *NavBack = nullptr;
    QAction *NavForward = nullptr;
    QAction *NavSyncOutline = nullptr;
    QAction *NavPrevious = nullptr;
    QAction *NavNext = nullptr;
    QAction *DocAddChild = nullptr;
    QAction *DocAddSiblingBelow = nullptr;
    QAction *DocAddSiblingAbove = nullptr;
    QAction *DocRename = nullptr;
    QAction *DocDelete = nullptr;
    QAction *DocMoveUp = nullptr;
    QAction *DocMoveDown = nullptr;
    QAction *DocMoveLeft = nullptr;
    QAction *DocMoveRight = nullptr;
    QAction *DocChangeMarker = nullptr;
    QAction *WindowNew = nullptr;
    QAction *WindowClose = nullptr;
    QAction *HelpContents = nullptr;
    QAction *HelpTip = nullptr;
    QAction *HelpAbout = nullptr;
    QAction *DocSplit = nullptr;
    QAction *HelpMail = nullptr;
    QAction *HelpHome = nullptr;
    QList<QAction *> alStandard;

    TNVKLocalizer *xlAppFrame = nullptr;
    // The title bar's second line: the article's path, creation time, level and sub-article count.
    QWidget *pnlTitleInfo = nullptr;
    QLabel *lblPath = nullptr;
    QLabel *lblLevel = nullptr;
    QLabel *lblSubarticles = nullptr;
    QLabel *lblTime = nullptr;

    // Moves the text from the caret to the end of the edited article into a new sibling below it.
    void DocSplitExecute();
    // Asks the desktop to open a location; warns "Cannot open location" when it cannot.
    void OpenLocation(const QString &location);
    // Lock key indicators: a press or release of Caps, Num or Scroll Lock, and a full refresh.
    void LockKeyChanged(int key, bool pressed);
    void UpdateLockIndicators();
    // Panel 4 takes what the other panels leave of the bar's width.
    void ResizeStatusPanels();
    void atTitleArticleChanged(const IQBArticlePtr &article);
    // After the localizer translated the form: menus, hints and the title bar in the new language.
    void xlAppFrameAfterUpdate();
    void RebuildMenuBar();
    // The dock is kept wide enough for the full names of its pages in the current language.
    void FitNavigationPages();
    // The desktop's settings changed: toolbars take the menu font and fit their buttons.
    void FormSettingChange();

    // The Format toolbar, the format commands and the Insert menu (AppFrameFormat.cpp).
    // Sets the checked states of the format commands from the caret's attributes and paragraph.
    void alFormatUpdate();
    // Shows the caret's font name and size in the Format toolbar without applying them back.
    void UpdateFormatStatus();
    // Refills both colour menus: the 16 plain colours, white first, above "Automatic" and "More...".
    void BuildColorMenus();
    // Gives the Date/Time entries the current date and time in their four formats.
    void BuildDateTimeMenu();
    // The colour the colour button applies; its picture shows it in a bar.
    void SetForeColor(TColor color);
    void SetBackColor(TColor color);
    TColor ForeColor() const { return FForeColor; }
    TColor BackColor() const { return FBackColor; }
    // A colour name as a menu shows it: "clMoneyGreen" becomes "Money Green".
    static QString ColorCaption(const QString &colorName);
    // The caption in the program's language.
    QString LocalColorCaption(const QString &colorName) const;
    // Adds the text colour to the font dialog: the sixteen named colours, and the current one
    // when it is none of them; returns the box.
    QComboBox *AddFontColorRow(QFontDialog &dialog, const QColor &current);

    QToolBar *tbFormat = nullptr;
    TVtlFontComboBox *cbFont = nullptr;
    QComboBox *cbSize = nullptr;
    QMenu *pmForeColors = nullptr;
    QMenu *pmBackColors = nullptr;
    QMenu *miDateTime = nullptr;
    QAction *ViewTFormat = nullptr;
    QAction *InsertPicture = nullptr;
    QAction *InsertObject = nullptr;
    QAction *ObjectOpen = nullptr;
    QAction *ObjectSaveAs = nullptr;
    QAction *InsertDateTime = nullptr;
    QAction *InsertText = nullptr;
    QAction *InsertCharMap = nullptr;
    QAction *InsertCalculator = nullptr;
    QAction *FormatFont = nullptr;
    QAction *FormatBold = nullptr;
    QAction *FormatItalic = nullptr;
    QAction *FormatUnderline = nullptr;
    QAction *FormatStrikeout = nullptr;
    QAction *FormatAlignLeft = nullptr;
    QAction *FormatAlignCenter = nullptr;
    QAction *FormatAlignRight = nullptr;
    QAction *FormatNumbering = nullptr;
    QAction *FormatBullets = nullptr;
    QAction *FormatSubscript = nullptr;
    QAction *FormatSuperscript = nullptr;
    QAction *FormatForeColor = nullptr;
    QAction *FormatBackColor = nullptr;
    QAction *FormatClear = nullptr;
    QList<QAction *> alFormat;

    QMenu *pmEdit = nullptr;
    QMenu *pmTabs = nullptr;

    // The editing dialogs' commands (AppFrameEditDialogs.cpp).
    // Moves the caret to the start of the line the go-to-line dialog names.
    void ViewGoToLineExecute();
    // The paragraph dialog over the selected paragraphs.
    void FormatParagraphExecute();
    // Inserts the date/time dialog's result at the caret.
    void InsertDateFormatExecute();
    // The link dialog over the selection, or over the link at the caret; OK makes the selection a link.
    void InsertHyperlinkExecute();

    QAction *ViewGoToLine = nullptr;
    QAction *FormatParagraph = nullptr;
    QAction *InsertDateFormat = nullptr;
    QAction *InsertHyperlink = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void DoSaveState(TRegistry &registry) override;
    void DoRestoreState(TRegistry &registry) override;

private:
    // Opens the help page of whatever is in front on F1 while the window shows.
    TQBHelpTranslator *FHelpTranslator = nullptr;
    QAction *NewAction(const QString &name, const QString &caption, const QString &hint, int image = -1,
                       const QKeySequence &shortcut = {});
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    void CreateClientArea();
    void CreateStatusBar();
    void ConnectActions();
    void ConnectFileEdit();
    void ConnectViewNav();
    void ConnectDocWindowHelp();
    void CreateEditDialogActions();
    void ConnectEditDialogs();
    void ShowOutline();
    // The index's page is in the navigation control; hiding it keeps the pane and its state.
    // Whether a page of the navigation pane (the index or the search pane) is shown.
    bool PaneShown(QWidget *pane) const;
    void SetPaneShown(QWidget *pane, bool shown);
    // Shows a page and brings it to the front, or hides it when it is the one in front.
    void TogglePane(QWidget *pane);
    // Puts the navigation dock on the side or in the floating window the store names.
    void RestorePanePlace(TRegistry &registry);
    void StoreChanges();
    IQBDocumentPtr Document() const;
    QString WordAtCaret() const;

    void qbaDataAfterCreateOrOpen();
    void qbaDataAfterSave();

    // The title labels, the localizer and the application-wide key watch; run once the rest exists.
    void CompleteCreation();
    void ShowLockIndicators();

    void CreateFormatActions();
    void CreateFormatMenus(QMenu *insert, QMenu *format);
    void CreateFormatToolbar();
    void ConnectFormatInsert();
    void CreatePopups();
    QAction *NewFormatAction(const QString &name, const QString &caption, const QString &hint, int image,
                             const QKeySequence &shortcut = {});
    QMenu *NewColorMenu(const QString &name, bool foreground);
    void ApplyForeColor();
    void ApplyBackColor();
    void MoreColors(bool foreground);
    void ToggleStyle(int bit);
    void ToggleNumbering(int numbering);
    void ToggleSubscript(int style);
    void FormatFontExecute();
    void FormatClearExecute();
    void cbFontChange();
    void cbSizeChange(const QString &text);
    void InsertPictureExecute();
    // Attachments: files carried in the text as objects (AppFrameObjects.cpp).
    void CreateObjectActions();
    void InsertObjectExecute();
    void ObjectOpenExecute();
    void ObjectSaveAsExecute();
    void RichEditObjectDoubleClick(int position);
    // The attachment the selection holds, after a message when it cannot be read.
    std::optional<TQBAttachment> SelectedAttachment();
    // The bytes of a file the user chose, at most maxBytes + 1 of them (all when maxBytes is
    // negative); none, after telling the user why, when it cannot be read.
    std::optional<QByteArray> ReadChosenFile(const QString &fileName, qint64 maxBytes = -1);
    void InsertDateTimeExecute(QAction *entry);
    void InsertTextExecute();
    // Starts the first of programs found on the search path; warns with missing when there is none.
    void StartDesktopProgram(const QStringList &programs, const TQBNamedText &missing);

    TColor FForeColor = 0;
    TColor FBackColor = 0;
    int FColorItems = 0;
    // Set while the Format toolbar shows the editor's state, so its change handlers stay quiet.
    bool FUpdatingFormat = false;
    // Watches the whole application; it goes first when the window is destroyed.
    QObject *FWatcher = nullptr;
    // Where attachments are copied for the desktop's programs to open; removed with the window.
    std::unique_ptr<QTemporaryDir> FAttachmentDir;
    int FAttachmentCount = 0;
    bool FLockStates[3] = {false, false, false};
    // Edit > Undo and Redo name the outline's step while the outline has the focus. The captions
    // the language gave them, and the last ones set here, tell a new language from our own text.
    void UpdateUndoActions();
    QString FUndoCaptions[2];
    QString FUndoShown[2];
    bool FUndoUpdatePending = false;
};
