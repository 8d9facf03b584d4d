// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "app/AppData.h"
#include "base/NVKDateTime.h"
#include "controls/ArticleRichEdit.h"
#include "controls/VtlFontComboBox.h"
#include "framework/NVKFormat.h"
#include "framework/QBStrings.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBColors.h"
#include "platform/QBDialogs.h"
#include "platform/QBImages.h"
#include "xml/IDMap.h"

#include <QAction>
#include <QBuffer>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

namespace {

const char TextFilter[] = "Text files (*.txt, *.rtf)|*.txt;*.rtf|All files (*.*)|*.*";
// Metafiles have no reader here, so the picture dialog offers what can be read instead.
const char PictureFilter[] =
    "All (*.jpg;*.jpeg;*.bmp;*.png;*.gif)|*.jpg;*.jpeg;*.bmp;*.png;*.gif|JPEG Image File (*.jpg)|*.jpg|"
    "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|PNG Images (*.png)|*.png|GIF Images (*.gif)|*.gif";

const char *const FontSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                 "20", "22", "24", "26", "28", "36", "48", "72"};
const char *const DateTimeFormats[] = {"ddddd", "dddddd", "c", "dddddd tt"};
constexpr int ColorCount = 16;
// The largest font size accepted, in points: a larger one would make a single glyph cost more
// memory than a page of text.
constexpr int MaxFontSize = 1638;

const QStringList CharMapPrograms{QStringLiteral("gucharmap"), QStringLiteral("kcharselect"),
                                  QStringLiteral("gnome-characters")};
const QStringList CalculatorPrograms{QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                     QStringLiteral("galculator"),       QStringLiteral("mate-calc"),
                                     QStringLiteral("qalculate-gtk"),    QStringLiteral("xcalc")};

// The swatch of a colour entry: a square outlined in black and filled with the colour.
QIcon ColorSwatch(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(color);
    painter.drawRect(QRect(2, 2, 12, 12));
    return QIcon(pixmap);
}

} // namespace

QAction *TFAppFrame::NewFormatAction(const QString &name, const QString &caption, const QString &hint, int image,
                                     const QKeySequence &shortcut)
{
    QAction *action = NewAction(name, caption, hint, image, shortcut);
    alStandard.removeOne(action);
    alFormat.append(action);
    return action;
}

void TFAppFrame::CreateFormatActions()
{
    const auto S = [](const char *text) { return QString::fromUtf8(text); };
    ViewTFormat = NewAction(S("ViewTFormat"), S("&Format"), S("Format toolbar|Show or hide the Format toolbar"));
    ViewTFormat->setCheckable(true);

    InsertPicture =
        NewAction(S("InsertPicture"), S("&Picture..."), S("Picture|Insert a picture from a file"), ciInsertPicture);
    InsertDateTime = NewAction(S("InsertDateTime"), S("Date/Time"), S("Date/Time|Insert the current date and time"),
                               ciInsertDateTime);
    InsertText = NewAction(S("InsertText"), S("&Text from file..."), S("Text from file|Insert the text of a file"),
                           ciInsertText);
    InsertCharMap = NewAction(S("InsertCharMap"), S("Character &map..."),
                              S("Character map|Start the character map to pick special characters"), ciInsertCharMap);
    InsertCalculator =
        NewAction(S("InsertCalculator"), S("&Calculator..."), S("Calculator|Start the calculator"), ciInsertCalculator);

    FormatFont =
        NewFormatAction(S("FormatFont"), S("&Font..."), S("Font|Change the font of the selection"), ciFormatFont);
    FormatBold = NewFormatAction(S("FormatBold"), S("&Bold"), S("Bold|Make the selection bold"), ciFormatBold,
                                 QKeySequence(S("Ctrl+B")));
    FormatItalic = NewFormatAction(S("FormatItalic"), S("&Italic"), S("Italic|Make the selection italic"),
                                   ciFormatItalic, QKeySequence(S("Ctrl+I")));
    FormatUnderline = NewFormatAction(S("FormatUnderline"), S("&Underline"), S("Underline|Underline the selection"),
                                      ciFormatUnderline, QKeySequence(S("Ctrl+U")));
    FormatStrikeout = NewFormatAction(S("FormatStrikeout"), S("&Strikeout"), S("Strikeout|Strike the selection out"),
                                      ciFormatStrikeout);
    FormatAlignLeft = NewFormatAction(S("FormatAlignLeft"), S("Align &Left"),
                                      S("Align left|Align the paragraph to the left"), ciFormatAlignLeft);
    FormatAlignCenter =
        NewFormatAction(S("FormatAlignCenter"), S("&Center"), S("Center|Center the paragraph"), ciFormatAlignCenter);
    FormatAlignRight = NewFormatAction(S("FormatAlignRight"), S("Align &Right"),
                                       S("Align right|Align the paragraph to the right"), ciFormatAlignRight);
    FormatNumbering =
        NewFormatAction(S("FormatNumbering"), S("&Numbering"), S("Numbering|Number the paragraphs"), ciFormatNumbering);
    FormatBullets = NewFormatAction(S("FormatBullets"), S("Bull&ets"), S("Bullets|Start the paragraphs with bullets"),
                                    ciFormatBullets);
    FormatSubscript = NewFormatAction(S("FormatSubscript"), S("Subs&cript"),
                                      S("Subscript|Lower the selection below the line"), ciFormatSubscript);
    FormatSuperscript = NewFormatAction(S("FormatSuperscript"), S("Su&perscript"),
                                        S("Superscript|Raise the selection above the line"), ciFormatSuperscript);
    for (QAction *toggle :
         {FormatBold, FormatItalic, FormatUnderline, FormatStrikeout, FormatAlignLeft, FormatAlignCenter,
          FormatAlignRight, FormatNumbering, FormatBullets, FormatSubscript, FormatSuperscript})
        toggle->setCheckable(true);
    FormatForeColor = NewFormatAction(S("FormatForeColor"), S("FormatForeColor"),
                                      S("Text colour|Colour the selected text"), ciFormatForeColor);
    FormatBackColor =
        NewFormatAction(S("FormatBackColor"), QString(),
                        S("Background colour|Colour the background of the selected text"), ciFormatBackColor);
    FormatClear = NewFormatAction(S("FormatClear"), S("&Clear"), S("Clear|Remove the formatting of the selection"),
                                  ciFormatClear);

    SetForeColor(clWindowTextColor);
    SetBackColor(clWindowColor);
}

void TFAppFrame::CreateFormatMenus(QMenu *insert, QMenu *format)
{
    insert->addActions({InsertHyperlink, InsertPicture, InsertObject});
    miDateTime = insert->addMenu(QBCommandImage(ciInsertDateTime), tr("&Date/Time"));
    miDateTime->setObjectName(QStringLiteral("miDateTime"));
    for (int i = 0; i < int(std::size(DateTimeFormats)); ++i) {
        QAction *entry = miDateTime->addAction(QString());
        entry->setObjectName(QStringLiteral("miDateTime%1").arg(i + 1));
        connect(entry, &QAction::triggered, this, [this, entry] { InsertDateTimeExecute(entry); });
    }
    miDateTime->addSeparator();
    miDateTime->addAction(InsertDateFormat);
    insert->addAction(InsertText);
    insert->addSeparator();
    insert->addActions({InsertCharMap, InsertCalculator});
    connect(insert, &QMenu::aboutToShow, this, &TFAppFrame::BuildDateTimeMenu);
    BuildDateTimeMenu();

    format->addActions({FormatFont, FormatParagraph});
    format->addSeparator();
    format->addActions({FormatBold, FormatItalic, FormatUnderline, FormatStrikeout});
    format->addSeparator();
    format->addActions({FormatSubscript, FormatSuperscript});
    format->addSeparator();
    format->addActions({FormatAlignLeft, FormatAlignCenter, FormatAlignRight});
    format->addSeparator();
    format->addActions({FormatNumbering, FormatBullets});
    format->addSeparator();
    format->addAction(FormatClear);
    connect(format, &QMenu::aboutToShow, this, &TFAppFrame::alFormatUpdate);

    pmForeColors = NewColorMenu(QStringLiteral("pmForeColors"), true);
    pmBackColors = NewColorMenu(QStringLiteral("pmBackColors"), false);
    BuildColorMenus();
}

QMenu *TFAppFrame::NewColorMenu(const QString &name, bool foreground)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(name);
    menu->addSeparator();
    QAction *automatic = menu->addAction(tr("Automatic"));
    automatic->setObjectName(name + QStringLiteral("Automatic"));
    connect(automatic, &QAction::triggered, this, [this, foreground] {
        if (foreground) {
            SetForeColor(clWindowTextColor);
            ApplyForeColor();
        } else {
            SetBackColor(clWindowColor);
            ApplyBackColor();
        }
    });
    QAction *more = menu->addAction(tr("More..."));
    more->setObjectName(name + QStringLiteral("More"));
    connect(more, &QAction::triggered, this, [this, foreground] { MoreColors(foreground); });
    return menu;
}

void TFAppFrame::CreateFormatToolbar()
{
    // Its own row: the three bars side by side would make the window wider than many screens.
    addToolBarBreak();
    tbFormat = addToolBar(tr("Format"));
    tbFormat->setObjectName(QStringLiteral("tbFormat"));
    cbFont = new TVtlFontComboBox(tbFormat);
    cbFont->setObjectName(QStringLiteral("cbFont"));
    cbFont->setFixedWidth(150);
    tbFormat->addWidget(cbFont);
    cbSize = new QComboBox(tbFormat);
    cbSize->setObjectName(QStringLiteral("cbSize"));
    cbSize->setEditable(true);
    // Every keystroke is a size of its own: no completion may turn "1" into "10" on the way to "12".
    cbSize->setCompleter(nullptr);
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    for (const char *size : FontSizes)
        cbSize->addItem(QString::fromLatin1(size));
    cbSize->setFixedWidth(cbSize->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 40);
    tbFormat->addWidget(cbSize);
    tbFormat->addSeparator();
    tbFormat->addActions({FormatBold, FormatItalic, FormatUnderline});
    tbFormat->addSeparator();
    tbFormat->addActions({FormatAlignLeft, FormatAlignCenter, FormatAlignRight});
    tbFormat->addSeparator();
    tbFormat->addActions({FormatNumbering, FormatBullets});
    tbFormat->addSeparator();
    tbFormat->addActions({FormatForeColor, FormatBackColor});
    const auto withMenu = [this](QAction *action, QMenu *menu) {
        if (auto *button = qobject_cast<QToolButton *>(tbFormat->widgetForAction(action))) {
            button->setMenu(menu);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    };
    withMenu(FormatForeColor, pmForeColors);
    withMenu(FormatBackColor, pmBackColors);
}

void TFAppFrame::ConnectFormatInsert()
{
    connect(ViewTFormat, &QAction::triggered, this, [this] {
        tbFormat->setVisible(tbFormat->isHidden());
        alStandardUpdate();
    });

    connect(FormatFont, &QAction::triggered, this, &TFAppFrame::FormatFontExecute);
    connect(FormatBold, &QAction::triggered, this, [this] { ToggleStyle(TRxTextAttributes::fsBold); });
    connect(FormatItalic, &QAction::triggered, this, [this] { ToggleStyle(TRxTextAttributes::fsItalic); });
    connect(FormatUnderline, &QAction::triggered, this, [this] { ToggleStyle(TRxTextAttributes::fsUnderline); });
    connect(FormatStrikeout, &QAction::triggered, this, [this] { ToggleStyle(TRxTextAttributes::fsStrikeOut); });
    const auto align = [this](QAction *action, int alignment) {
        connect(action, &QAction::triggered, this, [this, alignment] {
            RichEdit->Paragraph().SetAlignment(alignment);
            alFormatUpdate();
        });
    };
    align(FormatAlignLeft, TRxParaAttributes::paLeft);
    align(FormatAlignCenter, TRxParaAttributes::paCenter);
    align(FormatAlignRight, TRxParaAttributes::paRight);
    connect(FormatNumbering, &QAction::triggered, this, [this] { ToggleNumbering(TRxParaAttributes::nsNumber); });
    connect(FormatBullets, &QAction::triggered, this, [this] { ToggleNumbering(TRxParaAttributes::nsBullet); });
    connect(FormatSubscript, &QAction::triggered, this, [this] { ToggleSubscript(TRxTextAttributes::ssSubscript); });
    connect(FormatSuperscript, &QAction::triggered, this,
            [this] { ToggleSubscript(TRxTextAttributes::ssSuperscript); });
    connect(FormatForeColor, &QAction::triggered, this, &TFAppFrame::ApplyForeColor);
    connect(FormatBackColor, &QAction::triggered, this, &TFAppFrame::ApplyBackColor);
    connect(FormatClear, &QAction::triggered, this, &TFAppFrame::FormatClearExecute);

    connect(cbFont, &TVtlFontComboBox::changed, this, &TFAppFrame::cbFontChange);
    connect(cbSize, &QComboBox::editTextChanged, this, &TFAppFrame::cbSizeChange);
    connect(RichEdit, &QTextEdit::cursorPositionChanged, this, &TFAppFrame::alFormatUpdate);
    connect(RichEdit, &QTextEdit::currentCharFormatChanged, this, [this] {
        UpdateFormatStatus();
        alFormatUpdate();
    });

    connect(InsertPicture, &QAction::triggered, this, &TFAppFrame::InsertPictureExecute);
    // InsertDateTime stays unconnected: only the submenu's entries have a caption to insert.
    connect(InsertText, &QAction::triggered, this, &TFAppFrame::InsertTextExecute);
    connect(InsertCharMap, &QAction::triggered, this,
            [this] { StartDesktopProgram(CharMapPrograms, QBStrings::SNoCharMap); });
    connect(InsertCalculator, &QAction::triggered, this,
            [this] { StartDesktopProgram(CalculatorPrograms, QBStrings::SNoCalculator); });
}

void TFAppFrame::alFormatUpdate()
{
    if (!FormatBold)
        return;
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    const int style = attributes.Style();
    FormatBold->setChecked(style & TRxTextAttributes::fsBold);
    FormatItalic->setChecked(style & TRxTextAttributes::fsItalic);
    FormatUnderline->setChecked(style & TRxTextAttributes::fsUnderline);
    FormatStrikeout->setChecked(style & TRxTextAttributes::fsStrikeOut);
    const int subscript = attributes.SubscriptStyle();
    FormatSubscript->setChecked(subscript == TRxTextAttributes::ssSubscript);
    FormatSuperscript->setChecked(subscript == TRxTextAttributes::ssSuperscript);
    TRxParaAttributes &paragraph = RichEdit->Paragraph();
    const int alignment = paragraph.Alignment();
    FormatAlignLeft->setChecked(alignment == TRxParaAttributes::paLeft);
    FormatAlignCenter->setChecked(alignment == TRxParaAttributes::paCenter);
    FormatAlignRight->setChecked(alignment == TRxParaAttributes::paRight);
    const int numbering = paragraph.Numbering();
    FormatNumbering->setChecked(numbering == TRxParaAttributes::nsNumber);
    FormatBullets->setChecked(numbering == TRxParaAttributes::nsBullet);
}

void TFAppFrame::UpdateFormatStatus()
{
    if (!cbFont || !cbSize)
        return;
    const QScopedValueRollback<bool> updating(FUpdatingFormat, true);
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    cbFont->SetFontName(attributes.Name());
    const QString size = QString::number(attributes.Size());
    if (cbSize->currentText() != size)
        cbSize->setEditText(size);
}

void TFAppFrame::cbFontChange()
{
    if (FUpdatingFormat || cbFont->currentIndex() < 0)
        return;
    RichEdit->CurrentAttributes().SetName(cbFont->FontName());
}

void TFAppFrame::cbSizeChange(const QString &text)
{
    if (FUpdatingFormat)
        return;
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    const QString current = QString::number(attributes.Size());
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        const QScopedValueRollback<bool> updating(FUpdatingFormat, true);
        cbSize->setEditText(current);
        return;
    }
    bool ok = false;
    const int size = trimmed.toInt(&ok);
    // Sizes below one point or beyond the editor's largest are refused like any other bad text.
    if (!ok || size < 1 || size > MaxFontSize) {
        QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SInvalidFontSize, {text}));
        const QScopedValueRollback<bool> updating(FUpdatingFormat, true);
        cbSize->setEditText(current);
        return;
    }
    attributes.SetSize(size);
}

void TFAppFrame::ToggleStyle(int bit)
{
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    attributes.SetStyle(attributes.Style() ^ bit);
    alFormatUpdate();
}

void TFAppFrame::ToggleNumbering(int numbering)
{
    TRxParaAttributes &paragraph = RichEdit->Paragraph();
    paragraph.SetNumbering(paragraph.Numbering() != numbering ? numbering : int(TRxParaAttributes::nsNone));
    alFormatUpdate();
}

void TFAppFrame::ToggleSubscript(int style)
{
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    attributes.SetSubscriptStyle(attributes.SubscriptStyle() != style ? style : int(TRxTextAttributes::ssNone));
    alFormatUpdate();
}

void TFAppFrame::FormatFontExecute()
{
    TRxTextAttributes &attributes = RichEdit->CurrentAttributes();
    QFont font(attributes.Name());
    if (attributes.Size() > 0)
        font.setPointSize(attributes.Size());
    const int style = attributes.Style();
    font.setBold(style & TRxTextAttributes::fsBold);
    font.setItalic(style & TRxTextAttributes::fsItalic);
    font.setUnderline(style & TRxTextAttributes::fsUnderline);
    font.setStrikeOut(style & TRxTextAttributes::fsStrikeOut);
    // Qt's own font dialog, so that a colour row can join it: the desktop's dialogs have none.
    QFontDialog dialog(font, this);
    dialog.setObjectName(QStringLiteral("FontDialog"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    QComboBox *cbColor = AddFontColorRow(dialog, attributes.Color());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QFont chosen = dialog.selectedFont();
    QTextCharFormat change;
    if (const QColor color = cbColor->currentData().value<QColor>(); color.isValid())
        change.setForeground(color);
    change.setFontFamilies(QStringList{chosen.family()});
    if (chosen.pointSizeF() > 0)
        change.setFontPointSize(qBound(1, qRound(chosen.pointSizeF()), MaxFontSize));
    change.setFontWeight(chosen.bold() ? QFont::Bold : QFont::Normal);
    change.setFontItalic(chosen.italic());
    change.setFontUnderline(chosen.underline());
    change.setFontStrikeOut(chosen.strikeOut());
    RichEdit->CurrentAttributes().Merge(change);
    UpdateFormatStatus();
    alFormatUpdate();
}

QComboBox *TFAppFrame::AddFontColorRow(QFontDialog &dialog, const QColor &current)
{
    auto *label = new QLabel(tr("&Colour:"), &dialog);
    label->setObjectName(QStringLiteral("lblColor"));
    auto *combo = new QComboBox(&dialog);
    combo->setObjectName(QStringLiteral("cbColor"));
    label->setBuddy(combo);
    const QString colorType = QStringLiteral("TColor");
    for (const QString &name : IdentNames(colorType).mid(0, ColorCount)) {
        const QColor color = TColorToQColor(IdentToInt(colorType, name));
        combo->addItem(ColorSwatch(color), LocalColorCaption(name), color);
    }
    // A colour of none of the sixteen is offered as it is, so OK keeps it.
    int row = combo->findData(current);
    if (row < 0 && current.isValid()) {
        combo->addItem(ColorSwatch(current), current.name(QColor::HexRgb), current);
        row = combo->count() - 1;
    }
    combo->setCurrentIndex(qMax(0, row));
    // The row goes above the buttons: take them out of the grid and put them back below it.
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    if (grid && buttons) {
        int index = grid->indexOf(buttons);
        int buttonRow = 0, column = 0, rowSpan = 1, columnSpan = 1;
        grid->getItemPosition(index, &buttonRow, &column, &rowSpan, &columnSpan);
        grid->removeWidget(buttons);
        auto *colorRow = new QHBoxLayout;
        colorRow->addWidget(label);
        colorRow->addWidget(combo, 1);
        grid->addLayout(colorRow, buttonRow, column, 1, columnSpan);
        grid->addWidget(buttons, buttonRow + 1, column, rowSpan, columnSpan);
    } else if (dialog.layout()) {
        dialog.layout()->addWidget(label);
        dialog.layout()->addWidget(combo);
    }
    return combo;
}

void TFAppFrame::FormatClearExecute()
{
    QTextCursor cursor = RichEdit->textCursor();
    if (!cursor.hasSelection())
        return;
    // The selection comes back as its plain text (objects left out) in the default format.
    QString text = cursor.selectedText();
    text.remove(QChar::ObjectReplacementCharacter);
    const int start = cursor.selectionStart();
    cursor.beginEditBlock();
    cursor.insertText(text, RichEdit->DefAttributes().Format());
    cursor.endEditBlock();
    const int end = cursor.position();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    RichEdit->setTextCursor(cursor);
    UpdateFormatStatus();
    alFormatUpdate();
}

QString TFAppFrame::LocalColorCaption(const QString &colorName) const
{
    // Named "SColor" + the name without "cl" ("SColorMoneyGreen") in the language file.
    const QString caption = ColorCaption(colorName);
    const QString key =
        QStringLiteral("SColor") + (colorName.startsWith(QLatin1String("cl")) ? colorName.mid(2) : colorName);
    return xlAppFrame ? xlAppFrame->GetString(key, caption) : caption;
}

QString TFAppFrame::ColorCaption(const QString &colorName)
{
    const QString name = colorName.startsWith(QLatin1String("cl")) ? colorName.mid(2) : colorName;
    QString caption;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (i > 0 && name.at(i).isUpper())
            caption += QLatin1Char(' ');
        caption += name.at(i);
    }
    return caption;
}

void TFAppFrame::BuildColorMenus()
{
    const QString colorType = QStringLiteral("TColor");
    const QStringList names = IdentNames(colorType).mid(0, ColorCount);
    for (QMenu *menu : {pmForeColors, pmBackColors}) {
        const bool foreground = menu == pmForeColors;
        // Colour entries carry their colour; the separator, "Automatic" and "More..." carry none.
        for (QAction *entry : menu->actions())
            if (entry->data().isValid())
                delete entry;
        for (const QString &name : names) {
            const TColor color = IdentToInt(colorType, name);
            auto *entry = new QAction(ColorSwatch(TColorToQColor(color)), LocalColorCaption(name), menu);
            entry->setData(color);
            entry->setIconVisibleInMenu(true);
            menu->insertAction(menu->actions().value(0), entry);
            connect(entry, &QAction::triggered, this, [this, color, foreground] {
                if (foreground) {
                    SetForeColor(color);
                    ApplyForeColor();
                } else {
                    SetBackColor(color);
                    ApplyBackColor();
                }
            });
        }
    }
    FColorItems = int(names.size());
}

void TFAppFrame::SetForeColor(TColor color)
{
    FForeColor = color;
    FormatForeColor->setIcon(QBCommandImageWithColorBar(ciFormatForeColor, TColorToQColor(color)));
}

void TFAppFrame::SetBackColor(TColor color)
{
    FBackColor = color;
    FormatBackColor->setIcon(QBCommandImageWithColorBar(ciFormatBackColor, TColorToQColor(color)));
}

void TFAppFrame::ApplyForeColor()
{
    RichEdit->CurrentAttributes().SetColor(TColorToQColor(FForeColor));
}

void TFAppFrame::ApplyBackColor()
{
    // The window colour is "Automatic": the text shows the editor's background instead of a
    // highlight of its own, so it follows a later change of the editor colour.
    RichEdit->CurrentAttributes().SetBackColor(FBackColor == clWindowColor ? QColor() : TColorToQColor(FBackColor));
}

void TFAppFrame::MoreColors(bool foreground)
{
    QColorDialog dialog(TColorToQColor(foreground ? FForeColor : FBackColor), this);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return;
    const TColor color = QColorToTColor(dialog.selectedColor());
    if (foreground) {
        SetForeColor(color);
        ApplyForeColor();
    } else {
        SetBackColor(color);
        ApplyBackColor();
    }
}

void TFAppFrame::BuildDateTimeMenu()
{
    if (!miDateTime)
        return;
    const TDateTime now = Now();
    const QList<QAction *> entries = miDateTime->actions();
    for (int i = 0; i < int(std::size(DateTimeFormats)) && i < entries.size(); ++i)
        entries[i]->setText(FormatDateTime(QString::fromLatin1(DateTimeFormats[i]), now));
}

void TFAppFrame::InsertDateTimeExecute(QAction *entry)
{
    if (!entry || !miDateTime || !miDateTime->actions().contains(entry))
        return;
    RichEdit->SetSelText(entry->text());
}

void TFAppFrame::InsertPictureExecute()
{
    const QString fileName = QBDialogs::OpenFileName(this, QString::fromLatin1(PictureFilter), QString());
    if (fileName.isEmpty())
        return;
    // A file that is no picture raises the reader's error for the application to show.
    RichEdit->InsertPicture(fileName);
}

void TFAppFrame::InsertTextExecute()
{
    const QString fileName = QBDialogs::OpenFileName(this, QString::fromLatin1(TextFilter), QString());
    if (fileName.isEmpty())
        return;
    std::optional<QByteArray> read = ReadChosenFile(fileName);
    if (!read)
        return;
    QByteArray bytes = std::move(*read);
    // Read as lines, every line keeps its line break, the last one too.
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes.append("\r\n");
    QByteArray text = bytes;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    RichEdit->StreamIn(buffer, sfPlainText, TVtlStreamModes(smSelection));
}

std::optional<QByteArray> TFAppFrame::ReadChosenFile(const QString &fileName, qint64 maxBytes)
{
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes + 1);
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        QBDialogs::Warning(this,
                           QBFormatStr(QBAppLocalizer(), QBStrings::SCannotReadFile, {fileName, file.errorString()}));
        return std::nullopt;
    }
    return bytes;
}

void TFAppFrame::StartDesktopProgram(const QStringList &programs, const TQBNamedText &missing)
{
    for (const QString &program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            continue;
        if (!QProcess::startDetached(path, {}))
            QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotStartProgram, {path}));
        return;
    }
    QBDialogs::Warning(this, QBLoadStr(QBAppLocalizer(), missing));
}
