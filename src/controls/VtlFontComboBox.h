// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>
#include <QIcon>

enum TFontDevice { fdScreen, fdPrinter, fdBoth };

enum TFontListOption {
    foAnsiOnly = 0x01,
    foTrueTypeOnly = 0x02,
    foFixedPitchOnly = 0x04,
    foNoOEMFonts = 0x08,
    foOEMFontsOnly = 0x10,
    foScalableOnly = 0x20,
    foNoSymbolFonts = 0x40,
};
Q_DECLARE_FLAGS(TFontListOptions, TFontListOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontListOptions)

// The font-name box of the Format toolbar: the installed families, sorted and filtered, each with
// a glyph for its kind.
class TVtlFontComboBox : public QComboBox
{
    Q_OBJECT

public:
    // The kind of a family as the item keeps it.
    enum TFontType { ftRaster = 0x1, ftDevice = 0x2, ftTrueType = 0x4, ftNotSymbol = 0x100 };
    static constexpr int FontTypeRole = Qt::UserRole + 0x52;
    // Marks the item that shows a family the text names but this desktop does not have.
    static constexpr int NotInstalledRole = Qt::UserRole + 0x53;

    explicit TVtlFontComboBox(QWidget *parent = nullptr);

    TFontDevice Device() const { return FDevice; }
    void SetDevice(TFontDevice value);
    TFontListOptions Options() const { return FOptions; }
    void SetOptions(TFontListOptions value);
    bool TrueTypeOnly() const { return FOptions.testFlag(foTrueTypeOnly); }
    void SetTrueTypeOnly(bool value);
    bool UseFonts() const { return FUseFonts; }
    void SetUseFonts(bool value);
    // The glyphs drawn before TrueType and device fonts; without them the names start 26 pixels in.
    void SetGlyphs(const QIcon &trueType, const QIcon &device);
    QIcon Glyph(int fontType) const;

    QString FontName() const { return currentText(); }
    // Selects the first item equal to value without regard to case. A family that is not installed
    // (documents from other desktops name Arial or Times New Roman) is still shown: an editable box
    // shows the name, a list gets one italic item for it at the top, removed again when another
    // name is selected. Fires changed unless the name is already shown.
    void SetFontName(const QString &value);

    // Fills the list again, keeping the selected name when it is still there.
    void Reset();

Q_SIGNALS:
    void changed();

private:
    void ShowName(const QString &value);
    void RemoveNotInstalled();

    TFontDevice FDevice = fdScreen;
    TFontListOptions FOptions;
    bool FUseFonts = false;
    QIcon FTrueTypeGlyph;
    QIcon FDeviceGlyph;
};
