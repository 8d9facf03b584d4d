// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures: the shared image lists addressed by index, the splash picture and the
// application icon. Every icon is drawn from SVG on a 16-unit grid, so it is sharp at 16 px and at
// any larger size. The disabled and hot lists of the original design are the icon's Disabled and
// Active modes: Disabled is a greyed, faded copy, Active a slightly brighter one.

enum class TQBImageList {
    Commands, // toolbar buttons and menu entries
    State,    // outline tree state pictures (page, closed and open book)
    Markers,  // one per marker of the marker dictionary
    Panes,    // page images of the navigation pane control
    Preview,  // print preview tool bar
    Title     // expand and collapse glyph of the title bar
};

// Command image indices. 5 to 7, 15 to 22, 29, 41 and 42 are fixed by the outline actions, the window
// list button and the colour buttons; the rest give every other command of the main window a picture.
enum TQBCommandImage : int {
    ciFileNew = 0,
    ciFileOpen = 1,
    ciFileSave = 2,
    ciFilePrint = 3,
    ciFileExport = 4,
    ciEditCut = 5,
    ciEditCopy = 6,
    ciEditPaste = 7,
    ciEditUndo = 8,
    ciEditRedo = 9,
    ciEditFind = 10,
    ciEditReplace = 11,
    ciNavBack = 12,
    ciNavForward = 13,
    ciNavSyncOutline = 14,
    ciDocAddChild = 15,
    ciDocAddSiblingAbove = 16,
    ciDocAddSiblingBelow = 17,
    ciDocDelete = 18,
    ciDocMoveUp = 19,
    ciDocMoveDown = 20,
    ciDocMoveLeft = 21,
    ciDocMoveRight = 22,
    ciDocChangeMarker = 23,
    ciDocSplit = 24,
    ciNavPrevious = 25,
    ciNavNext = 26,
    ciWindowNew = 27,
    ciWindowClose = 28,
    ciWindowList = 29,
    ciFormatBold = 30,
    ciFormatItalic = 31,
    ciFormatUnderline = 32,
    ciFormatStrikeout = 33,
    ciFormatAlignLeft = 34,
    ciFormatAlignCenter = 35,
    ciFormatAlignRight = 36,
    ciFormatBullets = 37,
    ciFormatNumbering = 38,
    ciFormatSubscript = 39,
    ciFormatSuperscript = 40,
    ciFormatForeColor = 41,
    ciFormatBackColor = 42,
    ciFormatFont = 43,
    ciFormatParagraph = 44,
    ciFormatClear = 45,
    ciInsertHyperlink = 46,
    ciInsertPicture = 47,
    ciInsertDateTime = 48,
    ciInsertText = 49,
    ciInsertObject = 50,
    ciInsertCharMap = 51,
    ciInsertCalculator = 52,
    ciViewSettings = 53,
    ciHelpContents = 54,
    ciHelpTip = 55,
    ciHelpAbout = 56,
    ciFileProperties = 57,
    ciFilePrintSetup = 58,
    ciFilePageSetup = 59,
    ciViewGoToLine = 60,
    ciEditPasteSpecial = 61,
    ciViewIndex = 62,
    ciViewSearch = 63,
    ciHelpMail = 64,
    ciHelpHome = 65,
    ciEditSelectAll = 66,
    ciFileSaveAs = 67,
    ciFileExit = 68,
    ciViewToggleFocus = 69
};

// Pane page images of the navigation page control.
enum TQBPaneImage : int { piOutline = 0, piIndex = 1, piSearch = 2 };

// Outline state images: RootImageIndex and FolderImageIndex use siFolder, FolderSelectedIndex
// siFolderOpen, LeafImageIndex and LeafSelectedIndex siLeaf.
enum TQBStateImage : int { siArticle = 0, siLeaf = 1, siFolder = 2, siFolderOpen = 3 };

// Number of images in a list; valid indices run from 0 to the count − 1.
int QBImageCount(TQBImageList list);

// The image at index in list; a null icon for an index outside the list.
QIcon QBImage(TQBImageList list, int index);

QIcon QBCommandImage(int index);
QIcon QBStateImage(int index);
QIcon QBMarkerImage(int index);
QIcon QBPaneImage(int index);
QIcon QBPreviewImage(int index);

// The title bar glyph: the expand arrow while collapsed, the collapse arrow while expanded.
QIcon QBTitleGlyph(bool expanded);

// A command image with its colour bar (x 1 to 15, y 12 to 16 on the 16-unit grid) painted in
// colour: the foreground and background colour buttons show the colour they apply this way.
// Works for any command image; an invalid colour leaves the image as drawn.
QIcon QBCommandImageWithColorBar(int index, const QColor &colour);

// The greyed, faded picture used for the Disabled mode of every image.
QPixmap QBDisabledPixmap(const QPixmap &pixmap);

// The 349 × 215 picture of the splash window.
QPixmap QBSplashPixmap();
constexpr int QBSplashWidth = 349;
constexpr int QBSplashHeight = 215;

QIcon QBApplicationIcon();

// "tips.txt" among the program's resources: the build copies it beside the program, an installation
// into share/quillbox.
QString QBTipsFileName();
