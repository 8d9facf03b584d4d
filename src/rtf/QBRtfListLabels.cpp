// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfListLabels.h"

namespace {

constexpr char16_t StandardBullet = 0x2022;

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

QString QBListLabelText(const TQBListStyle &style, int number)
{
    if (style.Numbering == TQBListStyle::Bulleted)
        return QBListBulletText(style.Bullet, style.BulletFont);
    return style.Prefix + QBListNumberText(style.Numbering, number) + style.Suffix;
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

namespace {

TQBRtfListFacts Facts(const TQBRtfParaState &para)
{
    return para.ListFacts ? *para.ListFacts : TQBRtfListFacts();
}

QString Label(const TQBRtfParaState &para)
{
    return Facts(para).Label;
}

qint64 LsKey(int list, int level)
{
    return (qint64(list) << 4) | level;
}

bool SameLook(const TQBListStyle &a, const TQBListStyle &b)
{
    return a.Numbering == b.Numbering && a.Prefix == b.Prefix && a.Suffix == b.Suffix && a.Bullet == b.Bullet &&
           a.BulletFont == b.BulletFont;
}

} // namespace

TQBListStyle TQBRtfListTracker::StyleOf(const TQBRtfParaState &para) const
{
    TQBListStyle style;
    style.Numbering = qBound(1, para.Numbering, 6);
    style.Level = qBound(0, para.ListLevel, 8);
    const TQBRtfListFacts texts = Facts(para);
    style.Start = texts.HasStart ? texts.Start : 1;
    style.Prefix = texts.Prefix;
    style.Suffix = texts.Suffix;
    if (style.Numbering == TQBListStyle::Bulleted) {
        style.Bullet = texts.Bullet;
        if (const TQBRtfFont *font = texts.BulletFont >= 0 ? FParser.FindFont(texts.BulletFont) : nullptr)
            style.BulletFont = font->Name;
        style.Suffix.clear();
    }
    return style;
}

// Whether a rich edit control's item goes on with the open list of its level or starts a new one.
bool TQBRtfListTracker::ContinuesPn(const TOpenList &open, const TQBRtfParaState &para, const TQBListStyle &style,
                                    int paragraph)
{
    const bool follows = open.LastParagraph == paragraph - 1;
    if (follows && para.PnGroup == open.PnGroup)
        return true; // the paragraph inherits the numbering of the one before
    if (style.Numbering == TQBListStyle::Bulleted)
        return true;
    const int shown = QBListLabelNumber(Label(para), style);
    if (shown >= 0)
        return shown == open.Next;
    const TQBRtfListFacts facts = Facts(para);
    return !facts.HasStart || facts.Start == open.Next || (follows && facts.Start == open.PnStart);
}

TQBRtfListTracker::TItem TQBRtfListTracker::Add(const TQBRtfParaState &para, int paragraph)
{
    if (para.Numbering <= 0) {
        if (FPnOpen) {
            for (TOpenList &open : FPnLists)
                open = TOpenList();
            FPnOpen = false;
        }
        return {};
    }
    TQBListStyle style = StyleOf(para);
    const int level = style.Level;
    TOpenList *open = nullptr;
    if (para.ListId > 0) {
        for (TOpenList &pn : FPnLists)
            pn = TOpenList();
        // A word processor's item ends the deeper levels of its list, which start again below it.
        for (int deeper = level + 1; deeper < 9; ++deeper)
            FLsLists.remove(LsKey(para.ListId, deeper));
        open = &FLsLists[LsKey(para.ListId, level)];
        if (open->List >= 0 && !(open->Style == style))
            *open = TOpenList();
    } else {
        for (int deeper = level + 1; deeper < 9; ++deeper)
            FPnLists[deeper] = TOpenList();
        open = &FPnLists[level];
        if (open->List >= 0 && !SameLook(open->Style, style))
            *open = TOpenList();
        if (open->List >= 0 && !ContinuesPn(*open, para, style, paragraph))
            *open = TOpenList();
    }
    TItem item;
    if (open->List < 0) {
        // The label the writer showed is the surest start; then what the list says.
        const int shown = QBListLabelNumber(Label(para), style);
        if (para.ListId == 0 && shown >= 0)
            style.Start = qMin(shown, TQBRtfParser::MaxListStart);
        open->Style = style;
        open->Next = style.Start;
        open->List = FLists++;
        FPnOpen = FPnOpen || para.ListId == 0;
        item.NewList = true;
    }
    item.List = open->List;
    item.Style = open->Style;
    item.Number = int(
        qMin<qint64>(qint64(qBound(0, open->Style.Start, QBRtfLists::MaxNumber)) + open->Items, QBRtfLists::MaxNumber));
    open->Items = qMin(open->Items + 1, QBRtfLists::MaxNumber);
    open->Next = qMin(open->Next + 1, QBRtfLists::MaxNumber);
    open->LastParagraph = paragraph;
    open->PnStart = Facts(para).Start;
    open->PnGroup = para.PnGroup;
    return item;
}
