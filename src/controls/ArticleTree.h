// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ImageProvider.h"
#include "document/QBDataIntf.h"

#include <QTreeWidget>

class TArticleTreeView;

// A node of the article tree. It refers to its article without keeping it alive: the document
// does, and the node's owner removes the node when the article is deleted.
class TArticleTreeNode : public QTreeWidgetItem
{
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 1;

    explicit TArticleTreeNode(TArticleTreeView *tree);
    explicit TArticleTreeNode(TArticleTreeNode *parent);
    ~TArticleTreeNode() override;

    // None once the article is gone.
    IQBArticlePtr Article() const { return FArticle.lock(); }
    void SetArticle(const IQBArticlePtr &article) { FArticle = article; }
    // Takes another node's article.
    void Assign(const TArticleTreeNode &source) { FArticle = source.FArticle; }

    int ImageIndex() const;
    void SetImageIndex(int value);
    // The icon again from the tree's images.
    void RefreshImage();

private:
    std::weak_ptr<IQBArticle> FArticle;
};

// The outline tree: folder and leaf images follow expanding, collapsing, insertion and deletion;
// Ctrl and Shift clicks are offered to the owner before the tree selects.
class TArticleTreeView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TArticleTreeView(QWidget *parent = nullptr);

    int RootImageIndex() const { return FRootImageIndex; }
    void SetRootImageIndex(int value);
    int FolderImageIndex() const { return FFolderImageIndex; }
    void SetFolderImageIndex(int value);
    int FolderSelectedIndex() const { return FFolderSelectedIndex; }
    void SetFolderSelectedIndex(int value);
    int LeafImageIndex() const { return FLeafImageIndex; }
    void SetLeafImageIndex(int value);
    int LeafSelectedIndex() const { return FLeafSelectedIndex; }
    void SetLeafSelectedIndex(int value);
    void SetImageProvider(TQBImageProvider provider);
    QIcon Image(int index) const;

    // The first node in item order that shows this very article; null when none does.
    TArticleTreeNode *FindNode(const IQBArticlePtr &article) const;
    TArticleTreeNode *NodeAt(const QPoint &point) const;

Q_SIGNALS:
    // Set handled to keep the tree from selecting the node.
    void ctrlClicked(TArticleTreeNode *node, bool &handled);
    void shiftClicked(TArticleTreeNode *node, bool &handled);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void RowsInserted(const QModelIndex &parent, int first, int last);
    void RowsRemoved(const QModelIndex &parent, int first, int last);
    void RefreshImages();

    int FRootImageIndex = -1;
    int FFolderImageIndex = -1;
    int FFolderSelectedIndex = -1;
    int FLeafImageIndex = -1;
    int FLeafSelectedIndex = -1;
    TQBImageProvider FImages;
};
