// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QTabBar>

// The tab strip of the article windows. A right press selects the tab under the mouse before the
// context menu opens; the editor service owns the tab texts.
class TArticleTabs : public QTabBar
{
    Q_OBJECT

public:
    explicit TArticleTabs(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
