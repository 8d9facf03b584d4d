// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ImageProvider.h"
#include "document/QBDataIntf.h"

#include <QPointer>
#include <QWidget>

// The title bar above the editor: a caption strip with the article's marker image and caption,
// and an area below for labels that collapses with the glyph at the strip's right end.
class TArticleTitle : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MinCaptionHeight = 22;

    explicit TArticleTitle(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    QFont CaptionFont() const { return FCaptionFont; }
    // Re-measures the strip when AutoSizeCaption is on.
    void SetCaptionFont(const QFont &value);
    QColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(const QColor &value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    int CaptionHeight() const { return FCaptionHeight; }
    // Ignored while AutoSizeCaption is on.
    void SetCaptionHeight(int value);
    bool AutoSizeCaption() const { return FAutoSizeCaption; }
    void SetAutoSizeCaption(bool value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool value);
    bool PathInCaption() const { return FPathInCaption; }
    void SetPathInCaption(bool value);
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment value);
    void SetImageProvider(TQBImageProvider provider, int imageSize = 16);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);

    // Shows article's caption and marker; nothing for an empty article.
    void ShowArticle(const IQBArticlePtr &article);

    // Where the expand/collapse glyph lies.
    QRect GlyphRect() const;
    QSize sizeHint() const override;

Q_SIGNALS:
    void expandChanged(bool expanded);
    void articleChanged(const IQBArticlePtr &article);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void AdjustCaptionHeight();
    void ChangeCaptionHeight(int value);

    QString FCaption;
    QFont FCaptionFont;
    QColor FCaptionColor;
    QColor FColor;
    int FCaptionHeight = MinCaptionHeight;
    bool FAutoSizeCaption = true;
    bool FExpanded = true;
    bool FPathInCaption = false;
    Qt::Alignment FAlignment = Qt::AlignLeft;
    TQBImageProvider FImages;
    int FImageSize = 16;
    int FImageIndex = -1;
    int FExpandedHeight = 0;
    QList<QPointer<QWidget>> FHiddenChildren;
};
