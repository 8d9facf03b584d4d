// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "SearchPane.h"

#include "SearchResults.h"
#include "base/NVKErrors.h"
#include "controls/VtlRichEdit.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBDialogs.h"
#include "services/QBDocAccess.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMutex>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QThread>
#include <QVBoxLayout>

namespace {

const QString HistoryName = QStringLiteral("SearchPatterns");
// Bits of the stored options beside the search options themselves.
constexpr int SavedTitles = 8;
constexpr int SavedCurrentArticle = 16;

// The IIDs of an article and everything below it.
QSet<qint32> SubtreeIDs(const IQBArticlePtr &article)
{
    QSet<qint32> ids;
    QBWalkArticles(article, [&ids](const IQBArticlePtr &a) {
        ids.insert(a->IID());
        return true;
    });
    return ids;
}

} // namespace

// One search: what the worker reads and what it hands back. The pane and the worker share it;
// the pane drops it when the search ends or is abandoned, and anything still queued for a run
// that is no longer the pane's is ignored.
struct TFSearchPane::TRun
{
    TRun(const QString &pattern, TQBSearchOptions options, bool titles) : Search(pattern, options, titles) {}

    TQBSearch Search;
    TQBSearchSources Sources;
    QString Pattern;
    QMutex Lock;
    std::vector<TQBSearchMatch> Pending;
    bool FlushQueued = false;
    QString Failure;
};

TFSearchPane::TFSearchPane(QWidget *parent) : TFToolForm(parent)
{
    setObjectName(QStringLiteral("FSearchPane"));
    setWindowTitle(QStringLiteral("Search"));
    SetHelpContext(203);

    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    lblSearch = new QLabel(QStringLiteral("&Search for:"), client);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    cbPattern = new QComboBox(client);
    cbPattern->setObjectName(QStringLiteral("cbPattern"));
    cbPattern->setEditable(true);
    // The drop-down is the history list; a search adds to it when it ends.
    cbPattern->setInsertPolicy(QComboBox::NoInsert);
    cbPattern->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbPattern->setMinimumContentsLength(8);
    lblSearch->setBuddy(cbPattern);
    layout->addWidget(lblSearch);
    layout->addWidget(cbPattern);

    auto *buttons = new QHBoxLayout();
    btnStart = new QPushButton(QStringLiteral("Start"), client);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnStart->setEnabled(false);
    btnStop = new QPushButton(QStringLiteral("Stop"), client);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setEnabled(false);
    // A busy bar stands for the desktop's searching animation.
    aProgress = new QProgressBar(client);
    aProgress->setObjectName(QStringLiteral("aProgress"));
    aProgress->setRange(0, 0);
    aProgress->setTextVisible(false);
    aProgress->setMaximumHeight(btnStart->sizeHint().height() / 2);
    aProgress->hide();
    buttons->addWidget(btnStart);
    buttons->addWidget(btnStop);
    buttons->addWidget(aProgress, 1);
    buttons->addStretch();
    layout->addLayout(buttons);

    gbScope = new QGroupBox(QStringLiteral("Scope"), client);
    gbScope->setObjectName(QStringLiteral("gbScope"));
    auto *scope = new QVBoxLayout(gbScope);
    rbEntireDocument = new QRadioButton(QStringLiteral("&Entire document"), gbScope);
    rbEntireDocument->setObjectName(QStringLiteral("rbEntireDocument"));
    rbEntireDocument->setChecked(true);
    rbCurrent = new QRadioButton(QStringLiteral("&Current article and below"), gbScope);
    rbCurrent->setObjectName(QStringLiteral("rbCurrent"));
    scope->addWidget(rbEntireDocument);
    scope->addWidget(rbCurrent);
    layout->addWidget(gbScope);

    gbOptions = new QGroupBox(QStringLiteral("Options"), client);
    gbOptions->setObjectName(QStringLiteral("gbOptions"));
    auto *options = new QVBoxLayout(gbOptions);
    cbCase = new QCheckBox(QStringLiteral("&Match case"), gbOptions);
    cbCase->setObjectName(QStringLiteral("cbCase"));
    cbWholeWords = new QCheckBox(QStringLiteral("&Whole words only"), gbOptions);
    cbWholeWords->setObjectName(QStringLiteral("cbWholeWords"));
    cbTitles = new QCheckBox(QStringLiteral("Search &titles"), gbOptions);
    cbTitles->setObjectName(QStringLiteral("cbTitles"));
    cbAllWords = new QCheckBox(QStringLiteral("&All words (any order)"), gbOptions);
    cbAllWords->setObjectName(QStringLiteral("cbAllWords"));
    options->addWidget(cbCase);
    options->addWidget(cbWholeWords);
    options->addWidget(cbTitles);
    options->addWidget(cbAllWords);
    layout->addWidget(gbOptions);

    FModel = new TQBSearchResultModel(this);
    FModel->setObjectName(QStringLiteral("mdSearch"));
    lb = new QListView(client);
    lb->setObjectName(QStringLiteral("lb"));
    lb->setModel(FModel);
    lb->setUniformItemSizes(true);
    lb->setSelectionMode(QAbstractItemView::SingleSelection);
    lb->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lb->setMinimumWidth(100);
    lb->installEventFilter(this);
    layout->addWidget(lb, 1);
    // How many matches the last search found, so that an empty list is not left unexplained.
    lblCount = new QLabel(client);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(lblCount);
    setCentralWidget(client);
    // Showing the pane puts the caret into its text box.
    setFocusProxy(cbPattern);

    cbPattern->installEventFilter(this);
    cbPattern->lineEdit()->installEventFilter(this);
    connect(cbPattern, &QComboBox::editTextChanged, this, &TFSearchPane::cbPatternChange);
    connect(btnStart, &QPushButton::clicked, this, &TFSearchPane::StartSearch);
    connect(btnStop, &QPushButton::clicked, this, &TFSearchPane::btnStopClick);
    connect(lb, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) { GoToMatch(index.row()); });

    qbaData = new TQBDataAccess(this);
    qbaData->setObjectName(QStringLiteral("qbaData"));
    connect(qbaData, &TQBDataAccess::afterCreate, this, &TFSearchPane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterOpen, this, &TFSearchPane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::articleDeleted, this,
            [this](const IQBArticlePtr &article, const IQBArticlePtr &) { qbaDataArticleDeleted(article); });
    connect(qbaData, &TQBDataAccess::articleAdded, this,
            [this](const IQBArticlePtr &article, const IQBArticlePtr &) { qbaDataArticleAdded(article); });
    qbaData->SetActive(true);

    NVKLocalizer = QBNewLocalizer(this, "NVKLocalizer");
    connect(NVKLocalizer, &TNVKCustomResourceManager::afterUpdate, this, [this] {
        FModel->SetGoneText(QBLoadStr(NVKLocalizer, QBStrings::SMatchArticleDeleted));
        ShowCount();
    });

    if (const IQBSettingsServicePtr settings = SettingsService()) {
        FHistory = settings->LoadHistoryList(HistoryName);
        // The scope and options of the last search come back with its pattern.
        const int saved = settings->GetSearchOptions();
        cbWholeWords->setChecked(saved & soWholeWord);
        cbCase->setChecked(saved & soMatchCase);
        cbAllWords->setChecked(saved & soAllWords);
        cbTitles->setChecked(saved & SavedTitles);
        (saved & SavedCurrentArticle ? rbCurrent : rbEntireDocument)->setChecked(true);
    }
    if (FHistory) {
        const QSignalBlocker blocker(cbPattern);
        for (int i = 0; i < FHistory->GetCount(); ++i)
            cbPattern->addItem(FHistory->GetItem(i));
        cbPattern->setEditText(QString());
    }
    FModel->SetGoneText(QBLoadStr(NVKLocalizer, QBStrings::SMatchArticleDeleted));
    Reset();
    NVKLocalizer->Loaded();
}

TFSearchPane::~TFSearchPane()
{
    // The worker hands its matches to this pane: it must end first.
    Abandon();
    qbaData->SetActive(false);
    if (FHistory) {
        if (const IQBSettingsServicePtr settings = SettingsService())
            settings->SaveHistoryList(HistoryName, FHistory);
        FHistory.reset();
    }
}

bool TFSearchPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == lb) {
                GoToMatch(lb->currentIndex().row());
                return true;
            }
            if (watched == cbPattern || watched == cbPattern->lineEdit()) {
                if (btnStart->isEnabled())
                    StartSearch();
                return true;
            }
        }
    }
    return TFToolForm::eventFilter(watched, event);
}

// ---- searching

void TFSearchPane::StartSearch()
{
    if (FRun)
        return;
    const QString pattern = cbPattern->currentText();
    if (pattern.isEmpty())
        return;
    ClearResults();
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : nullptr;
    if (!document)
        return;
    const IQBEditorServicePtr editor = EditorService();
    IQBArticlePtr start;
    if (editor) {
        // The text being edited is searched as it stands now.
        editor->StoreChanges();
        if (rbCurrent->isChecked())
            start = editor->CurrentArticle();
    }
    TQBSearchOptions options;
    if (cbCase->isChecked())
        options |= soMatchCase;
    if (cbWholeWords->isChecked())
        options |= soWholeWord;
    if (cbAllWords->isChecked())
        options |= soAllWords;
    if (const IQBSettingsServicePtr settings = SettingsService())
        settings->SetSearchOptions(int(options) | (cbTitles->isChecked() ? SavedTitles : 0) |
                                   (rbCurrent->isChecked() ? SavedCurrentArticle : 0));

    auto run = std::make_shared<TRun>(pattern, options, cbTitles->isChecked());
    run->Pattern = pattern;
    // Taken here, on the document's thread; the worker reads nothing else of the document.
    run->Sources = QBSearchSources(start ? start : document->Root());
    run->Search.SetSink([this, raw = run.get()](const TQBSearchMatch &match) {
        QMutexLocker locker(&raw->Lock);
        raw->Pending.push_back(match);
        if (raw->FlushQueued)
            return;
        raw->FlushQueued = true;
        // The pane waits for the thread before it goes, so it is there to take the call.
        QMetaObject::invokeMethod(
            this, [this, raw] { Flush(raw); }, Qt::QueuedConnection);
    });
    FRun = run;
    FFoundLength = int(pattern.size());
    FSearchThread = QThread::create([this, run] {
        try {
            run->Search.Run(run->Sources);
        } catch (...) {
            run->Failure = NVKCurrentExceptionMessage();
        }
        QMetaObject::invokeMethod(
            this, [this, run] { SearchDone(run); }, Qt::QueuedConnection);
    });
    FSearchThread->setObjectName(QStringLiteral("TSearchThread"));
    SetSearching(true);
    FSearchThread->start();
}

void TFSearchPane::Flush(const TRun *run)
{
    if (!run || run != FRun.get())
        return;
    std::vector<TQBSearchMatch> batch;
    {
        QMutexLocker locker(&FRun->Lock);
        batch.swap(FRun->Pending);
        FRun->FlushQueued = false;
    }
    FModel->Append(std::move(batch));
}

void TFSearchPane::SearchDone(const std::shared_ptr<TRun> &run)
{
    if (run != FRun)
        return;
    Flush(run.get());
    FSearchThread->wait();
    delete FSearchThread;
    FSearchThread = nullptr;
    FRun.reset();
    AddToHistory(run->Pattern);
    FCounted = true;
    SetSearching(false);
    ShowCount();
    // The matches found before the failure stay listed.
    if (!run->Failure.isEmpty())
        QBDialogs::Warning(this, QBFormatStr(NVKLocalizer, QBStrings::SSearchFailed, {run->Failure}));
    Q_EMIT searchDone();
}

void TFSearchPane::btnStopClick()
{
    if (FRun)
        FRun->Search.Stop();
}

void TFSearchPane::Abandon()
{
    if (!FRun)
        return;
    FRun->Search.Stop();
    FSearchThread->wait();
    delete FSearchThread;
    FSearchThread = nullptr;
    FRun.reset();
    SetSearching(false);
}

void TFSearchPane::Reset()
{
    Abandon();
    ClearResults();
}

void TFSearchPane::ClearResults()
{
    FModel->Clear();
    FCounted = false;
    ShowCount();
}

void TFSearchPane::SetSearching(bool searching)
{
    // Disabling the box takes the caret from it; it comes back when the search ends.
    const QWidget *focus = QApplication::focusWidget();
    if (searching)
        FRefocus = focus && (focus == cbPattern || cbPattern->isAncestorOf(focus) || focus == btnStart);
    for (QWidget *control : std::initializer_list<QWidget *>{btnStart, cbPattern, rbEntireDocument, rbCurrent, cbCase,
                                                             cbWholeWords, cbTitles, cbAllWords})
        control->setEnabled(!searching);
    btnStop->setEnabled(searching);
    aProgress->setVisible(searching);
    if (searching)
        return;
    cbPatternChange(cbPattern->currentText());
    if (FRefocus)
        cbPattern->setFocus();
    FRefocus = false;
}

void TFSearchPane::ShowCount()
{
    if (!FCounted) {
        lblCount->clear();
        return;
    }
    const int matches = FModel->rowCount();
    lblCount->setText(matches == 0 ? QBLoadStr(NVKLocalizer, QBStrings::SNoMatches)
                                   : QBFormatStr(NVKLocalizer, QBStrings::SMatchCount, {matches}));
}

void TFSearchPane::AddToHistory(const QString &text)
{
    if (text.isEmpty() || !FHistory)
        return;
    const QSignalBlocker blocker(cbPattern);
    cbPattern->clear();
    FHistory->Add(text);
    for (int i = 0; i < FHistory->GetCount(); ++i)
        cbPattern->addItem(FHistory->GetItem(i));
    cbPattern->setEditText(text);
}

void TFSearchPane::cbPatternChange(const QString &text)
{
    btnStart->setEnabled(!FRun && !text.isEmpty());
}

// ---- going to a match

void TFSearchPane::GoToMatch(int row)
{
    if (row < 0 || row >= FModel->rowCount())
        return;
    const TQBSearchMatch match = FModel->MatchAt(row);
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : nullptr;
    const IQBArticlePtr article = document ? document->FindArticle(match.ArticleID) : nullptr;
    if (!article) {
        FModel->MarkGone({match.ArticleID});
        QBDialogs::Information(this, QBFormatStr(NVKLocalizer, QBStrings::SMatchArticleDeleted, {match.Caption}));
        return;
    }
    const IQBEditorServicePtr editor = EditorService();
    if (!editor)
        return;
    editor->NavigateTo(article);
    auto *richEdit = qobject_cast<TVtlRichEdit *>(editor->EditorHandle());
    if (!richEdit)
        return;
    richEdit->SetSelStart(qMax(0, match.Position));
    if (!match.IsTitle())
        richEdit->SetSelLength(match.Length > 0 ? match.Length : FFoundLength);
    richEdit->ensureCursorVisible();
}

// ---- data events

void TFSearchPane::qbaDataAfterCreateOrOpen()
{
    Reset();
}

void TFSearchPane::qbaDataArticleDeleted(const IQBArticlePtr &article)
{
    if (FModel->rowCount() > 0)
        FModel->MarkGone(SubtreeIDs(article));
}

void TFSearchPane::qbaDataArticleAdded(const IQBArticlePtr &article)
{
    if (FModel->rowCount() > 0)
        FModel->MarkGone(SubtreeIDs(article), false);
}
