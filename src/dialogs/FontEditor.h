// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/QBGraphics.h"

#include <QFrame>

// A small panel that holds a font as a font descriptor and shows its name and size in that font.
class TFontEditor : public QFrame
{
    Q_OBJECT

public:
    explicit TFontEditor(QWidget *owner = nullptr);

    QString FontDescriptor() const { return FontToDescriptor(FFont); }
    void SetFontDescriptor(const QString &descriptor);
    // The font as the desktop draws it: name, size in points, bold, italic, underline, strike-out.
    QFont DisplayFont() const;
    // "Name, size" as the panel shows it.
    QString PreviewText() const;
    // A font dialog preset with the font; true when the user chose one, which then replaces it.
    // Colour and character set are kept: the dialog offers neither.
    bool Edit();

Q_SIGNALS:
    void fontChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    QSize sizeHint() const override;

private:
    TQBFontDescriptor FFont;
};
