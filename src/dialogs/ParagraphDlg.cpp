// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ParagraphDlg.h"
#include "platform/DialogParts.h"

#include "framework/QBStrings.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBHelp.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double TwipsPerCm = 1440.0 / 2.54;
// Lengths beyond 22 inches (56 cm) fit on no page.
constexpr int MaxTwips = 22 * 1440;
// A proportional spacing between a quarter of a line and ten lines, in hundredths.
constexpr int MinMultiple = 25;
constexpr int MaxMultiple = 1000;
// The value a rule that needs one starts with when none is shown: 12 points, or one line.
constexpr int DefaultSpacingTwips = 240;
constexpr int DefaultMultiple = 100;

const char *const Alignments[] = {"Left", "Right", "Center", "Justify"};
const char *const Rules[] = {"Single", "One and Half", "Double", "Minimum", "Specified", "Multiple"};
const char *const TabKinds[] = {"Left", "Right", "Center", "Decimal"};
const char *const Numberings[][2] = {{"rbNNone", "&None"},
                                     {"rbNBullets", "&Bullets"},
                                     {"rbNNumbers", "Nu&mbers"},
                                     {"rbNLoLetter", "&Lower case letters"},
                                     {"rbNUpLetter", "&Upper case letters"},
                                     {"rbNLoRoman", "Lo&wer case roman"},
                                     {"rbNUpRoman", "Uppe&r case roman"}};

// Field texts in the order FLoadedTexts keeps them.
enum TField { fLeft, fRight, fFirst, fBefore, fAfter, fValue, FieldCount };

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

// Up to two decimals, without trailing zeros.
QString NumberText(double value)
{
    const QLocale locale = NumberLocale();
    QString text = locale.toString(std::round(value * 100.0) / 100.0, 'f', 2);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

bool RuleHasValue(int rule)
{
    return rule == TRxParaAttributes::lsAtLeast || rule == TRxParaAttributes::lsExactly ||
           rule == TRxParaAttributes::lsMultiple;
}

} // namespace

TFParagraphDlg::TFParagraphDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FParagraphDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Paragraph"));
    FMetric = QLocale().measurementSystem() == QLocale::MetricSystem;
    xlParagraph = QBNewLocalizer(this, "xlParagraph");
    FUnit = QBLoadStr(xlParagraph, FMetric ? QBStrings::SCentimetres : QBStrings::SInches);
    const auto label = [this](const char *name, const char *caption, QWidget *buddy) {
        auto *result = new QLabel(QString::fromUtf8(caption), this);
        result->setObjectName(QString::fromLatin1(name));
        result->setBuddy(buddy);
        return result;
    };
    const auto unitLabel = [this] { return new QLabel(FUnit, this); };

    nbPages = new QTabWidget(this);
    nbPages->setObjectName(QStringLiteral("nbPages"));

    // Paragraph page.
    auto *tsParagraph = new QWidget(nbPages);
    QBSetHelpContext(tsParagraph, HelpContext + 1);
    tsParagraph->setObjectName(QStringLiteral("tsParagraph"));
    cbPAlignment = new QComboBox(tsParagraph);
    cbPAlignment->setObjectName(QStringLiteral("cbPAlignment"));
    for (const char *alignment : Alignments)
        cbPAlignment->addItem(QString::fromLatin1(alignment));
    sePLeftIndent = NewLengthEdit(QStringLiteral("sePLeftIndent"), -MaxTwips, MaxTwips);
    sePRightIndent = NewLengthEdit(QStringLiteral("sePRightIndent"), -MaxTwips, MaxTwips);
    sePFirstLine = NewLengthEdit(QStringLiteral("sePFirstLine"), -MaxTwips, MaxTwips);
    sePBefore = NewLengthEdit(QStringLiteral("sePBefore"), 0, MaxTwips);
    sePAfter = NewLengthEdit(QStringLiteral("sePAfter"), 0, MaxTwips);
    cbPRule = new QComboBox(tsParagraph);
    cbPRule->setObjectName(QStringLiteral("cbPRule"));
    for (const char *rule : Rules)
        cbPRule->addItem(QString::fromLatin1(rule));
    sePValue = NewLengthEdit(QStringLiteral("sePValue"), 0, MaxTwips);
    lblPValueUnit = unitLabel();
    lblPValueUnit->setObjectName(QStringLiteral("lblPValueUnit"));

    auto *paragraphGrid = new QGridLayout(tsParagraph);
    int row = 0;
    const auto addRow = [&](QLabel *caption, QWidget *field, QLabel *unit) {
        paragraphGrid->addWidget(caption, row, 0);
        paragraphGrid->addWidget(field, row, 1);
        if (unit)
            paragraphGrid->addWidget(unit, row, 2);
        ++row;
    };
    addRow(label("lblPAlignment", "&Alignment:", cbPAlignment), cbPAlignment, nullptr);
    addRow(label("lblPLeftIndent", "&Left indent:", sePLeftIndent), sePLeftIndent, unitLabel());
    addRow(label("lblPRightIndent", "&Right indent:", sePRightIndent), sePRightIndent, unitLabel());
    addRow(label("lblPFirstLine", "&First line:", sePFirstLine), sePFirstLine, unitLabel());
    addRow(label("lblPBefore", "Space &before:", sePBefore), sePBefore, unitLabel());
    addRow(label("lblPAfter", "Space af&ter:", sePAfter), sePAfter, unitLabel());
    addRow(label("lblPRule", "Line &spacing:", cbPRule), cbPRule, nullptr);
    addRow(label("lblPValue", "&At:", sePValue), sePValue, lblPValueUnit);
    paragraphGrid->setRowStretch(row, 1);
    nbPages->addTab(tsParagraph, QStringLiteral("Paragraph"));

    // Tabs page.
    auto *tsTabs = new QWidget(nbPages);
    QBSetHelpContext(tsTabs, HelpContext + 2);
    tsTabs->setObjectName(QStringLiteral("tsTabs"));
    lbTTabList = new QListWidget(tsTabs);
    lbTTabList->setObjectName(QStringLiteral("lbTTabList"));
    seTTabPos = NewLengthEdit(QStringLiteral("seTTabPos"), 0, MaxTwips);
    cbTKind = new QComboBox(tsTabs);
    cbTKind->setObjectName(QStringLiteral("cbTKind"));
    for (const char *kind : TabKinds)
        cbTKind->addItem(QString::fromLatin1(kind));
    btnTAdd = QBNewButton(tsTabs, "btnTAdd", "&Add");
    btnTUpdate = QBNewButton(tsTabs, "btnTUpdate", "&Update");
    btnTDelete = QBNewButton(tsTabs, "btnTDelete", "&Delete");
    btnTClear = QBNewButton(tsTabs, "btnTClear", "Clear a&ll");
    auto *tabFields = new QGridLayout;
    tabFields->addWidget(label("lblTTabPos", "&Position:", seTTabPos), 0, 0);
    tabFields->addWidget(seTTabPos, 0, 1);
    tabFields->addWidget(unitLabel(), 0, 2);
    tabFields->addWidget(label("lblTKind", "&Kind:", cbTKind), 1, 0);
    tabFields->addWidget(cbTKind, 1, 1);
    auto *tabButtons = new QVBoxLayout;
    tabButtons->addLayout(tabFields);
    for (QPushButton *button : {btnTAdd, btnTUpdate, btnTDelete, btnTClear})
        tabButtons->addWidget(button);
    tabButtons->addStretch();
    auto *tabsLayout = new QHBoxLayout(tsTabs);
    tabsLayout->addWidget(lbTTabList, 1);
    tabsLayout->addLayout(tabButtons);
    nbPages->addTab(tsTabs, QStringLiteral("Tabs"));

    // Numbering page.
    auto *tsNumbering = new QWidget(nbPages);
    QBSetHelpContext(tsNumbering, HelpContext + 3);
    tsNumbering->setObjectName(QStringLiteral("tsNumbering"));
    gbNumbering = new QButtonGroup(this);
    auto *numberingLayout = new QVBoxLayout(tsNumbering);
    for (int i = 0; i < int(std::size(Numberings)); ++i) {
        auto *radio = new QRadioButton(QString::fromUtf8(Numberings[i][1]), tsNumbering);
        radio->setObjectName(QString::fromLatin1(Numberings[i][0]));
        gbNumbering->addButton(radio, i);
        numberingLayout->addWidget(radio);
    }
    numberingLayout->addStretch();
    nbPages->addTab(tsNumbering, QStringLiteral("Numbering"));

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnApply = QBNewButton(this, "btnApply", "Apply");
    btnHelp = QBNewButton(this, "btnHelp", "Help");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(nbPages, 1);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnApply, btnHelp}));

    for (QLineEdit *edit : {sePLeftIndent, sePRightIndent, sePFirstLine, sePBefore, sePAfter, sePValue})
        connect(edit, &QLineEdit::textEdited, this, &TFParagraphDlg::SetModified);
    for (QLineEdit *edit : {sePLeftIndent, sePRightIndent, sePFirstLine, sePBefore, sePAfter, sePValue, seTTabPos})
        connect(edit, &QLineEdit::textChanged, this, &TFParagraphDlg::UpdateButtons);
    connect(cbPAlignment, &QComboBox::activated, this, &TFParagraphDlg::SetModified);
    connect(cbPRule, &QComboBox::currentIndexChanged, this, &TFParagraphDlg::cbPRuleChange);
    connect(gbNumbering, &QButtonGroup::idClicked, this, &TFParagraphDlg::SetModified);
    connect(lbTTabList, &QListWidget::currentRowChanged, this, &TFParagraphDlg::lbTTabListSelect);
    connect(btnTAdd, &QPushButton::clicked, this, &TFParagraphDlg::btnTAddClick);
    connect(btnTUpdate, &QPushButton::clicked, this, &TFParagraphDlg::btnTUpdateClick);
    connect(btnTDelete, &QPushButton::clicked, this, &TFParagraphDlg::btnTDeleteClick);
    connect(btnTClear, &QPushButton::clicked, this, &TFParagraphDlg::btnTClearClick);
    connect(btnOK, &QPushButton::clicked, this, &TFParagraphDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnApply, &QPushButton::clicked, this, &TFParagraphDlg::btnApplyClick);
    connect(btnHelp, &QPushButton::clicked, this, &TFParagraphDlg::btnHelpClick);

    xlParagraph->Loaded();
    UpdateButtons();
}

QLineEdit *TFParagraphDlg::NewLengthEdit(const QString &name, int minimum, int maximum)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    const double perUnit = FMetric ? TwipsPerCm : TwipsPerInch;
    auto *validator = new QDoubleValidator(minimum / perUnit, maximum / perUnit, 2, edit);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(NumberLocale());
    edit->setValidator(validator);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) + 16);
    return edit;
}

QString TFParagraphDlg::LengthText(int twips) const
{
    return NumberText(twips / (FMetric ? TwipsPerCm : TwipsPerInch));
}

bool TFParagraphDlg::ParseLength(const QString &text, int &twips) const
{
    bool ok = false;
    const double value = NumberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double result = std::round(value * (FMetric ? TwipsPerCm : TwipsPerInch));
    if (std::abs(result) > MaxTwips)
        return false;
    twips = int(result);
    return true;
}

void TFParagraphDlg::Load(TRxParaAttributes &attributes)
{
    FLoading = true;
    FAttributes = &attributes;
    FLoaded = attributes.Values();
    const auto show = [this](QLineEdit *edit, const std::optional<int> &twips) {
        edit->setText(twips ? LengthText(*twips) : QString());
    };
    cbPAlignment->setCurrentIndex(FLoaded.Alignment.value_or(-1));
    show(sePLeftIndent, FLoaded.LeftIndent);
    show(sePRightIndent, FLoaded.RightIndent);
    show(sePFirstLine, FLoaded.FirstIndent);
    show(sePBefore, FLoaded.SpaceBefore);
    show(sePAfter, FLoaded.SpaceAfter);
    cbPRule->setCurrentIndex(FLoaded.LineSpacingRule.value_or(-1));
    cbPRuleChange();
    if (FLoaded.LineSpacingRule == TRxParaAttributes::lsMultiple)
        sePValue->setText(NumberText(FLoaded.LineSpacing.value_or(DefaultMultiple) / 100.0));
    else if (FLoaded.LineSpacingRule && RuleHasValue(*FLoaded.LineSpacingRule))
        show(sePValue, FLoaded.LineSpacing);
    else
        sePValue->clear();
    FLoadedTexts = {sePLeftIndent->text(), sePRightIndent->text(), sePFirstLine->text(),
                    sePBefore->text(),     sePAfter->text(),       sePValue->text()};

    FTabs = FLoaded.Tabs.value_or(QList<TRxTab>());
    FTabsChanged = false;
    FillTabList(FTabs.isEmpty() ? -1 : FTabs.first().Position);

    // Paragraphs that differ in numbering check no button.
    gbNumbering->setExclusive(false);
    for (QAbstractButton *radio : gbNumbering->buttons())
        radio->setChecked(FLoaded.Numbering && gbNumbering->id(radio) == *FLoaded.Numbering);
    gbNumbering->setExclusive(true);

    nbPages->setCurrentIndex(0);
    FModified = false;
    FLoading = false;
    UpdateButtons();
}

bool TFParagraphDlg::Execute(TRxParaAttributes &attributes)
{
    Load(attributes);
    return exec() == QDialog::Accepted;
}

TRxParaValues TFParagraphDlg::Changes() const
{
    TRxParaValues changes;
    if (cbPAlignment->currentIndex() >= 0 && FLoaded.Alignment != cbPAlignment->currentIndex())
        changes.Alignment = cbPAlignment->currentIndex();
    // A field changes its value only when its text was changed, so values between two units stay.
    const auto length = [this](QLineEdit *edit, TField field, std::optional<int> &target) {
        int twips = 0;
        if (edit->text() != FLoadedTexts.value(field) && ParseLength(edit->text(), twips))
            target = twips;
    };
    length(sePLeftIndent, fLeft, changes.LeftIndent);
    length(sePRightIndent, fRight, changes.RightIndent);
    length(sePFirstLine, fFirst, changes.FirstIndent);
    length(sePBefore, fBefore, changes.SpaceBefore);
    length(sePAfter, fAfter, changes.SpaceAfter);

    const int rule = cbPRule->currentIndex();
    const bool valueChanged = sePValue->text() != FLoadedTexts.value(fValue);
    if (rule >= 0 && (FLoaded.LineSpacingRule != rule || valueChanged)) {
        int value = 0;
        if (rule == TRxParaAttributes::lsMultiple) {
            bool ok = false;
            const double lines = NumberLocale().toDouble(sePValue->text().trimmed(), &ok);
            value = ok ? qBound(MinMultiple, int(std::lround(lines * 100.0)), MaxMultiple) : DefaultMultiple;
        } else if (RuleHasValue(rule)) {
            if (!ParseLength(sePValue->text(), value))
                value = DefaultSpacingTwips;
        }
        changes.LineSpacingRule = rule;
        changes.LineSpacing = value;
    }
    if (FTabsChanged)
        changes.Tabs = FTabs;
    const int numbering = gbNumbering->checkedId();
    if (numbering >= 0 && FLoaded.Numbering != numbering)
        changes.Numbering = numbering;
    return changes;
}

void TFParagraphDlg::btnApplyClick()
{
    if (!btnOK->isEnabled() || !FAttributes)
        return;
    FAttributes->Apply(Changes());
    Load(*FAttributes);
}

void TFParagraphDlg::btnOKClick()
{
    if (!btnOK->isEnabled())
        return;
    if (FModified && FAttributes)
        FAttributes->Apply(Changes());
    accept();
}

int TFParagraphDlg::HelpContextOfPage() const
{
    return HelpContext + 1 + qMax(0, nbPages->currentIndex());
}

void TFParagraphDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContextOfPage(), this);
}

void TFParagraphDlg::SetModified()
{
    if (FLoading)
        return;
    FModified = true;
    UpdateButtons();
}

bool TFParagraphDlg::ValueNeedsLength() const
{
    const int rule = cbPRule->currentIndex();
    return rule == TRxParaAttributes::lsAtLeast || rule == TRxParaAttributes::lsExactly;
}

void TFParagraphDlg::cbPRuleChange()
{
    const int rule = cbPRule->currentIndex();
    const bool hasValue = rule >= 0 && RuleHasValue(rule);
    // The value field reads lengths for Minimum and Specified, and lines for Multiple.
    auto *validator = qobject_cast<QDoubleValidator *>(const_cast<QValidator *>(sePValue->validator()));
    const double perUnit = FMetric ? TwipsPerCm : TwipsPerInch;
    if (rule == TRxParaAttributes::lsMultiple) {
        validator->setRange(MinMultiple / 100.0, MaxMultiple / 100.0, 2);
        lblPValueUnit->setText(QBLoadStr(xlParagraph, QBStrings::SLines));
    } else {
        validator->setRange(0, MaxTwips / perUnit, 2);
        lblPValueUnit->setText(FUnit);
    }
    sePValue->setEnabled(hasValue);
    if (FLoading)
        return;
    // A new rule starts from a value that fits it.
    if (!hasValue)
        sePValue->clear();
    else if (rule == TRxParaAttributes::lsMultiple)
        sePValue->setText(NumberText(DefaultMultiple / 100.0));
    else
        sePValue->setText(LengthText(DefaultSpacingTwips));
    SetModified();
}

void TFParagraphDlg::UpdateButtons()
{
    bool valid = true;
    for (QLineEdit *edit : {sePLeftIndent, sePRightIndent, sePFirstLine, sePBefore, sePAfter, sePValue})
        if (edit->isEnabled() && !edit->text().isEmpty() && !edit->hasAcceptableInput())
            valid = false;
    if (ValueNeedsLength() && sePValue->text().isEmpty())
        valid = false;
    btnOK->setEnabled(valid);
    btnApply->setEnabled(valid && FModified);
    const bool selected = lbTTabList->currentRow() >= 0;
    const bool position = seTTabPos->hasAcceptableInput();
    btnTAdd->setEnabled(position);
    btnTUpdate->setEnabled(selected && position);
    btnTDelete->setEnabled(selected);
    // Paragraphs with different stops show none, and can still lose them all.
    btnTClear->setEnabled(lbTTabList->count() > 0 || (!FLoaded.Tabs && !FTabsChanged));
}

void TFParagraphDlg::FillTabList(int selectPosition)
{
    const QSignalBlocker blocker(lbTTabList);
    lbTTabList->clear();
    int select = -1;
    for (const TRxTab &tab : std::as_const(FTabs)) {
        QString text = LengthText(tab.Position) + QLatin1Char(' ') + FUnit;
        if (tab.Kind > 0)
            text +=
                QStringLiteral(" (") + cbTKind->itemText(qBound(0, tab.Kind, cbTKind->count() - 1)) + QLatin1Char(')');
        lbTTabList->addItem(text);
        if (tab.Position == selectPosition)
            select = lbTTabList->count() - 1;
    }
    lbTTabList->setCurrentRow(select);
    lbTTabListSelect();
}

void TFParagraphDlg::lbTTabListSelect()
{
    const int row = lbTTabList->currentRow();
    if (row >= 0 && row < FTabs.size()) {
        seTTabPos->setText(LengthText(FTabs.at(row).Position));
        cbTKind->setCurrentIndex(qBound(0, FTabs.at(row).Kind, cbTKind->count() - 1));
    }
    UpdateButtons();
}

void TFParagraphDlg::PutTab(const TRxTab &tab)
{
    qsizetype at = 0;
    while (at < FTabs.size() && FTabs.at(at).Position < tab.Position)
        ++at;
    if (at < FTabs.size() && FTabs.at(at).Position == tab.Position)
        FTabs[at] = tab;
    else
        FTabs.insert(at, tab);
}

bool TFParagraphDlg::TypedTab(TRxTab &tab) const
{
    if (!ParseLength(seTTabPos->text(), tab.Position) || tab.Position < 0)
        return false;
    tab.Kind = qMax(0, cbTKind->currentIndex());
    return true;
}

void TFParagraphDlg::TabsChanged(int selectPosition)
{
    FTabsChanged = true;
    FillTabList(selectPosition);
    SetModified();
}

void TFParagraphDlg::btnTAddClick()
{
    TRxTab tab;
    if (!TypedTab(tab))
        return;
    PutTab(tab);
    TabsChanged(tab.Position);
}

void TFParagraphDlg::btnTUpdateClick()
{
    const int row = lbTTabList->currentRow();
    TRxTab tab;
    if (row < 0 || row >= FTabs.size() || !TypedTab(tab))
        return;
    FTabs.removeAt(row);
    PutTab(tab);
    TabsChanged(tab.Position);
}

void TFParagraphDlg::btnTDeleteClick()
{
    const int row = lbTTabList->currentRow();
    if (row < 0 || row >= FTabs.size())
        return;
    FTabs.removeAt(row);
    TabsChanged(-1);
}

void TFParagraphDlg::btnTClearClick()
{
    FTabs.clear();
    TabsChanged(-1);
}
