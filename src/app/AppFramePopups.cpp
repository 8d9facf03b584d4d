// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"

#include <QAction>
#include <QMenu>

// The editor's and the tab strip's popup menus: the same commands as the main menu, brought up
// to date before they show.
void TFAppFrame::CreatePopups()
{
    pmEdit = new QMenu(this);
    pmEdit->setObjectName(QStringLiteral("pmEdit"));
    pmEdit->addActions({EditCut, EditCopy, EditPaste, EditDelete});
    pmEdit->addSeparator();
    pmEdit->addAction(EditSelectAll);
    pmEdit->addSeparator();
    pmEdit->addActions({FormatFont, FormatParagraph});
    RichEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint &point) {
        alStandardUpdate();
        alFormatUpdate();
        pmEdit->popup(RichEdit->viewport()->mapToGlobal(point));
    });

    pmTabs = new QMenu(this);
    pmTabs->setObjectName(QStringLiteral("pmTabs"));
    pmTabs->addActions({WindowNew, WindowClose});
    atArticles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(atArticles, &QWidget::customContextMenuRequested, this, [this](const QPoint &point) {
        alStandardUpdate();
        pmTabs->popup(atArticles->mapToGlobal(point));
    });
}
