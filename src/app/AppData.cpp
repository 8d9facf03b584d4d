// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppData.h"

#include "dialogs/ErrorDlg.h"
#include "dialogs/SettingsDlg.h"
#include "document/QBMarkers.h"
#include "framework/NVKLang.h"
#include "framework/NVKProperties.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBColors.h"
#include "platform/QBDialogs.h"
#include "report/PrxCore.h"
#include "services/QBDocAccess.h"
#include "services/QBDocBackup.h"
#include "services/QBDocRecovery.h"
#include "services/QBDocSvc.h"
#include "services/QBSettingsAccess.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QColorDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStatusBar>

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

TDMAppData *TDMAppData::FInstance = nullptr;
QString TDMAppData::FLanguageFolder;
QString TDMAppData::FUserLanguageFolder;

namespace {

// Custom colours are kept as "ColorA=00BBGGRR" texts, one per slot.
QString customColorText(int slot, const QColor &color)
{
    const TColor value = QColorToTColor(color);
    return QStringLiteral("Color") + QChar(u'A' + slot) + QLatin1Char('=') +
           QString::number(quint32(value), 16).rightJustified(6, QLatin1Char('0')).toUpper();
}

bool parseCustomColor(const QString &text, int &slot, QColor &color)
{
    if (!text.startsWith(QLatin1String("Color")) || text.size() < 8 || text[6] != QLatin1Char('='))
        return false;
    slot = text[5].unicode() - u'A';
    bool ok = false;
    const quint32 value = text.mid(7).toUInt(&ok, 16);
    if (!ok || slot < 0 || slot >= QColorDialog::customCount())
        return false;
    color = QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    return true;
}

// Marker names and the name of an untitled document are the data module's texts: its language
// container names them.
void registerDataModuleProperties()
{
    static const bool registered = [] {
        NVKRegisterCollection<TQBMarkerDictionary>(
            QStringLiteral("Markers"), [](TQBMarkerDictionary *d) { return d->Markers().Count(); },
            [](TQBMarkerDictionary *d, int index) { return std::make_shared<TQBMarkerItem>(d, index); });
        NVKRegisterText<TQBMarkerItem>(QStringLiteral("Name"), &TQBMarkerItem::SetName);
        NVKRegisterText<TQBDataService>(QStringLiteral("UntitledName"), [](TQBDataService *data, const QString &name) {
            if (!name.trimmed().isEmpty())
                data->SetUntitledName(name);
        });
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

void TQBMarkerItem::SetName(const QString &name)
{
    if (FDictionary && FIndex >= 0 && FIndex < FDictionary->Markers().Count() && !name.isEmpty())
        FDictionary->Markers().Items(FIndex).SetName(name);
}

TDMAppData::TDMAppData(const QStringList &arguments, QObject *owner) : QObject(owner), FArguments(arguments)
{
    setObjectName(QStringLiteral("DMAppData"));
    FInstance = this;

    // Created in this order and activated in it once all exist: each service must run before
    // the components that bind to it.
    TNVKContainerLoader loader;
    NVKLocalization = new TNVKLocalizationService(this);
    NVKLocalization->SetDefaultLanguage(QStringLiteral("Default (English)"));
    NVKLocalization->SetBasePath(FLanguageFolder);
    NVKLocalization->SetUserPath(UserLanguageFolder());
    NVKLocalization->SetActive(true);
    NVKResourceSet = new TNVKResourceSet(this);
    NVKResourceSet->setObjectName(QStringLiteral("NVKResourceSet"));
    NVKResourceSet->SetNvkName(QStringLiteral("qb.exe"));
    NVKResourceSet->SetActive(true);
    QBSettingsService = new TQBSettingsService(this);
    QBSettingsService->SetActive(true);
    connect(QBSettingsService, &TNVKActiveComponent::activated, this, &TDMAppData::QBSettingsServiceActivated);
    connect(QBSettingsService, &TNVKActiveComponent::deactivating, this, &TDMAppData::QBSettingsServiceDeactivating);
    QBDataService = new TQBDataService(this);
    QBDataService->setObjectName(QStringLiteral("QBDataService"));
    QBDataService->SetUntitledName(QStringLiteral("Untitled"));
    QBDataService->SetActive(true);
    connect(QBDataService, &TNVKActiveComponent::activated, this, &TDMAppData::QBDataServiceActivated);
    QBDataBackup = new TQBDataBackup(this);
    QBDataBackup->setObjectName(QStringLiteral("QBDataBackup"));
    QBDataBackup->SetActive(true);
    QBDataRecovery = new TQBDataRecovery(this);
    QBDataRecovery->setObjectName(QStringLiteral("QBDataRecovery"));
    QBDataRecovery->SetActive(true);
    // The session is ending and the program may be killed next: the changes go to the copy first.
    connect(qApp, &QGuiApplication::commitDataRequest, QBDataRecovery, &TQBDataRecovery::WriteCopyNow);
    QBSettingsAccess = new TQBSettingsAccess(this);
    QBSettingsAccess->setObjectName(QStringLiteral("QBSettingsAccess"));
    QBSettingsAccess->SetActive(true);
    connect(QBSettingsAccess, &TQBSettingsAccess::settingsChanged, this, &TDMAppData::ApplySettings);
    QBDataAccess = new TQBDataAccess(this);
    QBDataAccess->setObjectName(QStringLiteral("QBDataAccess"));
    QBMarkerDictionary = new TQBMarkerDictionary(this);
    QBMarkerDictionary->setObjectName(QStringLiteral("QBMarkerDictionary"));
    QBMarkerDictionary->LoadDefaultMarkers();
    registerDataModuleProperties();
    NVKLocalizer = new TNVKLocalizer(this);
    NVKLocalizer->setObjectName(QStringLiteral("NVKLocalizer"));
    NVKLocalizer->SetResourceSet(NVKResourceSet);
    QBSetAppShared({NVKResourceSet, NVKLocalizer, QBMarkerDictionary});
    QBDataBackup->SetLocalizer(NVKLocalizer);
    PrxController = new TPrxController(this);
    PrxController->setObjectName(QStringLiteral("PrxController"));
    TPrxController::SetApplication(PrxController);

    QBDataService->SetOnOpenRequest([this](TQBDataService *, QString &fileName, bool &cancel) {
        const QString chosen = QBDialogs::OpenFileName(FMainWindow, QBLoadStr(NVKLocalizer, QBStrings::SDocumentFilter),
                                                       QStringLiteral("xqb"));
        cancel = chosen.isEmpty();
        if (!cancel)
            fileName = chosen;
    });
    QBDataService->SetOnSaveRequest([this](TQBDataService *, QString &fileName, bool &cancel) {
        const QString chosen = QBDialogs::SaveFileName(FMainWindow, QBLoadStr(NVKLocalizer, QBStrings::SDocumentFilter),
                                                       QStringLiteral("xqb"), fileName);
        cancel = chosen.isEmpty();
        if (!cancel)
            fileName = chosen;
    });
    QBDataService->SetOnCloseRequest([this](TQBDataService *, TCloseRequestResult &result) {
        const QString name = DataService() ? DataService()->GetDocument()->FileName() : QString();
        switch (QBDialogs::Question(FMainWindow, QBFormatStr(NVKLocalizer, QBStrings::SConfirmSave, {name}),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            result = crSave;
            break;
        case QMessageBox::No:
            result = crDiscard;
            break;
        default:
            result = crCancel;
            break;
        }
    });
    QBDataService->SetOnRequestPreserve([this](TQBDataService *, QString &fileName, bool &cancel) {
        cancel = QBDialogs::Question(FMainWindow, QBFormatStr(NVKLocalizer, QBStrings::SSaveOldVersion, {fileName}),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::No;
    });
    QBDataService->SetOnChangedOnDisk([this](const QString &fileName) {
        switch (QBDialogs::Question(FMainWindow, QBFormatStr(NVKLocalizer, QBStrings::SChangedOnDisk, {fileName}),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return cdOverwrite;
        case QMessageBox::No:
            return cdSaveAs;
        default:
            return cdCancel;
        }
    });
    connect(QBDataBackup, &TQBDataBackup::autosaveSkipped, this, [this](const QString &fileName) {
        ShowStatus(QBFormatStr(NVKLocalizer, QBStrings::SAutosaveSkipped, {fileName}));
    });
    connect(QBDataRecovery, &TQBDataRecovery::copyFailed, this, [this](const QString &reason) {
        ShowStatus(QBFormatStr(NVKLocalizer, QBStrings::SRecoveryCopyFailed, {reason}));
    });
    QBDataService->SetOnBusy([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    loader.Finish();
    NVKLocalizer->Loaded();
}

TDMAppData::~TDMAppData()
{
    NVKDeactivateComponents(this);
    if (FInstance == this) {
        FInstance = nullptr;
        QBSetAppShared({});
    }
}

void TDMAppData::QBSettingsServiceActivated()
{
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    const IQBHistoryListPtr colors = settings->LoadHistoryList(QStringLiteral("CustomColors"));
    for (int i = 0; i < colors->GetCount(); ++i) {
        int slot = 0;
        QColor color;
        if (parseCustomColor(colors->GetItem(i), slot, color))
            QColorDialog::setCustomColor(slot, color);
    }
    ApplySettings(scAll);
}

void TDMAppData::QBSettingsServiceDeactivating(bool &cancel)
{
    Q_UNUSED(cancel);
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    const IQBHistoryListPtr colors = settings->CreateHistoryList();
    // Added from the last to the first, so the list keeps the slots' order.
    for (int slot = QColorDialog::customCount() - 1; slot >= 0; --slot)
        colors->Add(customColorText(slot, QColorDialog::customColor(slot)));
    settings->SaveHistoryList(QStringLiteral("CustomColors"), colors);
}

void TDMAppData::ShowStatus(const QString &text) const
{
    if (auto *window = qobject_cast<QMainWindow *>(FMainWindow))
        window->statusBar()->showMessage(text);
}

void TDMAppData::OfferRecoveryCopies()
{
    for (const TQBRecoveryCopy &copy : TQBDataRecovery::Orphans()) {
        const QString when = QLocale().toString(copy.Written.toLocalTime(), QLocale::LongFormat);
        const QString question = QBFormatStr(NVKLocalizer, QBStrings::SRecoveryOffer, {copy.Caption, when});
        switch (QBDialogs::Question(FMainWindow, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            try {
                if (!QBDataRecovery->Restore(copy))
                    return;
            } catch (...) {
                const QString reason = NVKCurrentExceptionMessage();
                const QString kept = TQBDataRecovery::SetAside(copy);
                QBDialogs::Warning(
                    FMainWindow, QBFormatStr(NVKLocalizer, QBStrings::SRecoveryDamaged, {copy.Caption, reason, kept}));
            }
            break;
        case QMessageBox::No:
            TQBDataRecovery::Discard(copy);
            break;
        default:
            break; // kept for the next start
        }
    }
}

void TDMAppData::QBDataServiceActivated()
{
    const IQBDataServicePtr data = DataService();
    const IQBSettingsServicePtr settings = SettingsService();
    if (!data)
        return;
    // A document that cannot be opened at start-up silently gives a new one.
    try {
        if (!FArguments.isEmpty()) {
            if (data->OpenDocument(FArguments.first()))
                return;
        } else if (settings && settings->GetStartupAction() == 2 && !settings->GetStartupDocument().isEmpty()) {
            if (data->OpenDocument(settings->GetStartupDocument()))
                return;
        } else if (settings && settings->GetStartupAction() == 1 && data->GetRecentFiles()->GetCount() > 0) {
            if (data->OpenDocument(data->GetRecentFiles()->Pop()))
                return;
        }
    } catch (...) {
    }
    data->NewDocument();
}

void TDMAppData::ApplySettings(int categories)
{
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    if (categories & scLanguage) {
        if (const auto localization = LocalizationService()) {
            const int index = localization->IndexOfLanguage(settings->GetLanguage());
            if (index >= 0)
                localization->SetLanguageIndex(index);
            ApplyQtTranslation(localization->GetLanguage(localization->GetLanguageIndex()));
        }
    }
    if (categories & scBackup) {
        QBDataBackup->SetAutosaveInterval(settings->GetAutosaveInterval());
        QBDataBackup->SetAutosave(settings->GetAutosave());
        QBDataBackup->SetBackup(settings->GetCreateBackups());
        QBDataBackup->SetBackupFirstTime(settings->GetBackupFirstTime());
        QBDataBackup->SetBackupMask(settings->GetBackupMask());
    }
}

namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
int terminationPipe[2] = {-1, -1};

void onTerminationSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

} // namespace

void TDMAppData::WatchTerminationSignals()
{
    if (terminationPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char signal = 0;
        if (::read(terminationPipe[0], &signal, 1) == 1)
            TerminationRequested(signal);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

void TDMAppData::TerminationRequested(int signal)
{
    QBDataRecovery->WriteCopyNow();
    // Leaving the usual way would ask whether to save, and a dialog's own loop may be running: the
    // copy holds the changes instead, and the program ends as the signal asked.
    std::_Exit(128 + signal);
}

void TDMAppData::ApplyQtTranslation(const QString &language)
{
    if (FQtTranslator) {
        QCoreApplication::removeTranslator(FQtTranslator.get());
        FQtTranslator.reset();
    }
    // Language files are named as their language calls itself ("Deutsch"), as Qt's locales do.
    for (int code = QLocale::C + 1; code <= QLocale::LastLanguage; ++code) {
        const QLocale locale(static_cast<QLocale::Language>(code));
        if (locale.language() != code || locale.nativeLanguageName().compare(language, Qt::CaseInsensitive) != 0)
            continue;
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(translator.get()))
            FQtTranslator = std::move(translator);
        return;
    }
}

QString TDMAppData::UserLanguageFolder()
{
    if (!FUserLanguageFolder.isEmpty())
        return FUserLanguageFolder;
    // The program's own folder is usually not writable: languages the user adds live here.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/Language");
}

bool TDMAppData::ShowSettingsDialog()
{
    TFSettingsDlg dialog(FMainWindow);
    return dialog.Execute();
}

void TDMAppData::ShowErrorDialog(std::exception_ptr error)
{
    TFErrorDlg dialog(FMainWindow);
    dialog.ShowException(error);
}
