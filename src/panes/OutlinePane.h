// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ToolForm.h"
#include "document/QBDataIntf.h"

#include <QList>

class QAction;
class QMenu;
class QPoint;
class TArticleTreeNode;
class TArticleTreeView;
class TNVKLocalizer;
class TQBDataAccess;
class TQBMarkerDictionary;
class TQBSettingsAccess;
class TOutlineTreeView;
class TOutlineDelegate;

enum TMoveDirection { mdUp = 0, mdDown = 1, mdLeft = 2, mdRight = 3 };

// An article dragged out of the outline carries this MIME type with "@_" and its IID, the
// target of an internal link to it. The drag's source is the outline's tree.
inline constexpr char QBOutlineArticleMimeType[] = "application/x-quillbox-outline-article";

// The outline: the whole document as a tree, and where the user builds it. Commands never change
// the tree directly; they ask the document, and the tree follows the data events that come back.
// The main window hosts it as a page of its navigation control and calls the public operations
// for its Document commands.
class TFOutlinePane : public TFToolForm
{
    Q_OBJECT

public:
    // Data role of a node that holds its article's marker index.
    static constexpr int MarkerRole = Qt::UserRole + 0x60;

    explicit TFOutlinePane(QWidget *parent = nullptr);
    ~TFOutlinePane() override;

    // Commands on the selected article; each does nothing without a selection.
    void AddChildArticle();
    void AddSiblingArticle(bool below);
    void DeleteSelectedArticle();
    void RenameSelectedArticle();
    void MoveSelectedArticle(TMoveDirection direction);
    // Selects the node of the editor's current article.
    void SyncWithEditor();
    // None without a selected node.
    IQBArticlePtr SelectedArticle() const;
    // The tree is in in-place editing.
    bool IsEditing() const { return FEditing; }
    // The keyboard focus is in the pane, so Edit > Undo and Redo mean the outline's steps.
    bool HasFocus() const;

    // Takes back the document's last outline step, or does again the last one taken back, and
    // selects the article it was about. A step that cannot be taken back is shown as a message.
    void UndoExecute();
    void RedoExecute();
    bool CanUndo() const;
    bool CanRedo() const;
    // "&Undo Delete 'Garden notebook'", or empty when there is no step to take back (or redo).
    QString UndoCaption(bool redo) const;

    // The clipboard commands and the marker dialog for the selected article.
    void CutExecute();
    void CopyExecute();
    void PasteExecute();
    void ChangeMarkerExecute();

    // Sets the enabled state of every action from the selection, the document and the clipboard.
    void alOutlineUpdate();

    // Drag and drop inside the tree; source is the widget the drag came from. True when an
    // article dragged from source may be dropped at point (viewport coordinates).
    bool atvOutlineDragOver(QObject *source, const QPoint &point) const;
    // Moves the dragged article under the article at point; true when it asked the document.
    bool atvOutlineDragDrop(QObject *source, const QPoint &point);

    TArticleTreeView *atvOutline = nullptr;
    QMenu *pmOutline = nullptr;
    TQBSettingsAccess *qbaSettings = nullptr;
    TQBDataAccess *qbaData = nullptr;
    TNVKLocalizer *xlOutline = nullptr;

    // The action list "Outline", in this order.
    QAction *Cut = nullptr;
    QAction *Copy = nullptr;
    QAction *Paste = nullptr;
    QAction *AddChild = nullptr;
    QAction *AddSiblingAbove = nullptr;
    QAction *AddSiblingBelow = nullptr;
    QAction *Delete = nullptr;
    QAction *Rename = nullptr;
    QAction *MoveArticleUp = nullptr;
    QAction *MoveArticleDown = nullptr;
    QAction *MoveArticleLeft = nullptr;
    QAction *MoveArticleRight = nullptr;
    QAction *ChangeMarker = nullptr;
    QList<QAction *> alOutline;

Q_SIGNALS:
    // The selected node changed (also while the editor is kept from following it).
    void selectedArticleChanged(const IQBArticlePtr &article);

private:
    void ToClipboard(bool cut);
    void Replay(bool redo);
    friend class TOutlineTreeView;
    friend class TOutlineDelegate;

    QAction *NewAction(const QString &name, const QString &caption, int image);
    void CreateMenu();
    TArticleTreeNode *SelectedNode() const;
    IQBDocumentPtr Document() const;
    void SetupNode(TArticleTreeNode *node, const IQBArticlePtr &article);
    void FillChildren(TArticleTreeNode *node, const IQBArticlePtr &article);
    void InsertNode(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void SelectArticle(const IQBArticlePtr &article);
    void StoreEditorChanges();
    void RebuildTree();
    void SetEditing(bool editing);

    void atvOutlineChange(TArticleTreeNode *node);
    void atvOutlineCtrlClick(TArticleTreeNode *node, bool &handled);
    void atvOutlineShiftClick(TArticleTreeNode *node, bool &handled);
    void atvOutlineEdited(TArticleTreeNode *node, const QString &text);
    void qbaSettingsSettingsChanged(int categories);
    void qbaDataAfterCreateOrOpen();
    void qbaDataAfterSave();
    void qbaDataCaptionChanged(const IQBArticlePtr &article);
    void qbaDataContentChanged(const IQBArticlePtr &article);
    void qbaDataMarkerChanged(const IQBArticlePtr &article);
    void qbaDataArticleAdded(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void qbaDataArticleDeleted(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void qbaDataArticleMoved(const IQBArticlePtr &article, const IQBArticlePtr &parent);

    bool FSkipNextChange = false;
    bool FMoving = false;
    bool FEditing = false;
    bool FDestroying = false;
};
