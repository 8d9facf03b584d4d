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

QString Roman(int number, bool upper)
{
    static const struct
    {
        int Value;
        const char *Text;
    } digits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                  {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    for (const auto &digit : digits) {
        for (; number >= digit.Value; number -= digit.Value)
            text += QLatin1StringView(digit.Text);
    }
    return upper ? text.toUpper() : text;
}

int RomanValue(QStringView text)
{
    int value = 0;
    int last = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        int digit = 0;
        switch (text.at(i).toLower().unicode()) {
        case 'i':
            digit = 1;
            break;
        case 'v':
            digit = 5;
            break;
        case 'x':
            digit = 10;
            break;
        case 'l':
            digit = 50;
            break;
        case 'c':
            digit = 100;
            break;
        case 'd':
            digit = 500;
            break;
        case 'm':
            digit = 1000;
            break;
        default:
            return -1;
        }
        value += digit < last ? -digit : digit;
        last = qMax(last, digit);
        if (value > QBRtfLists::MaxNumber)
            return -1;
    }
    return value > 0 ? value : -1;
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

QString QBListNumberText(int numbering, int number)
{
    number = qBound(0, number, QBRtfLists::MaxNumber);
    switch (numbering) {
    case TQBListStyle::LowerAlpha:
    case TQBListStyle::UpperAlpha: {
        if (number <= 0)
            break;
        // a to z, then aa, ab and on, as Qt numbers its own lists.
        const char16_t base = numbering == TQBListStyle::LowerAlpha ? u'a' : u'A';
        QString text;
        for (int n = number; n > 0; n = (n - 1) / 26)
            text.prepend(QChar(char16_t(base + (n - 1) % 26)));
        return text;
    }
    case TQBListStyle::LowerRoman:
    case TQBListStyle::UpperRoman:
        if (number <= 0 || number >= 4000)
            break;
        return Roman(number, numbering == TQBListStyle::UpperRoman);
    default:
        break;
    }
    return QString::number(number);
}

QString QBListBulletText(const QString &bullet, const QString &font)
{
    if (bullet.isEmpty())
        return QString(QChar(StandardBullet));
    const bool symbol = font.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    const bool wingdings = font.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive);
    QString text;
    for (const QChar ch : bullet) {
        char16_t c = ch.unicode();
        // Symbol fonts' characters are often given as U+F0xx.
        if (c >= 0xF020 && c <= 0xF0FF && (symbol || wingdings))
            c -= 0xF000;
        if (symbol && c == 0xB7) {
            c = StandardBullet;
        } else if (wingdings) {
            switch (c) {
            case 0x6C:
                c = 0x25CF;
                break;
            case 0x6E:
                c = 0x25A0;
                break;
            case 0x71:
                c = 0x2751;
                break;
            case 0x76:
                c = 0x2756;
                break;
            case 0xA7:
                c = 0x25AA;
                break;
            case 0xD8:
                c = 0x27A2;
                break;
            case 0xFC:
                c = 0x2713;
                break;
            default:
                break;
            }
        } else if (font.isEmpty() && c == 0xB7) {
            c = StandardBullet; // the rich edit control's bullet where its Symbol font is not named
        }
        text += QChar(c);
    }
    return text;
}

QString QBListLabel(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    const TQBListStyle style = QBListStyleOf(list->format());
    if (style.Numbering == TQBListStyle::Bulleted)
        return QBListBulletText(style.Bullet, style.BulletFont);
    return style.Prefix + QBListNumberText(style.Numbering, QBListNumber(block)) + style.Suffix;
}

int QBListLabelNumber(QStringView label, const TQBListStyle &style)
{
    if (style.Numbering == TQBListStyle::Bulleted)
        return -1;
    label = label.trimmed();
    if (!style.Prefix.isEmpty() && label.startsWith(style.Prefix))
        label = label.sliced(style.Prefix.size());
    if (!style.Suffix.isEmpty() && label.endsWith(style.Suffix))
        label.chop(style.Suffix.size());
    label = label.trimmed();
    if (label.isEmpty() || label.size() > 12)
        return -1;
    switch (style.Numbering) {
    case TQBListStyle::LowerAlpha:
    case TQBListStyle::UpperAlpha: {
        int value = 0;
        for (const QChar c : label) {
            const char16_t l = c.toLower().unicode();
            if (l < u'a' || l > u'z' || value > QBRtfLists::MaxNumber / 26)
                return -1;
            value = value * 26 + (l - u'a' + 1);
        }
        return value;
    }
    case TQBListStyle::LowerRoman:
    case TQBListStyle::UpperRoman:
        return RomanValue(label);
    default: {
        bool ok = false;
        const int value = label.toInt(&ok);
        return ok && value >= 0 && value <= QBRtfLists::MaxNumber ? value : -1;
    }
    }
}
