// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "DateTimeDlg.h"
#include "platform/DialogParts.h"

#include "framework/NVKFormat.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBHelp.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const DatePatterns[] = {"ddddd",    "dddddd",     "dddd, dddddd", "d.mm.yyyy", "yyyy-mm-dd", "dd mmmm yyyy",
                                    "dd/mm/yy", "mmmm, yyyy", "yyyy, mmmm",   "mmmm yy",   "mmmm-yy"};
const char *const TimePatterns[] = {"h:mm ampm", "h:mm:ss ampm", "h:mm am/pm", "h:mm:ss am/pm", "hh:mm", "hh:mm:ss"};

QStringList Items(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

// Replaces every entry by the moment in its pattern and selects the remembered one, else the first.
void Fill(QListWidget *list, const QStringList &patterns, const QString &chosen, TDateTime now)
{
    list->clear();
    for (const QString &pattern : patterns) {
        auto *item = new QListWidgetItem(FormatDateTime(pattern, now), list);
        item->setData(Qt::UserRole, pattern);
    }
    const qsizetype row = patterns.indexOf(chosen);
    list->setCurrentRow(row >= 0 ? int(row) : (list->count() > 0 ? 0 : -1));
}

QString Chosen(const QCheckBox *check, const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return check->isChecked() && item ? item->text() : QString();
}

} // namespace

TFDateTimeDlg::TFDateTimeDlg(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FDateTimeDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Date and Time"));

    cbDate = new QCheckBox(QStringLiteral("Insert &date"), this);
    cbDate->setObjectName(QStringLiteral("cbDate"));
    cbDate->setChecked(true);
    lbDate = new QListWidget(this);
    lbDate->setObjectName(QStringLiteral("lbDate"));
    cbTime = new QCheckBox(QStringLiteral("Insert &time"), this);
    cbTime->setObjectName(QStringLiteral("cbTime"));
    cbTime->setChecked(true);
    lbTime = new QListWidget(this);
    lbTime->setObjectName(QStringLiteral("lbTime"));
    for (const char *pattern : DatePatterns)
        lbDate->addItem(QString::fromLatin1(pattern));
    for (const char *pattern : TimePatterns)
        lbTime->addItem(QString::fromLatin1(pattern));
    lbDate->setMinimumSize(220, 220);
    lbTime->setMinimumSize(160, 220);

    btnOK = QBNewButton(this, "btnOK", "OK");
    btnOK->setDefault(true);
    btnCancel = QBNewButton(this, "btnCancel", "Cancel");
    btnHelp = QBNewButton(this, "btnHelp", "Help");

    auto *lists = new QGridLayout;
    lists->addWidget(cbDate, 0, 0);
    lists->addWidget(lbDate, 1, 0);
    lists->addWidget(cbTime, 0, 1);
    lists->addWidget(lbTime, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(QBButtonRow({btnOK, btnCancel, btnHelp}));

    connect(cbDate, &QCheckBox::toggled, lbDate, &QWidget::setEnabled);
    connect(cbTime, &QCheckBox::toggled, lbTime, &QWidget::setEnabled);
    connect(lbDate, &QListWidget::itemDoubleClicked, this, &TFDateTimeDlg::btnOKClick);
    connect(lbTime, &QListWidget::itemDoubleClicked, this, &TFDateTimeDlg::btnOKClick);
    connect(btnOK, &QPushButton::clicked, this, &TFDateTimeDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFDateTimeDlg::btnHelpClick);

    // A language file may give the lists patterns of its own; they are read after translation.
    xlDateTime = QBNewLocalizer(this, "xlDateTime");
    xlDateTime->Loaded();
    FDatePatterns = Items(lbDate);
    FTimePatterns = Items(lbTime);
    LoadChoice();
}

QString TFDateTimeDlg::RegistryKey()
{
    const IQBSettingsServicePtr settings = SettingsService();
    const QString base = settings ? settings->GetRegistryKey() : QStringLiteral("Software\\Brindlewood\\Quillbox\\");
    return base + QStringLiteral("Forms\\DateTimeDialog");
}

void TFDateTimeDlg::LoadChoice()
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(RegistryKey()))
        return;
    // A value of the wrong kind is a choice not made: the defaults stay.
    const auto readBool = [&registry](const QString &name, QCheckBox *check) {
        if (registry.GetDataType(name) == rdInteger)
            check->setChecked(registry.ReadInteger(name) != 0);
    };
    const auto readString = [&registry](const QString &name) {
        return registry.GetDataType(name) == rdString ? registry.ReadString(name) : QString();
    };
    readBool(QStringLiteral("InsertDate"), cbDate);
    readBool(QStringLiteral("InsertTime"), cbTime);
    FDatePattern = readString(QStringLiteral("DateFormat"));
    FTimePattern = readString(QStringLiteral("TimeFormat"));
}

void TFDateTimeDlg::SaveChoice() const
{
    const auto pattern = [](const QListWidget *list) {
        const QListWidgetItem *item = list->currentItem();
        return item ? item->data(Qt::UserRole).toString() : QString();
    };
    TRegistry registry;
    if (!registry.OpenKey(RegistryKey(), true))
        return;
    registry.WriteBool(QStringLiteral("InsertDate"), cbDate->isChecked());
    registry.WriteBool(QStringLiteral("InsertTime"), cbTime->isChecked());
    registry.WriteString(QStringLiteral("DateFormat"), pattern(lbDate));
    registry.WriteString(QStringLiteral("TimeFormat"), pattern(lbTime));
    registry.CloseKey();
}

void TFDateTimeDlg::Prepare()
{
    // One moment for both lists, so that date and time agree.
    const TDateTime now = Now();
    Fill(lbDate, FDatePatterns, FDatePattern, now);
    Fill(lbTime, FTimePatterns, FTimePattern, now);
    lbDate->setEnabled(cbDate->isChecked());
    lbTime->setEnabled(cbTime->isChecked());
}

bool TFDateTimeDlg::Execute()
{
    Prepare();
    return exec() == QDialog::Accepted;
}

QString TFDateTimeDlg::ResultText() const
{
    const QString date = Chosen(cbDate, lbDate);
    const QString time = Chosen(cbTime, lbTime);
    if (date.isEmpty() || time.isEmpty())
        return date + time;
    return date + QLatin1Char(' ') + time;
}

void TFDateTimeDlg::btnOKClick()
{
    try {
        SaveChoice();
    } catch (const ERegistryException &) {
        // A store that cannot be written only costs the remembered choice.
    }
    accept();
}

void TFDateTimeDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContext, this);
}
