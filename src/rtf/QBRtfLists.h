// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTextListFormat>

class QTextBlock;

// A list as RTF describes it. Qt 6.4 keeps a list's style, level and the texts around its number, but no
// start value and no bullet glyph; those live as properties of the QTextListFormat (QBRtfFormat), and
// where Qt would number or draw a list wrongly its own marker is off and the editor paints
// QBListLabel instead. Every reader of labels (editor, plain-text export, RTF writer) asks QBListLabel.
struct TQBListStyle
{
    enum TNumbering { Bulleted = 1, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

    int Numbering = Decimal;
    int Level = 0; // 0-based
    int Start = 1; // the number of the first item
    QString Prefix;
    QString Suffix = QStringLiteral(".");
    QString Bullet;     // the bullet's characters in BulletFont as read; empty: the standard bullet
    QString BulletFont; // empty: no font of its own

    bool operator==(const TQBListStyle &) const = default;
};

namespace QBRtfLists {
// Labels are built for numbers up to this; greater ones are cut to it.
inline constexpr int MaxNumber = 1000000;
} // namespace QBRtfLists

// The list style a format holds, whether the reader or Qt's own list functions made it.
TQBListStyle QBListStyleOf(const QTextListFormat &format);
// A list format for the style; Qt's own marker is off when Qt would not show the label QBListLabel gives.
QTextListFormat QBListFormat(const TQBListStyle &style);
// Qt draws no marker for lists of this format: whoever shows the list draws QBListLabel.
bool QBListOwnMarker(const QTextListFormat &format);

// The number of a list item, counting from the list's start; 0 outside lists.
int QBListNumber(const QTextBlock &block);
// A number in a numbering style, without prefix and suffix ("iv", "AB", "12").
QString QBListNumberText(int numbering, int number);
// The bullet's characters as Unicode: symbol fonts' private characters become what they show.
QString QBListBulletText(const QString &bullet, const QString &font);
// The label a reader sees before a list item ("IV.", "a)", "(2)", "•"); empty outside lists.
QString QBListLabel(const QTextBlock &block);
// The number a label of the style shows, -1 when it shows none.
int QBListLabelNumber(QStringView label, const TQBListStyle &style);
