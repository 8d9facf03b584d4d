// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"
#include "rtf/QBRtfLists.h"

#include <QTextBlock>
#include <QTextList>

#include <algorithm>
#include <cmath>

namespace {

// The document lays text out in pixels at 96 dots per inch; the control's unit is the twip, which
// reading turns into whole points by truncation.
constexpr double TwipsPerPixel = 15.0;

int PixelsToPoints(double pixels)
{
    const int twips = int(std::lround(pixels * TwipsPerPixel));
    return twips / 20;
}

double PointsToPixels(int points)
{
    return points * 20.0 / TwipsPerPixel;
}

QFont ResolvedFont(const QTextCharFormat &format, const QTextDocument *document)
{
    return format.font().resolve(document->defaultFont());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TRxTextAttributes

QTextCharFormat TRxTextAttributes::Format() const
{
    QTextDocument *doc = FEditor->document();
    switch (FKind) {
    case atDefaultText:
        return FEditor->FDefaultFormat;
    case atWord: {
        QTextCursor word = FEditor->textCursor();
        word.clearSelection();
        word.select(QTextCursor::WordUnderCursor);
        if (word.hasSelection()) {
            QTextCursor first(doc);
            first.setPosition(word.selectionStart() + 1);
            return first.charFormat();
        }
        return FEditor->currentCharFormat();
    }
    case atSelected:
        break;
    }
    const QTextCursor cursor = FEditor->textCursor();
    if (cursor.hasSelection()) {
        QTextCursor first(doc);
        first.setPosition(cursor.selectionStart() + 1);
        return first.charFormat();
    }
    return FEditor->currentCharFormat();
}

void TRxTextAttributes::Merge(const QTextCharFormat &change)
{
    switch (FKind) {
    case atDefaultText: {
        FEditor->FDefaultFormat.merge(change);
        FEditor->ApplyDocumentOptions();
        return;
    }
    case atWord: {
        QTextCursor word = FEditor->textCursor();
        word.clearSelection();
        word.select(QTextCursor::WordUnderCursor);
        if (word.hasSelection()) {
            word.mergeCharFormat(change);
            return;
        }
        FEditor->mergeCurrentCharFormat(change);
        return;
    }
    case atSelected:
        FEditor->mergeCurrentCharFormat(change);
        return;
    }
}

QString TRxTextAttributes::Name() const
{
    const QTextCharFormat format = Format();
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    return FEditor->document()->defaultFont().family();
}

void TRxTextAttributes::SetName(const QString &value)
{
    QTextCharFormat change;
    change.setFontFamilies(QStringList{value});
    Merge(change);
}

int TRxTextAttributes::Size() const
{
    const QFont font = ResolvedFont(Format(), FEditor->document());
    return font.pointSizeF() > 0 ? int(std::lround(font.pointSizeF())) : 0;
}

void TRxTextAttributes::SetSize(int value)
{
    if (value <= 0)
        return;
    QTextCharFormat change;
    change.setFontPointSize(value);
    Merge(change);
}

int TRxTextAttributes::Style() const
{
    const QFont font = ResolvedFont(Format(), FEditor->document());
    int style = 0;
    if (font.weight() >= QFont::DemiBold)
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    return style;
}

void TRxTextAttributes::SetStyle(int value)
{
    QTextCharFormat change;
    change.setFontWeight(value & fsBold ? QFont::Bold : QFont::Normal);
    change.setFontItalic(value & fsItalic);
    change.setFontUnderline(value & fsUnderline);
    change.setFontStrikeOut(value & fsStrikeOut);
    Merge(change);
}

QColor TRxTextAttributes::Color() const
{
    const QTextCharFormat format = Format();
    if (format.foreground().style() != Qt::NoBrush)
        return format.foreground().color();
    if (FKind != atDefaultText && FEditor->FDefaultFormat.foreground().style() != Qt::NoBrush)
        return FEditor->FDefaultFormat.foreground().color();
    return FEditor->palette().color(QPalette::Text);
}

void TRxTextAttributes::SetColor(const QColor &value)
{
    QTextCharFormat change;
    change.setForeground(value);
    Merge(change);
}

QColor TRxTextAttributes::BackColor() const
{
    const QTextCharFormat format = Format();
    return format.background().style() != Qt::NoBrush ? format.background().color() : QColor();
}

void TRxTextAttributes::SetBackColor(const QColor &value)
{
    QTextCharFormat change;
    if (value.isValid())
        change.setBackground(value);
    else
        change.setBackground(Qt::NoBrush);
    Merge(change);
}

int TRxTextAttributes::SubscriptStyle() const
{
    switch (Format().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
        return ssSubscript;
    case QTextCharFormat::AlignSuperScript:
        return ssSuperscript;
    default:
        return ssNone;
    }
}

void TRxTextAttributes::SetSubscriptStyle(int value)
{
    QTextCharFormat change;
    change.setVerticalAlignment(value == ssSubscript     ? QTextCharFormat::AlignSubScript
                                : value == ssSuperscript ? QTextCharFormat::AlignSuperScript
                                                         : QTextCharFormat::AlignNormal);
    Merge(change);
}

void TRxTextAttributes::Assign(const TRxTextAttributes &source)
{
    QTextCharFormat change;
    change.setFontFamilies(QStringList{source.Name()});
    if (const int size = source.Size(); size > 0)
        change.setFontPointSize(size);
    const int style = source.Style();
    change.setFontWeight(style & fsBold ? QFont::Bold : QFont::Normal);
    change.setFontItalic(style & fsItalic);
    change.setFontUnderline(style & fsUnderline);
    change.setFontStrikeOut(style & fsStrikeOut);
    change.setForeground(source.Color());
    const QColor back = source.BackColor();
    if (back.isValid())
        change.setBackground(back);
    else
        change.setBackground(Qt::NoBrush);
    const int sub = source.SubscriptStyle();
    change.setVerticalAlignment(sub == ssSubscript     ? QTextCharFormat::AlignSubScript
                                : sub == ssSuperscript ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignNormal);
    Merge(change);
}

namespace {

int PixelsToTwips(double pixels)
{
    return int(std::lround(pixels * TwipsPerPixel));
}

double TwipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

QTextOption::TabType TabTypeOfKind(int kind)
{
    switch (kind) {
    case 1:
        return QTextOption::RightTab;
    case 2:
        return QTextOption::CenterTab;
    case 3:
        return QTextOption::DelimiterTab;
    default:
        return QTextOption::LeftTab;
    }
}

int KindOfTabType(QTextOption::TabType type)
{
    switch (type) {
    case QTextOption::RightTab:
        return 1;
    case QTextOption::CenterTab:
        return 2;
    case QTextOption::DelimiterTab:
        return 3;
    default:
        return 0;
    }
}

// The values of one paragraph, every one of them set.
TRxParaValues BlockValues(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    TRxParaValues values;
    switch (format.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignRight:
        values.Alignment = TRxParaAttributes::paRight;
        break;
    case Qt::AlignHCenter:
        values.Alignment = TRxParaAttributes::paCenter;
        break;
    case Qt::AlignJustify:
        values.Alignment = TRxParaAttributes::paJustify;
        break;
    default:
        values.Alignment = TRxParaAttributes::paLeft;
        break;
    }
    const QTextList *list = block.textList();
    values.Numbering = list ? QBListStyleOf(list->format()).Numbering : int(TRxParaAttributes::nsNone);
    values.FirstIndent = PixelsToTwips(format.textIndent());
    values.LeftIndent = PixelsToTwips(format.leftMargin());
    values.RightIndent = PixelsToTwips(format.rightMargin());
    values.SpaceBefore = PixelsToTwips(format.topMargin());
    values.SpaceAfter = PixelsToTwips(format.bottomMargin());
    const double height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (height <= 0 || qFuzzyCompare(height, 100.0))
            values.LineSpacingRule = TRxParaAttributes::lsSingle;
        else if (qFuzzyCompare(height, 150.0))
            values.LineSpacingRule = TRxParaAttributes::lsOneAndHalf;
        else if (qFuzzyCompare(height, 200.0))
            values.LineSpacingRule = TRxParaAttributes::lsDouble;
        else
            values.LineSpacingRule = TRxParaAttributes::lsMultiple;
        values.LineSpacing = values.LineSpacingRule == TRxParaAttributes::lsMultiple ? int(std::lround(height)) : 0;
        break;
    case QTextBlockFormat::MinimumHeight:
        values.LineSpacingRule = TRxParaAttributes::lsAtLeast;
        values.LineSpacing = PixelsToTwips(height);
        break;
    case QTextBlockFormat::FixedHeight:
        values.LineSpacingRule = TRxParaAttributes::lsExactly;
        values.LineSpacing = PixelsToTwips(height);
        break;
    default:
        values.LineSpacingRule = TRxParaAttributes::lsSingle;
        values.LineSpacing = 0;
        break;
    }
    QList<TRxTab> tabs;
    for (const QTextOption::Tab &tab : format.tabPositions())
        tabs.append(TRxTab{PixelsToTwips(tab.position), KindOfTabType(tab.type)});
    values.Tabs = tabs;
    return values;
}

// The line height of a spacing rule: length in pixels for rules 3 and 4, percent of a line for rule 5.
void SetLineHeight(QTextBlockFormat &change, int rule, double length, double percent)
{
    switch (rule) {
    case TRxParaAttributes::lsOneAndHalf:
        change.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        break;
    case TRxParaAttributes::lsDouble:
        change.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
        break;
    case TRxParaAttributes::lsAtLeast:
        change.setLineHeight(qMax(0.0, length), QTextBlockFormat::MinimumHeight);
        break;
    case TRxParaAttributes::lsExactly:
        change.setLineHeight(qMax(1.0, length), QTextBlockFormat::FixedHeight);
        break;
    case TRxParaAttributes::lsMultiple:
        change.setLineHeight(qMax(1.0, percent), QTextBlockFormat::ProportionalHeight);
        break;
    default:
        change.setLineHeight(0, QTextBlockFormat::SingleHeight);
        break;
    }
}

template <class T> void KeepShared(std::optional<T> &shared, const std::optional<T> &other)
{
    if (shared != other)
        shared.reset();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TRxParaAttributes

QTextBlockFormat TRxParaAttributes::Format() const
{
    return FEditor->textCursor().blockFormat();
}

void TRxParaAttributes::Merge(const QTextBlockFormat &change)
{
    QTextCursor cursor = FEditor->textCursor();
    cursor.mergeBlockFormat(change);
}

int TRxParaAttributes::Alignment() const
{
    return *BlockValues(FEditor->textCursor().block()).Alignment;
}

void TRxParaAttributes::SetAlignment(int value)
{
    QTextBlockFormat change;
    change.setAlignment(value == paRight     ? Qt::AlignRight
                        : value == paCenter  ? Qt::AlignHCenter
                        : value == paJustify ? Qt::AlignJustify
                                             : Qt::AlignLeft);
    Merge(change);
}

int TRxParaAttributes::Numbering() const
{
    const QTextList *list = FEditor->textCursor().currentList();
    // The list styles count as the control's numbering values do.
    return list ? QBListStyleOf(list->format()).Numbering : nsNone;
}

void TRxParaAttributes::SetNumbering(int value)
{
    QTextCursor cursor = FEditor->textCursor();
    QTextDocument *doc = FEditor->document();
    const QTextBlock first = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    if (value <= nsNone || value > nsUpperRoman) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextList *list = block.textList()) {
                list->remove(block);
                QTextCursor at(block);
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                at.setBlockFormat(format);
            }
            if (block == last)
                break;
        }
    } else {
        QTextList *current = first.textList();
        bool sameList = current != nullptr;
        for (QTextBlock block = first; sameList && block.isValid(); block = block.next()) {
            sameList = block.textList() == current;
            if (block == last)
                break;
        }
        if (sameList) {
            // The list keeps its start, level and texts; a bullet list's glyph goes with the style.
            TQBListStyle style = QBListStyleOf(current->format());
            if (style.Numbering != value) {
                style.Numbering = value;
                style.Bullet.clear();
                style.BulletFont.clear();
                if (value == nsBullet) {
                    style.Prefix.clear();
                    style.Suffix.clear();
                } else if (style.Prefix.isEmpty() && style.Suffix.isEmpty()) {
                    style.Suffix = QStringLiteral(".");
                }
            }
            current->setFormat(QBListFormat(style));
        } else {
            TQBListStyle style;
            style.Numbering = value;
            if (value == nsBullet)
                style.Suffix.clear();
            cursor.createList(QBListFormat(style));
        }
    }
    cursor.endEditBlock();
}

int TRxParaAttributes::FirstIndent() const
{
    return PixelsToPoints(Format().textIndent());
}

void TRxParaAttributes::SetFirstIndent(int value)
{
    QTextBlockFormat change;
    change.setTextIndent(PointsToPixels(value));
    Merge(change);
}

int TRxParaAttributes::LeftIndent() const
{
    return PixelsToPoints(Format().leftMargin());
}

void TRxParaAttributes::SetLeftIndent(int value)
{
    QTextBlockFormat change;
    change.setLeftMargin(PointsToPixels(value));
    Merge(change);
}

int TRxParaAttributes::RightIndent() const
{
    return PixelsToPoints(Format().rightMargin());
}

void TRxParaAttributes::SetRightIndent(int value)
{
    QTextBlockFormat change;
    change.setRightMargin(PointsToPixels(value));
    Merge(change);
}

int TRxParaAttributes::SpaceBefore() const
{
    return PixelsToPoints(Format().topMargin());
}

void TRxParaAttributes::SetSpaceBefore(int value)
{
    QTextBlockFormat change;
    change.setTopMargin(PointsToPixels(value));
    Merge(change);
}

int TRxParaAttributes::SpaceAfter() const
{
    return PixelsToPoints(Format().bottomMargin());
}

void TRxParaAttributes::SetSpaceAfter(int value)
{
    QTextBlockFormat change;
    change.setBottomMargin(PointsToPixels(value));
    Merge(change);
}

int TRxParaAttributes::LineSpacingRule() const
{
    return *BlockValues(FEditor->textCursor().block()).LineSpacingRule;
}

int TRxParaAttributes::LineSpacing() const
{
    const QTextBlockFormat format = Format();
    switch (LineSpacingRule()) {
    case lsAtLeast:
    case lsExactly:
        return PixelsToPoints(format.lineHeight());
    case lsMultiple:
        return int(format.lineHeight() / 100.0);
    default:
        return 0;
    }
}

void TRxParaAttributes::SetLineSpacing(int rule, int value)
{
    QTextBlockFormat change;
    SetLineHeight(change, rule, PointsToPixels(qMax(rule == lsExactly ? 1 : 0, value)), 100.0 * qMax(1, value));
    Merge(change);
}

int TRxParaAttributes::TabCount() const
{
    return int(Format().tabPositions().size());
}

int TRxParaAttributes::Tab(int index) const
{
    const QList<QTextOption::Tab> tabs = Format().tabPositions();
    if (index < 0 || index >= tabs.size())
        return 0;
    return PixelsToPoints(tabs.at(index).position);
}

void TRxParaAttributes::SetTabs(const QList<int> &positions)
{
    QList<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end());
    QList<QTextOption::Tab> tabs;
    for (const int position : std::as_const(sorted))
        tabs.append(QTextOption::Tab(PointsToPixels(position), QTextOption::LeftTab));
    QTextBlockFormat change;
    change.setTabPositions(tabs);
    Merge(change);
}

TRxParaValues TRxParaAttributes::Values() const
{
    const QTextCursor cursor = FEditor->textCursor();
    QTextDocument *doc = FEditor->document();
    // The paragraph at the caret gives the values; the others of the selection empty what differs.
    TRxParaValues shared = BlockValues(cursor.block());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    for (QTextBlock block = doc->findBlock(cursor.selectionStart()); block.isValid(); block = block.next()) {
        const TRxParaValues other = BlockValues(block);
        KeepShared(shared.Alignment, other.Alignment);
        KeepShared(shared.Numbering, other.Numbering);
        KeepShared(shared.FirstIndent, other.FirstIndent);
        KeepShared(shared.LeftIndent, other.LeftIndent);
        KeepShared(shared.RightIndent, other.RightIndent);
        KeepShared(shared.SpaceBefore, other.SpaceBefore);
        KeepShared(shared.SpaceAfter, other.SpaceAfter);
        if (shared.LineSpacingRule != other.LineSpacingRule || shared.LineSpacing != other.LineSpacing) {
            shared.LineSpacingRule.reset();
            shared.LineSpacing.reset();
        }
        KeepShared(shared.Tabs, other.Tabs);
        if (block == last)
            break;
    }
    return shared;
}

void TRxParaAttributes::Apply(const TRxParaValues &values)
{
    QTextBlockFormat change;
    if (values.Alignment) {
        const int value = *values.Alignment;
        change.setAlignment(value == paRight     ? Qt::AlignRight
                            : value == paCenter  ? Qt::AlignHCenter
                            : value == paJustify ? Qt::AlignJustify
                                                 : Qt::AlignLeft);
    }
    if (values.FirstIndent)
        change.setTextIndent(TwipsToPixels(*values.FirstIndent));
    if (values.LeftIndent)
        change.setLeftMargin(TwipsToPixels(*values.LeftIndent));
    if (values.RightIndent)
        change.setRightMargin(TwipsToPixels(*values.RightIndent));
    if (values.SpaceBefore)
        change.setTopMargin(TwipsToPixels(qMax(0, *values.SpaceBefore)));
    if (values.SpaceAfter)
        change.setBottomMargin(TwipsToPixels(qMax(0, *values.SpaceAfter)));
    if (values.LineSpacingRule) {
        const int value = values.LineSpacing.value_or(0);
        SetLineHeight(change, *values.LineSpacingRule, TwipsToPixels(value), value);
    }
    if (values.Tabs) {
        // Stops are laid out in order, and two at one place would be one.
        QList<TRxTab> sorted = *values.Tabs;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const TRxTab &a, const TRxTab &b) { return a.Position < b.Position; });
        QList<QTextOption::Tab> tabs;
        for (const TRxTab &tab : std::as_const(sorted)) {
            const double position = TwipsToPixels(qMax(0, tab.Position));
            if (!tabs.isEmpty() && qFuzzyCompare(tabs.last().position + 1, position + 1))
                tabs.removeLast();
            tabs.append(tab.Kind == 3 ? QTextOption::Tab(position, QTextOption::DelimiterTab, QLatin1Char('.'))
                                      : QTextOption::Tab(position, TabTypeOfKind(tab.Kind)));
        }
        change.setTabPositions(tabs);
    }

    // A list the paragraphs already share keeps its start and texts.
    const bool renumber = values.Numbering && Values().Numbering != values.Numbering;
    QTextCursor cursor = FEditor->textCursor();
    cursor.beginEditBlock();
    cursor.mergeBlockFormat(change);
    if (renumber)
        SetNumbering(*values.Numbering);
    cursor.endEditBlock();
}
