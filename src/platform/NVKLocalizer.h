// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKResourceSet.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPointer>

class QAbstractItemView;
class QComboBox;
class QHeaderView;
class QLabel;
class QWidget;

// The resource manager forms hold: translates the form's widgets and actions and hands out the
// named texts. Create it as a child of the form, set ResourceSet, and call Loaded once the form
// has created its widgets. The form's class needs Q_OBJECT: its class name names its Container.
class TNVKLocalizer : public TNVKCustomResourceManager
{
    Q_OBJECT

public:
    explicit TNVKLocalizer(QObject *owner = nullptr);
};

// Registers the properties of Qt's widgets and actions that language files use. Runs once;
// TNVKLocalizer's constructor calls it. Forms add their own classes with the NVKRegister* helpers.
//   QWidget      Caption (window title; tab or tool box page text for a page), Hint, Visible, Enabled,
//                Width, Height, Color, Font
//   QLabel, QAbstractButton: Caption;  QGroupBox: Caption (title);  QMenu: Caption (title)
//   QAction      Caption, Hint, ShortCut, Visible, Enabled
//   QLineEdit    Text;  QComboBox: Text, Items, ItemsEx (items with Caption)
//   QListWidget  Items;  QTabBar: Tabs;  QPlainTextEdit, QTextEdit: Text, Lines
//   QTreeView, QTableView: Columns (items with Caption, Width)
//   QStatusBar   Panels (its QLabel children in creation order; items with Text, Width)
//   Font         Name, Size, Height, Color, Style [fsBold, fsItalic, fsUnderline, fsStrikeOut], Charset
// Hint "short|long" gives the tool tip and the status tip; without "|" both get the whole text.
void NVKRegisterWidgetProperties();

// The colour a colour value of the old platform means: 0x00BBGGRR, or a system colour
// (0x80000000 + index) taken from palette. Invalid for clNone, clDefault and unknown system colours.
QColor NVKColorToQColor(int color, const QPalette &palette);

// A widget's font and text colour while a language file sets them; written back together.
class TNVKFontHolder : public TNVKValueHolder
{
    Q_OBJECT

public:
    explicit TNVKFontHolder(QWidget *widget);
    void Commit() override;
    // The widget's palette, which system colours are taken from.
    QPalette Palette() const;

    QFont Font;
    QColor Color;

private:
    QPointer<QWidget> FWidget;
    QColor FOriginalColor;
};

// A column of a list view (QTreeView or QTableView), addressed by index.
class TNVKListColumn : public QObject
{
    Q_OBJECT

public:
    TNVKListColumn(QAbstractItemView *view, QHeaderView *header, int index);
    void SetCaption(const QString &text);
    void SetWidth(int width);

private:
    QPointer<QAbstractItemView> FView;
    QPointer<QHeaderView> FHeader;
    int FIndex;
};

// A status bar panel: one of the labels the form put into its status bar.
class TNVKStatusPanel : public QObject
{
    Q_OBJECT

public:
    explicit TNVKStatusPanel(QLabel *label);
    void SetText(const QString &text);
    void SetWidth(int width);

private:
    QPointer<QLabel> FLabel;
};

// An item of a combo box, addressed by index.
class TNVKComboItem : public QObject
{
    Q_OBJECT

public:
    TNVKComboItem(QComboBox *combo, int index);
    void SetCaption(const QString &text);

private:
    QPointer<QComboBox> FCombo;
    int FIndex;
};
