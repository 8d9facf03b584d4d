// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ArticleTree.h"

#include <QMouseEvent>
#include <QTreeWidgetItemIterator>

namespace {
constexpr int ImageIndexRole = Qt::UserRole + 0x51;
} // namespace

// The node joins its tree only once its own members exist: a visible tree asks the delegate for
// the new row's size at once, and the delegate reads the node's article.
TArticleTreeNode::TArticleTreeNode(TArticleTreeView *tree) : QTreeWidgetItem(NodeType)
{
    if (tree)
        tree->addTopLevelItem(this);
}

TArticleTreeNode::TArticleTreeNode(TArticleTreeNode *parent) : QTreeWidgetItem(NodeType)
{
    if (parent)
        parent->addChild(this);
}

TArticleTreeNode::~TArticleTreeNode()
{
    FArticle.reset();
}

int TArticleTreeNode::ImageIndex() const
{
    const QVariant value = data(0, ImageIndexRole);
    return value.isValid() ? value.toInt() : -1;
}

void TArticleTreeNode::SetImageIndex(int value)
{
    if (ImageIndex() == value && data(0, ImageIndexRole).isValid())
        return;
    setData(0, ImageIndexRole, value);
    RefreshImage();
}

void TArticleTreeNode::RefreshImage()
{
    const auto *tree = qobject_cast<TArticleTreeView *>(treeWidget());
    setIcon(0, tree ? tree->Image(ImageIndex()) : QIcon());
}

TArticleTreeView::TArticleTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ArticleTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &TArticleTreeView::RowsInserted);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &TArticleTreeView::RowsRemoved);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (item->type() == TArticleTreeNode::NodeType)
            static_cast<TArticleTreeNode *>(item)->SetImageIndex(FFolderSelectedIndex);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        if (item->type() == TArticleTreeNode::NodeType)
            static_cast<TArticleTreeNode *>(item)->SetImageIndex(FFolderImageIndex);
    });
}

void TArticleTreeView::SetRootImageIndex(int value)
{
    FRootImageIndex = value;
    viewport()->update();
}

void TArticleTreeView::SetFolderImageIndex(int value)
{
    FFolderImageIndex = value;
    viewport()->update();
}

void TArticleTreeView::SetFolderSelectedIndex(int value)
{
    FFolderSelectedIndex = value;
    viewport()->update();
}

void TArticleTreeView::SetLeafImageIndex(int value)
{
    FLeafImageIndex = value;
    viewport()->update();
}

void TArticleTreeView::SetLeafSelectedIndex(int value)
{
    FLeafSelectedIndex = value;
    viewport()->update();
}

void TArticleTreeView::SetImageProvider(TQBImageProvider provider)
{
    FImages = std::move(provider);
    RefreshImages();
}

QIcon TArticleTreeView::Image(int index) const
{
    return FImages && index >= 0 ? FImages(index) : QIcon();
}

void TArticleTreeView::RefreshImages()
{
    for (QTreeWidgetItemIterator it(const_cast<TArticleTreeView *>(this)); *it; ++it) {
        if ((*it)->type() == TArticleTreeNode::NodeType)
            static_cast<TArticleTreeNode *>(*it)->RefreshImage();
    }
    viewport()->update();
}

TArticleTreeNode *TArticleTreeView::FindNode(const IQBArticlePtr &article) const
{
    if (!article)
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<TArticleTreeView *>(this)); *it; ++it) {
        if ((*it)->type() != TArticleTreeNode::NodeType)
            continue;
        auto *node = static_cast<TArticleTreeNode *>(*it);
        if (node->Article() == article)
            return node;
    }
    return nullptr;
}

TArticleTreeNode *TArticleTreeView::NodeAt(const QPoint &point) const
{
    QTreeWidgetItem *item = itemAt(point);
    return item && item->type() == TArticleTreeNode::NodeType ? static_cast<TArticleTreeNode *>(item) : nullptr;
}

void TArticleTreeView::RowsInserted(const QModelIndex &parent, int first, int last)
{
    QTreeWidgetItem *parentItem = parent.isValid() ? itemFromIndex(parent) : nullptr;
    for (int row = first; row <= last; ++row) {
        QTreeWidgetItem *item = parentItem ? parentItem->child(row) : topLevelItem(row);
        if (!item)
            continue;
        // The node may still be under construction: only its QTreeWidgetItem part is used here.
        if (parentItem) {
            parentItem->setData(0, ImageIndexRole, parentItem->isExpanded() ? FFolderSelectedIndex : FFolderImageIndex);
            parentItem->setIcon(0, Image(parentItem->data(0, ImageIndexRole).toInt()));
            if (item->childCount() == 0) {
                item->setData(0, ImageIndexRole, FLeafImageIndex);
                item->setIcon(0, Image(FLeafImageIndex));
            }
        } else {
            item->setData(0, ImageIndexRole, FFolderImageIndex);
            item->setIcon(0, Image(FFolderImageIndex));
        }
    }
}

void TArticleTreeView::RowsRemoved(const QModelIndex &parent, int, int)
{
    if (!parent.isValid())
        return;
    QTreeWidgetItem *parentItem = itemFromIndex(parent);
    // A node left without children turns into a leaf, unless it is a top-level node.
    if (parentItem && parentItem->childCount() == 0 && parentItem->parent()) {
        parentItem->setData(0, ImageIndexRole, FLeafImageIndex);
        parentItem->setIcon(0, Image(FLeafImageIndex));
    }
}

void TArticleTreeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        TArticleTreeNode *node = NodeAt(event->position().toPoint());
        bool handled = false;
        if (node && modifiers.testFlag(Qt::ControlModifier))
            Q_EMIT ctrlClicked(node, handled);
        else if (node && modifiers.testFlag(Qt::ShiftModifier))
            Q_EMIT shiftClicked(node, handled);
        if (handled) {
            event->accept();
            return;
        }
    }
    QTreeWidget::mousePressEvent(event);
}
