// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ExportHelper.h"

#include "PrxRichEditSource.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// How often the progress window gets to answer during an assembly: often enough for Cancel and
// for moving the window, rarely enough not to slow a long assembly down.
constexpr int EventsEveryMs = 40;

} // namespace

TFReportProgress::TFReportProgress(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FReportProgress"));
    setWindowTitle(QStringLiteral("Preparing report..."));
    lblProgress = new QLabel(QStringLiteral("Processing..."), this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    // A long caption must not widen the window.
    lblProgress->setMinimumWidth(1);
    lblProgress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addLayout(buttons);
    setFixedSize(320, qMax(62, sizeHint().height()));
    connect(btnCancel, &QPushButton::clicked, this, &TFReportProgress::btnCancelClick);

    xlProgress = QBNewLocalizer(this, "xlProgress");
    xlProgress->Loaded();
}

void TFReportProgress::SetProgress(const QString &text)
{
    lblProgress->setText(QBFormatStr(xlProgress, QBStrings::SPrintProgress, {text}));
}

// ---------------------------------------------------------------------------------------------

TQBExportHelper::TQBExportHelper(QWidget *owner)
    : QObject(owner), FOwner(owner), FDocument(std::make_unique<QTextDocument>()),
      FSource(std::make_unique<TPrxRichEditSource>())
{
    FDocument->setUndoRedoEnabled(false);
    FSource->SetController(TPrxController::Application());
    FSource->SetDocument(FDocument.get());
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : nullptr;
    if (document)
        FSource->SetTitle(QFileInfo(document->FileName()).fileName());
}

TQBExportHelper::~TQBExportHelper()
{
    delete FProgress;
}

void TQBExportHelper::Invalidate()
{
    FBuilt = false;
    FSource->Unprepare();
    FDocument->clear();
}

void TQBExportHelper::SetScope(TExportScope value)
{
    if (value != FScope) {
        FScope = value;
        Invalidate();
    }
}

void TQBExportHelper::SetIncludeTitles(bool value)
{
    if (value != FOptions.IncludeTitles) {
        FOptions.IncludeTitles = value;
        Invalidate();
    }
}

void TQBExportHelper::SetNumbering(bool value)
{
    if (value != FOptions.Numbering) {
        FOptions.Numbering = value;
        Invalidate();
    }
}

void TQBExportHelper::SetSkipEmpty(bool value)
{
    if (value != FOptions.SkipEmpty) {
        FOptions.SkipEmpty = value;
        Invalidate();
    }
}

TQBExportSource TQBExportHelper::CurrentSource() const
{
    TQBExportSource source;
    if (const IQBDataServicePtr data = DataService())
        source.Document = data->GetDocument();
    if (const IQBEditorServicePtr editor = EditorService()) {
        // What is being typed belongs to the article it is printed with.
        editor->StoreChanges();
        source.Current = editor->CurrentArticle();
        for (int i = 0; i < editor->WindowCount(); ++i)
            source.OpenArticles.append(editor->WindowArticle(i));
        if (FScope == esSelection)
            source.Selection = editor->SelectionRTF();
    }
    return source;
}

bool TQBExportHelper::Step(const QString &caption)
{
    if (!FProgress)
        return true;
    // The first article shows the window at once; after that it answers every few milliseconds.
    if (!FSinceEvents.isValid() || FSinceEvents.elapsed() >= EventsEveryMs) {
        FProgress->SetProgress(caption);
        QApplication::processEvents();
        FSinceEvents.restart();
    }
    return !FProgress->Cancelled();
}

TQBExportOptions TQBExportHelper::CurrentOptions() const
{
    TQBExportOptions options = FOptions;
    if (const IQBSettingsServicePtr settings = SettingsService())
        options.TitleFont = settings->GetTitleFont();
    return options;
}

bool TQBExportHelper::WithProgress(const std::function<bool(const TQBExportBuilder::TProgress &)> &work)
{
    Q_EMIT assembling();
    FProgress = new TFReportProgress(FOwner);
    FProgress->show();
    FSinceEvents.invalidate();
    bool done = false;
    try {
        done = work([this](const QString &caption) { return Step(caption); });
    } catch (...) {
        delete FProgress;
        FProgress = nullptr;
        throw;
    }
    done = done && !FProgress->Cancelled();
    delete FProgress;
    FProgress = nullptr;
    return done;
}

bool TQBExportHelper::Build()
{
    if (FBuilt)
        return true;
    const TQBExportOptions options = CurrentOptions();
    const TQBExportSource source = CurrentSource();
    FSource->Unprepare();
    try {
        FBuilt = WithProgress([&](const TQBExportBuilder::TProgress &progress) {
            return QBBuildExport(*FDocument, FScope, source, options, progress);
        });
    } catch (...) {
        FDocument->clear();
        throw;
    }
    if (!FBuilt)
        FDocument->clear();
    return FBuilt;
}

bool TQBExportHelper::Save(const QString &fileName, TQBExportFormat format)
{
    // Whole articles need no laid-out text: they are written as the bodies are read.
    if (FScope != esSelection && !FBuilt) {
        const TQBExportOptions options = CurrentOptions();
        const TQBExportSource source = CurrentSource();
        return WithProgress([&](const TQBExportBuilder::TProgress &progress) {
            return format == efText ? QBStreamTextExport(FScope, source, options, fileName, progress)
                                    : QBStreamRtfExport(FScope, source, options, fileName, progress);
        });
    }
    if (!Build())
        return false;
    QBSaveExport(*FDocument, fileName, format);
    return true;
}
