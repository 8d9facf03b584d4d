// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

#include <memory>

class QWidget;
class TNVKLocalizationService;
class TNVKResourceSet;
class TQBSettingsService;
class TQBDataService;
class TQBDataBackup;
class TQBDataRecovery;
class TQBSettingsAccess;
class TQBDataAccess;
class TQBMarkerDictionary;
class TNVKLocalizer;
class TPrxController;

// A marker of the dictionary as language files address it: Markers, Item index, Property Name.
class TQBMarkerItem : public QObject
{
    Q_OBJECT

public:
    TQBMarkerItem(TQBMarkerDictionary *dictionary, int index) : FDictionary(dictionary), FIndex(index) {}
    void SetName(const QString &name);

private:
    TQBMarkerDictionary *FDictionary;
    int FIndex;
};

// The program's non-visual container: it creates the services in their order, answers the data
// service's requests with dialogs, and applies the settings. One exists while the program runs.
class TDMAppData : public QObject
{
    Q_OBJECT

public:
    // arguments: the command line without the program; its first entry is a document to open.
    explicit TDMAppData(const QStringList &arguments, QObject *owner = nullptr);
    ~TDMAppData() override;

    static TDMAppData *Instance() { return FInstance; }
    // The folder with one sub-folder per language for the modules created from now on; empty (the
    // default) is the "Language" folder among the program's resources. Tests point it at their own folder.
    static void SetLanguageFolder(const QString &folder) { FLanguageFolder = folder; }
    // The user's own language folder, where the settings dialog installs languages: empty (the
    // default) is "Language" in the user's data folder. Tests point it at their own folder.
    static void SetUserLanguageFolder(const QString &folder) { FUserLanguageFolder = folder; }
    static QString UserLanguageFolder();

    // Dialogs and messages are shown over this window.
    void SetMainWindow(QWidget *window) { FMainWindow = window; }

    void ApplySettings(int categories);
    void ShowErrorDialog(std::exception_ptr error);
    // After a crash: offers each recovery copy a program left behind, to open, discard or keep.
    void OfferRecoveryCopies();
    // SIGTERM and SIGHUP (the session ends, the system shuts down, a user kills the program): unsaved
    // changes go to the recovery copy, offered at the next start, and the program ends at once
    // without asking anything, as there is no one left to answer.
    void WatchTerminationSignals();
    // Runs the settings dialog over the main window; true when it was closed with OK.
    bool ShowSettingsDialog();

    TNVKLocalizationService *NVKLocalization;
    TNVKResourceSet *NVKResourceSet;
    TQBSettingsService *QBSettingsService;
    TQBDataService *QBDataService;
    TQBDataBackup *QBDataBackup;
    TQBDataRecovery *QBDataRecovery;
    TQBSettingsAccess *QBSettingsAccess;
    TQBDataAccess *QBDataAccess;
    TQBMarkerDictionary *QBMarkerDictionary;
    TNVKLocalizer *NVKLocalizer;
    // Paper, margins and the printer; code below this layer reaches it as TPrxController::Application().
    TPrxController *PrxController;

private:
    void QBSettingsServiceActivated();
    void QBSettingsServiceDeactivating(bool &cancel);
    void QBDataServiceActivated();
    void ShowStatus(const QString &text) const;
    void TerminationRequested(int signal);
    // Qt's own dialogs and buttons (font, colour and file dialogs) follow the chosen language when
    // Qt ships a translation for it.
    void ApplyQtTranslation(const QString &language);

    static TDMAppData *FInstance;
    static QString FLanguageFolder;
    static QString FUserLanguageFolder;
    QStringList FArguments;
    QPointer<QWidget> FMainWindow; // the window may go first
    std::unique_ptr<QTranslator> FQtTranslator;
};
