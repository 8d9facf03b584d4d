// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "LinkDlg.h"
#include "platform/DialogParts.h"

#include "controls/ArticleTree.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBDialogs.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"
#include "services/QBDocSvc.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

const char *const Prefixes[] = {"http://", "ftp://", "mailto:", "file:///", "@"};

QString PrefixOf(int type)
{
    return QString::fromLatin1(Prefixes[type]);
}

bool StartsWithScheme(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(text).hasMatch();
}

QString RegistryKey()
{
    const IQBSettingsServicePtr settings = SettingsService();
    const QString base = settings ? settings->GetRegistryKey() : QStringLiteral("Software\\Brindlewood\\Quillbox\\");
    return base + QStringLiteral("Forms\\LinkDialog");
}

QWidget *TargetPage(QStackedWidget *pages, const char *labelName, const char *caption, QLineEdit *edit,
                    QPushButton *extra = nullptr)
{
    auto *page = new QWidget(pages);
    auto *label = new QLabel(QString::fromLatin1(caption), page);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setBuddy(edit);
    edit->setParent(page);
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(edit, 1);
    if (extra) {
        extra->setParent(page);
        row->addWidget(extra);
    }
    pages->addWidget(page);
    return page;
}

QLineEdit *NewEdit(const char *name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

TFLinkDlg::TFLinkDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FLinkDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Hyperlink"));

    auto *lblType = new QLabel(QStringLiteral("&Type:"), this);
    lblType->setObjectName(QStringLiteral("lblType"));
    cbType = new QComboBox(this);
    cbType->setObjectName(QStringLiteral("cbType"));
    cbType->addItems({QStringLiteral("Web page"), QStringLiteral("Ftp site"), QStringLiteral("E-mail address"),
                      QStringLiteral("Local file"), QStringLiteral("Article")});
    lblType->setBuddy(cbType);
    auto *lblDescription = new QLabel(QStringLiteral("&Description:"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    edDescription = NewEdit("edDescription");
    edDescription->setParent(this);
    lblDescription->setBuddy(edDescription);

    nbPages = new QStackedWidget(this);
    nbPages->setObjectName(QStringLiteral("nbPages"));
    edHttp = NewEdit("edHttp");
    edFtp = NewEdit("edFtp");
    edMail = NewEdit("edMail");
    edFile = NewEdit("edFile");
    btnBrowse = QBNewButton(nullptr, "btnBrowse", "&Browse...");
    TargetPage(nbPages, "lblHttp", "&http://", edHttp);
    TargetPage(nbPages, "lblFtp", "&ftp://", edFtp);
    TargetPage(nbPages, "lblMail", "&mailto:", edMail);
    TargetPage(nbPages, "lblFile", "&file:///", edFile, btnBrowse);
    tvOutline = new TArticleTreeView(nbPages);
    tvOutline->setObjectName(QStringLiteral("tvOutline"));
    tvOutline->SetImageProvider(&QBStateImage);
    tvOutline->SetRootImageIndex(siFolder);
    tvOutline->SetFolderImageIndex(siFolder);
    tvOutline->SetFolderSelectedIndex(siFolderOpen);
    tvOutline->SetLeafImageIndex(siLeaf);
    tvOutline->SetLeafSelectedIndex(siLeaf);
    nbPages->addWidget(tvOutline);

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnHelp = QBNewButton(this, "btnHelp", "Help");

    auto *fields = new QFormLayout;
    fields->addRow(lblType, cbType);
    fields->addRow(lblDescription, edDescription);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(nbPages, 1);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnHelp}));
    resize(440, 320);

    connect(cbType, &QComboBox::activated, this, &TFLinkDlg::SetLinkType);
    connect(edDescription, &QLineEdit::textEdited, this, [this] { FDescriptionTyped = true; });
    for (QLineEdit *edit : {edHttp, edFtp, edMail, edFile})
        connect(edit, &QLineEdit::textChanged, this, &TFLinkDlg::AutoDescription);
    connect(tvOutline, &QTreeWidget::currentItemChanged, this, &TFLinkDlg::tvOutlineChange);
    connect(btnBrowse, &QPushButton::clicked, this, &TFLinkDlg::btnBrowseClick);
    connect(btnOK, &QPushButton::clicked, this, &TFLinkDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFLinkDlg::btnHelpClick);

    xlLink = QBNewLocalizer(this, "xlLink");
    xlLink->Loaded();
    SetLinkType(ltWeb);
    LoadSettings();
}

TFLinkDlg::~TFLinkDlg()
{
    try {
        SaveSettings();
    } catch (const ERegistryException &) {
        // A store that cannot be written only costs the remembered kind and folder.
    }
}

void TFLinkDlg::LoadSettings()
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(RegistryKey()))
        return;
    // A value of the wrong kind counts as one never stored.
    if (registry.GetDataType(QStringLiteral("InitialFolder")) == rdString)
        FInitialFolder = registry.ReadString(QStringLiteral("InitialFolder"));
    if (registry.GetDataType(QStringLiteral("LinkType")) == rdInteger)
        SetLinkType(registry.ReadInteger(QStringLiteral("LinkType")));
}

void TFLinkDlg::SaveSettings() const
{
    TRegistry registry;
    if (!registry.OpenKey(RegistryKey(), true))
        return;
    registry.WriteString(QStringLiteral("InitialFolder"), FInitialFolder);
    registry.WriteInteger(QStringLiteral("LinkType"), FLinkType);
    registry.CloseKey();
}

bool TFLinkDlg::Execute()
{
    FTarget.clear();
    return exec() == QDialog::Accepted;
}

void TFLinkDlg::SetDescription(const QString &text)
{
    edDescription->setText(text);
}

QString TFLinkDlg::Description()
{
    if (edDescription->text().isEmpty())
        edDescription->setText(FTarget);
    return edDescription->text();
}

void TFLinkDlg::SetLinkType(int value)
{
    if (value < ltWeb || value > ltArticle)
        return;
    cbType->setCurrentIndex(value);
    nbPages->setCurrentIndex(value);
    if (value == ltArticle && !FOutlineFilled) {
        FillOutline();
        FOutlineFilled = true;
    }
    FLinkType = value;
}

void TFLinkDlg::SetLink(const QString &target, const QString &text)
{
    const auto startsWith = [&target](const char *prefix) {
        return target.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
    };
    if (startsWith("@")) {
        SetLinkType(ltArticle);
        bool ok = false;
        const qint32 iid = target.mid(2).toInt(&ok);
        const IQBDataServicePtr data = DataService();
        const IQBDocumentPtr document = data ? data->GetDocument() : IQBDocumentPtr();
        const IQBArticlePtr article = ok && document ? document->FindArticle(iid) : IQBArticlePtr();
        if (TArticleTreeNode *node = article ? tvOutline->FindNode(article) : nullptr)
            tvOutline->setCurrentItem(node);
    } else if (startsWith("mailto:")) {
        SetLinkType(ltMail);
        edMail->setText(target.mid(7));
    } else if (startsWith("ftp://")) {
        SetLinkType(ltFtp);
        edFtp->setText(target.mid(6));
    } else if (startsWith("file:")) {
        SetLinkType(ltFile);
        const QUrl url(target);
        // The field shows the file as the user named it, not its encoded form.
        edFile->setText(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : target);
    } else {
        SetLinkType(ltWeb);
        edHttp->setText(startsWith("http://") ? target.mid(7) : target);
    }
    edDescription->setText(text);
    FDescriptionTyped = true;
}

void TFLinkDlg::FillOutline()
{
    tvOutline->clear();
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : IQBDocumentPtr();
    const IQBArticlePtr root = document ? document->Root() : IQBArticlePtr();
    if (!root)
        return;
    auto *rootNode = new TArticleTreeNode(tvOutline);
    rootNode->setText(0, root->Caption());
    rootNode->SetArticle(root);
    // Level by level with a list of its own, so that deep outlines cannot exhaust the stack.
    std::vector<std::pair<IQBArticlePtr, TArticleTreeNode *>> pending{{root, rootNode}};
    while (!pending.empty()) {
        const auto [article, node] = pending.back();
        pending.pop_back();
        const IQBArticleListPtr items = article->Items();
        QList<IQBArticlePtr> children;
        if (items) {
            children = items->LockList();
            items->UnlockList();
        }
        std::vector<std::pair<IQBArticlePtr, TArticleTreeNode *>> added;
        for (const IQBArticlePtr &child : std::as_const(children)) {
            auto *childNode = new TArticleTreeNode(node);
            childNode->setText(0, child->Caption());
            childNode->SetArticle(child);
            added.emplace_back(child, childNode);
        }
        pending.insert(pending.end(), added.rbegin(), added.rend());
    }
    rootNode->setExpanded(true);
}

void TFLinkDlg::AutoDescription(const QString &text)
{
    if (edDescription->text().isEmpty())
        FDescriptionTyped = false;
    if (!FDescriptionTyped)
        edDescription->setText(text);
}

void TFLinkDlg::tvOutlineChange()
{
    auto *node = dynamic_cast<TArticleTreeNode *>(tvOutline->currentItem());
    if (node)
        AutoDescription(node->text(0));
}

QString TFLinkDlg::RawTarget() const
{
    switch (FLinkType) {
    case ltFtp:
        return edFtp->text().trimmed();
    case ltMail:
        return edMail->text().trimmed();
    case ltFile:
        return edFile->text().trimmed();
    case ltArticle: {
        auto *node = dynamic_cast<TArticleTreeNode *>(tvOutline->currentItem());
        const IQBArticlePtr article = node ? node->Article() : IQBArticlePtr();
        return article ? QStringLiteral("_") + QString::number(article->IID()) : QString();
    }
    default:
        return edHttp->text().trimmed();
    }
}

QString TFLinkDlg::TargetFor(int type, const QString &typed)
{
    if (type < ltWeb || type > ltArticle || typed.isEmpty())
        return QString();
    // The link field quotes its target; a quotation mark inside would end the target early.
    const QString raw = QString(typed).replace(QLatin1Char('"'), QLatin1String("%22"));
    const QString prefix = PrefixOf(type);
    if (raw.startsWith(prefix, Qt::CaseInsensitive))
        return raw;
    if (type == ltFile) {
        if (raw.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            return raw;
        // A path becomes an encoded file URL, so that spaces and non-ASCII names survive the
        // link field and open again; "file:///" before a path that starts with "/" would not.
        return QUrl::fromLocalFile(QDir::fromNativeSeparators(typed)).toString(QUrl::FullyEncoded);
    }
    // An address that names its own scheme (https://, ftps:// …) keeps it rather than gaining a second.
    if ((type == ltWeb || type == ltFtp) && StartsWithScheme(raw))
        return raw;
    return prefix + raw;
}

void TFLinkDlg::btnOKClick()
{
    const QString target = TargetFor(FLinkType, RawTarget());
    // Nothing to link to yet (no article chosen, an empty field): the dialog stays open.
    if (target.isEmpty()) {
        if (FLinkType == ltArticle)
            tvOutline->setFocus();
        else
            nbPages->currentWidget()->findChild<QLineEdit *>()->setFocus();
        return;
    }
    FTarget = target;
    accept();
}

void TFLinkDlg::btnBrowseClick()
{
    // The trailing separator makes the file dialog open inside the folder, not on it in its parent.
    const QString start = FInitialFolder.isEmpty() ? QString() : FInitialFolder + QLatin1Char('/');
    const QString fileName = QBDialogs::OpenFileName(this, QStringLiteral("All files|*.*"), QString(), start);
    if (fileName.isEmpty())
        return;
    edFile->setText(QDir::toNativeSeparators(fileName));
    FInitialFolder = QFileInfo(fileName).absolutePath();
}

void TFLinkDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContext, this);
}
