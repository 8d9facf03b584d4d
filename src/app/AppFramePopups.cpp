// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"

#include <QAction>
#include <QMenu>
#include <QTextCursor>

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
    pmEdit->addSeparator();
    pmEdit->addActions({ObjectOpen, ObjectSaveAs});
    RichEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint &point) {
        // A right click on an object acts on that object, as a left click would select it.
        if (const int object = RichEdit->ObjectAtPoint(point); object >= 0 && RichEdit->SelectedObject() != object) {
            QTextCursor cursor = RichEdit->textCursor();
            cursor.setPosition(object);
            cursor.setPosition(object + 1, QTextCursor::KeepAnchor);
            RichEdit->setTextCursor(cursor);
        }
        const bool attachment = RichEdit->HasAttachmentAt(RichEdit->SelectedObject());
        ObjectOpen->setVisible(attachment);
        ObjectSaveAs->setVisible(attachment);
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
