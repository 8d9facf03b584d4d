// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ArticleTabs.h"

#include "platform/QBColors.h"

#include <QMouseEvent>
#include <QPainter>

TArticleTabs::TArticleTabs(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("ArticleTabs"));
    setExpanding(false);
    setDocumentMode(true);
}

void TArticleTabs::paintEvent(QPaintEvent *event)
{
    QTabBar::paintEvent(event);
    QPainter painter(this);
    const QRect r = rect();
    painter.setPen(QPen(TColorToQColor(clBtnFace), 1));
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(QPen(TColorToQColor(clBtnFace), 4));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.bottomRight(), r.topRight());
    if (count() > 0) {
        painter.setPen(QPen(TColorToQColor(clBtnHighlight), 1));
        const int bottom = tabRect(0).bottom();
        painter.drawLine(QPoint(r.right(), bottom), QPoint(r.right(), r.top()));
    }
}

void TArticleTabs::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // Delivered first as a left press, so the tab under the mouse is selected (and its window
        // active) before the context menu opens.
        QMouseEvent left(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                         Qt::LeftButton, Qt::LeftButton, event->modifiers(), event->pointingDevice());
        QTabBar::mousePressEvent(&left);
        QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->scenePosition(),
                            event->globalPosition(), Qt::LeftButton, Qt::NoButton, event->modifiers(),
                            event->pointingDevice());
        QTabBar::mouseReleaseEvent(&release);
    }
    QTabBar::mousePressEvent(event);
}
