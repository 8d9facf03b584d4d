// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ArticleTitle.h"

#include "platform/QBColors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace {
constexpr int GlyphSize = 16;
} // namespace

TArticleTitle::TArticleTitle(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ArticleTitle"));
    FCaptionFont = font();
    FCaptionFont.setBold(true);
    FCaptionColor = TColorToQColor(clInfoText);
    FColor = TColorToQColor(clInfoBk);
    FCaptionHeight = MinCaptionHeight;
    AdjustCaptionHeight();
    resize(width(), FCaptionHeight);
}

QSize TArticleTitle::sizeHint() const
{
    if (!FExpanded)
        return QSize(200, FCaptionHeight);
    return QSize(200, qMax(FCaptionHeight, childrenRect().bottom() + 1));
}

void TArticleTitle::SetCaption(const QString &value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    update();
}

void TArticleTitle::SetCaptionFont(const QFont &value)
{
    FCaptionFont = value;
    AdjustCaptionHeight();
    update();
}

void TArticleTitle::SetCaptionColor(const QColor &value)
{
    FCaptionColor = value;
    update();
}

void TArticleTitle::SetColor(const QColor &value)
{
    FColor = value;
    update();
}

void TArticleTitle::SetCaptionHeight(int value)
{
    if (FAutoSizeCaption)
        return;
    ChangeCaptionHeight(qMax(1, value));
}

void TArticleTitle::SetAutoSizeCaption(bool value)
{
    FAutoSizeCaption = value;
    AdjustCaptionHeight();
}

void TArticleTitle::AdjustCaptionHeight()
{
    if (!FAutoSizeCaption)
        return;
    ChangeCaptionHeight(qMax(MinCaptionHeight, QFontMetrics(FCaptionFont).height() + 4));
}

void TArticleTitle::ChangeCaptionHeight(int value)
{
    const int delta = value - FCaptionHeight;
    if (delta == 0)
        return;
    FCaptionHeight = value;
    for (QObject *child : children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            widget->move(widget->x(), widget->y() + delta);
    }
    if (FExpanded) {
        resize(width(), height() + delta);
    } else {
        FExpandedHeight += delta;
        setFixedHeight(FCaptionHeight);
    }
    updateGeometry();
    update();
}

void TArticleTitle::SetExpanded(bool value)
{
    if (FExpanded == value)
        return;
    if (!value) {
        FExpandedHeight = height();
        FHiddenChildren.clear();
        for (QObject *child : children()) {
            if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow() && !widget->isHidden()) {
                FHiddenChildren.append(widget);
                widget->hide();
            }
        }
        FExpanded = false;
        // Held at the strip's height while collapsed, whatever a layout or splitter asks for.
        setFixedHeight(FCaptionHeight);
    } else {
        FExpanded = true;
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        for (const QPointer<QWidget> &widget : std::as_const(FHiddenChildren)) {
            if (widget)
                widget->show();
        }
        FHiddenChildren.clear();
        resize(width(), qMax(FExpandedHeight, FCaptionHeight));
    }
    updateGeometry();
    update();
    Q_EMIT expandChanged(FExpanded);
}

void TArticleTitle::SetPathInCaption(bool value)
{
    FPathInCaption = value;
    update();
}

void TArticleTitle::SetAlignment(Qt::Alignment value)
{
    FAlignment = value;
    update();
}

void TArticleTitle::SetImageProvider(TQBImageProvider provider, int imageSize)
{
    FImages = std::move(provider);
    FImageSize = qMax(1, imageSize);
    update();
}

void TArticleTitle::SetImageIndex(int value)
{
    FImageIndex = value;
    update();
}

void TArticleTitle::ShowArticle(const IQBArticlePtr &article)
{
    if (!article)
        return;
    SetCaption(article->Caption());
    SetImageIndex(article->Mark() & 0xFF);
    Q_EMIT articleChanged(article);
}

QRect TArticleTitle::GlyphRect() const
{
    return QRect(width() - 24, (FCaptionHeight - GlyphSize) / 2, GlyphSize, GlyphSize);
}

void TArticleTitle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect strip(0, 0, width(), FCaptionHeight);
    painter.fillRect(strip, FColor);
    if (FExpanded && height() > FCaptionHeight)
        painter.fillRect(QRect(0, FCaptionHeight, width(), height() - FCaptionHeight), FColor);

    // The strip's colour is a setting and the caption's a palette role; on a dark desktop the two
    // can meet as light on light.
    const QColor captionColor = QBReadableOn(FColor, FCaptionColor);
    QStyleOption option;
    option.initFrom(this);
    option.rect = GlyphRect();
    option.palette.setColor(QPalette::ButtonText, captionColor);
    option.palette.setColor(QPalette::WindowText, captionColor);
    style()->drawPrimitive(FExpanded ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &option, &painter,
                           this);

    QRect textRect = strip.adjusted(0, 2, -32, -2);
    if (FImages && FImageIndex >= 0) {
        const QIcon icon = FImages(FImageIndex);
        if (!icon.isNull()) {
            const int y = qMax(1, (FCaptionHeight - FImageSize) / 2);
            icon.paint(&painter, QRect(8, y, FImageSize, FImageSize));
        }
        textRect.setLeft(textRect.left() + FImageSize + 16);
    }
    painter.setFont(FCaptionFont);
    painter.setPen(captionColor);
    const QString shown =
        QFontMetrics(FCaptionFont)
            .elidedText(FCaption, FPathInCaption ? Qt::ElideMiddle : Qt::ElideRight, qMax(0, textRect.width()));
    painter.drawText(textRect, int(FAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine,
                     shown);
}

void TArticleTitle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && GlyphRect().contains(event->position().toPoint())) {
        SetExpanded(!FExpanded);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TArticleTitle::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!FExpanded && height() != FCaptionHeight)
        setFixedHeight(FCaptionHeight);
}
