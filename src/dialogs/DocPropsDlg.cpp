// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "DocPropsDlg.h"

#include "base/NVKDateTime.h"
#include "framework/NVKFormat.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"
#include "services/QBDocSvc.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *displayField(QWidget *owner, const char *name, const char *text)
{
    auto *field = new QLineEdit(QString::fromUtf8(text), owner);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    return field;
}

QLabel *fieldLabel(QWidget *owner, const char *name, const char *caption, QWidget *buddy)
{
    auto *label = new QLabel(QString::fromUtf8(caption), owner);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

QFrame *separator(QWidget *owner)
{
    auto *line = new QFrame(owner);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString dateTimeText(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    return FormatDateTime(QStringLiteral("c"), DateTimeFromQDateTime(time.toLocalTime()));
}

} // namespace

TFDocPropsDlg::TFDocPropsDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FDocPropsDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Properties"));

    pcProperties = new QTabWidget(this);
    pcProperties->setObjectName(QStringLiteral("pcProperties"));

    auto *tabGeneral = new QWidget(pcProperties);
    tabGeneral->setObjectName(QStringLiteral("tabGeneral"));
    QBSetHelpContext(tabGeneral, HelpContext + 1);
    imgIcon = new QLabel(tabGeneral);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(QBApplicationIcon().pixmap(32, 32));
    lblFileName = new QLabel(tabGeneral);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    auto *head = new QHBoxLayout;
    head->addWidget(imgIcon);
    head->addWidget(lblFileName, 1);
    edFileName = displayField(tabGeneral, "edFileName", "N/A");
    edFileSize = displayField(tabGeneral, "edFileSize", "N/A");
    edArticles = displayField(tabGeneral, "edArticles", "N/A");
    edEncoding = displayField(tabGeneral, "edEncoding", "UTF-8");
    edCreated = displayField(tabGeneral, "edCreated", "N/A");
    edModified = displayField(tabGeneral, "edModified", "N/A");
    // One form for all facts, so that both groups line up.
    auto *facts = new QFormLayout;
    facts->addRow(separator(tabGeneral));
    facts->addRow(fieldLabel(tabGeneral, "lblFileNameCaption", "File Name:", edFileName), edFileName);
    facts->addRow(fieldLabel(tabGeneral, "lblFileSize", "Size:", edFileSize), edFileSize);
    facts->addRow(fieldLabel(tabGeneral, "lblArticles", "Articles:", edArticles), edArticles);
    facts->addRow(fieldLabel(tabGeneral, "lblEncoding", "Encoding:", edEncoding), edEncoding);
    facts->addRow(separator(tabGeneral));
    facts->addRow(fieldLabel(tabGeneral, "lblCreated", "Created:", edCreated), edCreated);
    facts->addRow(fieldLabel(tabGeneral, "lblModified", "Modified:", edModified), edModified);
    auto *general = new QVBoxLayout(tabGeneral);
    general->addLayout(head);
    general->addLayout(facts);
    general->addStretch();
    pcProperties->addTab(tabGeneral, QStringLiteral("General"));

    auto *tabSummary = new QWidget(pcProperties);
    tabSummary->setObjectName(QStringLiteral("tabSummary"));
    QBSetHelpContext(tabSummary, HelpContext + 2);
    edAuthor = new QLineEdit(tabSummary);
    edAuthor->setObjectName(QStringLiteral("edAuthor"));
    edCopyright = new QLineEdit(tabSummary);
    edCopyright->setObjectName(QStringLiteral("edCopyright"));
    edRevision = new QLineEdit(tabSummary);
    edRevision->setObjectName(QStringLiteral("edRevision"));
    cbAutoRevision = new QCheckBox(QStringLiteral("&Autoincrement revision number"), tabSummary);
    cbAutoRevision->setObjectName(QStringLiteral("cbAutoRevision"));
    memComment = new QPlainTextEdit(tabSummary);
    memComment->setObjectName(QStringLiteral("memComment"));
    memComment->setTabChangesFocus(true);
    edGenerator = displayField(tabSummary, "edGenerator", "");
    auto *summary = new QFormLayout(tabSummary);
    summary->addRow(fieldLabel(tabSummary, "lblAuthor", "&Author:", edAuthor), edAuthor);
    summary->addRow(fieldLabel(tabSummary, "lblCopyright", "&Copyright:", edCopyright), edCopyright);
    summary->addRow(fieldLabel(tabSummary, "lblRevision", "&Revision:", edRevision), edRevision);
    summary->addRow(QString(), cbAutoRevision);
    summary->addRow(fieldLabel(tabSummary, "lblComment", "Co&mment:", memComment), memComment);
    summary->addRow(fieldLabel(tabSummary, "lblGenerator", "&Generator:", edGenerator), edGenerator);
    pcProperties->addTab(tabSummary, QStringLiteral("Summary"));

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnHelp = QBNewButton(this, "btnHelp", "Help");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcProperties, 1);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnHelp}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, &TFDocPropsDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFDocPropsDlg::btnHelpClick);

    NVKLocalizer = QBNewLocalizer(this, "NVKLocalizer");
    NVKLocalizer->Loaded();
    pcProperties->setCurrentIndex(0);
}

QString TFDocPropsDlg::SizeText(qint64 size)
{
    if (size >= 1048577)
        return Format(QStringLiteral("%.2f MB (%d bytes)"), {double(size) / 1048576.0, size});
    if (size <= 1024)
        return Format(QStringLiteral("%d bytes"), {size});
    return Format(QStringLiteral("%d KB (%d bytes)"), {qRound64(double(size) / 1024.0), size});
}

void TFDocPropsDlg::Load(const IQBDocumentPtr &document)
{
    if (!document)
        return;
    lblFileName->setText(QFileInfo(document->FileName()).fileName());
    if (!document->IsNew()) {
        edFileName->setText(document->FileName());
        const QFileInfo file(document->FileName());
        // Facts come from the file on disk; a file that is gone shows none.
        if (file.isFile()) {
            edFileSize->setText(SizeText(file.size()));
            const QDateTime created = file.birthTime().isValid() ? file.birthTime() : file.metadataChangeTime();
            edCreated->setText(dateTimeText(created));
            edModified->setText(dateTimeText(file.lastModified()));
        }
    }
    edArticles->setText(QString::number(document->ArticleCount()));
    if (!document->Encoding().isEmpty())
        edEncoding->setText(document->Encoding());
    edAuthor->setText(document->Author());
    edCopyright->setText(document->Copyright());
    edRevision->setText(QString::number(document->Revision()));
    cbAutoRevision->setChecked(document->AutoRevision());
    memComment->setPlainText(document->Remarks());
    edGenerator->setText(QStringLiteral("Quillbox"));
}

void TFDocPropsDlg::Store(const IQBDocumentPtr &document) const
{
    if (!document)
        return;
    document->SetAuthor(edAuthor->text());
    document->SetCopyright(edCopyright->text());
    document->SetRevision(edRevision->text().trimmed().toInt());
    document->SetAutoRevision(cbAutoRevision->isChecked());
    document->SetRemarks(memComment->toPlainText());
}

void TFDocPropsDlg::btnOKClick()
{
    // A revision that is no whole number keeps the dialog open with nothing stored.
    bool ok = false;
    edRevision->text().trimmed().toInt(&ok);
    if (!ok) {
        pcProperties->setCurrentIndex(1);
        edRevision->setFocus();
        edRevision->selectAll();
        QBDialogs::Warning(this, QBFormatStr(NVKLocalizer, QBStrings::SInvalidRevision, {edRevision->text()}));
        return;
    }
    accept();
}

int TFDocPropsDlg::HelpContextOfPage() const
{
    return HelpContext + 1 + std::max(0, pcProperties->currentIndex());
}

void TFDocPropsDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContextOfPage(), this);
}

bool TFDocPropsDlg::Execute()
{
    const IQBDataServicePtr data = DataService();
    return data && Execute(data->GetDocument());
}

bool TFDocPropsDlg::Execute(const IQBDocumentPtr &document)
{
    Load(document);
    if (exec() != QDialog::Accepted)
        return false;
    Store(document);
    return true;
}
