// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ReportDlg.h"

#include "ExportHelper.h"
#include "PrxCore.h"
#include "PrxRichEditSource.h"
#include "controls/VtlRichEdit.h"
#include "framework/NVKResourceSet.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBHelp.h"
#include "services/QBEditorIntf.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLabel *header(const char *name, const char *text, QWidget *parent)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

template <typename T> T *control(const char *name, const char *text, QWidget *parent)
{
    auto *widget = new T(QString::fromUtf8(text), parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TFReportDlg::TFReportDlg(const TTexts &texts, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      FHelpContext(texts.HelpContext)
{
    setObjectName(QString::fromLatin1(texts.Name));
    QBSetHelpContext(this, texts.HelpContext);
    setWindowTitle(QString::fromUtf8(texts.Caption));

    pcPages = new QTabWidget(this);
    pcPages->setObjectName(QStringLiteral("pcPages"));
    tabScope = new QWidget(pcPages);
    tabScope->setObjectName(QString::fromLatin1(texts.ScopeTabName));
    auto *scope = new QVBoxLayout(tabScope);
    stScope = header(texts.ScopeHeaderName, texts.ScopeHeader, tabScope);
    rbSelection = control<QRadioButton>("rbSelection", "&Selection", tabScope);
    rbCurrent = control<QRadioButton>("rbCurrent", "&Current article", tabScope);
    rbOpen = control<QRadioButton>("rbOpen", "&All open articles", tabScope);
    rbBranch = control<QRadioButton>("rbBranch", "&Branch (current article and below)", tabScope);
    rbDocument = control<QRadioButton>("rbDocument", "&Entire document", tabScope);
    rbCurrent->setChecked(true);
    scope->addWidget(stScope);
    for (QRadioButton *button : {rbSelection, rbCurrent, rbOpen, rbBranch, rbDocument})
        scope->addWidget(button);
    scope->addStretch();
    pcPages->addTab(tabScope, QString::fromUtf8(texts.ScopeTab));
    // The help context of each page follows the dialog's.
    QBSetHelpContext(tabScope, texts.HelpContext + 1);

    tabOptions = new QWidget(pcPages);
    tabOptions->setObjectName(QStringLiteral("tabOptions"));
    auto *options = new QVBoxLayout(tabOptions);
    stOptions = header("stOptions", texts.OptionsHeader, tabOptions);
    cbEmpty = control<QCheckBox>("cbEmpty", texts.EmptyCaption, tabOptions);
    cbTitles = control<QCheckBox>("cbTitles", texts.TitlesCaption, tabOptions);
    cbNumbers = control<QCheckBox>("cbNumbers", texts.NumbersCaption, tabOptions);
    cbEmpty->setChecked(true);
    cbTitles->setChecked(true);
    options->addWidget(stOptions);
    for (QCheckBox *box : {cbEmpty, cbTitles, cbNumbers})
        options->addWidget(box);
    options->addStretch();
    pcPages->addTab(tabOptions, QStringLiteral("Options"));
    QBSetHelpContext(tabOptions, texts.HelpContext + 2);

    FButtons = new QVBoxLayout;
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(pcPages, 1);
    layout->addLayout(FButtons);

    FHelper = new TQBExportHelper(this);
    connect(cbTitles, &QCheckBox::toggled, this, &TFReportDlg::cbTitlesClick);

    Localizer = QBNewLocalizer(this, texts.LocalizerName);
}

QPushButton *TFReportDlg::AddButton(const char *name, const char *caption)
{
    QPushButton *button = QBNewButton(this, name, caption);
    button->setAutoDefault(false);
    FButtons->addWidget(button);
    return button;
}

void TFReportDlg::Complete()
{
    FButtons->addStretch();
    connect(btnPreview, &QPushButton::clicked, this, &TFReportDlg::btnPreviewClick);
    connect(btnHelp, &QPushButton::clicked, this, &TFReportDlg::btnHelpClick);
    Localizer->Loaded();
    setFixedSize(sizeHint());
}

int TFReportDlg::Execute()
{
    pcPages->setCurrentWidget(tabScope);
    bool selected = false;
    if (const IQBEditorServicePtr editor = EditorService()) {
        if (const auto *richEdit = qobject_cast<const TVtlRichEdit *>(editor->EditorHandle()))
            selected = richEdit->SelLength() > 0;
    }
    rbSelection->setEnabled(selected);
    if (!selected && rbSelection->isChecked())
        rbCurrent->setChecked(true);
    return exec();
}

TExportScope TFReportDlg::ChosenScope() const
{
    if (rbSelection->isChecked())
        return esSelection;
    if (rbCurrent->isChecked())
        return esCurrentArticle;
    if (rbOpen->isChecked())
        return esOpenArticles;
    if (rbBranch->isChecked())
        return esBranch;
    return esDocument;
}

void TFReportDlg::ApplyChoices()
{
    FHelper->SetSkipEmpty(cbEmpty->isChecked());
    FHelper->SetIncludeTitles(cbTitles->isChecked());
    FHelper->SetNumbering(cbNumbers->isChecked());
    FHelper->SetScope(ChosenScope());
}

void TFReportDlg::btnPreviewClick()
{
    ApplyChoices();
    if (FHelper->Build())
        FHelper->Source()->Preview(this);
}

void TFReportDlg::btnHelpClick()
{
    const QWidget *page = pcPages->currentWidget();
    QBShowHelpContext(page ? QBHelpContextOf(page) : FHelpContext, this);
}

void TFReportDlg::cbTitlesClick()
{
    // A disabled box keeps its tick, so ticking the titles again brings the numbers back as they were.
    cbNumbers->setEnabled(cbTitles->isChecked());
}
