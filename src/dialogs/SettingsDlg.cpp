// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "SettingsDlg.h"

#include "FontEditor.h"
#include "QBVersion.h"
#include "base/NVKErrors.h"
#include "base/NVKSaveFile.h"
#include "framework/NVKFormat.h"
#include "framework/NVKLang.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBColors.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"
#include "platform/QBShell.h"
#include "services/QBSettingsSvc.h"
#include "xml/IDMap.h"
#include "xml/MSXMLDoc.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char *const BackupMasks[] = {"*.~*", "~*.*", "*.backup", "*.*.backup", "*.old", "*.*.old"};

// The colours a colour box names, in its order; custom colours follow them.
struct TNamedColor
{
    const char *Ident;
    const char *Caption;
};
const TNamedColor NamedColors[] = {
    {"clBlack", "Black"},         {"clMaroon", "Maroon"},
    {"clGreen", "Green"},         {"clOlive", "Olive"},
    {"clNavy", "Navy"},           {"clPurple", "Purple"},
    {"clTeal", "Teal"},           {"clGray", "Gray"},
    {"clSilver", "Silver"},       {"clRed", "Red"},
    {"clLime", "Lime"},           {"clYellow", "Yellow"},
    {"clBlue", "Blue"},           {"clFuchsia", "Fuchsia"},
    {"clAqua", "Aqua"},           {"clWhite", "White"},
    {"clWindow", "Window"},       {"clInfoBk", "Info background"},
    {"clBtnFace", "Button face"},
};

QIcon colorSwatch(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(color);
    painter.drawRect(QRect(2, 2, 12, 12));
    return QIcon(pixmap);
}

TColor identColor(const char *ident)
{
    return TColor(IdentToInt(QStringLiteral("TColor"), QString::fromLatin1(ident)));
}

// A language's name becomes a folder name: anything that could leave the language folder or that
// a file system refuses makes the file invalid.
bool isSafeFolderName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 100)
        return false;
    for (const QChar c : name) {
        if (c < QChar(0x20) || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('<') ||
            c == QLatin1Char('>') || c == QLatin1Char('|'))
            return false;
    }
    return true;
}

template <class Control> Control *named(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

TFSettingsDlg::TFSettingsDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FSettingsDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Settings"));
    const auto S = [](const char *text) { return QString::fromUtf8(text); };

    pcSettings = named(new QTabWidget(this), "pcSettings");
    // All six pages stay in sight: the dialog grows to the width of their tabs.
    pcSettings->setUsesScrollButtons(false);

    // Preferences.
    QWidget *page = NewPage("tsPreferences", "Preferences", HelpContext + 1);
    auto *gbStartup = named(new QGroupBox(S(" Startup actions"), page), "gbStartup");
    rbNewDocument = named(new QRadioButton(S("Create &new document"), gbStartup), "rbNewDocument");
    rbRecentDocument = named(new QRadioButton(S("Open &recent document"), gbStartup), "rbRecentDocument");
    rbThisDocument = named(new QRadioButton(S("Open &this document"), gbStartup), "rbThisDocument");
    edStartupDocument = named(new QLineEdit(gbStartup), "edStartupDocument");
    edStartupDocument->setMaxLength(256);
    btnBrowse = QBNewButton(gbStartup, "btnBrowse", "&Browse...");
    auto *startupLayout = new QGridLayout(gbStartup);
    startupLayout->addWidget(rbNewDocument, 0, 0, 1, 2);
    startupLayout->addWidget(rbRecentDocument, 1, 0, 1, 2);
    startupLayout->addWidget(rbThisDocument, 2, 0, 1, 2);
    startupLayout->addWidget(edStartupDocument, 3, 0);
    startupLayout->addWidget(btnBrowse, 3, 1);
    cbShowTips = named(new QCheckBox(S("Show tips at startup"), page), "cbShowTips");
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbStartup);
    pageLayout->addWidget(cbShowTips);
    pageLayout->addStretch();

    // Document.
    page = NewPage("tsDocument", "Document", HelpContext + 2);
    auto *gbBackup = named(new QGroupBox(S(" Backup policy"), page), "gbBackup");
    cbAutosave = named(new QCheckBox(S("Enable &autosave"), gbBackup), "cbAutosave");
    lblAutosaveInterval = named(new QLabel(S("Autosave &interval (minutes):"), gbBackup), "lblAutosaveInterval");
    seAutosaveInterval = named(new QSpinBox(gbBackup), "seAutosaveInterval");
    seAutosaveInterval->setRange(1, 600);
    seAutosaveInterval->setSingleStep(5);
    seAutosaveInterval->setValue(10);
    lblAutosaveInterval->setBuddy(seAutosaveInterval);
    cbCreateBackups = named(new QCheckBox(S("Create &backup files"), gbBackup), "cbCreateBackups");
    cbBackupFirstTime = named(new QCheckBox(S("When saved for the &first time only"), gbBackup), "cbBackupFirstTime");
    lblBackupMask = named(new QLabel(S("Backup filename &mask:"), gbBackup), "lblBackupMask");
    cbBackupMask = named(new QComboBox(gbBackup), "cbBackupMask");
    for (const char *mask : BackupMasks)
        cbBackupMask->addItem(QString::fromLatin1(mask));
    lblBackupMask->setBuddy(cbBackupMask);
    auto *backupLayout = new QGridLayout(gbBackup);
    backupLayout->addWidget(cbAutosave, 0, 0, 1, 2);
    backupLayout->addWidget(lblAutosaveInterval, 1, 0);
    backupLayout->addWidget(seAutosaveInterval, 1, 1);
    backupLayout->addWidget(cbCreateBackups, 2, 0, 1, 2);
    backupLayout->addWidget(cbBackupFirstTime, 3, 0, 1, 2);
    backupLayout->addWidget(lblBackupMask, 4, 0);
    backupLayout->addWidget(cbBackupMask, 4, 1);
    auto *gbDefaults = named(new QGroupBox(S(" Document defaults"), page), "gbDefaults");
    auto *lblEncoding = named(new QLabel(S("&Encoding:"), gbDefaults), "lblEncoding");
    cbEncoding = named(new QComboBox(gbDefaults), "cbEncoding");
    cbEncoding->setEditable(true);
    cbEncoding->lineEdit()->setMaxLength(128);
    cbEncoding->setInsertPolicy(QComboBox::NoInsert);
    lblEncoding->setBuddy(cbEncoding);
    auto *lblAuthor = named(new QLabel(S("&Author:"), gbDefaults), "lblAuthor");
    edAuthor = named(new QLineEdit(gbDefaults), "edAuthor");
    lblAuthor->setBuddy(edAuthor);
    auto *lblCopyright = named(new QLabel(S("&Copyright:"), gbDefaults), "lblCopyright");
    edCopyright = named(new QLineEdit(gbDefaults), "edCopyright");
    lblCopyright->setBuddy(edCopyright);
    cbAutoRevision = named(new QCheckBox(S("Autoincrement &revision number"), gbDefaults), "cbAutoRevision");
    auto *defaultsLayout = new QGridLayout(gbDefaults);
    defaultsLayout->addWidget(lblEncoding, 0, 0);
    defaultsLayout->addWidget(cbEncoding, 0, 1);
    defaultsLayout->addWidget(lblAuthor, 1, 0);
    defaultsLayout->addWidget(edAuthor, 1, 1);
    defaultsLayout->addWidget(lblCopyright, 2, 0);
    defaultsLayout->addWidget(edCopyright, 2, 1);
    defaultsLayout->addWidget(cbAutoRevision, 3, 0, 1, 2);
    pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbBackup);
    pageLayout->addWidget(gbDefaults);
    pageLayout->addStretch();

    // Editor.
    page = NewPage("tsEditor", "Editor", HelpContext + 3);
    auto *gbOptions = named(new QGroupBox(S(" Options"), page), "gbOptions");
    auto *lblUndoLimit = named(new QLabel(S("&Undo buffer limit:"), gbOptions), "lblUndoLimit");
    seUndoLimit = named(new QSpinBox(gbOptions), "seUndoLimit");
    seUndoLimit->setRange(0, 1000);
    seUndoLimit->setSingleStep(10);
    seUndoLimit->setValue(100);
    lblUndoLimit->setBuddy(seUndoLimit);
    cbWordWrap = named(new QCheckBox(S("&Word wrap"), gbOptions), "cbWordWrap");
    cbWordSelection = named(new QCheckBox(S("&Automatic word selection"), gbOptions), "cbWordSelection");
    cbInplaceActivation = named(new QCheckBox(S("&Inplace object activation"), gbOptions), "cbInplaceActivation");
    cbSelectionBar = named(new QCheckBox(S("Show &selection bar"), gbOptions), "cbSelectionBar");
    // Kept for the settings they carry; the find and replace commands decide for themselves.
    cbFindWordAtCursor = named(new QCheckBox(S("&Find word at cursor"), gbOptions), "cbFindWordAtCursor");
    cbReplaceWordAtCursor = named(new QCheckBox(S("&Replace word at cursor"), gbOptions), "cbReplaceWordAtCursor");
    cbFindWordAtCursor->setVisible(false);
    cbReplaceWordAtCursor->setVisible(false);
    auto *optionsLayout = new QGridLayout(gbOptions);
    optionsLayout->addWidget(lblUndoLimit, 0, 0);
    optionsLayout->addWidget(seUndoLimit, 0, 1);
    int row = 1;
    for (QCheckBox *box :
         {cbWordWrap, cbWordSelection, cbInplaceActivation, cbSelectionBar, cbFindWordAtCursor, cbReplaceWordAtCursor})
        optionsLayout->addWidget(box, row++, 0, 1, 2);
    pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbOptions);
    pageLayout->addStretch();

    // Fonts.
    page = NewPage("tsFonts", "Fonts", HelpContext + 4);
    auto *gbFonts = named(new QGroupBox(S(" Fonts"), page), "gbFonts");
    auto *lblEditorFont = named(new QLabel(S("&Editor default:"), gbFonts), "lblEditorFont");
    feEditor = named(new TFontEditor(gbFonts), "feEditor");
    btnEditorFont = QBNewButton(gbFonts, "btnEditorFont", "Change...");
    lblEditorFont->setBuddy(btnEditorFont);
    auto *lblTitleFont = named(new QLabel(S("&Article title:"), gbFonts), "lblTitleFont");
    feTitle = named(new TFontEditor(gbFonts), "feTitle");
    btnTitleFont = QBNewButton(gbFonts, "btnTitleFont", "Change...");
    lblTitleFont->setBuddy(btnTitleFont);
    auto *fontsLayout = new QGridLayout(gbFonts);
    fontsLayout->addWidget(lblEditorFont, 0, 0, 1, 2);
    fontsLayout->addWidget(feEditor, 1, 0);
    fontsLayout->addWidget(btnEditorFont, 1, 1);
    fontsLayout->addWidget(lblTitleFont, 2, 0, 1, 2);
    fontsLayout->addWidget(feTitle, 3, 0);
    fontsLayout->addWidget(btnTitleFont, 3, 1);
    fontsLayout->setColumnStretch(0, 1);
    pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbFonts);
    pageLayout->addStretch();

    // Appearance.
    page = NewPage("tsAppearance", "Appearance", HelpContext + 5);
    auto *gbColors = named(new QGroupBox(S("Colors"), page), "gbColors");
    auto *colorsLayout = new QGridLayout(gbColors);
    const char *const colorLabels[ColorBoxCount][2] = {{"lblOutlineColor", "&Outline background:"},
                                                       {"lblIndexColor", "&Index background:"},
                                                       {"lblTitleColor", "&Title background:"},
                                                       {"lblEditorColor", "&Editor background:"}};
    const char *const colorBoxes[ColorBoxCount][2] = {{"clbOutline", "cbOutlineDefault"},
                                                      {"clbIndex", "cbIndexDefault"},
                                                      {"clbTitle", "cbTitleDefault"},
                                                      {"clbEditor", "cbEditorDefault"}};
    for (int tag = 0; tag < ColorBoxCount; ++tag) {
        auto *label = named(new QLabel(S(colorLabels[tag][1]), gbColors), colorLabels[tag][0]);
        clbColors[tag] = named(new QComboBox(gbColors), colorBoxes[tag][0]);
        FillColorBox(clbColors[tag]);
        label->setBuddy(clbColors[tag]);
        cbDefaultColors[tag] = named(new QCheckBox(S("Use default"), gbColors), colorBoxes[tag][1]);
        colorsLayout->addWidget(label, tag, 0);
        colorsLayout->addWidget(clbColors[tag], tag, 1);
        colorsLayout->addWidget(cbDefaultColors[tag], tag, 2);
        connect(cbDefaultColors[tag], &QCheckBox::toggled, this, [this, tag] { ColorDefaultClick(tag); });
        connect(clbColors[tag], &QComboBox::currentIndexChanged, this, &TFSettingsDlg::SetModified);
    }
    pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbColors);
    pageLayout->addStretch();

    // Language.
    page = NewPage("tsLanguage", "Language", HelpContext + 6);
    auto *gbLanguages = named(new QGroupBox(S("Languages"), page), "gbLanguages");
    lbLanguages = named(new QListWidget(gbLanguages), "lbLanguages");
    btnAdd = QBNewButton(gbLanguages, "btnAdd", "&Add...");
    lblDownload = named(new QLabel(S("Download more languages"), gbLanguages), "lblDownload");
    QFont linkFont = lblDownload->font();
    linkFont.setUnderline(true);
    lblDownload->setFont(linkFont);
    QPalette linkPalette = lblDownload->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    lblDownload->setPalette(linkPalette);
    lblDownload->setCursor(Qt::PointingHandCursor);
    lblDownload->installEventFilter(this);
    auto *languagesLayout = new QGridLayout(gbLanguages);
    languagesLayout->addWidget(lbLanguages, 0, 0, 1, 2);
    languagesLayout->addWidget(btnAdd, 1, 0);
    languagesLayout->addWidget(lblDownload, 1, 1, Qt::AlignRight);
    pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(gbLanguages);

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnApply = QBNewButton(this, "btnApply", "&Apply");
    btnHelp = QBNewButton(this, "btnHelp", "Help");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcSettings, 1);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnApply, btnHelp}));

    for (QAbstractButton *box : std::initializer_list<QAbstractButton *>{
             rbNewDocument, rbRecentDocument, rbThisDocument, cbShowTips, cbAutosave, cbCreateBackups,
             cbBackupFirstTime, cbAutoRevision, cbWordWrap, cbWordSelection, cbInplaceActivation, cbSelectionBar,
             cbFindWordAtCursor, cbReplaceWordAtCursor})
        connect(box, &QAbstractButton::toggled, this, &TFSettingsDlg::SetModified);
    for (QLineEdit *edit : {edStartupDocument, edAuthor, edCopyright})
        connect(edit, &QLineEdit::textChanged, this, &TFSettingsDlg::SetModified);
    for (QSpinBox *spin : {seAutosaveInterval, seUndoLimit})
        connect(spin, &QSpinBox::valueChanged, this, &TFSettingsDlg::SetModified);
    connect(cbBackupMask, &QComboBox::currentIndexChanged, this, &TFSettingsDlg::SetModified);
    connect(cbEncoding, &QComboBox::editTextChanged, this, &TFSettingsDlg::SetModified);
    connect(lbLanguages, &QListWidget::currentRowChanged, this, &TFSettingsDlg::SetModified);
    connect(btnBrowse, &QPushButton::clicked, this, &TFSettingsDlg::btnBrowseClick);
    for (TFontEditor *fonts : {feEditor, feTitle})
        connect(fonts, &TFontEditor::fontChanged, this, &TFSettingsDlg::SetModified);
    connect(btnEditorFont, &QPushButton::clicked, this, [this] {
        if (feEditor->Edit())
            SetModified();
    });
    connect(btnTitleFont, &QPushButton::clicked, this, [this] {
        if (feTitle->Edit())
            SetModified();
    });
    connect(btnAdd, &QPushButton::clicked, this, &TFSettingsDlg::btnAddClick);
    connect(btnOK, &QPushButton::clicked, this, &TFSettingsDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnApply, &QPushButton::clicked, this, &TFSettingsDlg::btnApplyClick);
    connect(btnHelp, &QPushButton::clicked, this, &TFSettingsDlg::btnHelpClick);

    xlSettings = QBNewLocalizer(this, "xlSettings");
    xlSettings->Loaded();
    pcSettings->setCurrentIndex(0);
    UpdateEnabled();
    ClearModified();
}

QWidget *TFSettingsDlg::NewPage(const char *name, const char *caption, int helpContext)
{
    auto *page = new QWidget(pcSettings);
    page->setObjectName(QString::fromLatin1(name));
    QBSetHelpContext(page, helpContext);
    pcSettings->addTab(page, QString::fromUtf8(caption));
    return page;
}

void TFSettingsDlg::FillColorBox(QComboBox *box)
{
    for (const TNamedColor &named : NamedColors) {
        const TColor color = identColor(named.Ident);
        box->addItem(colorSwatch(TColorToQColor(color)), QString::fromUtf8(named.Caption), color);
    }
    // The colour dialog's custom colours that were set (unset ones are white).
    for (int slot = 0; slot < QColorDialog::customCount(); ++slot) {
        const QColor custom = QColorDialog::customColor(slot);
        if (!custom.isValid() || custom == QColor(Qt::white))
            continue;
        const TColor color = QColorToTColor(custom);
        if (box->findData(color) < 0)
            box->addItem(colorSwatch(custom), custom.name(QColor::HexRgb).toUpper(), color);
    }
}

TColor TFSettingsDlg::SelectedColor(int tag) const
{
    if (tag < 0 || tag >= ColorBoxCount)
        return clWindowColor;
    if (cbDefaultColors[tag]->isChecked())
        return clWindowColor;
    const QVariant data = clbColors[tag]->currentData();
    return data.isValid() ? TColor(data.toInt()) : clWindowColor;
}

void TFSettingsDlg::SelectColor(int tag, TColor color)
{
    if (tag < 0 || tag >= ColorBoxCount)
        return;
    QComboBox *box = clbColors[tag];
    int index = box->findData(color);
    if (index < 0) {
        // A stored colour none of the entries has is offered as it is, so OK keeps it.
        box->addItem(colorSwatch(TColorToQColor(color)), TColorToQColor(color).name(QColor::HexRgb).toUpper(), color);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
    cbDefaultColors[tag]->setChecked(color == clWindowColor);
    box->setEnabled(color != clWindowColor);
}

void TFSettingsDlg::ColorDefaultClick(int tag)
{
    const bool useDefault = cbDefaultColors[tag]->isChecked();
    if (useDefault)
        clbColors[tag]->setCurrentIndex(clbColors[tag]->findData(clWindowColor));
    clbColors[tag]->setEnabled(!useDefault);
    SetModified();
}

void TFSettingsDlg::SetModified()
{
    if (!FLoading) {
        FModified = true;
        btnApply->setEnabled(true);
    }
    UpdateEnabled();
}

void TFSettingsDlg::ClearModified()
{
    FModified = false;
    btnApply->setEnabled(false);
}

void TFSettingsDlg::UpdateEnabled()
{
    lblAutosaveInterval->setEnabled(cbAutosave->isChecked());
    seAutosaveInterval->setEnabled(cbAutosave->isChecked());
    cbBackupFirstTime->setEnabled(cbCreateBackups->isChecked());
    lblBackupMask->setEnabled(cbCreateBackups->isChecked());
    cbBackupMask->setEnabled(cbCreateBackups->isChecked());
    edStartupDocument->setEnabled(rbThisDocument->isChecked());
    btnBrowse->setEnabled(rbThisDocument->isChecked());
}

bool TFSettingsDlg::Execute()
{
    LoadControls();
    return exec() == QDialog::Accepted;
}

void TFSettingsDlg::LoadControls()
{
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    FLoading = true;
    const IQBHistoryListPtr encodings = settings->LoadHistoryList(QStringLiteral("Encodings"));
    encodings->Add(QStringLiteral("UTF-8"));
    cbEncoding->clear();
    for (int i = 0; i < encodings->GetCount(); ++i)
        cbEncoding->addItem(encodings->GetItem(i));

    switch (settings->GetStartupAction()) {
    case 2:
        rbThisDocument->setChecked(true);
        break;
    case 1:
        rbRecentDocument->setChecked(true);
        break;
    default:
        rbNewDocument->setChecked(true);
        break;
    }
    edStartupDocument->setText(settings->GetStartupDocument());
    cbShowTips->setChecked(settings->GetShowTips());
    cbEncoding->setEditText(settings->GetEncoding());
    edAuthor->setText(settings->GetAuthor());
    edCopyright->setText(settings->GetCopyright());
    cbAutoRevision->setChecked(settings->GetAutoRevision());
    cbWordWrap->setChecked(settings->GetWordWrap());
    cbWordSelection->setChecked(settings->GetWordSelection());
    cbFindWordAtCursor->setChecked(settings->GetFindWordAtCursor());
    cbReplaceWordAtCursor->setChecked(settings->GetReplaceWordAtCursor());
    cbInplaceActivation->setChecked(settings->GetInplaceActivation());
    cbSelectionBar->setChecked(settings->GetSelectionBar());
    seUndoLimit->setValue(settings->GetUndoLimit());
    cbAutosave->setChecked(settings->GetAutosave());
    seAutosaveInterval->setValue(settings->GetAutosaveInterval());
    cbCreateBackups->setChecked(settings->GetCreateBackups());
    cbBackupFirstTime->setChecked(settings->GetBackupFirstTime());
    cbBackupMask->setCurrentIndex(cbBackupMask->findText(settings->GetBackupMask()));
    feEditor->SetFontDescriptor(settings->GetEditorFont());
    feTitle->SetFontDescriptor(settings->GetTitleFont());

    SelectColor(ctOutline, settings->GetOutlineColor());
    SelectColor(ctIndex, settings->GetIndexColor());
    SelectColor(ctTitle, settings->GetTitleColor());
    SelectColor(ctEditor, settings->GetEditorColor());

    lbLanguages->clear();
    if (const INVKLocalizationServicePtr localization = LocalizationService()) {
        for (int i = 0; i < localization->GetLanguageCount(); ++i)
            lbLanguages->addItem(localization->GetLanguage(i));
        lbLanguages->setCurrentRow(localization->GetLanguageIndex());
    }
    FLoading = false;
    UpdateEnabled();
    ClearModified();
}

void TFSettingsDlg::ShowError(QWidget *page, QWidget *control, const QString &text)
{
    pcSettings->setCurrentWidget(page);
    control->setFocus();
    QBDialogs::Warning(this, text);
}

bool TFSettingsDlg::ValidateControls()
{
    if (rbThisDocument->isChecked() && edStartupDocument->text().trimmed().isEmpty()) {
        ShowError(pcSettings->widget(0), edStartupDocument, QBLoadStr(xlSettings, QBStrings::SNoFileName));
        return false;
    }
    // Only an encoding the XML layer can read and write becomes the default of new documents.
    try {
        TMSXMLDocument probe;
        probe.LoadXML(
            Format(QStringLiteral("<?xml version=\"1.0\" encoding=\"%s\"?><a></a>"), {cbEncoding->currentText()}));
    } catch (const Exception &error) {
        ShowError(pcSettings->widget(1), cbEncoding,
                  QBFormatStr(xlSettings, QBStrings::SInvalidEncoding, {error.Message()}));
        return false;
    }
    return true;
}

bool TFSettingsDlg::SaveControls()
{
    if (!FModified)
        return true;
    if (!ValidateControls())
        return false;
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return false;
    settings->BeginUpdate();
    try {
        settings->SetStartupAction(rbThisDocument->isChecked() ? 2 : rbRecentDocument->isChecked() ? 1 : 0);
        settings->SetStartupDocument(edStartupDocument->text());
        settings->SetShowTips(cbShowTips->isChecked());
        settings->SetEncoding(cbEncoding->currentText());
        settings->SetAuthor(edAuthor->text());
        settings->SetCopyright(edCopyright->text());
        settings->SetAutoRevision(cbAutoRevision->isChecked());
        settings->SetWordWrap(cbWordWrap->isChecked());
        settings->SetWordSelection(cbWordSelection->isChecked());
        settings->SetFindWordAtCursor(cbFindWordAtCursor->isChecked());
        settings->SetReplaceWordAtCursor(cbReplaceWordAtCursor->isChecked());
        settings->SetInplaceActivation(cbInplaceActivation->isChecked());
        settings->SetSelectionBar(cbSelectionBar->isChecked());
        settings->SetUndoLimit(seUndoLimit->value());
        settings->SetAutosave(cbAutosave->isChecked());
        settings->SetAutosaveInterval(seAutosaveInterval->value());
        settings->SetCreateBackups(cbCreateBackups->isChecked());
        settings->SetBackupFirstTime(cbBackupFirstTime->isChecked());
        if (cbBackupMask->currentIndex() >= 0)
            settings->SetBackupMask(cbBackupMask->currentText());
        settings->SetEditorFont(feEditor->FontDescriptor());
        settings->SetTitleFont(feTitle->FontDescriptor());
        settings->SetOutlineColor(SelectedColor(ctOutline));
        settings->SetIndexColor(SelectedColor(ctIndex));
        settings->SetTitleColor(SelectedColor(ctTitle));
        settings->SetEditorColor(SelectedColor(ctEditor));
        if (const QListWidgetItem *language = lbLanguages->currentItem())
            settings->SetLanguage(language->text());

        // The typed encoding ends on top of the ones offered before.
        const IQBHistoryListPtr encodings = settings->CreateHistoryList();
        for (int i = cbEncoding->count() - 1; i >= 0; --i)
            encodings->Add(cbEncoding->itemText(i));
        encodings->Add(cbEncoding->currentText());
        settings->SaveHistoryList(QStringLiteral("Encodings"), encodings);
    } catch (...) {
        settings->EndUpdate();
        throw;
    }
    // The notice makes the program apply the new values, the language among them, so the
    // language's texts must not be read from this dialog's controls after it.
    ClearModified();
    settings->EndUpdate();
    return true;
}

void TFSettingsDlg::btnOKClick()
{
    if (SaveControls())
        accept();
}

void TFSettingsDlg::btnApplyClick()
{
    SaveControls();
}

int TFSettingsDlg::HelpContextOfPage() const
{
    return HelpContext + 1 + std::max(0, pcSettings->currentIndex());
}

void TFSettingsDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContextOfPage(), this);
}

void TFSettingsDlg::btnBrowseClick()
{
    // The filter is the program's own, not the language's: it names file patterns.
    const QString chosen = QBDialogs::OpenFileName(this, QString::fromUtf8(QBStrings::SDocumentFilter.Default),
                                                   QStringLiteral("xqb"), edStartupDocument->text());
    if (!chosen.isEmpty())
        edStartupDocument->setText(chosen);
}

void TFSettingsDlg::btnAddClick()
{
    const QString chosen = QBDialogs::OpenFileName(this, QStringLiteral("Localization files (*.xlg)|*.xlg"),
                                                   QStringLiteral("xlg"), QStringLiteral("qb.exe.xlg"));
    if (!chosen.isEmpty())
        AddLanguage(chosen);
}

void TFSettingsDlg::lblDownloadClick()
{
    QBOpenUrl(QUrl(QStringLiteral(QB_HOME_PAGE "/languages")));
}

bool TFSettingsDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblDownload && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        lblDownloadClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFSettingsDlg::AddLanguage(const QString &fileName)
{
    const auto invalid = [&] {
        QBDialogs::Warning(this, QBFormatStr(xlSettings, QBStrings::SInvalidLanguageFile, {fileName}));
        return false;
    };
    // Language files are small; a huge one is refused before it takes the memory to read it.
    const QFileInfo source(fileName);
    if (!source.isFile() || source.size() > MaxLanguageFileSize)
        return invalid();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return invalid();
    const QByteArray bytes = file.read(MaxLanguageFileSize + 1);
    if (bytes.size() > MaxLanguageFileSize)
        return invalid();
    QString name;
    try {
        TMSXMLDocument document;
        document.LoadFromBytes(bytes);
        const TMSXMLNode root = document.GetDocument().DocumentElement();
        if (!root || root.TagName() != QLatin1String("Language"))
            return invalid();
        name = root.GetAttribute(QStringLiteral("name")).trimmed();
    } catch (...) {
        return invalid();
    }
    if (!isSafeFolderName(name))
        return invalid();

    const INVKLocalizationServicePtr localization = LocalizationService();
    const QString installPath = localization ? localization->GetInstallPath() : QString();
    const QString folder = installPath + name;
    const TNVKResourceSet *resources = QBAppShared().ResourceSet;
    const QString baseName =
        resources && !resources->NvkName().isEmpty() ? resources->NvkName() : QStringLiteral("qb.exe");
    const QString target = folder + QLatin1Char('/') + baseName + QLatin1String(".xlg");
    const bool known = localization && localization->IndexOfLanguage(name) >= 0;
    if (QFileInfo::exists(target) || known) {
        if (QBDialogs::Question(this, QBFormatStr(xlSettings, QBStrings::SConfirmReplaceLang, {name}),
                                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    if (installPath.isEmpty() || !QDir().mkpath(folder)) {
        QBDialogs::Warning(this,
                           QBFormatStr(xlSettings, QBStrings::SErrorCreateDir, {QDir::toNativeSeparators(folder)}));
        return false;
    }
    // Written through a temporary: an installed language stays as it was when the copy fails.
    TNVKSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        QBDialogs::Warning(this, QBFormatStr(xlSettings, QBStrings::SErrorCopyFile,
                                             {QDir::toNativeSeparators(fileName), QDir::toNativeSeparators(target)}));
        return false;
    }
    QBDialogs::Information(this, QBFormatStr(xlSettings, QBStrings::SLangAdded, {name}));
    return true;
}
