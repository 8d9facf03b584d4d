// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AboutDlg.h"

#include "QBVersion.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBHelp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSysInfo>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const char HomePage[] = QB_HOME_PAGE;
const char SupportMail[] = QB_SUPPORT_MAIL;
const char SalesMail[] = QB_SALES_MAIL;

void setBar(QProgressBar *bar, qint64 total, qint64 used)
{
    // Progress bars take int: scale kilobytes into the bar's range.
    if (total <= 0 || used < 0) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setToolTip(QStringLiteral("N/A"));
        return;
    }
    bar->setRange(0, 100);
    bar->setValue(int(std::clamp<qint64>(used * 100 / total, 0, 100)));
    bar->setToolTip(QBFormatKB(used));
}
} // namespace

TQBSystemFacts QBReadSystemFacts(const QString &meminfo)
{
    TQBSystemFacts facts;
    facts.Environment = OSVersionText();
    QFile file(meminfo);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return facts;
    const QList<QByteArray> lines = file.read(1 << 16).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const qint64 value = parts[1].toLongLong(&ok);
        if (!ok)
            continue;
        if (parts[0] == "MemTotal:")
            facts.PhysicalTotalKB = value;
        else if (parts[0] == "MemAvailable:")
            facts.PhysicalAvailableKB = value;
        else if (parts[0] == "SwapTotal:")
            facts.SwapTotalKB = value;
        else if (parts[0] == "SwapFree:")
            facts.SwapFreeKB = value;
    }
    return facts;
}

QString QBFormatKB(qint64 kb)
{
    QString digits = QString::number(kb);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return digits + QStringLiteral(" KB");
}

QString OSVersionText()
{
    return QStringLiteral("%1 (%2 %3, %4)")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}

QString TFAboutDlg::LinkTarget(int tag)
{
    switch (tag) {
    case 0:
        return QString::fromLatin1(HomePage);
    case 1:
        return QStringLiteral("mailto:") + QString::fromLatin1(SupportMail);
    case 2:
        return QStringLiteral("mailto:") + QString::fromLatin1(SalesMail);
    default:
        return {};
    }
}

TFAboutDlg::TFAboutDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FAboutDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("About"));

    auto *header = new QWidget(this);
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    header->setPalette(white);
    header->setObjectName(QStringLiteral("pnlHeader"));
    auto *icon = new QLabel(header);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    lblTitle = new QLabel(QStringLiteral("Quillbox %1.%2").arg(QB_VERSION_MAJOR).arg(QB_VERSION_MINOR), header);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->addWidget(icon);
    headerLayout->addWidget(lblTitle, 1);

    pcAbout = new QTabWidget(this);
    pcAbout->setObjectName(QStringLiteral("pcAbout"));

    // Pages and captions carry names: the language file finds them by name.
    const auto caption = [](QWidget *page, const char *name, const char *text) {
        auto *label = new QLabel(QString::fromUtf8(text), page);
        label->setObjectName(QString::fromLatin1(name));
        return label;
    };
    auto *general = new QWidget(pcAbout);
    general->setObjectName(QStringLiteral("tabGeneral"));
    auto *generalLayout = new QFormLayout(general);
    lblAppVersion = new QLabel(general);
    lblAppVersion->setObjectName(QStringLiteral("lblAppVersion"));
    generalLayout->addRow(caption(general, "lblVerCaption", "Product version:"), lblAppVersion);
    pcAbout->addTab(general, QStringLiteral("General"));

    auto *contacts = new QWidget(pcAbout);
    contacts->setObjectName(QStringLiteral("tabContacts"));
    auto *contactsLayout = new QFormLayout(contacts);
    const char *labels[] = {"Home page:", "Support e-mail:", "Sales e-mail:"};
    const char *captions[] = {"lblHomeCaption", "lblSupportCaption", "lblSalesCaption"};
    const char *names[] = {"lblHomeLink", "lblSupportLink", "lblSalesLink"};
    const char *texts[] = {HomePage, SupportMail, SalesMail};
    for (int tag = 0; tag < 3; ++tag) {
        auto *link = new QLabel(contacts);
        link->setObjectName(QString::fromLatin1(names[tag]));
        link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(tag).arg(QString::fromLatin1(texts[tag])));
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(link, &QLabel::linkActivated, this, [this, tag] { lblLinkClick(tag); });
        contactsLayout->addRow(caption(contacts, captions[tag], labels[tag]), link);
    }
    pcAbout->addTab(contacts, QStringLiteral("Contacts"));

    auto *system = new QWidget(pcAbout);
    system->setObjectName(QStringLiteral("tabSystem"));
    auto *systemLayout = new QFormLayout(system);
    lblOSVersion = new QLabel(system);
    lblOSVersion->setObjectName(QStringLiteral("lblOSVersion"));
    lblOSVersion->setWordWrap(true);
    lblPhysValue = new QLabel(QStringLiteral("N/A"), system);
    lblPhysValue->setObjectName(QStringLiteral("lblPhysValue"));
    pbPhysMemory = new QProgressBar(system);
    pbPhysMemory->setObjectName(QStringLiteral("pbPhysMemory"));
    pbPageFile = new QProgressBar(system);
    pbPageFile->setObjectName(QStringLiteral("pbPageFile"));
    systemLayout->addRow(caption(system, "lblOSCaption", "Environment:"), lblOSVersion);
    systemLayout->addRow(caption(system, "lblPhysCaption", "Available physical memory:"), lblPhysValue);
    systemLayout->addRow(caption(system, "lblPhysLoadCaption", "Physical memory load:"), pbPhysMemory);
    systemLayout->addRow(caption(system, "lblPageFileCaption", "Page file load:"), pbPageFile);
    pcAbout->addTab(system, QStringLiteral("System Info"));

    auto *btnClose = new QPushButton(QStringLiteral("&Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(pcAbout);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);
    layout->addLayout(bottom);

    xlAbout = QBNewLocalizer(this, "xlAbout");
    xlAbout->Loaded();
    pcAbout->setCurrentIndex(0);
    lblAppVersion->setText(QStringLiteral("(%1)").arg(QStringLiteral(QB_VERSION_STRING)));
    Fill(QBReadSystemFacts());
}

void TFAboutDlg::Fill(const TQBSystemFacts &facts)
{
    lblOSVersion->setText(facts.Environment);
    // Unknown memory keeps the label's text, which the language file translates.
    if (facts.PhysicalTotalKB >= 0)
        lblPhysValue->setText(QBFormatKB(facts.PhysicalTotalKB));
    setBar(pbPhysMemory, facts.PhysicalTotalKB,
           facts.PhysicalAvailableKB >= 0 ? facts.PhysicalTotalKB - facts.PhysicalAvailableKB : -1);
    setBar(pbPageFile, facts.SwapTotalKB, facts.SwapFreeKB >= 0 ? facts.SwapTotalKB - facts.SwapFreeKB : -1);
}

void TFAboutDlg::lblLinkClick(int tag)
{
    const QString target = LinkTarget(tag);
    if (!target.isEmpty())
        QDesktopServices::openUrl(QUrl(target));
}
