// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlFontComboBox.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int MissingGlyphWidth = 20;
constexpr int GlyphGap = 6;

bool IsSymbolFamily(const QString &family)
{
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    return !systems.isEmpty() && !systems.contains(QFontDatabase::Latin) && systems.contains(QFontDatabase::Symbol);
}

class TFontItemDelegate final : public QStyledItemDelegate
{
public:
    explicit TFontItemDelegate(TVtlFontComboBox *box) : QStyledItemDelegate(box), FBox(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const int type = index.data(TVtlFontComboBox::FontTypeRole).toInt();
        const QIcon glyph = FBox->Glyph(type);
        const QRect rect = option.rect;
        int glyphWidth = MissingGlyphWidth;
        if (!glyph.isNull()) {
            const QSize size(16, 16);
            glyph.paint(painter, QRect(rect.left() + 2, rect.top() + (rect.height() - size.height()) / 2, size.width(),
                                       size.height()));
            glyphWidth = size.width() + 2;
        }
        const QString name = index.data(Qt::DisplayRole).toString();
        QFont font = option.font;
        if (FBox->UseFonts() && (type & TVtlFontComboBox::ftNotSymbol))
            font.setFamilies(QStringList{name});
        // A family the text names but this desktop lacks, shown in a substitute.
        if (index.data(TVtlFontComboBox::NotInstalledRole).toBool())
            font.setItalic(true);
        painter->save();
        painter->setFont(font);
        painter->setPen(option.state & QStyle::State_Selected ? option.palette.color(QPalette::HighlightedText)
                                                              : option.palette.color(QPalette::Text));
        const QRect textRect = rect.adjusted(glyphWidth + GlyphGap, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, name);
        painter->restore();
    }

private:
    TVtlFontComboBox *FBox;
};

} // namespace

TVtlFontComboBox::TVtlFontComboBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("FontComboBox"));
    setEditable(false);
    setItemDelegate(new TFontItemDelegate(this));
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT changed(); });
    Reset();
}

void TVtlFontComboBox::SetDevice(TFontDevice value)
{
    if (FDevice == value)
        return;
    FDevice = value;
    Reset();
}

void TVtlFontComboBox::SetOptions(TFontListOptions value)
{
    if (FOptions == value)
        return;
    FOptions = value;
    Reset();
}

void TVtlFontComboBox::SetTrueTypeOnly(bool value)
{
    SetOptions(value ? FOptions | foTrueTypeOnly : FOptions & ~TFontListOptions(foTrueTypeOnly));
}

void TVtlFontComboBox::SetUseFonts(bool value)
{
    FUseFonts = value;
    update();
}

void TVtlFontComboBox::SetGlyphs(const QIcon &trueType, const QIcon &device)
{
    FTrueTypeGlyph = trueType;
    FDeviceGlyph = device;
    update();
}

QIcon TVtlFontComboBox::Glyph(int fontType) const
{
    if (fontType & ftTrueType)
        return FTrueTypeGlyph;
    if (fontType & ftDevice)
        return FDeviceGlyph;
    return {};
}

void TVtlFontComboBox::Reset()
{
    const QString selected = currentText();
    const QSignalBlocker blocker(this);
    clear();
    // Printers here print with the screen's fonts, so every device lists the same families.
    QStringList families = QFontDatabase::families();
    families.removeDuplicates();
    families.sort(Qt::CaseInsensitive);
    for (const QString &family : std::as_const(families)) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const bool symbol = IsSymbolFamily(family);
        const bool scalable = QFontDatabase::isScalable(family);
        const bool trueType = QFontDatabase::isSmoothlyScalable(family);
        // Charset 0 is Latin text; charset 255 (OEM) does not occur among these fonts.
        if (FOptions.testFlag(foAnsiOnly) && !QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin))
            continue;
        if (FOptions.testFlag(foTrueTypeOnly) && !trueType)
            continue;
        if (FOptions.testFlag(foFixedPitchOnly) && !QFontDatabase::isFixedPitch(family))
            continue;
        if (FOptions.testFlag(foOEMFontsOnly))
            continue;
        if (FOptions.testFlag(foNoSymbolFonts) && symbol)
            continue;
        if (FOptions.testFlag(foScalableOnly) && !scalable)
            continue;
        int type = trueType ? ftTrueType : scalable ? 0 : ftRaster;
        if (!symbol)
            type |= ftNotSymbol;
        addItem(family);
        setItemData(count() - 1, type, FontTypeRole);
    }
    ShowName(selected);
}

void TVtlFontComboBox::SetFontName(const QString &value)
{
    if (value == currentText())
        return;
    {
        const QSignalBlocker blocker(this);
        ShowName(value);
    }
    Q_EMIT changed();
}

void TVtlFontComboBox::ShowName(const QString &value)
{
    RemoveNotInstalled();
    const int index = findText(value, Qt::MatchFixedString);
    if (index >= 0) {
        setCurrentIndex(index);
    } else if (isEditable()) {
        setCurrentIndex(-1);
        setEditText(value);
    } else if (value.isEmpty()) {
        setCurrentIndex(-1);
    } else {
        insertItem(0, value);
        setItemData(0, true, NotInstalledRole);
        setCurrentIndex(0);
    }
}

void TVtlFontComboBox::RemoveNotInstalled()
{
    for (int i = count() - 1; i >= 0; --i)
        if (itemData(i, NotInstalledRole).toBool())
            removeItem(i);
}
