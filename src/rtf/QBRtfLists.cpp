// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfLists.h"
#include "QBRtfFormats.h"

#include <QTextBlock>
#include <QTextList>

namespace {

constexpr char16_t StandardBullet = 0x2022;

int NumberingOfQtStyle(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return TQBListStyle::Bulleted;
    case QTextListFormat::ListLowerAlpha:
        return TQBListStyle::LowerAlpha;
    case QTextListFormat::ListUpperAlpha:
        return TQBListStyle::UpperAlpha;
    case QTextListFormat::ListLowerRoman:
        return TQBListStyle::LowerRoman;
    case QTextListFormat::ListUpperRoman:
        return TQBListStyle::UpperRoman;
    default:
        return TQBListStyle::Decimal;
    }
}

QTextListFormat::Style QtStyle(int numbering)
{
    switch (numbering) {
    case TQBListStyle::Bulleted:
        return QTextListFormat::ListDisc;
    case TQBListStyle::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case TQBListStyle::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case TQBListStyle::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case TQBListStyle::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    default:
        return QTextListFormat::ListDecimal;
    }
}

} // namespace

TQBListStyle QBListStyleOf(const QTextListFormat &format)
{
    TQBListStyle style;
    style.Numbering = format.hasProperty(QBRtfFormat::ListNumbering)
                          ? qBound(1, format.intProperty(QBRtfFormat::ListNumbering), 6)
                          : NumberingOfQtStyle(format.style());
    style.Level = qMax(0, format.indent() - 1);
    if (format.hasProperty(QBRtfFormat::ListStart))
        style.Start = qBound(0, format.intProperty(QBRtfFormat::ListStart), QBRtfLists::MaxNumber);
    if (format.hasProperty(QTextFormat::ListNumberPrefix))
        style.Prefix = format.numberPrefix();
    if (format.hasProperty(QTextFormat::ListNumberSuffix))
        style.Suffix = format.numberSuffix();
    style.Bullet = format.stringProperty(QBRtfFormat::ListBullet);
    style.BulletFont = format.stringProperty(QBRtfFormat::ListBulletFont);
    if (style.Numbering == TQBListStyle::Bulleted && style.Bullet.isEmpty()) {
        // Lists made in the editor or pasted as HTML draw Qt's shapes.
        if (format.style() == QTextListFormat::ListCircle)
            style.Bullet = QStringLiteral("\u25e6");
        else if (format.style() == QTextListFormat::ListSquare)
            style.Bullet = QStringLiteral("\u25aa");
    }
    return style;
}

QTextListFormat QBListFormat(const TQBListStyle &style)
{
    QTextListFormat format;
    format.setIndent(qBound(0, style.Level, 8) + 1);
    format.setProperty(QBRtfFormat::ListNumbering, style.Numbering);
    const bool bullet = style.Numbering == TQBListStyle::Bulleted;
    if (bullet) {
        if (!style.Bullet.isEmpty())
            format.setProperty(QBRtfFormat::ListBullet, style.Bullet);
        if (!style.BulletFont.isEmpty())
            format.setProperty(QBRtfFormat::ListBulletFont, style.BulletFont);
    } else {
        format.setNumberPrefix(style.Prefix);
        format.setNumberSuffix(style.Suffix);
        if (style.Start != 1)
            format.setProperty(QBRtfFormat::ListStart, style.Start);
    }
    // Qt numbers from 1 and draws one bullet; anything else is painted from QBListLabel.
    const bool qtShowsIt =
        bullet ? QBListBulletText(style.Bullet, style.BulletFont) == QChar(StandardBullet) : style.Start == 1;
    format.setStyle(qtShowsIt ? QtStyle(style.Numbering) : QTextListFormat::ListStyleUndefined);
    return format;
}

bool QBListOwnMarker(const QTextListFormat &format)
{
    return format.style() == QTextListFormat::ListStyleUndefined;
}

int QBListNumber(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return 0;
    const TQBListStyle style = QBListStyleOf(list->format());
    return int(qMin<qint64>(qint64(style.Start) + list->itemNumber(block), QBRtfLists::MaxNumber));
}

QString QBListLabel(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    return QBListLabelText(QBListStyleOf(list->format()), QBListNumber(block));
}
