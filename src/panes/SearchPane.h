// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ToolForm.h"
#include "document/QBDataIntf.h"
#include "search/QBSearchCore.h"
#include "services/QBSettingsSvc.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QThread;
class TNVKLocalizer;
class TQBDataAccess;
class TQBSearchResultModel;

// Finds a text in the bodies, and optionally the captions, of the whole document or of the
// current article's subtree and lists every match. The search runs on a worker thread over a
// snapshot of the articles taken when it starts, so the user goes on working meanwhile; matches
// arrive in batches. A double click shows the article with the matched text selected.
class TFSearchPane : public TFToolForm
{
    Q_OBJECT

public:
    explicit TFSearchPane(QWidget *parent = nullptr);
    ~TFSearchPane() override;

    void StartSearch();
    // Asks the running search to stop after the article it is reporting; does not wait.
    void btnStopClick();
    bool Searching() const { return bool(FRun); }
    // Shows the match's article in the editor and selects the matched text; a title match puts
    // the caret at the start. A row whose article has gone says so instead.
    void GoToMatch(int row);
    TQBSearchResultModel *Model() const { return FModel; }

    QLabel *lblSearch = nullptr;
    QComboBox *cbPattern = nullptr;
    QPushButton *btnStart = nullptr;
    QPushButton *btnStop = nullptr;
    QProgressBar *aProgress = nullptr;
    QListView *lb = nullptr;
    QLabel *lblCount = nullptr;
    QGroupBox *gbScope = nullptr;
    QRadioButton *rbEntireDocument = nullptr;
    QRadioButton *rbCurrent = nullptr;
    QGroupBox *gbOptions = nullptr;
    QCheckBox *cbCase = nullptr;
    QCheckBox *cbWholeWords = nullptr;
    QCheckBox *cbTitles = nullptr;
    QCheckBox *cbAllWords = nullptr;
    TQBDataAccess *qbaData = nullptr;
    TNVKLocalizer *NVKLocalizer = nullptr;

Q_SIGNALS:
    // The search has ended, run to its end, stopped or failed.
    void searchDone();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TRun;

    void Reset();
    void ClearResults();
    void SetSearching(bool searching);
    // Says how many matches the finished search found; nothing before one has.
    void ShowCount();
    void AddToHistory(const QString &text);
    // Takes the matches the worker has queued so far.
    void Flush(const TRun *run);
    void SearchDone(const std::shared_ptr<TRun> &run);
    // Stops the running search and waits for its thread; its queued matches are dropped.
    void Abandon();

    void cbPatternChange(const QString &text);
    void qbaDataAfterCreateOrOpen();
    void qbaDataArticleDeleted(const IQBArticlePtr &article);
    void qbaDataArticleAdded(const IQBArticlePtr &article);

    TQBSearchResultModel *FModel = nullptr;
    std::shared_ptr<TRun> FRun;
    QThread *FSearchThread = nullptr;
    // The length of the text the results were found for: the pattern box may change since.
    int FFoundLength = 0;
    bool FRefocus = false;
    bool FCounted = false;
    IQBHistoryListPtr FHistory;
};
