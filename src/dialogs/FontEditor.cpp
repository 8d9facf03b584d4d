// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "FontEditor.h"

#include "framework/NVKFormat.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBColors.h"

#include <QFontDialog>
#include <QPainter>

TFontEditor::TFontEditor(QWidget *owner) : QFrame(owner)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumHeight(36);
    setToolTip(QStringLiteral("The font as it looks; the button beside it changes it"));
    QBNewLocalizer(this, "NVKLocalizer")->Loaded();
}

void TFontEditor::SetFontDescriptor(const QString &descriptor)
{
    TQBFontDescriptor font;
    DescriptorToFont(descriptor, font);
    if (font == FFont)
        return;
    FFont = font;
    updateGeometry();
    update();
    Q_EMIT fontChanged();
}

QFont TFontEditor::DisplayFont() const
{
    QFont font(FFont.Name);
    // A size no font can have would make the panel unusable; the descriptor keeps it as it is.
    font.setPointSize(qBound(1, FFont.Size, 200));
    font.setBold(FFont.Style & TQBFontDescriptor::fsBold);
    font.setItalic(FFont.Style & TQBFontDescriptor::fsItalic);
    font.setUnderline(FFont.Style & TQBFontDescriptor::fsUnderline);
    font.setStrikeOut(FFont.Style & TQBFontDescriptor::fsStrikeOut);
    return font;
}

QString TFontEditor::PreviewText() const
{
    return Format(QStringLiteral("%s, %d"), {FFont.Name, FFont.Size});
}

bool TFontEditor::Edit()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, DisplayFont(), this);
    if (!ok)
        return false;
    TQBFontDescriptor font = FFont;
    font.Name = chosen.family();
    font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : FFont.Size;
    font.Style = (chosen.bold() ? TQBFontDescriptor::fsBold : 0) | (chosen.italic() ? TQBFontDescriptor::fsItalic : 0) |
                 (chosen.underline() ? TQBFontDescriptor::fsUnderline : 0) |
                 (chosen.strikeOut() ? TQBFontDescriptor::fsStrikeOut : 0);
    SetFontDescriptor(FontToDescriptor(font));
    return true;
}

QSize TFontEditor::sizeHint() const
{
    const QFontMetrics metrics(DisplayFont());
    return {metrics.horizontalAdvance(PreviewText()) + 20 + 2 * frameWidth(), metrics.height() + 5 + 2 * frameWidth()};
}

void TFontEditor::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setFont(DisplayFont());
    const QColor color = TColorToQColor(FFont.Color);
    painter.setPen(color.isValid() ? color : palette().color(QPalette::Text));
    painter.drawText(contentsRect().adjusted(10, 2, -10, -3), Qt::AlignCenter | Qt::TextSingleLine, PreviewText());
}
