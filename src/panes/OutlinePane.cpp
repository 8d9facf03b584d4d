// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "OutlinePane.h"

#include "base/NVKErrors.h"
#include "controls/ArticleTree.h"
#include "dialogs/MarkerDlg.h"
#include "document/QBMarkers.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBDialogs.h"
#include "platform/QBImages.h"
#include "services/QBDocAccess.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsAccess.h"
#include "services/QBSettingsSvc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>

namespace {

constexpr int ImageSize = 16;
constexpr int ImageGap = 2;

// Runs a tree operation. A refusal of the document (articles nested deeper than a file holds, a
// clipboard that cannot take the article) leaves the tree as it was and is shown as a message.
template <typename TOperation> bool treeOperation(QWidget *parent, TOperation operation)
{
    try {
        operation();
        return true;
    } catch (const ENVKError &e) {
        QBDialogs::Warning(parent, e.Message());
        return false;
    }
}

TArticleTreeNode *asNode(QTreeWidgetItem *item)
{
    return item && item->type() == TArticleTreeNode::NodeType ? static_cast<TArticleTreeNode *>(item) : nullptr;
}

// Sets a flag for a scope and gives it back its old value on every way out.
class TFlagScope
{
public:
    explicit TFlagScope(bool &flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope &) = delete;
    TFlagScope &operator=(const TFlagScope &) = delete;

private:
    bool &FFlag;
    bool FOld;
};

} // namespace

// The outline's tree: drags carry the article as a link target, and drops go to the pane, which
// asks the document to move the article. Qt's own item moving is never used, since the tree
// only follows the document.
class TOutlineTreeView final : public TArticleTreeView
{
public:
    TOutlineTreeView(TFOutlinePane *pane, QWidget *parent) : TArticleTreeView(parent), FPane(pane) {}

    TArticleTreeNode *NodeFromIndex(const QModelIndex &index) const { return asNode(itemFromIndex(index)); }

protected:
    void startDrag(Qt::DropActions) override
    {
        TArticleTreeNode *node = asNode(currentItem());
        const IQBArticlePtr article = node ? node->Article() : nullptr;
        if (!article)
            return;
        auto *mime = new QMimeData;
        mime->setData(QString::fromLatin1(QBOutlineArticleMimeType),
                      QByteArrayLiteral("@_") + QByteArray::number(article->IID()));
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->setPixmap(node->icon(0).pixmap(ImageSize));
        drag->exec(Qt::MoveAction | Qt::LinkAction, Qt::MoveAction);
    }

    void dragEnterEvent(QDragEnterEvent *event) override
    {
        // Acceptance depends on the position, which drag-move decides; here only the source.
        if (qobject_cast<TArticleTreeView *>(event->source())) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

    void dragMoveEvent(QDragMoveEvent *event) override
    {
        // The base scrolls and expands while dragging; the decision is the pane's.
        TArticleTreeView::dragMoveEvent(event);
        if (FPane->atvOutlineDragOver(event->source(), event->position().toPoint())) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

    void dropEvent(QDropEvent *event) override
    {
        if (FPane->atvOutlineDragDrop(event->source(), event->position().toPoint())) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
        stopAutoScroll();
    }

private:
    TFOutlinePane *FPane;
};

// Draws each node with its folder or leaf picture and its marker picture side by side, modified
// articles in bold; in-place editing renames the article instead of writing into the tree.
class TOutlineDelegate final : public QStyledItemDelegate
{
public:
    TOutlineDelegate(TFOutlinePane *pane, TOutlineTreeView *tree) : QStyledItemDelegate(tree), FPane(pane), FTree(tree)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        FPane->SetEditing(true);
        return editor;
    }

    void destroyEditor(QWidget *editor, const QModelIndex &index) const override
    {
        QStyledItemDelegate::destroyEditor(editor, index);
        FPane->SetEditing(false);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        const auto *line = qobject_cast<QLineEdit *>(editor);
        TArticleTreeNode *node = FTree->NodeFromIndex(index);
        if (line && node)
            FPane->atvOutlineEdited(node, line->text());
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        TArticleTreeNode *node = FTree->NodeFromIndex(index);
        if (!node)
            return;
        option->icon = Pictures(node->ImageIndex(), index.data(TFOutlinePane::MarkerRole).toInt());
        option->decorationSize = QSize(2 * ImageSize + ImageGap, ImageSize);
        option->features |= QStyleOptionViewItem::HasDecoration;
        const IQBArticlePtr article = node->Article();
        if (article && article->Modified()) {
            option->font.setBold(true);
            option->fontMetrics = QFontMetrics(option->font);
        }
    }

private:
    QIcon Pictures(int state, int marker) const
    {
        const int key = (state + 1) * 256 + (marker & 0xFF);
        const auto found = FCache.constFind(key);
        if (found != FCache.constEnd())
            return *found;
        const qreal ratio = FTree->devicePixelRatioF();
        QPixmap pixmap(QSize(2 * ImageSize + ImageGap, ImageSize) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            QBStateImage(state).paint(&painter, QRect(0, 0, ImageSize, ImageSize));
            QBMarkerImage(marker).paint(&painter, QRect(ImageSize + ImageGap, 0, ImageSize, ImageSize));
        }
        const QIcon icon(pixmap);
        FCache.insert(key, icon);
        return icon;
    }

    TFOutlinePane *FPane;
    TOutlineTreeView *FTree;
    mutable QHash<int, QIcon> FCache;
};

TFOutlinePane::TFOutlinePane(QWidget *parent) : TFToolForm(parent)
{
    setObjectName(QStringLiteral("FOutlinePane"));
    setWindowTitle(QStringLiteral("Outline"));
    SetHelpContext(201);

    auto *tree = new TOutlineTreeView(this, this);
    atvOutline = tree;
    atvOutline->setObjectName(QStringLiteral("atvOutline"));
    atvOutline->setSelectionMode(QAbstractItemView::SingleSelection);
    atvOutline->setIndentation(19);
    atvOutline->setIconSize(QSize(ImageSize, ImageSize));
    atvOutline->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    atvOutline->setDragEnabled(true);
    atvOutline->setAcceptDrops(true);
    atvOutline->setDragDropMode(QAbstractItemView::DragDrop);
    atvOutline->setDropIndicatorShown(false);
    atvOutline->setAutoExpandDelay(700);
    atvOutline->setContextMenuPolicy(Qt::CustomContextMenu);
    atvOutline->setItemDelegate(new TOutlineDelegate(this, tree));
    atvOutline->SetImageProvider(&QBStateImage);
    atvOutline->SetRootImageIndex(siFolder);
    atvOutline->SetFolderImageIndex(siFolder);
    atvOutline->SetFolderSelectedIndex(siFolderOpen);
    atvOutline->SetLeafImageIndex(siLeaf);
    atvOutline->SetLeafSelectedIndex(siLeaf);
    setCentralWidget(atvOutline);

    Cut = NewAction(QStringLiteral("Cut"), QStringLiteral("Cu&t"), ciEditCut);
    Copy = NewAction(QStringLiteral("Copy"), QStringLiteral("&Copy"), ciEditCopy);
    Paste = NewAction(QStringLiteral("Paste"), QStringLiteral("&Paste"), ciEditPaste);
    AddChild = NewAction(QStringLiteral("AddChild"), QStringLiteral("Add c&hild article"), ciDocAddChild);
    AddSiblingAbove =
        NewAction(QStringLiteral("AddSiblingAbove"), QStringLiteral("Add sibling &above"), ciDocAddSiblingAbove);
    AddSiblingBelow =
        NewAction(QStringLiteral("AddSiblingBelow"), QStringLiteral("Add sibling &below"), ciDocAddSiblingBelow);
    Delete = NewAction(QStringLiteral("Delete"), QStringLiteral("&Delete"), ciDocDelete);
    Rename = NewAction(QStringLiteral("Rename"), QStringLiteral("&Rename"), -1);
    MoveArticleUp = NewAction(QStringLiteral("MoveArticleUp"), QStringLiteral("Move &up"), ciDocMoveUp);
    MoveArticleDown = NewAction(QStringLiteral("MoveArticleDown"), QStringLiteral("Move do&wn"), ciDocMoveDown);
    MoveArticleLeft = NewAction(QStringLiteral("MoveArticleLeft"), QStringLiteral("Move &left"), ciDocMoveLeft);
    MoveArticleRight = NewAction(QStringLiteral("MoveArticleRight"), QStringLiteral("Move ri&ght"), ciDocMoveRight);
    ChangeMarker = NewAction(QStringLiteral("ChangeMarker"), QStringLiteral("Change &marker..."), -1);
    // Only while the tree itself has the focus: the in-place editor keeps its own keys.
    AddChild->setShortcut(QKeySequence(Qt::Key_Insert));
    Delete->setShortcut(QKeySequence(Qt::Key_Delete));

    connect(Cut, &QAction::triggered, this, &TFOutlinePane::CutExecute);
    connect(Copy, &QAction::triggered, this, &TFOutlinePane::CopyExecute);
    connect(Paste, &QAction::triggered, this, &TFOutlinePane::PasteExecute);
    connect(AddChild, &QAction::triggered, this, &TFOutlinePane::AddChildArticle);
    connect(AddSiblingAbove, &QAction::triggered, this, [this] { AddSiblingArticle(false); });
    connect(AddSiblingBelow, &QAction::triggered, this, [this] { AddSiblingArticle(true); });
    connect(Delete, &QAction::triggered, this, &TFOutlinePane::DeleteSelectedArticle);
    connect(Rename, &QAction::triggered, this, &TFOutlinePane::RenameSelectedArticle);
    connect(MoveArticleUp, &QAction::triggered, this, [this] { MoveSelectedArticle(mdUp); });
    connect(MoveArticleDown, &QAction::triggered, this, [this] { MoveSelectedArticle(mdDown); });
    connect(MoveArticleLeft, &QAction::triggered, this, [this] { MoveSelectedArticle(mdLeft); });
    connect(MoveArticleRight, &QAction::triggered, this, [this] { MoveSelectedArticle(mdRight); });
    connect(ChangeMarker, &QAction::triggered, this, &TFOutlinePane::ChangeMarkerExecute);
    CreateMenu();

    connect(atvOutline, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { atvOutlineChange(asNode(current)); });
    connect(atvOutline, &TArticleTreeView::ctrlClicked, this, &TFOutlinePane::atvOutlineCtrlClick);
    connect(atvOutline, &TArticleTreeView::shiftClicked, this, &TFOutlinePane::atvOutlineShiftClick);
    connect(atvOutline, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { pmOutline->popup(atvOutline->viewport()->mapToGlobal(point)); });
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TFOutlinePane::alOutlineUpdate);

    qbaSettings = new TQBSettingsAccess(this);
    qbaSettings->setObjectName(QStringLiteral("qbaSettings"));
    connect(qbaSettings, &TQBSettingsAccess::settingsChanged, this, &TFOutlinePane::qbaSettingsSettingsChanged);
    qbaSettings->SetActive(true);
    qbaData = new TQBDataAccess(this);
    qbaData->setObjectName(QStringLiteral("qbaData"));
    connect(qbaData, &TQBDataAccess::afterCreate, this, &TFOutlinePane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterOpen, this, &TFOutlinePane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterSave, this, &TFOutlinePane::qbaDataAfterSave);
    connect(qbaData, &TQBDataAccess::captionChanged, this, &TFOutlinePane::qbaDataCaptionChanged);
    connect(qbaData, &TQBDataAccess::contentChanged, this, &TFOutlinePane::qbaDataContentChanged);
    connect(qbaData, &TQBDataAccess::markerChanged, this, &TFOutlinePane::qbaDataMarkerChanged);
    connect(qbaData, &TQBDataAccess::articleAdded, this, &TFOutlinePane::qbaDataArticleAdded);
    connect(qbaData, &TQBDataAccess::articleDeleted, this, &TFOutlinePane::qbaDataArticleDeleted);
    connect(qbaData, &TQBDataAccess::articleMoved, this, &TFOutlinePane::qbaDataArticleMoved);
    qbaData->SetActive(true);

    xlOutline = QBNewLocalizer(this, "xlOutline");

    qbaSettingsSettingsChanged(scAll);
    RebuildTree();
    xlOutline->Loaded();
    alOutlineUpdate();
}

TFOutlinePane::~TFOutlinePane()
{
    // No event may reach a half-destroyed pane: the tree goes while the pane is still whole.
    FDestroying = true;
    qbaData->SetActive(false);
    qbaSettings->SetActive(false);
    disconnect(atvOutline, nullptr, this, nullptr);
    delete atvOutline;
    atvOutline = nullptr;
}

QAction *TFOutlinePane::NewAction(const QString &name, const QString &caption, int image)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setProperty("category", QStringLiteral("Outline"));
    if (image >= 0)
        action->setIcon(QBCommandImage(image));
    action->setShortcutContext(Qt::WidgetShortcut);
    atvOutline->addAction(action);
    alOutline.append(action);
    return action;
}

void TFOutlinePane::CreateMenu()
{
    pmOutline = new QMenu(this);
    pmOutline->setObjectName(QStringLiteral("pmOutline"));
    QMenu *edit = pmOutline->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("miEdit"));
    edit->addActions({Cut, Copy, Paste});
    QMenu *move = pmOutline->addMenu(QStringLiteral("Move"));
    move->setObjectName(QStringLiteral("miMove"));
    move->addActions({MoveArticleUp, MoveArticleDown, MoveArticleLeft, MoveArticleRight});
    pmOutline->addSeparator();
    pmOutline->addActions({AddChild, AddSiblingAbove, AddSiblingBelow, Delete, Rename});
    pmOutline->addSeparator();
    pmOutline->addAction(ChangeMarker);
    connect(pmOutline, &QMenu::aboutToShow, this, &TFOutlinePane::alOutlineUpdate);
}

TArticleTreeNode *TFOutlinePane::SelectedNode() const
{
    return asNode(atvOutline->currentItem());
}

IQBArticlePtr TFOutlinePane::SelectedArticle() const
{
    TArticleTreeNode *node = SelectedNode();
    return node ? node->Article() : nullptr;
}

IQBDocumentPtr TFOutlinePane::Document() const
{
    const IQBDataServicePtr data = DataService();
    return data ? data->GetDocument() : nullptr;
}

void TFOutlinePane::StoreEditorChanges()
{
    if (const IQBEditorServicePtr editor = EditorService())
        editor->StoreChanges();
}

void TFOutlinePane::SetEditing(bool editing)
{
    if (FDestroying || FEditing == editing)
        return;
    FEditing = editing;
    alOutlineUpdate();
}

// ---- building the tree

void TFOutlinePane::SetupNode(TArticleTreeNode *node, const IQBArticlePtr &article)
{
    node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
    node->setText(0, article->Caption());
    node->SetArticle(article);
    node->setData(0, MarkerRole, int(article->Mark()));
}

void TFOutlinePane::FillChildren(TArticleTreeNode *node, const IQBArticlePtr &article)
{
    // Depth first in document order, with a list of its own: outlines can be very deep.
    const bool updates = atvOutline->updatesEnabled();
    atvOutline->setUpdatesEnabled(false);
    QList<std::pair<TArticleTreeNode *, IQBArticlePtr>> pending{{node, article}};
    while (!pending.isEmpty()) {
        const auto [parentNode, parentArticle] = pending.takeLast();
        qDeleteAll(parentNode->takeChildren());
        const IQBArticleListPtr items = parentArticle->Items();
        const int count = items->Count();
        for (int i = 0; i < count; ++i) {
            const IQBArticlePtr child = items->Get(i);
            auto *childNode = new TArticleTreeNode(parentNode);
            SetupNode(childNode, child);
            if (child->Items()->Count() > 0)
                pending.append({childNode, child});
        }
    }
    atvOutline->setUpdatesEnabled(updates);
}

void TFOutlinePane::RebuildTree()
{
    atvOutline->clear();
    const IQBDocumentPtr document = Document();
    if (!document)
        return;
    const IQBArticlePtr root = document->Root();
    auto *node = new TArticleTreeNode(atvOutline);
    SetupNode(node, root);
    atvOutline->setCurrentItem(node);
    FillChildren(node, root);
    node->setExpanded(true);
}

void TFOutlinePane::InsertNode(const IQBArticlePtr &article, const IQBArticlePtr &parent)
{
    TArticleTreeNode *parentNode = atvOutline->FindNode(parent);
    if (!parentNode)
        return;
    const int index = article->Index();
    auto *node = new TArticleTreeNode(parentNode);
    // The node was appended; put it where the article stands.
    if (index >= 0 && index < parentNode->childCount() - 1) {
        parentNode->takeChild(parentNode->childCount() - 1);
        parentNode->insertChild(index, node);
    }
    SetupNode(node, article);
    FillChildren(node, article);
}

void TFOutlinePane::SelectArticle(const IQBArticlePtr &article)
{
    if (TArticleTreeNode *node = atvOutline->FindNode(article)) {
        atvOutline->setCurrentItem(node);
        atvOutline->scrollToItem(node);
    }
}

// ---- public operations

void TFOutlinePane::AddChildArticle()
{
    TArticleTreeNode *node = SelectedNode();
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    IQBArticlePtr added;
    {
        const TQBUndoScope step(*document, ukAddChild, article);
        if (!treeOperation(this, [&] { added = document->AddChild(article); }) || !added)
            return;
        added->SetCaption(xlOutline->GetString(QStringLiteral("SNewArticle"), QStringLiteral("New article")));
    }
    if (TArticleTreeNode *addedNode = atvOutline->FindNode(added)) {
        SelectArticle(added);
        atvOutline->editItem(addedNode);
    }
}

void TFOutlinePane::AddSiblingArticle(bool below)
{
    TArticleTreeNode *node = SelectedNode();
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    IQBArticlePtr added;
    {
        const TQBUndoScope step(*document, ukAddSibling, article);
        if (!treeOperation(this, [&] { added = document->AddSibling(article, below); }) || !added)
            return;
        added->SetCaption(xlOutline->GetString(QStringLiteral("SNewArticle"), QStringLiteral("New article")));
    }
    if (TArticleTreeNode *addedNode = atvOutline->FindNode(added)) {
        SelectArticle(added);
        atvOutline->editItem(addedNode);
    }
}

void TFOutlinePane::DeleteSelectedArticle()
{
    TArticleTreeNode *node = SelectedNode();
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    // The root can never go; asking first would only end in a refusal.
    if (!node->parent() || !article->Parent()) {
        QApplication::beep();
        return;
    }
    const TQBNamedText &pattern =
        node->childCount() == 0 ? QBStrings::SConfirmDelete : QBStrings::SConfirmDeleteChildren;
    // No warning that this is for good: Edit > Undo brings the articles back.
    const QString prompt = QBFormatStr(xlOutline, pattern, {node->text(0)});
    if (QBDialogs::Question(this, prompt, QMessageBox::Yes | QMessageBox::No) == QMessageBox::No)
        return;
    QTreeWidgetItem *next = nullptr;
    if (QTreeWidgetItem *parentItem = node->parent()) {
        const int index = parentItem->indexOfChild(node);
        next = index > 0 ? parentItem->child(index - 1) : parentItem;
    }
    if (!next)
        next = atvOutline->topLevelItem(0);
    atvOutline->setCurrentItem(next);
    {
        const TQBUndoScope step(*document, ukDelete, article);
        document->DeleteArticle(article);
    }
    alOutlineUpdate();
}

void TFOutlinePane::RenameSelectedArticle()
{
    // Already editing (a click on the selected node starts it too): nothing more to start.
    if (IsEditing())
        return;
    if (TArticleTreeNode *node = SelectedNode()) {
        atvOutline->scrollToItem(node);
        atvOutline->editItem(node);
    }
}

void TFOutlinePane::MoveSelectedArticle(TMoveDirection direction)
{
    TArticleTreeNode *node = SelectedNode();
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    StoreEditorChanges();
    {
        const TFlagScope moving(FMoving);
        const TQBUndoScope step(*document, ukMove, article);
        treeOperation(this, [&] {
            switch (direction) {
            case mdUp:
                document->MoveUp(article);
                break;
            case mdDown:
                document->MoveDown(article);
                break;
            case mdLeft:
                document->MoveLeft(article);
                break;
            case mdRight:
                document->MoveRight(article);
                break;
            }
        });
        SelectArticle(article);
    }
    alOutlineUpdate();
}

bool TFOutlinePane::HasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

bool TFOutlinePane::CanUndo() const
{
    const IQBDocumentPtr document = Document();
    return document && !FEditing && document->UndoStack().CanUndo();
}

bool TFOutlinePane::CanRedo() const
{
    const IQBDocumentPtr document = Document();
    return document && !FEditing && document->UndoStack().CanRedo();
}

QString TFOutlinePane::UndoCaption(bool redo) const
{
    const IQBDocumentPtr document = Document();
    // While a caption is typed, Ctrl+Z belongs to the typing.
    const TQBUndoStep *step =
        document && !FEditing ? (redo ? document->UndoStack().RedoStep() : document->UndoStack().UndoStep()) : nullptr;
    if (!step)
        return {};
    static const TQBNamedText *const names[] = {
        &QBStrings::SStepAddChild, &QBStrings::SStepAddSibling, &QBStrings::SStepDelete,
        &QBStrings::SStepRename,   &QBStrings::SStepMarker,     &QBStrings::SStepMove,
        &QBStrings::SStepCut,      &QBStrings::SStepPaste,      &QBStrings::SStepSplit};
    const TQBNamedText &name = *names[std::min<size_t>(step->Kind(), std::size(names) - 1)];
    return QBFormatStr(xlOutline, redo ? QBStrings::SRedoStep : QBStrings::SUndoStep,
                       {QBFormatStr(xlOutline, name, {step->Subject()})});
}

void TFOutlinePane::UndoExecute()
{
    Replay(false);
}

void TFOutlinePane::RedoExecute()
{
    Replay(true);
}

void TFOutlinePane::Replay(bool redo)
{
    const IQBDocumentPtr document = Document();
    if (!document || FEditing)
        return;
    // What the user typed last belongs to the body the step may give back.
    StoreEditorChanges();
    TQBUndoStack &stack = document->UndoStack();
    IQBArticlePtr focus;
    try {
        focus = redo ? stack.Redo() : stack.Undo();
    } catch (const EQBUndoRefused &e) {
        QBDialogs::Warning(this, QBFormatStr(xlOutline, QBStrings::SUndoBodyEdited, {e.Caption()}));
        return;
    } catch (const ENVKError &e) {
        QBDialogs::Warning(this, e.Message());
        return;
    }
    if (focus && focus->Document() == document)
        SelectArticle(focus);
    alOutlineUpdate();
}

void TFOutlinePane::SyncWithEditor()
{
    const IQBEditorServicePtr editor = EditorService();
    const IQBArticlePtr article = editor ? editor->CurrentArticle() : nullptr;
    if (article)
        SelectArticle(article);
}

void TFOutlinePane::alOutlineUpdate()
{
    const IQBDocumentPtr document = Document();
    IQBArticlePtr article = SelectedArticle();
    // A node left over from a document being replaced is no selection.
    if (article && (!document || article->Document() != document))
        article = nullptr;
    const bool editable = article && article != document->Root() && !FEditing;
    AddSiblingAbove->setEnabled(editable);
    AddSiblingBelow->setEnabled(editable);
    Delete->setEnabled(editable);
    Cut->setEnabled(editable);
    const TArticleMoves moves = article ? document->GetMoves(article) : TArticleMoves();
    MoveArticleUp->setEnabled(moves.testFlag(amUp));
    MoveArticleDown->setEnabled(moves.testFlag(amDown));
    MoveArticleLeft->setEnabled(moves.testFlag(amLeft));
    MoveArticleRight->setEnabled(moves.testFlag(amRight));
    Paste->setEnabled(document && document->CanPaste());
    ChangeMarker->setEnabled(bool(article));
    AddChild->setEnabled(true);
    Copy->setEnabled(true);
    Rename->setEnabled(true);
}

// ---- action handlers

void TFOutlinePane::CutExecute()
{
    ToClipboard(true);
}

void TFOutlinePane::CopyExecute()
{
    ToClipboard(false);
}

void TFOutlinePane::ToClipboard(bool cut)
{
    const IQBArticlePtr article = SelectedArticle();
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    // The clipboard copy must hold what the user typed last.
    StoreEditorChanges();
    const TQBUndoScope step(*document, ukCut, article);
    treeOperation(this, [&] {
        if (cut)
            document->CutArticle(article);
        else
            document->CopyArticle(article);
    });
    alOutlineUpdate();
}

void TFOutlinePane::PasteExecute()
{
    const IQBArticlePtr article = SelectedArticle();
    const IQBDocumentPtr document = Document();
    if (!article || !document)
        return;
    IQBArticlePtr pasted;
    {
        // Named after what arrives, which only the paste knows.
        const TQBUndoScope step(*document, ukPaste, nullptr);
        if (!treeOperation(this, [&] { pasted = document->PasteArticle(article); }))
            pasted = nullptr;
    }
    if (pasted)
        SelectArticle(pasted);
    alOutlineUpdate();
}

void TFOutlinePane::ChangeMarkerExecute()
{
    const IQBArticlePtr article = SelectedArticle();
    if (!article)
        return;
    TFMarkerDlg dialog(Markers(), this);
    dialog.Execute(article);
}

// ---- tree handlers

void TFOutlinePane::atvOutlineChange(TArticleTreeNode *node)
{
    if (FSkipNextChange) {
        FSkipNextChange = false;
    } else if (!FMoving && node) {
        const IQBEditorServicePtr editor = EditorService();
        if (const IQBArticlePtr article = node->Article(); editor && article)
            editor->NavigateTo(article);
    }
    alOutlineUpdate();
    Q_EMIT selectedArticleChanged(SelectedArticle());
}

void TFOutlinePane::atvOutlineCtrlClick(TArticleTreeNode *node, bool &)
{
    const IQBEditorServicePtr editor = EditorService();
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    if (editor && article)
        editor->ActivateWindow(editor->OpenWindow(article));
}

void TFOutlinePane::atvOutlineShiftClick(TArticleTreeNode *node, bool &)
{
    // Clicking the node that is already selected changes nothing, and a flag left set would
    // swallow the next real selection.
    if (node && node != atvOutline->currentItem())
        FSkipNextChange = true;
}

void TFOutlinePane::atvOutlineEdited(TArticleTreeNode *node, const QString &text)
{
    const IQBArticlePtr article = node ? node->Article() : nullptr;
    const IQBDocumentPtr document = Document();
    if (!article || !document || article->Document() != document)
        return;
    const TQBUndoScope step(*document, ukRename, article);
    article->SetCaption(text);
}

bool TFOutlinePane::atvOutlineDragOver(QObject *source, const QPoint &point) const
{
    const auto *tree = qobject_cast<TArticleTreeView *>(source);
    if (!tree)
        return false;
    const TArticleTreeNode *sourceNode = asNode(tree->currentItem());
    const IQBArticlePtr dragged = sourceNode ? sourceNode->Article() : nullptr;
    for (QTreeWidgetItem *item = atvOutline->NodeAt(point); item; item = item->parent()) {
        const TArticleTreeNode *node = asNode(item);
        if (node && node->Article() == dragged)
            return false;
    }
    return true;
}

bool TFOutlinePane::atvOutlineDragDrop(QObject *source, const QPoint &point)
{
    const auto *tree = qobject_cast<TArticleTreeView *>(source);
    const TArticleTreeNode *sourceNode = tree ? asNode(tree->currentItem()) : nullptr;
    const TArticleTreeNode *target = atvOutline->NodeAt(point);
    if (!sourceNode || !target || !atvOutlineDragOver(source, point))
        return false;
    const IQBArticlePtr dragged = sourceNode->Article();
    const IQBArticlePtr newParent = target->Article();
    const IQBDocumentPtr document = Document();
    if (!dragged || !newParent || !document || dragged->Document() != document)
        return false;
    StoreEditorChanges();
    bool moved = false;
    {
        const TFlagScope moving(FMoving);
        const TQBUndoScope step(*document, ukMove, dragged);
        moved = treeOperation(this, [&] { document->MoveArticle(dragged, newParent); });
        SelectArticle(dragged);
    }
    alOutlineUpdate();
    return moved;
}

// ---- settings and data events

void TFOutlinePane::qbaSettingsSettingsChanged(int categories)
{
    if (!(categories & scColors))
        return;
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    ApplyListColor(atvOutline, settings->GetOutlineColor());
}

void TFOutlinePane::qbaDataAfterCreateOrOpen()
{
    RebuildTree();
    alOutlineUpdate();
}

void TFOutlinePane::qbaDataAfterSave()
{
    atvOutline->viewport()->update();
}

void TFOutlinePane::qbaDataCaptionChanged(const IQBArticlePtr &article)
{
    if (TArticleTreeNode *node = atvOutline->FindNode(article))
        node->setText(0, article->Caption());
}

void TFOutlinePane::qbaDataContentChanged(const IQBArticlePtr &article)
{
    // A stored body makes its article modified: draw it bold now, not at the next repaint.
    if (TArticleTreeNode *node = atvOutline->FindNode(article))
        atvOutline->viewport()->update(atvOutline->visualItemRect(node));
}

void TFOutlinePane::qbaDataMarkerChanged(const IQBArticlePtr &article)
{
    if (TArticleTreeNode *node = atvOutline->FindNode(article)) {
        node->setData(0, MarkerRole, int(article->Mark()));
        atvOutline->viewport()->update();
    }
}

void TFOutlinePane::qbaDataArticleAdded(const IQBArticlePtr &article, const IQBArticlePtr &parent)
{
    InsertNode(article, parent);
    alOutlineUpdate();
}

void TFOutlinePane::qbaDataArticleDeleted(const IQBArticlePtr &article, const IQBArticlePtr &)
{
    delete atvOutline->FindNode(article);
    alOutlineUpdate();
}

void TFOutlinePane::qbaDataArticleMoved(const IQBArticlePtr &article, const IQBArticlePtr &parent)
{
    TArticleTreeNode *node = atvOutline->FindNode(article);
    const bool wasSelected = node && node == atvOutline->currentItem();
    {
        // A moved article stays selected, and the editor is not sent elsewhere meanwhile.
        const TFlagScope moving(FMoving);
        delete node;
        InsertNode(article, parent ? parent : article->Parent());
        if (wasSelected)
            SelectArticle(article);
    }
    alOutlineUpdate();
}
